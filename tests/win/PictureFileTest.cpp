// Reading picture files of every format through the system's decoders, turned, composed over black and fitted.
#include "win/PictureFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/Shrink.h"
#include "win/Error.h"
#include "win/Files.h"

#include "TestUtil.h"

namespace velmo::win {
namespace {

const std::string kDir = std::string(VELMO_PICTURES_DIR) + "/";
const std::string kLoadDir = kDir + "load/";

// Pixels as R, G, B and a fourth byte, top-down.
struct Pixels {
    Size size;
    std::vector<uint8_t> rgbx;
    const uint8_t* At(int x, int y) const { return &rgbx[4 * (static_cast<size_t>(y) * size.width + x)]; }
};

// A binary PPM (P6, maxval 255) as ImageMagick writes it.
Pixels ReadPpm(const std::string& path) {
    const std::vector<uint8_t> file = ReadWholeFile(path);
    int width = 0, height = 0, maxval = 0, header = 0;
    if (std::sscanf(reinterpret_cast<const char*>(file.data()), "P6 %d %d %d%n", &width, &height, &maxval,
                    &header) != 3)
        return {};
    Pixels pixels{{width, height}, std::vector<uint8_t>(4 * static_cast<size_t>(width) * height)};
    const uint8_t* in = file.data() + header + 1;  // one white-space byte after maxval
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        for (int c = 0; c < 3; ++c)
            pixels.rgbx[4 * i + c] = in[3 * i + c];
    }
    return pixels;
}

// The loaded section's own bits, read in place as top-down rows of 4 * width bytes, blue first (GetObject gives
// the height as positive either way; the rows' order shows in the pixels).
Pixels SectionPixels(HBITMAP bitmap) {
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof(section), &section) != sizeof(section))
        return {};
    EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(section.dsBmih.biCompression, static_cast<DWORD>(BI_RGB));
    Pixels pixels{{section.dsBm.bmWidth, section.dsBm.bmHeight},
                  std::vector<uint8_t>(4 * static_cast<size_t>(section.dsBm.bmWidth) * section.dsBm.bmHeight)};
    const auto* bits = static_cast<const uint8_t*>(section.dsBm.bmBits);
    for (size_t i = 0; i < pixels.rgbx.size(); i += 4) {
        pixels.rgbx[i] = bits[i + 2];
        pixels.rgbx[i + 1] = bits[i + 1];
        pixels.rgbx[i + 2] = bits[i];
        pixels.rgbx[i + 3] = bits[i + 3];
    }
    return pixels;
}

// The pixels whose colour is off by more than `tolerance` in a channel, or whose fourth byte is not 0.
int Mismatches(const Pixels& actual, const Pixels& expected, int tolerance) {
    if (!(actual.size == expected.size))
        return -1;
    int mismatches = 0;
    for (size_t i = 0; i < actual.rgbx.size(); i += 4) {
        bool off = actual.rgbx[i + 3] != 0;
        for (int c = 0; c < 3; ++c)
            off |= std::abs(actual.rgbx[i + c] - expected.rgbx[i + c]) > tolerance;
        mismatches += off;
    }
    return mismatches;
}

constexpr Size kScreen{1920, 1080};

TEST(PictureFile, DecodesEachFormatLikeItsReference) {
    struct Case {
        const char* file;
        int tolerance;  // lossy JPEG decoders differ slightly in their rounding
    } cases[] = {
        {"rgb8.png", 0},         {"rgb16.png", 0},        {"rgb8-interlaced.png", 0}, {"palette.png", 0},
        {"grey1.png", 0},        {"greyalpha.png", 1},    {"rgba.png", 1},            {"palette.gif", 0},
        {"transparent.gif", 0},  {"rgb8.tif", 0},         {"baseline.jpg", 3},        {"progressive.jpg", 3},
        {"grey.jpg", 3},         {"cmyk.jpg", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        LoadedBitmap loaded = LoadPictureFile(kLoadDir + c.file, kScreen);
        ASSERT_TRUE(loaded.bitmap);
        EXPECT_TRUE(loaded.palette);
        const Pixels expected = ReadPpm(kLoadDir + c.file + ".ppm");
        ASSERT_GT(expected.size.width, 0);
        EXPECT_EQ(Mismatches(SectionPixels(loaded.bitmap.get()), expected, c.tolerance), 0);
    }
}

// The blocks picture is stored 32 x 16 with these colours in its corners; each orientation shows them elsewhere.
enum Corner { kRed, kGreen, kBlue, kWhite };
constexpr uint8_t kColours[4][3] = {{200, 40, 40}, {40, 180, 60}, {40, 60, 200}, {230, 230, 230}};

struct Shown {
    int orientation;
    Size size;
    Corner topLeft, topRight, bottomLeft, bottomRight;
};
constexpr Shown kShown[] = {
    {1, {32, 16}, kRed, kGreen, kBlue, kWhite},  {2, {32, 16}, kGreen, kRed, kWhite, kBlue},
    {3, {32, 16}, kWhite, kBlue, kGreen, kRed},  {4, {32, 16}, kBlue, kWhite, kRed, kGreen},
    {5, {16, 32}, kRed, kBlue, kGreen, kWhite},  {6, {16, 32}, kBlue, kRed, kWhite, kGreen},
    {7, {16, 32}, kWhite, kGreen, kBlue, kRed},  {8, {16, 32}, kGreen, kWhite, kRed, kBlue},
};

// The blocks as they should be shown at `size`: four flat quadrants.
Pixels Blocks(const Shown& shown, Size size) {
    Pixels pixels{size, std::vector<uint8_t>(4 * static_cast<size_t>(size.width) * size.height)};
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            const bool right = x >= size.width / 2, bottom = y >= size.height / 2;
            const Corner corner = bottom ? (right ? shown.bottomRight : shown.bottomLeft)
                                         : (right ? shown.topRight : shown.topLeft);
            std::copy(kColours[corner], kColours[corner] + 3, &pixels.rgbx[4 * (static_cast<size_t>(y) * size.width + x)]);
        }
    }
    return pixels;
}

TEST(PictureFile, TurnsJpegAndTiffByTheirOrientation) {
    for (const Shown& shown : kShown) {
        for (const char* type : {"jpg", "tif"}) {
            const std::string name = "orient-" + std::to_string(shown.orientation) + "." + type;
            SCOPED_TRACE(name);
            LoadedBitmap loaded = LoadPictureFile(kLoadDir + name, kScreen);
            const int tolerance = type[0] == 'j' ? 4 : 0;
            EXPECT_EQ(Mismatches(SectionPixels(loaded.bitmap.get()), Blocks(shown, shown.size), tolerance), 0);

            // Fitted on the shown shape: 32 x 16 on its side is 16 x 32, which fits 8 x 8 as 4 x 8, not 8 x 4.
            // Each quadrant is a whole number of source blocks, so the average keeps its colour.
            LoadedBitmap small = LoadPictureFile(kLoadDir + name, {8, 8});
            const Size expected{shown.size.width / 4, shown.size.height / 4};
            EXPECT_EQ(Mismatches(SectionPixels(small.bitmap.get()), Blocks(shown, expected), tolerance), 0);
        }
    }
}

TEST(PictureFile, ShrinksWhatIsLargerThanTheScreenLikeTheCore) {
    const Pixels source = ReadPpm(kDir + "noise-97x61.ppm");
    ASSERT_EQ(source.size, (Size{97, 61}));
    struct Case {
        Size screen;
        Size shown;
    } cases[] = {
        {{1920, 1080}, {97, 61}},  // smaller: at its own size
        {{97, 61}, {97, 61}},      // exactly the screen
        {{96, 61}, {96, 60}},      // one pixel too wide
        {{23, 19}, {23, 14}},      // much wider than the screen's shape
        {{50, 10}, {16, 10}},      // too high
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.screen.width << "x" << c.screen.height);
        LoadedBitmap loaded = LoadPictureFile(kLoadDir + "noise-97x61.png", c.screen);
        const Rect fitted = FitPicture(source.size, c.screen);
        ASSERT_EQ((Size{fitted.width, fitted.height}), c.shown);
        Pixels expected{c.shown, std::vector<uint8_t>(4 * static_cast<size_t>(c.shown.width) * c.shown.height)};
        ASSERT_TRUE(Shrink(source.rgbx.data(), source.size, 4 * size_t{97}, expected.rgbx.data(), c.shown,
                           4 * static_cast<size_t>(c.shown.width)));
        EXPECT_EQ(Mismatches(SectionPixels(loaded.bitmap.get()), expected, 0), 0);
    }
}

// What GDI reads back from a bitmap of any depth, as 0xRRGGBB.
std::vector<uint32_t> GdiPixels(HBITMAP bitmap, Size* size) {
    BITMAP shape{};
    GetObjectW(bitmap, sizeof(shape), &shape);
    *size = {shape.bmWidth, shape.bmHeight};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = shape.bmWidth;
    info.bmiHeader.biHeight = -shape.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(shape.bmWidth) * shape.bmHeight);
    UniqueDc dc(CreateCompatibleDC(nullptr));
    GetDIBits(dc.get(), bitmap, 0, shape.bmHeight, pixels.data(), &info, DIB_RGB_COLORS);
    return pixels;
}

TEST(PictureFile, TheContentDecidesAndBmpKeepsItsOwnReader) {
    test::TempFolder folder;
    const std::string bmpSuite = std::string(VELMO_BMPSUITE_DIR) + "/g/";
    // A BMP larger than the screen comes back whole, at its own depth, whatever the file's name says.
    for (const char* name : {"rgb24.bmp", "pal8.bmp", "pal4.bmp"}) {
        SCOPED_TRACE(name);
        const std::string renamed = folder.path() + name + ".jpg";
        ASSERT_TRUE(CopyFileA((bmpSuite + name).c_str(), renamed.c_str(), FALSE));
        LoadedBitmap ours = LoadPictureFile(renamed, {10, 10});
        LoadedBitmap bmp = LoadBmpFile(bmpSuite + name);
        BITMAP a{}, b{};
        GetObjectW(ours.bitmap.get(), sizeof(a), &a);
        GetObjectW(bmp.bitmap.get(), sizeof(b), &b);
        EXPECT_EQ(a.bmBitsPixel, b.bmBitsPixel);
        EXPECT_EQ(a.bmWidth, 127);
        Size oursSize, bmpSize;
        EXPECT_EQ(GdiPixels(ours.bitmap.get(), &oursSize), GdiPixels(bmp.bitmap.get(), &bmpSize));
        EXPECT_EQ(oursSize, bmpSize);
        EXPECT_TRUE(ours.palette);
    }
    // A PNG named .bmp is a PNG.
    const std::string png = folder.path() + "png.bmp";
    ASSERT_TRUE(CopyFileA((kLoadDir + "rgb8.png").c_str(), png.c_str(), FALSE));
    EXPECT_EQ(Mismatches(SectionPixels(LoadPictureFile(png, kScreen).bitmap.get()), ReadPpm(kLoadDir + "rgb8.png.ppm"),
                         0),
              0);
    // A "BM" file the BMP reader refuses is refused with the same error, never decoded otherwise.
    const std::string bad = folder.path() + "bad.png";
    e2e::WriteFileBytes(bad, "BM" + std::string(100, '\0'));
    try {
        LoadPictureFile(bad, kScreen);
        ADD_FAILURE() << "loaded";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message(), CannotOpenFile(bad, "", 0).message());
        try {
            LoadBmpFile(bad);
        } catch (const AppError& bmpError) {
            EXPECT_STREQ(error.api(), bmpError.api());
        }
    }
}

TEST(PictureFile, RefusesBrokenFilesOrShowsWhatDecodes) {
    struct Case {
        const char* file;
        bool refused;  // else shown at this size, as far as it decodes (none of these is, under Wine 8)
        Size size;
    } cases[] = {
        {"bad-empty.jpg", true, {}},      {"bad-cut-in-header.jpg", true, {}},
        {"bad-cut-in-scan.jpg", true, {}},
        {"bad-checksum.png", true, {}},   {"bad-huge.png", true, {}},
        {"bad-huge.jpg", true, {}},       {"bad-noframe.gif", true, {}},
        {"bad-strips.tif", true, {}},     {"no-such-file.png", true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = kLoadDir + c.file;
        try {
            LoadedBitmap loaded = LoadPictureFile(path, kScreen);
            EXPECT_FALSE(c.refused);
            EXPECT_EQ(SectionPixels(loaded.bitmap.get()).size, c.size);
        } catch (const AppError& error) {
            EXPECT_TRUE(c.refused) << error.api() << " " << error.code();
            EXPECT_EQ(error.message(), CannotOpenFile(path, "", 0).message());
        }
    }
}

}  // namespace
}  // namespace velmo::win
