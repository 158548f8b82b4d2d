// Peak resident memory of the built program playing the whole show off screen (frame dumps
// in lockstep, EGL on llvmpipe), on the generated data and on the worst data folder the
// loaders accept: every picture replaced by one of the largest size the PNG loader takes
// (1024 x 1024, 1 Mi pixels), the song by a module as large as the module loader takes
// (255 patterns of 1024 rows on 64 channels, 256 samples filling the file's 64 MiB), and
// every object the show reads by one of as many vertices and faces as the 3DS reader takes,
// in files of as many objects. The budget the loaders' limits keep the show within:
// 512 MiB resident on any data folder. Measured with /usr/bin/time (its peak is the
// largest of the program and any children). ORANGEFUNK_BENCH_PROGRAM
// names another build's program to measure instead.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "assets/music/music.h"
#include "bench/show_run_folder.h"
#include "import/import.h"
#include "platform/openmpt/module_limits.h"
#include "player/capture/capture.h"
#include "tests/kit/chunk_writer.h"

namespace {

constexpr int kLargestPictureSide = 1024;  // 1 Mi pixels, the PNG loader's budget
constexpr const char* kPictures[] = {"envmap1.png", "stripe.png", "striber3.png", "fisse.png", "os.png",
                                     "plettet.png", "circles.png", "1.png",   "2.png",     "3.png",
                                     "4.png",       "toypush.png", "greets.png", "txt.png", "logoenv.png"};

// The objects the show reads, by file.
const struct {
    const char* file;
    std::vector<const char*> objects;
} kObjectFiles[] = {{"spiral.3ds", {"Shape1"}},      {"ball2116.3ds", {"Object01"}},
                    {"striber.3ds", {"Cone01"}},     {"toyscene.3ds", {"Box05", "dude", "briller"}},
                    {"toypush1.3ds", {"Shape1"}},    {"purple.3ds", {"Text01", "Text02"}},
                    {"hjerte~1.3ds", {"Shape02"}}};

constexpr int kPatternRows = 1024;     // the module loader's limit
constexpr int kLargestTable = 256;     // orders (with the end marker), samples, patterns
constexpr size_t kModuleHeadroom = size_t(1) << 20;  // headers and patterns within the file

uint32_t NextNoise(uint32_t* seed) { return *seed = *seed * 1664525u + 1013904223u; }

// The largest module the loader takes: the show's 33 orders play a short pattern (so the
// run lasts as long as the show), the other patterns are as long and wide as allowed and
// the samples (noise) fill the file to its limit. Every table holds all the entries allowed.
std::vector<uint8_t> LargestModule() {
    music::Module m;
    m.initialSpeed = 3;
    m.channelVolume.fill(64);
    m.channelPan.fill(32);
    for (int i = 0; i < kLargestTable; ++i) {
        music::Pattern p;
        p.rows = i == 0 ? 64 : kPatternRows;
        p.cells.resize(size_t(p.rows) * music::kMaxChannels);
        p.At(0, music::kMaxChannels - 1).note = 60;  // the last channel is used: every pattern is 64 wide
        p.At(0, music::kMaxChannels - 1).sample = 1;
        m.patterns.push_back(p);
    }
    for (int i = 0; i < kLargestTable - 1; ++i) m.orders.push_back(uint8_t(i < 33 ? 0 : i));
    const size_t frames = (kMaxModuleBytes - kModuleHeadroom) / 2 / kLargestTable;
    uint32_t seed = 7;
    for (int i = 0; i < kLargestTable; ++i) {
        music::Sample s;
        s.pcm.resize(frames);
        for (int16_t& v : s.pcm) v = int16_t(NextNoise(&seed) >> 16);
        m.samples.push_back(std::move(s));
    }
    return music::WriteModule(m);
}

// A 3DS file of kMaxReadObjects objects, those named in names as large as the reader takes
// (a grid of vertices, every face in range), the rest empty.
std::vector<uint8_t> LargestObjectFile(const std::vector<const char*>& names) {
    constexpr int kColumns = 100, kRows = kMaxReadVertices / kColumns;
    ChunkWriter w;
    w.Begin(0x4D4D).Begin(0x3D3D);
    for (int i = 0; i < kMaxReadObjects; ++i) {
        w.Begin(0x4000).String(i < int(names.size()) ? names[i] : "Filler" + std::to_string(i)).Begin(0x4100);
        if (i < int(names.size())) {
            std::vector<float> xyz, uv;
            for (int r = 0; r < kRows; ++r)
                for (int c = 0; c < kColumns; ++c) {
                    xyz.insert(xyz.end(), {c / 50.0f - 1, r / 100.0f - 1, float((r * c) % 7) / 70.0f});
                    uv.insert(uv.end(), {c / float(kColumns), r / float(kRows)});
                }
            w.Vertices(xyz);
            std::vector<uint16_t> abc;
            for (uint32_t f = 0; f < kMaxReadFaces; ++f) {
                const int quad = int(f / 2) % ((kRows - 1) * (kColumns - 1));
                const int at = quad / (kColumns - 1) * kColumns + quad % (kColumns - 1);
                if (f % 2 == 0) abc.insert(abc.end(), {uint16_t(at), uint16_t(at + 1), uint16_t(at + kColumns)});
                else abc.insert(abc.end(), {uint16_t(at + 1), uint16_t(at + kColumns + 1), uint16_t(at + kColumns)});
            }
            w.FacesBegin(abc).End();
            w.Mapping(uv);
        }
        w.End().End();
    }
    w.End().End();
    return w.bytes();
}

// Replaces the link name in folder by a file of bytes; false when it cannot be written.
bool Replace(const std::string& folder, const char* name, const std::vector<uint8_t>& bytes) {
    const std::string path = folder + "/" + name;
    FILE* file = unlink(path.c_str()) == 0 ? std::fopen(path.c_str(), "wb") : nullptr;
    const bool written = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return (file == nullptr || std::fclose(file) == 0) && written;
}

// Fills folder with links to the show's files, its pictures, song and objects replaced by
// the largest the loaders take (noise, so nothing about them is cheap). False when a file
// cannot be made.
bool MakeWorstDataFolder(const std::string& folder) {
    if (std::system(("ln -s '" + kShowData + "'/* '" + folder + "'").c_str()) != 0) return false;
    std::vector<uint8_t> rgba(size_t(kLargestPictureSide) * kLargestPictureSide * 4);
    uint32_t seed = 1;
    for (uint8_t& byte : rgba) byte = uint8_t(NextNoise(&seed) >> 24);
    for (const char* name : kPictures) {
        const std::string path = folder + "/" + name;
        std::string error;
        if (unlink(path.c_str()) != 0 ||
            !WriteFramePng(path.c_str(), kLargestPictureSide, kLargestPictureSide, rgba.data(), &error))
            return false;
    }
    for (const auto& file : kObjectFiles)
        if (!Replace(folder, file.file, LargestObjectFile(file.objects))) return false;
    return Replace(folder, "funk.it", LargestModule());
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
