// Frame statistics: one fixed-size sample per presented frame (no allocation while the
// show runs), sorted per part into medians and percentiles only when the table is printed.
#include "player/viewer/frame_stats.h"
#include "player/player.h"

#include <time.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "parts/part_table.h"
#include "show/show_state.h"

namespace {

constexpr double kSlotMs = 1000.0 / 60.0;

int64_t ClockNanos(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Nearest-rank percentile (0..100) of sorted values; NaN when empty.
double Percentile(const std::vector<float>& sorted, double percent) {
    if (sorted.empty()) return NAN;
    const size_t rank = size_t(std::ceil(percent / 100.0 * double(sorted.size())));
    return sorted[rank == 0 ? 0 : rank - 1];
}

// A column of width characters: the value with digits decimals, "-" when it is NaN.
void PrintValue(FILE* out, int width, double value, int digits = 2) {
    if (std::isnan(value)) std::fprintf(out, " %*s", width, "-");
    else std::fprintf(out, " %*.*f", width, digits, value);
}

struct Row {
    long long frames = 0;
    int missed = 0;
    double cpuMs = 0;
    int cpuCount = 0;
    std::vector<float> frameMs, lagMs;
};

void PrintRow(FILE* out, const char* name, Row& row, bool realTime) {
    std::sort(row.frameMs.begin(), row.frameMs.end());
    std::sort(row.lagMs.begin(), row.lagMs.end());
    std::fprintf(out, "%-15s %7lld", name, row.frames);
    PrintValue(out, 9, Percentile(row.frameMs, 50));
    PrintValue(out, 8, Percentile(row.frameMs, 99));
    PrintValue(out, 8, row.frameMs.empty() ? NAN : row.frameMs.back());
    if (realTime) std::fprintf(out, " %7d", row.missed);
    else std::fprintf(out, " %7s", "-");
    PrintValue(out, 10, row.cpuCount > 0 ? row.cpuMs / row.cpuCount : NAN);
    PrintValue(out, 9, realTime ? Percentile(row.lagMs, 50) : NAN, 1);
    PrintValue(out, 8, realTime && !row.lagMs.empty() ? row.lagMs.back() : NAN, 1);
    std::fputc('\n', out);
}

}  // namespace

const char* ShowPartName(int part) { return part >= 0 && part < kPartCount ? kShowParts[part].name : "-"; }

void FrameStats::Begin(host::Desc* host) {
    realTime = !host->lockstepMusic;
    samples = std::make_unique<Sample[]>(kMaxTimedFrames);
    host->presented = [this](double waitedSeconds, bool late, bool held) { OnPresented(waitedSeconds, late, held); };
}

void FrameStats::OnPresented(double waitedSeconds, bool late, bool held) {
    OnPresentedAt(ClockNanos(CLOCK_MONOTONIC), ClockNanos(CLOCK_THREAD_CPUTIME_ID), waitedSeconds, late, held);
}

void FrameStats::OnPresentedAt(int64_t now, int64_t cpu, double waitedSeconds, bool late, bool held) {
    if (held) {
        previousNanos = 0;  // the pause's end starts the timing again, as a run's start does
        lastShownKey = shownKey;  // nor is the held row's lag measured
        return;
    }
    ++frames;
    if (sampleCount < kMaxTimedFrames) {
        Sample& sample = samples[sampleCount++];
        sample.part = int8_t(runningPart);
        sample.late = late;
        sample.frameMs = sample.cpuMs = sample.lagMs = NAN;
        if (previousNanos != 0) {
            sample.frameMs = float(double(now - previousNanos) / 1e6 - waitedSeconds * 1e3);
            sample.cpuMs = float(double(cpu - previousCpuNanos) / 1e6);
        }
        if (realTime && shownKey >= 0 && shownKey != lastShownKey) {
            sample.lagMs = float(double(now - shownHeardNanos) / 1e6);
            lastShownKey = shownKey;
        }
    }
    previousNanos = now;
    previousCpuNanos = cpu;
    // The next frame is drawn from the song position as it is now.
    int order = 0, row = 0;
    int64_t heard = 0;
    if (realTime && host::LastRowHeard(&order, &row, &heard)) {
        shownKey = PositionKey(order, row);
        shownHeardNanos = heard;
    }
}

void FrameStats::Print(FILE* out) const {
    if (!samples) return;
    Row rows[kPartCount];
    Row all;
    for (int i = 0; i < sampleCount; ++i) {
        const Sample& sample = samples[i];
        for (Row* row : {&rows[sample.part], &all}) {
            ++row->frames;
            row->missed += sample.late ? 1 : 0;
            if (!std::isnan(sample.frameMs)) {
                row->frameMs.push_back(sample.frameMs);
                row->cpuMs += sample.cpuMs;
                ++row->cpuCount;
            }
            if (!std::isnan(sample.lagMs)) row->lagMs.push_back(sample.lagMs);
        }
    }
    std::fprintf(out, "Frame statistics (%s; times in ms, a 60 Hz slot is %.1f ms):\n",
                 realTime ? "real time" : "lockstep, no slots or sync lag", kSlotMs);
    std::fprintf(out, "%-15s %7s %9s %8s %8s %7s %10s %9s %8s\n", "part", "frames", "median", "p99", "worst", "missed",
                 "cpu/frame", "lag med", "lag max");
    for (int part = 0; part < kPartCount; ++part)
        if (rows[part].frames > 0) PrintRow(out, kShowParts[part].name, rows[part], realTime);
    PrintRow(out, "whole run", all, realTime);
    if (frames > sampleCount)
        std::fprintf(out, "(%lld frames past the first %d are not in the table)\n", frames - sampleCount, sampleCount);
}
