// bench_pacing_wait.exe: bench/platform_pacing_wait.cpp's figures on Windows (or under
// Wine), without Google Benchmark: the wake-up error of the C++ sleep_until and of WaitUntil
// against their deadlines, median and 99th percentile. Built beside the program, not shipped.
#include <cstdio>
#include <string>
#include <thread>

#include "bench/pacing_wake_error.h"

namespace {

void Print(const char* wait, const WakeErrors& errors) {
    std::printf("%-58s median %8.1f us  p99 %8.1f us  earliest %8.1f us  latest %8.1f us  early %d of %d\n", wait,
                errors.medianUs, errors.p99Us, errors.earliestUs, errors.latestUs, errors.early, errors.frames);
}

}  // namespace

int main() {
    // The old wait first: WaitUntil's first call may raise the timer resolution for the process.
    Print("std::this_thread::sleep_until",
          MeasureWakeErrors([](PacingClock::time_point deadline) { std::this_thread::sleep_until(deadline); }));
    const WakeErrors errors = MeasureWakeErrors(WaitUntil);
    Print((std::string("WaitUntil (") + CoarseSleepName() + ")").c_str(), errors);
    return 0;
}
