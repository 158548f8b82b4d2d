// A second rasterizer keeps the show's picture from depending on one's quirks: Mesa's
// softpipe draws what llvmpipe draws, compared as the reference frames are (80x60 thumbnails
// of 8x8 means, within their tolerance). The reference frames themselves are checked on the
// whole-show capture (tests/player/capture).
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

struct Position {
    int order, row;
};

std::string FileName(const Position& p) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%02d-%03d.png", p.order, p.row);
    return name;
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
