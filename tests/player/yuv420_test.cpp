// The capture's own RGBA to YUV 4:2:0 conversion gives the bytes ffmpeg's scaler gives for
// the same frame, so captures look the same whichever side converts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "player/capture.h"
#include "tests/support/show_program.h"

namespace {

// What ffmpeg makes of one RGBA frame, bottom row first, as a raw yuv420p frame.
std::vector<uint8_t> FfmpegYuv(const std::vector<uint8_t>& rgba, int width, int height) {
    char path[] = "/tmp/orangefunk-yuv-test-XXXXXX";
    const int fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, rgba.data(), rgba.size()), ssize_t(rgba.size()));
    close(fd);
    const std::string text = Output("ffmpeg -nostdin -v error -f rawvideo -pix_fmt rgba -s " + std::to_string(width) +
                                    "x" + std::to_string(height) + " -i " + path +
                                    " -vf vflip -pix_fmt yuv420p -f rawvideo -");
    unlink(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

TEST(Yuv420, MatchesFfmpegForNoiseAndSaturatedColours) {
    if (!CommandExists("ffmpeg")) GTEST_FAIL() << "ffmpeg is not installed (scripts/setup.sh installs it)";
    std::mt19937 random(7);
    // The show's size, a wide one and small ones where the chroma filter meets both edges.
    for (const auto& [width, height] : {std::pair{640, 480}, std::pair{1366, 8}, std::pair{6, 10}, std::pair{2, 2}}) {
        std::vector<uint8_t> rgba(size_t(width) * height * 4);
        for (size_t i = 0; i < rgba.size(); i += 4) {
            // Half the pixels noise, half pure primaries and their mixes (the clipping ends).
            const unsigned bits = random();
            for (int c = 0; c < 3; ++c) rgba[i + c] = (bits & 1) ? uint8_t(bits >> (8 + 8 * c)) : ((bits >> (1 + c)) & 1) * 255;
            rgba[i + 3] = 255;  // read back from a buffer without alpha
        }
        Yuv420Converter converter;
        converter.Resize(width, height);
        std::vector<uint8_t> ours(size_t(width) * height * 3 / 2);
        converter.Convert(rgba.data(), ours.data());
        const std::vector<uint8_t> theirs = FfmpegYuv(rgba, width, height);
        ASSERT_EQ(theirs.size(), ours.size()) << width << "x" << height;
        size_t differing = 0;
        for (size_t i = 0; i < ours.size(); ++i) differing += ours[i] != theirs[i];
        EXPECT_EQ(differing, 0u) << "of " << ours.size() << " bytes at " << width << "x" << height;
    }
}

}  // namespace
