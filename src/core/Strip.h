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

}  // namespace velmo
