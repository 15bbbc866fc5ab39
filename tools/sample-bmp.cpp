// sample-bmp: writes the demonstration picture, a 24-bit BMP made by our own writer.
//   sample-bmp OUT.bmp [WIDTH HEIGHT]
// A sky-to-sea gradient with a sun and a strip of light along the top edge: something to reveal.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/Bmp.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: sample-bmp OUT.bmp [WIDTH HEIGHT]\n");
        return 2;
    }
    const int width = argc == 4 ? std::atoi(argv[2]) : 800;
    const int height = argc == 4 ? std::atoi(argv[3]) : 560;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
        std::fprintf(stderr, "sample-bmp: the size must lie in 1 to 16384\n");
        return 2;
    }
    velmo::bmp::Layout layout;
    layout.width = width;
    layout.height = height;
    layout.topDown = true;
    layout.bitsPerPixel = 24;
    layout.stride = velmo::bmp::RowBytes(width, 24);
    layout.imageBytes = layout.stride * static_cast<size_t>(height);
    std::vector<uint8_t> pixels(layout.imageBytes);
    const double sunX = width * 0.68, sunY = height * 0.42, sunR = height * 0.12;
    const int horizon = height * 3 / 5;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = pixels.data() + layout.stride * static_cast<size_t>(y);
        for (int x = 0; x < width; ++x) {
            double r, g, b;
            if (y < horizon) {  // the sky, from deep blue to a warm glow near the horizon
                const double t = double(y) / horizon;
                r = 30 + 210 * t * t;
                g = 60 + 120 * t;
                b = 140 + 60 * (1 - t);
            } else {  // the sea, darker with depth, with the sun's reflection in bands
                const double t = double(y - horizon) / (height - horizon);
                r = 20 + 30 * (1 - t);
                g = 70 + 50 * (1 - t);
                b = 120 + 40 * (1 - t);
                if (std::fabs(x - sunX) < sunR * (1 - t * 0.6) && (y / 4) % 3 == 0) {
                    r = 250, g = 200, b = 120;
                }
            }
            const double d = std::hypot(x - sunX, y - sunY);
            if (d < sunR && y < horizon) {
                r = 255, g = 230 - 60 * d / sunR, b = 120;
            }
            if (y < 4) {  // the strip of light along the top edge
                r = 255, g = 255, b = 255;
            }
            row[x * 3 + 0] = static_cast<uint8_t>(b);
            row[x * 3 + 1] = static_cast<uint8_t>(g);
            row[x * 3 + 2] = static_cast<uint8_t>(r);
        }
    }
    const std::vector<uint8_t> file = velmo::bmp::Encode(layout, pixels.data());
    FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "sample-bmp: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
