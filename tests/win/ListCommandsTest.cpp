// The list's rename and delete commands and the "wall paper" button of the control window, run in this process
// on real files. A second thread picks the list's menu item with the keyboard and answers the name prompt and the
// messages; afterwards the folder's files and bytes, the list, the list file and the wallpaper are checked.
#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>

#include "TestUtil.h"
#include "VelmoRun.h"
#include "app/AppWindows.h"
#include "app/Globals.h"
#include "app/SettingsFile.h"
#include "app/Unit2.h"
#include "win/Modal.h"
#include "win/Text.h"
#include "win/Views.h"

namespace velmo::app {
namespace {

using e2e::Files;  // name below the folder ("sub\\" for a folder) -> bytes
using Names = std::vector<std::string>;
using Texts = std::vector<std::wstring>;

constexpr char kDir[] = "";  // a folder's bytes in Files
// Shift-JIS characters whose trail byte is "\".
const std::string kSo = "\x83\x5C";   // ソ
const std::string kHyo = "\x95\x5C";  // 表
enum MenuItem { kRename, kDelete };   // positions in the list's menu
// How the selected file is in use while the command runs; kLocked: held open without sharing.
enum Use { kFree, kShown, kWallpaper, kLocked };

const std::wstring kOverwrite = L"同名ﾌｧｲﾙが存在します。上書きしますか？";
const std::wstring kFailed = L"変更に失敗しました。";

void Make(const std::string& folder, const Files& files) {
    for (const auto& [name, bytes] : files) {
        if (name.back() == '\\')
            CreateDirectoryA((folder + name).c_str(), nullptr);
        else
            e2e::WriteFileBytes(folder + name, bytes);
    }
}

std::string ListFileText(const Names& items) {
    std::string text;
    for (const std::string& item : items)
        text += item + "\r\n";
    return text;
}

std::string Upper(std::string text) {
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// The wallpaper as win.ini [Desktop] records it.
void RecordWallpaper(const std::string& path) {
    WriteProfileStringA("Desktop", "Wallpaper", path.c_str());
}

std::string RecordedWallpaper() {
    char value[1024] = "";
    GetProfileStringA("Desktop", "Wallpaper", "<none>", value, sizeof(value));
    return value;
}

// The desktop was given `path` as its wallpaper, and it is recorded.
void ExpectWallpaperSet(const std::string& path) {
    EXPECT_EQ(RecordedWallpaper(), path);
    char shown[1024] = "";
    SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof(shown), shown, 0);
    EXPECT_EQ(std::string(shown), path);
}

// What the second thread met.
struct Seen {
    bool menu = false, timedOut = false;
    std::wstring prompt;  // "caption: name" of the name prompt as it opened; empty when none did
    Texts messages;       // the text of every message and question, in order
    Texts covered;        // the messages whose button was not the window under its own centre
};

// A real left click at a screen point. The pointer moves there in the same input as the button goes down and up:
// under Wine a late motion event of an earlier move can carry the pointer back between a move and a click made
// apart, and the click would land on the button of an earlier question that stood there.
void ClickAt(POINT at) {
    const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int vw = GetSystemMetrics(SM_CXVIRTUALSCREEN), vh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    INPUT inputs[3]{};
    const DWORD flags[3] = {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 3; ++i) {
        // Each event carries the point: a button event without MOUSEEVENTF_MOVE takes wherever the pointer is.
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dx = MulDiv(at.x - vx, 65535, vw - 1);
        inputs[i].mi.dy = MulDiv(at.y - vy, 65535, vh - 1);
        inputs[i].mi.dwFlags = flags[i] | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    }
    SendInput(3, inputs, sizeof(INPUT));
}

// Answers a message with a real click on `button`, once it is the window a person's pointer meets there; false
// when another window covers it (it is then pressed without the pointer, so that the command still ends).
bool ClickUncovered(HWND dialog, HWND button) {
    RECT rc{};
    GetWindowRect(button, &rc);
    const POINT centre{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    if (WindowFromPoint(centre) != button) {
        PostMessageW(button, BM_CLICK, 0, 0);
        return false;
    }
    // An injected click can be lost under load: a second one when the first has not closed the dialog after a
    // long while. A click that was only slow must not be made again: it would land on the next dialog.
    for (int attempt = 0; attempt < 2 && IsWindow(dialog); ++attempt) {
        ClickAt(centre);
        e2e::WaitUntil([&] { return !IsWindow(dialog); }, std::chrono::seconds(10));
    }
    return true;
}

// A rename or delete on the list's selected entry, with what must follow.
struct Case {
    const char* what;
    Files before;
    std::optional<std::wstring> typed;  // typed into the rename prompt; none: Cancel, or no prompt
    std::vector<bool> yes;
    Texts messages;
    Files after;        // the whole folder afterwards
    std::string entry;  // the entry's name afterwards; "": gone from the list
    Use use = kFree;
    std::string selected = "a.bmp";    // the entry's name in the folder
    std::wstring proposed = L"a.bmp";  // what the rename prompt offers: the file name alone
};

class ListCommands : public ::testing::Test {
protected:
    void SetUp() override {
        // As the program does: every dialog opens with the program's windows out of the topmost band.
        win::SetDialogOpening(&DropTopmost);
        listFile_ = ProgramFolder() + "P_List1.dat";
        RemoveProgramFiles();
        wallpaper_ = RecordedWallpaper();
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
        for (const std::string& file : {listFile_, listFile_ + ".~new", SettingsFile()})
            DeleteFileA(file.c_str());
    }

    // Opens the control window on a list file of `items` and selects entry `selected` (-1: none).
    void Open(const Names& items, int selected) {
        e2e::WriteFileBytes(listFile_, ListFileText(items));
        OpenControlWindow();
        ASSERT_NE(F_Control, nullptr);
        window_ = F_Control->hwnd();
        ASSERT_NE(list_ = e2e::FindChild(window_, L"ListBox", L""), nullptr);
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

    Names Items() const {
        const win::ListBoxView view(list_);
        Names items;
        for (int i = 0; i < view.Count(); ++i)
            items.push_back(view.Item(i));
        return items;
    }

    // The list and the list file both hold `items`, and entry `selected` is selected (-1: none).
    void ExpectListed(const Names& items, int selected) {
        EXPECT_EQ(Items(), items);
        EXPECT_EQ(SendMessageW(list_, LB_GETCURSEL, 0, 0), selected);
        EXPECT_EQ(e2e::ReadFileBytes(listFile_), ListFileText(items));
    }

    // Runs `trigger` on this thread while a second thread picks the menu item (-1: no menu opens), types `name`
    // into the prompt before OK (none: Cancel) and answers the questions in order ("いいえ" when none is left).
    // Whatever is still unanswered after 30 s is closed, so that the command returns.
    Seen Drive(const std::function<void()>& trigger,
               int menuItem = -1,
               const std::optional<std::wstring>& name = {},
               const std::vector<bool>& yes = {}) {
        Seen seen;
        std::atomic<bool> finished{false};
        std::thread driver([&] {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            const auto click = [](HWND parent, const wchar_t* button) {
                PostMessageW(FindWindowExW(parent, nullptr, L"Button", button), BM_CLICK, 0, 0);
            };
            bool menuPicked = menuItem < 0;
            size_t question = 0;
            while (!finished) {
                HWND answered = nullptr;
                if (std::chrono::steady_clock::now() > deadline) {
                    seen.timedOut = true;
                    if (HWND menu = e2e::FindVisibleWindowOfClass(L"#32768"))
                        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                    for (const wchar_t* dialog : {L"VelmoMessage", L"TF_CapInfo"})
                        if (HWND window = e2e::FindVisibleWindowOfClass(dialog))
                            PostMessageW(window, WM_CLOSE, 0, 0);
                    std::this_thread::sleep_for(std::chrono::milliseconds(200));
                } else if (!menuPicked) {
                    if (e2e::FindVisibleWindowOfClass(L"#32768")) {
                        seen.menu = menuPicked = true;
                        for (int i = 0; i <= menuItem; ++i)
                            e2e::PressKey(VK_DOWN);
                        e2e::PressKey(VK_RETURN);
                    }
                } else if ((answered = e2e::FindVisibleWindowOfClass(L"VelmoMessage"))) {
                    const std::wstring text = e2e::WindowText(FindWindowExW(answered, nullptr, L"Static", nullptr));
                    seen.messages.push_back(text);
                    const wchar_t* answer = L"OK";
                    if (FindWindowExW(answered, nullptr, L"Button", L"はい(&Y)"))
                        answer = question < yes.size() && yes[question++] ? L"はい(&Y)" : L"いいえ(&N)";
                    if (!ClickUncovered(answered, FindWindowExW(answered, nullptr, L"Button", answer)))
                        seen.covered.push_back(text);
                } else if ((answered = e2e::FindVisibleWindowOfClass(L"TF_CapInfo"))) {
                    // The wording is set when the prompt becomes active.
                    e2e::WaitUntil([&] { return GetForegroundWindow() == answered; }, std::chrono::seconds(3));
                    HWND edit = FindWindowExW(answered, nullptr, L"Edit", nullptr);
                    seen.prompt = e2e::WindowText(answered) + L": " + e2e::WindowText(edit);
                    if (name)
                        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name->c_str()));
                    click(answered, name ? L"OK" : L"Cancel");
                }
                if (answered)
                    e2e::WaitUntil([&] { return finished || !IsWindow(answered); });
                else
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
        trigger();
        finished = true;
        driver.join();
        EXPECT_FALSE(seen.timedOut);
        EXPECT_EQ(seen.covered, Texts{}) << "a message opened beneath a window of the program";
        return seen;
    }

    // The list's menu as a right click opens it, over the list, with `locked` (if any) held open without sharing
    // meanwhile; the command has run when this returns.
    Seen Menu(MenuItem item,
              const std::optional<std::wstring>& name = {},
              const std::vector<bool>& yes = {},
              const std::string& locked = "") {
        HANDLE lock = locked.empty() ? INVALID_HANDLE_VALUE
                                     : CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        RECT rc{};
        GetWindowRect(list_, &rc);
        const Seen seen = Drive(
            [&] {
                SendMessageW(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list_),
                             MAKELPARAM(rc.left + 20, rc.top + 10));
            },
            item, name, yes);
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        EXPECT_TRUE(seen.menu);
        return seen;
    }

    // A click on the "wall paper" button.
    Seen WallPaperButton() {
        HWND button = e2e::FindChild(window_, L"Button", L"wall paper");
        EXPECT_NE(button, nullptr);
        return Drive([&] {
            SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        });
    }

    // Runs each case in a fresh folder, on a list with an entry not on disk: the selected entry is the second for
    // a rename and the first for a delete.
    void Run(MenuItem item, const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            test::TempFolder temp;
            const std::string root = temp.path(), path = root + c.selected, other = root + "other.bmp";
            Make(root, c.before);
            CurrentPicture = c.use == kShown ? path : other;
            RecordWallpaper(c.use == kWallpaper ? Upper(path) : "");
            const int at = item == kRename ? 1 : 0;
            Names items{other};
            items.insert(items.begin() + at, path);
            Open(items, at);
            ASSERT_FALSE(HasFatalFailure());
            const std::wstring caption = L" Velmo - " + c.proposed;  // when the entry is the shown picture
            if (c.use == kShown) {
                EXPECT_EQ(e2e::WindowText(window_), caption);
            }

            const Seen seen = Menu(item, c.typed, c.yes, c.use == kLocked ? path : "");
            const bool prompted = item == kRename && c.before.count(c.selected);
            EXPECT_EQ(seen.prompt, prompted ? L"ファイル名変更: " + c.proposed : L"");
            EXPECT_EQ(seen.messages, c.messages);
            EXPECT_EQ(e2e::ReadTree(root), c.after);
            if (c.entry.empty())
                items.erase(items.begin() + at);
            else
                items[at] = root + c.entry;
            ExpectListed(items, c.entry.empty() ? -1 : at);
            EXPECT_EQ(CurrentPicture, c.use == kShown ? root + c.entry : other);
            if (c.use == kShown) {
                EXPECT_EQ(e2e::WindowText(window_), c.entry == c.selected ? caption : L" Velmo - " + *c.typed);
            }
            if (c.use == kWallpaper && c.entry != c.selected) {
                ExpectWallpaperSet(root + c.entry);  // as typed
            } else {
                EXPECT_EQ(RecordedWallpaper(), c.use == kWallpaper ? Upper(path) : "");
            }
            Close();
        }
    }

    std::string listFile_;
    std::string wallpaper_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
};

TEST_F(ListCommands, RenameMovesTheFileAndItsEntryOrChangesNothing) {
    const std::string a = "bytes of a", b = "bytes of b";
    const Files A{{"a.bmp", a}}, B{{"b.bmp", b}}, AB{{"a.bmp", a}, {"b.bmp", b}}, ASub{{"a.bmp", a}, {"sub\\", kDir}};
    const std::string soInHyo = kHyo + "\\" + kSo + ".bmp", renamedInHyo = kHyo + "\\" + kHyo + kSo + ".bmp";
    // clang-format off
    Run(kRename, {
        {"plain", A, L"b.bmp", {}, {}, {{"b.bmp", a}}, "b.bmp"},
        {"overwrite accepted", AB, L"b.bmp", {true}, {kOverwrite}, {{"b.bmp", a}}, "b.bmp"},
        {"overwrite refused", AB, L"b.bmp", {false}, {kOverwrite}, AB, "a.bmp"},
        {"letter case only", A, L"A.Bmp", {}, {}, {{"A.Bmp", a}}, "A.Bmp"},
        {"into a sub-folder", ASub, L"sub\\b.bmp", {}, {}, {{"sub\\", kDir}, {"sub\\b.bmp", a}}, "sub\\b.bmp"},
        {"into a missing sub-folder", A, L"nosub\\b.bmp", {}, {kFailed}, A, "a.bmp"},
        {"onto a folder's name", ASub, L"sub", {}, {kFailed}, ASub, "a.bmp"},
        {"a name no file can have", A, L"b*.bmp", {}, {kFailed}, A, "a.bmp"},
        {"a file that cannot be moved", A, L"b.bmp", {}, {kFailed}, A, "a.bmp", kLocked},
        // The target is parked, the move fails, and the target comes back.
        {"overwrite, a file that cannot be moved", AB, L"b.bmp", {true}, {kOverwrite, kFailed}, AB, "a.bmp", kLocked},
        {"the same name", A, L"a.bmp", {}, {}, A, "a.bmp"},
        {"an empty name", A, L"", {}, {}, A, "a.bmp"},
        {"Cancel", A, std::nullopt, {}, {}, A, "a.bmp"},
        {"a file that is gone", B, L"c.bmp", {}, {L"このファイルは存在しません。"}, B, "a.bmp"},
        {"Shift-JIS", {{kHyo + "\\", kDir}, {soInHyo, a}}, L"表ソ.bmp", {}, {},
         {{kHyo + "\\", kDir}, {renamedInHyo, a}}, renamedInHyo, kFree, soInHyo, L"ソ.bmp"},
        {"Shift-JIS overwrite", {{kSo + ".bmp", a}, {kHyo + ".bmp", b}}, L"表.bmp", {true}, {kOverwrite},
         {{kHyo + ".bmp", a}}, kHyo + ".bmp", kFree, kSo + ".bmp", L"ソ.bmp"},
    });
    // clang-format on
}

TEST_F(ListCommands, RenameOfTheShownPictureOrTheWallpaperTakesThemAlong) {
    test::TempFolder temp;
    const std::string root = temp.path(), photo = "\x8E\xCA\x90\x5E" + kSo + ".bmp";  // 写真ソ.bmp
    e2e::WriteBmp(root + "wall.bmp", 1, 1, [](int, int) { return RGB(30, 20, 10); });
    const std::string bmp = e2e::ReadFileBytes(root + "wall.bmp");
    // clang-format off
    Run(kRename, {
        // CurrentPicture and the caption follow; the wallpaper stays as it was.
        {"the shown picture", {{"shown.bmp", "shown"}}, L"写真ソ.bmp", {}, {}, {{photo, "shown"}}, photo, kShown,
         "shown.bmp", L"shown.bmp"},
        // Recorded in another letter case: it is set again under the new name, as typed, and told.
        {"the wallpaper", {{"wall.bmp", bmp}}, L"Wall2.BMP", {},
         {L"壁紙に使用中のファイルなので\r\n壁紙登録ファイル名も変更しました。"}, {{"Wall2.BMP", bmp}}, "Wall2.BMP",
         kWallpaper, "wall.bmp", L"wall.bmp"},
    });
    // clang-format on

    // A wallpaper that the picture reader cannot take (another program may have recorded it): the file is renamed
    // all the same, so the list and the list file must follow it.
    Make(root, {{"odd.bmp", "not a bitmap"}});
    RecordWallpaper(root + "odd.bmp");
    Open({root + "odd.bmp"}, 0);
    ASSERT_FALSE(HasFatalFailure());
    Menu(kRename, L"odd2.bmp");
    EXPECT_EQ(e2e::ReadFileBytes(root + "odd2.bmp"), "not a bitmap");
    ExpectListed({root + "odd2.bmp"}, 0);
    Close();

    // A list file that cannot be saved (a folder stands where its new copy is made) does not keep the wallpaper
    // from following the file: it is set again under the new name, and the save's error is reported after that.
    static std::wstring reported;
    win::Window::SetErrorReporter([](HWND, const win::AppError& error) { reported = error.message(); });
    Make(root, {{"Wall2.BMP", bmp}});
    RecordWallpaper(Upper(root + "wall2.bmp"));
    Open({root + "Wall2.BMP"}, 0);
    ASSERT_FALSE(HasFatalFailure());
    const std::string blocked = listFile_ + ".~new";
    ASSERT_TRUE(CreateDirectoryA(blocked.c_str(), nullptr));
    const Seen seen = Menu(kRename, L"wall3.bmp");
    RemoveDirectoryA(blocked.c_str());
    win::Window::SetErrorReporter(nullptr);
    EXPECT_EQ(seen.messages, Texts{L"壁紙に使用中のファイルなので\r\n壁紙登録ファイル名も変更しました。"});
    EXPECT_EQ(e2e::ReadFileBytes(root + "wall3.bmp"), bmp);
    ExpectWallpaperSet(root + "wall3.bmp");
    EXPECT_EQ(e2e::ReadFileBytes(listFile_), ListFileText({root + "Wall2.BMP"})) << "the list file must stay whole";
    EXPECT_EQ(reported, L"ﾌｧｲﾙ " + win::AcpToWide(listFile_) + L" を作成できません");
}

TEST_F(ListCommands, DeleteAsksFirstAndRefusesTheShownPictureAndTheWallpaper) {
    const std::string a = "bytes of a";
    const Files A{{"a.bmp", a}};
    const std::wstring question = L"a.bmp\r\n削除しますか？", wallpaper = L"このファイルは壁紙に使用中です。";
    // clang-format off
    Run(kDelete, {
        {"Yes", A, {}, {true}, {question}, {}, ""},
        {"No", A, {}, {false}, {question}, A, "a.bmp"},
        {"the shown picture", A, {}, {}, {L"このファイルは現在使用中です。"}, A, "a.bmp", kShown},
        {"the wallpaper, recorded in capitals", A, {}, {}, {wallpaper}, A, "a.bmp", kWallpaper},
        {"a file that cannot be deleted", A, {}, {true}, {question, L"削除に失敗しました。"}, A, "a.bmp", kLocked},
        {"a file that is gone", {}, {}, {}, {L"既にファイルは存在しません。\r\nリストから削除します。"}, {}, ""},
        {"Shift-JIS", {{kSo + "\\", kDir}, {kSo + "\\" + kHyo + ".bmp", a}}, {}, {true}, {L"表.bmp\r\n削除しますか？"},
         {{kSo + "\\", kDir}}, "", kFree, kSo + "\\" + kHyo + ".bmp"},
        {"Shift-JIS wallpaper", {{kSo + "a.bmp", a}}, {}, {}, {wallpaper}, {{kSo + "a.bmp", a}}, kSo + "a.bmp",
         kWallpaper, kSo + "a.bmp"},
    });
    // clang-format on
}

TEST_F(ListCommands, WallPaperButtonRecordsTheSelectedPictureAsItIsSpelt) {
    test::TempFolder temp;
    const std::string root = temp.path();
    const std::string wall = temp.Sub("Pics" + kSo) + "Wall.BMP";
    e2e::WriteBmp(wall, 1, 1, [](int, int) { return RGB(3, 2, 1); });
    const std::string bytes = e2e::ReadFileBytes(wall);
    Open({root + "gone.bmp", wall}, 0);
    ASSERT_FALSE(HasFatalFailure());

    EXPECT_EQ(WallPaperButton().messages, Texts{L"ファイルが存在しません。"});
    EXPECT_EQ(RecordedWallpaper(), "");

    SendMessageW(list_, LB_SETCURSEL, 1, 0);
    EXPECT_EQ(WallPaperButton().messages, Texts{});
    ExpectWallpaperSet(wall);
    EXPECT_EQ(e2e::ReadFileBytes(wall), bytes);
    ExpectListed({root + "gone.bmp", wall}, 1);
}

}  // namespace
}  // namespace velmo::app
