// velmo_win_picture_bench: how long a 4000 x 3000 JPEG takes to become a section fitted to a 1920 x 1080 screen,
// under Windows or Wine. Writes the JPEG with WIC's own encoder (a photo-like picture: smooth gradients with a
// little noise, quality 0.9) into a temporary folder, then prints the median, minimum and maximum of N runs of:
//   bare decode  - decoder from the file name, first frame, a converter to 32bppBGRA, CopyPixels of the whole
//                  picture into memory (the factory made once, outside the timing): the floor;
//   LoadPictureFile - ours: decode in bands, the core's shrink to 1440 x 1080, a 32-bit section;
//   WIC scaler   - decoder, IWICBitmapScaler (Fant) to 1440 x 1080, a converter to 32bppPBGRA, CopyPixels into a
//                  32-bit section of that size.
// Usage: velmo_win_picture_bench [runs]            (default 11)
//        velmo_win_picture_bench --write WxH PATH   writes such a JPEG of any size, in bands
//        velmo_win_picture_bench --memory PATH      loads PATH once for a 1920 x 1080 screen and prints the
//                                                   process's peak working set before and after (Wine 8 takes it
//                                                   from the Linux process's VmHWM, and its "peak" pagefile usage
//                                                   is only the current one, so the working set is what shows
//                                                   the decoders' buffers)
#include <windows.h>
#include <psapi.h>
#include <wincodec.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/Shrink.h"
#include "win/Com.h"
#include "win/PictureFile.h"

namespace {

using Clock = std::chrono::steady_clock;
using velmo::Size;
using velmo::win::ComPtr;

constexpr Size kScreen{1920, 1080};

[[noreturn]] void Fail(const char* what, HRESULT hr = 0) {
    std::fprintf(stderr, "%s failed (0x%08lx, error %lu)\n", what, static_cast<unsigned long>(hr), GetLastError());
    std::exit(1);
}

void Check(HRESULT hr, const char* what) {
    if (FAILED(hr))
        Fail(what, hr);
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());  // the paths are plain ASCII here
}

ComPtr<IWICImagingFactory> MakeFactory() {
    ComPtr<IWICImagingFactory> factory;
    Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                           reinterpret_cast<void**>(factory.put())),
          "CoCreateInstance");
    return factory;
}

// Gradients across and down with a little noise in the low bits, written 64 rows at a time.
void WriteJpeg(IWICImagingFactory* factory, const std::string& path, Size size) {
    ComPtr<IWICStream> stream;
    Check(factory->CreateStream(stream.put()), "CreateStream");
    Check(stream->InitializeFromFilename(Wide(path).c_str(), GENERIC_WRITE), "InitializeFromFilename");
    ComPtr<IWICBitmapEncoder> encoder;
    Check(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, encoder.put()), "CreateEncoder");
    Check(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache), "IWICBitmapEncoder::Initialize");
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    Check(encoder->CreateNewFrame(frame.put(), options.put()), "CreateNewFrame");
    PROPBAG2 quality{};
    quality.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
    VARIANT value{};
    value.vt = VT_R4;
    value.fltVal = 0.9f;
    Check(options->Write(1, &quality, &value), "IPropertyBag2::Write");
    Check(frame->Initialize(options.get()), "IWICBitmapFrameEncode::Initialize");
    Check(frame->SetSize(UINT(size.width), UINT(size.height)), "SetSize");
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    Check(frame->SetPixelFormat(&format), "SetPixelFormat");
    const UINT stride = UINT(size.width) * 3;
    std::vector<uint8_t> band(size_t(stride) * 64);
    uint32_t noise = 12345;
    for (int32_t y = 0; y < size.height; y += 64) {
        const int32_t rows = std::min(64, size.height - y);
        for (int32_t r = 0; r < rows; ++r) {
            uint8_t* row = band.data() + size_t(stride) * r;
            for (int32_t x = 0; x < size.width; ++x) {
                noise = noise * 1103515245 + 12345;
                const int n = int(noise >> 29);
                row[3 * x] = uint8_t(int64_t(x) * 255 / size.width + n);
                row[3 * x + 1] = uint8_t(int64_t(y + r) * 255 / size.height + n);
                row[3 * x + 2] = uint8_t((x / 50 + (y + r) / 50) % 2 ? 200 - n : 60 + n);
            }
        }
        Check(frame->WritePixels(UINT(rows), stride, stride * UINT(rows), band.data()), "WritePixels");
    }
    Check(frame->Commit(), "IWICBitmapFrameEncode::Commit");
    Check(encoder->Commit(), "IWICBitmapEncoder::Commit");
}

IWICImagingFactory* g_factory = nullptr;  // not owned: main's factory, made once outside the timing

void BareDecode(const std::string& path) {
    ComPtr<IWICBitmapDecoder> decoder;
    Check(g_factory->CreateDecoderFromFilename(Wide(path).c_str(), nullptr, GENERIC_READ,
                                               WICDecodeMetadataCacheOnDemand, decoder.put()),
          "CreateDecoderFromFilename");
    ComPtr<IWICBitmapFrameDecode> frame;
    Check(decoder->GetFrame(0, frame.put()), "GetFrame");
    ComPtr<IWICFormatConverter> converter;
    Check(g_factory->CreateFormatConverter(converter.put()), "CreateFormatConverter");
    Check(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                WICBitmapPaletteTypeCustom),
          "IWICFormatConverter::Initialize");
    UINT width = 0, height = 0;
    Check(converter->GetSize(&width, &height), "GetSize");
    std::vector<uint8_t> pixels(size_t(width) * height * 4);
    Check(converter->CopyPixels(nullptr, width * 4, UINT(pixels.size()), pixels.data()), "CopyPixels");
}

void Ours(const std::string& path) {
    velmo::win::LoadPictureFile(path, kScreen);
}

void WicScaler(const std::string& path) {
    ComPtr<IWICBitmapDecoder> decoder;
    Check(g_factory->CreateDecoderFromFilename(Wide(path).c_str(), nullptr, GENERIC_READ,
                                               WICDecodeMetadataCacheOnDemand, decoder.put()),
          "CreateDecoderFromFilename");
    ComPtr<IWICBitmapFrameDecode> frame;
    Check(decoder->GetFrame(0, frame.put()), "GetFrame");
    UINT width = 0, height = 0;
    Check(frame->GetSize(&width, &height), "GetSize");
    const velmo::Rect fitted = velmo::FitPicture({int32_t(width), int32_t(height)}, kScreen);
    ComPtr<IWICBitmapScaler> scaler;
    Check(g_factory->CreateBitmapScaler(scaler.put()), "CreateBitmapScaler");
    Check(scaler->Initialize(frame.get(), UINT(fitted.width), UINT(fitted.height), WICBitmapInterpolationModeFant),
          "IWICBitmapScaler::Initialize");
    ComPtr<IWICFormatConverter> converter;
    Check(g_factory->CreateFormatConverter(converter.put()), "CreateFormatConverter");
    Check(converter->Initialize(scaler.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                WICBitmapPaletteTypeCustom),
          "IWICFormatConverter::Initialize");
    uint8_t* bits = nullptr;
    velmo::win::UniqueBitmap section = velmo::win::CreateSection({fitted.width, fitted.height}, &bits);
    if (!section)
        Fail("CreateDIBSection");
    const UINT stride = UINT(fitted.width) * 4;
    Check(converter->CopyPixels(nullptr, stride, stride * UINT(fitted.height), bits),
          "CopyPixels");
}

struct Stats {
    double median, min, max;
};

Stats Measure(void (*load)(const std::string&), const std::string& path, int runs) {
    load(path);  // warms the file cache and the code
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        load(path);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front(), times.back()};
}

double PeakWorkingSetMb() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return double(counters.PeakWorkingSetSize) / (1024 * 1024);
}

}  // namespace

int main(int argc, char** argv) {
    const velmo::win::ComApartment apartment;
    if (!apartment.Usable())
        Fail("CoInitializeEx", apartment.result());
    const std::string mode = argc > 1 ? argv[1] : "";

    if (mode == "--memory" && argc > 2) {
        const double before = PeakWorkingSetMb();
        const auto t0 = Clock::now();
        velmo::win::LoadedBitmap loaded = velmo::win::LoadPictureFile(argv[2], kScreen);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        BITMAP shape{};
        GetObjectW(loaded.bitmap.get(), sizeof(shape), &shape);
        std::printf("%s: %ld x %ld in %.0f ms; peak working set %.1f MB before, %.1f MB after\n", argv[2],
                    shape.bmWidth, shape.bmHeight, ms, before, PeakWorkingSetMb());
        return 0;
    }

    ComPtr<IWICImagingFactory> factory = MakeFactory();
    g_factory = factory.get();
    if (mode == "--write" && argc > 3) {
        Size size{};
        if (std::sscanf(argv[2], "%dx%d", &size.width, &size.height) != 2)
            Fail("reading WxH");
        WriteJpeg(g_factory, argv[3], size);
        return 0;
    }

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "velmo_win_picture_bench_" +
                             std::to_string(GetCurrentProcessId()) + ".jpg";
    WriteJpeg(g_factory, path, {4000, 3000});

    struct Way {
        const char* name;
        void (*load)(const std::string&);
    };
    const Way ways[] = {
        {"bare decode: 32bppBGRA, CopyPixels whole", BareDecode},
        {"LoadPictureFile, fitted to 1920 x 1080", Ours},
        {"WIC scaler (Fant) to 1440 x 1080", WicScaler},
    };
    std::printf("4000 x 3000 JPEG, median of %d runs each (min / max), file cache warm\n\n", runs);
    double floor = 0;
    for (const Way& way : ways) {
        const Stats s = Measure(way.load, path, runs);
        if (way.load == BareDecode)
            floor = s.median;
        std::printf("%-44s %8.1f ms %5.2fx (%6.1f / %6.1f)\n", way.name, s.median, s.median / floor, s.min, s.max);
    }
    DeleteFileA(path.c_str());
    return 0;
}
