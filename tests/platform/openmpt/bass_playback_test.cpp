// Music stand-in: position syncs against libopenmpt's own row timing, the end of the song,
// start orders, load failures and the silent real-time clock.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <libopenmpt/libopenmpt.hpp>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/interface/bass.h"
#include "platform/openmpt/bass_music.h"
#include "platform/openmpt/bass_output.h"
#include "platform/openmpt/bass_test.h"
#include "platform/interface/host.h"
#include "tests/support/test_paths.h"

namespace {

constexpr int kRate = 44100;
constexpr int kFrameSpan = kRate / 60;  // one lockstep frame, 735 samples

struct RowStart {
    int order, row;
    long long sample;  // first sample of the row
};

// Row starts as libopenmpt reports them when rendering 8 frames at a time.
std::vector<RowStart> ReferenceRows(const std::string& path, int startOrder) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::ostringstream log;
    openmpt::module module(bytes, log, {{"play.at_end", "stop"}});
    module.set_repeat_count(0);
    module.set_position_order_row(startOrder, 0);
    std::vector<RowStart> rows;
    int16_t buffer[2 * 8];
    long long position = 0;
    for (;;) {
        const long long got = module.read_interleaved_stereo(kRate, 8, buffer);
        if (got == 0) break;
        const int order = module.get_current_order(), row = module.get_current_row();
        if (rows.empty() || rows.back().order != order || rows.back().row != row)
            rows.push_back(RowStart{order, row, position});
        position += got;
    }
    return rows;
}

struct Seen {
    int order, row;
    long long spanStart;  // first sample of the Advance call it fired in
    DWORD sync, channel;
};
// Syncs seen; the real-time test reads them while the output thread adds to them.
std::mutex seenLock;
std::vector<Seen> seen;
long long spanStart = 0;

void RecordSync(HSYNC sync, DWORD channel, DWORD data) {
    std::lock_guard<std::mutex> hold(seenLock);
    seen.push_back(Seen{int(data & 0xFFFF), int(data >> 16), spanStart, sync, channel});
}

size_t SeenCount() {
    std::lock_guard<std::mutex> hold(seenLock);
    return seen.size();
}

std::string ModulePath(const char* name) { return TestDataDir() + "/it/" + name; }

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

// The show's own module, generated with the build's data: a missing one is a failure.
std::string LongModule() { return ShowDataDir() + "/funk.it"; }

class BassLockstep : public ::testing::Test {
protected:
    void SetUp() override {
        seen.clear();
        spanStart = 0;
        host::Setup({.lockstepMusic = true});
        ASSERT_TRUE(BASS_Init(-1, kRate, 0, nullptr));
        ASSERT_TRUE(BASS_Start());
    }
    void TearDown() override {
        BASS_Stop();
        BASS_Free();
        host::Setup({});
    }
    // Loads and plays path with a sync on every row; advances frame by frame to the end.
    // Returns the frames of music rendered.
    long long PlayToEnd(const std::string& path, HMUSIC* handle, HSYNC* sync) {
        *handle = BASS_MusicLoad(path.c_str(), 0, 1);
        EXPECT_NE(*handle, 0u);
        *sync = BASS_ChannelSetSync(*handle, BASS_SYNC_POS, 0xFFFFFFFF, RecordSync);
        EXPECT_NE(*sync, 0u);
        EXPECT_TRUE(BASS_MusicPlay(*handle));
        long long total = 0;
        for (;;) {
            const int got = host::AdvanceMusic(kFrameSpan, nullptr);
            total += got;
            spanStart += kFrameSpan;
            if (got < kFrameSpan) break;
        }
        return total;
    }
};

void ExpectEveryRowOnTime(const std::vector<RowStart>& reference, HMUSIC handle, HSYNC sync) {
    ASSERT_EQ(seen.size(), reference.size());
    for (size_t i = 0; i < reference.size(); ++i) {
        SCOPED_TRACE("row start " + std::to_string(i));
        EXPECT_EQ(seen[i].order, reference[i].order);
        EXPECT_EQ(seen[i].row, reference[i].row);
        EXPECT_EQ(seen[i].sync, sync);
        EXPECT_EQ(seen[i].channel, handle);
        // Fired in the frame span that holds the row's first sample (the reference is
        // itself only exact to its 8-frame reads).
        EXPECT_GE(reference[i].sample, seen[i].spanStart - 8);
        EXPECT_LT(reference[i].sample, seen[i].spanStart + kFrameSpan);
    }
}

}  // namespace

TEST_F(BassLockstep, EveryRowOfEveryOrderOnceInOrderAndOnTime) {
    const std::string path = LongModule();
    ASSERT_TRUE(Exists(path)) << "the show's module is missing: " << path;
    const std::vector<RowStart> reference = ReferenceRows(path, 0);
    HMUSIC handle;
    HSYNC sync;
    const long long total = PlayToEnd(path, &handle, &sync);
    ExpectEveryRowOnTime(reference, handle, sync);
    EXPECT_GE(total, reference.back().sample);
    // The show's loops rely on the order counter passing 33: the last row synced is there.
    ASSERT_FALSE(seen.empty());
    EXPECT_GE(seen.back().order, 33);
}

TEST_F(BassLockstep, SongPlaysOnceAndStopsAtItsEnd) {
    const std::string path = ModulePath("success_2.it");
    if (!Exists(path)) GTEST_SKIP() << "no module at " << path;
    const std::vector<RowStart> reference = ReferenceRows(path, 0);
    HMUSIC handle;
    HSYNC sync;
    const long long total = PlayToEnd(path, &handle, &sync);
    ExpectEveryRowOnTime(reference, handle, sync);
    // About 9.77 s of music, then nothing: no repeat, no further syncs, silence out.
    EXPECT_NEAR(double(total) / kRate, 9.77, 0.2);
    EXPECT_FALSE(basstest::CurrentStatus().playing);
    const size_t count = seen.size();
    std::vector<int16_t> out(2 * kFrameSpan, 1);
    EXPECT_EQ(host::AdvanceMusic(kFrameSpan, out.data()), 0);
    EXPECT_EQ(seen.size(), count);
    for (int16_t sample : out) ASSERT_EQ(sample, 0);
}

TEST_F(BassLockstep, StartOrderAndReplayAndStop) {
    const std::string path = ModulePath("the_big_march_in_space.it");
    if (!Exists(path)) GTEST_SKIP() << "no module at " << path;
    host::Setup({.lockstepMusic = true, .startOrder = 5});
    const HMUSIC handle = BASS_MusicLoad(path.c_str(), 0, 1);
    ASSERT_NE(handle, 0u);
    // A sync for one order only: row 0xFFFF (any), order 6.
    ASSERT_NE(BASS_ChannelSetSync(handle, BASS_SYNC_POS, 0xFFFF0006, RecordSync), 0u);
    ASSERT_TRUE(BASS_MusicPlay(handle));
    for (int i = 0; i < 60 * 30 && seen.size() < 3; ++i) host::AdvanceMusic(kFrameSpan, nullptr);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].order, 6);
    EXPECT_EQ(seen[0].row, 0);
    EXPECT_EQ(seen[1].row, 1);
    // Playing again starts over at the start order; rows of order 5 do not match.
    ASSERT_TRUE(BASS_MusicPlay(handle));
    seen.clear();
    std::vector<int16_t> out(2 * kFrameSpan);
    EXPECT_EQ(host::AdvanceMusic(kFrameSpan, out.data()), kFrameSpan);
    EXPECT_TRUE(seen.empty());
    // After BASS_Stop nothing plays and nothing fires.
    ASSERT_TRUE(BASS_Stop());
    for (int i = 0; i < 600; ++i) EXPECT_EQ(host::AdvanceMusic(kFrameSpan, nullptr), 0);
    EXPECT_TRUE(seen.empty());
    EXPECT_FALSE(basstest::CurrentStatus().playing);
}

TEST_F(BassLockstep, PlayingAgainRendersTheSameSamples) {
    // Captures must come out the same every time: nothing random (such as dither) may be
    // mixed into the output.
    const std::string path = LongModule();
    ASSERT_TRUE(Exists(path)) << "the show's module is missing: " << path;
    const HMUSIC handle = BASS_MusicLoad(path.c_str(), 0, 1);
    ASSERT_NE(handle, 0u);
    constexpr int kFrames = 120;  // two seconds
    std::vector<int16_t> first(2 * kFrameSpan * kFrames), second(first.size());
    for (std::vector<int16_t>* out : {&first, &second}) {
        ASSERT_TRUE(BASS_MusicPlay(handle));
        for (int i = 0; i < kFrames; ++i)
            ASSERT_EQ(host::AdvanceMusic(kFrameSpan, out->data() + 2 * kFrameSpan * i), kFrameSpan);
    }
    int loud = 0;
    for (int16_t sample : first) loud += sample > 1000 || sample < -1000;
    EXPECT_GT(loud, 0) << "the start of the song is silent";
    EXPECT_TRUE(first == second);
}

TEST_F(BassLockstep, UnloadableModuleNamesTheFileAndPlaysNothing) {
    const std::string garbage = ::testing::TempDir() + "not_a_module.it";
    std::ofstream(garbage) << "this is not a tracker module";
    for (const std::string& path : {std::string("no/such/funk.it"), garbage}) {
        ::testing::internal::CaptureStderr();
        const HMUSIC handle = BASS_MusicLoad(path.c_str(), 0, 1);
        const std::string message = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(handle, 0u);
        EXPECT_NE(message.find("BASS_MusicLoad: cannot load " + path + ": "), std::string::npos) << message;
        EXPECT_EQ(BASS_ChannelSetSync(handle, BASS_SYNC_POS, 0xFFFFFFFF, RecordSync), 0u);
        EXPECT_FALSE(BASS_MusicPlay(handle));
        EXPECT_EQ(host::AdvanceMusic(kFrameSpan, nullptr), 0);
        EXPECT_TRUE(seen.empty());
    }
    std::remove(garbage.c_str());
}

// No sound device: SDL cannot open one, the silent clock consumes samples in real time.
TEST(BassSilentClock, PlaysInRealTimeAndNothingFiresAfterStopOrFree) {
    const std::string path = ModulePath("success_2.it");
    if (!Exists(path)) GTEST_SKIP() << "no module at " << path;
    const std::vector<RowStart> reference = ReferenceRows(path, 0);
    seen.clear();
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    host::Setup({});
    ASSERT_TRUE(BASS_Init(-1, kRate, 0, nullptr));
    unsetenv("SDL_AUDIODRIVER");
    EXPECT_TRUE(basstest::CurrentStatus().silentClock);
    ASSERT_TRUE(BASS_Start());
    const HMUSIC handle = BASS_MusicLoad(path.c_str(), 0, 1);
    ASSERT_NE(BASS_ChannelSetSync(handle, BASS_SYNC_POS, 0xFFFFFFFF, RecordSync), 0u);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point playAt = Clock::now();
    ASSERT_TRUE(BASS_MusicPlay(handle));
    std::this_thread::sleep_for(std::chrono::milliseconds(2000));
    ASSERT_TRUE(BASS_Stop());
    const long long playedSamples =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - playAt).count() * kRate / 1000000;
    const size_t count = SeenCount();
    // About two seconds of music have been heard: the last row seen started within the
    // time played (plus the buffer being handed out), the next one not long before its end
    // (a loose bound for a busy machine).
    ASSERT_GT(count, 1u);
    ASSERT_LT(count, reference.size());
    EXPECT_LT(reference[count - 1].sample, playedSamples + 2 * kOutputBufferFrames);
    EXPECT_GT(reference[count].sample, playedSamples * 8 / 10);
    for (size_t i = 0; i < count; ++i) {
        EXPECT_EQ(seen[i].order, reference[i].order);
        EXPECT_EQ(seen[i].row, reference[i].row);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(SeenCount(), count);
    // Playing on, then freeing while the clock runs: nothing fires once BASS_Free returns.
    ASSERT_TRUE(BASS_Start());
    ASSERT_TRUE(BASS_MusicPlay(handle));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_TRUE(BASS_Free());
    const size_t afterFree = SeenCount();
    EXPECT_GT(afterFree, count);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(SeenCount(), afterFree);
    EXPECT_FALSE(basstest::CurrentStatus().initialised);
}
