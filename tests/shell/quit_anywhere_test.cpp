// Escape, a window close or a terminal interrupt during any part or the final scene, in
// lockstep play through the real display: the show ends within two frames, restores the
// desktop mode, stops and frees the music, says "Done!" and WinMain returns 0.
#include <gtest/gtest.h>
#include <signal.h>

#include <string>
#include <tuple>

#include "platform/openmpt/bass_test.h"
#include "platform/interface/host.h"
#include "platform/sdl/win32_test.h"
#include "app/app.h"
#include "shell/sequence.h"
#include "show/show_state.h"
#include "tests/support/show_data_folder.h"

namespace {

struct Place {
    const char* name;
    int order;  // the song order it starts at
    int end;    // the order at which the next one takes over
};
const Place kPlaces[] = {{"Title", 0, 3},          {"MorphingBall", 3, 9}, {"SnakingTube", 9, 15},
                         {"SpinningSpiral", 15, 18}, {"ToyScene", 18, 23},   {"InfiniteZoom", 23, 26},
                         {"Greetings", 26, 28},      {"FinalScene", 28, 33}};

enum class Input { Escape, Close, Interrupt };
const char* const kInputNames[] = {"Escape", "Close", "Interrupt"};

// Readable parameters in the test list (CTest names show them).
void PrintTo(const Place& place, std::ostream* out) { *out << place.name; }
void PrintTo(Input input, std::ostream* out) { *out << kInputNames[int(input)]; }

constexpr int kInputAtFrame = 20;  // a third of a second into the place
constexpr int kFrameSamples = 44100 / 60;

class QuitAnywhere : public ShowDataFolder, public ::testing::WithParamInterface<std::tuple<Place, Input>> {
protected:
    static void SetUpTestSuite() {
        ShowDataFolder::SetUpTestSuite();
        host::CatchInterrupts(nullptr);
    }
    void SetUp() override {
        ShowDataFolder::SetUp();
        if (HasFatalFailure()) return;
        win32test::Reset();
        if (!win32test::HasScreen()) GTEST_FAIL() << "no display: run under scripts/helpers/with-display.sh";
        // As the player starts a show at a later order: the parts before it only set up.
        OnMusicSync(0, 0, DWORD(std::get<0>(GetParam()).order));
        win32test::RecordMessageBoxes(true);
        quitSeen = 0;
    }
    void TearDown() override {
        win32test::Reset();
        OnMusicSync(0, 0, 0);
        quitSeen = 0;
    }
};

TEST_P(QuitAnywhere, EndsWithinTwoFramesAndTearsDown) {
    const auto [place, input] = GetParam();
    int presents = 0, inputAt = 0, orderAtInput = -1;
    host::Desc desc;
    desc.windowed = desc.hidden = desc.lockstepMusic = true;
    desc.windowWidth = 160;
    desc.windowHeight = 120;
    desc.framePacing = false;
    desc.startOrder = place.order;
    desc.present = [&, input = input] {
        ++presents;
        host::AdvanceMusic(kFrameSamples, nullptr);
        if (presents != kInputAtFrame) return;
        inputAt = presents;
        orderAtInput = syncState.order.load();
        if (input == Input::Escape) win32test::InjectKeyDown(VK_ESCAPE);
        if (input == Input::Close) win32test::InjectClose();
        if (input == Input::Interrupt) raise(SIGINT);
    };
    host::Setup(desc);
    char commandLine[] = "";
    EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT), 0);

    ASSERT_EQ(inputAt, kInputAtFrame) << "the show ended before the input";
    EXPECT_GE(orderAtInput, place.order);
    EXPECT_LT(orderAtInput, place.end);
    EXPECT_LE(presents - inputAt, 2);
    EXPECT_EQ(quitSeen, 1);
    ASSERT_EQ(win32test::RecordedMessageBoxes().size(), 1u) << "an error box came before \"Done!\"";
    EXPECT_EQ(win32test::RecordedMessageBoxes()[0].text, "Done!");
    EXPECT_FALSE(win32test::CurrentDisplayMode().fullscreen);
    EXPECT_GE(win32test::CurrentDisplayMode().desktopRestores, 1);
    const basstest::Status music = basstest::CurrentStatus();
    EXPECT_FALSE(music.started);
    EXPECT_FALSE(music.playing);
    EXPECT_FALSE(music.initialised);
}

INSTANTIATE_TEST_SUITE_P(
    EveryPart, QuitAnywhere,
    ::testing::Combine(::testing::ValuesIn(kPlaces),
                       ::testing::Values(Input::Escape, Input::Close, Input::Interrupt)),
    [](const ::testing::TestParamInfo<std::tuple<Place, Input>>& info) {
        return std::string(std::get<0>(info.param).name) + "_" + kInputNames[int(std::get<1>(info.param))];
    });

}  // namespace
