#include "win/PictureFile.h"

#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "core/Exif.h"
#include "core/Orientation.h"
#include "core/PictureSize.h"
#include "core/Shrink.h"
#include "win/Com.h"
#include "win/Error.h"

namespace velmo::win {

namespace {

// The Exif block of a JPEG file comes before its image data, and a TIFF file's IFD0 is normally near its head:
// this much of the file is enough to find the orientation.
constexpr size_t kOrientationHeadBytes = 256 * 1024;

// Rows are decoded this many bytes at a time (at least one row, at most 256 rows).
constexpr size_t kBandBytes = 4 * 1024 * 1024;
constexpr size_t kMaxBandRows = 256;

// The largest DIB section we make: the fitted picture is at most the screen's size.
constexpr uint64_t kMaxResultBytes = uint64_t{1} << 31;

// The file read-only and mapped whole: WIC decodes from the view (an IWICStream over memory), and the "BM" check,
// the header check and the orientation read the same bytes, so no step sees another version of the file. It is
// opened by CreateFileA over the system-code-page path, as LoadBmpFile opens it, so the path means the same file
// to both and no conversion to UTF-16 can pick another; and it is shared for reading only, so no other program
// can shorten it under the view while it is mapped.
struct MappedFile {
    UniqueFile file;
    UniqueKernelObject mapping;
    UniqueMappedView view;
    size_t size = 0;

    const uint8_t* bytes() const { return static_cast<const uint8_t*>(view.get()); }
};

MappedFile MapFile(const std::string& path) {
    MappedFile mapped;
    mapped.file.reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!mapped.file)
        throw CannotOpenFile(path, "CreateFileA", GetLastError());
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(mapped.file.get(), &size))
        throw CannotOpenFile(path, "GetFileSizeEx", GetLastError());
    // A file mapping of an empty file cannot be made; IWICStream takes a DWORD size.
    if (size.QuadPart == 0)
        throw CannotOpenFile(path, "empty file", 0);
    if (static_cast<uint64_t>(size.QuadPart) > MAXDWORD)
        throw CannotOpenFile(path, "file too large", 0);
    mapped.size = static_cast<size_t>(size.QuadPart);
    mapped.mapping.reset(CreateFileMappingW(mapped.file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapped.mapping)
        throw CannotOpenFile(path, "CreateFileMappingW", GetLastError());
    mapped.view.reset(MapViewOfFile(mapped.mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (!mapped.view)
        throw CannotOpenFile(path, "MapViewOfFile", GetLastError());
    return mapped;
}

// The Exif orientation of a JPEG or TIFF file, 1 when it has none.
int OrientationOf(const MappedFile& mapped) {
    const size_t head = std::min(mapped.size, kOrientationHeadBytes);
    std::optional<int> orientation = exif::JpegOrientation(mapped.bytes(), head);
    if (!orientation)
        orientation = exif::TiffOrientation(mapped.bytes(), head);
    return orientation.value_or(1);
}

void Check(HRESULT hr, const std::string& path, const char* api) {
    if (FAILED(hr))
        throw CannotOpenFile(path, api, static_cast<DWORD>(hr));
}


// Premultiplied BGRA over black is B, G, R as they are; the 4th byte of a BI_RGB pixel is reserved and kept 0.
void ClearFourthBytes(uint8_t* pixels, size_t count) {
    for (size_t i = 0; i < count; ++i)
        pixels[4 * i + 3] = 0;
}

LoadedBitmap DecodeWithWic(const std::string& path, const MappedFile& mapped, Size screen) {
    // Wine's JPEG, PNG and GIF decoders decode the whole picture as the decoder is made, into a buffer whose size
    // they count in 32 bits: a header that claims too much would have them write past it. So the headers are
    // checked first.
    const std::optional<uint64_t> declared = DeclaredPixels(mapped.bytes(), mapped.size);
    if (declared == kUnreadable)
        throw CannotOpenFile(path, "picture header unreadable", 0);
    if (declared && *declared >= kPictureLimit)
        throw CannotOpenFile(path, "declared picture size out of range", 0);

    // The apartment is declared first: every interface below is released before COM is uninitialised.
    const ComApartment apartment;
    if (!apartment.Usable())
        throw CannotOpenFile(path, "CoInitializeEx", static_cast<DWORD>(apartment.result()));
    ComPtr<IWICImagingFactory> factory;
    Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                           reinterpret_cast<void**>(factory.put())),
          path, "CoCreateInstance");
    ComPtr<IWICStream> stream;
    Check(factory->CreateStream(stream.put()), path, "CreateStream");
    Check(stream->InitializeFromMemory(const_cast<BYTE*>(mapped.bytes()), static_cast<DWORD>(mapped.size)), path,
          "InitializeFromMemory");
    ComPtr<IWICBitmapDecoder> decoder;
    Check(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put()),
          path, "CreateDecoderFromStream");
    UINT frames = 0;
    Check(decoder->GetFrameCount(&frames), path, "GetFrameCount");
    if (frames == 0)
        throw CannotOpenFile(path, "no frame", 0);
    ComPtr<IWICBitmapFrameDecode> frame;
    Check(decoder->GetFrame(0, frame.put()), path, "GetFrame");
    UINT width = 0, height = 0;
    Check(frame->GetSize(&width, &height), path, "GetSize");
    if (width == 0 || height == 0 || width > static_cast<UINT>(Shrinker::kMaxSide) ||
        height > static_cast<UINT>(Shrinker::kMaxSide) || uint64_t{width} * height >= kPictureLimit)
        throw CannotOpenFile(path, "picture size out of range", 0);
    const Size stored{static_cast<int32_t>(width), static_cast<int32_t>(height)};

    ComPtr<IWICFormatConverter> converter;
    Check(factory->CreateFormatConverter(converter.put()), path, "CreateFormatConverter");
    Check(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                WICBitmapPaletteTypeCustom),
          path, "IWICFormatConverter::Initialize");

    // The fit is decided on the picture as shown; the shrink works on the stored rows, to the stored shape of
    // that size, and only the small result is turned.
    const int orientation = OrientationOf(mapped);
    const Rect fitted = FitPicture(OrientedSize(stored, orientation), screen);
    const Size shown{fitted.width, fitted.height};
    const Size target = OrientedSize(shown, orientation);  // the same swap takes the shown size back
    if (uint64_t{4} * static_cast<uint32_t>(shown.width) * static_cast<uint32_t>(shown.height) > kMaxResultBytes)
        throw CannotOpenFile(path, "fitted picture too large", 0);

    uint8_t* bits = nullptr;
    UniqueBitmap bitmap = CreateSection(shown, &bits);
    if (!bitmap || !bits)
        throw CannotOpenFile(path, "CreateDIBSection", GetLastError());

    const size_t rowBytes = size_t{4} * stored.width;
    const size_t bandRows = std::clamp<size_t>(kBandBytes / rowBytes, 1, kMaxBandRows);
    const bool shrinks = !(target == stored);
    const bool turns = orientation >= 2 && orientation <= 8;
    try {
        // The stored-orientation result, when it must still be turned into the section.
        std::vector<uint8_t> upright(turns ? size_t{4} * target.width * target.height : 0);
        uint8_t* out = turns ? upright.data() : bits;
        const size_t outStride = size_t{4} * target.width;
        // Rows that need no shrink are decoded straight into their place; others go through a band buffer.
        std::vector<uint8_t> band(shrinks ? rowBytes * bandRows : 0);
        Shrinker shrinker(stored, target);
        const Shrinker::RowSink sink = [&](int32_t y, const uint8_t* row) {
            std::memcpy(out + outStride * y, row, outStride);
        };
        for (int32_t y = 0; y < stored.height;) {
            const int32_t rows = static_cast<int32_t>(std::min<size_t>(bandRows, stored.height - y));
            const WICRect rect{0, y, stored.width, rows};
            uint8_t* into = shrinks ? band.data() : out + outStride * y;
            Check(converter->CopyPixels(&rect, static_cast<UINT>(rowBytes), static_cast<UINT>(rowBytes * rows),
                                        into),
                  path, "CopyPixels");
            if (shrinks)
                shrinker.AddRows(into, rowBytes, rows, sink);
            y += rows;
        }
        if (turns)
            Orient(upright.data(), target, outStride, orientation, bits, size_t{4} * shown.width);
    } catch (const std::bad_alloc&) {
        throw CannotOpenFile(path, "out of memory", ERROR_NOT_ENOUGH_MEMORY);
    }
    ClearFourthBytes(bits, static_cast<size_t>(shown.width) * shown.height);
    GdiFlush();

    // The halftone palette, as LoadBmpFile gives a picture deeper than 8 bits, for a 256-colour display.
    WindowDc screenDc(nullptr);
    return {std::move(bitmap), UniquePalette(screenDc ? CreateHalftonePalette(screenDc.get()) : nullptr)};
}

}  // namespace

LoadedBitmap LoadPictureFile(const std::string& path, Size screen) {
    std::optional<MappedFile> mapped(MapFile(path));
    if (mapped->size >= 2 && mapped->bytes()[0] == 'B' && mapped->bytes()[1] == 'M') {
        mapped.reset();  // the BMP reader opens the file itself
        return LoadBmpFile(path);
    }
    return DecodeWithWic(path, *mapped, screen);
}

UniqueBitmap CreateSection(Size size, uint8_t** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size.width;
    info.bmiHeader.biHeight = -size.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* section = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &section, nullptr, 0));
    *bits = static_cast<uint8_t*>(bitmap ? section : nullptr);
    return bitmap;
}

}  // namespace velmo::win
