// Bilinear scaling on the processor: each source row is scaled horizontally once into one
// of two lines, and every target row mixes the two lines around it.
#include "platform/native/bilinear_scaler.h"

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
inline uint32_t Mix(uint32_t a, uint32_t b, uint32_t weight) {
    const uint32_t keep = kWeightOne - weight;
    const uint32_t redBlue = (((a & 0x00ff00ffu) * keep + (b & 0x00ff00ffu) * weight) >> 8) & 0x00ff00ffu;
    const uint32_t alphaGreen = (((a >> 8) & 0x00ff00ffu) * keep + ((b >> 8) & 0x00ff00ffu) * weight) & 0xff00ff00u;
    return redBlue | alphaGreen;
}

// Where the processor has AVX2 the loops below run in its wider registers (about twice as
// fast again); the clone is picked once, when the program loads.
#define WIDER_WHERE_AVAILABLE __attribute__((target_clones("avx2", "default")))

// The same mix, byte by byte over `count` bytes: the form the compiler vectorizes.
WIDER_WHERE_AVAILABLE void MixBytes(const uint8_t* a, const uint8_t* b, uint32_t weight, uint8_t* out, int count) {
    const uint32_t keep = kWeightOne - weight;
    for (int i = 0; i < count; ++i) out[i] = uint8_t((a[i] * keep + b[i] * weight) >> 8);
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

WIDER_WHERE_AVAILABLE void BilinearScaler::ScaleLine(const uint32_t* source, int row, uint32_t* line) const {
    const uint32_t* texels = source + size_t(height - 1 - row) * size_t(width);
    for (int x = 0; x < targetWidth; ++x) {
        const Tap tap = columns[size_t(x)];
        line[x] = Mix(texels[tap.index], texels[tap.index + 1], tap.weight);
    }
}

void BilinearScaler::Scale(const uint32_t* source, uint8_t* target, int pitch) {
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
            ScaleLine(source, tap.index + slot, lines[slot].data());
            lineRow[slot] = tap.index + slot;
        }
        MixBytes(reinterpret_cast<const uint8_t*>(lines[0].data()), reinterpret_cast<const uint8_t*>(lines[1].data()),
                 tap.weight, target + size_t(y) * size_t(pitch), targetWidth * 4);
    }
}
