// The wake-up error of a pacing wait, measured as the show paces: deadlines 1/60 s apart, each
// after a stretch of busy work of varying length. Shared by the native benchmark
// (platform_pacing_wait.cpp) and the Windows program of the same figures (windows/).
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

#include "platform/shared/pacing_wait.h"

constexpr int kPacedFrames = 300;  // five seconds at 60 Hz

// Wake-up error (wake - deadline) over the frames, in microseconds: negative is early.
struct WakeErrors {
    double medianUs = 0, p99Us = 0, earliestUs = 0, latestUs = 0;
    int early = 0, frames = 0;  // frames woken before their deadline, of all
};

// Paces kPacedFrames frames with wait(deadline), each after 0 to 7 ms of spinning standing for
// a frame's drawing, and gathers how far from its deadline each wake came.
template <class Wait>
WakeErrors MeasureWakeErrors(Wait wait) {
    using namespace std::chrono;
    const auto period = duration_cast<PacingClock::duration>(duration<double>(1.0 / 60));
    std::vector<double> errors;
    errors.reserve(kPacedFrames);
    PacingClock::time_point deadline = PacingClock::now() + period;
    for (int frame = 0; frame < kPacedFrames; ++frame) {
        const PacingClock::time_point workEnd = PacingClock::now() + milliseconds(frame * 3 % 8);
        while (PacingClock::now() < workEnd) {
        }
        wait(deadline);
        errors.push_back(duration<double, std::micro>(PacingClock::now() - deadline).count());
        deadline += period;
    }
    WakeErrors result;
    result.frames = int(errors.size());
    result.early = int(std::count_if(errors.begin(), errors.end(), [](double e) { return e < 0; }));
    std::sort(errors.begin(), errors.end());
    result.medianUs = errors[errors.size() / 2];
    result.p99Us = errors[std::min(errors.size() - 1, errors.size() * 99 / 100)];
    result.earliestUs = errors.front();
    result.latestUs = errors.back();
    return result;
}
