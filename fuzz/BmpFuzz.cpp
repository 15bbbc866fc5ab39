// libFuzzer target for the BMP reader: header parse, pixel decode and RGBA conversion, plus a round
// trip through the writer for every picture it accepts.
#include <cstdlib>
#include <cstring>

#include "core/Bmp.h"

namespace {

// Compressed data can claim a picture far bigger than the input. Decoding one is correct but slow, and
// what limits the allocation is ParseHeader's kMaxPixels check, which runs before this cut; past it, a
// bigger picture only exercises memset.
constexpr size_t kMaxFuzzImageBytes = size_t(1) << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmo::bmp;
    Result<Layout> layout = ParseHeader(data, size < kHeadBytes ? size : kHeadBytes, size);
    if (!layout || layout->imageBytes > kMaxFuzzImageBytes)
        return 0;
    Result<Picture> picture = Decode(data, size);
    if (!picture)
        return 0;
    if (ToRgba(*picture).size() != size_t(picture->layout.width) * size_t(picture->layout.height) * 4)
        std::abort();

    // What the writer makes of an accepted picture must read back as the same rows and colours.
    std::vector<uint8_t> file = Encode(picture->layout, picture->pixels.data());
    if (file.empty())
        std::abort();
    Result<Picture> again = Decode(file.data(), file.size());
    if (!again || !again->layout.direct || again->pixels != picture->pixels ||
        again->layout.colors.size() != picture->layout.colors.size() ||
        (!again->layout.colors.empty() && std::memcmp(again->layout.colors.data(), picture->layout.colors.data(),
                                                      again->layout.colors.size() * sizeof(Rgb)) != 0))
        std::abort();
    return 0;
}
