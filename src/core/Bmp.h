// BMP reader and writer: file bytes <-> pictures in the form of a Windows DIB with BI_RGB compression.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

namespace velmo::bmp {

enum class Error {
    NotBmp,       // no "BM" signature
    BadHeader,    // impossible or contradictory header fields
    Unsupported,  // a valid form this reader does not decode (JPEG, PNG, Huffman, RLE24, ...)
    TooLarge,     // more than kMaxPixels pixels
    Truncated,    // the file ends before its headers or pixel data do
    BadData,      // compressed pixel data that breaks its own rules
};

const char* Describe(Error error);

// Either a value or an Error; a minimal stand-in for C++23's std::expected.
template <typename T>
class Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(Error error) : state_(error) {}

    bool Ok() const { return state_.index() == 0; }
    explicit operator bool() const { return Ok(); }
    // value()/operator* on an error throw std::bad_variant_access.
    T& value() { return std::get<0>(state_); }
    const T& value() const { return std::get<0>(state_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    Error error() const { return std::get<1>(state_); }

private:
    std::variant<T, Error> state_;
};

struct Rgb {
    uint8_t r, g, b;
};

// How the file stores its pixels when they are not the DIB rows themselves.
enum class Storage : uint8_t {
    Rows,      // the DIB rows as they are (Layout::direct)
    Rle4,      // BI_RLE4, decoded to 4 bpp
    Rle8,      // BI_RLE8, decoded to 8 bpp
    TwoBit,    // 2 bpp palette indices, widened to 4 bpp
    Masks,     // 16/32 bpp bit fields, decoded to 24 bpp (32 when there is an alpha mask)
    Linear64,  // 64 bpp s2.13 linear-light BGRA, decoded to 32 bpp sRGB with alpha
};

// How the picture will look in memory: a Windows DIB with BI_RGB compression.
struct Layout {
    int32_t width = 0;
    int32_t height = 0;       // always > 0
    bool topDown = false;     // the first row in memory is the top row
    int bitsPerPixel = 0;     // 1, 4, 8, 16 (5-5-5), 24 or 32
    std::vector<Rgb> colors;  // for bitsPerPixel <= 8: always 2^bpp entries, padded with black
    size_t stride = 0;        // bytes per row, a multiple of 4
    size_t imageBytes = 0;    // stride * height
    bool direct = false;      // imageBytes bytes at pixelOffset are the DIB rows
    uint64_t pixelOffset = 0;
    bool alpha = false;  // 32 bpp only: the fourth byte is straight alpha, not padding

    // What DecodePixels needs when the layout is not direct.
    Storage storage = Storage::Rows;
    int fileBitsPerPixel = 0;
    size_t fileStride = 0;             // bytes per stored row (uncompressed storage only)
    uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha (Storage::Masks)
};

// No picture may have more pixels than this (e.g. 16384 x 8192); it keeps every pixel buffer,
// the DIB or its RGBA form, at 512 MiB at most.
constexpr uint64_t kMaxPixels = uint64_t{1} << 27;

// Leading bytes ParseHeader needs: file header, largest info header, four masks, 256-entry colour table.
constexpr size_t kHeadBytes = 14 + 124 + 16 + 256 * 4;

Result<Layout> ParseHeader(const uint8_t* head, size_t headSize, uint64_t fileSize);
std::optional<Error> DecodePixels(const Layout& layout, const uint8_t* file, size_t fileSize, uint8_t* out);

struct Picture {
    Layout layout;
    std::vector<uint8_t> pixels;  // layout.imageBytes bytes
};

Result<Picture> Decode(const uint8_t* file, size_t size);
std::vector<uint8_t> ToRgba(const Picture& picture);

size_t RowBytes(int32_t width, int bitsPerPixel);
std::vector<uint8_t> Encode(const Layout& layout, const uint8_t* pixels);

}  // namespace velmo::bmp
