#include "core/Splash.h"

#include <cstdlib>

namespace velmo {

namespace {

// The number of steps for the larger distance: about six pixels each, at least one.
int32_t StepCount(int32_t a, int32_t b) {
    const int32_t larger = std::abs(a) > std::abs(b) ? std::abs(a) : std::abs(b);
    const int32_t n = larger / 6;
    return n == 0 ? 1 : n;
}

}  // namespace

std::vector<SplashMove> PlanSizePhase(const Rect& splash, const Rect& strip) {
    std::vector<SplashMove> moves;
    Rect s = splash;
    const int32_t dh = s.height - strip.height;
    const int32_t dw = s.width - strip.width;
    const int32_t n = StepCount(dw, dh);
    const int32_t sh = dh / n;  // integer division keeps the sign of the distance
    const int32_t sw = dw / n;
    for (int32_t i = 0; i < n; ++i) {
        s.height -= sh;
        moves.push_back({s, SplashPause::None});
        s.width -= sw;
        moves.push_back({s, SplashPause::PaintAndWait});
    }
    s.height = strip.height;
    moves.push_back({s, SplashPause::None});
    s.width = strip.width;
    moves.push_back({s, SplashPause::PaintTwice});
    return moves;
}

std::vector<SplashMove> PlanPositionPhase(const Rect& splash, const Rect& strip, std::string_view edge) {
    std::vector<SplashMove> moves;
    Rect s = splash;
    const int32_t dt = s.top - strip.top;
    const int32_t dl = s.left - strip.left;
    const int32_t n = StepCount(dl, dt);
    const int32_t st = dt / n;
    const int32_t sl = dl / n;
    // Along a vertical edge the top is the coordinate along the edge; otherwise the left is.
    const bool vertical = edge == "l" || edge == "r";
    const int32_t r = vertical ? std::abs(dt) - std::abs(st * n) : std::abs(dl) - std::abs(sl * n);
    for (int32_t i = 1; i <= n; ++i) {
        if (i < n - r) {
            s.top -= st;
            moves.push_back({s, SplashPause::None});
            s.left -= sl;
        } else if (vertical) {
            // A corrected step: one pixel further toward the strip along the edge, or none once it is there.
            if (strip.top < s.top)
                s.top -= st + 1;
            else if (strip.top > s.top)
                s.top -= st - 1;
            moves.push_back({s, SplashPause::None});
            s.left -= sl;
        } else {
            s.top -= st;
            moves.push_back({s, SplashPause::None});
            if (strip.left < s.left)
                s.left -= sl + 1;
            else if (strip.left > s.left)
                s.left -= sl - 1;
        }
        moves.push_back({s, SplashPause::PaintAndWait});
    }
    s.top = strip.top;
    moves.push_back({s, SplashPause::None});
    s.left = strip.left;
    moves.push_back({s, SplashPause::Paint});
    return moves;
}

}  // namespace velmo
