// velmo_e2e_list_timing: two waits a person meets, as medians over RUNS runs (default 5).
//   - A long list: from the click on "List2" to the first painted entries, and the private bytes the shown list
//     costs, for a P_List2.dat of 100 entries and of 100 000 entries.
//   - The start: from CreateProcess to the first pixel of the splash on the screen, against a minimal Win32
//     program (velmo_minimal_window) that shows one blue window of the splash's size and place.
// Usage: velmo_e2e_list_timing [RUNS [VELMO_EXE]]   (VELMO_EXE: another build for the start, a Windows path, such
// as the release build's stripped Velmo.exe that users run)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "E2eTest.h"
#include "Figures.h"

using namespace velmo::e2e;
using Clock = std::chrono::steady_clock;

namespace {

// Whether the screen rectangle shows anything but `background`: a copy of just that rectangle, so that the poll
// stays fine-grained.
bool ShowsOtherThan(const RECT& rc, COLORREF background) {
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
    GdiFlush();
    const uint32_t want = GetBValue(background) | GetGValue(background) << 8 | GetRValue(background) << 16;
    bool other = false;
    const auto* pixels = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < w * h && !other; ++i)
        other = (pixels[i] & 0xFFFFFF) != want;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return other;
}

struct ListRun {
    double ms = -1;
    size_t bytes = 0;  // private bytes with the list shown, less those with the empty list
};

// One run: the program with an empty P_List1.dat and `entries` in P_List2.dat, the control window open on List1;
// then a click on "List2" until the list's first row shows text.
ListRun MeasureList(int entries) {
    ListRun run;
    ProgramFolder folder;
    std::string list;
    list.reserve(static_cast<size_t>(entries) * 48);
    char line[64];
    for (int i = 0; i < entries; ++i) {
        std::snprintf(line, sizeof(line), "C:\\Pictures\\Holiday %04d\\picture%06d.bmp\r\n", i / 100, i);
        list += line;
    }
    WriteFileBytes(folder.File("P_List2.dat"), list);
    VelmoProcess velmo(folder);
    if (!StartedAndRevealed(velmo))
        return run;
    HWND control = OpenControlWindow(velmo, kOnRevealedWindow);
    HWND listBox = control ? FindChild(control, L"ListBox", L"") : nullptr;
    HWND button = control ? FindChild(control, L"Button", L"List2") : nullptr;
    if (!listBox || !button)
        return run;
    RECT row{};
    GetWindowRect(listBox, &row);
    row.top += 2;
    row.bottom = row.top + 10;
    row.left += 2;
    row.right -= 20;
    const COLORREF background = GetSysColor(COLOR_WINDOW);
    Settle(control);
    Sleep(300);
    const size_t before = PrivateBytes(velmo.handle());
    if (ShowsOtherThan(row, background))
        return run;  // the empty list is not empty
    MoveOnto(button, 0, 0);
    RECT rc{};
    GetWindowRect(button, &rc);
    MoveOnto(button, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    const auto t0 = Clock::now();
    LeftClick();
    const auto deadline = t0 + std::chrono::seconds(30);
    while (Clock::now() < deadline && !ShowsOtherThan(row, background))
        SwitchToThread();
    if (Clock::now() >= deadline)
        return run;
    run.ms = Ms(Clock::now() - t0);
    Settle(control);
    Sleep(300);
    run.bytes = PrivateBytes(velmo.handle()) - before;
    velmo.Close();
    return run;
}

// From CreateProcess of `exe` in `folder` to the splash's blue at a point of the splash that no label covers.
double MeasureFirstPixel(const std::string& exe, const std::string& folder) {
    const int x = (GetSystemMetrics(SM_CXSCREEN) - 204) / 2 + 8, y = (GetSystemMetrics(SM_CYSCREEN) - 38) / 2 + 19;
    HDC screen = GetDC(nullptr);
    const bool blueBefore = GetPixel(screen, x, y) == RGB(0, 0, 255);
    ReleaseDC(nullptr, screen);
    if (blueBefore)
        return -1;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + exe + "\"";
    const auto t0 = Clock::now();
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info))
        return -1;
    double ms = -1;
    const auto deadline = t0 + std::chrono::seconds(20);
    HDC dc = GetDC(nullptr);
    while (Clock::now() < deadline) {
        if (GetPixel(dc, x, y) == RGB(0, 0, 255)) {
            ms = Ms(Clock::now() - t0);
            break;
        }
        SwitchToThread();
    }
    ReleaseDC(nullptr, dc);
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 5000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    WaitUntil([&] {
        HDC s = GetDC(nullptr);
        const bool gone = GetPixel(s, x, y) != RGB(0, 0, 255);
        ReleaseDC(nullptr, s);
        return gone;
    });
    return ms;
}

std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    ParkPointer();

    for (int entries : {100, 100000}) {
        std::vector<double> times, megabytes;
        for (int i = 0; i < runs; ++i) {
            const ListRun run = MeasureList(entries);
            if (run.ms >= 0) {
                times.push_back(run.ms);
                megabytes.push_back(static_cast<double>(run.bytes) / (1024.0 * 1024.0));
            }
        }
        std::printf("List2 with %6d entries: first painted entries after %7.1f ms, %6.1f MB more (median of %zu)\n",
                    entries, Median(times), Median(megabytes), times.size());
    }

    std::vector<double> velmo, minimal;
    const std::string minimalExe = WindowsPath(VELMO_MINIMAL_WINDOW);
    for (int i = 0; i < runs; ++i) {
        ProgramFolder folder;
        if (argc > 2 && !CopyFileA(argv[2], folder.exe().c_str(), FALSE)) {
            std::fprintf(stderr, "cannot copy %s\n", argv[2]);
            return 1;
        }
        const double a = MeasureFirstPixel(folder.exe(), folder.folder().path());
        const double b = MeasureFirstPixel(minimalExe, folder.folder().path());
        if (a >= 0 && b >= 0) {
            velmo.push_back(a);
            minimal.push_back(b);
        }
    }
    std::printf("start to the splash's first pixel %7.1f ms, a minimal window's %7.1f ms: %.2fx (median of %zu)\n",
                Median(velmo), Median(minimal), Median(velmo) / Median(minimal), velmo.size());
    return 0;
}
