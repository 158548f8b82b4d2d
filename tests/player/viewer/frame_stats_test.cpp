// --stats over a pause: the presentations that hold a paused frame neither count as frames
// nor stretch a frame's time, whether the pause is short or long.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "player/viewer/frame_stats.h"
#include "show/show_state.h"

namespace {

constexpr int64_t kMs = 1000000;
constexpr int kFramesEachSide = 10;
constexpr int kFrameMs = 10;  // every frame's time, pacing's wait left out

// The whole run's row of the table: frames, median, p99 and worst frame time.
struct Totals {
    long long frames = 0;
    double median = 0, p99 = 0, worst = 0;
};

Totals WholeRun(const FrameStats& stats) {
    char* text = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&text, &size);
    stats.Print(out);
    std::fclose(out);
    const std::string table(text, size);
    std::free(text);
    Totals totals;
    const size_t row = table.find("whole run");
    if (row != std::string::npos)
        std::sscanf(table.c_str() + row, "whole run %lld %lf %lf %lf", &totals.frames, &totals.median, &totals.p99,
                    &totals.worst);
    return totals;
}

class FrameStatsPause : public ::testing::TestWithParam<int> {};

TEST_P(FrameStatsPause, HeldPresentationsAreNeitherFramesNorTime) {
    const int heldPresentations = GetParam();
    runningPart = 1;
    host::Desc host;
    host.lockstepMusic = true;  // no sync lag to read from the music
    FrameStats stats;
    stats.Begin(&host);
    int64_t now = 1000 * kMs;
    auto frame = [&](double waitedSeconds, bool held) {
        stats.OnPresentedAt(now, now, waitedSeconds, false, held);
    };
    for (int i = 0; i < kFramesEachSide; ++i, now += kFrameMs * kMs) frame(0.0, false);
    // Paused: the frame presented again every 1/60 s, 15 ms of it spent waiting for the slot.
    for (int i = 0; i < heldPresentations; ++i, now += 16 * kMs) frame(0.015, true);
    frame(0.0, false);  // the held frame's swap at the pause's end
    now += kFrameMs * kMs;
    for (int i = 0; i < kFramesEachSide; ++i, now += kFrameMs * kMs) frame(0.0, false);

    const Totals totals = WholeRun(stats);
    EXPECT_EQ(totals.frames, 2 * kFramesEachSide + 1);
    EXPECT_DOUBLE_EQ(totals.median, kFrameMs);
    EXPECT_DOUBLE_EQ(totals.worst, kFrameMs);
}

INSTANTIATE_TEST_SUITE_P(ShortAndLong, FrameStatsPause, ::testing::Values(1, 600));

}  // namespace
