// Peak resident memory of the built program playing the whole show off screen (frame dumps
// in lockstep, EGL on llvmpipe), on the generated data and on the worst data
// folder the loaders accept: every picture replaced by one of the largest size the PNG
// loader takes (1024 x 1024, 1 Mi pixels). The budget the loaders' limits keep the show
// within: 512 MiB resident on any data folder. Measured with /usr/bin/time (its peak is the
// largest of the program and any children). ORANGEFUNK_BENCH_PROGRAM
// names another build's program to measure instead.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/show_run_folder.h"
#include "player/capture.h"

namespace {

constexpr int kLargestPictureSide = 1024;  // 1 Mi pixels, the PNG loader's budget
constexpr const char* kPictures[] = {"envmap1.png", "stripe.png", "striber3.png", "fisse.png", "os.png",
                                     "plettet.png", "circles.png", "1.png",   "2.png",     "3.png",
                                     "4.png",       "toypush.png", "greets.png", "txt.png", "logoenv.png"};

// Fills folder with links to the show's files, its pictures replaced by the largest the
// loader takes (noise, so nothing about them is cheap). False when a file cannot be made.
bool MakeWorstDataFolder(const std::string& folder) {
    if (std::system(("ln -s '" + kShowData + "'/* '" + folder + "'").c_str()) != 0) return false;
    std::vector<uint8_t> rgba(size_t(kLargestPictureSide) * kLargestPictureSide * 4);
    uint32_t seed = 1;
    for (uint8_t& byte : rgba) byte = uint8_t((seed = seed * 1664525u + 1013904223u) >> 24);
    for (const char* name : kPictures) {
        const std::string path = folder + "/" + name;
        std::string error;
        if (unlink(path.c_str()) != 0 ||
            !WriteFramePng(path.c_str(), kLargestPictureSide, kLargestPictureSide, rgba.data(), &error))
            return false;
    }
    return true;
}

// Args: 0 for the generated data, 1 for the worst data folder.
void BM_WholeShowPeakMemory(benchmark::State& state) {
    const std::string pattern = ShowRunFolder(state);
    if (pattern.empty()) return;
    const std::string folder = pattern + "/data";
    std::string data = kShowData;
    if (state.range(0) == 1) {
        if (mkdir(folder.c_str(), 0777) != 0 || !MakeWorstDataFolder(folder)) {
            state.SkipWithError("cannot make the worst data folder");
            return;
        }
        data = folder;
    }
    const char* program = std::getenv("ORANGEFUNK_BENCH_PROGRAM");
    const std::string peakFile = pattern + "/peak";
    const std::string command = "cd '" + kShowData + "' && env -u DISPLAY /usr/bin/time -f %M -o '" + peakFile + "' '" +
                                (program != nullptr ? program : "../orangefunk") + "' --data '" + data +
                                "' --frames '" + pattern + "/frames' --at 32:0 >/dev/null 2>&1";
    double peakKilobytes = 0;
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("the show failed");
            break;
        }
        FILE* peak = std::fopen(peakFile.c_str(), "r");
        double kilobytes = 0;
        if (peak == nullptr || std::fscanf(peak, "%lf", &kilobytes) != 1) state.SkipWithError("no peak measured");
        if (peak != nullptr) std::fclose(peak);
        if (kilobytes > peakKilobytes) peakKilobytes = kilobytes;
    }
    state.counters["peak_resident_MiB"] = peakKilobytes / 1024.0;
    std::system(("rm -rf '" + pattern + "'").c_str());
}
BENCHMARK(BM_WholeShowPeakMemory)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
