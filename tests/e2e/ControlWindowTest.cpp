// The control window: opened from the main window's pop-up menu, its editors and buttons driven by real input,
// its position kept in [F_Con], its caption following the shown picture.
#include <map>
#include <sstream>

#include "E2eTest.h"

namespace velmo::e2e {
namespace {

constexpr POINT kDefaultControlWindow{190, 280};

// Waits until [section] of the settings file holds all these values; returns the ones that differ, "" when none.
std::string WaitForIni(const ProgramFolder& folder,
                       const std::map<std::string, std::string>& values,
                       const std::string& section = "Velmo") {
    std::string mismatches;
    WaitUntil(
        [&] {
            mismatches.clear();
            for (const auto& [key, value] : values) {
                const std::string actual = IniKey(folder, section, key);
                if (actual != value)
                    mismatches += key + "=" + actual + " (expected " + value + ")\n";
            }
            return mismatches.empty();
        },
        std::chrono::seconds(5));
    return mismatches;
}

std::string ControlPosition(const ProgramFolder& folder) {
    return "Top=" + IniKey(folder, "F_Con", "Top") + " Left=" + IniKey(folder, "F_Con", "Left");
}

// Waits until the main window is a strip again, at `strip`.
bool InStrip(const VelmoProcess& velmo, const Box& strip) {
    return WaitUntil([&] { return !IsZoomed(velmo.mainWindow()) && velmo.box() == strip; });
}

bool Closed(HWND window) {
    return WaitUntil([&] { return !IsWindowVisible(window); });
}

// A child's rectangle in the client coordinates of `window`.
Box ClientBox(HWND window, HWND child) {
    RECT rc{};
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rc), 2);
    return {rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
}

// The edit whose top-left corner lies at `at` in the window's client area (the edits' texts are their values).
HWND EditAt(HWND window, POINT at) {
    for (HWND child : ChildWindows(window)) {
        const Box box = ClientBox(window, child);
        if (ClassName(child) == L"Edit" && box.left == at.x && box.top == at.y)
            return child;
    }
    return nullptr;
}

// Puts the caret at the end of the edit and deletes its text key by key; each key runs the change rule.
void ClearEdit(HWND edit) {
    ClickOn(edit);
    PressKey(VK_END);
    for (size_t i = WindowText(edit).size(); i > 0; --i)
        PressKey(VK_BACK);
    WaitUntil([&] { return WindowText(edit).empty(); });
}

// Types the digits one key at a time and waits until the edit shows `shown`.
bool Typed(HWND edit, const std::string& digits, const std::wstring& shown) {
    for (char digit : digits)
        PressKey(static_cast<WORD>(digit));
    return WaitUntil([&] { return WindowText(edit) == shown; });
}

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// Without [F_Con]: the window opens at the default place. The edits follow the typed text key by key on the top
// edge, Tab walks the editors, "save" writes [Velmo], "ver" uncovers the about panel and covers it again, and
// "minimize" puts the strip on the chosen edge while the window closes and writes its place. Opened again, "exit"
// ends the program without writing the place.
TEST_F(VelmoE2eTest, ControlWindowEditsSettingsAndMinimizesToNewStrip) {
    ProgramFolder folder;
    VelmoProcess velmo(folder);
    ASSERT_TRUE(Started(velmo));

    HWND window = OpenControlWindow(velmo, kOnDefaultStrip);
    ASSERT_NE(window, nullptr) << "the control window did not open";
    EXPECT_EQ(WindowText(window), L" Velmo - ");
    const Box frame = WindowBox(window);
    EXPECT_EQ(frame.left, kDefaultControlWindow.x);
    EXPECT_EQ(frame.top, kDefaultControlWindow.y);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 420);
    EXPECT_EQ(client.bottom, 165);
    EXPECT_TRUE(IsTopmost(window));

    HWND start = EditAt(window, {42, 79});
    HWND length = EditAt(window, {42, 100});
    ASSERT_NE(start, nullptr) << "no Start edit at client (42,79)";
    ASSERT_NE(length, nullptr) << "no Length edit at client (42,100)";
    EXPECT_EQ(ToString(ClientBox(window, start)), ToString(Box{42, 79, 38, 20}));
    EXPECT_EQ(WindowText(start), L"200");
    EXPECT_EQ(WindowText(length), L"250");

    // "ver": the list and its header hide and uncover the blue about panel, then cover it again.
    HWND list = FindChild(window, L"ListBox", L"");
    HWND header = FindChild(window, L"SysHeader32", L"");
    ASSERT_NE(list, nullptr);
    ASSERT_NE(header, nullptr);
    POINT panelCorner{201, 160};  // client coordinates, inside the right panel, away from every label
    ClientToScreen(window, &panelCorner);
    const COLORREF kBlue = RGB(0, 0, 255);
    EXPECT_TRUE(IsWindowVisible(list) && IsWindowVisible(header));
    for (bool shown : {false, true}) {
        SCOPED_TRACE(shown ? "\"ver\" twice" : "\"ver\" once");
        ASSERT_TRUE(ClickButton(window, L"ver"));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(list) == shown && IsWindowVisible(header) == shown; }));
        EXPECT_TRUE(WaitUntil([&] { return (ScreenShot().At(panelCorner.x, panelCorner.y) == kBlue) != shown; }))
            << "the panel shows " << ColorText(ScreenShot().At(panelCorner.x, panelCorner.y));
    }
    EXPECT_TRUE(IsWindowVisible(FindChild(window, L"Static", L"VELMO")));

    // Start on the top edge: "200" deleted key by key, then 1, 2, 0. Each text replaces the value, so "12"
    // is saved while it is shown and 120 after the last key.
    ClearEdit(start);
    ASSERT_TRUE(Typed(start, "12", L"12"));
    ASSERT_TRUE(ClickButton(window, L"save"));
    EXPECT_EQ(WaitForIni(folder, {{"StartPosition", "12"}, {"Position", "t"}}), "");
    ASSERT_TRUE(Typed(start, "0", L"120"));
    // Tab walks on to Length (a value below 4 becomes 4), the drop-down list (Adj is the item index) and the
    // check box (Max_SOT).
    PressKey(VK_TAB);
    PressKey(VK_END);
    for (int i = 0; i < 3; ++i)
        PressKey(VK_BACK);
    ASSERT_TRUE(Typed(length, "3", L"3"));
    PressKey(VK_TAB);
    PressKey(VK_DOWN);
    PressKey(VK_TAB);
    PressKey(VK_SPACE);
    ASSERT_TRUE(WaitUntil([&] {
        return SendMessageW(FindChild(window, L"Button", L"StayOnTop"), BM_GETCHECK, 0, 0) == BST_CHECKED;
    })) << "the check box did not take the space key";
    ASSERT_TRUE(ClickButton(window, L"save"));
    EXPECT_EQ(WaitForIni(folder, {{"StartPosition", "120"}, {"Length", "4"}, {"Adj", "3"}, {"Max_SOT", "1"}}), "");

    // "left", then "minimize": the strip takes the settings in memory, the window closes and writes its place.
    ClickOn(length);
    PressKey(VK_END);
    ASSERT_TRUE(Typed(length, "00", L"300"));
    ASSERT_TRUE(ClickButton(window, L"left"));
    ASSERT_TRUE(ClickButton(window, L"minimize"));
    EXPECT_TRUE(Closed(window)) << "the control window is still open";
    EXPECT_TRUE(InStrip(velmo, Box{-2, 120, 6, 300})) << "strip at " << ToString(velmo.box());
    // Top first, then Left, in a section of their own.
    EXPECT_TRUE(WaitUntil([&] {
        return ReadFileBytes(folder.ini()).find("[F_Con]\r\nTop=280\r\nLeft=190\r\n") != std::string::npos;
    })) << ReadFileBytes(folder.ini());

    // Opened again from the new strip. It is put elsewhere (a drag would do the same); "exit" does not write
    // that place.
    ParkPointer();
    window = OpenControlWindow(velmo, {1, 270});
    ASSERT_NE(window, nullptr) << "the control window did not open again";
    EXPECT_EQ(ToString(WindowBox(window)), ToString(frame));
    SetWindowPos(window, nullptr, 300, 330, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return WindowBox(window).left == 300; }));
    ASSERT_TRUE(ClickButton(window, L"exit"));
    EXPECT_EQ(velmo.WaitForExit(), 0);
    EXPECT_EQ(ControlPosition(folder), "Top=280 Left=190");
    EXPECT_EQ(WaitForIni(folder, {{"Position", "l"}, {"StartPosition", "120"}, {"Length", "300"}}), "");
}

// With [F_Con] and a picture as large as the screen: the window opens at the kept place with the picture's name
// in its caption. On the right edge Start is bounded by the screen height learnt at the reveal. A reload of the
// picture sets the caption again, a failed one leaves " Velmo - ". "終了" closes the window first, which writes
// its place.
TEST_F(VelmoE2eTest, ControlWindowCaptionFollowsPictureAndRightEdgeBoundsStart) {
    ProgramFolder folder;
    const std::string picture = folder.File("wide.bmp");
    WriteBmp(picture, kScreenWidth, kScreenHeight, [](int x, int y) { return PositionColor(x, y); });
    WriteFileBytes(folder.ini(), "[Velmo]\r\nPhoto_1=" + picture + "\r\n[F_Con]\r\nTop=100\r\nLeft=50\r\n");
    VelmoProcess velmo(folder);
    ASSERT_TRUE(StartedAndRevealed(velmo));
    HWND main = velmo.mainWindow();

    HWND window = OpenControlWindow(velmo, kOnRevealedWindow);
    ASSERT_NE(window, nullptr) << "the control window did not open";
    EXPECT_EQ(WindowBox(window).left, 50);
    EXPECT_EQ(WindowBox(window).top, 100);
    EXPECT_EQ(WindowText(window), L" Velmo - wide.bmp");

    // "right", then Start: 700 is on the 768-row screen and kept, 7000 is beyond it and becomes 200.
    ASSERT_TRUE(ClickButton(window, L"right"));
    HWND start = EditAt(window, {42, 79});
    ASSERT_NE(start, nullptr);
    ClearEdit(start);
    ASSERT_TRUE(Typed(start, "700", L"700"));
    ASSERT_TRUE(ClickButton(window, L"save"));
    EXPECT_EQ(WaitForIni(folder, {{"StartPosition", "700"}, {"Position", "r"}, {"MH", "768"}}), "");
    ASSERT_TRUE(Typed(start, "0", L"7000"));
    ASSERT_TRUE(ClickButton(window, L"save"));
    EXPECT_EQ(WaitForIni(folder, {{"StartPosition", "200"}}), "");

    // A double-click on the picture loads it again, which sets the caption: overwrite it first to see that.
    SetWindowTextW(window, L"-");
    ASSERT_EQ(WindowText(window), L"-");
    // A single click first: Wine does not always pair the first clicks a window receives into a double-click.
    MoveOnto(main, 800, 650);
    LeftClick();
    Settle(main);
    DoubleClick();
    EXPECT_TRUE(WaitUntil([&] { return WindowText(window) == L" Velmo - wide.bmp"; }))
        << "caption after the reload: " << testing::PrintToString(WindowText(window));

    // "minimize": the strip on the right edge of the 1024-column screen, at Start 200.
    ASSERT_TRUE(ClickButton(window, L"minimize"));
    EXPECT_TRUE(Closed(window)) << "the control window is still open";
    EXPECT_TRUE(InStrip(velmo, Box{1021, 200, 7, 250})) << "strip at " << ToString(velmo.box());
    EXPECT_EQ(WaitForIni(folder, {{"Top", "100"}, {"Left", "50"}}, "F_Con"), "");

    // The picture turns into something unreadable; the failed reload leaves the caption without a name.
    ASSERT_TRUE(Revealed(velmo, {1022, 300}));
    window = OpenControlWindow(velmo, kOnRevealedWindow);
    ASSERT_NE(window, nullptr) << "the control window did not open again";
    EXPECT_EQ(WindowText(window), L" Velmo - wide.bmp");
    WriteFileBytes(picture, "no picture here\r\n");
    MoveOnto(main, 800, 650);
    LeftClick();
    Settle(main);
    DoubleClick();
    HWND message = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (message = FindTopLevel(velmo.pid(), L"VelmoMessage")) != nullptr; }))
        << "no message about the picture";
    EXPECT_EQ(PartsOf(message).text, L"ファイルが開けません。");
    EXPECT_EQ(WindowText(window), L" Velmo - ");
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(message); })) << "Enter did not answer the message";

    // "終了" with the window open: it closes first and writes its new place, then the program ends.
    SetWindowPos(window, nullptr, 60, 110, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return WindowBox(window).left == 60; }));
    ASSERT_TRUE(ChooseMenuItem(main, kOnRevealedWindow.x, kOnRevealedWindow.y, kExit));
    EXPECT_EQ(velmo.WaitForExit(), 0);
    EXPECT_EQ(ControlPosition(folder), "Top=110 Left=60");
    EXPECT_EQ(WaitForIni(folder, {{"Photo_1", ""}, {"Position", "r"}, {"StartPosition", "200"}}), "");
}

// A folder in the settings file's place: "close" cannot write the window's place, the error report says so,
// and the window stays open. Once the file can be written, "close" closes it.
TEST_F(VelmoE2eTest, ControlWindowStaysOpenWhenItsPlaceCannotBeWritten) {
    ProgramFolder folder;
    ASSERT_TRUE(CreateDirectoryA(folder.ini().c_str(), nullptr));
    VelmoProcess velmo(folder);
    ASSERT_TRUE(Started(velmo));
    HWND window = OpenControlWindow(velmo, kOnDefaultStrip);
    ASSERT_NE(window, nullptr) << "the control window did not open";
    EXPECT_EQ(WindowBox(window).left, kDefaultControlWindow.x);
    EXPECT_EQ(WindowBox(window).top, kDefaultControlWindow.y);

    ASSERT_TRUE(ClickButton(window, L"close"));
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindTopLevel(velmo.pid(), L"#32770")) != nullptr; }))
        << "no error report";
    EXPECT_EQ(WindowText(box), L"Velmo");
    const MessageBoxParts parts = PartsOf(box);
    EXPECT_EQ(parts.text, Widen(folder.ini()) + L" に書き込めません.");
    EXPECT_NE(parts.ok, nullptr);
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << "Enter did not dismiss the error report";
    // "ver" is handled after the command that showed the report has finished: once it has hidden the list, a
    // window that the close was going to take away would be gone.
    HWND list = FindChild(window, L"ListBox", L"");
    ASSERT_TRUE(ClickButton(window, L"ver"));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(list); })) << "\"ver\" did not uncover the about panel";
    EXPECT_TRUE(IsWindowVisible(window)) << "the control window closed";

    ASSERT_TRUE(RemoveDirectoryA(folder.ini().c_str()));
    ASSERT_TRUE(ClickButton(window, L"close"));
    EXPECT_TRUE(Closed(window)) << "the control window is still open";
    EXPECT_EQ(WaitForIni(folder, {{"Top", "280"}, {"Left", "190"}}, "F_Con"), "");
    EXPECT_EQ(velmo.Close(), 0);
}

}  // namespace
}  // namespace velmo::e2e
