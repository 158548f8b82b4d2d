// Capture speed of the built program as a multiple of real time: seconds of show
// captured (ffprobe's duration of the file) per second of wall time, the whole show and
// its last parts at 640x480, the last orders at 1440x1080, without a display (EGL off
// screen) and under llvmpipe. ORANGEFUNK_BENCH_PROGRAM names another build's program to
// time instead (run from this build's data folder).
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/show_run_folder.h"

namespace {

double VideoSeconds(const std::string& path) {
    FILE* pipe = popen(("ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 '" + path + "'").c_str(), "r");
    if (pipe == nullptr) return 0;
    double seconds = 0;
    if (std::fscanf(pipe, "%lf", &seconds) != 1) seconds = 0;
    pclose(pipe);
    return seconds;
}

// Args: the song order the capture starts at, the picture's height (width 4:3).
void BM_CaptureFromOrder(benchmark::State& state) {
    const std::string pattern = ShowRunFolder(state);
    if (pattern.empty()) return;
    const std::string video = pattern + "/show.mp4";
    const char* program = std::getenv("ORANGEFUNK_BENCH_PROGRAM");
    const std::string size = std::to_string(state.range(1) * 4 / 3) + "x" + std::to_string(state.range(1));
    const std::string command = "cd '" + kShowData + "' && env -u DISPLAY '" +
                                (program != nullptr ? program : "../orangefunk") + "' --from " +
                                std::to_string(state.range(0)) + " --size " + size + " --capture '" + video +
                                "' >/dev/null 2>&1";
    double showSeconds = 0, wallSeconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(wall);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the capture failed");
            break;
        }
        showSeconds += VideoSeconds(video);
        wallSeconds += wall;
    }
    state.counters["show_seconds"] = showSeconds / double(state.iterations());
    state.counters["x_real_time"] = wallSeconds > 0 ? showSeconds / wallSeconds : 0;
    std::system(("rm -rf '" + pattern + "'").c_str());
}
BENCHMARK(BM_CaptureFromOrder)
    ->Args({26, 480})
    ->Args({0, 480})
    ->Args({30, 1080})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
