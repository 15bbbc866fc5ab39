#include "core/Bmp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace velmo::bmp {
namespace {

void Patch16(std::vector<uint8_t>& file, size_t offset, uint32_t value) {
    file[offset] = uint8_t(value);
    file[offset + 1] = uint8_t(value >> 8);
}

void Patch32(std::vector<uint8_t>& file, size_t offset, uint32_t value) {
    Patch16(file, offset, value);
    Patch16(file, offset + 2, value >> 16);
}

Layout MakeLayout(int32_t width, int32_t height, int bpp, size_t colorCount = 0) {
    Layout layout;
    layout.width = width;
    layout.height = height;
    layout.bitsPerPixel = bpp;
    for (size_t i = 0; i < colorCount; i++)
        layout.colors.push_back(Rgb{uint8_t(i * 40), uint8_t(255 - i), uint8_t(i)});
    layout.stride = RowBytes(width, bpp);
    layout.imageBytes = layout.stride * size_t(height);
    return layout;
}

// A valid file of the given form whose pixel data is replaced by `data`: the way to build the
// compressed and bit-field files the writer does not make. `extra` bytes (masks) go before the table.
std::vector<uint8_t> Craft(int32_t width,
                           int32_t height,
                           int bpp,
                           uint32_t compression,
                           const std::vector<uint8_t>& data,
                           const std::vector<uint32_t>& extra = {}) {
    Layout layout = MakeLayout(width, height, bpp == 2 ? 4 : std::min(bpp, 32), bpp <= 8 ? 4 : 0);
    std::vector<uint8_t> pixels(layout.imageBytes);
    std::vector<uint8_t> file = Encode(layout, pixels.data());
    size_t offset = file[10] | file[11] << 8;
    file.resize(offset);
    for (size_t i = 0; i < extra.size(); i++)
        file.insert(file.begin() + 54 + long(i) * 4,
                    {uint8_t(extra[i]), uint8_t(extra[i] >> 8), uint8_t(extra[i] >> 16), uint8_t(extra[i] >> 24)});
    Patch32(file, 10, uint32_t(file.size()));
    Patch16(file, 28, uint32_t(bpp));
    Patch32(file, 30, compression);
    Patch32(file, 34, uint32_t(data.size()));
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

Result<Picture> DecodeBytes(const std::vector<uint8_t>& file) {
    return Decode(file.data(), file.size());
}

TEST(Bmp, EncodeAndDecodeKeepRowsPaletteAndOrientation) {
    std::mt19937 random(7);
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        for (int32_t width : {1, 3, 5, 127}) {
            for (bool topDown : {false, true}) {
                SCOPED_TRACE(testing::Message() << bpp << " bpp, width " << width << (topDown ? " top-down" : ""));
                Layout layout = MakeLayout(width, 3, bpp, bpp <= 8 ? 2 : 0);
                layout.topDown = topDown;
                std::vector<uint8_t> pixels(layout.imageBytes);
                for (uint8_t& b : pixels)
                    b = uint8_t(random());
                std::vector<uint8_t> file = Encode(layout, pixels.data());

                Result<Picture> picture = DecodeBytes(file);
                ASSERT_TRUE(picture.Ok()) << Describe(picture.error());
                const Layout& got = picture->layout;
                EXPECT_TRUE(got.direct);
                EXPECT_EQ(got.width, width);
                EXPECT_EQ(got.height, 3);
                EXPECT_EQ(got.topDown, topDown);
                EXPECT_EQ(got.bitsPerPixel, bpp);
                EXPECT_EQ(got.stride, layout.stride);
                EXPECT_EQ(got.imageBytes, layout.imageBytes);
                EXPECT_EQ(got.pixelOffset + got.imageBytes, file.size());
                EXPECT_EQ(picture->pixels, pixels);
                if (bpp <= 8) {
                    // Two real entries; the rest of the table is black so that any index is safe.
                    ASSERT_EQ(got.colors.size(), size_t(1) << bpp);
                    EXPECT_EQ(got.colors[1].r, 40);
                    EXPECT_EQ(got.colors[1].g, 254);
                    EXPECT_EQ(got.colors[1].b, 1);
                    for (size_t i = 2; i < got.colors.size(); i++)
                        EXPECT_EQ(got.colors[i].r + got.colors[i].g + got.colors[i].b, 0);
                }
            }
        }
    }
    EXPECT_TRUE(Encode(MakeLayout(4, 4, 8), std::vector<uint8_t>(16).data()).empty());  // no colours
    EXPECT_TRUE(Encode(MakeLayout(0, 4, 24), nullptr).empty());
    EXPECT_TRUE(Encode(MakeLayout(4, 4, 2, 4), std::vector<uint8_t>(16).data()).empty());
}

TEST(Bmp, RefusesImpossibleHeaders) {
    std::vector<uint8_t> pixels(16 * 4);
    const std::vector<uint8_t> good = Encode(MakeLayout(16, 4, 8, 4), pixels.data());
    ASSERT_TRUE(DecodeBytes(good).Ok());
    struct Case {
        size_t offset;
        int bytes;
        uint32_t value;
        Error error;
    };
    const Case cases[] = {
        {0, 2, 'B' | 'A' << 8, Error::NotBmp},
        {14, 4, 66, Error::BadHeader},  // no header has 66 bytes
        {14, 4, 200, Error::BadHeader},
        {26, 2, 2, Error::BadHeader},  // planes
        {28, 2, 3, Error::BadHeader},  // bits per pixel
        {28, 2, 0, Error::BadHeader},
        {18, 4, 0, Error::BadHeader},  // width
        {18, 4, uint32_t(-16), Error::BadHeader},
        {22, 4, 0, Error::BadHeader},           // height
        {22, 4, 0x80000000u, Error::TooLarge},  // |INT32_MIN| must not overflow
        {18, 4, 0x7FFFFFFF, Error::TooLarge},
        {30, 4, 4, Error::Unsupported},         // JPEG
        {30, 4, 5, Error::Unsupported},         // PNG
        {30, 4, 2, Error::BadHeader},           // RLE4 at 8 bpp
        {30, 4, 3, Error::BadHeader},           // bit fields at 8 bpp
        {46, 4, 0x12341234, Error::BadHeader},  // more colours than fit before the pixels
        {46, 4, 257, Error::BadHeader},
        {10, 4, 50, Error::BadHeader},  // pixels inside the header
        {10, 4, 54, Error::BadHeader},  // no room for any colour
        {10, 4, 100000, Error::Truncated},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "offset " << c.offset << " = " << c.value);
        std::vector<uint8_t> file = good;
        (c.bytes == 2 ? Patch16 : Patch32)(file, c.offset, c.value);
        Result<Picture> picture = DecodeBytes(file);
        ASSERT_FALSE(picture.Ok());
        EXPECT_EQ(picture.error(), c.error);
    }

    // The biggest picture allowed is refused only because the file is too short for it.
    std::vector<uint8_t> big = good;
    Patch32(big, 18, 16384);
    Patch32(big, 22, 8192);
    EXPECT_EQ(DecodeBytes(big).error(), Error::Truncated);

    // Every cut through the headers, table or rows is refused by the header alone, as a caller that reads
    // the rows straight from the file relies on.
    for (size_t size = 0; size < good.size(); size++)
        EXPECT_FALSE(ParseHeader(good.data(), std::min(size, kHeadBytes), size).Ok()) << size;
}

TEST(Bmp, ColourTableLengthComesFromCountAndPixelOffset) {
    std::vector<uint8_t> pixels(4 * 1, 200);  // index 200 lies beyond every table below
    std::vector<uint8_t> file = Encode(MakeLayout(4, 1, 8, 3), pixels.data());
    Result<Picture> picture = DecodeBytes(file);
    ASSERT_TRUE(picture.Ok());
    EXPECT_EQ(picture->layout.colors.size(), 256u);
    EXPECT_EQ(ToRgba(*picture), std::vector<uint8_t>({0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}));

    // biClrUsed 0 means 256, but only two entries fit before the pixels.
    Patch32(file, 46, 0);
    Patch32(file, 10, 54 + 8);
    file.erase(file.begin() + 54 + 8, file.begin() + 54 + 12);
    picture = DecodeBytes(file);
    ASSERT_TRUE(picture.Ok());
    EXPECT_EQ(picture->layout.colors[1].r, 40);
    EXPECT_EQ(picture->layout.colors[2].r, 0);

    // 300 entries that are really there: the first 256 count.
    Layout layout = MakeLayout(4, 1, 8, 256);
    file = Encode(layout, pixels.data());
    file.insert(file.begin() + 54 + 1024, 44 * 4, 0x7F);
    Patch32(file, 46, 300);
    Patch32(file, 10, 54 + 1200);
    picture = DecodeBytes(file);
    ASSERT_TRUE(picture.Ok());
    EXPECT_EQ(picture->layout.colors[200].r, uint8_t(200 * 40));
}

TEST(Bmp, Rle8RunsEscapesAndErrors) {
    // 5 x 3, bottom row first: a run, an absolute run with its pad byte, end of line, a delta that
    // skips the middle row, a single pixel, end of bitmap. Skipped pixels are index 0.
    const std::vector<uint8_t> data = {2, 5, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 1, 1, 1, 7, 0, 1};
    Result<Picture> picture = DecodeBytes(Craft(5, 3, 8, 1, data));
    ASSERT_TRUE(picture.Ok()) << Describe(picture.error());
    const std::vector<uint8_t> rows = {5, 5, 1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(picture->layout.direct);
    EXPECT_EQ(picture->pixels, rows);

    struct Case {
        std::vector<uint8_t> data;
        std::optional<Error> error;
    };
    const Case cases[] = {
        {{5, 1, 0, 0, 5, 1, 0, 0, 5, 1}, std::nullopt},  // no end of bitmap after the last row
        {{5, 1, 0, 0, 5, 1, 0, 0, 5, 1, 0, 0}, std::nullopt},
        {{5, 1, 0, 0, 5, 1}, Error::Truncated},  // rows missing
        {{0, 4, 1, 2, 3}, Error::Truncated},     // absolute run cut short
        {{0, 2, 1}, Error::Truncated},           // delta cut short
        {{4, 1, 2, 1}, Error::BadData},          // run past the row end
        {{0, 6, 1, 2, 3, 4, 5, 6}, Error::BadData},
        {{0, 2, 6, 0}, Error::BadData},        // delta past the row end
        {{0, 2, 0, 4}, Error::BadData},        // delta past the top
        {{0, 2, 0, 3, 1, 1}, Error::BadData},  // pixel above the top
        {{0, 0, 0, 0, 0, 0, 1, 1}, Error::BadData},
    };
    for (const Case& c : cases) {
        Result<Picture> result = DecodeBytes(Craft(5, 3, 8, 1, c.data));
        EXPECT_EQ(result.Ok() ? std::nullopt : std::optional<Error>(result.error()), c.error)
            << testing::PrintToString(c.data);
    }

    std::vector<uint8_t> topDown = Craft(5, 3, 8, 1, data);
    Patch32(topDown, 22, uint32_t(-3));
    EXPECT_EQ(DecodeBytes(topDown).error(), Error::BadHeader);
}

TEST(Bmp, Rle4AlternatesNibbles) {
    // 7 x 1: a run of 3 alternating 1,2; an absolute run of 3 nibbles (two bytes, no pad); one more pixel.
    const std::vector<uint8_t> data = {3, 0x12, 0, 3, 0xAB, 0xC0, 1, 0x90, 0, 1};
    Result<Picture> picture = DecodeBytes(Craft(7, 1, 4, 2, data));
    ASSERT_TRUE(picture.Ok()) << Describe(picture.error());
    EXPECT_EQ(picture->pixels, std::vector<uint8_t>({0x12, 0x1A, 0xBC, 0x90}));
    EXPECT_EQ(DecodeBytes(Craft(7, 1, 4, 2, {8, 0x12})).error(), Error::BadData);
}

TEST(Bmp, UnpacksTwoBitBitFieldAndSixtyFourBitPixels) {
    // 2 bpp indices 0,1,2,3,1 widen to nibbles.
    Result<Picture> two = DecodeBytes(Craft(5, 1, 2, 0, {0x1B, 0x40, 0, 0}));
    ASSERT_TRUE(two.Ok()) << Describe(two.error());
    EXPECT_EQ(two->layout.bitsPerPixel, 4);
    EXPECT_EQ(two->layout.colors.size(), 16u);
    EXPECT_EQ(two->pixels, std::vector<uint8_t>({0x01, 0x23, 0x10, 0}));

    // R5G6B5: full scale is 255, and 1/31, 2/63 round to 8.
    Result<Picture> rgb565 = DecodeBytes(Craft(2, 1, 16, 3, {0xFF, 0xFF, 0x41, 0x08}, {0xF800, 0x07E0, 0x001F}));
    ASSERT_TRUE(rgb565.Ok()) << Describe(rgb565.error());
    EXPECT_EQ(rgb565->layout.bitsPerPixel, 24);
    EXPECT_EQ(ToRgba(*rgb565), std::vector<uint8_t>({255, 255, 255, 255, 8, 8, 8, 255}));

    // 5-5-5 spelled out as bit fields stays a direct 16 bpp DIB, and 31 still reads as 255.
    Result<Picture> rgb555 = DecodeBytes(Craft(2, 1, 16, 3, {0xFF, 0x7F, 0, 0}, {0x7C00, 0x03E0, 0x001F}));
    ASSERT_TRUE(rgb555.Ok());
    EXPECT_TRUE(rgb555->layout.direct);
    EXPECT_EQ(ToRgba(*rgb555), std::vector<uint8_t>({255, 255, 255, 255, 0, 0, 0, 255}));

    // A4R4G4B4 with BI_ALPHABITFIELDS: alpha is kept as a fourth byte.
    Result<Picture> argb = DecodeBytes(Craft(1, 1, 16, 6, {0x21, 0x84, 0, 0}, {0x0F00, 0x00F0, 0x000F, 0xF000}));
    ASSERT_TRUE(argb.Ok());
    EXPECT_TRUE(argb->layout.alpha);
    EXPECT_EQ(ToRgba(*argb), std::vector<uint8_t>({68, 34, 17, 136}));

    EXPECT_EQ(DecodeBytes(Craft(1, 1, 16, 3, {0, 0, 0, 0}, {0x0F0F, 0x00F0, 0})).error(), Error::BadHeader);
    EXPECT_EQ(DecodeBytes(Craft(1, 1, 16, 3, {0, 0, 0, 0}, {0x1F0000, 0x00F0, 0})).error(), Error::BadHeader);

    // 64 bpp: s2.13 linear light to sRGB; out-of-range samples clamp.
    std::vector<uint8_t> wide = {0x00, 0x20, 0x00, 0x10, 0x00, 0xC0, 0x00, 0x10};  // B 1.0, G 0.5, R < 0, A 0.5
    Result<Picture> deep = DecodeBytes(Craft(1, 1, 64, 0, wide));
    ASSERT_TRUE(deep.Ok()) << Describe(deep.error());
    EXPECT_EQ(ToRgba(*deep), std::vector<uint8_t>({0, 188, 255, 128}));
}

}  // namespace
}  // namespace velmo::bmp
