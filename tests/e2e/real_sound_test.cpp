// The show from a late order as most people hear it: played in a window as the player
// plays it, the music through SDL audio to a sound server (scripts/helpers/with-sound.sh gives it one with a
// null sink). Every row's sync arrives in order, none skipped, in the song's time, and
// nothing reports a missing sound device.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/interface/bass.h"
#include "platform/openmpt/bass_test.h"
#include "platform/interface/host.h"
#include "platform/sdl/win32_test.h"
#include "shell/sequence.h"
#include "show/show_state.h"
#include "tests/support/test_paths.h"

namespace {

constexpr int kFromOrder = 30, kEndOrder = 33;
using Clock = std::chrono::steady_clock;

struct Row {
    int order, row;
    double seconds;  // when its sync arrived (played) or where it starts in the song (reference)
};
std::vector<Row> rows;  // written by the audio thread until the device is closed
Clock::time_point start;
long long renderedFrames = 0;  // reference: song frames rendered before the current piece

void RecordPlayed(DWORD, DWORD, DWORD data) {
    rows.push_back({int(data & 0xFFFF), int(data >> 16), std::chrono::duration<double>(Clock::now() - start).count()});
}
void RecordRendered(DWORD, DWORD, DWORD data) {
    rows.push_back({int(data & 0xFFFF), int(data >> 16), double(renderedFrames) / 44100.0});
}

// Row starts of the song from kFromOrder to kEndOrder, rendered in lockstep.
std::vector<Row> ReferenceRows() {
    rows.clear();
    renderedFrames = 0;
    host::Setup({.lockstepMusic = true, .startOrder = kFromOrder});
    BASS_Init(-1, 44100, 0, nullptr);
    const HMUSIC music = BASS_MusicLoad("funk.it", 0, 1);
    BASS_Start();
    BASS_ChannelSetSync(music, BASS_SYNC_POS, 0xFFFFFFFFu, RecordRendered);
    BASS_MusicPlay(music);
    while ((rows.empty() || rows.back().order < kEndOrder) && host::AdvanceMusic(32, nullptr) > 0)
        renderedFrames += 32;
    BASS_Free();
    host::Setup({});
    return rows;
}

}  // namespace

TEST(RealSound, ShowFromALateOrderKeepsTheSongsTimeAndEveryRow) {
    win32test::Reset();
    if (!win32test::HasScreen()) GTEST_FAIL() << "no display: run under scripts/helpers/with-display.sh";
    if (getenv("PULSE_SERVER") == nullptr) GTEST_FAIL() << "no sound server: run under scripts/helpers/with-sound.sh";
    ASSERT_EQ(chdir(ShowDataDir().c_str()), 0) << "show data not generated in " << ShowDataDir();
    win32test::RecordMessageBoxes(true);

    // Syncs are recorded from the first frame on, beside the show's own.
    bool hooked = false, silent = true;
    host::Desc desc;
    desc.windowed = true;
    desc.startOrder = kFromOrder;
    desc.present = [&] {
        if (hooked) return;
        hooked = true;
        silent = basstest::CurrentStatus().silentClock;
        start = Clock::now();
        BASS_ChannelSetSync(syncState.channel.load(), BASS_SYNC_POS, 0xFFFFFFFFu, RecordPlayed);
    };
    host::Setup(desc);
    // The parts before the start order only set up, as when the player starts there.
    OnMusicSync(0, 0, DWORD(kFromOrder));
    // Its standard error must not report a missing sound device (CTest fails on that text).
    char commandLine[] = "";
    EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT), 0);
    host::Setup({});
    EXPECT_FALSE(silent) << "the music played on the silent clock";
    std::vector<Row> played = rows;  // the sound device is closed: no more syncs
    const std::vector<Row> reference = ReferenceRows();  // ends with the first row of order 33
    size_t end = 0;
    while (end < played.size() && played[end].order < kEndOrder) ++end;
    ASSERT_LT(end, played.size()) << "order " << kEndOrder << " never arrived";
    played.resize(end + 1);
    // The played rows are the song's from the first one recorded, in order, to order 33.
    ASSERT_GT(played.size(), 100u);
    ASSERT_LE(played.size(), reference.size());
    const size_t first = reference.size() - played.size();
    for (size_t i = 0; i < played.size(); ++i)
        ASSERT_TRUE(played[i].order == reference[first + i].order && played[i].row == reference[first + i].row)
            << "sync " << i << " is order " << played[i].order << " row " << played[i].row;
    // The time between the first recorded row and order 33 is the song's (within 5%, as the
    // other end-to-end runs: a busy machine makes the output run short of samples now and then).
    const double song = reference.back().seconds - reference[first].seconds;
    const double heard = played.back().seconds - played.front().seconds;
    std::printf("order %d row %d to order %d: %.2f s heard for %.2f s of song\n", played[0].order, played[0].row,
                kEndOrder, heard, song);
    EXPECT_NEAR(heard, song, song * 0.05);
}
