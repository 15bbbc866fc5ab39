#include "core/Exif.h"

#include <cstring>

namespace velmo::exif {
namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kTypeShort = 3;
constexpr size_t kTiffHeaderBytes = 8;
constexpr size_t kEntryBytes = 12;

// JPEG markers that end the walk: after SOS comes entropy-coded data, EOI ends the file, and a second SOI
// has no place in one.
constexpr uint8_t kSoi = 0xD8;
constexpr uint8_t kEoi = 0xD9;
constexpr uint8_t kSos = 0xDA;
constexpr uint8_t kApp1 = 0xE1;

// Real files have a dozen segments before SOS; the cap only bounds the walk over a hostile file.
constexpr int kMaxSegments = 1024;

// Reads 16- and 32-bit values in the TIFF data's byte order.
class Reader {
public:
    Reader(const uint8_t* data, size_t size, bool bigEndian) : data_(data), size_(size), bigEndian_(bigEndian) {}

    // Whether [offset, offset + bytes) lies inside the data; written so that no sum can wrap.
    bool Has(uint64_t offset, uint64_t bytes) const { return offset <= size_ && bytes <= size_ - offset; }

    uint16_t U16(size_t offset) const {
        const uint8_t* p = data_ + offset;
        return bigEndian_ ? uint16_t(p[0] << 8 | p[1]) : uint16_t(p[1] << 8 | p[0]);
    }

    uint32_t U32(size_t offset) const {
        return bigEndian_ ? uint32_t(U16(offset)) << 16 | U16(offset + 2)
                          : uint32_t(U16(offset + 2)) << 16 | U16(offset);
    }

private:
    const uint8_t* data_;
    size_t size_;
    bool bigEndian_;
};

}  // namespace

std::optional<int> TiffOrientation(const uint8_t* data, size_t size) {
    if (size < kTiffHeaderBytes)
        return std::nullopt;
    bool bigEndian;
    if (data[0] == 'I' && data[1] == 'I')
        bigEndian = false;
    else if (data[0] == 'M' && data[1] == 'M')
        bigEndian = true;
    else
        return std::nullopt;
    const Reader in(data, size, bigEndian);
    if (in.U16(2) != 42)
        return std::nullopt;

    // IFD0: an entry count, then 12-byte entries (tag, type, count, value or offset). Only the entries that
    // lie inside the data are read, so the count of a damaged IFD cannot lead the loop anywhere else; a file
    // cut short after the orientation entry still has it.
    const uint32_t ifd = in.U32(4);
    if (ifd < kTiffHeaderBytes || !in.Has(ifd, 2))
        return std::nullopt;
    const uint32_t count = in.U16(ifd);
    for (uint32_t i = 0; i < count; i++) {
        const uint64_t entry = uint64_t(ifd) + 2 + uint64_t(i) * kEntryBytes;
        if (!in.Has(entry, kEntryBytes))
            return std::nullopt;
        if (in.U16(size_t(entry)) != kOrientationTag)
            continue;
        // A SHORT with count 1 sits in the first two bytes of the 4-byte value field.
        if (in.U16(size_t(entry) + 2) != kTypeShort || in.U32(size_t(entry) + 4) != 1)
            return std::nullopt;
        const int value = in.U16(size_t(entry) + 8);
        if (value < kMinOrientation || value > kMaxOrientation)
            return std::nullopt;
        return value;
    }
    return std::nullopt;
}

std::optional<int> JpegOrientation(const uint8_t* data, size_t size) {
    if (size < 2 || data[0] != 0xFF || data[1] != kSoi)
        return std::nullopt;
    static const uint8_t kExifName[6] = {'E', 'x', 'i', 'f', 0, 0};
    size_t pos = 2;
    for (int segment = 0; segment < kMaxSegments; segment++) {
        // A marker is 0xFF and a code; any number of 0xFF fill bytes may come before it.
        if (pos >= size || data[pos] != 0xFF)
            return std::nullopt;
        while (pos < size && data[pos] == 0xFF)
            pos++;
        if (pos >= size)
            return std::nullopt;
        const uint8_t marker = data[pos++];
        if (marker == kSos || marker == kEoi || marker == kSoi || marker == 0)
            return std::nullopt;
        // TEM and RSTn stand alone; every other marker has a big-endian length that counts itself.
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (size - pos < 2)
            return std::nullopt;
        const size_t length = size_t(data[pos] << 8 | data[pos + 1]);
        if (length < 2)
            return std::nullopt;
        const size_t body = pos + 2;
        const size_t bodyBytes = length - 2;
        if (marker == kApp1 && bodyBytes >= sizeof kExifName && size - body >= sizeof kExifName &&
            std::memcmp(data + body, kExifName, sizeof kExifName) == 0) {
            // Offsets in the TIFF data count from its header and must stay inside the segment; a file cut
            // inside the segment leaves what was read.
            const size_t tiff = body + sizeof kExifName;
            const size_t available = size - tiff;
            const size_t tiffBytes = bodyBytes - sizeof kExifName;
            return TiffOrientation(data + tiff, tiffBytes < available ? tiffBytes : available);
        }
        // Other segments (JFIF, an XMP APP1, tables) are stepped over.
        if (size - body < bodyBytes)
            return std::nullopt;
        pos = body + bodyBytes;
    }
    return std::nullopt;
}

}  // namespace velmo::exif
