// make_music: composes the soundtrack and writes it as an Impulse Tracker module.
#include "assets/music/music.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_music <output.it>\n");
        return 2;
    }
    const std::vector<uint8_t> bytes = music::WriteModule(music::ComposeSong());
    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "make_music: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
