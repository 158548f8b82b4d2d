// Fuzz entry for the PNG loader: decodes the input as a picture file and checks what comes
// back against the loader's promises.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "gfx/gfx.h"
#include "tests/fuzz/memory_file.h"

namespace {

MemoryFile* input = nullptr;

// Aborts (a finding) when a decoded picture breaks the loader's promises to its callers:
// a size within its limits (a side of 2048, 1 Mi pixels), 4 bytes a pixel, every row there.
void CheckPicture(const Image* image) {
    if (image == nullptr) return;
    if (image->width < 1 || image->height < 1 || image->width > 2048 || image->height > 2048) std::abort();
    if (int64_t(image->width) * image->height > (int64_t(1) << 20)) std::abort();
    if (image->pitch != image->width * 4) std::abort();
    if (image->pixels.size() < size_t(image->pitch) * size_t(image->height)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    input = new MemoryFile("png-input");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = input->Write(data, size);
    const std::unique_ptr<Image> image(LoadPng(path));
    CheckPicture(image.get());
    return 0;
}
