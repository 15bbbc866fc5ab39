// velmo_e2e_timing: how long a person waits for Velmo.exe. Prints medians over several runs of
//   - the start: from CreateProcess to the visible strip;
//   - the reveal: from the pointer move onto the strip to the picture's pixels on the screen, for a
//     1920 x 1080 picture and for no picture (the black panel);
// and the size of Velmo.exe. Usage: velmo_e2e_timing [runs]
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "Desktop.h"
#include "VelmoRun.h"

using namespace velmo::e2e;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Print(const char* what, const std::vector<double>& values) {
    if (values.empty()) {
        std::printf("%-44s no result\n", what);
        return;
    }
    std::printf("%-44s median %7.1f ms  min %7.1f  max %7.1f  (n=%zu)\n", what, Median(values),
                *std::min_element(values.begin(), values.end()), *std::max_element(values.begin(), values.end()),
                values.size());
}

// Reads single screen pixels; cheaper than a whole screenshot, so the poll is fine-grained.
bool PixelsShown(const std::vector<PixelCheck>& checks) {
    HDC screen = GetDC(nullptr);
    bool all = true;
    for (const PixelCheck& check : checks) {
        if (GetPixel(screen, check.x, check.y) != check.color) {
            all = false;
            break;
        }
    }
    ReleaseDC(nullptr, screen);
    return all;
}

std::vector<double> MeasureStarts(int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        ProgramFolder folder;
        VelmoProcess velmo(folder);
        if (!velmo.WaitForMainWindow())
            continue;
        times.push_back(Ms(Clock::now() - velmo.startTime()));
        velmo.Close();
    }
    return times;
}

// Reveals `runs` times in one process, returning to the strip in between through the pop-up menu.
std::vector<double> MeasureReveals(int runs,
                                   const std::string& pictureSetting,
                                   const std::vector<PixelCheck>& shown,
                                   double* first) {
    std::vector<double> times;
    ProgramFolder folder;
    std::vector<std::string> settings;
    if (!pictureSetting.empty()) {
        const std::string picture = folder.File(pictureSetting);
        WriteBmp(picture, 1920, 1080, [](int x, int y) { return PositionColor(x, y); });
        settings.push_back("Photo_1=" + picture);
    }
    folder.WriteSettings(settings);
    VelmoProcess velmo(folder);
    if (!velmo.WaitForMainWindow())
        return times;
    const Box strip = velmo.box();
    for (int i = 0; i <= runs; ++i) {
        ParkPointer();
        WaitUntil([&] { return !PixelsShown(shown); }, std::chrono::seconds(5));
        const auto t0 = Clock::now();
        MoveTo(325, 1);
        const auto deadline = t0 + std::chrono::seconds(10);
        bool ok = false;
        while (Clock::now() < deadline && !(ok = PixelsShown(shown))) {
        }
        const double ms = Ms(Clock::now() - t0);
        if (!ok)
            break;
        if (i == 0)
            *first = ms;
        else
            times.push_back(ms);
        ChooseMenuItem(velmo.mainWindow(), 512, 600, kStandby);
        WaitUntil([&] { return velmo.box() == strip; });
    }
    velmo.Close();
    return times;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    ParkPointer();

    const std::string exe = BuiltVelmoPath();
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExA(exe.c_str(), GetFileExInfoStandard, &data))
        std::printf("Velmo.exe: %lu bytes (%s)\n", data.nFileSizeLow, exe.c_str());

    Print("start to visible strip", MeasureStarts(runs));

    // The 1920 x 1080 picture centred on 1024 x 768: the screen's (x, y) is the picture's (x + 448, y + 156).
    std::vector<PixelCheck> picture;
    for (POINT p : {POINT{0, 0}, POINT{1023, 767}, POINT{512, 384}, POINT{100, 600}})
        picture.push_back({p.x, p.y, PositionColor(p.x + 448, p.y + 156)});
    double first = -1;
    Print("reveal, 1920x1080 picture (later reveals)", MeasureReveals(runs, "big.bmp", picture, &first));
    std::printf("%-44s %7.1f ms\n", "reveal, 1920x1080 picture (first reveal)", first);

    std::vector<PixelCheck> black;
    for (POINT p : {POINT{0, 767}, POINT{1023, 767}, POINT{512, 384}, POINT{100, 600}})
        black.push_back({p.x, p.y, RGB(0, 0, 0)});
    first = -1;
    Print("reveal, no picture (later reveals)", MeasureReveals(runs, "", black, &first));
    std::printf("%-44s %7.1f ms\n", "reveal, no picture (first reveal)", first);
    return 0;
}
