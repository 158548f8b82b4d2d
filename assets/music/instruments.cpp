// The synthesised sample set: drums from shaped noise and swept sines, bass, clavinet and
// brass from per-partial additive synthesis, electric piano by phase modulation, lead and
// pad as seamless loops of detuned oscillators.
#include "assets/music/music.h"

#include <algorithm>
#include <cmath>

namespace music {

namespace {

constexpr double kFs = kSampleRate;
constexpr double kLog2E = 1.4426950408889634;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kPeak = 0.92;  // peak level of every sample after normalisation

// e^(-t / tau): an exponential decay with time constant tau, both in seconds.
double Decay(double t, double tau) { return Exp2(-kLog2E * t / tau); }

// Linear rise over `attack` seconds.
double Attack(double t, double attack) { return t < attack ? t / attack : 1.0; }

// One-pole low-pass; the high-pass is the input minus it.
struct OnePole {
    double a = 0.0, y = 0.0;
    explicit OnePole(double cutoffHz) : a(1.0 - Decay(1.0 / kFs, 1.0 / (kTwoPi * cutoffHz))) {}
    double Low(double x) { return y += a * (x - y); }
    double High(double x) { return x - Low(x); }
};

std::vector<double> Buffer(double seconds) { return std::vector<double>(size_t(seconds * kFs)); }

// Rate of note C-5 for a sample whose recorded pitch is `nativeHz`.
uint32_t C5SpeedFor(double nativeHz) {
    return uint32_t(std::floor(kFs * NoteHz(60.0) / nativeHz + 0.5));
}

// Fades the last `seconds` of a one-shot sample to zero so that it never ends on a click.
void FadeTail(std::vector<double>& s, double seconds) {
    const size_t n = std::min(s.size(), size_t(seconds * kFs));
    for (size_t i = 0; i < n; ++i) s[s.size() - 1 - i] *= double(i) / double(n);
}

Sample OneShot(const char* name, std::vector<double> signal, uint32_t c5Speed, uint8_t volume) {
    FadeTail(signal, 0.01);
    Sample s;
    s.name = name;
    s.pcm = ToPcm(signal, kPeak);
    s.c5Speed = c5Speed;
    s.globalVolume = volume;
    return s;
}

// Six detuned square waves, the classic metallic source of cymbals, scaled by `ratio`.
double Metal(double t, double ratio) {
    static const double kHz[6] = {263.0, 400.0, 421.0, 531.0, 588.0, 807.0};
    double sum = 0.0;
    for (double hz : kHz) sum += Sine(hz * ratio * t) >= 0.0 ? 1.0 : -1.0;
    return sum / 6.0;
}

// A swept-sine drum: pitch falls from baseHz + sweepHz to baseHz (time constant sweepTau),
// the body decays with bodyTau, a filtered noise click marks the attack and `drive` saturates.
struct DrumShape {
    double seconds, baseHz, sweepHz, sweepTau, bodyTau, clickHz, clickTau, click, drive;
};
std::vector<double> SweptDrum(const DrumShape& d, uint32_t seed) {
    auto s = Buffer(d.seconds);
    Noise noise(seed);
    OnePole clickFilter(d.clickHz);
    double phase = 0.0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i / kFs;
        phase += (d.baseHz + d.sweepHz * Decay(t, d.sweepTau)) / kFs;
        const double body = Sine(phase) * Attack(t, 0.001) * Decay(t, d.bodyTau);
        const double click = clickFilter.Low(noise.Next()) * Decay(t, d.clickTau);
        s[i] = SoftClip(d.drive * body) + d.click * click;
    }
    return s;
}

Sample Kick() {
    return OneShot("kick", SweptDrum({0.5, 45.0, 170.0, 0.025, 0.28, 3000.0, 0.004, 0.5, 1.8}, 0x1234567u),
                   kSampleRate, 64);
}

Sample Tom() {
    return OneShot("tom", SweptDrum({0.6, 98.0, 55.0, 0.05, 0.2, 2000.0, 0.01, 0.25, 1.0}, 0x70Au),
                   kSampleRate, 56);
}

Sample Snare() {
    auto s = Buffer(0.35);
    Noise noise(0xBEEF01u);
    OnePole high(1500.0), low(9000.0);
    double p1 = 0.0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i / kFs;
        p1 += (180.0 + 60.0 * Decay(t, 0.01)) / kFs;
        const double tone = (0.6 * Sine(p1) + 0.3 * Sine(330.0 * t)) * Decay(t, 0.05);
        const double hiss = low.Low(high.High(noise.Next())) * Decay(t, 0.11);
        s[i] = SoftClip(2.0 * Attack(t, 0.0005) * (tone + 1.1 * hiss));
    }
    return OneShot("snare", s, kSampleRate, 64);
}

// Cymbals: metal (pitched by `ratio`) plus noise, high-passed twice at `cutoffHz`, decaying
// with `tau`; hats and crash differ only in these numbers.
struct CymbalShape {
    double seconds, ratio, metal, cutoffHz, tau;
};
Sample Cymbal(const char* name, const CymbalShape& c, uint32_t seed, uint8_t volume) {
    auto s = Buffer(c.seconds);
    Noise noise(seed);
    OnePole h1(c.cutoffHz), h2(c.cutoffHz);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i / kFs;
        const double src = c.metal * Metal(t, c.ratio) + (1.0 - c.metal) * noise.Next();
        s[i] = h2.High(h1.High(src)) * Attack(t, 0.001) * Decay(t, c.tau);
    }
    return OneShot(name, s, kSampleRate, volume);
}

Sample Clap() {
    auto s = Buffer(0.4);
    Noise noise(0xC1A9u);
    OnePole high(900.0), low(2600.0);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i / kFs;
        // Three quick bursts (hands not quite together), then the room's tail.
        double env = 0.0;
        for (int k = 0; k < 3; ++k) {
            const double start = 0.011 * k;
            if (t >= start) env = std::fmax(env, Decay(t - start, 0.004));
        }
        if (t >= 0.03) env = std::fmax(env, 0.75 * Decay(t - 0.03, 0.09));
        s[i] = low.Low(high.High(noise.Next())) * env;
    }
    return OneShot("clap", s, kSampleRate, 60);
}

// A plucked string by additive synthesis: partial k of `hz` has amplitude amp(k) and decays
// with time constant tau(k); partials stretched by sqrt(1 + stiffness k^2) keep it string-like.
template <typename Amp, typename Tau>
std::vector<double> Pluck(double hz, double seconds, double maxHz, double stiffness, Amp amp, Tau tau) {
    auto s = Buffer(seconds);
    for (int k = 1; k * hz < maxHz; ++k) {
        const double fk = k * hz * std::sqrt(1.0 + stiffness * k * k);
        const double step = Decay(1.0 / kFs, tau(k));
        double env = amp(k);
        for (size_t i = 0; i < s.size(); ++i, env *= step) s[i] += env * Sine(fk * (i / kFs));
    }
    return s;
}

Sample Bass() {
    const double hz = NoteHz(33);  // A1
    auto s = Pluck(hz, 1.4, 5000.0, 1e-5,
                   [](int k) { return (k == 1 ? 1.3 : 1.0) / k; },
                   [](int k) { return 0.9 / (1.0 + 0.3 * (k - 1)); });
    Noise noise(0xBA55u);
    OnePole thump(1200.0);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i / kFs;
        s[i] = SoftClip(1.5 * (s[i] + 0.3 * thump.Low(noise.Next()) * Decay(t, 0.006))) * Attack(t, 0.002);
    }
    return OneShot("bass", s, C5SpeedFor(hz), 64);
}

Sample Clav() {
    const double hz = NoteHz(60);
    const double duty = 0.22;
    auto s = Pluck(hz, 0.6, 9000.0, 5e-5,
                   [&](int k) {
                       const double pulse = Sine(0.5 * k * duty) / k;  // pulse-wave series
                       return pulse / (1.0 + (k * hz / 3500.0) * (k * hz / 3500.0));
                   },
                   [](int k) { return 0.35 / (1.0 + 0.12 * k); });
    for (size_t i = 0; i < s.size(); ++i) s[i] *= Attack(i / kFs, 0.001);
    return OneShot("clav", s, C5SpeedFor(hz), 64);
}

Sample Piano() {
    const double hz = NoteHz(60);
    auto s = Buffer(2.2);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i / kFs;
        // Phase modulation: a 1:1 modulator whose index falls from bright to mellow, plus a
        // short high "tine" partial at 14x.
        const double index = 2.2 * Decay(t, 0.25) + 0.3;
        const double body = Sine(hz * t + index / kTwoPi * Sine(hz * t));
        const double tine = 0.12 * Sine(14.0 * hz * t) * Decay(t, 0.03);
        s[i] = (body + 0.1 * Sine(2.0 * hz * t) * Decay(t, 0.5) + tine) * Attack(t, 0.0015) *
               Decay(t, 0.9);
    }
    return OneShot("electric piano", s, C5SpeedFor(hz), 52);
}

Sample Brass() {
    const double hz = NoteHz(60);
    const double detuneCents[3] = {-8.0, 0.0, 7.0};
    auto s = Buffer(0.7);
    // The filter opens over the first 20 ms, then closes; each partial is weighted by a
    // second-order low-pass response at the cutoff of its moment.
    std::vector<double> cutoff(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i / kFs;
        cutoff[i] = 700.0 + 3200.0 * (t < 0.02 ? t / 0.02 : Decay(t - 0.02, 0.15));
    }
    for (double cents : detuneCents) {
        const double f = hz * Exp2(cents / 1200.0);
        for (int k = 1; k * f < 8000.0; ++k) {
            for (size_t i = 0; i < s.size(); ++i) {
                const double r = k * f / cutoff[i];
                s[i] += Sine(k * f * (i / kFs)) / k / std::sqrt(1.0 + r * r * r * r);
            }
        }
    }
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i / kFs;
        const double release = t < 0.45 ? 1.0 : Decay(t - 0.45, 0.06);
        s[i] *= Attack(t, 0.01) * (0.7 + 0.3 * Decay(t, 0.1)) * release;
    }
    return OneShot("brass", s, C5SpeedFor(hz), 56);
}

// A looped tone: one oscillator per entry of `cycles`, each making that many whole cycles in
// `loopLength` frames, so the sum repeats exactly at the loop. Partial k of every oscillator
// has amplitude amp(k). The first loop length fades in over `attack` seconds, the second is
// the loop; the sample is tuned as a tone of `tunedHz`.
template <typename Amp>
Sample LoopedTone(const char* name, double tunedHz, const std::vector<int>& cycles, int loopLength,
                  double maxHz, double attack, Amp amp, uint8_t volume) {
    std::vector<double> s(size_t(2 * loopLength));
    for (int c : cycles) {
        const double f = kFs * c / loopLength;
        for (int k = 1; k * f < maxHz; ++k) {
            const double a = amp(k);
            if (a == 0.0) continue;
            // Whole cycles per loop: phase index reduced modulo the loop keeps it exact.
            for (size_t i = 0; i < s.size(); ++i) {
                const long long n = (long long)(k) * c * (long long)(i % loopLength);
                s[i] += a * Sine(double(n % loopLength) / loopLength);
            }
        }
    }
    for (size_t i = 0; i < size_t(loopLength); ++i) {
        const double rise = Attack(i / kFs, attack);
        s[i] *= rise * rise * (3.0 - 2.0 * rise);  // smoothstep
    }
    Sample out;
    out.name = name;
    out.pcm = ToPcm(s, kPeak);
    out.c5Speed = C5SpeedFor(tunedHz);
    out.loop = true;
    out.loopStart = uint32_t(loopLength);
    out.loopEnd = uint32_t(2 * loopLength);
    out.globalVolume = volume;
    return out;
}

Sample Lead() {
    // A saw at 441 Hz and, 8.6 cents above, a square (odd partials): 200 and 201 cycles per
    // loop, tuned to their mean.
    const int loop = 20000;
    const double f = kFs * 200 / loop, tuned = kFs * 200.5 / loop;
    auto amp = [&](int k) { return 1.0 / k / (1.0 + (k * f / 2500.0) * (k * f / 2500.0)); };
    Sample saw = LoopedTone("lead", tuned, {200}, loop, 6000.0, 0.005, amp, 40);
    Sample sq = LoopedTone("lead", tuned, {201}, loop, 6000.0, 0.005,
                           [&](int k) { return k % 2 ? amp(k) : 0.0; }, 40);
    for (size_t i = 0; i < saw.pcm.size(); ++i) {
        saw.pcm[i] = int16_t((int(saw.pcm[i]) + int(sq.pcm[i])) / 2);
    }
    return saw;
}

Sample Pad() {
    // 220.5 Hz: three saws at 199, 200 and 201 cycles per loop, gently low-passed.
    const int loop = 40000;
    const double f = kFs * 200 / loop;
    return LoopedTone("strings pad", f, {199, 200, 201}, loop, 4000.0, 0.25,
                      [&](int k) { return 1.0 / k / (1.0 + (k * f / 1200.0) * (k * f / 1200.0)); },
                      44);
}

}  // namespace

std::vector<Sample> MakeSamples() {
    std::vector<Sample> set;
    set.push_back(Kick());
    set.push_back(Snare());
    set.push_back(Cymbal("closed hat", {0.12, 2.0, 0.62, 6000.0, 0.02}, 0x4A7u, 56));
    set.push_back(Cymbal("open hat", {0.6, 2.0, 0.62, 6000.0, 0.17}, 0x0BE7u, 48));
    set.push_back(Clap());
    set.push_back(Cymbal("crash", {2.2, 3.1, 0.41, 3500.0, 0.6}, 0xC4A5u, 48));
    set.push_back(Tom());
    set.push_back(Bass());
    set.push_back(Piano());
    set.push_back(Clav());
    set.push_back(Brass());
    set.push_back(Lead());
    set.push_back(Pad());
    return set;
}

}  // namespace music
