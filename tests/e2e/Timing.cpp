// velmo_e2e_timing: how long a person waits for Velmo.exe. Prints medians over several runs of
//   - the start: from CreateProcess to the visible strip (it includes the splash transition);
//   - the reveal: from the pointer move onto the strip to the picture's pixels on the screen, for a
//     picture of WIDTHxHEIGHT (default 1920x1080) and for no picture (the black panel);
// and the size of Velmo.exe. The two reveals are measured in turns by two processes running side by side
// (ROUNDS pairs of processes), so that a load that comes and goes on the machine meets both alike. It also counts the reveals in which the middle of the
// screen was seen black before the picture arrived (a paint of the bare panel that the picture then covers).
// Works on any screen size; the strip is the default one on the top edge. VELMO_TIMING_EXES, a list of
// Windows paths separated by ";", compares other builds of Velmo.exe in the same turns (each round runs each).
// VELMO_TIMING_FORMAT=jpg or bmp shows a picture of four flat quarters in that format instead (a JPEG larger
// than the screen is fitted: compare "jpg" at 1920x1080 with "bmp" at its fitted size, 1024x576 on 1024x768).
// Usage: velmo_e2e_timing [runs [WIDTHxHEIGHT [ROUNDS [--no-start]]]]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "Desktop.h"
#include "Figures.h"
#include "core/Shrink.h"
#include "VelmoRun.h"

using namespace velmo::e2e;
using Clock = std::chrono::steady_clock;

namespace {

void Print(const char* what, const std::vector<double>& values) {
    if (values.empty()) {
        std::printf("%-44s no result\n", what);
        return;
    }
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    std::printf("%-44s median %7.1f ms  quartiles %5.1f/%5.1f  min %5.1f  max %6.1f  (n=%zu)\n", what,
                Median(values), sorted[sorted.size() / 4], sorted[sorted.size() * 3 / 4], sorted.front(),
                sorted.back(), values.size());
}

// The picture format of VELMO_TIMING_FORMAT: "" for the position-coloured BMP, "bmp" or "jpg" for quarters.
std::string Format() {
    const char* format = std::getenv("VELMO_TIMING_FORMAT");
    return format ? format : "";
}

// A colour of four flat quarters: red, green / blue, white.
COLORREF Quarter(int x, int y, int width, int height) {
    if (y < height / 2)
        return x < width / 2 ? RGB(255, 0, 0) : RGB(0, 255, 0);
    return x < width / 2 ? RGB(0, 0, 255) : RGB(255, 255, 255);
}

// Exact, except for a JPEG's colours, which are near.
bool Matches(COLORREF seen, COLORREF wanted) {
    const int tolerance = Format() == "jpg" ? 24 : 0;
    return std::abs(GetRValue(seen) - GetRValue(wanted)) <= tolerance &&
           std::abs(GetGValue(seen) - GetGValue(wanted)) <= tolerance &&
           std::abs(GetBValue(seen) - GetBValue(wanted)) <= tolerance;
}

// Reads single screen pixels; cheaper than a whole screenshot, so the poll is fine-grained.
bool PixelsShown(const std::vector<PixelCheck>& checks) {
    HDC screen = GetDC(nullptr);
    bool all = true;
    for (const PixelCheck& check : checks) {
        if (!Matches(GetPixel(screen, check.x, check.y), check.color)) {
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

struct Reveals {
    std::vector<double> times;  // later reveals
    std::vector<double> firsts;  // the first reveal of each process
    int blackFirst = 0;          // reveals in which the screen's middle showed black before the picture
};

// One Velmo.exe of a pair: its folder and settings, the process, its strip and the point that reveals it.
struct Subject {
    Subject(SIZE p, const std::vector<PixelCheck>* s, POINT on, Reveals* o) : picture(p), shown(s), onStrip(on), out(o) {}
    SIZE picture;
    const std::vector<PixelCheck>* shown;
    POINT onStrip;
    Reveals* out;
    ProgramFolder folder;
    std::unique_ptr<VelmoProcess> velmo;
    Box strip;
};

// Reveals once: pointer parked, the check undone, then onto the strip until the checks hold; back to the
// strip through the pop-up menu. Returns the time, or a negative value when the reveal did not come.
double RevealOnce(Subject& s, bool* black) {
    const int midX = GetSystemMetrics(SM_CXSCREEN) / 2, midY = GetSystemMetrics(SM_CYSCREEN) / 2;
    ParkPointer();
    WaitUntil([&] { return !PixelsShown(*s.shown); }, std::chrono::seconds(5));
    const auto t0 = Clock::now();
    MoveTo(s.onStrip.x, s.onStrip.y);
    const auto deadline = t0 + std::chrono::seconds(10);
    bool ok = false;
    *black = false;
    while (Clock::now() < deadline && !(ok = PixelsShown(*s.shown))) {
        // Two cores are shared with Velmo, the wineserver and the X server: let them run between polls.
        SwitchToThread();
        if (s.picture.cx > 0 && !*black) {
            HDC screen = GetDC(nullptr);
            *black = GetPixel(screen, midX, midY) == RGB(0, 0, 0);
            ReleaseDC(nullptr, screen);
        }
    }
    const double ms = Ms(Clock::now() - t0);
    ChooseMenuItem(s.velmo->mainWindow(), 512, 600, kStandby);
    WaitUntil([&] { return s.velmo->box() == s.strip; });
    return ok ? ms : -1;
}

// Two processes side by side, one with the picture and one without (its strip further along the top edge),
// revealed in turns: each pair of reveals meets the same load of the machine. `ratios` gets each pair's ratio.
void MeasurePairs(const std::string& exe,
                  int runs,
                  SIZE picture,
                  const std::vector<PixelCheck>& shown,
                  const std::vector<PixelCheck>& black,
                  Reveals* withPicture,
                  Reveals* without,
                  std::vector<double>* ratios) {
    Subject subjects[2] = {{picture, &shown, POINT{325, 1}, withPicture}, {SIZE{0, 0}, &black, POINT{650, 1}, without}};
    for (Subject& s : subjects) {
        if (!exe.empty() && !CopyFileA(exe.c_str(), s.folder.exe().c_str(), FALSE)) {
            std::fprintf(stderr, "cannot copy %s\n", exe.c_str());
            return;
        }
        std::vector<std::string> settings;
        if (s.picture.cx > 0) {
            const int w = s.picture.cx, h = s.picture.cy;
            const std::string path = s.folder.File(Format() == "jpg" ? "big.jpg" : "big.bmp");
            if (Format() == "jpg") {
                WriteEncoded(path, Encoded::Jpeg, w, h, [&](int x, int y) {
                    const COLORREF c = Quarter(x, y, w, h);
                    return 0xFF000000u | GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
                });
            } else if (Format() == "bmp") {
                WriteBmp(path, w, h, [&](int x, int y) { return Quarter(x, y, w, h); });
            } else {
                WriteBmp(path, w, h, [](int x, int y) { return PositionColor(x, y); });
            }
            settings.push_back("Photo_1=" + path);
        } else {
            // x 600 to 699: clear of the other strip and of the picture's check points.
            settings.push_back("StartPosition=600");
            settings.push_back("Length=100");
        }
        s.folder.WriteSettings(settings);
        s.velmo = std::make_unique<VelmoProcess>(s.folder);
        if (!s.velmo->WaitForMainWindow())
            return;
        s.strip = s.velmo->box();
    }
    for (int i = 0; i <= runs; ++i) {
        double ms[2];
        for (int k = 0; k < 2; ++k) {
            bool black = false;
            ms[k] = RevealOnce(subjects[k], &black);
            if (ms[k] < 0)
                continue;
            Reveals* out = subjects[k].out;
            (i == 0 ? out->firsts : out->times).push_back(ms[k]);
            if (black)
                ++out->blackFirst;
        }
        if (i > 0 && ms[0] > 0 && ms[1] > 0)
            ratios->push_back(ms[0] / ms[1]);
    }
    for (Subject& s : subjects)
        s.velmo->Close();
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    SIZE picture{1920, 1080};
    if (argc > 2 && std::sscanf(argv[2], "%ldx%ld", &picture.cx, &picture.cy) != 2) {
        std::fprintf(stderr, "picture size: WIDTHxHEIGHT\n");
        return 2;
    }
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1;
    const bool start = !(argc > 4 && std::string(argv[4]) == "--no-start");
    ParkPointer();

    const std::string exe = BuiltVelmoPath();
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExA(exe.c_str(), GetFileExInfoStandard, &data))
        std::printf("Velmo.exe: %lu bytes (%s)\n", data.nFileSizeLow, exe.c_str());
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    std::printf("screen %dx%d, picture %ldx%ld, %d reveals x %d rounds\n", screenW, screenH, picture.cx,
                picture.cy, runs, rounds);

    if (start)
        Print("start to visible strip", MeasureStarts(runs));

    // The picture centred on the screen, as the program computes it: the screen's (x, y) is the picture's
    // (x - left, y - top). The checks lie inside the part of the picture that the screen shows.
    const int left = (screenW - picture.cx) / 2, top = (screenH - picture.cy) / 2;
    const int x0 = std::max(0, left), y0 = std::max(0, top);
    const int x1 = std::min<int>(screenW, left + picture.cx) - 1, y1 = std::min<int>(screenH, top + picture.cy) - 1;
    std::vector<PixelCheck> shown;
    if (Format().empty()) {
        for (POINT p : {POINT{x0, y0}, POINT{x1, y1}, POINT{(x0 + x1) / 2, (y0 + y1) / 2}, POINT{x0 + 100, y1 - 168}})
            shown.push_back({p.x, p.y, PositionColor(p.x - left, p.y - top)});
    } else {
        // The middle of each quarter of the picture as it is shown: a JPEG fitted to the screen, a BMP as it is.
        const velmo::Size size{static_cast<int32_t>(picture.cx), static_cast<int32_t>(picture.cy)};
        const velmo::Rect at = Format() == "jpg" ? velmo::FitPicture(size, {screenW, screenH})
                                                 : velmo::Rect{left, top, size.width, size.height};
        for (int q = 0; q < 4; ++q) {
            const int qx = at.left + at.width / 4 + (q % 2) * at.width / 2;
            const int qy = at.top + at.height / 4 + (q / 2) * at.height / 2;
            shown.push_back({qx, qy, Quarter(q % 2, q / 2, 2, 2)});
        }
    }
    std::vector<PixelCheck> black;
    for (POINT p : {POINT{0, screenH - 1}, POINT{screenW - 1, screenH - 1}, POINT{screenW / 2, screenH / 2},
                    POINT{100, screenH - 168}})
        black.push_back({p.x, p.y, RGB(0, 0, 0)});

    std::vector<std::string> exes;
    if (const char* list = std::getenv("VELMO_TIMING_EXES")) {
        std::string rest = list;
        for (size_t at; !rest.empty(); rest = at == std::string::npos ? "" : rest.substr(at + 1)) {
            at = rest.find(';');
            if (at != 0)
                exes.push_back(rest.substr(0, at));
        }
    }
    if (exes.empty())
        exes.push_back("");  // the built one
    std::vector<Reveals> withPicture(exes.size()), without(exes.size());
    std::vector<std::vector<double>> ratios(exes.size());
    for (int r = 0; r < rounds; ++r) {
        for (size_t e = 0; e < exes.size(); ++e)
            MeasurePairs(exes[e], runs, picture, shown, black, &withPicture[e], &without[e], &ratios[e]);
    }
    for (size_t e = 0; e < exes.size(); ++e) {
        if (!exes[e].empty())
            std::printf("-- %s\n", exes[e].c_str());
        char what[64];
        std::snprintf(what, sizeof what, "reveal, %ldx%ld picture (later reveals)", picture.cx, picture.cy);
        Print(what, withPicture[e].times);
        std::snprintf(what, sizeof what, "reveal, %ldx%ld picture (first reveal)", picture.cx, picture.cy);
        Print(what, withPicture[e].firsts);
        Print("reveal, no picture (later reveals)", without[e].times);
        Print("reveal, no picture (first reveal)", without[e].firsts);
        if (!withPicture[e].times.empty() && !without[e].times.empty())
            std::printf("%-44s %7.2fx   median of the pairs' ratios %5.2fx\n",
                        "ratio of the medians (later reveals)", Median(withPicture[e].times) / Median(without[e].times),
                        Median(ratios[e]));
        std::printf("%-44s %d of %zu\n", "black in the middle before the picture", withPicture[e].blackFirst,
                    withPicture[e].times.size() + withPicture[e].firsts.size());
    }
    return 0;
}
