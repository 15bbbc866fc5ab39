// The orientation a camera records in a picture's Exif data: tag 0x0112 of IFD0, read from the APP1 block
// of a JPEG file or from the head of a TIFF file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace velmo::exif {

// Orientation values run from 1 (as stored) to 8; Orientation.h says what each one means.
constexpr int kMinOrientation = 1;
constexpr int kMaxOrientation = 8;

// The orientation in the first Exif APP1 segment of a JPEG file, given its bytes or any leading part of them
// (the Exif block comes before the image data). Nothing when the data is no JPEG, has no Exif segment before
// the image data, or the segment is cut off, malformed, or holds no orientation of type SHORT, count 1 and
// value 1..8. Reads nothing outside [data, data + size) for any input.
std::optional<int> JpegOrientation(const uint8_t* data, size_t size);

// The same for the bytes of a TIFF file (or the TIFF data of an Exif block): header "II" or "MM" with 42,
// then IFD0.
std::optional<int> TiffOrientation(const uint8_t* data, size_t size);

}  // namespace velmo::exif
