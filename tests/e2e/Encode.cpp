// Picture files of the formats the system encodes, for the tests of what Velmo shows: written through the Windows
// Imaging Component, with an Exif orientation tag put into a JPEG by hand.
#include <objbase.h>
#include <wincodec.h>

#include <vector>

#include "VelmoRun.h"

namespace velmo::e2e {

namespace {

template <typename T>
struct Released {
    T* p = nullptr;
    ~Released() {
        if (p)
            p->Release();
    }
};

// The encoded bytes of a width x height picture of 32-bit BGRA pixels, or "" on failure.
std::string Encode(Encoded format, int width, int height, const std::vector<uint8_t>& bgra) {
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string bytes;
    {
        Released<IWICImagingFactory> factory;
        Released<IStream> stream;
        Released<IWICBitmapEncoder> encoder;
        Released<IWICBitmapFrameEncode> frame;
        Released<IPropertyBag2> options;
        WICPixelFormatGUID pixelFormat = format == Encoded::Png ? GUID_WICPixelFormat32bppBGRA
                                                                : GUID_WICPixelFormat24bppBGR;
        std::vector<uint8_t> pixels = bgra;
        UINT stride = static_cast<UINT>(width) * 4;
        if (format == Encoded::Jpeg) {
            // The JPEG encoder takes 24-bit pixels.
            pixels.clear();
            for (size_t i = 0; i < bgra.size(); i += 4)
                pixels.insert(pixels.end(), {bgra[i], bgra[i + 1], bgra[i + 2]});
            stride = static_cast<UINT>(width) * 3;
        }
        HGLOBAL memory = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IWICImagingFactory, reinterpret_cast<void**>(&factory.p))) &&
            SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream.p)) &&
            SUCCEEDED(factory.p->CreateEncoder(format == Encoded::Png ? GUID_ContainerFormatPng
                                                                      : GUID_ContainerFormatJpeg,
                                               nullptr, &encoder.p)) &&
            SUCCEEDED(encoder.p->Initialize(stream.p, WICBitmapEncoderNoCache)) &&
            SUCCEEDED(encoder.p->CreateNewFrame(&frame.p, &options.p)) &&
            SUCCEEDED(frame.p->Initialize(options.p)) &&
            SUCCEEDED(frame.p->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))) &&
            SUCCEEDED(frame.p->SetPixelFormat(&pixelFormat)) &&
            SUCCEEDED(frame.p->WritePixels(static_cast<UINT>(height), stride, static_cast<UINT>(pixels.size()),
                                           pixels.data())) &&
            SUCCEEDED(frame.p->Commit()) && SUCCEEDED(encoder.p->Commit()) &&
            SUCCEEDED(GetHGlobalFromStream(stream.p, &memory))) {
            STATSTG stat{};
            stream.p->Stat(&stat, STATFLAG_NONAME);
            const auto* data = static_cast<const char*>(GlobalLock(memory));
            bytes.assign(data, static_cast<size_t>(stat.cbSize.QuadPart));
            GlobalUnlock(memory);
        }
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return bytes;
}

// An APP1 Exif segment whose IFD0 holds one entry, the orientation.
std::string ExifOrientation(int orientation) {
    const char tiff[] = {'I', 'I', 42, 0, 8, 0, 0, 0,                // little-endian header, IFD0 at 8
                         1, 0,                                        // one entry
                         0x12, 0x01, 3, 0, 1, 0, 0, 0,                // tag 0x0112, SHORT, count 1
                         static_cast<char>(orientation), 0, 0, 0,     // the value
                         0, 0, 0, 0};                                 // no next IFD
    const std::string body = std::string("Exif\0\0", 6) + std::string(tiff, sizeof(tiff));
    const size_t length = body.size() + 2;
    return std::string("\xFF\xE1", 2) + static_cast<char>(length >> 8) + static_cast<char>(length & 0xFF) + body;
}

}  // namespace

std::string JpegWithOrientation(std::string jpeg, int orientation) {
    if (jpeg.size() >= 2 && orientation != 1)
        jpeg.insert(2, ExifOrientation(orientation));  // right after the start-of-image marker
    return jpeg;
}

bool WriteEncoded(const std::string& path,
                  Encoded format,
                  int width,
                  int height,
                  const std::function<uint32_t(int, int)>& argb,
                  int orientation) {
    std::vector<uint8_t> bgra;
    bgra.reserve(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t c = argb(x, y);
            bgra.insert(bgra.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8),
                                     static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 24)});
        }
    }
    std::string bytes = Encode(format, width, height, bgra);
    if (bytes.size() < 2)
        return false;
    WriteFileBytes(path, format == Encoded::Jpeg ? JpegWithOrientation(bytes, orientation) : bytes);
    return true;
}

}  // namespace velmo::e2e
