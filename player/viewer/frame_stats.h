// Frame statistics of a run (--stats): per part of the show, how many frames were drawn,
// their times, the 60 Hz slots missed, the main thread's CPU time and the music sync's
// lag, gathered at every presented frame and printed as a table when the run ends.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "platform/interface/host.h"

// The name of a part of the show (a row of kShowParts) in the table and the overlay; "-"
// for any other number.
const char* ShowPartName(int part);

// Frames whose times are kept; frames past it are counted but not timed.
constexpr int kMaxTimedFrames = 1 << 16;

class FrameStats {
public:
    // Takes host's presented hook and makes room for the samples. Real time (missed slots,
    // sync lag) unless host->lockstepMusic. Call after everything else that fills host.
    void Begin(host::Desc* host);
    // One frame presented by the part running: its time since the previous frame, less
    // waitedSeconds of frame pacing; late when it came after its slot. A frame the pause
    // held is not counted, and the one it swaps at the pause's end is counted but not timed.
    void OnPresented(double waitedSeconds, bool late, bool held);
    // OnPresented with the clocks given: now on the monotonic clock and the main thread's
    // CPU time, in nanoseconds.
    void OnPresentedAt(int64_t nowNanos, int64_t cpuNanos, double waitedSeconds, bool late, bool held);
    // Writes the table: a row per part that drew, the final scene's included, and one for
    // the whole run. Frame times start at each run's second frame.
    void Print(FILE* out) const;

private:
    struct Sample {
        int8_t part;
        bool late;      // came after its 60 Hz slot (real time)
        float frameMs;  // NaN for the run's first frame
        float cpuMs;
        float lagMs;  // NaN unless the frame is the first to show its row (real time)
    };

    bool realTime = false;
    std::unique_ptr<Sample[]> samples;
    int sampleCount = 0;
    long long frames = 0;  // all frames, timed or not
    int64_t previousNanos = 0, previousCpuNanos = 0;
    long long shownKey = -1;      // PositionKey of the row the frame being drawn shows
    int64_t shownHeardNanos = 0;  // when that row starts to be heard
    long long lastShownKey = -1;  // the row the previous frame showed
};
