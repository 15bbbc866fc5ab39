// bmp2pam IN.bmp OUT.pam: decodes a BMP file with the program's reader and writes it as an 8-bit RGBA
// PAM, rows top to bottom. Exit status: 0 written, 1 usage or file error, 2 the reader refused the file.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/Bmp.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bmp2pam IN.bmp OUT.pam\n");
        return 1;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "bmp2pam: cannot open %s\n", argv[1]);
        return 1;
    }
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    velmo::bmp::Result<velmo::bmp::Picture> picture = velmo::bmp::Decode(file.data(), file.size());
    if (!picture) {
        std::fprintf(stderr, "bmp2pam: %s: %s\n", argv[1], velmo::bmp::Describe(picture.error()));
        return 2;
    }
    const std::vector<uint8_t> rgba = velmo::bmp::ToRgba(*picture);

    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out) {
        std::fprintf(stderr, "bmp2pam: cannot create %s\n", argv[2]);
        return 1;
    }
    std::fprintf(out, "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n",
                 int(picture->layout.width), int(picture->layout.height));
    const bool written = std::fwrite(rgba.data(), 1, rgba.size(), out) == rgba.size();
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "bmp2pam: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
