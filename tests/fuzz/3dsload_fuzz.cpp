// Fuzz entry for the 3DS reader: lists the input's objects, then loads each of them (none
// when the reader refuses the input).
//
// The input is read as a file (MemoryFile), so the reader's own open and size check run as
// for a file on disk. The chunk trace that LoadObject prints goes to /dev/null: stdout is
// reopened there at initialisation.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "import/import.h"
#include "tests/fuzz/memory_file.h"

namespace {

// Objects loaded per input: enough for multi-object files, bounded for speed.
constexpr size_t kMaxObjectsLoaded = 8;

MemoryFile* input = nullptr;

// Aborts (a finding) when the result breaks the reader's promises to its callers.
void CheckConsistent(const ObjectData& d) {
    if (d.vertexCount < 0 || d.faceCount < 0) std::abort();
    if (d.vertices.size() != static_cast<size_t>(d.vertexCount)) std::abort();
    if (d.mapping.size() != static_cast<size_t>(d.vertexCount)) std::abort();
    if (d.faces.size() != static_cast<size_t>(d.faceCount)) std::abort();
    for (const ObjectFace& f : d.faces) {
        if (f.a < 0 || f.b < 0 || f.c < 0) std::abort();
        if (f.a >= d.vertexCount || f.b >= d.vertexCount || f.c >= d.vertexCount) std::abort();
        if (f.material != 0) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!std::freopen("/dev/null", "w", stdout)) {
        std::perror("freopen /dev/null");
        std::abort();
    }
    input = new MemoryFile("3dsload-input");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* memoryPath = input->Write(data, size);
    std::vector<ObjectSummary> objects;
    ListObjects(memoryPath, &objects);
    for (size_t i = 0; i < objects.size() && i < kMaxObjectsLoaded; ++i) {
        ObjectData result;
        LoadObject(&result, memoryPath, objects[i].name);
        CheckConsistent(result);
        if (objects.size() == 1 && (result.vertexCount != objects[0].vertexCount ||
                                     result.faceCount != objects[0].faceCount))
            std::abort();
    }
    ObjectData none;
    LoadObject(&none, memoryPath, "");
    CheckConsistent(none);
    return 0;
}
