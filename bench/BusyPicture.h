// The benchmarks' picture: gradients crossed with noise, so that no reader meets long runs of equal bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "core/Bmp.h"

namespace velmo::bench {

// The bytes of a BMP file of this size and depth (8 bits with a 256-entry colour table, or 24), written by our
// own writer.
inline std::vector<uint8_t> BusyPictureFile(int32_t width, int32_t height, int bitsPerPixel) {
    bmp::Layout layout;
    layout.width = width;
    layout.height = height;
    layout.bitsPerPixel = bitsPerPixel;
    layout.stride = bmp::RowBytes(width, bitsPerPixel);
    layout.imageBytes = layout.stride * size_t(height);
    if (bitsPerPixel == 8) {
        for (int i = 0; i < 256; i++)
            layout.colors.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
    }
    std::vector<uint8_t> pixels(layout.imageBytes);
    uint32_t noise = 12345;
    for (int32_t y = 0; y < height; y++) {
        for (size_t i = 0; i < layout.stride; i++) {
            noise = noise * 1103515245 + 12345;
            pixels[size_t(y) * layout.stride + i] = uint8_t(i + size_t(y) + (noise >> 28));
        }
    }
    return bmp::Encode(layout, pixels.data());
}

}  // namespace velmo::bench
