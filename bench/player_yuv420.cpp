// Time the capture's writer thread spends converting one RGBA frame to YUV 4:2:0, at the
// show's size and at 1440x1080.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "player/capture.h"

namespace {

// Args: width, height.
void BM_ConvertFrame(benchmark::State& state) {
    const int width = int(state.range(0)), height = int(state.range(1));
    std::vector<uint8_t> rgba(size_t(width) * height * 4);
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = uint8_t(i * 2654435761u >> 13);  // busy picture
    std::vector<uint8_t> yuv(size_t(width) * height * 3 / 2);
    Yuv420Converter converter;
    converter.Resize(width, height);
    for (auto _ : state) {
        converter.Convert(rgba.data(), yuv.data());
        benchmark::DoNotOptimize(yuv.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ConvertFrame)->Args({640, 480})->Args({1440, 1080})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
