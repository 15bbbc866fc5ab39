// Reading BMP files into DIB sections, and the picture control drawing them centred on black.
#include "core/Bmp.h"
#include "win/BmpFile.h"
#include "win/Controls.h"
#include "win/Error.h"
#include "win/Files.h"
#include "win/Text.h"

#include <gtest/gtest.h>

#include <vector>

#include "TestUtil.h"

namespace velmo::win {
namespace {

// The bitmap's pixels as top-down 0xRRGGBB values, read back through GDI.
std::vector<uint32_t> Pixels(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    UniqueDc dc(CreateCompatibleDC(nullptr));
    GetDIBits(dc.get(), bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    for (uint32_t& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

TEST(BmpFile, LoadsDirectAndDecodedFormsLikeTheCore) {
    const char* files[] = {"g/rgb24.bmp", "g/pal8.bmp", "g/pal8rle.bmp", "g/pal4.bmp", "g/pal1.bmp",
                           "g/rgb16-565.bmp", "g/rgb32bf.bmp", "g/pal8topdown.bmp", "g/pal8os2.bmp"};
    for (const char* name : files) {
        const std::string path = std::string(VELMO_BMPSUITE_DIR) + "/" + name;
        SCOPED_TRACE(name);
        LoadedBitmap loaded = LoadBmpFile(path);
        ASSERT_TRUE(loaded.bitmap);

        std::vector<uint8_t> bytes = ReadWholeFile(path);
        bmp::Result<bmp::Picture> picture = bmp::Decode(bytes.data(), bytes.size());
        ASSERT_TRUE(picture);
        const std::vector<uint8_t> rgba = bmp::ToRgba(*picture);
        const int width = picture->layout.width;
        const int height = picture->layout.height;
        ASSERT_TRUE(loaded.palette);

        const std::vector<uint32_t> pixels = Pixels(loaded.bitmap.get(), width, height);
        int mismatches = 0;
        for (size_t i = 0; i < pixels.size(); ++i) {
            uint32_t expected = (uint32_t{rgba[i * 4]} << 16) | (uint32_t{rgba[i * 4 + 1]} << 8) | rgba[i * 4 + 2];
            mismatches += pixels[i] != expected;
        }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(BmpFile, RefusesWhatIsNotABitmap) {
    test::TempFolder temp;
    const std::string path = temp.path() + "text.bmp";
    e2e::WriteFileBytes(path, "this is not a bitmap\r\n");
    try {
        LoadBmpFile(path);
        FAIL() << "a text file loaded";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message(), L"ﾌｧｲﾙ " + AcpToWide(path) + L" は開けません");
    }
    // A bitmap whose pixel rows are cut off.
    std::vector<uint8_t> bytes = ReadWholeFile(std::string(VELMO_BMPSUITE_DIR) + "/g/rgb24.bmp");
    e2e::WriteFileBytes(path, std::string(bytes.begin(), bytes.begin() + bytes.size() / 2));
    EXPECT_THROW(LoadBmpFile(path), AppError);
}

// A top-level host for a control, hidden, with a DIB section to print into.
class PictureHost : public Window {
public:
    PictureHost(int width, int height) {
        Create({L"VelmoTestHost", 0, nullptr}, {L"host", WS_POPUP, 0, {0, 0, width, height}, nullptr, 0});
    }
};

UniqueBitmap SolidBitmap(int width, int height, uint32_t rgb, uint32_t centre) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* p = static_cast<uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i)
        p[i] = rgb;
    p[(height / 2) * width + width / 2] = centre;
    return bitmap;
}

std::vector<uint32_t> Print(HWND hwnd, int width, int height) {
    UniqueDc dc(CreateCompatibleDC(nullptr));
    UniqueBitmap target = SolidBitmap(width, height, 0x123456, 0x123456);
    {
        SelectGuard select(dc.get(), target.get());
        SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    }
    return Pixels(target.get(), width, height);
}

TEST(Picture, DrawsCentredAtNaturalSizeOnBlack) {
    PictureHost host(100, 80);
    Picture picture;
    picture.Create(host.hwnd(), {L"", WS_VISIBLE, 0, {0, 0, 100, 80}, nullptr, 1});

    picture.SetPicture(SolidBitmap(40, 20, 0xFF0000, 0x00FF00), UniquePalette());
    std::vector<uint32_t> pixels = Print(picture.hwnd(), 100, 80);
    EXPECT_EQ(pixels[40 * 100 + 50], 0x00FF00u);  // the picture's centre on the control's centre
    EXPECT_EQ(pixels[30 * 100 + 30], 0xFF0000u);  // top-left corner of the picture at (30,30)
    EXPECT_EQ(pixels[29 * 100 + 30], 0x000000u);
    EXPECT_EQ(pixels[30 * 100 + 29], 0x000000u);
    EXPECT_EQ(pixels[49 * 100 + 69], 0xFF0000u);  // bottom-right corner at (69,49)
    EXPECT_EQ(pixels[50 * 100 + 70], 0x000000u);
    EXPECT_EQ(pixels[0], 0x000000u);

    // Larger than the control: its middle part shows, nothing outside it.
    picture.SetPicture(SolidBitmap(300, 200, 0x0000FF, 0xFFFFFF), UniquePalette());
    pixels = Print(picture.hwnd(), 100, 80);
    EXPECT_EQ(pixels[40 * 100 + 50], 0xFFFFFFu);
    EXPECT_EQ(pixels[0], 0x0000FFu);
    EXPECT_EQ(pixels[79 * 100 + 99], 0x0000FFu);

    picture.Clear();
    pixels = Print(picture.hwnd(), 100, 80);
    EXPECT_EQ(pixels[40 * 100 + 50], 0x000000u);
}

TEST(Picture, ShowsAndHidesInsideAHiddenWindow) {
    // The main window is still hidden while the start-up loads the picture and hides it again.
    PictureHost host(100, 80);
    Picture picture;
    picture.Create(host.hwnd(), {L"", 0, 0, {0, 0, 100, 80}, nullptr, 1});
    EXPECT_FALSE(picture.Visible());
    picture.Show(true);
    EXPECT_TRUE(picture.Visible());
    picture.Show(false);
    EXPECT_FALSE(picture.Visible());
    ShowWindow(host.hwnd(), SW_SHOWNA);
    EXPECT_FALSE(IsWindowVisible(picture.hwnd()));
}

}  // namespace
}  // namespace velmo::win
