// Frame matching through thumbnails: the tolerances and the comparison.
#include "tests/support/frame_match.h"

#include <cstdlib>

namespace {

// Every vertex moved by a tenth of a pixel and every colour by half a level still passes
// (at most 0.1% of pixels beyond the tolerance, a mean of 0.55); the toy scene without the
// glasses (0.6% or more, a mean of 0.8 to 2.1) or a part with another blend mode fails.
constexpr int kBlock = 8;                   // frame pixels per thumbnail pixel, each way
constexpr int kPixelTolerance = 24;         // largest channel difference (of 255) of a matching pixel
constexpr double kMaxDiffering = 0.0025;    // share of thumbnail pixels allowed beyond it
constexpr double kMaxMeanDifference = 1.0;  // mean channel difference, of 255

}  // namespace

Picture Thumbnail(const Picture& frame) {
    Picture thumb;
    thumb.width = frame.width / kBlock;
    thumb.height = frame.height / kBlock;
    thumb.rgb.resize(size_t(thumb.width) * thumb.height * 3);
    for (int y = 0; y < thumb.height; ++y)
        for (int x = 0; x < thumb.width; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < kBlock; ++dy)
                    for (int dx = 0; dx < kBlock; ++dx) sum += frame.At(x * kBlock + dx, y * kBlock + dy)[c];
                thumb.rgb[(size_t(y) * thumb.width + x) * 3 + c] = uint8_t((sum + kBlock * kBlock / 2) / (kBlock * kBlock));
            }
    return thumb;
}

bool ThumbnailsMatch(const Picture& actual, const Picture& reference, std::string* figures) {
    if (actual.width != reference.width || actual.height != reference.height) {
        *figures = "size " + std::to_string(actual.width) + "x" + std::to_string(actual.height) + ", reference " +
                   std::to_string(reference.width) + "x" + std::to_string(reference.height);
        return false;
    }
    const int pixels = actual.width * actual.height;
    int differing = 0, worst = 0, worstX = 0, worstY = 0;
    long long total = 0;
    for (int i = 0; i < pixels; ++i) {
        int largest = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = std::abs(actual.rgb[3 * i + c] - reference.rgb[3 * i + c]);
            total += d;
            if (d > largest) largest = d;
        }
        if (largest > kPixelTolerance) ++differing;
        if (largest > worst) worst = largest, worstX = i % actual.width, worstY = i / actual.width;
    }
    const double mean = double(total) / (3.0 * pixels);
    *figures = std::to_string(differing) + " of " + std::to_string(pixels) + " pixels differ by more than " +
           std::to_string(kPixelTolerance) + ", mean difference " + std::to_string(mean) + ", largest " +
           std::to_string(worst) + " at thumbnail (" + std::to_string(worstX) + ", " + std::to_string(worstY) + ")";
    return differing <= kMaxDiffering * pixels && mean <= kMaxMeanDifference;
}

