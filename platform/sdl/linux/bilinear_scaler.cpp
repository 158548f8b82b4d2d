// Bilinear scaling on the processor: each source row is scaled horizontally once into one
// of two lines, and every target row mixes the two lines around it.
#include "platform/sdl/linux/bilinear_scaler.h"

#include <cstddef>
#include <utility>

namespace {

constexpr uint32_t kWeightOne = 256;

// Taps for `target` samples over `source` texels: sample i's centre sits at
// (i + 0.5) * source / target - 0.5 in texel units; its two texels and the second's weight,
// clamped to the first and last texel.
void MakeTaps(int source, int target, std::vector<BilinearScaler::Tap>* taps) {
    taps->resize(size_t(target));
    for (int i = 0; i < target; ++i) {
        double at = (i + 0.5) * source / target - 0.5;
        if (at < 0) at = 0;
        if (at > source - 1) at = source - 1;
        int first = int(at);
        if (first > source - 2) first = source - 2;
        (*taps)[size_t(i)] = {first, uint32_t((at - first) * kWeightOne + 0.5)};
    }
}

// a + (b - a) * weight / 256 in each of the four bytes, two bytes at a time.
[[gnu::always_inline]] inline uint32_t Mix(uint32_t a, uint32_t b, uint32_t weight) {
    const uint32_t keep = kWeightOne - weight;
    const uint32_t redBlue = (((a & 0x00ff00ffu) * keep + (b & 0x00ff00ffu) * weight) >> 8) & 0x00ff00ffu;
    const uint32_t alphaGreen = (((a >> 8) & 0x00ff00ffu) * keep + ((b >> 8) & 0x00ff00ffu) * weight) & 0xff00ff00u;
    return redBlue | alphaGreen;
}

// The two loops below, inlined into one copy per instruction set.
// Row pass: line[x] mixes the two texels of columns[x], for count columns.
[[gnu::always_inline]] inline void ScaleRow(const uint32_t* texels, const BilinearScaler::Tap* columns, int count,
                                            uint32_t* line) {
    for (int x = 0; x < count; ++x) line[x] = Mix(texels[columns[x].index], texels[columns[x].index + 1], columns[x].weight);
}

// The same mix, byte by byte over `count` bytes: the form the compiler vectorizes.
[[gnu::always_inline]] inline void MixBytes(const uint8_t* a, const uint8_t* b, uint32_t weight, uint8_t* out,
                                            int count) {
    const uint32_t keep = kWeightOne - weight;
    for (int i = 0; i < count; ++i) out[i] = uint8_t((a[i] * keep + b[i] * weight) >> 8);
}

struct Kernels {
    void (*scaleRow)(const uint32_t*, const BilinearScaler::Tap*, int, uint32_t*);
    void (*mixBytes)(const uint8_t*, const uint8_t*, uint32_t, uint8_t*, int);
};

__attribute__((target("avx2"))) void ScaleRowAvx2(const uint32_t* texels, const BilinearScaler::Tap* columns,
                                                  int count, uint32_t* line) {
    ScaleRow(texels, columns, count, line);
}
__attribute__((target("avx2"))) void MixBytesAvx2(const uint8_t* a, const uint8_t* b, uint32_t weight, uint8_t* out,
                                                  int count) {
    MixBytes(a, b, weight, out, count);
}
void ScaleRowPlain(const uint32_t* texels, const BilinearScaler::Tap* columns, int count, uint32_t* line) {
    ScaleRow(texels, columns, count, line);
}
void MixBytesPlain(const uint8_t* a, const uint8_t* b, uint32_t weight, uint8_t* out, int count) {
    MixBytes(a, b, weight, out, count);
}

// Where the processor has AVX2 the loops run in its wider registers (about twice as fast
// again). The copy is picked here, at the first scaling, not by the dynamic loader (an
// ifunc resolver runs before a sanitizer's runtime is up, and kills such builds at start).
const Kernels& PickedKernels() {
    static const Kernels picked = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") ? Kernels{ScaleRowAvx2, MixBytesAvx2}
                                              : Kernels{ScaleRowPlain, MixBytesPlain};
    }();
    return picked;
}

}  // namespace

void BilinearScaler::Prepare(int sourceWidth, int sourceHeight, int toWidth, int toHeight) {
    if (sourceWidth == width && sourceHeight == height && toWidth == targetWidth && toHeight == targetHeight) return;
    width = sourceWidth;
    height = sourceHeight;
    targetWidth = toWidth;
    targetHeight = toHeight;
    MakeTaps(width, targetWidth, &columns);
    MakeTaps(height, targetHeight, &rows);
    for (std::vector<uint32_t>& line : lines) line.resize(size_t(targetWidth));
}

void BilinearScaler::Scale(const uint32_t* source, uint8_t* target, int pitch) {
    const Kernels& kernels = PickedKernels();
    int lineRow[2] = {-1, -1};  // the source row each line holds, top row first
    for (int y = 0; y < targetHeight; ++y) {
        const Tap tap = rows[size_t(y)];
        // Rows only move down, so the line of tap.index is either line's, or both are new.
        if (lineRow[1] == tap.index) {
            std::swap(lines[0], lines[1]);
            lineRow[0] = tap.index;
            lineRow[1] = -1;
        }
        for (int slot = 0; slot < 2; ++slot) {
            if (lineRow[slot] == tap.index + slot) continue;
            const uint32_t* texels = source + size_t(height - 1 - (tap.index + slot)) * size_t(width);
            kernels.scaleRow(texels, columns.data(), targetWidth, lines[slot].data());
            lineRow[slot] = tap.index + slot;
        }
        kernels.mixBytes(reinterpret_cast<const uint8_t*>(lines[0].data()), reinterpret_cast<const uint8_t*>(lines[1].data()),
                         tap.weight, target + size_t(y) * size_t(pitch), targetWidth * 4);
    }
}
