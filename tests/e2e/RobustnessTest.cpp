// What a person does at awkward moments: closes the splash while it moves, asks a window to close while one of its
// commands waits for an answer, starts the program twice, meets a message right after a dialog, or comes back
// with a strip that was placed for a larger screen. Nothing may hang, break or lose a file.
#include <optional>

#include "E2eTest.h"

namespace velmo::e2e {
namespace {

using namespace std::chrono_literals;

// The program's own windows still answer: its thread handles a sent message within a second.
bool Answers(HWND hwnd) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
}

void PressAltF4() {
    INPUT keys[4]{};
    const WORD codes[4] = {VK_MENU, VK_F4, VK_F4, VK_MENU};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = codes[i];
        keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(4, keys, sizeof(INPUT));
}

// Waits for the program's message, checks that it lies uncovered and answers its OK with a real click; returns its
// text, prefixed when it was covered or could not be answered.
std::wstring AnswerUncovered(const VelmoProcess& velmo) {
    HWND message = nullptr;
    if (!WaitUntil([&] { return (message = FindTopLevel(velmo.pid(), L"VelmoMessage")) != nullptr; }))
        return L"<no message>";
    Settle(message);
    const MessageBoxParts parts = PartsOf(message);
    if (!parts.ok || !Uncovered(parts.ok))
        return L"<covered> " + parts.text;
    for (int attempt = 0; attempt < 3 && IsWindow(message); ++attempt) {
        ClickOn(parts.ok);
        WaitUntil([&] { return !IsWindow(message); }, 3s);
    }
    return IsWindow(message) ? L"<not answered> " + parts.text : parts.text;
}

enum class Moment { Label, SizePhase, PositionPhase };

// Starts the program and closes its splash at `moment`, by a posted close request or by Alt+F4 while the splash
// is the active window.
void CloseSplashAt(Moment moment, bool altF4) {
    SCOPED_TRACE(std::string(altF4 ? "Alt+F4" : "WM_CLOSE") + " at moment " + std::to_string(int(moment)));
    ProgramFolder folder;
    VelmoProcess velmo(folder);
    ASSERT_TRUE(velmo.started());
    HWND splash = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (splash = FindTopLevel(velmo.pid(), L"TF_Splash")) != nullptr; }, 30s));
    const Box label = WindowBox(splash);
    const Box strip{200, -3, 250, 6};
    // The label stands for two seconds; the size phase changes the size; the position phase moves a splash of
    // the strip's size away from where the size phase left it. A window gone before the moment fails the test.
    std::optional<Box> sized;
    const auto reached = [&] {
        RECT rc{};
        if (!GetWindowRect(splash, &rc))
            return true;
        const Box box{rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
        switch (moment) {
            case Moment::Label:
                return true;
            case Moment::SizePhase:
                return box.width != label.width || box.height != label.height;
            case Moment::PositionPhase:
                if (box.width != strip.width || box.height != strip.height)
                    return false;
                if (!sized)
                    sized = box;
                return box != *sized && box != strip;
        }
        return true;
    };
    ASSERT_TRUE(WaitUntil(reached, 30s));
    ASSERT_TRUE(IsWindow(splash)) << "the splash was gone before the moment";
    if (altF4) {
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == splash; }, 3s)) << "the splash is not active";
        PressAltF4();
    } else {
        PostMessageW(splash, WM_CLOSE, 0, 0);
    }

    ASSERT_TRUE(velmo.WaitForMainWindow()) << "no strip after the splash was closed";
    EXPECT_TRUE(WaitUntil([&] { return velmo.box() == strip && IsTopmost(velmo.mainWindow()); }))
        << "the strip is at " << ToString(velmo.box());
    EXPECT_TRUE(WaitUntil([&] { return FindTopLevel(velmo.pid(), L"TF_Splash", false) == nullptr; }))
        << "the splash was not freed";
    EXPECT_TRUE(Answers(velmo.mainWindow())) << "the program does not answer";
    EXPECT_TRUE(velmo.running());
    EXPECT_EQ(velmo.Close(), 0);
    EXPECT_EQ(folder.Setting("Position"), "t") << "the settings were not written at the end";
}

TEST_F(VelmoE2eTest, ClosingTheSplashAtAnyMomentLeavesTheStartWhole) {
    for (const Moment moment : {Moment::Label, Moment::SizePhase, Moment::PositionPhase}) {
        for (const bool altF4 : {false, true}) {
            CloseSplashAt(moment, altF4);
            if (HasFatalFailure())
                return;
        }
    }
}

TEST_F(VelmoE2eTest, ASecondStartInTheSameFolderEndsAndShowsTheFirstStrip) {
    ProgramFolder folder;
    VelmoProcess first(folder);
    ASSERT_TRUE(Started(first));
    // Out of the topmost band, as another program may have put it: the second start brings it back.
    SetWindowPos(first.mainWindow(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return !IsTopmost(first.mainWindow()); }));

    VelmoProcess second(folder);
    ASSERT_TRUE(second.started());
    EXPECT_EQ(second.WaitForExit(20s), 0) << "the second start did not end";
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(first.mainWindow()); })) << "the first strip was not shown";
    EXPECT_EQ(TopLevelWindows(0, L"TForm1", false).size(), 1u);
    EXPECT_EQ(GetFileAttributesA(folder.ini().c_str()), INVALID_FILE_ATTRIBUTES) << "the second start wrote settings";

    EXPECT_EQ(first.Close(), 0);
    EXPECT_EQ(folder.Setting("StartPosition"), "200") << "the program that ran wrote no settings";
}

TEST_F(VelmoE2eTest, ProgramsOfTwoFoldersRunSideBySideWithoutTouchingEachOther) {
    ProgramFolder left, right;
    left.WriteSettings({"StartPosition=100", "Length=200"});
    right.WriteSettings({"StartPosition=600", "Length=200"});
    VelmoProcess a(left);
    ASSERT_TRUE(Started(a));
    VelmoProcess b(right);
    ASSERT_TRUE(Started(b));
    const Box stripA{100, -3, 200, 6}, stripB{600, -3, 200, 6};
    ASSERT_EQ(a.box(), stripA);
    ASSERT_EQ(b.box(), stripB);
    EXPECT_TRUE(IsTopmost(a.mainWindow()) && IsTopmost(b.mainWindow())) << "both strips belong in the topmost band";

    ASSERT_TRUE(Revealed(a, {200, 1}));
    EXPECT_EQ(b.box(), stripB);
    EXPECT_TRUE(IsTopmost(b.mainWindow())) << "the reveal of one program moved the other's strip";
    ASSERT_TRUE(BackInStrip(a, stripA));
    EXPECT_EQ(b.box(), stripB);
    EXPECT_TRUE(IsTopmost(a.mainWindow()) && IsTopmost(b.mainWindow()));
    EXPECT_FALSE(IsZoomed(b.mainWindow()));
    EXPECT_EQ(a.Close(), 0);
    EXPECT_EQ(b.Close(), 0);
}

// Returns once the program has taken every message posted to it before this call: a selection posted to the
// prompt's edit after them is seen there. A close request posted before has then been met, or put off.
bool PostedMessagesTaken(HWND prompt) {
    HWND edit = FindWindowExW(prompt, nullptr, L"Edit", nullptr);
    PostMessageW(edit, EM_SETSEL, 1, 2);
    return WaitUntil([&] {
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return start == 1 && end == 2;
    });
}

// Opens the control window from the strip's menu.
HWND OpenControlFromStrip(VelmoProcess& velmo) {
    if (!Revealed(velmo))
        return nullptr;
    return OpenControlWindow(velmo, kOnRevealedWindow);
}

// Waits for the name prompt of the process.
HWND WaitForPrompt(const VelmoProcess& velmo) {
    HWND prompt = nullptr;
    WaitUntil([&] { return (prompt = FindTopLevel(velmo.pid(), L"TF_CapInfo")) != nullptr; });
    if (prompt)
        Settle(prompt);
    return prompt;
}

TEST_F(VelmoE2eTest, ACloseRequestDuringACommandWaitsForIt) {
    ProgramFolder folder;
    const std::string picture = folder.File("a.bmp");
    WriteBmp(picture, 40, 30, [](int x, int y) { return PositionColor(x, y); });
    WriteFileBytes(folder.File("P_List1.dat"), picture + "\r\n");
    VelmoProcess velmo(folder);
    ASSERT_TRUE(Started(velmo));

    {
        SCOPED_TRACE("the control window asked to close while the capture's prompt is open");
        HWND control = OpenControlFromStrip(velmo);
        ASSERT_NE(control, nullptr);
        ASSERT_TRUE(ClickButton(control, L"capture"));
        HWND prompt = WaitForPrompt(velmo);
        ASSERT_NE(prompt, nullptr);
        PostMessageW(control, WM_CLOSE, 0, 0);
        ASSERT_TRUE(PostedMessagesTaken(prompt));
        EXPECT_TRUE(IsWindow(control) && IsWindow(prompt)) << "the close did not wait for the capture";
        ASSERT_TRUE(ClickButton(prompt, L"OK"));
        const std::string capture = folder.File("Capture0.bmp");
        EXPECT_TRUE(WaitUntil([&] { return IniKey(folder, "Velmo", "Photo_1") == capture; }));
        EXPECT_EQ(ReadFileBytes(capture).size(), 54u + kScreenWidth * 3 * kScreenHeight);
        // Then the window closes with its close sequence, which writes its place.
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(control); })) << "the control window did not close afterwards";
        EXPECT_NE(IniKey(folder, "F_Con", "Top"), "<missing>");
        EXPECT_TRUE(Answers(velmo.mainWindow()));
    }
    {
        SCOPED_TRACE("the control window asked to close while a rename's prompt is open");
        ASSERT_TRUE(BackInStrip(velmo, {200, -3, 250, 6}));
        HWND control = OpenControlFromStrip(velmo);
        ASSERT_NE(control, nullptr);
        HWND prompt = OpenRenamePrompt(velmo, control);
        ASSERT_NE(prompt, nullptr);
        PostMessageW(control, WM_CLOSE, 0, 0);
        ASSERT_TRUE(PostedMessagesTaken(prompt));
        EXPECT_TRUE(IsWindow(control) && IsWindow(prompt)) << "the close did not wait for the rename";
        SendMessageW(FindWindowExW(prompt, nullptr, L"Edit", nullptr), WM_SETTEXT, 0, LPARAM(L"b.bmp"));
        ASSERT_TRUE(ClickButton(prompt, L"OK"));
        EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(folder.File("P_List1.dat")) == folder.File("b.bmp") + "\r\n"; }))
            << ReadFileBytes(folder.File("P_List1.dat"));
        EXPECT_FALSE(ReadFileBytes(folder.File("b.bmp")).empty());
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(control); })) << "the control window did not close afterwards";
        EXPECT_TRUE(Answers(velmo.mainWindow()));
    }
    {
        SCOPED_TRACE("the main window asked to close during a capture");
        ASSERT_TRUE(BackInStrip(velmo, {200, -3, 250, 6}));
        HWND control = OpenControlFromStrip(velmo);
        ASSERT_NE(control, nullptr);
        ASSERT_TRUE(ClickButton(control, L"capture"));
        HWND prompt = WaitForPrompt(velmo);
        ASSERT_NE(prompt, nullptr);
        velmo.RequestClose();
        ASSERT_TRUE(PostedMessagesTaken(prompt));
        EXPECT_TRUE(velmo.running() && IsWindow(prompt)) << "the program ended under the capture";
        ASSERT_TRUE(ClickButton(prompt, L"OK"));
        // The capture finishes, then the program ends as asked, with its settings saved.
        EXPECT_EQ(velmo.WaitForExit(20s), 0);
        const std::string capture = folder.File("Capture1.bmp");
        EXPECT_EQ(ReadFileBytes(capture).size(), 54u + kScreenWidth * 3 * kScreenHeight);
        EXPECT_EQ(IniKey(folder, "Velmo", "Photo_1"), capture);
    }
}

TEST_F(VelmoE2eTest, TheFileDialogGivesTheControlWindowBackAndWhatFollowsLiesOnTop) {
    ProgramFolder folder;
    WriteFileBytes(folder.File("text.bmp"), "not a bitmap");
    VelmoProcess velmo(folder);
    ASSERT_TRUE(Started(velmo));
    HWND control = OpenControlFromStrip(velmo);
    ASSERT_NE(control, nullptr);

    const auto openDialog = [&] {
        HWND dialog = nullptr;
        if (ClickButton(control, L"file"))
            WaitUntil([&] { return (dialog = FindTopLevel(velmo.pid(), L"#32770")) != nullptr; });
        if (dialog)
            Settle(dialog);
        return dialog;
    };
    {
        SCOPED_TRACE("Cancel");
        HWND dialog = openDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), control);
        PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == control; })) << "the control window is not active";
        EXPECT_TRUE(IsWindowEnabled(control) && IsWindowEnabled(velmo.mainWindow()));
    }
    {
        SCOPED_TRACE("a file that is no picture");
        HWND dialog = openDialog();
        ASSERT_NE(dialog, nullptr);
        const std::string path = folder.File("text.bmp");
        SetDlgItemTextA(dialog, 1148, path.c_str());  // the file name box of the dialog
        PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        EXPECT_EQ(AnswerUncovered(velmo), L"ファイルが開けません。");
    }
    // The message gone, the control window takes input again: a click on "ver" uncovers the about panel.
    ASSERT_TRUE(ClickButton(control, L"ver"));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(FindChild(control, L"Static", L"VELMO")) != FALSE; }));
    EXPECT_EQ(velmo.Close(), 0);
}

TEST_F(VelmoE2eTest, AStripPlacedForALargerScreenIsWithinReach) {
    // How long a start takes with the defaults, to compare with.
    std::chrono::steady_clock::duration plain{};
    {
        ProgramFolder folder;
        VelmoProcess velmo(folder);
        ASSERT_TRUE(Started(velmo));
        plain = std::chrono::steady_clock::now() - velmo.startTime();
        EXPECT_EQ(velmo.Close(), 0);
    }
    struct Case {
        std::vector<std::string> settings;
        Box strip;
        const char* key;
        const char* kept;
    };
    const Case cases[] = {
        {{"StartPosition=5000"}, {1016, -3, 250, 6}, "StartPosition", "5000"},
        {{"Position=r", "MW=1920"}, {1021, 200, 7, 250}, "MW", "1920"},
        {{"Position=b", "MH=1200"}, {200, 765, 250, 7}, "MH", "1200"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings.back());
        ProgramFolder folder;
        folder.WriteSettings(c.settings);
        VelmoProcess velmo(folder);
        ASSERT_TRUE(Started(velmo));
        const auto took = std::chrono::steady_clock::now() - velmo.startTime();
        EXPECT_EQ(velmo.box(), c.strip);
        // The splash travelled to where the strip is, not off the screen for seconds: a few seconds of slack
        // for a busy machine, far below the eight seconds the way to 5000 pixels would take.
        EXPECT_LT(took, plain + 3s) << "the start took "
                                     << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms";
        EXPECT_TRUE(IsTopmost(velmo.mainWindow()));
        EXPECT_EQ(velmo.Close(), 0);
        EXPECT_EQ(folder.Setting(c.key), c.kept) << "the saved value must stay for the larger screen";
    }
}

}  // namespace
}  // namespace velmo::e2e
