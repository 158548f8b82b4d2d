// The generated "funk.it": what the show relies on (orders, their timing, audible sound),
// checked with two independent players, and the generator's determinism.
#include "assets/music/music.h"
#include "tests/support/test_paths.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>
#include <xmp.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

constexpr int kLastOrder = 33;
constexpr int kRate = 44100;
constexpr double kRowSeconds = 6 * 2.5 / 112;

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Per order of libopenmpt's 44.1 kHz render: when it starts, its sum of squares and peak.
struct OrderStats {
    double start = -1.0;  // seconds; -1 when never reached
    double sumSquares = 0.0;
    size_t samples = 0;
    double peak = 0.0;
};

class FunkSong : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        bytes_ = ReadFile(ShowDataDir() + "/funk.it");
        if (bytes_.empty()) return;
        openmpt::module mod(bytes_, std::clog);
        constexpr size_t kChunk = 256;  // frames: 6 ms, well under a row
        std::array<float, 2 * kChunk> buffer{};
        size_t frames = 0;
        for (;;) {
            const int order = mod.get_current_order();
            const size_t got = mod.read_interleaved_stereo(kRate, kChunk, buffer.data());
            if (got == 0) break;
            OrderStats& s = openmpt_[std::min(order, kLastOrder + 1)];
            if (s.start < 0) s.start = double(frames) / kRate;
            for (size_t i = 0; i < 2 * got; ++i) {
                s.sumSquares += double(buffer[i]) * buffer[i];
                s.peak = std::max(s.peak, double(std::fabs(buffer[i])));
            }
            s.samples += 2 * got;
            frames += got;
        }
    }
    void SetUp() override {
        if (bytes_.empty()) {
            GTEST_FAIL() << "funk.it not found in " << ShowDataDir() << "; build the data target";
        }
    }

    static std::vector<uint8_t> bytes_;
    static std::array<OrderStats, kLastOrder + 2> openmpt_;
};
std::vector<uint8_t> FunkSong::bytes_;
std::array<OrderStats, kLastOrder + 2> FunkSong::openmpt_;

TEST_F(FunkSong, BothPlayersAgreeOnOrderCountAndDuration) {
    openmpt::module mod(bytes_, std::clog);
    xmp_context xmp = xmp_create_context();
    ASSERT_EQ(xmp_load_module_from_memory(xmp, bytes_.data(), long(bytes_.size())), 0);
    xmp_module_info info;
    xmp_get_module_info(xmp, &info);
    // libxmp keeps the end marker (255) as an order entry; the song is what comes before it.
    int xmpOrders = 0;
    while (xmpOrders < info.mod->len && info.mod->xxo[xmpOrders] != 0xFF) ++xmpOrders;

    EXPECT_EQ(mod.get_num_orders(), kLastOrder + 1);
    EXPECT_EQ(xmpOrders, kLastOrder + 1);
    const double openmptSeconds = mod.get_duration_seconds();
    const double xmpSeconds = info.seq_data[0].duration / 1000.0;
    EXPECT_NEAR(xmpSeconds, openmptSeconds, 0.01 * openmptSeconds);
    xmp_release_module(xmp);
    xmp_free_context(xmp);
}

TEST_F(FunkSong, BothPlayersReachEveryOrderWithinARowOfEachOther) {
    xmp_context xmp = xmp_create_context();
    ASSERT_EQ(xmp_load_module_from_memory(xmp, bytes_.data(), long(bytes_.size())), 0);
    ASSERT_EQ(xmp_start_player(xmp, kRate, 0), 0);
    std::array<double, kLastOrder + 1> xmpStart;
    xmpStart.fill(-1.0);
    double seconds = 0.0;
    xmp_frame_info fi;
    while (xmp_play_frame(xmp) == 0) {
        xmp_get_frame_info(xmp, &fi);
        if (fi.loop_count > 0) break;
        if (fi.pos >= 0 && fi.pos <= kLastOrder && xmpStart[fi.pos] < 0) xmpStart[fi.pos] = seconds;
        seconds += fi.buffer_size / 4.0 / kRate;  // 16-bit stereo frames
    }
    xmp_end_player(xmp);
    xmp_release_module(xmp);
    xmp_free_context(xmp);

    for (int order = 0; order <= kLastOrder; ++order) {
        SCOPED_TRACE("order " + std::to_string(order));
        ASSERT_GE(openmpt_[order].start, 0.0) << "libopenmpt never played it";
        ASSERT_GE(xmpStart[order], 0.0) << "libxmp never played it";
        EXPECT_NEAR(openmpt_[order].start, xmpStart[order], kRowSeconds);
        if (order > 0) {
            EXPECT_GT(openmpt_[order].start, openmpt_[order - 1].start);
        }
    }
}

TEST_F(FunkSong, EveryOrderIsAudibleUnclippedAndTheEndComesInTime) {
    for (int order = 0; order <= kLastOrder; ++order) {
        const OrderStats& s = openmpt_[order];
        ASSERT_GT(s.samples, 0u) << "order " << order << " never rendered";
        const double rmsDb = 10.0 * std::log10(s.sumSquares / s.samples);
        const double peakDb = 20.0 * std::log10(s.peak);
        EXPECT_GT(rmsDb, -40.0) << "order " << order << " is too quiet";
        EXPECT_LT(peakDb, -0.3) << "order " << order << " clips";
    }
    EXPECT_EQ(openmpt_[kLastOrder + 1].samples, 0u) << "the song plays past order 33";
    EXPECT_GE(openmpt_[kLastOrder].start, 180.0);
    EXPECT_LE(openmpt_[kLastOrder].start, 300.0);
}

TEST_F(FunkSong, TitleAndFinalePatternsAreLongAndTheWordRowsAreAccented) {
    openmpt::module mod(bytes_, std::clog);
    for (int order : {1, 2, 32}) {
        EXPECT_GE(mod.get_pattern_num_rows(mod.get_order_pattern(order)), 128) << "order " << order;
    }
    // The title's words appear on these rows: each must start notes on several channels.
    const std::pair<int, int> wordRows[] = {{1, 21}, {1, 53}, {1, 85}, {1, 117}, {2, 21}, {2, 53}};
    for (auto [order, row] : wordRows) {
        const int pattern = mod.get_order_pattern(order);
        int notes = 0;
        for (int ch = 0; ch < mod.get_num_channels(); ++ch) {
            const int note =
                mod.get_pattern_row_channel_command(pattern, row, ch, openmpt::module::command_note);
            if (note >= 1 && note <= 120) ++notes;
        }
        EXPECT_GE(notes, 3) << "order " << order << " row " << row;
    }
}

TEST_F(FunkSong, GeneratorWritesTheSameSmallFileEveryRun) {
    // Names unique to this process: other test runs may share the temporary folder.
    const std::string stem = ::testing::TempDir() + "funk_" + std::to_string(getpid());
    for (const char* run : {"_a.it", "_b.it"}) {
        const std::string command = std::string(MAKE_MUSIC) + " " + stem + run;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    const std::vector<uint8_t> a = ReadFile(stem + "_a.it");
    const std::vector<uint8_t> b = ReadFile(stem + "_b.it");
    std::remove((stem + "_a.it").c_str());
    std::remove((stem + "_b.it").c_str());
    ASSERT_FALSE(a.empty());
    EXPECT_TRUE(a == b) << "two runs wrote different bytes";
    EXPECT_TRUE(a == bytes_) << "the build's funk.it differs from a fresh run";
    EXPECT_LT(a.size(), 2u * 1024 * 1024);
}

}  // namespace
