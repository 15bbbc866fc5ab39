#include "core/PictureSize.h"

#include <algorithm>
#include <cstring>

namespace velmo {
namespace {

uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[1] << 8 | p[0]);
}

uint16_t Be16(const uint8_t* p) {
    return uint16_t(p[0] << 8 | p[1]);
}

uint32_t Be32(const uint8_t* p) {
    return uint32_t(Be16(p)) << 16 | Be16(p + 2);
}

// Every SOFn before the first scan. Bytes that are no marker are stepped over until the next 0xFF, as a
// tolerant decoder does, so that no frame header a decoder finds stays unseen here.
uint64_t JpegPixels(const uint8_t* data, size_t size) {
    std::optional<uint64_t> largest;
    size_t pos = 2;
    while (pos < size) {
        if (data[pos] != 0xFF) {
            pos++;
            continue;
        }
        while (pos < size && data[pos] == 0xFF)
            pos++;
        if (pos >= size)
            break;
        const uint8_t marker = data[pos++];
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;  // a stuffed 0xFF, TEM and RSTn stand alone
        if (marker == 0xDA || marker == 0xD9 || marker == 0xD8)
            break;  // the first scan, the end, or a second start: no frame header may come later
        if (size - pos < 2)
            break;
        const size_t length = Be16(data + pos);
        if (length < 2)
            break;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            // Length, precision, height, width.
            if (size - pos < 7)
                break;
            const uint64_t pixels = uint64_t(Be16(data + pos + 3)) * Be16(data + pos + 5);
            largest = std::max(largest.value_or(0), pixels);
        }
        if (size - pos < length)
            break;
        pos += length;
    }
    return largest.value_or(kUnreadable);
}

uint64_t PngPixels(const uint8_t* data, size_t size) {
    // The signature, then IHDR first: its length, its type, width and height.
    if (size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0)
        return kUnreadable;
    return uint64_t(Be32(data + 16)) * Be32(data + 20);
}

// Skips a run of data sub-blocks (a length byte, that many bytes, until a length 0); false when cut off.
bool SkipSubBlocks(const uint8_t* data, size_t size, size_t* pos) {
    while (*pos < size) {
        const size_t length = data[(*pos)++];
        if (length == 0)
            return true;
        if (size - *pos < length)
            return false;
        *pos += length;
    }
    return false;
}

// The logical screen and each image in the file: a decoder that reads every frame at once allocates each one.
uint64_t GifPixels(const uint8_t* data, size_t size) {
    if (size < 13)
        return kUnreadable;
    uint64_t largest = uint64_t(Le16(data + 6)) * Le16(data + 8);
    size_t pos = 13;
    if (data[10] & 0x80)
        pos += size_t{3} << ((data[10] & 7) + 1);
    while (pos < size) {
        const uint8_t block = data[pos++];
        if (block == 0x21) {  // an extension: its label, then sub-blocks
            pos++;
            if (pos > size || !SkipSubBlocks(data, size, &pos))
                break;
        } else if (block == 0x2C) {  // an image: left, top, width, height, flags, a colour table, LZW data
            if (size - pos < 9)
                break;
            largest = std::max(largest, uint64_t(Le16(data + pos + 4)) * Le16(data + pos + 6));
            const uint8_t flags = data[pos + 8];
            pos += 9;
            if (flags & 0x80)
                pos += size_t{3} << ((flags & 7) + 1);
            pos++;  // the LZW code size
            if (pos > size || !SkipSubBlocks(data, size, &pos))
                break;
        } else {
            break;  // the trailer, or bytes that are no block
        }
    }
    return largest;
}

// ImageWidth and ImageLength of IFD0, each a SHORT or LONG.
uint64_t TiffPixels(const uint8_t* data, size_t size) {
    const bool big = data[0] == 'M';
    auto u16 = [&](size_t at) { return big ? Be16(data + at) : Le16(data + at); };
    auto u32 = [&](size_t at) { return big ? Be32(data + at) : uint32_t(u16(at + 2)) << 16 | u16(at); };
    if (size < 8)
        return kUnreadable;
    const uint32_t ifd = u32(4);
    if (ifd < 8 || ifd > size || size - ifd < 2)
        return kUnreadable;
    const uint32_t count = u16(ifd);
    uint64_t width = 0, height = 0;
    bool hasWidth = false, hasHeight = false;
    for (uint32_t i = 0; i < count; i++) {
        const uint64_t entry = uint64_t(ifd) + 2 + uint64_t(i) * 12;
        if (entry > size || size - entry < 12)
            break;
        const size_t at = size_t(entry);
        const uint16_t tag = u16(at);
        const uint16_t type = u16(at + 2);
        if ((tag != 256 && tag != 257) || (type != 3 && type != 4) || u32(at + 4) != 1)
            continue;
        const uint64_t value = type == 3 ? u16(at + 8) : u32(at + 8);
        (tag == 256 ? width : height) = value;
        (tag == 256 ? hasWidth : hasHeight) = true;
    }
    return hasWidth && hasHeight ? width * height : kUnreadable;
}

}  // namespace

std::optional<uint64_t> DeclaredPixels(const uint8_t* data, size_t size) {
    static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8)
        return JpegPixels(data, size);
    if (size >= 8 && std::memcmp(data, kPng, 8) == 0)
        return PngPixels(data, size);
    if (size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0))
        return GifPixels(data, size);
    if (size >= 4 && (std::memcmp(data, "II*\0", 4) == 0 || std::memcmp(data, "MM\0*", 4) == 0))
        return TiffPixels(data, size);
    return std::nullopt;
}

}  // namespace velmo
