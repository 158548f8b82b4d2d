// Runs the fuzz entry over saved inputs (files, or every file of given folders), for
// builds without libFuzzer. Exits 0 when every input ran; a finding aborts.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

// Optional, as for libFuzzer: entries with nothing to set up leave it out.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

static bool Replay(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "replay: cannot read %s\n", file.c_str());
        return false;
    }
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
    int ran = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        if (fs::is_directory(arg)) {
            for (const fs::directory_entry& e : fs::directory_iterator(arg)) {
                if (!e.is_regular_file()) continue;
                ok = Replay(e.path()) && ok;
                ++ran;
            }
        } else {
            ok = Replay(arg) && ok;
            ++ran;
        }
    }
    std::fprintf(stderr, "replay: %d inputs\n", ran);
    return ok && ran > 0 ? 0 : 1;
}
