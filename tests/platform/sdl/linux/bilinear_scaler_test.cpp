// The processor's full-screen scaling against bilinear filtering worked out in doubles:
// upright, edges clamped, each pixel within a few 1/255 steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/sdl/linux/bilinear_scaler.h"

namespace {

// Channel c of the target pixel (x, y), top row first, of source (bottom row first).
double Expected(const std::vector<uint32_t>& source, int width, int height, int targetWidth, int targetHeight, int x,
                int y, int c) {
    const double u = std::clamp((x + 0.5) * width / targetWidth - 0.5, 0.0, width - 1.0);
    const double v = std::clamp((y + 0.5) * height / targetHeight - 0.5, 0.0, height - 1.0);
    const int u0 = std::min(int(u), width - 2), v0 = std::min(int(v), height - 2);
    auto texel = [&](int tu, int tv) { return double((source[size_t(height - 1 - tv) * width + tu] >> (8 * c)) & 255); };
    const double fu = u - u0, fv = v - v0;
    return (texel(u0, v0) * (1 - fu) + texel(u0 + 1, v0) * fu) * (1 - fv) +
           (texel(u0, v0 + 1) * (1 - fu) + texel(u0 + 1, v0 + 1) * fu) * fv;
}

TEST(BilinearScaler, MatchesBilinearFilteringUprightWithClampedEdges) {
    struct Case {
        int width, height, targetWidth, targetHeight;
    };
    // The show's two modes scaled by 2.25 and 1.8, small; the target rows start at an offset
    // within a wider pitch, as in a window surface.
    for (const Case& size : {Case{16, 12, 36, 27}, Case{20, 15, 36, 27}}) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        std::mt19937 random(7);
        std::vector<uint32_t> source(size_t(size.width) * size.height);
        for (uint32_t& texel : source) texel = random();
        const int pitch = (size.targetWidth + 3) * 4;
        std::vector<uint8_t> target(size_t(pitch) * size.targetHeight, 0);
        BilinearScaler scaler;
        scaler.Prepare(size.width, size.height, size.targetWidth, size.targetHeight);
        scaler.Scale(source.data(), target.data(), pitch);
        double worst = 0;
        for (int y = 0; y < size.targetHeight; ++y)
            for (int x = 0; x < size.targetWidth; ++x)
                for (int c = 0; c < 4; ++c)
                    worst = std::max(worst, std::abs(target[size_t(y) * pitch + x * 4 + c] -
                                                     Expected(source, size.width, size.height, size.targetWidth,
                                                              size.targetHeight, x, y, c)));
        EXPECT_LE(worst, 3.0);
        EXPECT_EQ(target[size_t(pitch) - 1], 0) << "wrote past the picture's width";
    }
}

}  // namespace
