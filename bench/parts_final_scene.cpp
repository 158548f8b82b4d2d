// One frame of the final scene: sixteen tentacles simulated, rebuilt and rendered into a
// renderer that draws nothing.
#include <benchmark/benchmark.h>

#include "parts/parts.h"
#include "show/show_state.h"
#include "tests/kit/recording_renderer.h"

static void BM_FinalSceneFrame(benchmark::State& state) {
    TentacleScene scene;
    scene.Init();
    CountingRenderer counter;
    renderer = &counter;
    fadeLevel = 1.0f;
    float clock = 0;
    for (auto _ : state) {
        clock += static_cast<float>(0.004347826086956522);
        scene.Frame(0, clock);
    }
    state.counters["triangles/frame"] =
        benchmark::Counter(static_cast<double>(counter.multitexTriangles) / state.iterations());
    renderer = nullptr;
}
BENCHMARK(BM_FinalSceneFrame)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
