// The area-average shrink of a 4000 x 3000 BGRA picture to 1920 x 1080, fed in bands of 64 and 256 rows, beside
// one plain pass that reads every source byte (sums them): the floor any pass over the source stands on.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "core/Shrink.h"

namespace {

constexpr int32_t kWidth = 4000;
constexpr int32_t kHeight = 3000;
constexpr size_t kStride = 4 * size_t(kWidth);

// Gradients crossed with noise, as in the BMP benchmarks, so that no pass meets long runs of equal bytes.
const std::vector<uint8_t>& Source() {
    static const std::vector<uint8_t> pixels = [] {
        std::vector<uint8_t> p(kStride * kHeight);
        uint32_t noise = 12345;
        for (size_t i = 0; i < p.size(); i++) {
            noise = noise * 1103515245 + 12345;
            p[i] = uint8_t(i % kStride + i / kStride + (noise >> 28));
        }
        return p;
    }();
    return pixels;
}

void PlainRead(benchmark::State& state) {
    const std::vector<uint8_t>& source = Source();
    for (auto _ : state) {
        uint64_t total = 0;
        for (int32_t y = 0; y < kHeight; y++) {
            const uint8_t* row = source.data() + size_t(y) * kStride;
            uint32_t sum = 0;
            for (size_t i = 0; i < kStride; i++)
                sum += row[i];
            total += sum;
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(source.size()));
}

void ShrinkInBands(benchmark::State& state) {
    const std::vector<uint8_t>& source = Source();
    const int32_t band = int32_t(state.range(0));
    std::vector<uint8_t> target(1920 * 1080 * 4);
    for (auto _ : state) {
        velmo::Shrinker shrinker({kWidth, kHeight}, {1920, 1080});
        const size_t rowBytes = 4 * size_t(shrinker.Target().width);
        const velmo::Shrinker::RowSink sink = [&](int32_t y, const uint8_t* row) {
            std::copy(row, row + rowBytes, target.begin() + ptrdiff_t(size_t(y) * rowBytes));
        };
        for (int32_t y = 0; y < kHeight; y += band)
            shrinker.AddRows(source.data() + size_t(y) * kStride, kStride, band, sink);
        benchmark::DoNotOptimize(target.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(source.size()));
}

BENCHMARK(PlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(ShrinkInBands)->Arg(64)->Arg(256)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
