// Driving a running Velmo.exe from another process the way a person would: real pointer and keyboard input,
// windows found by class and process, screen pixels, and the program's object counts.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmo::e2e {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

// Polls `done` every 20 ms until it holds or `timeout` has passed; returns its last answer.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Left, top, width and height of a window, as the program's own geometry speaks of them.
struct Box {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Box& o) const {
        return left == o.left && top == o.top && width == o.width && height == o.height;
    }
    bool operator!=(const Box& o) const { return !(*this == o); }
};
std::string ToString(const Box& box);
// The window's screen rectangle; nothing when it cannot be read because the window has gone, which a window of
// another process can do between any two calls. A watcher that records what it reads takes this one.
std::optional<Box> TryWindowBox(HWND hwnd);
// The same, with an empty box for a window that has gone: for a check of a window that must be there, where the
// empty box fails the comparison.
Box WindowBox(HWND hwnd);
bool IsTopmost(HWND hwnd);

// Returns once the window's thread has finished the message it was handling: a handler that is half done
// (the window maximised but its band not yet set) is done afterwards. Input still queued is not waited for.
void Settle(HWND hwnd);

// Top-level windows of a process by class name; `visibleOnly` skips hidden ones.
std::vector<HWND> TopLevelWindows(DWORD pid, const wchar_t* className, bool visibleOnly);
HWND FindTopLevel(DWORD pid, const wchar_t* className, bool visibleOnly = true);
// Any visible top-level window of this class, whatever its process (menus belong to no one in particular).
HWND FindVisibleWindowOfClass(const wchar_t* className);
std::wstring WindowText(HWND hwnd);
// The window with the keyboard focus in the thread that owns `hwnd`, whatever its process; null when none.
HWND FocusOf(HWND hwnd);
std::wstring ClassName(HWND hwnd);
std::vector<HWND> ChildWindows(HWND parent);
// The first descendant of `parent` with this class and window text; null when there is none.
HWND FindChild(HWND parent, const wchar_t* className, const std::wstring& text);
// All windows of a process: top-level ones and their descendants.
int CountWindows(DWORD pid);

// Non-stock entries of the GDI handle table that the process keeps in its own memory, read through its PEB.
// Returns -1 when the table cannot be read.
int CountGdiObjects(HANDLE process, DWORD pid);

// The process's private bytes, or 0 when they cannot be read. Wine leaves PrivateUsage at zero for another
// process and gives the same count as PagefileUsage, which Windows keeps equal to it.
size_t PrivateBytes(HANDLE process);

// Real input through SendInput.
void MoveTo(int x, int y);  // waits until the cursor is there
void LeftClick();
void DoubleClick();
void RightClick();
void PressKey(WORD vk);
// Moves the pointer to (x, y) over `window` and makes sure it stays there: a late motion event from an earlier
// move can put it back where it was (see Revealed in E2eTest.h), so the move is made again when it did.
void MoveOnto(HWND window, int x, int y);
// MoveOnto the middle of the window's screen rectangle, then a left click. Returns false, without a click, when
// the window has gone (a click on an empty rectangle would land on the screen's corner).
bool ClickOn(HWND hwnd);
// Moves the pointer to a place where no strip of any test lies.
void ParkPointer();

// A copy of the whole screen taken from the screen DC.
class ScreenShot {
public:
    ScreenShot();
    COLORREF At(int x, int y) const;  // RGB(...) order
private:
    std::vector<uint32_t> pixels_;
};
std::string ColorText(COLORREF color);

// An expected colour at one screen point.
struct PixelCheck {
    int x, y;
    COLORREF color;
};
// Takes screenshots until every check holds; on timeout returns the mismatches of the last one, else "".
std::string WaitForPixels(const std::vector<PixelCheck>& checks,
                          std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Right-clicks `owner` at (x, y), waits for the pop-up menu and picks its item `index` (0 = first) with the
// keyboard, then lets the command run. Returns false when the menu did not open or did not close. `whileOpen`
// runs once the menu is open: every input made before the right-click has been handled by then.
bool ChooseMenuItem(HWND owner, int x, int y, int index, const std::function<void()>& whileOpen = {});

// Menu item positions in the main window's pop-up menu; the separator is skipped by the keyboard.
enum MenuItem : int { kStandby = 0, kAlwaysOnTop = 1, kSettings = 2, kHelp = 3, kExit = 4 };

}  // namespace velmo::e2e
