#include "core/Strip.h"

#include <algorithm>
#include <limits>

namespace velmo {

namespace {

// MW and MH come from the settings file unchecked; compute in 64 bits and saturate so that a hand-edited
// extreme value gives a far-away strip instead of an overflow.
int32_t Saturate(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace

void ClampStrip(Settings& settings) {
    if (settings.Length < 4)
        settings.Length = 4;
    if (settings.Length < 5 && settings.Adj < 3)
        settings.Adj = 3;
    if (settings.StartPosition < 4)
        settings.StartPosition = 4;
    if (settings.Position.empty())
        settings.Position = "t";
    if (settings.Adj < 0)
        settings.Adj = 5;
    if (settings.Adj > 5)
        settings.Adj = 5;
}

Rect StripRect(const Settings& s) {
    const std::string& p = s.Position;
    if (p == "l")
        return {-2, s.StartPosition, s.Adj + 3, s.Length};
    if (p == "r")
        return {Saturate(int64_t{s.MW} - 1 - s.Adj), s.StartPosition, s.Adj + 5, s.Length};
    if (p == "b")
        return {s.StartPosition, Saturate(int64_t{s.MH} - 1 - s.Adj), s.Length, s.Adj + 5};
    return {s.StartPosition, -3, s.Length, s.Adj + 4};
}

}  // namespace velmo
