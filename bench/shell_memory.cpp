// Resident memory of the show in one process, in lockstep through the real display (run
// it under scripts/helpers/with-display.sh): during the final scene's last order against its first
// frame, and the growth of resident memory and of the heap in use when the show is started
// a second time, beside the size of the data set it loads.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/interface/host.h"
#include "platform/sdl/win32_test.h"
#include "app/app.h"
#include "bench/resident_memory.h"
#include "bench/show_run_folder.h"
#include "shell/sequence.h"
#include "show/show_state.h"

namespace {

constexpr int kFinalSceneOrder = 28, kLastOrder = 32;
constexpr double kMegabyte = 1024.0 * 1024.0;

double HeapInUseMegabytes() {
    const struct mallinfo2 heap = mallinfo2();
    return double(heap.uordblks + heap.hblkhd) / kMegabyte;
}

// Bytes of the files the show reads: its PNG, 3DS and module files.
double DataSetMegabytes() {
    double bytes = 0;
    for (const char* name : {"envmap1.png", "stripe.png", "striber3.png", "fisse.png", "os.png", "plettet.png",
                             "circles.png", "1.png", "2.png", "3.png", "4.png", "toypush.png", "greets.png",
                             "txt.png", "logoenv.png", "spiral.3ds", "ball2116.3ds", "striber.3ds", "toyscene.3ds",
                             "toypush1.3ds", "purple.3ds", "hjerte~1.3ds", "funk.it"}) {
        struct stat info {};
        if (stat(name, &info) == 0) bytes += double(info.st_size);
    }
    return bytes / kMegabyte;
}

// Plays the show from the final scene to its end in lockstep; fills the resident sizes
// once its first frame has been shown (the first swap sets up the driver's buffers) and
// the highest during its last order.
void PlayFinalScene(double* firstFrame, double* lastOrderHighest) {
    *firstFrame = *lastOrderHighest = 0;
    int presents = 0;
    win32test::Reset();
    win32test::RecordMessageBoxes(true);
    OnMusicSync(0, 0, kFinalSceneOrder);
    quitSeen = 0;
    host::Desc desc;
    desc.windowed = desc.hidden = desc.lockstepMusic = true;
    desc.framePacing = false;
    desc.startOrder = kFinalSceneOrder;
    desc.present = [=, &presents] {
        const double resident = ResidentMebibytes();
        if (++presents == 2) *firstFrame = resident;
        if (syncState.order.load() == kLastOrder) *lastOrderHighest = std::max(*lastOrderHighest, resident);
        host::AdvanceMusic(44100 / 60, nullptr);
    };
    host::Setup(desc);
    char commandLine[] = "";
    WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    win32test::Reset();
}

void BM_ResidentMemory(benchmark::State& state) {
    if (!EnterShowDataOnScreen(state)) return;
    double first = 0, last = 0, laterFirst = 0, laterLast = 0;
    // Resident memory and the heap in use after each show. The allocator keeps what the
    // first show freed for the next, so the second start may grow resident memory once; a
    // third start shows whether the growth goes on.
    constexpr int kStarts = 3;
    double residentAfter[kStarts] = {}, heapAfter[kStarts] = {};
    for (auto _ : state) {
        for (int run = 0; run < kStarts; ++run) {
            PlayFinalScene(run == 0 ? &first : &laterFirst, run == 0 ? &last : &laterLast);
            residentAfter[run] = ResidentMebibytes();
            heapAfter[run] = HeapInUseMegabytes();
        }
    }
    state.counters["first_frame_MB"] = first;
    state.counters["last_order_highest_MB"] = last;
    state.counters["last_order_minus_first_MB"] = last - first;
    state.counters["second_start_growth_MB"] = residentAfter[1] - residentAfter[0];
    state.counters["third_start_growth_MB"] = residentAfter[2] - residentAfter[1];
    state.counters["second_start_heap_growth_MB"] = heapAfter[1] - heapAfter[0];
    state.counters["third_start_heap_growth_MB"] = heapAfter[2] - heapAfter[1];
    malloc_trim(0);
    state.counters["trimmed_growth_over_all_starts_MB"] = ResidentMebibytes() - residentAfter[0];
    state.counters["data_set_MB"] = DataSetMegabytes();
    double images = 0;  // the decoded images the show keeps
    for (const std::unique_ptr<Image>& image : sharedAssets.images) images += image ? double(image->pixels.size()) : 0;
    state.counters["kept_images_MB"] = images / kMegabyte;
}
BENCHMARK(BM_ResidentMemory)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
