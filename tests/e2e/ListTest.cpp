// The picture lists of the control window with real files: loading, adding, switching, and the two failures
// that must lose nothing: a save that cannot replace the list file, a list file that cannot be read.
#include "E2eTest.h"

namespace velmo::e2e {
namespace {

// The top-level error report of the process (a system message box), answered with Enter; its text.
std::wstring AnswerErrorReport(const VelmoProcess& velmo) {
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindTopLevel(velmo.pid(), L"#32770")) != nullptr; }))
        return L"<no report>";
    const std::wstring text = PartsOf(box).text;
    PressKey(VK_RETURN);
    WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
    return text;
}

std::wstring Wide(const std::string& acp) {
    std::wstring text(acp.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, acp.data(), static_cast<int>(acp.size()), text.data(),
                                      static_cast<int>(text.size()));
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

// The entries of the control window's list, or -1 when it cannot be asked (a plain SendMessage to a window that
// has gone would give 0, an empty list).
int ListCount(HWND control) {
    HWND list = nullptr;
    for (HWND child : ChildWindows(control)) {
        if (ClassName(child) == L"ListBox")
            list = child;
    }
    DWORD_PTR count = 0;
    if (!list || !SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, 10000, &count))
        return -1;
    return static_cast<int>(count);
}

TEST_F(VelmoE2eTest, ListsLoadSaveAndSwitchWithoutLosingAnything) {
    ProgramFolder folder;
    const std::string picture = folder.File("sea.bmp");
    WriteBmp(picture, 64, 48, [](int x, int y) { return PositionColor(x, y); });
    folder.WriteSettings({"Photo_1=" + picture});
    // LF line ends and no end after the last line: read line by line, written back with CR LF.
    WriteFileBytes(folder.File("P_List1.dat"), "C:\\pics\\a.bmp\n\nC:\\\x83\x5C.bmp");
    const std::string list2 = "C:\\other\\b.bmp\r\n";
    WriteFileBytes(folder.File("P_List2.dat"), list2);

    VelmoProcess velmo(folder);
    ASSERT_TRUE(StartedAndRevealed(velmo));
    HWND control = OpenControlWindow(velmo, kOnRevealedWindow);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ListCount(control), 3);

    // "add" lists the shown picture and writes the whole list with CR LF.
    ASSERT_TRUE(ClickButton(control, L"add"));
    const std::string saved = "C:\\pics\\a.bmp\r\n\r\nC:\\\x83\x5C.bmp\r\n" + picture + "\r\n";
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(folder.File("P_List1.dat")) == saved; }))
        << ReadFileBytes(folder.File("P_List1.dat"));

    // A save that cannot replace the file: the temporary file beside it cannot be made. The list keeps the
    // change, the file its previous bytes, and the user is told.
    const std::string blocker = folder.File("P_List1.dat.~new");
    ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));
    ASSERT_TRUE(ClickButton(control, L"add"));
    EXPECT_EQ(AnswerErrorReport(velmo), L"ﾌｧｲﾙ " + Wide(folder.File("P_List1.dat")) + L" を作成できません.");
    // The list answers once the command has finished, so the file is looked at after anything it wrote.
    EXPECT_EQ(ListCount(control), 5);
    EXPECT_EQ(ReadFileBytes(folder.File("P_List1.dat")), saved);
    RemoveDirectoryA(blocker.c_str());

    // A list file that exists but cannot be read (held open without sharing): reported, and list 1 stays the
    // active list, so the next change goes into its own file and list 2's file is untouched.
    HANDLE held = CreateFileA(folder.File("P_List2.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(ClickButton(control, L"List2"));
    EXPECT_EQ(AnswerErrorReport(velmo), L"ﾌｧｲﾙ " + Wide(folder.File("P_List2.dat")) + L" は開けません.");
    CloseHandle(held);
    EXPECT_EQ(ListCount(control), 5);
    ASSERT_TRUE(ClickButton(control, L"add"));
    EXPECT_TRUE(WaitUntil([&] {
        return ReadFileBytes(folder.File("P_List1.dat")) == saved + picture + "\r\n" + picture + "\r\n";
    })) << ReadFileBytes(folder.File("P_List1.dat"));
    EXPECT_EQ(ReadFileBytes(folder.File("P_List2.dat")), list2);

    // Switching now works; a list whose file is missing is empty and creates no file.
    ASSERT_TRUE(ClickButton(control, L"List2"));
    EXPECT_TRUE(WaitUntil([&] { return ListCount(control) == 1; }));
    ASSERT_TRUE(ClickButton(control, L"List3"));
    EXPECT_TRUE(WaitUntil([&] { return ListCount(control) == 0; }));
    EXPECT_EQ(GetFileAttributesA(folder.File("P_List3.dat").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(velmo.Close(), 0);
}

// A program folder whose path holds "ソ" and "表", both with "\" as their second byte: the settings file, the
// picture, the caption, the list file and a capture all land where they belong.
TEST_F(VelmoE2eTest, ProgramFolderWithTrailByteBackslashesWorksThroughout) {
    ProgramFolder folder("-\x83\x5C\x95\x5C");
    const std::string picture = folder.File("\x95\x5C.bmp");
    WriteBmp(picture, 200, 100, [](int x, int y) { return PositionColor(x, y); });
    folder.WriteSettings({"Photo_1=" + picture});
    VelmoProcess velmo(folder);
    ASSERT_TRUE(StartedAndRevealed(velmo));
    EXPECT_EQ(WaitForPixels({{(kScreenWidth - 200) / 2 + 10, (kScreenHeight - 100) / 2 + 20, PositionColor(10, 20)}}),
              "");

    HWND control = OpenControlWindow(velmo, kOnRevealedWindow);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(WindowText(control), L" Velmo - 表.bmp");
    ASSERT_TRUE(ClickButton(control, L"add"));
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(folder.File("P_List1.dat")) == picture + "\r\n"; }));

    ASSERT_TRUE(ClickButton(control, L"capture"));
    HWND prompt = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (prompt = FindTopLevel(velmo.pid(), L"TF_CapInfo")) != nullptr; }));
    Settle(prompt);
    ASSERT_TRUE(ClickButton(prompt, L"OK"));
    const std::string capture = folder.File("Capture0.bmp");
    EXPECT_TRUE(WaitUntil([&] { return IniKey(folder, "Velmo", "Photo_1") == capture; }))
        << IniKey(folder, "Velmo", "Photo_1");
    EXPECT_EQ(ReadFileBytes(capture).size(), 54u + kScreenWidth * 3 * kScreenHeight);

    // Rename the listed picture (the shown one was the capture; the list still holds 表.bmp) to ソ.bmp.
    control = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (control = FindTopLevel(velmo.pid(), L"TF_Control")) != nullptr; }));
    ASSERT_NE(prompt = OpenRenamePrompt(velmo, control), nullptr);
    HWND edit = FindChild(prompt, L"Edit", L"表.bmp");
    ASSERT_NE(edit, nullptr) << "the prompt does not propose the file's name";
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"ソ.bmp"));
    ASSERT_TRUE(ClickButton(prompt, L"OK"));
    const std::string renamed = folder.File("\x83\x5C.bmp");
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(folder.File("P_List1.dat")) == renamed + "\r\n"; }))
        << ReadFileBytes(folder.File("P_List1.dat"));
    EXPECT_FALSE(ReadFileBytes(renamed).empty());
    EXPECT_EQ(GetFileAttributesA(picture.c_str()), INVALID_FILE_ATTRIBUTES);

    EXPECT_EQ(velmo.Close(), 0);
    EXPECT_EQ(IniKey(folder, "Velmo", "Photo_1"), capture);
}

// The list file's lines come back byte for byte through "add", "del" and a rename of another entry, whatever
// their bytes: the list box only shows them (through the code page's conversion, which would not keep them).
TEST_F(VelmoE2eTest, ListLinesKeepTheirBytesThroughAddDelAndRename) {
    ProgramFolder folder;
    const std::string shown = folder.File("shown.bmp"), a = folder.File("a.bmp");
    WriteBmp(shown, 8, 8, [](int x, int y) { return PositionColor(x, y); });
    WriteBmp(a, 8, 8, [](int x, int y) { return PositionColor(x, y, true); });
    folder.WriteSettings({"Photo_1=" + shown});
    // Invalid Shift-JIS, a lone lead byte at a line's end, UTF-8, control and unassigned bytes.
    const std::vector<std::string> odd = {"C:\\a\x81\x20z.bmp", "C:\\lone\x81", "C:\\caf\xC3\xA9.bmp",
                                          "\x01\x02\x7F\xFF\xFE"};
    const auto file = [&](const std::vector<std::string>& more) {
        std::string text;
        for (const std::string& line : odd)
            text += line + "\r\n";
        for (const std::string& line : more)
            text += line + "\r\n";
        return text;
    };
    const std::string list = folder.File("P_List1.dat");
    WriteFileBytes(list, file({a, "C:\\gone.bmp"}));

    VelmoProcess velmo(folder);
    ASSERT_TRUE(StartedAndRevealed(velmo));
    HWND control = OpenControlWindow(velmo, kOnRevealedWindow);
    ASSERT_NE(control, nullptr);

    ASSERT_TRUE(ClickButton(control, L"add"));
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(list) == file({a, "C:\\gone.bmp", shown}); }));

    SendMessageW(FindChild(control, L"ListBox", L""), LB_SETCURSEL, 5, 0);
    ASSERT_TRUE(ClickButton(control, L"del"));
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(list) == file({a, shown}); }));

    HWND prompt = OpenRenamePrompt(velmo, control, 4);
    ASSERT_NE(prompt, nullptr);
    SendMessageW(FindWindowExW(prompt, nullptr, L"Edit", nullptr), WM_SETTEXT, 0, LPARAM(L"b.bmp"));
    ASSERT_TRUE(ClickButton(prompt, L"OK"));
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(list) == file({folder.File("b.bmp"), shown}); }))
        << ReadFileBytes(list);
    EXPECT_EQ(velmo.Close(), 0);
}

}  // namespace
}  // namespace velmo::e2e
