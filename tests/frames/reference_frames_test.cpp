// The show's picture at song positions across the seven parts and the final scene, rendered
// in lockstep by the built program (--frames) and compared with the reference thumbnails
// kept in tests/frames/reference (80x60, a few KB each). A thumbnail pixel is the mean of an
// 8x8 block of the frame, so rounding at edges barely moves it, while a wrong blend mode,
// texture or camera or a missing object changes many. With ORANGEFUNK_REFRESH_FRAMES=1 the run writes new
// references instead of comparing. A second rasterizer, Mesa's softpipe, must draw what
// llvmpipe draws within the same tolerance.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/frame_match.h"
#include "tests/support/picture.h"
#include "tests/support/show_program.h"
#include "tests/support/test_paths.h"

namespace {

// Two or three positions in every part (the title runs to order 2, the morphing ball to 8,
// the tube to 14, the spiral to 17, the toy scene to 22, the zoom to 25, the greetings to
// 27), the final scene at its start, middle and fade.
struct Position {
    int order, row;
};
constexpr Position kPositions[] = {
    {0, 10},  {1, 21},  {2, 100}, {3, 8},   {5, 32},  {8, 40},  {9, 16},  {11, 20},
    {14, 24}, {15, 8},  {17, 40}, {18, 8},  {19, 48}, {22, 16}, {23, 8},  {24, 16},
    {25, 20}, {26, 4},  {27, 24}, {28, 16}, {30, 32}, {32, 0},  {32, 120},
};

std::string FileName(const Position& p) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%02d-%03d.png", p.order, p.row);
    return name;
}

TEST(ReferenceFrames, MatchTheShowAtEverySongPosition) {
    if (const std::string missing = MissingShowData(); !missing.empty()) GTEST_FAIL() << missing;
    if (!CommandExists("Xvfb")) GTEST_FAIL() << "Xvfb is not installed (scripts/setup.sh installs it)";
    char pattern[] = "/tmp/orangefunk-reference-frames-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    std::string at;
    for (const Position& p : kPositions) at += (at.empty() ? "" : ",") + std::to_string(p.order) + ":" + std::to_string(p.row);
    ASSERT_EQ(RunShowProgram(ORANGEFUNK_PROGRAM, "--frames " + Quote(dir) + " --at " + at, dir + "/log"), 0)
        << Output("cat " + Quote(dir + "/log"));

    const char* refreshing = std::getenv("ORANGEFUNK_REFRESH_FRAMES");
    const bool refresh = refreshing != nullptr && std::string(refreshing) == "1";
    bool matched = true;
    for (const Position& p : kPositions) {
        SCOPED_TRACE(FileName(p));
        Picture frame, reference;
        ASSERT_TRUE(ReadPicture(dir + "/" + FileName(p), &frame));
        const Picture thumb = Thumbnail(frame);
        const std::string referencePath = std::string(ORANGEFUNK_REFERENCE_DIR) + "/" + FileName(p);
        if (refresh) {
            EXPECT_TRUE(WritePicture(referencePath, thumb)) << "cannot write " << referencePath;
            continue;
        }
        ASSERT_TRUE(ReadPicture(referencePath, &reference)) << "no reference " << referencePath;
        std::string difference;
        if (ThumbnailsMatch(thumb, reference, &difference)) continue;
        matched = false;
        WritePicture(dir + "/thumb-" + FileName(p), thumb);
        ADD_FAILURE() << difference << "; this run's thumbnail: " << dir << "/thumb-" << FileName(p);
    }
    if (matched) std::system(("rm -rf " + Quote(dir)).c_str());
    if (refresh) GTEST_SKIP() << "references written to " << ORANGEFUNK_REFERENCE_DIR;
}

// Mesa's softpipe (about 30 times slower than llvmpipe, and sharing none of its
// rasterizer) draws the show as llvmpipe does, so the picture comes to depend on no one
// rasterizer's quirks: the same frames, compared as thumbnails within the references'
// tolerance. In three parts, at 320x240 from the start of their order to keep it quick.
TEST(ReferenceFrames, SoftpipeDrawsWhatLlvmpipeDraws) {
    if (const std::string missing = MissingShowData(); !missing.empty()) GTEST_FAIL() << missing;
    constexpr Position kCompared[] = {{9, 16}, {22, 16}, {28, 16}};
    char pattern[] = "/tmp/orangefunk-softpipe-frames-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    bool matched = true;
    for (const Position& p : kCompared) {
        SCOPED_TRACE(FileName(p));
        Picture thumbs[2];
        for (int i = 0; i < 2; ++i) {
            const std::string driver = i == 0 ? "llvmpipe" : "softpipe";
            const std::string frames = dir + "/" + driver;
            setenv("GALLIUM_DRIVER", driver.c_str(), 1);
            const int status = RunShowProgram(ORANGEFUNK_PROGRAM,
                                              "--size 320x240 --from " + std::to_string(p.order) + " --frames " +
                                                  Quote(frames) + " --at " + std::to_string(p.order) + ":" +
                                                  std::to_string(p.row),
                                              dir + "/log");
            unsetenv("GALLIUM_DRIVER");
            ASSERT_EQ(status, 0) << driver << ": " << Output("cat " + Quote(dir + "/log"));
            Picture frame;
            ASSERT_TRUE(ReadPicture(frames + "/" + FileName(p), &frame)) << driver;
            thumbs[i] = Thumbnail(frame);
        }
        std::string difference;
        const bool match = ThumbnailsMatch(thumbs[1], thumbs[0], &difference);
        EXPECT_TRUE(match) << "softpipe against llvmpipe: " << difference << "; frames in " << dir;
        matched = matched && match;
        std::printf("%s: softpipe against llvmpipe: %s\n", FileName(p).c_str(), difference.c_str());
    }
    if (matched) std::system(("rm -rf " + Quote(dir)).c_str());
}

}  // namespace
