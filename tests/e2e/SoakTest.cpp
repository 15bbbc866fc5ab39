// Many reveals and standbys in one run: the program must give back every GDI object and window it takes.
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
