// The eight Exif orientations: how the stored pixels of a picture are turned or mirrored to show it upright.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/Geometry.h"

namespace velmo {

// 1 shown as stored; 2 mirrored left to right; 3 turned 180 degrees; 4 mirrored top to bottom; 5 mirrored
// across the diagonal from the top-left corner (rows become columns); 6 turned 90 degrees clockwise;
// 7 mirrored across the other diagonal; 8 turned 90 degrees counter-clockwise. Any other value is taken as 1.

// The size of the shown picture: width and height swap for 5 to 8.
Size OrientedSize(Size stored, int orientation);

// The stored pixel that the shown pixel `shown` (inside OrientedSize) takes, for a stored picture of `stored`.
Point StoredPixelOf(Point shown, Size stored, int orientation);

// Writes the shown picture of 32-bit pixels: `in` holds `stored` (rows top-down, `inStride` bytes apart), `out`
// receives OrientedSize(stored, orientation) rows `outStride` bytes apart. The two must not overlap.
void Orient(const uint8_t* in, Size stored, size_t inStride, int orientation, uint8_t* out, size_t outStride);

}  // namespace velmo
