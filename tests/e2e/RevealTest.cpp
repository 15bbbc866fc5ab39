// The picture behind the strip: the reveal, the pop-up menu, and pictures that change or cannot be read.
#include "E2eTest.h"

namespace velmo::e2e {
namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);

// Pixels of a picture of the given size drawn centred on the screen, with black just outside its corners.
std::vector<PixelCheck> CentredPicture(int width, int height, bool tag) {
    const int left = (kScreenWidth - width) / 2;
    const int top = (kScreenHeight - height) / 2;
    const int right = left + width - 1;
    const int bottom = top + height - 1;
    return {
        {left, top, PositionColor(0, 0, tag)},
        {right, top, PositionColor(width - 1, 0, tag)},
        {left, bottom, PositionColor(0, height - 1, tag)},
        {right, bottom, PositionColor(width - 1, height - 1, tag)},
        {left + width / 3, top + height / 2, PositionColor(width / 3, height / 2, tag)},
        {left - 1, top, kBlack},
        {left, top - 1, kBlack},
        {right + 1, bottom, kBlack},
        {right, bottom + 1, kBlack},
        {0, 0, kBlack},
        {kScreenWidth - 1, kScreenHeight - 1, kBlack},
        {5, 500, kBlack},
    };
}

std::vector<PixelCheck> AllBlack() {
    std::vector<PixelCheck> checks;
    for (int y = 0; y < kScreenHeight; y += 127)
        for (int x = 0; x < kScreenWidth; x += 101)
            checks.push_back({x, y, kBlack});
    return checks;
}

void WritePicture(const std::string& path, int width, int height, bool tag = false) {
    WriteBmp(path, width, height, [tag](int x, int y) { return PositionColor(x, y, tag); });
}

TEST_F(VelmoE2eTest, RevealShowsPictureCentredOnBlackAndStandbyHidesIt) {
    ProgramFolder folder;
    const std::string picture = folder.File("picture.bmp");
    WritePicture(picture, 300, 200);
    folder.WriteSettings({"Photo_1=" + picture});
    VelmoProcess velmo(folder);
    ASSERT_TRUE(Started(velmo));
    const Box strip = velmo.box();
    HWND main = velmo.mainWindow();
    // The picture is loaded but stays hidden: the strip is the black panel, which the pointer can reach.
    EXPECT_EQ(WaitForPixels({{325, 1, kBlack}}), "");

    ASSERT_TRUE(Revealed(velmo));
    EXPECT_EQ(WaitForPixels(CentredPicture(300, 200, false)), "");
    EXPECT_FALSE(IsTopmost(main));

    ASSERT_TRUE(BackInStrip(velmo, strip));
    EXPECT_TRUE(IsTopmost(main));
    EXPECT_EQ(WaitForPixels({{325, 1, kBlack}}), "");
    EXPECT_TRUE(WaitUntil([] { return ScreenShot().At(512, 384) != PositionColor(150, 100); }))
        << "the picture is still on the screen";

    ASSERT_TRUE(Revealed(velmo));
    EXPECT_EQ(WaitForPixels(CentredPicture(300, 200, false)), "");

    ASSERT_EQ(velmo.Close(), 0);
    EXPECT_EQ(folder.Setting("Photo_1"), picture);
    EXPECT_EQ(folder.Setting("MW"), "1024");
    EXPECT_EQ(folder.Setting("MH"), "768");
}

TEST_F(VelmoE2eTest, RevealWithMaxSotStaysTopmost) {
    ProgramFolder folder;
    folder.WriteSettings({"Max_SOT=1"});
    VelmoProcess velmo(folder);
    ASSERT_TRUE(StartedAndRevealed(velmo));
    EXPECT_TRUE(IsTopmost(velmo.mainWindow()));
    // No picture: the revealed window is the black panel.
    EXPECT_EQ(WaitForPixels(AllBlack()), "");
    ASSERT_EQ(velmo.Close(), 0);
    EXPECT_EQ(folder.Setting("Max_SOT"), "1");
}

TEST_F(VelmoE2eTest, PictureLargerThanScreenShowsItsMiddle) {
    ProgramFolder folder;
    const std::string picture = folder.File("large.bmp");
    WritePicture(picture, 1400, 1000);
    folder.WriteSettings({"Photo_1=" + picture});
    VelmoProcess velmo(folder);
    ASSERT_TRUE(StartedAndRevealed(velmo));

    // Centred: the screen's (0, 0) shows the picture's (188, 116).
    const int dx = (1400 - kScreenWidth) / 2, dy = (1000 - kScreenHeight) / 2;
    std::vector<PixelCheck> checks;
    for (POINT p : {POINT{0, 0}, POINT{kScreenWidth - 1, 0}, POINT{0, kScreenHeight - 1},
                    POINT{kScreenWidth - 1, kScreenHeight - 1}, POINT{kScreenWidth / 2, kScreenHeight / 2}})
        checks.push_back({p.x, p.y, PositionColor(p.x + dx, p.y + dy)});
    EXPECT_EQ(WaitForPixels(checks), "");
    ASSERT_EQ(velmo.Close(), 0);
}

TEST_F(VelmoE2eTest, UnreadablePictureIsReportedAndStaysRemembered) {
    ProgramFolder folder;
    const std::string picture = folder.File("bad.bmp");
    WriteFileBytes(picture, "this is a text file, not a picture\r\n");
    folder.WriteSettings({"Photo_1=" + picture});
    VelmoProcess velmo(folder);
    ASSERT_TRUE(velmo.started());

    HWND message = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (message = FindTopLevel(velmo.pid(), L"VelmoMessage")) != nullptr; },
                          std::chrono::seconds(30)))
        << "no message about the picture";
    EXPECT_EQ(WindowText(message), L"Velmo");
    std::vector<std::wstring> texts, buttons;
    HWND ok = nullptr;
    for (HWND child : ChildWindows(message)) {
        const std::wstring cls = ClassName(child);
        if (cls == L"Static")
            texts.push_back(WindowText(child));
        if (cls == L"Button") {
            buttons.push_back(WindowText(child));
            ok = child;
        }
    }
    EXPECT_EQ(texts, std::vector<std::wstring>{L"ファイルが開けません。"});
    ASSERT_EQ(buttons, std::vector<std::wstring>{L"OK"});
    ASSERT_TRUE(ClickOn(ok));
    ParkPointer();

    ASSERT_TRUE(StartedAndRevealed(velmo));
    // Looked for once the program has handled the reveal, which comes after whatever the load showed.
    EXPECT_EQ(TopLevelWindows(velmo.pid(), L"VelmoMessage", true).size(), 0u) << "more than one message";
    EXPECT_EQ(WaitForPixels(AllBlack()), "");

    ASSERT_EQ(velmo.Close(), 0);
    EXPECT_EQ(folder.Setting("Photo_1"), picture);
}

TEST_F(VelmoE2eTest, MissingPictureIsForgottenSilently) {
    ProgramFolder folder;
    folder.WriteSettings({"Photo_1=" + folder.File("gone.bmp")});
    VelmoProcess velmo(folder);
    ASSERT_TRUE(Started(velmo));
    // Looked for once the program has handled the reveal, which comes after whatever the load showed.
    ASSERT_TRUE(Revealed(velmo));
    EXPECT_EQ(TopLevelWindows(velmo.pid(), L"VelmoMessage", false).size(), 0u);
    EXPECT_EQ(TopLevelWindows(velmo.pid(), L"#32770", false).size(), 0u);
    ASSERT_EQ(velmo.Close(), 0);
    EXPECT_EQ(folder.Setting("Photo_1"), "");
}

TEST_F(VelmoE2eTest, DoubleClickShowsPictureChangedOnDisk) {
    ProgramFolder folder;
    const std::string picture = folder.File("changing.bmp");
    WritePicture(picture, 300, 200);
    folder.WriteSettings({"Photo_1=" + picture});
    VelmoProcess velmo(folder);
    ASSERT_TRUE(StartedAndRevealed(velmo));
    ASSERT_EQ(WaitForPixels(CentredPicture(300, 200, false)), "");

    // A smaller picture, different everywhere: the old one must not show around it.
    WritePicture(picture, 160, 120, true);
    // Under load, Wine at times did not pair the first clicks that the freshly revealed window received into a
    // double-click; a single click first, which the picture ignores, made it reliable.
    MoveTo(kScreenWidth / 2, kScreenHeight / 2);
    LeftClick();
    Settle(velmo.mainWindow());
    DoubleClick();
    std::vector<PixelCheck> checks = CentredPicture(160, 120, true);
    checks.push_back({(kScreenWidth - 300) / 2, (kScreenHeight - 200) / 2, kBlack});
    checks.push_back({(kScreenWidth + 300) / 2 - 1, (kScreenHeight + 200) / 2 - 1, kBlack});
    EXPECT_EQ(WaitForPixels(checks), "");
    EXPECT_TRUE(IsZoomed(velmo.mainWindow()));
    ASSERT_EQ(velmo.Close(), 0);
    EXPECT_EQ(folder.Setting("Photo_1"), picture);
}

TEST_F(VelmoE2eTest, PopupMenuCommandsOnRevealedWindow) {
    ProgramFolder folder;
    // No picture, so the pointer moves over the panel itself, which is what reveals.
    folder.WriteSettings({"StartPosition=40", "Length=100"});
    VelmoProcess velmo(folder);
    ASSERT_TRUE(Started(velmo));
    const Box strip{40, -3, 100, 6};
    ASSERT_EQ(ToString(velmo.box()), ToString(strip));
    ASSERT_TRUE(Revealed(velmo, {90, 2}));
    const Box full{0, 0, kScreenWidth, kScreenHeight};
    HWND main = velmo.mainWindow();
    ASSERT_FALSE(IsTopmost(main));

    // "常に前面に表示" puts the revealed window into the topmost band.
    ASSERT_TRUE(ChooseMenuItem(main, kOnRevealedWindow.x, kOnRevealedWindow.y, kAlwaysOnTop));
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(main); })) << "not topmost after the first toggle";

    // Moving over the revealed window runs no second reveal, which would drop the band again.
    const auto revealedOnTop = [&] { return IsTopmost(main) && velmo.box() == full; };
    const auto state = [&] { return ToString(velmo.box()) + (IsTopmost(main) ? " topmost" : " not topmost"); };
    for (POINT p : {POINT{90, 2}, POINT{300, 300}, POINT{1000, 700}, POINT{512, 384}, POINT{90, 1}}) {
        MoveTo(p.x, p.y);
        ASSERT_FALSE(WaitUntil([&] { return !revealedOnTop(); }, std::chrono::milliseconds(200)))
            << "after moving to " << p.x << "," << p.y << ": " << state();
    }

    // The same item again leaves the topmost band. The right-click that opens the menu comes after the moves:
    // with the menu open, every move has been handled.
    ASSERT_TRUE(ChooseMenuItem(main, kOnRevealedWindow.x, kOnRevealedWindow.y, kAlwaysOnTop,
                               [&] { EXPECT_TRUE(revealedOnTop()) << "after the moves: " << state(); }));
    EXPECT_TRUE(WaitUntil([&] { return !IsTopmost(main); })) << "still topmost after the second toggle";

    // "待機" brings back the strip, topmost, and the strip reveals again.
    ASSERT_TRUE(BackInStrip(velmo, strip));
    EXPECT_TRUE(IsTopmost(main));
    ASSERT_TRUE(Revealed(velmo, {90, 2}));

    // "終了" saves the settings and ends the program.
    ASSERT_TRUE(ChooseMenuItem(main, kOnRevealedWindow.x, kOnRevealedWindow.y, kExit));
    EXPECT_EQ(velmo.WaitForExit(), 0);
    EXPECT_EQ(folder.Setting("StartPosition"), "40");
    EXPECT_EQ(folder.Setting("MW"), "1024");
}

}  // namespace
}  // namespace velmo::e2e

namespace velmo::e2e {
namespace {

// An 8-bit picture with a four-colour table: one colour per quadrant.
void WritePalettePicture(const std::string& path, int width, int height, const COLORREF (&colors)[4]) {
    const int stride = (width + 3) & ~3;
    const uint32_t tableBytes = 256 * 4;
    const uint32_t offset = 14 + 40 + tableBytes;
    std::string bytes(offset + static_cast<size_t>(stride) * height, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>(v >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<uint32_t>(bytes.size()));
    put32(10, offset);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    bytes[26] = 1;
    bytes[28] = 8;
    for (int i = 0; i < 4; ++i) {
        bytes[54 + i * 4 + 0] = static_cast<char>(GetBValue(colors[i]));
        bytes[54 + i * 4 + 1] = static_cast<char>(GetGValue(colors[i]));
        bytes[54 + i * 4 + 2] = static_cast<char>(GetRValue(colors[i]));
    }
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row;  // bottom-up
        for (int x = 0; x < width; ++x)
            bytes[offset + static_cast<size_t>(row) * stride + x] =
                static_cast<char>((y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1));
    }
    WriteFileBytes(path, bytes);
}

// Palette_C turns the palette steps on even on a true-colour display: the picture's palette is selected and
// realised on every load, reveal and paint, and the colours must come out unchanged.
TEST_F(VelmoE2eTest, ForcedPaletteShowsAPalettePictureInItsOwnColours) {
    ProgramFolder folder;
    const std::string picture = folder.File("palette.bmp");
    const COLORREF colors[4] = {RGB(200, 30, 40), RGB(20, 180, 60), RGB(30, 60, 220), RGB(250, 240, 10)};
    WritePalettePicture(picture, 200, 100, colors);
    folder.WriteSettings({"Photo_1=" + picture, "Palette_C=1"});
    VelmoProcess velmo(folder);
    ASSERT_TRUE(StartedAndRevealed(velmo));
    const int left = (kScreenWidth - 200) / 2;
    const int top = (kScreenHeight - 100) / 2;
    EXPECT_EQ(WaitForPixels({{left + 10, top + 10, colors[0]},
                             {left + 190, top + 10, colors[1]},
                             {left + 10, top + 90, colors[2]},
                             {left + 190, top + 90, colors[3]},
                             {left - 1, top, RGB(0, 0, 0)}}),
              "");
    ASSERT_EQ(velmo.Close(), 0);
    // Palette keys are read, never written.
    EXPECT_EQ(folder.Setting("Palette_C"), "1");
    EXPECT_EQ(ReadFileBytes(folder.ini()).find("Palette_use"), std::string::npos);
}

}  // namespace
}  // namespace velmo::e2e
