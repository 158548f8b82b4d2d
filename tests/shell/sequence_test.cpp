// The demo sequence with a scripted song position or the music in lockstep, drawing into
// test renderers: the final loop's frame and fade, a quit, the whole show, and
// the skipped show when no renderer can be made.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "parts/parts.h"
#include "platform/interface/bass.h"
#include "platform/openmpt/bass_test.h"
#include "platform/interface/host.h"
#include "platform/sdl/win32_test.h"
#include "app/app.h"
#include "shell/sequence.h"
#include "show/show_state.h"
#include "tests/kit/recording_renderer.h"
#include "tests/support/show_data_folder.h"

namespace {

constexpr int kFrameSamples = 44100 / 60;  // music advanced per frame in lockstep

void SetPosition(int order, int row) { OnMusicSync(0, 0, DWORD(order) | (DWORD(row) << 16)); }
int Order() { return syncState.order.load(); }
int Row() { return syncState.row.load(); }

// What a frame saw when it was presented.
struct Shown {
    int order, row;
    float fade;
};

class GraphicsSystemProbe : public GraphicsSystem {
public:
    int shutdowns = 0;
    Display* CreateDisplay(int, int, int) override { return nullptr; }
    void Shutdown() override { ++shutdowns; }
};

// Runs in the data folder with the shared assets loaded.
class ShowSequence : public ShowDataFolder {
protected:
    void SetUp() override {
        ShowDataFolder::SetUp();
        if (HasFatalFailure()) return;
        SetPosition(0, 0);
        fadeLevel = 1.0f;
        quitSeen = 0;
        win32test::Reset();
    }
    void TearDown() override {
        quitSeen = 0;
        win32test::Reset();
        renderer = nullptr;
    }
};

}  // namespace

TEST(SyncCallback, RowFromHighBitsOrderFromLowBits) {
    OnMusicSync(7, 9, (32u << 16) | 5u);
    EXPECT_EQ(Row(), 32);
    EXPECT_EQ(Order(), 5);
    OnMusicSync(0, 0, 0xFFFFFFFFu);  // unsigned: no sign from the top bit
    EXPECT_EQ(Row(), 65535);
    EXPECT_EQ(Order(), 65535);
    SetPosition(0, 0);
}

TEST_F(ShowSequence, FinalLoopFramesFadeOverOrder32AndEndAt33) {
    // Song position for each following frame.
    const std::vector<std::pair<int, int>> script = {{31, 100}, {32, 0}, {32, 64}, {32, 127}, {33, 0}};
    HookedRenderer<RecordingRenderer> screen;
    std::vector<Shown> shown;
    screen.onPresent = [&](int presents) {
        shown.push_back(Shown{Order(), Row(), fadeLevel});
        if (presents > int(script.size())) {
            PostQuitMessage(0);  // the loop should have ended: fail below, don't hang
            return;
        }
        SetPosition(script[presents - 1].first, script[presents - 1].second);
    };
    renderer = &screen;
    SetPosition(31, 0);
    RunFinalLoop();

    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[0].fade, 1.0f);  // before order 32
    EXPECT_EQ(shown[1].fade, 1.0f);
    EXPECT_EQ(shown[2].fade, 1.0f);  // order 32, row 0
    EXPECT_EQ(shown[3].fade, 0.5f);  // row 64
    EXPECT_EQ(shown[4].fade, 1.0f / 128.0f);  // row 127

    // Every frame: blend 15, both units on, envmap on unit 1, plettet on unit 0, the
    // scene, Present, Clear, then the background fill of the next frame.
    const std::vector<std::string> ops = screen.Ops();
    std::vector<size_t> frameStarts;
    for (size_t i = 0; i < screen.calls.size(); ++i)
        if (ops[i] == "SetBlendMode" && screen.calls[i].args[0] == 15) frameStarts.push_back(i);
    ASSERT_EQ(frameStarts.size(), 5u);
    EXPECT_EQ(frameStarts[0], 0u);
    frameStarts.push_back(screen.calls.size());
    for (size_t f = 0; f + 1 < frameStarts.size(); ++f) {
        SCOPED_TRACE("frame " + std::to_string(f));
        const size_t at = frameStarts[f];
        ASSERT_GE(frameStarts[f + 1] - at, 7u);
        EXPECT_EQ(ops[at + 1], "SetState");
        EXPECT_EQ(screen.calls[at + 1].args, (std::vector<int>{6, 2}));
        EXPECT_EQ(ops[at + 2], "BindTexture1");
        EXPECT_EQ(screen.calls[at + 2].args[0], sharedAssets.envmapTexture);
        EXPECT_EQ(ops[at + 3], "BindTexture0");
        EXPECT_EQ(screen.calls[at + 3].args[0], sharedAssets.plettetTexture);
        size_t present = at;
        while (present < frameStarts[f + 1] && ops[present] != "Present") ++present;
        ASSERT_LT(present + 2, frameStarts[f + 1]);
        EXPECT_EQ(ops[present + 1], "Clear");
        // The fill after Clear is drawn in the background colour.
        bool filled = false;
        for (size_t i = present + 2; i < frameStarts[f + 1]; ++i)
            for (const ScreenVertex& v : screen.calls[i].vertices)
                filled |= v.red == 0.9453125f && v.green == 0.7109375f && v.blue == 0.02734375f;
        EXPECT_TRUE(filled);
    }
}

TEST_F(ShowSequence, MusicInLockstepCarriesTheShowThroughEveryPartToOrder33) {
    host::Setup({.lockstepMusic = true});
    HookedRenderer<CountingRenderer> screen;
    std::vector<int> orders;
    screen.onPresent = [&](int) {
        orders.push_back(Order());
        // A song too short for the show would never end it: quit instead.
        if (host::AdvanceMusic(kFrameSamples, nullptr) < kFrameSamples && !quitSeen) {
            ADD_FAILURE() << "the song ended at order " << Order();
            PostQuitMessage(0);
        }
    };
    renderer = &screen;
    StartMusic();
    PlayMusic();
    EXPECT_TRUE(basstest::CurrentStatus().playing);
    RunParts();
    const int partFrames = int(orders.size());
    RunFinalLoop();
    EXPECT_EQ(Order(), 33);
    TearDownShow();

    // The order only rises, every order 0..32 is on screen, and the parts' frames stop
    // at order 28, where the final loop takes over.
    ASSERT_GT(partFrames, 0);
    for (size_t i = 1; i < orders.size(); ++i) ASSERT_LE(orders[i - 1], orders[i]);
    for (int order = 0; order <= 32; ++order)
        EXPECT_NE(std::find(orders.begin(), orders.end(), order), orders.end()) << order;
    EXPECT_EQ(orders[partFrames - 1], 27);
    EXPECT_EQ(orders[partFrames], 28);
    EXPECT_EQ(orders.back(), 32);
    EXPECT_LT(fadeLevel, 1.0f);
}

TEST_F(ShowSequence, QuitDuringPartTwoSkipsTheRestAndStillStopsTheMusic) {
    host::Setup({.lockstepMusic = true});
    HookedRenderer<CountingRenderer> screen;
    int presentsAtQuit = -1;
    screen.onPresent = [&](int presents) {
        host::AdvanceMusic(kFrameSamples, nullptr);
        // The quit arrives while the second part (orders 3 to 8) is on screen.
        if (presentsAtQuit < 0 && Order() == 4) {
            PostQuitMessage(0);
            presentsAtQuit = presents;
        }
    };
    renderer = &screen;
    GraphicsSystemProbe probe;
    graphicsSystem = &probe;
    LoadSharedAssets();
    StartMusic();
    PlayShow();
    // Parts 3 to 7 and the final loop drew nothing; the song is still on order 4.
    ASSERT_GT(presentsAtQuit, 0);
    EXPECT_EQ(screen.presents, presentsAtQuit);
    EXPECT_EQ(Order(), 4);
    EXPECT_EQ(fadeLevel, 1.0f);
    EXPECT_TRUE(basstest::CurrentStatus().playing);
    TearDownShow();
    EXPECT_EQ(probe.shutdowns, 1);
    const basstest::Status music = basstest::CurrentStatus();
    EXPECT_FALSE(music.initialised);
    EXPECT_FALSE(music.started);
    EXPECT_FALSE(music.playing);
    graphicsSystem = nullptr;
}

// Without a usable renderer (the display cannot open, or lacks multitexturing) the show is
// skipped: nothing is loaded (the files are not here) and no music starts.
TEST(ShowWithoutRenderer, GoesStraightToTearDown) {
    win32test::Reset();
    win32test::RecordMessageBoxes(true);
    win32test::ForceFailure(win32test::FailPoint::GetDC);
    quitSeen = 0;
    CountingRenderer stale;
    renderer = &stale;
    RunDemo(640, 480, 16);
    EXPECT_EQ(renderer, nullptr);
    // One box: the display's own report, not a second one from asking for a renderer.
    const std::vector<win32test::RecordedMessageBox>& boxes = win32test::RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "FATAL ERROR");
    win32test::Reset();
}
