// Full screen toggled while the show plays in a shown window, in lockstep: the frames drawn
// after the toggle (at the show's size, scaled to the monitor) are the frames a run drawn
// off screen gives at the same song positions, so textures and state survive it; and the
// overlay, shown throughout, is in none of the screenshots.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/sdl/win32_test.h"
#include "player/viewer/viewer.h"
#include "show/show_state.h"
#include "tests/support/frame_match.h"
#include "tests/support/picture.h"
#include "tests/support/show_program.h"
#include "tests/support/test_paths.h"

namespace {

constexpr int kFromOrder = 15;
// A screenshot windowed, full screen turned on, one full screen, full screen off, one windowed.
const SongPosition kShots[] = {{15, 4}, {15, 12}, {15, 20}};
constexpr const char kPositions[] = "15:4,15:12,15:20";

long long Key() {
    return PositionKey(syncState.order.load(std::memory_order_relaxed), syncState.row.load(std::memory_order_relaxed));
}

TEST(ViewerScreen, FullScreenToggleKeepsTheFramesAndScreenshotsLeaveTheOverlayOut) {
    ASSERT_EQ(MissingShowData(), "") << "the generated data is needed";
    ASSERT_TRUE(win32test::HasScreen()) << "no display: run under scripts/helpers/with-display.sh";
    const std::string work = Output("mktemp -d /tmp/orangefunk-toggle.XXXXXX | tr -d '\\n'");
    ASSERT_FALSE(work.empty());
    const std::string reference = work + "/reference", shots = work + "/shots";
    setenv("XDG_PICTURES_DIR", shots.c_str(), 1);
    ASSERT_EQ(RunShowProgram(ORANGEFUNK_PROGRAM,
                             "--from " + std::to_string(kFromOrder) + " --frames " + Quote(reference) + " --at " +
                                 kPositions,
                             work + "/reference.log"),
              0)
        << Output("cat " + Quote(work + "/reference.log"));

    const std::string dataDir = ShowDataDir();
    ASSERT_EQ(chdir(dataDir.c_str()), 0) << dataDir;
    const std::string fromText = std::to_string(kFromOrder);
    const char* args[] = {"--window", "--from", fromText.c_str()};
    PlayOptions options;
    std::string error;
    ASSERT_TRUE(ParsePlayOptions(3, args, &options, &error)) << error;
    host::Desc host = StartingDesc(options);
    host.lockstepMusic = true;
    host.framePacing = false;
    host.messageBox = [](const char*, const char*) {};
    // Keys go in from the frames' hook, each taken by the next frame: the overlay on, then
    // at each position a screenshot, and full screen toggled from the frame after it.
    size_t shot = 0;
    bool overlayAsked = false, toggleNext = false, closed = false, fullscreenSeen = false;
    host.present = [&] {
        host::AdvanceMusic(kAudioFramesPerVideoFrame, nullptr);
        fullscreenSeen = fullscreenSeen || host::Fullscreen();
        if (!overlayAsked) {
            win32test::InjectKeyDown(VK_TAB);
            overlayAsked = true;
        } else if (toggleNext) {
            win32test::InjectKeyDown('F');
            toggleNext = false;
        } else if (shot < std::size(kShots) && Key() >= PositionKey(kShots[shot].order, kShots[shot].row)) {
            win32test::InjectKeyDown('S');
            toggleNext = ++shot < std::size(kShots);
        } else if (shot == std::size(kShots) && !closed) {
            win32test::InjectClose();
            closed = true;
        }
    };
    Viewer viewer;
    viewer.Begin(options, &host);
    viewer.Play();

    EXPECT_TRUE(fullscreenSeen) << "full screen never came on";
    for (const SongPosition& position : kShots) {
        char name[32];
        std::snprintf(name, sizeof name, "%02d-%03d.png", position.order, position.row);
        Picture actual, expected;
        ASSERT_TRUE(ReadPicture(shots + "/orangefunk-" + name, &actual)) << "no screenshot at " << name;
        ASSERT_TRUE(ReadPicture(reference + "/frame-" + name, &expected)) << reference << "/frame-" << name;
        EXPECT_EQ(actual.width, expected.width) << name;
        std::string figures;
        EXPECT_TRUE(ThumbnailsMatch(Thumbnail(actual), Thumbnail(expected), &figures)) << name << ": " << figures;
    }
}

}  // namespace
