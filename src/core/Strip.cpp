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

bool OnScreen(const Rect& r, Size screen) {
    return r.left < screen.width && int64_t{r.left} + r.width > 0 && r.top < screen.height &&
           int64_t{r.top} + r.height > 0;
}

// Moves a strip's start along its edge, [start, start + length), until `keep` pixels of it lie in [0, extent).
int32_t KeepInReach(int32_t start, int32_t length, int32_t extent) {
    const int32_t keep = std::min(length, kReachableLength);
    const int64_t lowest = int64_t{keep} - length;
    const int64_t highest = int64_t{extent} - keep;
    return Saturate(std::max(lowest, std::min<int64_t>(start, highest)));
}

}  // namespace

void ClampStrip(Settings& settings) {
    if (settings.Length < kLengthKey.minimum)
        settings.Length = kLengthKey.minimum;
    // A strip of the shortest length gets at least Adj 3; this runs before the negative-Adj rule below, so a
    // shortest strip with a negative Adj ends at 3, not 5.
    if (settings.Length == kLengthKey.minimum && settings.Adj < 3)
        settings.Adj = 3;
    if (settings.StartPosition < kStartPositionKey.minimum)
        settings.StartPosition = kStartPositionKey.minimum;
    if (settings.Position.empty())
        settings.Position = kPositionKey.defaultText;
    // A negative Adj means the thickest strip, not the thinnest (the editor's rule differs: see kSettingsKeys).
    if (settings.Adj < kAdjKey.minimum)
        settings.Adj = kAdjKey.maximum;
    if (settings.Adj > kAdjKey.maximum)
        settings.Adj = kAdjKey.maximum;
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

Rect ReachableStripRect(const Settings& settings, Size screen) {
    const Rect strip = StripRect(settings);
    if (OnScreen(strip, screen))
        return strip;
    // The edge of the screen that is there now, then the nearest reachable place along it.
    Settings here = settings;
    here.MW = screen.width;
    here.MH = screen.height;
    Rect placed = StripRect(here);
    if (settings.Position == "l" || settings.Position == "r")
        placed.top = KeepInReach(placed.top, placed.height, screen.height);
    else
        placed.left = KeepInReach(placed.left, placed.width, screen.width);
    return placed;
}

}  // namespace velmo
