#include "core/Shrink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace velmo {
namespace {

// A BGRA picture, rows packed.
struct Picture {
    Size size;
    std::vector<uint8_t> bgra;
};

// A binary PPM (P6, maxval 255) as BGRA with its green copied into alpha, so that the fourth channel is
// checked against a reference too.
Picture ReadPpm(const std::string& name) {
    std::ifstream in(std::string(VELMO_PICTURES_DIR) + "/" + name, std::ios::binary);
    std::string magic;
    int maxval = 0;
    Picture p;
    in >> magic >> p.size.width >> p.size.height >> maxval;
    in.get();
    const std::vector<uint8_t> rgb((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(magic, "P6") << name;
    EXPECT_EQ(maxval, 255) << name;
    EXPECT_EQ(rgb.size(), size_t(p.size.width) * size_t(p.size.height) * 3) << name;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        p.bgra.insert(p.bgra.end(), {rgb[i + 2], rgb[i + 1], rgb[i], rgb[i + 1]});
    return p;
}

// The largest difference of any channel; both rows hold `bytes` bytes.
int MaxDifference(const uint8_t* a, const uint8_t* b, size_t bytes) {
    int most = 0;
    for (size_t i = 0; i < bytes; i++)
        most = std::max(most, std::abs(int(a[i]) - int(b[i])));
    return most;
}

// Feeds `in` in bands of `band` rows (a stride of `stride` bytes) and collects the target.
Picture ShrinkInBands(const Picture& in, Size target, int32_t band, size_t stride = 0) {
    stride = std::max(stride, size_t(in.size.width) * 4);
    std::vector<uint8_t> padded(stride * size_t(in.size.height), 0xA5);
    for (int32_t y = 0; y < in.size.height; y++)
        std::copy_n(&in.bgra[size_t(y) * size_t(in.size.width) * 4], size_t(in.size.width) * 4, &padded[y * stride]);
    Shrinker shrinker(in.size, target);
    Picture out{shrinker.Target(),
                std::vector<uint8_t>(size_t(shrinker.Target().width) * size_t(shrinker.Target().height) * 4)};
    int32_t next = 0;
    const Shrinker::RowSink sink = [&](int32_t y, const uint8_t* row) {
        EXPECT_EQ(y, next++);
        std::copy_n(row, size_t(out.size.width) * 4, &out.bgra[size_t(y) * size_t(out.size.width) * 4]);
    };
    for (int32_t y = 0; y < in.size.height; y += band)
        shrinker.AddRows(&padded[size_t(y) * stride], stride, std::min(band, in.size.height - y), sink);
    EXPECT_EQ(next, out.size.height);
    return out;
}

TEST(Shrink, MatchesImageMagickAreaAverage) {
    struct Case {
        const char* source;
        const char* reference;
    };
    const Case cases[] = {
        {"noise-3x3.ppm", "noise-3x3-to-2x2.ppm"},
        {"noise-1025x9.ppm", "noise-1025x9-to-1024x8.ppm"},
        {"noise-1x50.ppm", "noise-1x50-to-1x17.ppm"},
        {"noise-97x61.ppm", "noise-97x61-to-23x19.ppm"},
    };
    for (const Case& c : cases) {
        const Picture source = ReadPpm(c.source);
        const Picture reference = ReadPpm(c.reference);
        const Picture got = ShrinkInBands(source, reference.size, 5);
        ASSERT_EQ(got.size, reference.size) << c.reference;
        EXPECT_LE(MaxDifference(got.bgra.data(), reference.bgra.data(), got.bgra.size()), 1) << c.reference;
    }
}

// The source of formula-4000x3000-to-1024x768-rows.ppm, as tools/make-picture-fixtures.py makes it; green is
// copied into alpha as ReadPpm does.
void FormulaRow(int32_t y, int32_t width, uint8_t* bgra) {
    for (int32_t x = 0; x < width; x++, bgra += 4) {
        bgra[0] = uint8_t(x ^ y);
        bgra[1] = bgra[3] = uint8_t(x * 3 + y * 7);
        bgra[2] = uint8_t((x / 5) * (y / 3));
    }
}

TEST(Shrink, LargeFormulaPictureInBandsMatchesImageMagick) {
    // Generated and fed 256 rows at a time, never whole: the way a decoder hands over a big picture.
    const Size source{4000, 3000};
    const Picture reference = ReadPpm("formula-4000x3000-to-1024x768-rows.ppm");
    const int32_t keptRows[] = {0,   1,   2,   3,   4,   5,   6,   7,   380, 381, 382, 383,
                                384, 385, 386, 387, 760, 761, 762, 763, 764, 765, 766, 767};
    ASSERT_EQ(reference.size, (Size{1024, 24}));
    Shrinker shrinker(source, {1024, 768});
    const size_t stride = size_t(source.width) * 4;
    std::vector<uint8_t> band(stride * 256);
    int compared = 0;
    int most = 0;
    const Shrinker::RowSink sink = [&](int32_t y, const uint8_t* row) {
        const int32_t* kept = std::find(std::begin(keptRows), std::end(keptRows), y);
        if (kept == std::end(keptRows))
            return;
        const size_t at = size_t(kept - keptRows) * 1024 * 4;
        most = std::max(most, MaxDifference(row, &reference.bgra[at], 1024 * 4));
        compared++;
    };
    for (int32_t y = 0; y < source.height; y += 256) {
        const int32_t rows = std::min(256, source.height - y);
        for (int32_t r = 0; r < rows; r++)
            FormulaRow(y + r, source.width, &band[size_t(r) * stride]);
        shrinker.AddRows(band.data(), stride, rows, sink);
    }
    EXPECT_EQ(compared, 24);
    EXPECT_LE(most, 1);
}

// The area average by its definition, in whole numbers: for an sw x sh source and a tw x th target, source pixel
// (x, y) spans [x * tw, (x + 1) * tw) by [y * th, (y + 1) * th) and target pixel (i, j) spans [i * sw, (i + 1) * sw)
// by [j * sh, (j + 1) * sh); each source pixel weighs by the area the two share, and the sum is rounded half up.
Picture AreaAverage(const Picture& in, Size target) {
    const uint64_t sw = uint64_t(in.size.width), sh = uint64_t(in.size.height);
    const uint64_t tw = uint64_t(target.width), th = uint64_t(target.height);
    auto shared = [](uint64_t s, uint64_t sLength, uint64_t t, uint64_t tLength) {
        const uint64_t from = std::max(s * sLength, t * tLength), to = std::min((s + 1) * sLength, (t + 1) * tLength);
        return to > from ? to - from : 0;
    };
    Picture out{target, {}};
    for (uint64_t j = 0; j < th; j++) {
        for (uint64_t i = 0; i < tw; i++) {
            for (size_t c = 0; c < 4; c++) {
                uint64_t sum = 0;
                for (uint64_t y = j * sh / th; y * th < (j + 1) * sh; y++)
                    for (uint64_t x = i * sw / tw; x * tw < (i + 1) * sw; x++)
                        sum += shared(x, tw, i, sw) * shared(y, th, j, sh) * in.bgra[(y * sw + x) * 4 + c];
                out.bgra.push_back(uint8_t((2 * sum + sw * sh) / (2 * sw * sh)));
            }
        }
    }
    return out;
}

TEST(Shrink, ExactAverageInAnyBands) {
    // Each in noise and in white, whose sums are the largest, fed in bands of 1, 7, 64 and all rows.
    const Size cases[][2] = {
        {{301, 203}, {97, 61}},    // source pixels split between target pixels both ways
        {{301, 203}, {300, 202}},  // nearly every source row and column shared by two target ones
        {{301, 203}, {150, 7}},    // many rows to a target row
        {{301, 203}, {1, 1}},      // every source pixel in one target pixel
        {{301, 203}, {301, 203}},  // the picture itself
        {{40001, 1}, {40000, 1}},  // weights past 16 bits; the last column's window ends at the row's end
        {{257, 257}, {100, 100}},  // 16-bit column sums at their largest (255 * 257), integer sums across
        {{258, 258}, {257, 257}},  // 32-bit column sums, 32-bit integer sums across
        {{3, 300}, {3, 299}},      // 32-bit column sums, float sums across
    };
    std::mt19937 random(11);
    for (const auto& c : cases) {
        for (const bool white : {false, true}) {
            Picture source{c[0], std::vector<uint8_t>(size_t(c[0].width) * size_t(c[0].height) * 4, 255)};
            if (!white)
                std::generate(source.bgra.begin(), source.bgra.end(), [&] { return uint8_t(random()); });
            const Picture expected = AreaAverage(source, c[1]);
            for (const int32_t band : {1, 7, 64, c[0].height}) {
                const Picture got = ShrinkInBands(source, c[1], band, size_t(c[0].width) * 4 + 12);
                EXPECT_EQ(got.bgra, expected.bgra) << c[0].width << "x" << c[0].height << " to " << c[1].width << "x"
                                                   << c[1].height << (white ? " white" : "") << " in bands of " << band;
            }
        }
    }
}

TEST(Shrink, ExactAveragesRoundHalfUp) {
    struct Case {
        Size source;
        std::vector<uint8_t> in;  // one channel, copied into all four
        Size target;
        std::vector<uint8_t> expected;
    };
    const Case cases[] = {
        {{2, 2}, {0, 0, 0, 1}, {1, 1}, {0}},       // 0.25
        {{2, 2}, {0, 0, 1, 1}, {1, 1}, {1}},       // 0.5 goes up
        {{2, 2}, {0, 1, 1, 1}, {1, 1}, {1}},       // 0.75
        {{3, 1}, {0, 255, 0}, {2, 1}, {85, 85}},   // 127.5 / 1.5 on each side
        {{3, 1}, {30, 60, 90}, {2, 1}, {40, 80}},  // (30 + 30) / 1.5 and (30 + 90) / 1.5
        {{1, 3}, {30, 60, 90}, {1, 2}, {40, 80}},  // the same down
        {{2, 1}, {10, 20}, {5, 9}, {10, 20}},      // a larger target is clamped
    };
    for (const Case& c : cases) {
        Picture source{c.source, {}};
        for (uint8_t v : c.in)
            source.bgra.insert(source.bgra.end(), 4, v);
        const Picture got = ShrinkInBands(source, c.target, 1);
        std::vector<uint8_t> expected;
        for (uint8_t v : c.expected)
            expected.insert(expected.end(), 4, v);
        EXPECT_EQ(got.bgra, expected) << c.source.width << "x" << c.source.height << " to " << c.target.width << "x"
                                      << c.target.height;
    }
}

TEST(Shrink, RowsPastTheEndAndBadSizes) {
    Shrinker shrinker({2, 2}, {1, 1});
    const std::vector<uint8_t> rows(4 * 4 * 2, 200);
    int emitted = 0;
    shrinker.AddRows(rows.data(), 8, 4, [&](int32_t, const uint8_t* row) { emitted += row[0] == 200; });
    EXPECT_EQ(emitted, 1);
    EXPECT_EQ(shrinker.RowsTaken(), 2);
    for (const Size bad : {Size{0, 5}, Size{5, -1}, Size{Shrinker::kMaxSide + 1, 1}})
        EXPECT_FALSE(Shrinker(bad, {1, 1}).Valid());
}

TEST(Shrink, SumsPast32BitsAgreeWithOneRowAndOneColumn) {
    // 6007 x 4099 to 7 x 5 weighs each target pixel 6007 * 4099 times over, and alpha near 230 times that needs more
    // than 32 bits. Blue and green change along x only and red and alpha along y only, so the result must equal the
    // shrink of one row and of one column, whose sums stay small.
    const Size source{6007, 4099};
    const Size target{7, 5};
    auto alongX = [](int32_t x, int c) { return uint8_t(c == 0 ? x * 13 : x >> 4); };
    auto alongY = [](int32_t y, int c) { return uint8_t(c == 2 ? y * 29 : 255 - (y >> 4)); };
    Picture row{{source.width, 1}, {}}, column{{1, source.height}, {}};
    for (int32_t x = 0; x < source.width; x++)
        row.bgra.insert(row.bgra.end(), {alongX(x, 0), alongX(x, 1), 0, 0});
    for (int32_t y = 0; y < source.height; y++)
        column.bgra.insert(column.bgra.end(), {0, 0, alongY(y, 2), alongY(y, 3)});
    const Picture rowShrunk = ShrinkInBands(row, {target.width, 1}, 1);
    const Picture columnShrunk = ShrinkInBands(column, {1, target.height}, 64);

    Shrinker shrinker(source, target);
    std::vector<uint8_t> band(size_t(source.width) * 4 * 64);
    int wrong = 0;
    const Shrinker::RowSink sink = [&](int32_t y, const uint8_t* out) {
        for (int32_t x = 0; x < target.width; x++) {
            wrong += out[x * 4] != rowShrunk.bgra[size_t(x) * 4] || out[x * 4 + 1] != rowShrunk.bgra[size_t(x) * 4 + 1];
            wrong += out[x * 4 + 2] != columnShrunk.bgra[size_t(y) * 4 + 2] ||
                     out[x * 4 + 3] != columnShrunk.bgra[size_t(y) * 4 + 3];
        }
    };
    for (int32_t y = 0; y < source.height; y += 64) {
        const int32_t rows = std::min(64, source.height - y);
        for (int32_t r = 0; r < rows; r++)
            for (int32_t x = 0; x < source.width; x++)
                for (int c = 0; c < 4; c++)
                    band[(size_t(r) * size_t(source.width) + size_t(x)) * 4 + size_t(c)] =
                        c < 2 ? alongX(x, c) : alongY(y + r, c);
        shrinker.AddRows(band.data(), size_t(source.width) * 4, rows, sink);
    }
    EXPECT_EQ(shrinker.RowsTaken(), source.height);
    EXPECT_EQ(wrong, 0);
}

TEST(Shrink, FitPictureOnScreen) {
    struct Case {
        Size picture, screen;
        Rect expected;
    };
    const Case cases[] = {
        {{4000, 3000}, {1024, 768}, {0, 0, 1024, 768}},
        {{4000, 2000}, {1024, 768}, {0, 128, 1024, 512}},
        {{300, 200}, {1024, 768}, {362, 284, 300, 200}},  // never enlarged
        {{2000, 4000}, {1024, 768}, {320, 0, 384, 768}},
        {{1025, 10}, {1024, 768}, {0, 379, 1024, 10}},  // 9.99 rounds to 10
        {{1024, 768}, {1024, 768}, {0, 0, 1024, 768}},
        {{1000, 769}, {1024, 768}, {12, 0, 999, 768}},  // 998.7
        {{100000, 1}, {1024, 768}, {0, 383, 1024, 1}},  // at least one row
        {{1, 100000}, {1024, 768}, {511, 0, 1, 768}},
        {{0, 0}, {1024, 768}, {511, 383, 1, 1}},
        {{3, 2}, {2, 2}, {0, 0, 2, 1}},  // 1.33 rounds to 1, the odd pixel goes below
    };
    for (const Case& c : cases) {
        const Rect r = FitPicture(c.picture, c.screen);
        EXPECT_EQ(r, c.expected) << c.picture.width << "x" << c.picture.height << ": " << r.left << "," << r.top << " "
                                 << r.width << "x" << r.height;
    }
}

}  // namespace
}  // namespace velmo
