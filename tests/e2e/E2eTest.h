// The fixture shared by the end-to-end tests: a clean desktop, and the steps a person takes with the strip.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>

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

// The first steps of most tests: the program started, and its picture revealed by the pointer on the default strip.
inline ::testing::AssertionResult StartedAndRevealed(VelmoProcess& velmo) {
    ::testing::AssertionResult started = Started(velmo);
    return started ? Revealed(velmo) : started;
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

// The control window and the program's message boxes, as the tests of its commands meet them.

// The value of `key` in `[section]` of the settings file as it is on disk now, or "<missing>". Read from the
// bytes, so that no profile cache of the test process stands between the test and the file.
inline std::string IniKey(const ProgramFolder& folder, const std::string& section, const std::string& key) {
    std::istringstream in(ReadFileBytes(folder.ini()));
    std::string line, current;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = line.substr(1, line.size() - 2);
            continue;
        }
        const size_t eq = line.find('=');
        if (current == section && eq != std::string::npos && line.substr(0, eq) == key)
            return line.substr(eq + 1);
    }
    return "<missing>";
}

// Picks "設定" from the main window's pop-up menu, right-clicked at `at`, and waits for the control window.
inline HWND OpenControlWindow(VelmoProcess& velmo, POINT at) {
    if (!ChooseMenuItem(velmo.mainWindow(), at.x, at.y, kSettings))
        return nullptr;
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindTopLevel(velmo.pid(), L"TF_Control")) != nullptr; });
    if (window)
        Settle(window);
    return window;
}

// Clicks the button with this caption; false when the window has none, or has gone.
inline bool ClickButton(HWND window, const wchar_t* caption) {
    HWND button = FindChild(window, L"Button", caption);
    return button && ClickOn(button);
}

// The window is what a person's pointer meets at its centre: no other window lies over it.
inline bool Uncovered(HWND hwnd) {
    RECT rc{};
    if (!GetWindowRect(hwnd, &rc))
        return false;
    return WindowFromPoint({(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}) == hwnd;
}

// Picks "ファイル名変更" from the list's menu for entry `entry` of the control window's list and waits for the
// name prompt of the process; null when it did not come.
inline HWND OpenRenamePrompt(const VelmoProcess& velmo, HWND control, int entry = 0) {
    HWND list = FindChild(control, L"ListBox", L"");
    if (!list)
        return nullptr;
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    PostMessageW(control, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
    if (!WaitUntil([] { return FindVisibleWindowOfClass(L"#32768") != nullptr; }))
        return nullptr;
    PressKey(VK_DOWN);  // the menu's first item
    PressKey(VK_RETURN);
    HWND prompt = nullptr;
    if (WaitUntil([&] { return (prompt = FindTopLevel(velmo.pid(), L"TF_CapInfo")) != nullptr; }))
        Settle(prompt);
    return prompt;
}

// The static text and the OK button of a message box.
struct MessageBoxParts {
    std::wstring text;
    HWND ok = nullptr;
};
inline MessageBoxParts PartsOf(HWND box) {
    MessageBoxParts parts;
    for (HWND child : ChildWindows(box)) {
        if (ClassName(child) == L"Static" && !WindowText(child).empty())
            parts.text = WindowText(child);
        if (ClassName(child) == L"Button" && WindowText(child) == L"OK")
            parts.ok = child;
    }
    return parts;
}

}  // namespace velmo::e2e
