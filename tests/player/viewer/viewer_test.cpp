// The viewer's keys on the show in lockstep, in this process (keys injected at chosen
// frames): a pause holds the song position and the picture while frames are presented, a
// jump on to the next part gives the frames of a run started there with --from (run by the
// built program), and a screenshot is the frame --frames writes at its position. Real-time
// play of a song shorter than the show ends with the song. --loop with --to and a jump
// between its passes play in one window with one closing box. Screenshots go to the
// desktop's pictures folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/app.h"
#include "gfx/gfx.h"
#include "platform/sdl/win32_test.h"
#include "player/capture/capture.h"
#include "player/viewer/viewer.h"
#include "show/show_state.h"
#include "tests/support/frame_match.h"
#include "tests/support/picture.h"
#include "tests/support/show_program.h"
#include "tests/support/test_paths.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr int kPauseAtFrame = 10;    // Space pressed during this frame (order 8, the ball)
constexpr int kHeldFrames = 20;      // frames presented while paused
constexpr int kJumpAtFrame = 40;     // Right pressed during this frame: on to order 9
constexpr const char kPositions[] = "9:16,10:0,11:0";  // after the jump
constexpr int kFromOrder = 8, kJumpOrder = 9;
const SongPosition kShotAt{9, 16};

long long Key() {
    return PositionKey(syncState.order.load(std::memory_order_relaxed), syncState.row.load(std::memory_order_relaxed));
}

// Real-time play as the options ask for it, in a hidden window, its music moved on only by
// the test's present hook; the message boxes' texts go to boxes.
host::Desc RealTimeInLockstep(const PlayOptions& options, std::vector<std::string>* boxes) {
    host::Desc host = StartingDesc(options);
    host.hidden = true;
    host.framePacing = false;
    host.lockstepMusic = true;
    host.messageBox = [boxes](const char*, const char* text) { boxes->push_back(text); };
    return host;
}

TEST(Viewer, PauseHoldsJumpMatchesFromAndScreenshotIsTheFrame) {
    ASSERT_EQ(MissingShowData(), "") << "the generated data is needed";
    const std::string work = Output("mktemp -d /tmp/orangefunk-viewer.XXXXXX | tr -d '\\n'");
    ASSERT_FALSE(work.empty());
    const std::string jumped = work + "/jumped", from = work + "/from", shots = work + "/shots";
    setenv("XDG_PICTURES_DIR", shots.c_str(), 1);

    // The reference: the built program started at the jump's order.
    ASSERT_EQ(RunShowProgram(ORANGEFUNK_PROGRAM, "--from " + std::to_string(kJumpOrder) + " --frames " + Quote(from) +
                                                     " --at " + kPositions,
                             work + "/from.log"),
              0)
        << Output("cat " + Quote(work + "/from.log"));

    const std::string dataDir = ShowDataDir();
    ASSERT_EQ(chdir(dataDir.c_str()), 0) << dataDir;
    const std::string fromText = std::to_string(kFromOrder);
    const char* args[] = {"--from", fromText.c_str(), "--frames", jumped.c_str(), "--at", kPositions};
    PlayOptions options;
    std::string error;
    ASSERT_TRUE(ParsePlayOptions(6, args, &options, &error)) << error;
    host::Desc host = StartingDesc(options);
    OffscreenPlay play;
    ASSERT_TRUE(play.Begin(options, &host));

    // Keys pressed from the frames' hook; what each presented frame showed while paused.
    int frames = 0, held = 0;
    long long pausedKey = -1, beforeJumpKey = -1;
    std::vector<uint8_t> pausedPicture(size_t(kWidth) * kHeight * 4), picture(pausedPicture.size());
    bool heldSame = true, shotAsked = false;
    std::function<void()> offscreen = host.present;
    host.present = [&] {
        if (host::Paused()) {
            // The first present of the paused frame, then the same frame held.
            ReadBackFrame(kWidth, kHeight, picture.data());
            if (held == 0) pausedPicture = picture, pausedKey = Key();
            heldSame = heldSame && Key() == pausedKey && picture == pausedPicture;
            if (++held == kHeldFrames) win32test::InjectKeyDown(VK_SPACE);
            offscreen();
            heldSame = heldSame && Key() == pausedKey;  // the music did not move on
            return;
        }
        offscreen();  // reads the frame back and moves the music on by one frame
        ++frames;
        if (frames == kPauseAtFrame) {
            win32test::InjectKeyDown(VK_SPACE);  // taken at the next frame's start
        } else if (frames == kJumpAtFrame) {
            win32test::InjectKeyDown(VK_RIGHT);
            beforeJumpKey = Key();
        } else if (!shotAsked && syncState.order.load(std::memory_order_relaxed) == kJumpOrder &&
                   Key() >= PositionKey(kShotAt.order, kShotAt.row)) {
            win32test::InjectKeyDown('S');  // the next frame is the first at the position
            shotAsked = true;
        }
    };
    Viewer viewer;
    viewer.Begin(options, &host);
    viewer.Play();
    EXPECT_EQ(play.Finish(), 0);

    EXPECT_EQ(held, kHeldFrames);
    EXPECT_TRUE(heldSame) << "song position or picture moved while paused";
    EXPECT_LT(beforeJumpKey, PositionKey(kJumpOrder, 0)) << "the jump was pressed in order " << kFromOrder;
    for (const char* name : {"frame-09-016.png", "frame-10-000.png", "frame-11-000.png"}) {
        Picture actual, reference;
        ASSERT_TRUE(ReadPicture(jumped + "/" + name, &actual)) << jumped << "/" << name;
        ASSERT_TRUE(ReadPicture(from + "/" + name, &reference)) << from << "/" << name;
        std::string figures;
        EXPECT_TRUE(ThumbnailsMatch(Thumbnail(actual), Thumbnail(reference), &figures)) << name << ": " << figures;
    }
    Picture shot, frame;
    ASSERT_TRUE(ReadPicture(shots + "/orangefunk-09-016.png", &shot)) << "no screenshot in " << shots;
    ASSERT_TRUE(ReadPicture(jumped + "/frame-09-016.png", &frame));
    EXPECT_EQ(shot.width, kWidth);
    EXPECT_TRUE(shot.rgb == frame.rgb) << "the screenshot differs from the frame dumped at 9:16";
}

TEST(Viewer, RealTimePlayOfAShorterSongEndsWithIt) {
    // The show's song with its end marker moved to order 3, played from order 2 as real-time
    // play plays it (no --frames or --capture), its music moved on frame by frame here.
    constexpr int kEndOrder = 3, kFrameCap = 3000;  // the song's 128 rows last about 1030 frames
    ASSERT_EQ(MissingShowData(), "") << "the generated data is needed";
    const std::string data = Output("mktemp -d /tmp/orangefunk-shorter.XXXXXX | tr -d '\\n'");
    ASSERT_FALSE(data.empty());
    ASSERT_EQ(std::system(("ln -s " + Quote(ShowDataDir()) + "/* " + Quote(data) + " && rm " + Quote(data + "/funk.it")).c_str()), 0);
    std::ifstream in(ShowDataDir() + "/funk.it", std::ios::binary);
    std::string song((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(song.size(), 0xC0u + kEndOrder);
    song[0xC0 + kEndOrder] = char(0xFF);  // the order list, after the 0xC0-byte header
    std::ofstream(data + "/funk.it", std::ios::binary) << song;
    ASSERT_EQ(chdir(data.c_str()), 0);
    std::vector<int> rows;
    std::string error;
    ASSERT_TRUE(host::ReadSong("funk.it", &rows, &error)) << error;
    ASSERT_EQ(rows[kEndOrder], 0);

    const char* args[] = {"--from", "2", "--window", "--size", "160x120"};
    PlayOptions options;
    ASSERT_TRUE(ParsePlayOptions(5, args, &options, &error)) << error;
    std::vector<std::string> boxes;
    host::Desc host = RealTimeInLockstep(options, &boxes);
    int frames = 0;
    host.present = [&] {
        host::AdvanceMusic(kAudioFramesPerVideoFrame, nullptr);
        if (++frames == kFrameCap) PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    };
    quitSeen = 0;  // the show of the test before ended with a quit
    testing::internal::CaptureStderr();
    Viewer viewer;
    viewer.Begin(options, &host);
    viewer.Play();
    const std::string said = testing::internal::GetCapturedStderr();
    std::system(("rm -rf " + Quote(data)).c_str());

    EXPECT_LT(frames, kFrameCap) << "the show went on waiting after the song's end";
    const std::string where = "order 2 row " + std::to_string(rows[2] - 1);
    EXPECT_NE(said.find("the song ended at " + where + ", before the show's end"), std::string::npos) << said;
    EXPECT_EQ(boxes, std::vector<std::string>{"Done!"});
}

TEST(Viewer, LoopWithToAndAJumpPlayInOneWindowWithOneClosingBox) {
    ASSERT_EQ(MissingShowData(), "") << "the generated data is needed";
    ASSERT_EQ(chdir(ShowDataDir().c_str()), 0);
    const char* args[] = {"--from", "31", "--to", "31:4", "--loop", "--window", "--size", "160x120"};
    PlayOptions options;
    std::string error;
    ASSERT_TRUE(ParsePlayOptions(8, args, &options, &error)) << error;
    std::vector<std::string> boxes;
    host::Desc host = RealTimeInLockstep(options, &boxes);
    // A pass starts where the song position goes back; the second is sent back one order
    // (PageUp), the fifth ended with Escape.
    constexpr int kPasses = 5, kFrameCap = 5000;
    std::vector<int> passStarts;
    long long previous = -1;
    int frames = 0;
    host.present = [&] {
        if (Key() < previous || previous < 0) passStarts.push_back(syncState.order.load(std::memory_order_relaxed));
        previous = Key();
        host::AdvanceMusic(kAudioFramesPerVideoFrame, nullptr);
        if (passStarts.size() == 2 && Key() == PositionKey(31, 2)) win32test::InjectKeyDown(VK_PRIOR);
        if (passStarts.size() == kPasses || ++frames == kFrameCap) win32test::InjectKeyDown(VK_ESCAPE);
    };
    quitSeen = 0;  // the show of the test before ended with a quit
    win32test::ClearCallLog();
    Viewer viewer;
    viewer.Begin(options, &host);
    viewer.Play();

    EXPECT_LT(frames, kFrameCap);
    EXPECT_EQ(passStarts, (std::vector<int>{31, 31, 30, 31, 31}));
    const std::vector<std::string>& calls = win32test::CallLog();
    for (const char* call : {"CreateWindowExA", "wglCreateContext"})
        EXPECT_EQ(std::count(calls.begin(), calls.end(), call), 1) << call;
    EXPECT_EQ(boxes, std::vector<std::string>{"Done!"});
}

TEST(Viewer, ScreenshotsGoToTheDesktopsPicturesFolder) {
    const std::string home = Output("mktemp -d /tmp/orangefunk-home.XXXXXX | tr -d '\\n'");
    ASSERT_FALSE(home.empty());
    const char* kept[] = {"HOME", "XDG_CONFIG_HOME", "XDG_PICTURES_DIR"};
    std::string before[3];
    for (int i = 0; i < 3; ++i) before[i] = std::getenv(kept[i]) ? std::getenv(kept[i]) : "";
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_PICTURES_DIR");
    EXPECT_EQ(PicturesFolder(), home + "/Pictures");
    ASSERT_EQ(std::system(("mkdir -p " + Quote(home + "/.config")).c_str()), 0);
    std::ofstream(home + "/.config/user-dirs.dirs") << "# written by xdg-user-dirs-update\n"
                                                    << "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                                                    << "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    EXPECT_EQ(PicturesFolder(), home + "/Bilder");
    setenv("XDG_PICTURES_DIR", "/tmp/elsewhere", 1);
    EXPECT_EQ(PicturesFolder(), "/tmp/elsewhere");
    for (int i = 0; i < 3; ++i)
        if (before[i].empty()) unsetenv(kept[i]);
        else setenv(kept[i], before[i].c_str(), 1);
    std::system(("rm -rf " + Quote(home)).c_str());
}

}  // namespace
