// At 144 DPI the strip is still Adj + 1 pixels on the screen and the control window keeps its client size.
#include "E2eTest.h"

namespace velmo::e2e {
namespace {

// Sets the system DPI that Wine gives the programs started from now on; puts the old value back at the end.
class SystemDpi {
public:
    explicit SystemDpi(DWORD dpi) {
        DWORD size = sizeof(old_);
        had_ = RegGetValueW(HKEY_CURRENT_CONFIG, L"Software\\Fonts", L"LogPixels", RRF_RT_REG_DWORD, nullptr, &old_,
                            &size) == ERROR_SUCCESS;
        RegSetKeyValueW(HKEY_CURRENT_CONFIG, L"Software\\Fonts", L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
    }
    ~SystemDpi() {
        if (had_)
            RegSetKeyValueW(HKEY_CURRENT_CONFIG, L"Software\\Fonts", L"LogPixels", REG_DWORD, &old_, sizeof(old_));
        else
            RegDeleteKeyValueW(HKEY_CURRENT_CONFIG, L"Software\\Fonts", L"LogPixels");
    }

private:
    DWORD old_ = 96;
    bool had_ = false;
};

// The caption follows the system's DPI, the client area and the strip do not: the same start at 96 and 144 DPI.
TEST_F(VelmoE2eTest, At144DpiTheStripAndTheControlWindowKeepTheirPixels) {
    int frameHeight[2] = {0, 0};
    const DWORD dpis[2] = {96, 144};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(dpis[i]);
        SystemDpi dpi(dpis[i]);
        ProgramFolder folder;
        folder.WriteSettings({"Adj=0"});
        VelmoProcess velmo(folder);
        ASSERT_TRUE(Started(velmo));
        EXPECT_EQ(ToString(velmo.box()), ToString(Box{200, -3, 250, 4}));  // one row on the screen
        ASSERT_TRUE(Revealed(velmo, {325, 0}));
        HWND control = OpenControlWindow(velmo, kOnRevealedWindow);
        ASSERT_NE(control, nullptr);
        RECT client{};
        GetClientRect(control, &client);
        EXPECT_EQ(client.right, 420);
        EXPECT_EQ(client.bottom, 165);
        frameHeight[i] = WindowBox(control).height;
        EXPECT_EQ(velmo.Close(), 0);
    }
    // The setting took: the caption bar grew with the DPI.
    EXPECT_GT(frameHeight[1], frameHeight[0]);
}

}  // namespace
}  // namespace velmo::e2e
