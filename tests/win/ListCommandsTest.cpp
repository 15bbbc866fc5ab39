// The list's rename and delete commands and the "wall paper" button of the control window, run in this process
// on real files: the pop-up menu is opened with WM_CONTEXTMENU and picked with the keyboard, and a second
// thread answers the name prompt and the messages. Afterwards every file of the folder, the list, the list file
// and the recorded wallpaper are checked.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Desktop.h"
#include "TestUtil.h"
#include "app/Globals.h"
#include "app/SettingsFile.h"
#include "app/Unit2.h"
#include "win/Views.h"

namespace velmo::app {
namespace {

using Files = std::map<std::string, std::string>;  // name below the folder ("sub\\" for a folder) -> bytes

constexpr char kDir[] = "<folder>";
// Shift-JIS characters whose trail byte is "\".
const std::string kSo = "\x83\x5C";   // ソ
const std::string kHyo = "\x95\x5C";  // 表
constexpr int kRename = 0;            // positions in the list's menu
constexpr int kDelete = 1;

const std::wstring kOverwrite = L"同名ﾌｧｲﾙが存在します。上書きしますか？";
const std::wstring kFailed = L"変更に失敗しました。";
const std::wstring kWallpaperNotice = L"壁紙に使用中のファイルなので\r\n壁紙登録ファイル名も変更しました。";

// A 1x1 24-bit bitmap of one colour.
std::string Bmp(unsigned char blue, unsigned char green, unsigned char red) {
    std::string b = "BM";
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<char>(v >> (8 * i)));
    };
    auto u16 = [&](uint16_t v) {
        b.push_back(static_cast<char>(v));
        b.push_back(static_cast<char>(v >> 8));
    };
    u32(58), u32(0), u32(54);                  // file size, reserved, offset of the pixels
    u32(40), u32(1), u32(1), u16(1), u16(24);  // info header: size, width, height, planes, bits
    u32(0), u32(4), u32(2835), u32(2835), u32(0), u32(0);
    b += {static_cast<char>(blue), static_cast<char>(green), static_cast<char>(red), '\0'};
    return b;
}

// Every file and folder below `folder` (with its trailing "\"), names as they are on disk.
void Snapshot(const std::string& folder, const std::string& prefix, Files& out) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[prefix + name + "\\"] = kDir;
            Snapshot(folder + name + "\\", prefix + name + "\\", out);
        } else {
            out[prefix + name] = test::ReadBytes(folder + name);
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

Files Snapshot(const std::string& folder) {
    Files files;
    Snapshot(folder, "", files);
    return files;
}

void Make(const std::string& folder, const Files& files) {
    for (const auto& [name, bytes] : files) {
        if (bytes == kDir)
            CreateDirectoryA((folder + name).c_str(), nullptr);
        else
            test::WriteBytes(folder + name, bytes);
    }
}

std::string ListFileText(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items)
        text += item + "\r\n";
    return text;
}

std::string Upper(std::string text) {
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::string WinIni() {
    char folder[MAX_PATH] = "";
    GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\win.ini";
}

// The wallpaper as the prefix keeps it: win.ini [Desktop] lands in HKCU\Control Panel\Desktop.
std::string RegistryWallpaper() {
    char value[1024] = "";
    DWORD size = sizeof(value);
    if (RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Wallpaper", RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return "<none>";
    return value;
}

std::string WinIniWallpaper() {
    char value[1024] = "";
    GetPrivateProfileStringA("Desktop", "Wallpaper", "<none>", value, sizeof(value), WinIni().c_str());
    return value;
}

void RecordWallpaper(const std::string& path) {
    WritePrivateProfileStringA("Desktop", "Wallpaper", path.c_str(), WinIni().c_str());
}

// What the second thread gives to the command.
struct Answers {
    int menuItem = -1;                 // the menu item to pick; -1 when no menu opens
    std::optional<std::wstring> name;  // typed into the prompt before OK; none: Cancel
    std::vector<bool> yes;             // the answers to the questions, in order ("いいえ" when none is left)
};

// What the second thread met.
struct Seen {
    bool menu = false;
    bool prompted = false;
    std::wstring promptCaption;
    std::wstring proposed;               // the prompt's name as it opened
    std::vector<std::wstring> messages;  // the text of every message and question, in order
    bool timedOut = false;
};

class ListCommands : public ::testing::Test {
protected:
    void SetUp() override {
        listFile_ = ProgramFolder() + "P_List1.dat";
        RemoveProgramFiles();
        wallpaper_ = RegistryWallpaper();
        RecordWallpaper("");
        CurrentPicture.clear();
        e2e::ParkPointer();
    }

    void TearDown() override {
        Close();
        RemoveProgramFiles();
        CurrentPicture.clear();
        // The desktop shows what the tests set until it is told otherwise.
        std::string wallpaper = wallpaper_ == "<none>" ? "" : wallpaper_;
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, wallpaper.data(), SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
    }

    void RemoveProgramFiles() {
        DeleteFileA(listFile_.c_str());
        DeleteFileA((listFile_ + ".~new").c_str());
        DeleteFileA(SettingsFile().c_str());
    }

    // Opens the control window on a list file of `items` and selects entry `selected` (-1: none).
    void Open(const std::vector<std::string>& items, int selected) {
        test::WriteBytes(listFile_, ListFileText(items));
        OpenControlWindow();
        ASSERT_NE(F_Control, nullptr);
        window_ = F_Control->hwnd();
        for (HWND child : e2e::ChildWindows(window_)) {
            if (e2e::ClassName(child) == L"ListBox")
                list_ = child;
        }
        ASSERT_NE(list_, nullptr);
        ASSERT_EQ(Items(), items);
        SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    }

    void Close() {
        if (F_Control)
            F_Control->Destroy();
        EXPECT_EQ(F_Control, nullptr);
        window_ = list_ = nullptr;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }

    std::vector<std::string> Items() const {
        const win::ListBoxView view(list_);
        std::vector<std::string> items;
        for (int i = 0; i < view.Count(); ++i)
            items.push_back(view.Item(i));
        return items;
    }
    int Selection() const { return static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0)); }

    // Runs `trigger` on this thread while a second thread picks the menu item and answers what appears.
    Seen Drive(const std::function<void()>& trigger, const Answers& answers) {
        Seen seen;
        std::atomic<bool> finished{false};
        std::thread driver([&] {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            bool menuPicked = answers.menuItem < 0;
            size_t question = 0;
            while (!finished) {
                if (std::chrono::steady_clock::now() > deadline) {
                    // Something nobody answers: close it so that the command returns.
                    seen.timedOut = true;
                    if (HWND menu = e2e::FindVisibleWindowOfClass(L"#32768"))
                        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                    for (const wchar_t* dialog : {L"VelmoMessage", L"TF_CapInfo"})
                        if (HWND window = e2e::FindVisibleWindowOfClass(dialog))
                            PostMessageW(window, WM_CLOSE, 0, 0);
                    std::this_thread::sleep_for(std::chrono::milliseconds(200));
                    continue;
                }
                if (!menuPicked) {
                    if (e2e::FindVisibleWindowOfClass(L"#32768")) {
                        seen.menu = true;
                        for (int i = 0; i <= answers.menuItem; ++i)
                            e2e::PressKey(VK_DOWN);
                        e2e::PressKey(VK_RETURN);
                        menuPicked = true;
                    }
                } else if (HWND message = e2e::FindVisibleWindowOfClass(L"VelmoMessage")) {
                    seen.messages.push_back(e2e::WindowText(FindWindowExW(message, nullptr, L"Static", nullptr)));
                    const wchar_t* button = L"OK";
                    if (FindWindowExW(message, nullptr, L"Button", L"はい(&Y)")) {
                        const bool yes = question < answers.yes.size() && answers.yes[question];
                        ++question;
                        button = yes ? L"はい(&Y)" : L"いいえ(&N)";
                    }
                    PostMessageW(FindWindowExW(message, nullptr, L"Button", button), BM_CLICK, 0, 0);
                    e2e::WaitUntil([&] { return finished || !IsWindow(message); });
                    continue;
                } else if (HWND prompt = e2e::FindVisibleWindowOfClass(L"TF_CapInfo")) {
                    seen.prompted = true;
                    // The wording is set when the prompt becomes active.
                    e2e::WaitUntil([&] { return GetForegroundWindow() == prompt; }, std::chrono::seconds(3));
                    seen.promptCaption = e2e::WindowText(prompt);
                    HWND edit = FindWindowExW(prompt, nullptr, L"Edit", nullptr);
                    seen.proposed = e2e::WindowText(edit);
                    if (answers.name) {
                        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(answers.name->c_str()));
                        PostMessageW(FindWindowExW(prompt, nullptr, L"Button", L"OK"), BM_CLICK, 0, 0);
                    } else {
                        PostMessageW(FindWindowExW(prompt, nullptr, L"Button", L"Cancel"), BM_CLICK, 0, 0);
                    }
                    e2e::WaitUntil([&] { return finished || !IsWindow(prompt); });
                    continue;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
        trigger();
        finished = true;
        driver.join();
        return seen;
    }

    // The list's menu as a right click opens it, over the list; the command has run when this returns.
    Seen Menu(int item, std::optional<std::wstring> name = std::nullopt, std::vector<bool> yes = {}) {
        const Answers answers{item, std::move(name), std::move(yes)};
        RECT rc{};
        GetWindowRect(list_, &rc);
        return Drive(
            [&] {
                SendMessageW(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list_),
                             MAKELPARAM(rc.left + 20, rc.top + 10));
            },
            answers);
    }

    // A click on the "wall paper" button.
    Seen WallPaperButton() {
        HWND button = e2e::FindChild(window_, L"Button", L"wall paper");
        EXPECT_NE(button, nullptr);
        return Drive(
            [&] {
                SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
                SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            },
            {});
    }

    std::string listFile_;
    std::string wallpaper_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
};

struct RenameCase {
    const char* what;
    Files before;
    std::string selected;               // the entry's name in the folder
    std::wstring proposed;              // what the prompt offers
    std::optional<std::wstring> typed;  // none: Cancel
    std::vector<bool> yes;
    std::vector<std::wstring> messages;
    Files after;          // the whole folder afterwards
    std::string entry;    // the entry's name afterwards
    bool locked = false;  // the selected file is held open, without sharing, meanwhile
};

TEST_F(ListCommands, RenameMovesTheFileAndItsEntryOrChangesNothing) {
    const std::string a = "bytes of a", b = "bytes of b";
    // clang-format off
    const std::vector<RenameCase> cases = {
        {"plain", {{"a.bmp", a}}, "a.bmp", L"a.bmp", L"b.bmp", {}, {}, {{"b.bmp", a}}, "b.bmp"},
        {"overwrite accepted", {{"a.bmp", a}, {"b.bmp", b}}, "a.bmp", L"a.bmp", L"b.bmp", {true}, {kOverwrite},
         {{"b.bmp", a}}, "b.bmp"},
        {"overwrite refused", {{"a.bmp", a}, {"b.bmp", b}}, "a.bmp", L"a.bmp", L"b.bmp", {false}, {kOverwrite},
         {{"a.bmp", a}, {"b.bmp", b}}, "a.bmp"},
        {"letter case only", {{"a.bmp", a}}, "a.bmp", L"a.bmp", L"A.Bmp", {}, {}, {{"A.Bmp", a}}, "A.Bmp"},
        {"into an existing sub-folder", {{"a.bmp", a}, {"sub\\", kDir}}, "a.bmp", L"a.bmp", L"sub\\b.bmp", {}, {},
         {{"sub\\", kDir}, {"sub\\b.bmp", a}}, "sub\\b.bmp"},
        {"into a missing sub-folder", {{"a.bmp", a}}, "a.bmp", L"a.bmp", L"nosub\\b.bmp", {}, {kFailed}, {{"a.bmp", a}},
         "a.bmp"},
        {"onto a folder's name", {{"a.bmp", a}, {"sub\\", kDir}}, "a.bmp", L"a.bmp", L"sub", {}, {kFailed},
         {{"a.bmp", a}, {"sub\\", kDir}}, "a.bmp"},
        {"a name no file can have", {{"a.bmp", a}}, "a.bmp", L"a.bmp", L"b*.bmp", {}, {kFailed}, {{"a.bmp", a}},
         "a.bmp"},
        {"a file that cannot be moved", {{"a.bmp", a}}, "a.bmp", L"a.bmp", L"b.bmp", {}, {kFailed}, {{"a.bmp", a}},
         "a.bmp", true},
        // The target is parked, the move fails, and the target comes back.
        {"overwrite with a file that cannot be moved", {{"a.bmp", a}, {"b.bmp", b}}, "a.bmp", L"a.bmp", L"b.bmp",
         {true}, {kOverwrite, kFailed}, {{"a.bmp", a}, {"b.bmp", b}}, "a.bmp", true},
        {"the same name", {{"a.bmp", a}}, "a.bmp", L"a.bmp", L"a.bmp", {}, {}, {{"a.bmp", a}}, "a.bmp"},
        {"an empty name", {{"a.bmp", a}}, "a.bmp", L"a.bmp", L"", {}, {}, {{"a.bmp", a}}, "a.bmp"},
        {"Cancel", {{"a.bmp", a}}, "a.bmp", L"a.bmp", std::nullopt, {}, {}, {{"a.bmp", a}}, "a.bmp"},
        {"a file that is gone", {{"b.bmp", b}}, "a.bmp", L"a.bmp", L"c.bmp", {}, {L"このファイルは存在しません。"},
         {{"b.bmp", b}}, "a.bmp"},
        {"Shift-JIS", {{kHyo + "\\", kDir}, {kHyo + "\\" + kSo + ".bmp", a}}, kHyo + "\\" + kSo + ".bmp", L"ソ.bmp",
         L"表ソ.bmp", {}, {}, {{kHyo + "\\", kDir}, {kHyo + "\\" + kHyo + kSo + ".bmp", a}}, kHyo + "\\" + kHyo + kSo + ".bmp"},
        {"Shift-JIS overwrite", {{kSo + ".bmp", a}, {kHyo + ".bmp", b}}, kSo + ".bmp", L"ソ.bmp", L"表.bmp", {true},
         {kOverwrite}, {{kHyo + ".bmp", a}}, kHyo + ".bmp"},
    };
    // clang-format on
    for (const RenameCase& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder temp;
        const std::string root = temp.path();
        Make(root, c.before);
        const std::string path = root + c.selected;
        const std::string other = root + "other.bmp";  // listed, not on disk
        Open({other, path}, 1);
        if (HasFatalFailure())
            return;

        HANDLE lock = c.locked ? CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                               : INVALID_HANDLE_VALUE;
        const Seen seen = Menu(kRename, c.typed, c.yes);
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);

        EXPECT_FALSE(seen.timedOut);
        EXPECT_TRUE(seen.menu);
        const bool exists = c.before.count(c.selected) != 0;
        EXPECT_EQ(seen.prompted, exists);
        if (exists) {
            EXPECT_EQ(seen.promptCaption, L"ファイル名変更");
            EXPECT_EQ(seen.proposed, c.proposed);  // the file name alone
        }
        EXPECT_EQ(seen.messages, c.messages);
        EXPECT_EQ(Snapshot(root), c.after);
        const std::vector<std::string> after = {other, root + c.entry};
        EXPECT_EQ(Items(), after);
        EXPECT_EQ(Selection(), 1);
        EXPECT_EQ(test::ReadBytes(listFile_), ListFileText(after));
        EXPECT_EQ(CurrentPicture, "");
        EXPECT_EQ(RegistryWallpaper(), "");
        Close();
    }
}

TEST_F(ListCommands, RenameOfTheShownPictureOrTheWallpaperTakesThemAlong) {
    test::TempFolder temp;
    const std::string root = temp.path();
    const std::string picture = Bmp(10, 20, 30);
    const std::string photo = "\x8E\xCA\x90\x5E" + kSo + ".bmp";  // 写真ソ.bmp
    Make(root, {{"shown.bmp", "shown"}, {"wall.bmp", picture}});

    // The shown picture: CurrentPicture and the caption follow, the wallpaper stays as it was.
    CurrentPicture = root + "shown.bmp";
    Open({root + "shown.bmp", root + "wall.bmp"}, 0);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(e2e::WindowText(window_), L" Velmo - shown.bmp");
    Seen seen = Menu(kRename, L"写真ソ.bmp");
    EXPECT_TRUE(seen.messages.empty());
    EXPECT_EQ(CurrentPicture, root + photo);
    EXPECT_EQ(e2e::WindowText(window_), L" Velmo - 写真ソ.bmp");
    EXPECT_EQ(RegistryWallpaper(), "");
    Close();

    // The wallpaper, recorded in another letter case: it is set again under the new name, as typed, and told.
    CurrentPicture = root + "other.bmp";
    RecordWallpaper(Upper(root + "wall.bmp"));
    Open({root + photo, root + "wall.bmp"}, 1);
    ASSERT_FALSE(HasFatalFailure());
    seen = Menu(kRename, L"Wall2.BMP");
    EXPECT_FALSE(seen.timedOut);
    EXPECT_EQ(seen.messages, std::vector<std::wstring>{kWallpaperNotice});
    const std::string renamed = root + "Wall2.BMP";
    EXPECT_EQ(RegistryWallpaper(), renamed);
    EXPECT_EQ(WinIniWallpaper(), renamed);
    char system[1024] = "";
    SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof(system), system, 0);
    EXPECT_EQ(std::string(system), renamed);
    EXPECT_EQ(CurrentPicture, root + "other.bmp");
    EXPECT_EQ(Items(), (std::vector<std::string>{root + photo, renamed}));
    EXPECT_EQ(Selection(), 1);
    EXPECT_EQ(test::ReadBytes(listFile_), ListFileText(Items()));
    EXPECT_EQ(Snapshot(root), (Files{{photo, "shown"}, {"Wall2.BMP", picture}}));
    Close();

    // A wallpaper that the picture reader cannot take (another program may have recorded it): the file is renamed
    // all the same, so the list and the list file must follow it.
    Make(root, {{"odd.bmp", "not a bitmap"}});
    RecordWallpaper(root + "odd.bmp");
    Open({root + "odd.bmp"}, 0);
    ASSERT_FALSE(HasFatalFailure());
    seen = Menu(kRename, L"odd2.bmp");
    EXPECT_FALSE(seen.timedOut);
    EXPECT_EQ(test::ReadBytes(root + "odd2.bmp"), "not a bitmap");
    EXPECT_EQ(Items(), std::vector<std::string>{root + "odd2.bmp"});
    EXPECT_EQ(Selection(), 0);
    EXPECT_EQ(test::ReadBytes(listFile_), ListFileText({root + "odd2.bmp"}));
}

struct DeleteCase {
    const char* what;
    Files before;
    std::string selected;
    bool shown;             // the entry is the shown picture
    std::string wallpaper;  // recorded as the wallpaper, upper-cased; empty: none
    std::vector<bool> yes;
    std::vector<std::wstring> messages;
    Files after;
    bool listed;          // the entry is still in the list
    bool locked = false;  // the selected file is held open, without sharing, meanwhile
};

TEST_F(ListCommands, DeleteAsksFirstAndRefusesTheShownPictureAndTheWallpaper) {
    const std::string a = "bytes of a";
    const std::wstring question = L"a.bmp\r\n削除しますか？";
    // clang-format off
    const std::vector<DeleteCase> cases = {
        {"Yes", {{"a.bmp", a}}, "a.bmp", false, "", {true}, {question}, {}, false},
        {"No", {{"a.bmp", a}}, "a.bmp", false, "", {false}, {question}, {{"a.bmp", a}}, true},
        {"the shown picture", {{"a.bmp", a}}, "a.bmp", true, "", {}, {L"このファイルは現在使用中です。"},
         {{"a.bmp", a}}, true},
        {"the wallpaper", {{"a.bmp", a}}, "a.bmp", false, "a.bmp", {}, {L"このファイルは壁紙に使用中です。"},
         {{"a.bmp", a}}, true},
        {"a file that cannot be deleted", {{"a.bmp", a}}, "a.bmp", false, "", {true},
         {question, L"削除に失敗しました。"}, {{"a.bmp", a}}, true, true},
        {"a file that is gone", {}, "a.bmp", false, "", {}, {L"既にファイルは存在しません。\r\nリストから削除します。"},
         {}, false},
        {"Shift-JIS", {{kSo + "\\", kDir}, {kSo + "\\" + kHyo + ".bmp", a}}, kSo + "\\" + kHyo + ".bmp", false, "",
         {true}, {L"表.bmp\r\n削除しますか？"}, {{kSo + "\\", kDir}}, false},
        {"Shift-JIS wallpaper", {{kSo + "a.bmp", a}}, kSo + "a.bmp", false, kSo + "a.bmp", {},
         {L"このファイルは壁紙に使用中です。"}, {{kSo + "a.bmp", a}}, true},
    };
    // clang-format on
    for (const DeleteCase& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder temp;
        const std::string root = temp.path();
        Make(root, c.before);
        const std::string path = root + c.selected;
        CurrentPicture = c.shown ? path : root + "other.bmp";
        RecordWallpaper(c.wallpaper.empty() ? "" : Upper(root + c.wallpaper));
        const std::string other = root + "other.bmp";
        Open({path, other}, 0);
        if (HasFatalFailure())
            return;

        HANDLE lock = c.locked ? CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                               : INVALID_HANDLE_VALUE;
        const Seen seen = Menu(kDelete, std::nullopt, c.yes);
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);

        EXPECT_FALSE(seen.timedOut);
        EXPECT_TRUE(seen.menu);
        EXPECT_FALSE(seen.prompted);
        EXPECT_EQ(seen.messages, c.messages);
        EXPECT_EQ(Snapshot(root), c.after);
        const std::vector<std::string> after =
            c.listed ? std::vector<std::string>{path, other} : std::vector<std::string>{other};
        EXPECT_EQ(Items(), after);
        EXPECT_EQ(test::ReadBytes(listFile_), ListFileText(after));
        Close();
    }
}

TEST_F(ListCommands, WallPaperButtonRecordsTheSelectedPictureAsItIsSpelt) {
    test::TempFolder temp;
    const std::string root = temp.path();
    const std::string folder = temp.Sub("Pics\x83\x5C");
    const std::string wall = folder + "Wall.BMP";
    test::WriteBytes(wall, Bmp(1, 2, 3));
    Open({root + "gone.bmp", wall}, 0);
    ASSERT_FALSE(HasFatalFailure());

    Seen seen = WallPaperButton();
    EXPECT_EQ(seen.messages, std::vector<std::wstring>{L"ファイルが存在しません。"});
    EXPECT_EQ(RegistryWallpaper(), "");

    SendMessageW(list_, LB_SETCURSEL, 1, 0);
    seen = WallPaperButton();
    EXPECT_FALSE(seen.timedOut);
    EXPECT_TRUE(seen.messages.empty());
    EXPECT_EQ(RegistryWallpaper(), wall);
    EXPECT_EQ(WinIniWallpaper(), wall);
    EXPECT_EQ(test::ReadBytes(wall), Bmp(1, 2, 3));
    EXPECT_EQ(test::ReadBytes(listFile_), ListFileText({root + "gone.bmp", wall}));
}

}  // namespace
}  // namespace velmo::app
