// The pacing wait's wake-up error against its deadline, median and 99th percentile: the
// C++ sleep_until the Windows presentation used before, and WaitUntil (platform/shared/pacing_wait.h).
// The same figures for Windows come from bench/windows/pacing_wait.cpp, built by windows/.
#include <benchmark/benchmark.h>

#include <thread>

#include "bench/pacing_wake_error.h"

namespace {

void Report(benchmark::State& state, const WakeErrors& errors) {
    state.counters["median_us"] = errors.medianUs;
    state.counters["p99_us"] = errors.p99Us;
    state.counters["earliest_us"] = errors.earliestUs;
    state.counters["latest_us"] = errors.latestUs;
    state.counters["early"] = errors.early;
}

void BM_SleepUntil(benchmark::State& state) {
    for (auto _ : state)
        Report(state, MeasureWakeErrors([](PacingClock::time_point deadline) { std::this_thread::sleep_until(deadline); }));
}
BENCHMARK(BM_SleepUntil)->Iterations(1)->Unit(benchmark::kSecond);

void BM_WaitUntil(benchmark::State& state) {
    state.SetLabel(CoarseSleepName());
    for (auto _ : state) Report(state, MeasureWakeErrors(WaitUntil));
}
BENCHMARK(BM_WaitUntil)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
