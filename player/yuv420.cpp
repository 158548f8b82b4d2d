// RGBA frames to planar YUV 4:2:0 for the video encoder, with the arithmetic of ffmpeg 5's
// scaler (libswscale: BT.601 limited range, its default bicubic chroma filter), so the
// encoder gets the very bytes it would make from the RGBA frame itself.
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "player/capture.h"

namespace {

// BT.601 weights in 1/32768, studio range: 219 steps of luma, 224 of chroma, over 255 of
// RGB. The scaler rounds these expressions the same way, in this order.
constexpr int Weight(double w, double range) { return int(w * range / 255 * (1 << 15) + 0.5); }
constexpr int kRY = Weight(0.299, 219), kGY = Weight(0.587, 219), kBY = Weight(0.114, 219);
constexpr int kRU = -Weight(0.169, 224), kGU = -Weight(0.331, 224), kBU = Weight(0.500, 224);
constexpr int kRV = Weight(0.500, 224), kGV = -Weight(0.419, 224), kBV = -Weight(0.081, 224);

constexpr int kChromaOne = 1 << 12;  // the vertical chroma filter's weights sum to this

// ROUNDED_DIV of the scaler: a / b rounded half away from zero, b > 0.
long long RoundedDiv(long long a, long long b) { return (a >= 0 ? a + (b >> 1) : a - (b >> 1)) / b; }

}  // namespace

// The chroma rows of a picture of rows lines are halved by the scaler's bicubic filter
// (B = 0, C = 0.6) with the chroma sited between each pair of lines. The weights are
// worked out in 2^53 fixed point per output row, trimmed of near-zero ends, padded to an
// even count, folded back inside the picture at its top and bottom, and normalized to
// 4096 with each tap's rounding error carried into the next.
void Yuv420Converter::MakeChromaFilter(int rows) {
    const int outRows = rows / 2;
    const long long step = ((static_cast<long long>(rows) << 16) + (outRows >> 1)) / outRows;  // 16.16
    const long long fone = 1LL << 53;
    int size = std::max(std::min(1 + (4 * rows + outRows - 1) / outRows, rows - 2), 1);
    std::vector<long long> filter(size_t(outRows) * size);
    std::vector<int> first(outRows);
    // Source and destination chroma both sit at 128/256 of a line below the ideal edge.
    long long centre = ((128 * step) >> 7) - ((128 * 0x10000LL) >> 7);  // 15.17
    const long long B = 0, C = static_cast<long long>(0.6 * (1 << 24));
    for (int i = 0; i < outRows; ++i, centre += 2 * step) {
        int row = static_cast<int>((centre - (size - 2) * (1LL << 16)) / (1 << 17));
        first[i] = row;
        for (int j = 0; j < size; ++j, ++row) {
            // Distance from the centre in 2^30 units of output lines.
            long long d = std::llabs(row * (1LL << 17) - centre) << 13;
            d = d * outRows / rows;
            long long coeff = 0;
            if (d < 1LL << 31) {
                const long long dd = (d * d) >> 30, ddd = (dd * d) >> 30;
                if (d < 1LL << 30)
                    coeff = (12 * (1 << 24) - 9 * B - 6 * C) * ddd + (-18 * (1 << 24) + 12 * B + 6 * C) * dd +
                            (6 * (1 << 24) - 2 * B) * (1LL << 30);
                else
                    coeff = (-B - 6 * C) * ddd + (6 * B + 30 * C) * dd + (-12 * B - 48 * C) * d +
                            (8 * B + 24 * C) * (1LL << 30);
            }
            filter[size_t(i) * size + j] = coeff / ((1LL << 54) / fone);  // to 1/fone
        }
    }

    // Drop leading weights while together they stay below 0.2 % of one (keeping the first
    // rows non-decreasing), and find how many trailing ones that small every row can lose.
    const double cutOff = 0.002 * double(fone);
    int minSize = 0;
    for (int i = outRows - 1; i >= 0; --i) {
        long long* f = &filter[size_t(i) * size];
        long long dropped = 0;
        for (int j = 0; j < size; ++j) {
            dropped += std::llabs(f[0]);
            if (double(dropped) > cutOff) break;
            if (i < outRows - 1 && first[i] >= first[i + 1]) break;
            std::copy(f + 1, f + size, f);
            f[size - 1] = 0;
            ++first[i];
        }
        int kept = size;
        dropped = 0;
        for (int j = size - 1; j > 0; --j) {
            dropped += std::llabs(f[j]);
            if (double(dropped) > cutOff) break;
            --kept;
        }
        minSize = std::max(minSize, kept);
    }
    taps = (minSize + 1) & ~1;

    std::vector<long long> trimmed(size_t(outRows) * taps, 0);
    for (int i = 0; i < outRows; ++i)
        for (int j = 0; j < std::min(taps, size); ++j) trimmed[size_t(i) * taps + j] = filter[size_t(i) * size + j];

    // Weights falling outside the picture go to its first or last row.
    for (int i = 0; i < outRows; ++i) {
        long long* f = &trimmed[size_t(i) * taps];
        if (first[i] < 0) {
            for (int j = 1; j < taps; ++j) {
                const int inside = std::max(j + first[i], 0);
                f[inside] += f[j];
                f[j] = 0;
            }
            first[i] = 0;
        }
        if (first[i] + taps > rows) {
            const int shift = first[i] + std::min(taps - rows, 0);
            long long beyond = 0;
            for (int j = taps - 1; j >= 0; --j) {
                if (first[i] + j >= rows) {
                    beyond += f[j];
                    f[j] = 0;
                }
            }
            for (int j = taps - 1; j >= 0; --j) f[j] = j < shift ? 0 : f[j - shift];
            first[i] -= shift;
            f[rows - 1 - first[i]] += beyond;
        }
    }

    firstRow = std::move(first);
    weights.assign(size_t(outRows) * taps, 0);
    for (int i = 0; i < outRows; ++i) {
        const long long* f = &trimmed[size_t(i) * taps];
        long long sum = 0;
        for (int j = 0; j < taps; ++j) sum += f[j];
        sum = std::max((sum + kChromaOne / 2) / kChromaOne, 1LL);
        long long error = 0;
        for (int j = 0; j < taps; ++j) {
            const long long v = f[j] + error;
            const long long w = RoundedDiv(v, sum);
            weights[size_t(i) * taps + j] = static_cast<int16_t>(w);
            error = v - w * sum;
        }
    }
}

void Yuv420Converter::Resize(int width, int height) {
    this->width = width;
    this->height = height;
    MakeChromaFilter(height);
    u.assign(size_t(width / 2) * height, 0);
    v.assign(size_t(width / 2) * height, 0);
    sums.assign(size_t(width / 2), 0);
}

namespace {

// On x86-64 the row functions are built twice, for AVX2 and for any x86-64, and the
// better one is chosen when the program loads.
#if defined(__x86_64__)
#define ROW_FUNCTION __attribute__((target_clones("avx2", "default")))
#else
#define ROW_FUNCTION
#endif

// One row of luma: Y = 16 + 219/255 of the weighted RGB, rounded the scaler's way (to
// 1/64 first, then to a whole step).
ROW_FUNCTION void LumaRow(const uint8_t* rgba, int width, uint8_t* out) {
    for (int x = 0; x < width; ++x) {
        const int r = rgba[4 * x], g = rgba[4 * x + 1], b = rgba[4 * x + 2];
        const int y64 = (kRY * r + kGY * g + kBY * b + 0x80100) >> 9;
        out[x] = static_cast<uint8_t>((y64 + 32) >> 6);
    }
}

// One row of chroma at half width: U and V of each pair of pixels' sum, in 1/128 steps
// (the scaler's 15-bit intermediate).
ROW_FUNCTION void ChromaRow(const uint8_t* rgba, int halfWidth, int16_t* u, int16_t* v) {
    for (int x = 0; x < halfWidth; ++x) {
        const uint8_t* p = rgba + 8 * x;
        const int r = p[0] + p[4], g = p[1] + p[5], b = p[2] + p[6];
        u[x] = static_cast<int16_t>(((kRU * r + kGU * g + kBU * b + 0x800200) >> 10) * 2);
        v[x] = static_cast<int16_t>(((kRV * r + kGV * g + kBV * b + 0x800200) >> 10) * 2);
    }
}

// One output chroma row from the taps input rows at in, each halfWidth long, with the
// weights w. exact: the last row, which the scaler sums exactly in 1/2^19; the others go
// its SIMD way, in 1/8 steps: each tap's product truncated, onto a start of half a step
// plus half a step for each truncation after the first. sums: halfWidth of scratch.
ROW_FUNCTION void FilterChromaRow(const int16_t* in, int halfWidth, const int16_t* w, int taps, bool exact,
                                  int16_t* sums, uint8_t* out) {
    if (!exact) {
        const int16_t start = static_cast<int16_t>((64 + 8 * (taps - 1)) >> 4);
        int16_t* sum = sums;
        for (int x = 0; x < halfWidth; ++x) sum[x] = start;
        for (int j = 0; j < taps; ++j, in += halfWidth) {
            const int weight = w[j];
            for (int x = 0; x < halfWidth; ++x) sum[x] = static_cast<int16_t>(sum[x] + ((weight * in[x]) >> 16));
        }
        for (int x = 0; x < halfWidth; ++x) out[x] = static_cast<uint8_t>(std::clamp(sum[x] >> 3, 0, 255));
    } else {
        for (int x = 0; x < halfWidth; ++x) {
            int sum = 1 << 18;
            for (int j = 0; j < taps; ++j) sum += in[size_t(j) * halfWidth + x] * w[j];
            out[x] = static_cast<uint8_t>(std::clamp(sum >> 19, 0, 255));
        }
    }
}

}  // namespace

void Yuv420Converter::Convert(const uint8_t* rgba, uint8_t* yuv) {
    const int halfWidth = width / 2;
    uint8_t* uPlane = yuv + size_t(width) * height;
    uint8_t* vPlane = uPlane + size_t(halfWidth) * (height / 2);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = rgba + size_t(height - 1 - y) * width * 4;  // bottom row first
        LumaRow(in, width, yuv + size_t(y) * width);
        ChromaRow(in, halfWidth, &u[size_t(y) * halfWidth], &v[size_t(y) * halfWidth]);
    }
    for (int row = 0; row < height / 2; ++row) {
        const size_t first = size_t(firstRow[row]) * halfWidth;
        const int16_t* w = &weights[size_t(row) * taps];
        const bool last = row == height / 2 - 1;
        FilterChromaRow(&u[first], halfWidth, w, taps, last, sums.data(), uPlane + size_t(row) * halfWidth);
        FilterChromaRow(&v[first], halfWidth, w, taps, last, sums.data(), vPlane + size_t(row) * halfWidth);
    }
}
