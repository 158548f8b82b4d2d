// The synthesiser: its own maths against libm, and the pitched samples played in tune.
#include "assets/music/music.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include <cmath>

namespace {

TEST(SynthMaths, SineAndExp2AgreeWithLibm) {
    for (double turns = -3.0; turns <= 3.0; turns += 0.0137) {
        EXPECT_NEAR(music::Sine(turns), std::sin(2.0 * M_PI * turns), 1e-10) << turns;
    }
    for (double x = -20.0; x <= 20.0; x += 0.173) {
        EXPECT_NEAR(music::Exp2(x) / std::exp2(x), 1.0, 1e-12) << x;
    }
    EXPECT_NEAR(music::NoteHz(69), 440.0, 1e-9);
    EXPECT_NEAR(music::NoteHz(57), 220.0, 1e-9);
}

// Fundamental of a mono render, Hz: the lag of highest normalised autocorrelation within
// +-25 % of the expected period, refined by a parabola through its neighbours.
double MeasurePitch(const std::vector<float>& x, double expectedHz) {
    const int expected = int(44100.0 / expectedHz);
    const int window = 4096;
    auto correlation = [&](int lag) {
        double xy = 0.0, xx = 0.0, yy = 0.0;
        for (int i = 0; i < window; ++i) {
            xy += double(x[i]) * x[i + lag];
            xx += double(x[i]) * x[i];
            yy += double(x[i + lag]) * x[i + lag];
        }
        return xy / std::sqrt(xx * yy + 1e-30);
    };
    int best = expected * 4 / 5;
    for (int lag = best; lag <= expected * 5 / 4; ++lag) {
        if (correlation(lag) > correlation(best)) best = lag;
    }
    const double a = correlation(best - 1), b = correlation(best), c = correlation(best + 1);
    const double offset = 0.5 * (a - c) / (a - 2.0 * b + c);
    return 44100.0 / (best + offset);
}

TEST(SynthSamples, PitchedSamplesPlayInTune) {
    const std::vector<music::Sample> samples = music::MakeSamples();
    const std::pair<music::SampleId, int> notes[] = {
        {music::kBass, 45}, {music::kPiano, 69}, {music::kClav, 69},
        {music::kBrass, 69}, {music::kLead, 69}, {music::kPad, 57}};
    for (auto [sample, note] : notes) {
        music::Module m;
        m.name = "tuning";
        m.channelPan.fill(32);
        m.channelVolume.fill(64);
        m.samples = samples;
        music::Pattern p;
        p.rows = 16;
        p.At(0, 0) = music::Cell{int16_t(note), uint8_t(sample), 64, 0, 0};
        m.patterns = {p};
        m.orders = {0};
        openmpt::module mod(music::WriteModule(m), std::clog);
        std::vector<float> pcm(44100 / 2);
        ASSERT_EQ(mod.read(44100, pcm.size(), pcm.data()), pcm.size());
        // Skip the attack: measure from 50 ms on.
        const std::vector<float> steady(pcm.begin() + 2205, pcm.end());
        const double want = music::NoteHz(note);
        const double cents = 1200.0 * std::log2(MeasurePitch(steady, want) / want);
        EXPECT_NEAR(cents, 0.0, 10.0) << samples[sample - 1].name << " at note " << note;
    }
}

}  // namespace
