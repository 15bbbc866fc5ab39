// velmo_e2e_memory: the private bytes of a running Velmo.exe (PROCESS_MEMORY_COUNTERS_EX.PrivateUsage, read
// from this process) in the strip and with the picture revealed, once with a picture of WIDTHxHEIGHT
// (default 3840x2160, 24 bits per pixel) and once with none. The difference between the two revealed states
// is what the picture costs; the picture's own bytes are its pixel rows as the file holds them.
// Usage: velmo_e2e_memory [WIDTHxHEIGHT [VELMO_EXE]]   (VELMO_EXE: another build to measure, a Windows path)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Desktop.h"
#include "VelmoRun.h"

using namespace velmo::e2e;

namespace {

double Mb(SIZE_T bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// Under Wine: the host's /proc/PID/status of the process whose command line names `marker` (its unique program
// folder), seen through drive Z:. Returns RssAnon in bytes, or 0 when there is no such process.
SIZE_T HostAnonymousBytes(const std::string& marker) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    SIZE_T result = 0;
    do {
        const std::string name = found.cFileName;
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const std::string commandLine = ReadFileBytes("Z:\\proc\\" + name + "\\cmdline");
        if (commandLine.find(marker) == std::string::npos)
            continue;
        const std::string status = ReadFileBytes("Z:\\proc\\" + name + "\\status");
        const size_t at = status.find("RssAnon:");
        if (at != std::string::npos)
            result = SIZE_T(std::strtoull(status.c_str() + at + 8, nullptr, 10)) * 1024;
        break;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return result;
}

// The private bytes once they have stopped moving: the program may still be freeing or touching pages.
SIZE_T SettledPrivateBytes(HANDLE process) {
    SIZE_T last = PrivateBytes(process);
    for (int i = 0; i < 20; ++i) {
        Sleep(100);
        const SIZE_T now = PrivateBytes(process);
        if (now == last)
            break;
        last = now;
    }
    return last;
}

struct Usage {
    SIZE_T strip = 0;
    SIZE_T revealed = 0;
    SIZE_T hostStrip = 0;  // RssAnon from the host's /proc, when it is there
    SIZE_T hostRevealed = 0;
};

bool PixelsShown(const std::vector<PixelCheck>& checks) {
    HDC screen = GetDC(nullptr);
    bool all = true;
    for (const PixelCheck& check : checks)
        all = all && GetPixel(screen, check.x, check.y) == check.color;
    ReleaseDC(nullptr, screen);
    return all;
}

std::string g_exe;  // another build of Velmo.exe, or empty for the one built beside this program

bool Measure(SIZE picture, Usage* usage) {
    ProgramFolder folder;
    if (!g_exe.empty() && !CopyFileA(g_exe.c_str(), folder.exe().c_str(), FALSE))
        return false;
    std::vector<std::string> settings;
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    const int left = (screenW - picture.cx) / 2, top = (screenH - picture.cy) / 2;
    std::vector<PixelCheck> shown;
    if (picture.cx > 0) {
        const std::string path = folder.File("big.bmp");
        WriteBmp(path, picture.cx, picture.cy, [](int x, int y) { return PositionColor(x, y); });
        settings.push_back("Photo_1=" + path);
        const int x = std::max(0, left) + 1, y = std::max(0, top) + 1;
        shown.push_back({x, y, PositionColor(x - left, y - top)});
        shown.push_back({screenW / 2, screenH / 2, PositionColor(screenW / 2 - left, screenH / 2 - top)});
    } else {
        shown.push_back({screenW / 2, screenH / 2, RGB(0, 0, 0)});
        shown.push_back({1, screenH - 2, RGB(0, 0, 0)});
    }
    folder.WriteSettings(settings);
    VelmoProcess velmo(folder);
    if (!velmo.WaitForMainWindow())
        return false;
    ParkPointer();
    Sleep(500);
    const std::string folderPath = folder.folder().path();
    const std::string marker = folderPath.substr(folderPath.find_last_of('\\') + 1);
    usage->strip = SettledPrivateBytes(velmo.handle());
    usage->hostStrip = HostAnonymousBytes(marker);
    MoveTo(325, 1);
    if (!WaitUntil([&] { return PixelsShown(shown); }))
        return false;
    Sleep(300);
    usage->revealed = SettledPrivateBytes(velmo.handle());
    usage->hostRevealed = HostAnonymousBytes(marker);
    ChooseMenuItem(velmo.mainWindow(), 512, 600, kStandby);
    velmo.Close();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    SIZE picture{3840, 2160};
    if (argc > 1 && std::sscanf(argv[1], "%ldx%ld", &picture.cx, &picture.cy) != 2) {
        std::fprintf(stderr, "picture size: WIDTHxHEIGHT\n");
        return 2;
    }
    if (argc > 2)
        g_exe = argv[2];
    ParkPointer();
    const double pictureMb = Mb(SIZE_T((picture.cx * 3 + 3) & ~3) * SIZE_T(picture.cy));
    std::printf("screen %dx%d, picture %ldx%ld at 24 bpp: %.1f MiB of pixel rows\n", GetSystemMetrics(SM_CXSCREEN),
                GetSystemMetrics(SM_CYSCREEN), picture.cx, picture.cy, pictureMb);
    Usage with, without;
    if (!Measure(SIZE{0, 0}, &without) || !Measure(picture, &with)) {
        std::fprintf(stderr, "Velmo did not start or did not reveal\n");
        return 1;
    }
    std::printf("%-36s %9s %9s\n", "private bytes (MiB)", "strip", "revealed");
    std::printf("%-36s %9.1f %9.1f\n", "no picture", Mb(without.strip), Mb(without.revealed));
    std::printf("%-36s %9.1f %9.1f\n", "with the picture", Mb(with.strip), Mb(with.revealed));
    if (with.hostRevealed) {
        std::printf("%-36s %9.1f %9.1f\n", "host RssAnon, no picture", Mb(without.hostStrip), Mb(without.hostRevealed));
        std::printf("%-36s %9.1f %9.1f\n", "host RssAnon, with the picture", Mb(with.hostStrip), Mb(with.hostRevealed));
    }
    const double extra = Mb(with.revealed) - Mb(without.revealed);
    std::printf("picture revealed minus none revealed: %.1f MiB = picture + %.1f MiB (goal: + 10 MB at most)\n", extra,
                extra - pictureMb);
    std::printf("picture revealed minus none in the strip: %.1f MiB\n", Mb(with.revealed) - Mb(without.strip));
    return 0;
}
