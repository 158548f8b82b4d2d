// LoadObject throughput on a generated 3DS file of one 50,000-vertex object.
//
// The reader prints a trace line per chunk to standard output; during the timed loop file
// descriptor 1 is pointed at /dev/null (and restored for the report), so the figure is the
// reader's, not the terminal's.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "import/import.h"
#include "tests/kit/chunk_writer.h"

namespace {

constexpr int kGridColumns = 250;
constexpr int kGridRows = 200;  // 50,000 vertices
constexpr int kMaxFaces = 65000;  // a face list's count is 16-bit

// Writes a grid object "Grid" (vertices, faces, mapping) after a decoy object, returns its path.
std::string WriteGridFile() {
    std::vector<float> xyz, uv;
    std::vector<uint16_t> abc;
    for (int r = 0; r < kGridRows; ++r) {
        for (int c = 0; c < kGridColumns; ++c) {
            xyz.insert(xyz.end(), {static_cast<float>(c), static_cast<float>(r), 0.5f});
            uv.insert(uv.end(), {c / float(kGridColumns), r / float(kGridRows)});
        }
    }
    for (int r = 0; r + 1 < kGridRows && abc.size() < 3 * kMaxFaces; ++r) {
        for (int c = 0; c + 1 < kGridColumns && abc.size() < 3 * kMaxFaces; ++c) {
            const uint16_t v = static_cast<uint16_t>(r * kGridColumns + c);
            abc.insert(abc.end(), {v, static_cast<uint16_t>(v + 1),
                                   static_cast<uint16_t>(v + kGridColumns)});
        }
    }
    ChunkWriter w;
    w.Begin(0x4D4D).Begin(0x3D3D);
    w.Begin(0x4000).String("Decoy").Begin(0x4100).Vertices({0, 0, 0}).End().End();
    w.Begin(0x4000).String("Grid").Begin(0x4100);
    w.Vertices(xyz).FacesBegin(abc).End().Mapping(uv);
    w.End().End().End().End();
    const std::string path =
        (std::filesystem::temp_directory_path() / "bench_import_grid.3ds").string();
    w.Save(path);
    return path;
}

void BM_LoadObject(benchmark::State& state) {
    const std::string path = WriteGridFile();
    const auto bytes = static_cast<int64_t>(std::filesystem::file_size(path));
    std::fflush(stdout);
    const int savedStdout = dup(1);
    const int devNull = open("/dev/null", O_WRONLY);
    if (savedStdout < 0 || devNull < 0 || dup2(devNull, 1) < 0) {
        state.SkipWithError("cannot point stdout at /dev/null");
        return;
    }
    close(devNull);
    int32_t vertices = 0;
    for (auto _ : state) {
        ObjectData data;
        LoadObject(&data, path.c_str(), "Grid");
        vertices = data.vertexCount;
        benchmark::DoNotOptimize(data.vertices.data());
    }
    std::fflush(stdout);
    dup2(savedStdout, 1);
    close(savedStdout);
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["vertices"] = vertices;
    state.counters["file_bytes"] = static_cast<double>(bytes);
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadObject)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
