// Deterministic maths and noise for the synthesiser: the same doubles, and so the same
// sample bytes, on every run and every libm.
#include "assets/music/music.h"

#include <cmath>

namespace music {

namespace {
constexpr double kPi = 3.14159265358979323846;

// 1 / ((2n)(2n + 1)) for n = 1..8: ratios of successive odd Taylor terms of sin.
constexpr double kSineStep[9] = {0.0,       1.0 / 6,   1.0 / 20,  1.0 / 42,  1.0 / 72,
                                 1.0 / 110, 1.0 / 156, 1.0 / 210, 1.0 / 272};
// 1 / k for k = 1..18: ratios of successive Taylor terms of exp.
constexpr double kExpStep[19] = {0.0,      1.0,      1.0 / 2,  1.0 / 3,  1.0 / 4,  1.0 / 5,  1.0 / 6,
                                 1.0 / 7,  1.0 / 8,  1.0 / 9,  1.0 / 10, 1.0 / 11, 1.0 / 12, 1.0 / 13,
                                 1.0 / 14, 1.0 / 15, 1.0 / 16, 1.0 / 17, 1.0 / 18};
}  // namespace

double Sine(double turns) {
    // Reduce to t in [-0.5, 0.5] turns, then fold onto [-0.25, 0.25] with sin(pi - x) = sin x,
    // so the Taylor series below runs on |x| <= pi/2 where 8 odd terms reach ~1e-12.
    double t = turns - std::floor(turns + 0.5);
    if (t > 0.25) t = 0.5 - t;
    if (t < -0.25) t = -0.5 - t;
    const double x = 2.0 * kPi * t;
    const double x2 = x * x;
    double term = x;
    double sum = x;
    for (int n = 1; n <= 8; ++n) {
        term *= -x2 * kSineStep[n];
        sum += term;
    }
    return sum;
}

double Exp2(double x) {
    // 2^x = 2^n * e^(f ln 2) with n = floor(x), f in [0, 1): the series converges in 18 terms.
    const double n = std::floor(x);
    const double y = (x - n) * 0.69314718055994530942;
    double term = 1.0;
    double sum = 1.0;
    for (int k = 1; k <= 18; ++k) {
        term *= y * kExpStep[k];
        sum += term;
    }
    return std::ldexp(sum, int(n));
}

double NoteHz(double note) { return 440.0 * Exp2((note - 69.0) / 12.0); }

double SoftClip(double x) {
    // Pade approximation of tanh, exact at the clamp points +-3.
    if (x > 3.0) return 1.0 - 1e-9;
    if (x < -3.0) return -1.0 + 1e-9;
    const double x2 = x * x;
    return x * (27.0 + x2) / (27.0 + 9.0 * x2);
}

double Noise::Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return double(state) / 2147483648.0 - 1.0;
}

std::vector<int16_t> ToPcm(const std::vector<double>& signal, double peak) {
    double maxAbs = 1e-12;
    for (double v : signal) maxAbs = std::fmax(maxAbs, std::fabs(v));
    const double scale = peak * 32767.0 / maxAbs;
    std::vector<int16_t> pcm(signal.size());
    for (size_t i = 0; i < signal.size(); ++i) {
        pcm[i] = int16_t(std::floor(signal[i] * scale + 0.5));
    }
    return pcm;
}

}  // namespace music
