// Geometry of the edge strip: bringing its settings into range and placing it on its screen edge.
#pragma once

#include "core/Geometry.h"
#include "core/Settings.h"

namespace velmo {

// Corrects Length, Adj, StartPosition and Position in place, in the order the strip needs them:
// the thickness rule for a 4-pixel strip runs before a negative Adj is turned into 5.
void ClampStrip(Settings& settings);

// The main window's rectangle in the strip shape. Only Adj + 1 pixels lie on the screen; the rest of the
// thickness is beyond the edge. A Position other than "t", "l", "r" or "b" is placed like "t".
Rect StripRect(const Settings& settings);

// How much of its length a strip that had to be moved onto the screen keeps there: enough for the pointer.
inline constexpr int32_t kReachableLength = 8;

// StripRect within reach on a primary screen of `screen`: a strip that would lie wholly outside it (a
// StartPosition beyond the screen, or MW/MH kept from a larger one) is placed on the screen's own edge, at the
// nearest place along it where Adj + 1 rows and kReachableLength pixels of its length are on the screen. A strip
// that is partly on the screen is placed exactly as StripRect places it. The settings are not changed: the larger
// screen may come back.
Rect ReachableStripRect(const Settings& settings, Size screen);

}  // namespace velmo
