#include "core/PictureSize.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace velmo {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes FileBytes(const std::string& name) {
    std::ifstream in(std::string(VELMO_PICTURES_DIR) + "/load/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// A GIF: 4 x 3 logical screen without a colour table, then the given blocks.
Bytes Gif(const Bytes& blocks) {
    return Join({{'G', 'I', 'F', '8', '9', 'a', 4, 0, 3, 0, 0, 0, 0}, blocks});
}

// An image descriptor of `width` x `height` with a 2-entry local colour table and one data sub-block.
Bytes GifImage(uint16_t width, uint16_t height) {
    return {0x2C, 0, 0, 0, 0, uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8), 0x80,
            0, 0, 0, 255, 255, 255, 2, 2, 0x44, 0x01, 0};
}

TEST(PictureSize, ReadsTheLargestDeclaredPicture) {
    const Bytes jpeg = FileBytes("baseline.jpg");
    ASSERT_GT(jpeg.size(), 100u);
    // A JPEG with bytes that are no marker before its first segment, as a tolerant decoder skips them.
    Bytes junkBeforeSegment = jpeg;
    junkBeforeSegment.insert(junkBeforeSegment.begin() + 2, {0x12, 0x34});
    const Bytes png = FileBytes("rgb8.png");
    const Bytes image = GifImage(300, 200);
    const Bytes comment = {0xFF, 0xFE, 0, 4, 'h', 'i'};
    const Bytes extension = {0x21, 0xF9, 4, 0, 0, 0, 0, 0};
    const std::optional<uint64_t> none;
    struct Case {
        const char* what;
        Bytes data;
        std::optional<uint64_t> pixels;
    } cases[] = {
        {"baseline JPEG", jpeg, 32 * 16},
        {"progressive JPEG", FileBytes("progressive.jpg"), 32 * 16},
        {"JPEG with an Exif block", FileBytes("orient-6.jpg"), 32 * 16},
        {"JPEG claiming 65000 x 65000", FileBytes("bad-huge.jpg"), uint64_t{65000} * 65000},
        {"JPEG with junk before a marker", junkBeforeSegment, 32 * 16},
        {"JPEG cut before its frame header", FileBytes("bad-cut-in-header.jpg"), kUnreadable},
        {"JPEG without a frame header", Join({{0xFF, 0xD8}, comment, {0xFF, 0xDA}}), kUnreadable},
        {"JPEG whose segment runs past the end", {0xFF, 0xD8, 0xFF, 0xC0, 0, 17, 8, 0, 1}, kUnreadable},
        {"PNG", FileBytes("rgb8.png"), 13 * 7},
        {"PNG claiming 100000 x 100000", FileBytes("bad-huge.png"), uint64_t{100000} * 100000},
        {"PNG cut in IHDR", Bytes(png.begin(), png.begin() + 20), kUnreadable},
        {"GIF", FileBytes("palette.gif"), 13 * 7},
        {"GIF without a frame: its screen", FileBytes("bad-noframe.gif"), 1},
        {"GIF whose second image is the largest", Gif(Join({GifImage(2, 2), extension, GifImage(300, 200)})),
         300 * 200},
        {"GIF cut inside an image", Gif(Bytes(image.begin(), image.begin() + 7)), 4 * 3},
        {"GIF cut in its screen", {'G', 'I', 'F', '8', '7', 'a', 1, 0}, kUnreadable},
        {"TIFF", FileBytes("orient-6.tif"), 32 * 16},
        {"TIFF of 2^28 strips", FileBytes("bad-strips.tif"), uint64_t{1} << 28},
        {"TIFF without a size", {'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0}, kUnreadable},
        {"TIFF whose IFD lies past the end", {'M', 'M', 0, 42, 0, 0, 1, 0}, kUnreadable},
        {"BMP", {'B', 'M', 0, 0, 0, 0}, none},
        {"empty", {}, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DeclaredPixels(c.data.data(), c.data.size()), c.pixels);
    }
}

}  // namespace
}  // namespace velmo
