// Pictures as users have them: photos larger than the screen, some stored sideways, and a PNG with transparency,
// picked with "file" and shown fitted, the right way up and centred on black.
#include <cstdlib>

#include "E2eTest.h"

namespace velmo::e2e {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// A picture of four flat quarters as it is shown: red, green / blue, white.
COLORREF Quarter(int x, int y, int width, int height) {
    if (y < height / 2)
        return x < width / 2 ? kRed : kGreen;
    return x < width / 2 ? kBlue : kWhite;
}

uint32_t Opaque(COLORREF c) {
    return 0xFF000000u | GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
}

// A JPEG colour is near, not exact.
bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 24 && std::abs(GetGValue(a) - GetGValue(b)) <= 24 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 24;
}

// The screen shows `expected` near each point, within the JPEG's tolerance; the mismatches, or "".
std::string ShowsNear(const std::vector<PixelCheck>& checks) {
    std::string wrong;
    WaitUntil([&] {
        const ScreenShot shot;
        wrong.clear();
        for (const PixelCheck& c : checks) {
            if (!Near(shot.At(c.x, c.y), c.color))
                wrong += "(" + std::to_string(c.x) + "," + std::to_string(c.y) + ") is " + ColorText(shot.At(c.x, c.y)) +
                         ", expected " + ColorText(c.color) + "\n";
        }
        return wrong.empty();
    });
    return wrong;
}

// Picks `path` with the control window's "file" and waits for the caption that names it.
::testing::AssertionResult Picked(const VelmoProcess& velmo, HWND control, const std::string& path,
                                  const std::wstring& name) {
    HWND dialog = nullptr;
    if (!ClickButton(control, L"file") ||
        !WaitUntil([&] { return (dialog = FindTopLevel(velmo.pid(), L"#32770")) != nullptr; }))
        return ::testing::AssertionFailure() << "no file dialog";
    Settle(dialog);
    SetDlgItemTextA(dialog, 1148, path.c_str());  // the file name box
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    if (!WaitUntil([&] { return WindowText(control) == L" Velmo - " + name; }))
        return ::testing::AssertionFailure() << "the caption did not come to name the picture";
    return ::testing::AssertionSuccess();
}

TEST_F(VelmoE2eTest, PhotosAreFittedTheRightWayUpAndCentredOnBlack) {
    ProgramFolder folder;
    // 4000 x 3000 as stored; 4000 x 2000 as shown, stored sideways (2000 x 4000, orientation 6: turn a quarter
    // clockwise to show); 300 x 200 with its right half transparent.
    const std::string large = folder.File("large.jpg"), wide = folder.File("wide.jpg"), clear = folder.File("half.png");
    ASSERT_TRUE(WriteEncoded(large, Encoded::Jpeg, 4000, 3000,
                             [](int x, int y) { return Opaque(Quarter(x, y, 4000, 3000)); }));
    ASSERT_TRUE(WriteEncoded(wide, Encoded::Jpeg, 2000, 4000,
                             [](int x, int y) { return Opaque(Quarter(4000 - 1 - y, x, 4000, 2000)); }, 6));
    ASSERT_TRUE(WriteEncoded(clear, Encoded::Png, 300, 200,
                             [](int x, int) { return x < 150 ? Opaque(kRed) : 0x0000FF00u; }));
    VelmoProcess velmo(folder);
    ASSERT_TRUE(StartedAndRevealed(velmo));
    HWND control = OpenControlWindow(velmo, kOnRevealedWindow);
    ASSERT_NE(control, nullptr);

    ASSERT_TRUE(Picked(velmo, control, large, L"large.jpg"));
    EXPECT_EQ(IniKey(folder, "Velmo", "Photo_1"), large);
    ASSERT_TRUE(ClickButton(control, L"add"));
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(folder.File("P_List1.dat")) == large + "\r\n"; }));
    // Away from the control window (at 190, 280 by default): the whole screen is the picture, no bar on any side.
    const int W = kScreenWidth, H = kScreenHeight;
    EXPECT_EQ(ShowsNear({{0, 0, kRed}, {W - 1, 0, kGreen}, {0, H - 1, kBlue}, {W - 1, H - 1, kWhite},
                         {W / 2 - 8, H - 200, kBlue}, {W / 2 + 8, H - 200, kWhite}}),
              "");

    ASSERT_TRUE(Picked(velmo, control, wide, L"wide.jpg"));
    // 1024 x 512 from row 128 to row 639, black above and below, the right way up.
    EXPECT_EQ(ShowsNear({{5, 127, kBlack}, {5, 131, kRed}, {W - 6, 131, kGreen}, {5, 636, kBlue}, {W - 6, 636, kWhite},
                         {W - 6, 640, kBlack}, {W / 2, 760, kBlack}}),
              "");

    ASSERT_TRUE(Picked(velmo, control, clear, L"half.png"));
    // 300 x 200 at (362, 284); the transparent half is black like the rest.
    const int left = (W - 300) / 2, top = (H - 200) / 2;
    EXPECT_EQ(WaitForPixels({{left, top + 199, kRed}, {left + 149, top + 199, kRed}, {left + 150, top + 199, kBlack},
                             {left - 1, top + 199, kBlack}, {left + 10, top + 200, kBlack}}),
              "");
    EXPECT_EQ(velmo.Close(), 0);
    EXPECT_EQ(folder.Setting("Photo_1"), clear);
}

}  // namespace
}  // namespace velmo::e2e
