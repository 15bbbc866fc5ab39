// The fixture shared by the end-to-end tests: a clean desktop, and the steps a person takes with the strip.
#pragma once

#include <gtest/gtest.h>

#include "Desktop.h"
#include "VelmoRun.h"

namespace velmo::e2e {

// A point on the default strip (left 200, length 250, three rows on the screen).
constexpr POINT kOnDefaultStrip{325, 1};
// Where the tests right-click the revealed window: well away from every strip, so that the strip coming back
// does not land under the pointer.
constexpr POINT kOnRevealedWindow{512, 600};

class VelmoE2eTest : public ::testing::Test {
protected:
    void SetUp() override {
        ParkPointer();
        // The program finds its window by class name, so a main window left by anyone else would be acted on.
        ASSERT_TRUE(WaitUntil([] { return FindTopLevel(0, L"TForm1", false) == nullptr; }, std::chrono::seconds(5)))
            << "another Velmo main window is on the desktop";
    }
};

// Starts the program and waits for its strip.
inline ::testing::AssertionResult Started(VelmoProcess& velmo) {
    if (!velmo.started())
        return ::testing::AssertionFailure() << "CreateProcess failed";
    if (!velmo.WaitForMainWindow())
        return ::testing::AssertionFailure()
               << "no visible TForm1 window" << (velmo.running() ? "" : " (the process ended)");
    Settle(velmo.mainWindow());
    return ::testing::AssertionSuccess();
}

// Moves the pointer onto the strip and waits for the window to cover the screen.
//
// Wine's X11 driver turns each injected move into a pointer warp, and the motion event that comes back for it
// is handled late under load, with window-relative coordinates translated through the window's new place.
// Such a stale move can replace a pending one in the queue, so the move onto the strip never arrives. When
// nothing happens, the pointer moves again within the strip, as a person's hand would.
inline ::testing::AssertionResult Revealed(VelmoProcess& velmo, POINT onStrip = kOnDefaultStrip) {
    const Box full{0, 0, kScreenWidth, kScreenHeight};
    const auto revealed = [&] { return IsZoomed(velmo.mainWindow()) && velmo.box() == full; };
    bool done = false;
    for (int attempt = 0; attempt < 4 && !done; ++attempt) {
        MoveTo(onStrip.x + attempt % 2, onStrip.y);
        done = WaitUntil(revealed, std::chrono::milliseconds(attempt < 3 ? 2000 : 5000));
    }
    if (!done)
        return ::testing::AssertionFailure() << "not revealed: window at " << ToString(velmo.box())
                                             << (IsZoomed(velmo.mainWindow()) ? ", maximised" : ", not maximised");
    // The reveal maximises first and sets the band last.
    Settle(velmo.mainWindow());
    return ::testing::AssertionSuccess();
}

// Picks "待機" from the pop-up menu of the revealed window and waits for the strip.
inline ::testing::AssertionResult BackInStrip(VelmoProcess& velmo, const Box& strip) {
    if (!ChooseMenuItem(velmo.mainWindow(), kOnRevealedWindow.x, kOnRevealedWindow.y, kStandby))
        return ::testing::AssertionFailure() << "the pop-up menu did not open and close";
    if (!WaitUntil([&] { return !IsZoomed(velmo.mainWindow()) && velmo.box() == strip; }))
        return ::testing::AssertionFailure() << "not back in the strip: window at " << ToString(velmo.box());
    // Standby restores the window first and hides the picture after that; the pointer must meet the panel.
    Settle(velmo.mainWindow());
    return ::testing::AssertionSuccess();
}

}  // namespace velmo::e2e
