// The IT writer: modules written in memory and read back by libopenmpt and libxmp.
#include "assets/music/music.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>
#include <xmp.h>

#include <cmath>
#include <memory>
#include <sstream>

namespace {

using music::Cell;
using music::Module;
using music::Pattern;

// A 1000-frame sine sample, looped or not.
music::Sample TestSample(bool loop) {
    music::Sample s;
    s.name = loop ? "looped" : "one shot";
    std::vector<double> wave(1000);
    for (size_t i = 0; i < wave.size(); ++i) wave[i] = music::Sine(i / 100.0);
    s.pcm = music::ToPcm(wave, 0.8);
    s.loop = loop;
    s.loopStart = 0;
    s.loopEnd = 1000;
    return s;
}

Module TestModule() {
    Module m;
    m.name = "writer test";
    m.initialSpeed = 4;
    m.initialTempo = 140;
    for (int ch = 0; ch < music::kMaxChannels; ++ch) {
        m.channelPan[ch] = 32;
        m.channelVolume[ch] = 64;
    }
    m.samples = {TestSample(false), TestSample(true)};
    return m;
}

// A pattern of pseudo-random cells (fixed seed) on a few channels, with runs of repeated
// values so that every "same as last" flag of the packing is exercised, plus cuts and offs.
Pattern RandomPattern(int rows) {
    Pattern p;
    p.rows = rows;
    music::Noise rng(77);
    auto pick = [&](int n) { return int((rng.Next() + 1.0) * 0.5 * n); };
    const int channels[] = {0, 1, 2, 5, 17, 40, 63};
    const uint8_t effects[] = {music::kFxVolumeSlide, music::kFxVibrato, 5 /*E*/, 6 /*F*/, 10 /*J*/};
    for (int ch : channels) {
        Cell last;
        for (int row = 0; row < rows; ++row) {
            if (pick(3) == 0) continue;  // leave a third of the cells empty
            Cell c = pick(2) ? last : Cell{};
            if (pick(2)) {
                const int special = pick(2) ? music::kNoteCut : music::kNoteOff;
                c.note = int16_t(pick(10) == 0 ? special : 24 + pick(72));
            }
            if (pick(2)) c.sample = uint8_t(1 + pick(2));
            if (pick(2)) c.volume = int8_t(pick(65));
            if (pick(2)) {
                c.effect = effects[pick(5)];
                c.param = uint8_t(1 + pick(254));
            }
            if (c.Empty()) c.volume = 32;
            p.At(row, ch) = c;
            last = c;
        }
    }
    return p;
}

// What libopenmpt shows in the effect column for IT effect `e` (A = 1); "." when empty.
std::string EffectLetter(uint8_t e) { return std::string(1, e ? char('A' + e - 1) : '.'); }

TEST(ItWriter, PackedCellsReadBackUnchangedInBothPlayers) {
    Module m = TestModule();
    m.patterns = {RandomPattern(64), RandomPattern(200)};
    m.orders = {0, 1};
    const std::vector<uint8_t> bytes = music::WriteModule(m);

    openmpt::module mod(bytes, std::clog);
    ASSERT_EQ(mod.get_num_patterns(), 2);
    xmp_context xmp = xmp_create_context();
    ASSERT_EQ(xmp_load_module_from_memory(xmp, bytes.data(), long(bytes.size())), 0);
    xmp_module_info info;
    xmp_get_module_info(xmp, &info);

    for (int pat = 0; pat < 2; ++pat) {
        const Pattern& p = m.patterns[pat];
        ASSERT_EQ(mod.get_pattern_num_rows(pat), p.rows);
        for (int row = 0; row < p.rows; ++row) {
            for (int ch = 0; ch < music::kMaxChannels; ++ch) {
                const Cell& c = p.At(row, ch);
                SCOPED_TRACE("pattern " + std::to_string(pat) + " row " + std::to_string(row) +
                             " channel " + std::to_string(ch));
                auto read = [&](int command) {
                    return mod.get_pattern_row_channel_command(pat, row, ch, command);
                };
                // libopenmpt numbers notes from 1 (C-0); cut and off keep 254 and 255.
                const int wantNote = c.note < 0 ? 0 : c.note < 120 ? c.note + 1 : c.note;
                EXPECT_EQ(read(openmpt::module::command_note), wantNote);
                EXPECT_EQ(read(openmpt::module::command_instrument), c.sample);
                if (c.volume >= 0) {
                    EXPECT_EQ(read(openmpt::module::command_volume), c.volume);
                } else {
                    EXPECT_EQ(read(openmpt::module::command_volumeffect), 0);
                }
                const int effectColumn = openmpt::module::command_effect;
                EXPECT_EQ(mod.format_pattern_row_channel_command(pat, row, ch, effectColumn), EffectLetter(c.effect));
                if (c.effect) {
                    EXPECT_EQ(read(openmpt::module::command_parameter), c.param);
                }
                // libxmp: notes from 1 as well, with its own cut and off codes; volume + 1.
                if (ch >= info.mod->chn) continue;
                const xmp_track* track = info.mod->xxt[info.mod->xxp[pat]->index[ch]];
                const xmp_event& e = track->event[row];
                const int xmpNote = c.note < 0 ? 0 : c.note < 120 ? c.note + 1
                                  : c.note == music::kNoteCut ? XMP_KEY_CUT : XMP_KEY_OFF;
                EXPECT_EQ(e.note, xmpNote);
                EXPECT_EQ(e.ins, c.sample);
                EXPECT_EQ(e.vol, c.volume < 0 ? 0 : c.volume + 1);
            }
        }
    }
    xmp_release_module(xmp);
    xmp_free_context(xmp);
}

TEST(ItWriter, RepeatedCellsCostOneByteAfterTheMaskSettles) {
    Pattern p;
    p.rows = 64;
    for (int row = 0; row < p.rows; ++row) p.At(row, 3) = Cell{48, 1, 40, music::kFxVibrato, 0x54};
    std::vector<uint8_t> packed;
    music::PackPattern(p, packed);
    // Row 0: marker, mask, five field bytes, row end. Row 1: marker and the new all-repeat
    // mask, row end. Every later row: marker and row end only.
    EXPECT_EQ(packed.size(), 8u + 3u + 2u * 62u);
}

TEST(ItWriter, HeaderOrdersAndSamplesReadBack) {
    Module m = TestModule();
    Pattern a, b;
    a.rows = 16;
    b.rows = 48;
    m.patterns = {a, b};
    m.orders = {1, 0, 1};
    const std::vector<uint8_t> bytes = music::WriteModule(m);
    ASSERT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "IMPM");

    openmpt::module mod(bytes, std::clog);
    EXPECT_EQ(mod.get_metadata("title"), "writer test");
    EXPECT_EQ(mod.get_num_orders(), 3);
    EXPECT_EQ(mod.get_order_pattern(0), 1);
    EXPECT_EQ(mod.get_order_pattern(1), 0);
    EXPECT_EQ(mod.get_order_pattern(2), 1);
    EXPECT_EQ(mod.get_num_samples(), 2);
    EXPECT_EQ(mod.get_sample_names()[1], "looped");
    EXPECT_EQ(mod.get_current_speed(), 4);
    EXPECT_EQ(mod.get_current_tempo(), 140);
    // 112 rows at 4 ticks of 2.5/140 s each (the player rounds ticks to whole output frames).
    EXPECT_NEAR(mod.get_duration_seconds(), 112 * 4 * 2.5 / 140, 0.01);
}

// RMS of libopenmpt's mono render between `from` and `to` seconds of `bytes`.
double RenderRms(const std::vector<uint8_t>& bytes, double from, double to) {
    openmpt::module mod(bytes, std::clog);
    std::vector<float> buffer(size_t(to * 44100));
    const size_t got = mod.read(44100, buffer.size(), buffer.data());
    double sum = 0.0;
    size_t n = 0;
    for (size_t i = size_t(from * 44100); i < got; ++i, ++n) sum += double(buffer[i]) * buffer[i];
    return n ? std::sqrt(sum / n) : 0.0;
}

TEST(ItWriter, LoopedSamplesSustainAndOneShotsEnd) {
    // One note at row 0 of a long pattern: 1000 frames at 8363 Hz last 0.12 s unless looped.
    for (int sample : {1, 2}) {
        Module m = TestModule();
        Pattern p;
        p.rows = 64;
        p.At(0, 0) = Cell{60, uint8_t(sample), 64, 0, 0};
        m.samples[0].c5Speed = m.samples[1].c5Speed = 8363;
        m.patterns = {p};
        m.orders = {0};
        const double late = RenderRms(music::WriteModule(m), 0.5, 1.0);
        if (sample == 2) {
            EXPECT_GT(late, 0.01) << "the looped sample stopped";
        } else {
            EXPECT_LT(late, 1e-4) << "the one-shot sample rang on";
        }
    }
}

}  // namespace
