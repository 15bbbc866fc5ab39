// The splash window's transition into the strip, planned as the window states it passes through: first it takes
// the strip's size in steps of about six pixels, then it travels to the strip's place the same way.
#pragma once

#include <string_view>
#include <vector>

#include "core/Geometry.h"

namespace velmo {

// What follows one move of the splash window.
enum class SplashPause {
    None,          // the next move follows at once (the two halves of one step)
    PaintAndWait,  // paint now, then 10 ms without handling messages
    Paint,         // paint now
    PaintTwice,    // paint now, and once more
};

struct SplashMove {
    Rect bounds;  // the splash window's bounds after this move
    SplashPause after;
};

// The size phase: from `splash` to the size of `strip`, the splash's left and top staying put. n steps, each
// setting the height and then the width; then both are set to the strip's exactly.
std::vector<SplashMove> PlanSizePhase(const Rect& splash, const Rect& strip);

// The position phase: from `splash` (already of the strip's size) to the strip's place. n plain steps, each
// moving the top and then the left; the last steps move one pixel further along the strip's edge so that the
// remainder of the division is used up; then both are set to the strip's exactly.
// `edge` is the strip's edge letter; any letter other than "t", "b", "l" or "r" is handled like "t", as the
// strip itself is placed.
std::vector<SplashMove> PlanPositionPhase(const Rect& splash, const Rect& strip, std::string_view edge);

}  // namespace velmo
