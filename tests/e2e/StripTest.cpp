// The strip as a settings file places it, and the settings file the program writes when it closes.
#include <map>
#include <memory>

#include "E2eTest.h"

namespace velmo::e2e {
namespace {

TEST_F(VelmoE2eTest, FirstStartShowsTopStripAndWritesSettingsAtClose) {
    ProgramFolder folder;
    VelmoProcess velmo(folder);
    ASSERT_TRUE(Started(velmo));

    EXPECT_EQ(ToString(velmo.box()), ToString(Box{200, -3, 250, 6}));
    EXPECT_TRUE(IsTopmost(velmo.mainWindow()));
    EXPECT_FALSE(IsZoomed(velmo.mainWindow()));
    // Reading the settings never creates the file.
    EXPECT_EQ(GetFileAttributesA(folder.ini().c_str()), INVALID_FILE_ATTRIBUTES);

    ASSERT_EQ(velmo.Close(), 0);
    EXPECT_EQ(ReadFileBytes(folder.ini()),
              "[Velmo]\r\n"
              "Photo_1=\r\n"
              "StartPosition=200\r\n"
              "Length=250\r\n"
              "Adj=2\r\n"
              "Position=t\r\n"
              "MW=640\r\n"
              "MH=480\r\n"
              "Max_SOT=0\r\n");
}

// A minimised window is neither normal nor maximised: standby still gives the strip, in the topmost band, also
// when the window was revealed (maximised) before it was minimised.
TEST_F(VelmoE2eTest, StandbyAfterMinimiseGivesTheStripAgain) {
    ProgramFolder folder;
    VelmoProcess velmo(folder);
    ASSERT_TRUE(Started(velmo));
    const Box strip = velmo.box();
    for (bool revealedFirst : {false, true}) {
        SCOPED_TRACE(revealedFirst ? "revealed, then minimised" : "minimised from the strip");
        if (revealedFirst) {
            ASSERT_TRUE(Revealed(velmo));
        }
        ShowWindow(velmo.mainWindow(), SW_MINIMIZE);
        ASSERT_TRUE(WaitUntil([&] { return IsIconic(velmo.mainWindow()) != FALSE; }));
        // Wine opens no menu for a right-click or the menu key on a minimised window; the test sends the
        // request that those make on Windows, then picks the item with the keyboard as a person would.
        PostMessageW(velmo.mainWindow(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(velmo.mainWindow()),
                     MAKELPARAM(-1, -1));
        ASSERT_TRUE(WaitUntil([] { return FindVisibleWindowOfClass(L"#32768") != nullptr; }));
        PressKey(VK_DOWN);  // the first item, "待機"
        PressKey(VK_RETURN);
        EXPECT_TRUE(WaitUntil([&] {
            return !IsIconic(velmo.mainWindow()) && !IsZoomed(velmo.mainWindow()) && velmo.box() == strip;
        })) << "window at " << ToString(velmo.box());
        // Standby places the strip first and enters the topmost band last.
        Settle(velmo.mainWindow());
        EXPECT_TRUE(WaitUntil([&] { return IsTopmost(velmo.mainWindow()); }));
        ParkPointer();
    }
    EXPECT_EQ(velmo.Close(), 0);
}

struct StripCase {
    const char* name;
    std::vector<std::string> settings;
    Box strip;
    std::map<std::string, std::string> writtenBack;  // keys whose saved value the case is about
};

// Each case is one program start; they run a few at a time in folders of their own.
TEST_F(VelmoE2eTest, StripFollowsEdgeLetterAndClampedSettings) {
    const std::vector<StripCase> cases = {
        {"top, Adj 0 shows one row",
         {"StartPosition=100", "Length=300", "Adj=0", "Position=t"},
         {100, -3, 300, 4},
         {{"Adj", "0"}}},
        {"left", {"StartPosition=150", "Length=200", "Adj=1", "Position=l"}, {-2, 150, 4, 200}, {}},
        {"right edge from MW, not from the screen",
         {"StartPosition=120", "Length=90", "Adj=2", "Position=r", "MW=800", "MH=600"},
         {797, 120, 7, 90},
         {{"MW", "800"}, {"MH", "600"}}},
        {"bottom edge from MH, first letter of a word",
         {"StartPosition=300", "Length=260", "Adj=0", "Position=bottom", "MW=800", "MH=600"},
         {300, 599, 260, 5},
         {{"Position", "b"}}},
        {"Length 4 needs Adj 3", {"Length=4", "Adj=2"}, {200, -3, 4, 7}, {{"Length", "4"}, {"Adj", "3"}}},
        {"Length 5 keeps Adj 2", {"Length=5", "Adj=2"}, {200, -3, 5, 6}, {{"Adj", "2"}}},
        {"Length 2 becomes 4", {"Length=2"}, {200, -3, 4, 7}, {{"Length", "4"}, {"Adj", "3"}}},
        {"Adj -1 becomes 5", {"Adj=-1"}, {200, -3, 250, 9}, {{"Adj", "5"}}},
        {"Adj -1 with Length 4 becomes 3", {"Length=4", "Adj=-1"}, {200, -3, 4, 7}, {{"Adj", "3"}}},
        {"Adj 9 becomes 5", {"Adj=9", "Position=l"}, {-2, 200, 8, 250}, {{"Adj", "5"}}},
        {"StartPosition 0 becomes 4", {"StartPosition=0"}, {4, -3, 250, 6}, {{"StartPosition", "4"}}},
        {"negative StartPosition becomes 4",
         {"StartPosition=-50", "Position=l"},
         {-2, 4, 5, 250},
         {{"StartPosition", "4"}}},
        {"empty Position becomes t", {"Position="}, {200, -3, 250, 6}, {{"Position", "t"}}},
        {"unknown letter placed like t and kept", {"Position=x"}, {200, -3, 250, 6}, {{"Position", "x"}}},
        {"hexadecimal Length", {"Length=0x20"}, {200, -3, 32, 6}, {{"Length", "32"}}},
    };
    constexpr size_t kAtOnce = 4;

    for (size_t first = 0; first < cases.size(); first += kAtOnce) {
        const size_t end = std::min(cases.size(), first + kAtOnce);
        std::vector<std::unique_ptr<ProgramFolder>> folders;
        std::vector<std::unique_ptr<VelmoProcess>> runs;
        for (size_t i = first; i < end; ++i) {
            folders.push_back(std::make_unique<ProgramFolder>());
            folders.back()->WriteSettings(cases[i].settings);
            runs.push_back(std::make_unique<VelmoProcess>(*folders.back()));
        }
        for (size_t i = first; i < end; ++i) {
            const StripCase& c = cases[i];
            VelmoProcess& velmo = *runs[i - first];
            SCOPED_TRACE(c.name);
            ASSERT_TRUE(Started(velmo));
            EXPECT_EQ(ToString(velmo.box()), ToString(c.strip));
        }
        for (size_t i = first; i < end; ++i) {
            const StripCase& c = cases[i];
            SCOPED_TRACE(c.name);
            ASSERT_EQ(runs[i - first]->Close(), 0);
            for (const auto& [key, value] : c.writtenBack)
                EXPECT_EQ(folders[i - first]->Setting(key), value) << key;
        }
    }
}

TEST_F(VelmoE2eTest, UnwritableSettingsFileKeepsProgramRunning) {
    ProgramFolder folder;
    // A folder in the settings file's place: the profile writes fail whatever the user's rights.
    ASSERT_TRUE(CreateDirectoryA(folder.ini().c_str(), nullptr));
    VelmoProcess velmo(folder);
    ASSERT_TRUE(Started(velmo));

    velmo.RequestClose();
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindTopLevel(velmo.pid(), L"#32770")) != nullptr; }))
        << "no error report";
    EXPECT_EQ(WindowText(box), L"Velmo");
    std::wstring text;
    HWND ok = nullptr;
    for (HWND child : ChildWindows(box)) {
        if (ClassName(child) == L"Static" && !WindowText(child).empty())
            text = WindowText(child);
        if (ClassName(child) == L"Button" && WindowText(child) == L"OK")
            ok = child;
    }
    std::wstring expected;
    for (char c : folder.ini())
        expected += static_cast<wchar_t>(static_cast<unsigned char>(c));
    expected += L" に書き込めません.";
    EXPECT_EQ(text, expected);
    ASSERT_NE(ok, nullptr);

    ASSERT_TRUE(ClickOn(ok));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << "the error report did not close";
    // The close was abandoned: the program goes on with its strip, which still reveals. The reveal is handled
    // after the close has finished, so a program that was ending would have ended by then.
    EXPECT_TRUE(IsWindowVisible(velmo.mainWindow()));
    EXPECT_EQ(ToString(velmo.box()), ToString(Box{200, -3, 250, 6}));
    ASSERT_TRUE(Revealed(velmo));
    EXPECT_TRUE(velmo.running());

    ASSERT_TRUE(RemoveDirectoryA(folder.ini().c_str()));
    ASSERT_EQ(velmo.Close(), 0);
    EXPECT_EQ(folder.Setting("Position"), "t");
}

}  // namespace
}  // namespace velmo::e2e
