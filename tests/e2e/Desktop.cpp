#include "Desktop.h"

#include <psapi.h>
#include <winternl.h>

#include <cstdio>
#include <thread>

namespace velmo::e2e {

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

size_t PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters)))
        return 0;
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

std::string ToString(const Box& box) {
    char text[80];
    std::snprintf(text, sizeof(text), "(%d,%d %dx%d)", box.left, box.top, box.width, box.height);
    return text;
}

std::optional<Box> TryWindowBox(HWND hwnd) {
    RECT rc{};
    if (!GetWindowRect(hwnd, &rc))
        return std::nullopt;
    return Box{rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
}

Box WindowBox(HWND hwnd) {
    return TryWindowBox(hwnd).value_or(Box{});
}

bool IsTopmost(HWND hwnd) {
    return (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

void Settle(HWND hwnd) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
}

std::wstring ClassName(HWND hwnd) {
    wchar_t name[128] = L"";
    GetClassNameW(hwnd, name, 128);
    return name;
}

std::wstring WindowText(HWND hwnd) {
    // WM_GETTEXT reaches the other process's control; GetWindowText would only give its caption.
    wchar_t text[1024] = L"";
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

HWND FocusOf(HWND hwnd) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    const DWORD thread = GetWindowThreadProcessId(hwnd, nullptr);
    return thread && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

namespace {

struct EnumQuery {
    DWORD pid;
    const wchar_t* className;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lp) {
    auto* query = reinterpret_cast<EnumQuery*>(lp);
    DWORD pid = 0;
    // A window that has gone since the enumeration listed it has no thread; with no process asked for, it
    // would otherwise pass as anyone's.
    if (!GetWindowThreadProcessId(hwnd, &pid) || (query->pid && pid != query->pid))
        return TRUE;
    if (query->visibleOnly && !IsWindowVisible(hwnd))
        return TRUE;
    if (query->className && ClassName(hwnd) != query->className)
        return TRUE;
    query->found.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD pid, const wchar_t* className, bool visibleOnly) {
    EnumQuery query{pid, className, visibleOnly, {}};
    EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND FindTopLevel(DWORD pid, const wchar_t* className, bool visibleOnly) {
    const std::vector<HWND> found = TopLevelWindows(pid, className, visibleOnly);
    return found.empty() ? nullptr : found.front();
}

HWND FindVisibleWindowOfClass(const wchar_t* className) {
    return FindTopLevel(0, className, true);
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND FindChild(HWND parent, const wchar_t* className, const std::wstring& text) {
    for (HWND child : ChildWindows(parent)) {
        if (ClassName(child) == className && WindowText(child) == text)
            return child;
    }
    return nullptr;
}

int CountWindows(DWORD pid) {
    int count = 0;
    for (HWND top : TopLevelWindows(pid, nullptr, false))
        count += 1 + static_cast<int>(ChildWindows(top).size());
    return count;
}

int CountGdiObjects(HANDLE process, DWORD pid) {
    // The table: 0x10000 entries of {UINT64 object; ULONG owner; USHORT unique (bit 7 = stock); UCHAR type;
    // UCHAR flags; UINT64 user pointer}; a used entry has a non-zero type.
#pragma pack(push, 1)
    struct Entry {
        uint64_t object;
        uint32_t owner;
        uint16_t unique;
        uint8_t type;
        uint8_t flags;
        uint64_t user;
    };
#pragma pack(pop)
    static_assert(sizeof(Entry) == 24, "GDI handle table entry");
    constexpr size_t kEntries = 0x10000;
    constexpr size_t kTableOffsetInPeb = 0xF8;

    using QueryFn = LONG(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    if (!query)
        return -1;
    PROCESS_BASIC_INFORMATION basic{};
    if (query(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0 || !basic.PebBaseAddress)
        return -1;
    uint64_t table = 0;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<const char*>(basic.PebBaseAddress) + kTableOffsetInPeb, &table,
                           sizeof(table), &read) ||
        !table)
        return -1;
    std::vector<Entry> entries(kEntries);
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(), kEntries * sizeof(Entry),
                           &read))
        return -1;
    int count = 0;
    for (const Entry& entry : entries) {
        if (entry.type == 0 || (entry.unique & 0x80))
            continue;
        if (entry.owner != 0 && entry.owner != pid)
            continue;
        ++count;
    }
    return count;
}

namespace {

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

// Absolute coordinates run from 0 to 65535 over the virtual screen; aim at the middle of the pixel.
LONG Normalize(int value, int origin, int extent) {
    return static_cast<LONG>(((static_cast<long long>(value - origin) * 65536) + 32768) / extent);
}

}  // namespace

void MoveTo(int x, int y) {
    const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int vw = GetSystemMetrics(SM_CXVIRTUALSCREEN), vh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK, Normalize(x, vx, vw),
              Normalize(y, vy, vh));
    WaitUntil(
        [&] {
            POINT pt{};
            GetCursorPos(&pt);
            return pt.x == x && pt.y == y;
        },
        std::chrono::seconds(2));
}

void LeftClick() {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
}

void DoubleClick() {
    INPUT inputs[4]{};
    const DWORD flags[4] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 4; ++i) {
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dwFlags = flags[i];
    }
    SendInput(4, inputs, sizeof(INPUT));
}

void RightClick() {
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_RIGHTUP);
}

void PressKey(WORD vk) {
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = vk;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

void MoveOnto(HWND window, int x, int y) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        MoveTo(x, y);
        // The window's thread handles the motion events still pending for it; a stale one moves the pointer.
        Settle(window);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        POINT pt{};
        GetCursorPos(&pt);
        if (pt.x == x && pt.y == y)
            return;
    }
}

bool ClickOn(HWND hwnd) {
    const std::optional<Box> box = TryWindowBox(hwnd);
    if (!box)
        return false;
    MoveOnto(hwnd, box->left + box->width / 2, box->top + box->height / 2);
    LeftClick();
    return true;
}

void ParkPointer() {
    // Below the middle of the screen: no strip of the tests lies there, nor does the start-up label box.
    MoveTo(700, 600);
}

ScreenShot::ScreenShot() : pixels_(static_cast<size_t>(kScreenWidth) * kScreenHeight) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kScreenWidth;
    info.bmiHeader.biHeight = -kScreenHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib && bits) {
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, kScreenWidth, kScreenHeight, screen, 0, 0, SRCCOPY);
        GdiFlush();
        memcpy(pixels_.data(), bits, pixels_.size() * sizeof(uint32_t));
        SelectObject(memory, old);
    }
    if (dib)
        DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

COLORREF ScreenShot::At(int x, int y) const {
    const uint32_t bgrx = pixels_[static_cast<size_t>(y) * kScreenWidth + x];
    return RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF);
}

std::string ColorText(COLORREF color) {
    char text[32];
    std::snprintf(text, sizeof(text), "rgb(%d,%d,%d)", GetRValue(color), GetGValue(color), GetBValue(color));
    return text;
}

std::string WaitForPixels(const std::vector<PixelCheck>& checks, std::chrono::milliseconds timeout) {
    std::string mismatches;
    WaitUntil(
        [&] {
            const ScreenShot shot;
            mismatches.clear();
            for (const PixelCheck& check : checks) {
                const COLORREF actual = shot.At(check.x, check.y);
                if (actual != check.color) {
                    char line[160];
                    std::snprintf(line, sizeof(line), "(%d,%d) is %s, expected %s\n", check.x, check.y,
                                  ColorText(actual).c_str(), ColorText(check.color).c_str());
                    mismatches += line;
                }
            }
            return mismatches.empty();
        },
        timeout);
    return mismatches;
}

bool ChooseMenuItem(HWND owner, int x, int y, int index, const std::function<void()>& whileOpen) {
    // A late motion event from an earlier move can carry the pointer off before the click (see Revealed in
    // E2eTest.h); a click that opened no menu is made again.
    bool open = false;
    for (int attempt = 0; attempt < 3 && !open; ++attempt) {
        MoveTo(x, y);
        RightClick();
        open = WaitUntil([] { return FindVisibleWindowOfClass(L"#32768") != nullptr; }, std::chrono::seconds(3));
    }
    if (!open)
        return false;
    if (whileOpen)
        whileOpen();
    for (int i = 0; i <= index; ++i)
        PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    if (!WaitUntil([] { return FindVisibleWindowOfClass(L"#32768") == nullptr; }))
        return false;
    // The command runs after the menu has closed.
    Settle(owner);
    return true;
}

}  // namespace velmo::e2e
