// The size a picture file's headers declare, read before the file is handed to a decoder that would trust it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace velmo {

// The pixels of the largest picture the headers declare: the frame of a JPEG file (every SOFn before the first
// scan), the IHDR of a PNG file, every image of a GIF file (and its logical screen), IFD0 of a TIFF file. Nothing
// when the data starts as none of these; kUnreadable when it does but is cut off or malformed before a size.
// Reads nothing outside [data, data + size) for any input.
constexpr uint64_t kUnreadable = UINT64_MAX;
std::optional<uint64_t> DeclaredPixels(const uint8_t* data, size_t size);

}  // namespace velmo
