// Load-time benchmarks of the BMP reader on 3840 x 2160 pictures at 24 and 8 bpp, written by our own
// writer into a temporary folder. Three ways to load each file:
//   ReadFile  - only its bytes into a preallocated buffer: the floor any loader stands on;
//   Load      - our path: read the head, parse it, read the rows straight into a preallocated buffer,
//               as the Win32 layer does into a DIB section's bits;
//   StbImage  - stb_image decoding the same file to RGB.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BusyPicture.h"
#include "core/Bmp.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#include <stb/stb_image.h>

namespace {

namespace fs = std::filesystem;
using velmo::bmp::Layout;

constexpr int32_t kWidth = 3840;
constexpr int32_t kHeight = 2160;

fs::path Folder() {
    return fs::temp_directory_path() / "velmo_bmp_bench";
}

std::string PathOf(int bitsPerPixel) {
    return (Folder() / ("screen" + std::to_string(bitsPerPixel) + ".bmp")).string();
}

// The busy picture of both benchmarks.
void WriteTestFile(int bitsPerPixel) {
    const std::vector<uint8_t> file = velmo::bench::BusyPictureFile(kWidth, kHeight, bitsPerPixel);
    std::FILE* out = std::fopen(PathOf(bitsPerPixel).c_str(), "wb");
    if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "cannot write %s\n", PathOf(bitsPerPixel).c_str());
        std::exit(1);
    }
}

void ReadFile(benchmark::State& state, int bitsPerPixel) {
    const std::string path = PathOf(bitsPerPixel);
    std::vector<uint8_t> buffer(size_t(fs::file_size(path)));
    for (auto _ : state) {
        std::FILE* in = std::fopen(path.c_str(), "rb");
        size_t got = std::fread(buffer.data(), 1, buffer.size(), in);
        std::fclose(in);
        if (got != buffer.size())
            state.SkipWithError("short read");
        benchmark::DoNotOptimize(buffer.data());
    }
}

void Load(benchmark::State& state, int bitsPerPixel) {
    const std::string path = PathOf(bitsPerPixel);
    std::vector<uint8_t> bits(velmo::bmp::RowBytes(kWidth, 24) * kHeight);  // the DIB section stand-in
    uint8_t head[velmo::bmp::kHeadBytes];
    for (auto _ : state) {
        std::FILE* in = std::fopen(path.c_str(), "rb");
        std::setvbuf(in, nullptr, _IONBF, 0);  // plain reads, as ReadFile does them
        std::fseek(in, 0, SEEK_END);
        const long fileSize = std::ftell(in);
        std::fseek(in, 0, SEEK_SET);
        const size_t headSize = std::fread(head, 1, sizeof head, in);
        velmo::bmp::Result<Layout> layout = velmo::bmp::ParseHeader(head, headSize, uint64_t(fileSize));
        if (!layout || !layout->direct || layout->imageBytes > bits.size()) {
            std::fclose(in);
            state.SkipWithError("not a direct layout");
            break;
        }
        std::fseek(in, long(layout->pixelOffset), SEEK_SET);
        size_t got = std::fread(bits.data(), 1, layout->imageBytes, in);
        std::fclose(in);
        if (got != layout->imageBytes)
            state.SkipWithError("short read");
        benchmark::DoNotOptimize(bits.data());
    }
}

void StbImage(benchmark::State& state, int bitsPerPixel) {
    const std::string path = PathOf(bitsPerPixel);
    for (auto _ : state) {
        int width, height, channels;
        stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 0);
        if (!pixels)
            state.SkipWithError(stbi_failure_reason());
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
}

BENCHMARK_CAPTURE(ReadFile, rgb24, 24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, rgb24, 24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StbImage, rgb24, 24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadFile, pal8, 8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, pal8, 8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StbImage, pal8, 8)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    fs::create_directories(Folder());
    WriteTestFile(24);
    WriteTestFile(8);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(Folder(), ignored);
    return 0;
}
