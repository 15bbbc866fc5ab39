// Reading BMP files into DIB sections and writing DIB sections to BMP files.
#pragma once

#include <string>

#include "win/Handles.h"

namespace velmo::win {

struct LoadedBitmap {
    UniqueBitmap bitmap;    // a DIB section holding the picture
    UniquePalette palette;  // the colour table for 8 bits per pixel or fewer; the halftone palette otherwise
};

// Reads a BMP file. The common uncompressed forms are read straight into the DIB section's bits with one
// read; other forms are decoded by the core. Throws AppError "ﾌｧｲﾙ %s は開けません" when the file
// cannot be opened or is not a bitmap this reader takes.
LoadedBitmap LoadBmpFile(const std::string& path);

// Writes a bitmap as an uncompressed BMP file, replacing the file whole or not at all: 24 bits per pixel for a
// bitmap deeper than 8 bits, else 8 bits with the colour table that `palette` (when not null) gives its
// indices. Throws AppError "ﾌｧｲﾙ %s を作成できません" on failure.
void SaveBmpFile(HBITMAP bitmap, HPALETTE palette, const std::string& path);

}  // namespace velmo::win
