// Reading picture files of any format the system decodes, fitted to the screen.
#pragma once

#include <string>

#include "core/Geometry.h"
#include "win/BmpFile.h"

namespace velmo::win {

// Reads a picture file for a screen of `screen` size. A file that starts with "BM" goes through LoadBmpFile
// exactly as before (pixel for pixel, its palette, its errors; a "BM" file that reader refuses is refused, never
// handed to the system's decoders). Any other file is decoded through the Windows Imaging Component: the first
// frame/page, turned the right way up by its Exif orientation, transparency composed over black, and, when larger
// than `screen` in either direction, shrunk to fit with its aspect kept (area average, in bands). Throws
// AppError CannotOpenFile(path, ...) ("ﾌｧｲﾙ %s は開けません") when nothing can decode it.
//
// Such a picture comes back as a 32-bit top-down DIB section (BI_RGB, the 4th byte of each pixel 0) of exactly
// the fitted size, with the halftone palette. A picture whose headers declare kPictureLimit pixels or more is
// refused before any decoder sees it: Wine's decoders make room for the whole decoded picture, up to 8 bytes a
// pixel, and count its bytes in 32 bits.
constexpr uint64_t kPictureLimit = uint64_t{1} << 29;

// A 32-bit top-down DIB section of `size` (BI_RGB); its rows are 4 * width bytes, as a 32-bit row needs no
// padding. `bits` gets its pixels, or null when it could not be made.
UniqueBitmap CreateSection(Size size, uint8_t** bits);
LoadedBitmap LoadPictureFile(const std::string& path, Size screen);

}  // namespace velmo::win
