// Object generator entry: writes every 3DS file of the show into the given folder.
#include <cstdio>
#include <string>

#include "assets/objects/objects.h"

namespace {

constexpr const char* kDefaultFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(("make_objects: cannot create " + path).c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) std::fprintf(stderr, "make_objects: cannot write %s\n", path.c_str());
    return ok;
}

}  // namespace

// Usage: make_objects OUTPUT_DIR [FONT]
int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make_objects OUTPUT_DIR [FONT.ttf]\n");
        return 2;
    }
    const std::string dir = argv[1];
    for (const SceneFile& file : BuildShowObjects(argc == 3 ? argv[2] : kDefaultFont))
        if (!WriteFile(dir + "/" + file.fileName, Encode3ds(file))) return 1;
    return 0;
}
