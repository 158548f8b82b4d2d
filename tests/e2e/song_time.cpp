// Prints the time, in seconds from the start of a module, at which a song order is first
// reached: the reference for the end-to-end runs. Exits 3 when the song never reaches it.
// Usage: song_time MODULE ORDER
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <libopenmpt/libopenmpt.hpp>
#include <sstream>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: song_time MODULE ORDER\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "song_time: cannot open %s\n", argv[1]);
        return 1;
    }
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::ostringstream log;
    openmpt::module module(bytes, log);
    const int wanted = std::atoi(argv[2]);
    constexpr int kRate = 44100, kPiece = 32;
    int16_t buffer[2 * kPiece];
    long long position = 0;
    for (;;) {
        const long long got = module.read_interleaved_stereo(kRate, kPiece, buffer);
        if (got < kPiece) {
            std::fprintf(stderr, "song_time: %s ends before order %d\n", argv[1], wanted);
            return 3;
        }
        if (module.get_current_order() >= wanted) break;
        position += got;
    }
    std::printf("%.3f\n", double(position) / kRate);
    return 0;
}
