// Long runs of one action (reveal and standby, opening and closing the control window): the program must give
// back every GDI object and window it takes.
#include <cstdio>

#include "E2eTest.h"

namespace velmo::e2e {
namespace {

TEST_F(VelmoE2eTest, RevealStandbyCyclesLeakNoObjects) {
    constexpr int kCycles = 300;
    constexpr int kTolerance = 3;

    ProgramFolder folder;
    const std::string picture = folder.File("soak.bmp");
    WriteBmp(picture, 300, 200, [](int x, int y) { return PositionColor(x, y); });
    folder.WriteSettings({"Photo_1=" + picture});
    VelmoProcess velmo(folder);
    ASSERT_TRUE(Started(velmo));
    const Box strip{200, -3, 250, 6};

    // One cycle first, so that whatever is made once on first use is in the baseline.
    ASSERT_TRUE(Revealed(velmo));
    ASSERT_TRUE(BackInStrip(velmo, strip));
    const int gdiBefore = CountGdiObjects(velmo.handle(), velmo.pid());
    const int windowsBefore = CountWindows(velmo.pid());
    ASSERT_GT(gdiBefore, 0) << "the GDI handle table could not be read";

    for (int cycle = 0; cycle < kCycles; ++cycle) {
        ASSERT_TRUE(Revealed(velmo)) << "cycle " << cycle;
        ASSERT_TRUE(BackInStrip(velmo, strip)) << "cycle " << cycle;
    }

    const int gdiAfter = CountGdiObjects(velmo.handle(), velmo.pid());
    const int windowsAfter = CountWindows(velmo.pid());
    EXPECT_LE(gdiAfter, gdiBefore + kTolerance) << "GDI objects before " << gdiBefore << ", after " << gdiAfter;
    EXPECT_EQ(windowsAfter, windowsBefore);
    EXPECT_TRUE(IsTopmost(velmo.mainWindow()));
    ASSERT_EQ(velmo.Close(), 0);
}

}  // namespace
}  // namespace velmo::e2e

namespace velmo::e2e {
namespace {

// Many opens and closes of the control window in one run: each close must free the window's controls, fonts
// and menu.
TEST_F(VelmoE2eTest, ControlWindowOpenCloseCyclesLeakNoObjects) {
    constexpr int kCycles = 200;
    constexpr int kTolerance = 3;

    ProgramFolder folder;
    VelmoProcess velmo(folder);
    ASSERT_TRUE(Started(velmo));
    ASSERT_TRUE(Revealed(velmo));
    HWND main = velmo.mainWindow();

    // Opens the window through "設定" of the revealed window's pop-up menu and closes it with a click on "close".
    const auto cycle = [&]() -> ::testing::AssertionResult {
        if (!ChooseMenuItem(main, kOnRevealedWindow.x, kOnRevealedWindow.y, kSettings))
            return ::testing::AssertionFailure() << "the pop-up menu did not open and close";
        HWND window = nullptr;
        if (!WaitUntil([&] { return (window = FindTopLevel(velmo.pid(), L"TF_Control")) != nullptr; }))
            return ::testing::AssertionFailure() << "the control window did not open";
        HWND close = FindChild(window, L"Button", L"close");
        if (!close)
            return ::testing::AssertionFailure() << "no \"close\" button";
        // A click that a late motion event carried off is made again, as a person would.
        for (int attempt = 0; attempt < 3; ++attempt) {
            ClickOn(close);
            if (WaitUntil([&] { return !IsWindow(window); }, std::chrono::seconds(2)))
                return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "the control window did not go away";
    };

    // One cycle first, so that whatever is made once on first use is in the baseline.
    ASSERT_TRUE(cycle());
    const int gdiBefore = CountGdiObjects(velmo.handle(), velmo.pid());
    const int windowsBefore = CountWindows(velmo.pid());
    ASSERT_GT(gdiBefore, 0) << "the GDI handle table could not be read";

    const auto began = std::chrono::steady_clock::now();
    for (int i = 0; i < kCycles; ++i)
        ASSERT_TRUE(cycle()) << "cycle " << i;
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began);
    RecordProperty("ms_per_cycle", static_cast<int>(took.count() / kCycles));
    std::printf("%d cycles in %lld ms\n", kCycles, static_cast<long long>(took.count()));

    const int gdiAfter = CountGdiObjects(velmo.handle(), velmo.pid());
    const int windowsAfter = CountWindows(velmo.pid());
    EXPECT_LE(gdiAfter, gdiBefore + kTolerance) << "GDI objects before " << gdiBefore << ", after " << gdiAfter;
    EXPECT_EQ(windowsAfter, windowsBefore);
    ASSERT_EQ(velmo.Close(), 0);
}

}  // namespace
}  // namespace velmo::e2e
