#include "core/Bmp.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace velmo::bmp {
namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kInfoHeaderBytes = 40;

// biCompression values.
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;  // Huffman 1D in an OS/2 header
constexpr uint32_t kBiAlphaBitfields = 6;

uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void Put16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

// round(v * 255 / max) with halves rounded up, for max > 0.
uint8_t Scale(uint64_t v, uint64_t max) {
    return uint8_t((v * 510 + max) / (2 * max));
}

// A BITFIELDS colour channel: extracts the masked bits of a pixel and scales them to 0..255.
class Channel {
public:
    explicit Channel(uint32_t mask) : mask_(mask) {
        if (mask == 0) {
            table_.assign(1, 0);  // an empty mask reads as 0
            return;
        }
        while (!(mask >> shift_ & 1))
            shift_++;
        max_ = mask >> shift_;
        // Up to 16 bits a table is both faster and small; wider channels are rare enough to divide.
        if (max_ <= 0xFFFF) {
            table_.resize(size_t(max_) + 1);
            for (uint32_t v = 0; v <= max_; v++)
                table_[v] = Scale(v, max_);
        }
    }

    uint8_t operator()(uint32_t pixel) const {
        uint32_t v = (pixel & mask_) >> shift_;
        return table_.empty() ? Scale(v, max_) : table_[v];
    }

private:
    uint32_t mask_;
    uint32_t shift_ = 0;
    uint32_t max_ = 0;
    std::vector<uint8_t> table_;
};

// A mask must be one run of set bits inside the pixel; anything else has no sensible meaning.
bool IsUsableMask(uint32_t mask, int bitsPerPixel) {
    if (bitsPerPixel == 16 && mask > 0xFFFF)
        return false;
    uint32_t lowest = mask & (~mask + 1);
    return ((mask + lowest) & mask) == 0;
}

// 64 bpp samples are s2.13 fixed point (8192 = 1.0) in linear light; the DIB gets 8-bit sRGB.
uint8_t LinearToSrgb(int16_t sample) {
    static const std::array<uint8_t, 8193> table = [] {
        std::array<uint8_t, 8193> t{};
        for (size_t i = 0; i < t.size(); i++) {
            double f = double(i) / 8192.0;
            double s = f <= 0.0031308 ? 12.92 * f : 1.055 * std::pow(f, 1.0 / 2.4) - 0.055;
            t[i] = uint8_t(std::lround(s * 255.0));
        }
        return t;
    }();
    return table[size_t(std::clamp<int>(sample, 0, 8192))];
}

uint8_t LinearAlpha(int16_t sample) {
    return Scale(uint64_t(std::clamp<int>(sample, 0, 8192)), 8192);
}

bool IsValidDepth(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1:
        case 2:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
        case 64:
            return true;
        default:
            return false;
    }
}

// Decodes BI_RLE4/BI_RLE8 data into bottom-up DIB rows, which the caller has cleared to index 0 (the colour
// of pixels the data skips). Runs and deltas that leave the picture are errors rather than clipped: they
// only occur in damaged or hostile files.
std::optional<Error> DecodeRle(const Layout& layout, const uint8_t* data, size_t size, uint8_t* out) {
    const bool four = layout.storage == Storage::Rle4;
    const uint64_t width = uint64_t(layout.width);
    const uint64_t height = uint64_t(layout.height);
    uint64_t x = 0;
    uint64_t y = 0;
    size_t pos = 0;

    auto put = [&](uint64_t col, uint8_t index) {
        uint8_t* row = out + y * layout.stride;
        if (!four) {
            row[col] = index;
        } else if (col % 2 == 0) {
            row[col / 2] = uint8_t((row[col / 2] & 0x0F) | index << 4);
        } else {
            row[col / 2] = uint8_t((row[col / 2] & 0xF0) | (index & 0x0F));
        }
    };

    while (pos + 2 <= size) {
        const uint8_t count = data[pos];
        const uint8_t value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            // Encoded run: `count` pixels of one index, or of two alternating nibbles in RLE4.
            if (y >= height || x + count > width)
                return Error::BadData;
            for (unsigned i = 0; i < count; i++)
                put(x + i, four ? uint8_t(i % 2 ? value & 0x0F : value >> 4) : value);
            x += count;
        } else if (value == 0) {  // end of line
            x = 0;
            y++;
        } else if (value == 1) {  // end of bitmap
            return std::nullopt;
        } else if (value == 2) {  // delta: move right and up
            if (pos + 2 > size)
                return Error::Truncated;
            x += data[pos];
            y += data[pos + 1];
            pos += 2;
            if (x > width || y > height)
                return Error::BadData;
        } else {
            // Absolute run: `value` literal pixels, their bytes padded to a 16-bit boundary.
            const size_t bytes = four ? (size_t(value) + 1) / 2 : value;
            if (pos + bytes > size)
                return Error::Truncated;
            if (y >= height || x + value > width)
                return Error::BadData;
            for (unsigned i = 0; i < value; i++) {
                uint8_t index =
                    four ? uint8_t(i % 2 ? data[pos + i / 2] & 0x0F : data[pos + i / 2] >> 4) : data[pos + i];
                put(x + i, index);
            }
            x += value;
            pos += bytes + bytes % 2;
        }
    }
    // Some writers stop without an end-of-bitmap code once every row is done; anything shorter is cut off.
    bool complete = y >= height || (y + 1 == height && x == width);
    return complete ? std::nullopt : std::optional<Error>(Error::Truncated);
}

void DecodeTwoBit(const Layout& layout, const uint8_t* src, uint8_t* out) {
    for (int32_t y = 0; y < layout.height; y++) {
        const uint8_t* in = src + size_t(y) * layout.fileStride;
        uint8_t* row = out + size_t(y) * layout.stride;
        std::memset(row, 0, layout.stride);
        for (int32_t x = 0; x < layout.width; x++) {
            uint8_t index = (in[x / 4] >> (6 - 2 * (x % 4))) & 3;
            row[x / 2] |= uint8_t(x % 2 ? index : index << 4);
        }
    }
}

void DecodeMasks(const Layout& layout, const uint8_t* src, uint8_t* out) {
    const Channel red(layout.masks[0]);
    const Channel green(layout.masks[1]);
    const Channel blue(layout.masks[2]);
    const Channel alpha(layout.masks[3]);
    const size_t inBytes = size_t(layout.fileBitsPerPixel / 8);
    const size_t outBytes = size_t(layout.bitsPerPixel / 8);
    for (int32_t y = 0; y < layout.height; y++) {
        const uint8_t* in = src + size_t(y) * layout.fileStride;
        uint8_t* row = out + size_t(y) * layout.stride;
        std::memset(row, 0, layout.stride);
        for (int32_t x = 0; x < layout.width; x++, in += inBytes, row += outBytes) {
            uint32_t pixel = inBytes == 2 ? Le16(in) : Le32(in);
            row[0] = blue(pixel);
            row[1] = green(pixel);
            row[2] = red(pixel);
            if (layout.alpha)
                row[3] = alpha(pixel);
        }
    }
}

void DecodeLinear64(const Layout& layout, const uint8_t* src, uint8_t* out) {
    for (int32_t y = 0; y < layout.height; y++) {
        const uint8_t* in = src + size_t(y) * layout.fileStride;
        uint8_t* row = out + size_t(y) * layout.stride;
        for (int32_t x = 0; x < layout.width; x++, in += 8, row += 4) {
            row[0] = LinearToSrgb(int16_t(Le16(in)));
            row[1] = LinearToSrgb(int16_t(Le16(in + 2)));
            row[2] = LinearToSrgb(int16_t(Le16(in + 4)));
            row[3] = LinearAlpha(int16_t(Le16(in + 6)));
        }
    }
}

}  // namespace

const char* Describe(Error error) {
    switch (error) {
        case Error::NotBmp:
            return "not a BMP file";
        case Error::BadHeader:
            return "invalid BMP header";
        case Error::Unsupported:
            return "unsupported kind of BMP";
        case Error::TooLarge:
            return "picture too large";
        case Error::Truncated:
            return "file is truncated";
        case Error::BadData:
            return "corrupt pixel data";
    }
    return "unknown error";
}

size_t RowBytes(int32_t width, int bitsPerPixel) {
    return size_t((uint64_t(width) * uint64_t(bitsPerPixel) + 31) / 32 * 4);
}

// Reads the headers and colour table and decides how the pixels reach a BI_RGB DIB. Everything that
// depends on header values is checked here, before any pixel buffer is allocated: the picture's size
// against kMaxPixels, and the file's length against the rows it must hold (RLE data excepted, whose
// length the header does not tell).
Result<Layout> ParseHeader(const uint8_t* head, size_t headSize, uint64_t fileSize) {
    headSize = size_t(std::min<uint64_t>(headSize, fileSize));
    if (headSize < 2 || head[0] != 'B' || head[1] != 'M')
        return Error::NotBmp;
    if (headSize < kFileHeaderBytes + 4)
        return Error::Truncated;

    const uint32_t headerSize = Le32(head + kFileHeaderBytes);
    // 12: OS/2 1.x BITMAPCOREHEADER. 40, 52, 56, 108, 124: BITMAPINFOHEADER and its V2..V5 successors.
    // Other even sizes from 16 to 64: OS/2 2.x BITMAPINFOHEADER2, which may stop after any field.
    const bool core = headerSize == 12;
    const bool windows =
        headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124;
    const bool os2 = !windows && headerSize >= 16 && headerSize <= 64 && headerSize % 2 == 0;
    if (!core && !windows && !os2)
        return Error::BadHeader;
    if (headSize < kFileHeaderBytes + headerSize)
        return Error::Truncated;

    const uint8_t* info = head + kFileHeaderBytes;
    auto field = [&](uint32_t offset) { return offset + 4 <= headerSize ? Le32(info + offset) : 0; };
    int64_t width, height;
    unsigned planes, bitsPerPixel;
    uint32_t compression = kBiRgb;
    uint32_t colorsUsed = 0;
    if (core) {
        width = Le16(info + 4);
        height = Le16(info + 6);
        planes = Le16(info + 8);
        bitsPerPixel = Le16(info + 10);
    } else {
        width = int32_t(Le32(info + 4));
        height = int32_t(Le32(info + 8));
        planes = Le16(info + 12);
        bitsPerPixel = Le16(info + 14);
        compression = field(16);
        colorsUsed = field(32);
    }
    if (planes != 1 || width <= 0 || height == 0)
        return Error::BadHeader;
    // Pictures embedded as JPEG or PNG (biBitCount 0), the CMYK forms and the OS/2 Huffman 1D and RLE24
    // forms are refused as unsupported rather than as broken.
    const bool rle = compression == kBiRle8 || compression == kBiRle4;
    const bool bitfields = !os2 && (compression == kBiBitfields || compression == kBiAlphaBitfields);
    if (compression != kBiRgb && !rle && !bitfields)
        return Error::Unsupported;
    if (!IsValidDepth(int(bitsPerPixel)) ||
        (core && bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24) ||
        (compression == kBiRle8 && bitsPerPixel != 8) || (compression == kBiRle4 && bitsPerPixel != 4) ||
        (bitfields && bitsPerPixel != 16 && bitsPerPixel != 32))
        return Error::BadHeader;
    if (rle && height < 0)
        return Error::BadHeader;  // RLE pictures are always stored bottom-up

    Layout layout;
    layout.topDown = height < 0;
    height = std::abs(height);
    if (uint64_t(width) * uint64_t(height) > kMaxPixels)
        return Error::TooLarge;
    layout.width = int32_t(width);
    layout.height = int32_t(height);
    layout.fileBitsPerPixel = int(bitsPerPixel);

    // Masks follow a 40-byte header and sit at the same place inside the V2..V5 headers.
    size_t tableStart = kFileHeaderBytes + headerSize;
    if (bitfields) {
        const size_t count = compression == kBiAlphaBitfields || headerSize >= 56 ? 4 : 3;
        tableStart = std::max(tableStart, kFileHeaderBytes + kInfoHeaderBytes + 4 * count);
        if (headSize < tableStart)
            return Error::Truncated;
        for (size_t i = 0; i < count; i++) {
            layout.masks[i] = Le32(head + kFileHeaderBytes + kInfoHeaderBytes + 4 * i);
            if (!IsUsableMask(layout.masks[i], int(bitsPerPixel)))
                return Error::BadHeader;
        }
    } else if (bitsPerPixel == 16) {
        layout.masks[0] = 0x7C00, layout.masks[1] = 0x03E0, layout.masks[2] = 0x001F;
    } else if (bitsPerPixel == 32) {
        layout.masks[0] = 0xFF0000, layout.masks[1] = 0xFF00, layout.masks[2] = 0xFF;
    }

    layout.pixelOffset = Le32(head + 10);
    if (layout.pixelOffset < tableStart)
        return Error::BadHeader;
    if (layout.pixelOffset > fileSize)
        return Error::Truncated;

    // Choose the in-memory form.
    const uint32_t* m = layout.masks;
    layout.bitsPerPixel = int(bitsPerPixel);
    if (rle) {
        layout.storage = compression == kBiRle8 ? Storage::Rle8 : Storage::Rle4;
    } else if (bitsPerPixel == 2) {
        layout.storage = Storage::TwoBit;
        layout.bitsPerPixel = 4;
    } else if (bitsPerPixel == 64) {
        layout.storage = Storage::Linear64;
        layout.bitsPerPixel = 32;
        layout.alpha = true;
    } else if (bitsPerPixel == 16 && !(m[0] == 0x7C00 && m[1] == 0x03E0 && m[2] == 0x001F && m[3] == 0)) {
        layout.storage = Storage::Masks;
        layout.alpha = m[3] != 0;
        layout.bitsPerPixel = layout.alpha ? 32 : 24;
    } else if (bitsPerPixel == 32 &&
               !(m[0] == 0xFF0000 && m[1] == 0xFF00 && m[2] == 0xFF && (m[3] == 0 || m[3] == 0xFF000000))) {
        layout.storage = Storage::Masks;
        layout.alpha = m[3] != 0;
        layout.bitsPerPixel = layout.alpha ? 32 : 24;
    } else {
        layout.alpha = bitsPerPixel == 32 && m[3] != 0;
    }
    layout.direct = layout.storage == Storage::Rows;
    layout.stride = RowBytes(layout.width, layout.bitsPerPixel);
    layout.imageBytes = layout.stride * size_t(layout.height);

    // The colour table sits between the headers (and masks) and the pixels. Its length is biClrUsed, or
    // 2^bpp when that is 0 (always for OS/2 1.x), but never more than fits before the pixels: some
    // writers store a shorter table and let bfOffBits say so. A count beyond 2^bpp is accepted only when
    // that many entries really are there.
    if (bitsPerPixel <= 8) {
        const size_t entryBytes = core ? 3 : 4;
        const size_t depthEntries = size_t(1) << bitsPerPixel;
        const uint64_t room = (layout.pixelOffset - tableStart) / entryBytes;
        uint64_t count = colorsUsed ? colorsUsed : depthEntries;
        if (count > depthEntries) {
            if (count > room)
                return Error::BadHeader;
            count = depthEntries;
        }
        count = std::min(count, room);
        if (count == 0)
            return Error::BadHeader;
        if (tableStart + count * entryBytes > headSize)
            return Error::Truncated;
        layout.colors.assign(size_t(1) << layout.bitsPerPixel, Rgb{0, 0, 0});
        for (size_t i = 0; i < count; i++) {
            const uint8_t* entry = head + tableStart + i * entryBytes;
            layout.colors[i] = Rgb{entry[2], entry[1], entry[0]};
        }
    }

    if (rle) {
        if (layout.pixelOffset >= fileSize)
            return Error::Truncated;
    } else {
        layout.fileStride = RowBytes(layout.width, layout.fileBitsPerPixel);
        if (uint64_t(layout.fileStride) * uint64_t(layout.height) > fileSize - layout.pixelOffset)
            return Error::Truncated;
    }
    return layout;
}

// Fills `out` (layout.imageBytes bytes) with the DIB rows. Works for direct layouts too, by copying.
std::optional<Error> DecodePixels(const Layout& layout, const uint8_t* file, size_t fileSize, uint8_t* out) {
    // The layout came from this file's header; recheck the bounds in case a different file was passed.
    if (layout.pixelOffset >= fileSize)
        return Error::Truncated;
    const uint8_t* data = file + layout.pixelOffset;
    const size_t size = fileSize - size_t(layout.pixelOffset);
    if (layout.storage == Storage::Rle4 || layout.storage == Storage::Rle8) {
        std::memset(out, 0, layout.imageBytes);
        return DecodeRle(layout, data, size, out);
    }
    if (uint64_t(layout.fileStride) * uint64_t(layout.height) > size)
        return Error::Truncated;
    switch (layout.storage) {
        case Storage::Rows:
            std::memcpy(out, data, layout.imageBytes);
            break;
        case Storage::TwoBit:
            DecodeTwoBit(layout, data, out);
            break;
        case Storage::Masks:
            DecodeMasks(layout, data, out);
            break;
        case Storage::Linear64:
            DecodeLinear64(layout, data, out);
            break;
        default:
            return Error::BadHeader;
    }
    return std::nullopt;
}

Result<Picture> Decode(const uint8_t* file, size_t size) {
    Result<Layout> layout = ParseHeader(file, std::min(size, kHeadBytes), size);
    if (!layout)
        return layout.error();
    Picture picture{std::move(*layout), {}};
    picture.pixels.resize(picture.layout.imageBytes);
    if (auto error = DecodePixels(picture.layout, file, size, picture.pixels.data()))
        return *error;
    return picture;
}

// 8-bit RGBA rows, top row first. A 32 bpp picture keeps its alpha only when the layout says it has one.
std::vector<uint8_t> ToRgba(const Picture& picture) {
    const Layout& layout = picture.layout;
    const size_t width = size_t(layout.width);
    if (layout.width <= 0 || layout.height <= 0 || layout.stride == 0 ||
        layout.stride < RowBytes(layout.width, layout.bitsPerPixel) ||
        picture.pixels.size() / layout.stride < size_t(layout.height))
        return {};
    std::vector<uint8_t> rgba(width * size_t(layout.height) * 4);
    for (int32_t y = 0; y < layout.height; y++) {
        const int32_t stored = layout.topDown ? y : layout.height - 1 - y;
        const uint8_t* in = picture.pixels.data() + size_t(stored) * layout.stride;
        uint8_t* out = rgba.data() + size_t(y) * width * 4;
        for (size_t x = 0; x < width; x++, out += 4) {
            uint8_t r, g, b, a = 255;
            switch (layout.bitsPerPixel) {
                case 1:
                case 4:
                case 8: {
                    const unsigned bpp = unsigned(layout.bitsPerPixel);
                    const size_t bit = x * bpp;
                    const unsigned index = (in[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                    const Rgb c = index < layout.colors.size() ? layout.colors[index] : Rgb{0, 0, 0};
                    r = c.r, g = c.g, b = c.b;
                    break;
                }
                case 16: {
                    const uint32_t v = Le16(in + x * 2);
                    r = Scale(v >> 10 & 31, 31), g = Scale(v >> 5 & 31, 31), b = Scale(v & 31, 31);
                    break;
                }
                case 24:
                    b = in[x * 3], g = in[x * 3 + 1], r = in[x * 3 + 2];
                    break;
                case 32:
                    b = in[x * 4], g = in[x * 4 + 1], r = in[x * 4 + 2];
                    if (layout.alpha)
                        a = in[x * 4 + 3];
                    break;
                default:
                    return {};
            }
            out[0] = r, out[1] = g, out[2] = b, out[3] = a;
        }
    }
    return rgba;
}

// Writes an uncompressed BMP: BITMAPFILEHEADER, a 40-byte BITMAPINFOHEADER, the colour table for
// 8 bpp and below, then the rows (`pixels` holds RowBytes(width, bpp) * height bytes in the layout's
// row order; a top-down layout is written with a negative height). 32 bpp is written as BI_RGB, so alpha
// is not kept. Returns an empty vector for a layout it cannot write.
std::vector<uint8_t> Encode(const Layout& layout, const uint8_t* pixels) {
    const int bpp = layout.bitsPerPixel;
    if (layout.width <= 0 || layout.height <= 0 || uint64_t(layout.width) * uint64_t(layout.height) > kMaxPixels ||
        !IsValidDepth(bpp) || bpp == 2 || bpp == 64)
        return {};
    const size_t colorCount = bpp <= 8 ? std::min(layout.colors.size(), size_t(1) << bpp) : 0;
    if (bpp <= 8 && colorCount == 0)
        return {};

    const size_t imageBytes = RowBytes(layout.width, bpp) * size_t(layout.height);
    const size_t offset = kFileHeaderBytes + kInfoHeaderBytes + colorCount * 4;
    std::vector<uint8_t> file(offset + imageBytes);
    uint8_t* p = file.data();
    p[0] = 'B', p[1] = 'M';
    Put32(p + 2, uint32_t(file.size()));
    Put32(p + 10, uint32_t(offset));
    uint8_t* info = p + kFileHeaderBytes;
    Put32(info, kInfoHeaderBytes);
    Put32(info + 4, uint32_t(layout.width));
    Put32(info + 8, uint32_t(layout.topDown ? -layout.height : layout.height));
    Put16(info + 12, 1);
    Put16(info + 14, uint32_t(bpp));
    Put32(info + 16, kBiRgb);
    Put32(info + 20, uint32_t(imageBytes));
    Put32(info + 32, colorCount == (size_t(1) << bpp) ? 0 : uint32_t(colorCount));
    for (size_t i = 0; i < colorCount; i++) {
        uint8_t* entry = info + kInfoHeaderBytes + i * 4;
        entry[0] = layout.colors[i].b, entry[1] = layout.colors[i].g, entry[2] = layout.colors[i].r;
    }
    std::memcpy(p + offset, pixels, imageBytes);
    return file;
}

}  // namespace velmo::bmp
