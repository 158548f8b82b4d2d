// The browser build's picture against the native program's: at a song position in every
// part and the final scene, the frame the page holds in lockstep (in the browser that
// ORANGEFUNK_WEB_BROWSER names to the page's driver: headless Chromium on SwiftShader, or
// Firefox ESR on Mesa) matches the frame --frames writes (Mesa) from the same start, as
// thumbnails within the reference frames' tolerance (the two may round edges differently).
// A jump by the page's seek bar gives the page's frame of a start at that order.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/frame_match.h"
#include "tests/support/picture.h"
#include "tests/support/show_program.h"

namespace {

// The title, the morphing ball, the tube, the spiral, the toy scene, the zoom, the
// greetings (from the order before theirs, as their set-up needs) and the final scene.
struct Position {
    int from, order, row;
};
constexpr Position kPositions[] = {
    {1, 1, 21},   {4, 4, 32},   {9, 9, 16},   {15, 15, 32},
    {18, 18, 32}, {23, 23, 16}, {25, 26, 4},  {28, 28, 16},
};
// Reached from the start by the seek bar's mark of its order; kPositions starts there too.
constexpr Position kJumpedTo = {9, 9, 16};

std::string Name(const char* prefix, const Position& p) {
    char name[32];
    std::snprintf(name, sizeof name, "%s-%02d-%03d.png", prefix, p.order, p.row);
    return name;
}

TEST(BrowserFrames, MatchTheNativeFramesInEveryPart) {
    ASSERT_EQ(access(ORANGEFUNK_WEB_DIR "/orangefunk.wasm", R_OK), 0)
        << "no browser build in " ORANGEFUNK_WEB_DIR ": scripts/web.sh builds it (scripts/test.sh runs it first)";
    char pattern[] = "/tmp/orangefunk-web-frames-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    std::string positions;
    for (const Position& p : kPositions)
        positions += " " + std::to_string(p.from) + "/" + std::to_string(p.order) + ":" + std::to_string(p.row);
    positions += " jump/" + std::to_string(kJumpedTo.order) + ":" + std::to_string(kJumpedTo.row);
    const std::string page = "node " ORANGEFUNK_PAGE_DRIVER " " ORANGEFUNK_WEB_DIR " frames " + Quote(dir) + positions;
    ASSERT_EQ(std::system((page + " >" + Quote(dir + "/page.log") + " 2>&1").c_str()), 0)
        << Output("cat " + Quote(dir + "/page.log"));

    bool matched = true;
    for (const Position& p : kPositions) {
        SCOPED_TRACE(Name("frame", p) + " from order " + std::to_string(p.from));
        const std::string at = std::to_string(p.order) + ":" + std::to_string(p.row);
        ASSERT_EQ(RunShowProgram(ORANGEFUNK_PROGRAM,
                                 "--from " + std::to_string(p.from) + " --frames " + Quote(dir) + " --at " + at,
                                 dir + "/native.log"),
                  0)
            << Output("cat " + Quote(dir + "/native.log"));
        Picture web, native;
        ASSERT_TRUE(ReadPicture(dir + "/" + Name("web", p), &web));
        ASSERT_TRUE(ReadPicture(dir + "/" + Name("frame", p), &native));
        std::string figures;
        const bool match = ThumbnailsMatch(Thumbnail(web), Thumbnail(native), &figures);
        std::printf("%s from order %d: %s\n", Name("frame", p).c_str(), p.from, figures.c_str());
        if (match) continue;
        matched = false;
        ADD_FAILURE() << figures << "; the two frames are in " << dir;
    }
    Picture jumped, started;
    ASSERT_TRUE(ReadPicture(dir + "/" + Name("web-jump", kJumpedTo), &jumped));
    ASSERT_TRUE(ReadPicture(dir + "/" + Name("web", kJumpedTo), &started));
    std::string figures;
    const bool same = ThumbnailsMatch(Thumbnail(jumped), Thumbnail(started), &figures);
    std::printf("%s after a jump by the seek bar: %s, %s\n", Name("web", kJumpedTo).c_str(), figures.c_str(),
                jumped.rgb == started.rgb ? "pixel for pixel the same" : "not pixel for pixel the same");
    if (!same) {
        matched = false;
        ADD_FAILURE() << "the seek bar's jump to order " << kJumpedTo.order << " differs from ?from: " << figures;
    }
    if (matched && std::getenv("ORANGEFUNK_KEEP_WEB_FRAMES") == nullptr) std::system(("rm -rf " + Quote(dir)).c_str());
}

}  // namespace
