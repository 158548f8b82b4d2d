// Long runs through the player's viewer in one process, in lockstep through the real
// display (run it under scripts/helpers/with-display.sh): the whole show three times with --loop,
// then 200 jumps in a row. Reports the resident memory after each loop and after each
// hundred jumps against the first loop's, and whether the frames at three song positions
// of the last loop are the first loop's, byte for byte.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "bench/resident_memory.h"
#include "bench/show_run_folder.h"
#include "gfx/gfx.h"
#include "platform/sdl/win32_test.h"
#include "player/viewer/viewer.h"
#include "show/show_state.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr int kLoops = 3;
constexpr int kJumps = 200, kJumpsPerReport = 100;
constexpr int kFramesPerJump = 6;  // frames drawn between jumps
constexpr int kFramesPerReport = 1000;  // resident memory on standard error this often
// Where the jumps go, in turn: every part's start, orders within parts, the beginning.
constexpr int kJumpOrders[] = {3, 9, 15, 18, 23, 26, 28, 31, 0, 12, 20, 32};
constexpr int kJumpOrderCount = int(sizeof kJumpOrders / sizeof kJumpOrders[0]);
// The frames compared between the first loop and the last: a part, another, the final scene.
constexpr SongPosition kCompared[] = {{4, 32}, {18, 32}, {30, 0}};
constexpr int kComparedCount = int(sizeof kCompared / sizeof kCompared[0]);

long long Key() {
    return PositionKey(syncState.order.load(std::memory_order_relaxed), syncState.row.load(std::memory_order_relaxed));
}

void BM_LoopsAndJumps(benchmark::State& state) {
    if (!EnterShowDataOnScreen(state)) return;
    for (auto _ : state) {
        const char* args[] = {"--loop", "--window"};
        PlayOptions options;
        std::string error;
        if (!ParsePlayOptions(2, args, &options, &error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        host::Desc host = StartingDesc(options);
        host.hidden = true;
        host.framePacing = false;
        host.lockstepMusic = true;
        host.messageBox = [](const char*, const char*) {};
        Viewer viewer;

        std::vector<double> afterLoop, afterJumps;
        // Every frame kept is made, and its pages written, before the first measurement:
        // what the benchmark holds itself must not read as the show's growth.
        const std::vector<uint8_t> blank(size_t(kWidth) * kHeight * 4);
        std::vector<std::vector<uint8_t>> firstFrames(kComparedCount, blank), lastFrames(kComparedCount, blank);
        std::vector<uint8_t> frame = blank;
        int kept = 0;  // frames copied into firstFrames and lastFrames
        int passes = 0, jumps = 0, framesSinceJump = 0;
        long long frames = 0;
        long long previous = -1;
        bool taken[kComparedCount] = {};
        host.present = [&] {
            if (passes <= kLoops && (previous < 0 || Key() < previous)) {
                // A loop's pass starts: the one before it has ended.
                if (passes > 0) afterLoop.push_back(ResidentMebibytes());
                ++passes;
                for (bool& t : taken) t = false;
            }
            previous = Key();
            // Every frame is read back, as lockstep play reads it (which also waits for the
            // renderer to finish it); three of them are kept.
            ReadBackFrame(kWidth, kHeight, frame.data());
            if (passes == 1 || passes == kLoops) {
                for (int i = 0; i < kComparedCount; ++i) {
                    if (taken[i] || Key() < PositionKey(kCompared[i].order, kCompared[i].row)) continue;
                    taken[i] = true;
                    std::copy(frame.begin(), frame.end(), (passes == 1 ? firstFrames[i] : lastFrames[i]).begin());
                    ++kept;
                }
            }
            if (++frames % kFramesPerReport == 0)
                std::fprintf(stderr, "%lld frames, pass %d, %d jumps: %.2f MiB resident\n", frames, passes, jumps,
                             ResidentMebibytes());
            host::AdvanceMusic(kAudioFramesPerVideoFrame, nullptr);
            if (passes <= kLoops || ++framesSinceJump < kFramesPerJump) return;
            framesSinceJump = 0;
            if (jumps == kJumps) {
                win32test::InjectKeyDown(VK_ESCAPE);
                return;
            }
            viewer.JumpTo(kJumpOrders[jumps % kJumpOrderCount]);
            if (++jumps % kJumpsPerReport == 0) afterJumps.push_back(ResidentMebibytes());
        };
        quitSeen = 0;
        viewer.Begin(options, &host);
        viewer.Play();

        std::printf("resident memory, MiB (first loop's end %.2f):\n", afterLoop.empty() ? 0.0 : afterLoop[0]);
        for (size_t i = 0; i < afterLoop.size(); ++i) {
            std::printf("  after loop %zu: %.2f (%+.2f)\n", i + 1, afterLoop[i], afterLoop[i] - afterLoop[0]);
            state.counters["loop" + std::to_string(i + 1) + "_MiB"] = afterLoop[i];
        }
        for (size_t i = 0; i < afterJumps.size(); ++i) {
            std::printf("  after %zu jumps: %.2f (%+.2f)\n", (i + 1) * kJumpsPerReport, afterJumps[i],
                        afterJumps[i] - afterLoop[0]);
            state.counters["jumps" + std::to_string((i + 1) * kJumpsPerReport) + "_MiB"] = afterJumps[i];
        }
        int same = 0;
        for (int i = 0; i < kComparedCount; ++i) {
            const bool equal = kept == 2 * kComparedCount && firstFrames[i] == lastFrames[i];
            same += equal ? 1 : 0;
            std::printf("  frame at %d:%d, loop %d against loop 1: %s\n", kCompared[i].order, kCompared[i].row, kLoops,
                        equal ? "the same bytes" : "DIFFERENT");
        }
        state.counters["frames_same"] = same;
        state.counters["jumps"] = jumps;
    }
}
BENCHMARK(BM_LoopsAndJumps)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
