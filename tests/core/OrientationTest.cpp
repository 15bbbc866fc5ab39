#include "core/Orientation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmo {
namespace {

// A stored 3 x 2 picture
//   a b c
//   d e f
// shown under each orientation, written out by hand; rows separated by '/'.
TEST(Orientation, EachOfTheEightOnAnAsymmetricPicture) {
    struct Case {
        int orientation;
        const char* shown;
    };
    const Case cases[] = {
        {1, "abc/def"},  {2, "cba/fed"},  {3, "fed/cba"}, {4, "def/abc"}, {5, "ad/be/cf"}, {6, "da/eb/fc"},
        {7, "fc/eb/da"}, {8, "cf/be/ad"}, {0, "abc/def"}, {9, "abc/def"},  // not an orientation: as stored
    };
    // Rows padded to 5 pixels on both sides, so that a stride mix-up shows; each pixel is its letter in all
    // four bytes but the last, which tells the pixels of one letter apart from padding.
    const size_t inStride = 5 * 4;
    std::vector<uint8_t> in(2 * inStride, 0xEE);
    const char* letters = "abcdef";
    for (int i = 0; i < 6; i++)
        for (int b = 0; b < 4; b++)
            in[size_t(i / 3) * inStride + size_t(i % 3) * 4 + size_t(b)] = uint8_t(b < 3 ? letters[i] : 'A' + i);

    for (const Case& c : cases) {
        const Size shown = OrientedSize({3, 2}, c.orientation);
        const size_t outStride = 6 * 4;
        std::vector<uint8_t> out(size_t(shown.height) * outStride, 0);
        Orient(in.data(), {3, 2}, inStride, c.orientation, out.data(), outStride);
        std::string text;
        for (int32_t y = 0; y < shown.height; y++) {
            if (y > 0)
                text += '/';
            for (int32_t x = 0; x < shown.width; x++) {
                const uint8_t* p = &out[size_t(y) * outStride + size_t(x) * 4];
                EXPECT_TRUE(p[0] == p[1] && p[1] == p[2] && p[3] == p[0] - 'a' + 'A') << c.orientation;
                text += char(p[0]);
            }
            for (size_t x = size_t(shown.width) * 4; x < outStride; x++)
                EXPECT_EQ(out[size_t(y) * outStride + x], 0) << "written past the row, " << c.orientation;
        }
        EXPECT_EQ(text, c.shown) << "orientation " << c.orientation;

        // The per-pixel mapping says the same as the picture.
        for (int32_t y = 0; y < shown.height; y++) {
            for (int32_t x = 0; x < shown.width; x++) {
                const Point from = StoredPixelOf({x, y}, {3, 2}, c.orientation);
                EXPECT_EQ(letters[from.y * 3 + from.x], text[size_t(y * (shown.width + 1) + x)]) << c.orientation;
            }
        }
    }
}

TEST(Orientation, SizesAndSinglePixelRows) {
    for (int orientation = 1; orientation <= 8; orientation++) {
        const Size expected = orientation >= 5 ? Size{1, 7} : Size{7, 1};
        EXPECT_EQ(OrientedSize({7, 1}, orientation), expected) << orientation;
        // A one-row picture turned into a one-column one, and back: nothing lost, nothing read outside.
        std::vector<uint8_t> row(7 * 4), column(7 * 4), back(7 * 4);
        for (size_t i = 0; i < row.size(); i++)
            row[i] = uint8_t(i);
        Orient(row.data(), {7, 1}, row.size(), orientation, column.data(), size_t(expected.width) * 4);
        const int inverse = orientation == 6 ? 8 : orientation == 8 ? 6 : orientation;
        Orient(column.data(), expected, size_t(expected.width) * 4, inverse, back.data(), back.size());
        EXPECT_EQ(back, row) << orientation;
    }
}

}  // namespace
}  // namespace velmo
