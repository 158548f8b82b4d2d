// rand and srand of the page's and Windows' builds with the sequence of Linux's C library
// (an additive generator, r[i] = r[i-3] + r[i-31], seeded by a multiplicative one), in
// place of emscripten's and MinGW's: the same seed gives the same show in every build.
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kLag = 34;        // values kept: the longest lag, 31, plus the 3 seed copies
constexpr int kDiscarded = 310; // outputs thrown away after seeding

struct AdditiveGenerator {
    int32_t ring[kLag];
    int next = 0;  // index of the next value in the sequence, modulo kLag
    bool seeded = false;

    void Seed(unsigned seed) {
        int32_t r[kLag];
        r[0] = int32_t(seed);
        for (int i = 1; i < 31; ++i) {
            // 16807 * r[i-1] mod (2^31 - 1), without overflow.
            const int64_t product = int64_t(16807) * r[i - 1] % 2147483647;
            r[i] = int32_t(product < 0 ? product + 2147483647 : product);
        }
        for (int i = 31; i < kLag; ++i) r[i] = r[i - 31];
        for (int i = 0; i < kLag; ++i) ring[i] = r[i];
        next = 0;  // value kLag of the sequence, modulo kLag
        seeded = true;
        for (int i = 0; i < kDiscarded; ++i) Step();
    }

    uint32_t Step() {
        const uint32_t value = uint32_t(ring[(next + kLag - 31) % kLag]) + uint32_t(ring[(next + kLag - 3) % kLag]);
        ring[next % kLag] = int32_t(value);
        next = (next + 1) % kLag;
        return value;
    }
};

AdditiveGenerator generator;

}  // namespace

extern "C" void srand(unsigned seed) { generator.Seed(seed); }

extern "C" int rand() {
    if (!generator.seeded) generator.Seed(1);
    return int(generator.Step() >> 1);
}
