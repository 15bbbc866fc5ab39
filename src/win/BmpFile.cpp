#include "win/BmpFile.h"

#include <windows.h>

#include <climits>
#include <vector>

#include "core/Bmp.h"
#include "win/Error.h"
#include "win/Files.h"

namespace velmo::win {

namespace {

// BITMAPINFO with room for a full 256-entry colour table.
struct DibInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

// A picture of 8 bits or fewer carries its colour table as its palette; a deeper one gets the halftone
// palette, which a 256-colour display needs to show it with more than the twenty system colours.
UniquePalette MakePalette(const bmp::Layout& layout) {
    if (layout.bitsPerPixel > 8 || layout.colors.empty()) {
        WindowDc screen(nullptr);
        return UniquePalette(screen ? CreateHalftonePalette(screen.get()) : nullptr);
    }
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[256];
    } logical{0x300, static_cast<WORD>(layout.colors.size()), {}};
    for (size_t i = 0; i < layout.colors.size() && i < 256; ++i)
        logical.entries[i] = {layout.colors[i].r, layout.colors[i].g, layout.colors[i].b, 0};
    return UniquePalette(CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical)));
}

}  // namespace

LoadedBitmap LoadBmpFile(const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        throw CannotOpenFile(path, "CreateFileA", GetLastError());
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        throw CannotOpenFile(path, "GetFileSizeEx", GetLastError());
    const auto fileSize = static_cast<uint64_t>(size.QuadPart);

    std::vector<uint8_t> head(static_cast<size_t>(fileSize < bmp::kHeadBytes ? fileSize : bmp::kHeadBytes));
    if (!ReadExactly(file.get(), head.data(), head.size()))
        throw CannotOpenFile(path, "ReadFile", GetLastError());
    bmp::Result<bmp::Layout> parsed = bmp::ParseHeader(head.data(), head.size(), fileSize);
    if (!parsed)
        throw CannotOpenFile(path, bmp::Describe(parsed.error()), 0);
    const bmp::Layout& layout = *parsed;

    DibInfo info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = layout.width;
    info.header.biHeight = layout.topDown ? -layout.height : layout.height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(layout.bitsPerPixel);
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = static_cast<DWORD>(layout.colors.size());
    for (size_t i = 0; i < layout.colors.size() && i < 256; ++i)
        info.colors[i] = {layout.colors[i].b, layout.colors[i].g, layout.colors[i].r, 0};

    void* bits = nullptr;
    UniqueBitmap bitmap(
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        throw CannotOpenFile(path, "CreateDIBSection", GetLastError());

    if (layout.direct) {
        // The rows are stored as the DIB wants them: one read straight into the section. The section's pages are
        // touched first: a read into pages that were never touched takes their first faults inside the read,
        // which under Wine costs about twice the read itself.
        auto* page = static_cast<volatile uint8_t*>(bits);
        for (size_t i = 0; i < layout.imageBytes; i += 4096)
            page[i] = 0;
        LARGE_INTEGER offset{};
        offset.QuadPart = static_cast<LONGLONG>(layout.pixelOffset);
        if (!SetFilePointerEx(file.get(), offset, nullptr, FILE_BEGIN) ||
            !ReadExactly(file.get(), bits, layout.imageBytes))
            throw CannotOpenFile(path, "ReadFile", GetLastError());
    } else {
        if (fileSize > static_cast<uint64_t>(INT_MAX))
            throw CannotOpenFile(path, "file too large", 0);
        std::vector<uint8_t> whole(static_cast<size_t>(fileSize));
        LARGE_INTEGER start{};
        if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) ||
            !ReadExactly(file.get(), whole.data(), whole.size()))
            throw CannotOpenFile(path, "ReadFile", GetLastError());
        if (auto error = bmp::DecodePixels(layout, whole.data(), whole.size(), static_cast<uint8_t*>(bits)))
            throw CannotOpenFile(path, bmp::Describe(*error), 0);
    }
    GdiFlush();
    return {std::move(bitmap), MakePalette(layout)};
}

void SaveBmpFile(HBITMAP bitmap, HPALETTE palette, const std::string& path) {
    BITMAP shape{};
    if (!GetObjectW(bitmap, sizeof(shape), &shape))
        throw CannotCreateFile(path, "GetObjectW", GetLastError());
    bmp::Layout layout;
    layout.width = shape.bmWidth;
    layout.height = shape.bmHeight < 0 ? -shape.bmHeight : shape.bmHeight;
    layout.bitsPerPixel = shape.bmBitsPixel <= 8 ? 8 : 24;
    layout.stride = bmp::RowBytes(layout.width, layout.bitsPerPixel);
    layout.imageBytes = layout.stride * static_cast<size_t>(layout.height);

    DibInfo info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = layout.width;
    info.header.biHeight = layout.height;  // bottom-up, as BMP files usually are
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(layout.bitsPerPixel);
    info.header.biCompression = BI_RGB;
    std::vector<uint8_t> pixels(layout.imageBytes);
    {
        // GetDIBits wants a DC that the bitmap is not selected into; the palette there maps its indices.
        UniqueDc dc(CreateCompatibleDC(nullptr));
        if (!dc)
            throw CannotCreateFile(path, "CreateCompatibleDC", GetLastError());
        PaletteGuard select(dc.get(), palette ? palette : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)));
        if (GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(layout.height), pixels.data(),
                      reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != layout.height)
            throw CannotCreateFile(path, "GetDIBits", GetLastError());
    }
    if (layout.bitsPerPixel <= 8) {
        layout.colors.resize(256);
        for (size_t i = 0; i < 256; ++i)
            layout.colors[i] = {info.colors[i].rgbRed, info.colors[i].rgbGreen, info.colors[i].rgbBlue};
    }
    const std::vector<uint8_t> file = bmp::Encode(layout, pixels.data());
    if (file.empty())
        throw CannotCreateFile(path, "bmp::Encode", 0);
    WriteFileReplacing(path, file.data(), file.size());
}

}  // namespace velmo::win
