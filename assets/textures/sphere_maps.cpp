// Sphere-map environment textures: each texel inside the inscribed disk holds the colour
// seen in the mirror direction of a sphere's normal, for a viewer looking down -z.
#include "assets/textures/textures.h"

#include <algorithm>
#include <cmath>

namespace textures {

namespace {

struct Rgb {
    double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
Rgb Add(Rgb a, Rgb b, double k) { return {a.r + b.r * k, a.g + b.g * k, a.b + b.b * k}; }
double Smooth(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// A light of angular size set by sharpness, seen in unit direction (x, y, z): a Gaussian
// lobe in the cosine of the angle between the mirror direction r and the light.
double Lobe(const double r[3], double x, double y, double z, double sharpness) {
    const double len = std::sqrt(x * x + y * y + z * z);
    const double cosine = (r[0] * x + r[1] * y + r[2] * z) / len;
    return std::exp(sharpness * (cosine - 1.0));
}

// Soft studio: warm white ceiling, grey horizon, dark floor, two soft boxes and a key light.
Rgb Studio(const double r[3]) {
    const Rgb ceiling{1.0, 0.98, 0.93}, horizon{0.8, 0.76, 0.72}, floor{0.2, 0.16, 0.17};
    const Rgb sky = Mix(horizon, ceiling, std::sqrt(std::max(0.0, r[1])));
    const Rgb ground = Mix(horizon, floor, std::pow(std::max(0.0, -r[1]), 0.5));
    Rgb c = Mix(ground, sky, Smooth(-0.08, 0.08, r[1]));
    const Rgb white{1, 1, 1};
    c = Add(c, white, 0.8 * Lobe(r, -0.5, 0.6, 0.6, 25));
    c = Add(c, white, 0.6 * Lobe(r, 0.75, 0.3, -0.5, 18));
    c = Add(c, white, 1.0 * Lobe(r, 0.3, 0.5, 0.8, 200));
    return c;
}

// Chrome: violet sky fading to lavender at a sharp horizon, a dark plum band below it
// warming to orange underfoot (the show's backdrop), and a hard sun glint.
Rgb Chrome(const double r[3]) {
    const Rgb zenith{0.26, 0.08, 0.42}, haze{0.96, 0.86, 1.0}, band{0.14, 0.04, 0.12}, underfoot{0.95, 0.6, 0.1};
    const Rgb sky = Mix(haze, zenith, std::pow(std::max(0.0, r[1]), 0.6));
    const Rgb ground = Mix(band, underfoot, std::pow(std::max(0.0, -r[1]), 0.8));
    Rgb c = Mix(ground, sky, Smooth(-0.015, 0.015, r[1]));
    const Rgb white{1, 1, 1};
    c = Add(c, white, 1.2 * Lobe(r, 0.45, 0.55, 0.7, 300));
    c = Add(c, white, 0.5 * Lobe(r, -0.6, 0.2, 0.75, 60));
    return c;
}

// Soap-bubble glass: a pale iridescent tint that turns with height, darker below, with two
// sharp glints.
Rgb Bubble(const double r[3]) {
    const double phase = 3.2 * r[1] + 1.5 * r[0];
    Rgb c{0.72 + 0.2 * std::cos(phase), 0.72 + 0.2 * std::cos(phase + 2.1), 0.78 + 0.2 * std::cos(phase + 4.2)};
    const double shade = 0.55 + 0.45 * Smooth(-0.9, 0.3, r[1]);
    c = {c.r * shade, c.g * shade, c.b * shade};
    const Rgb white{1, 1, 1};
    c = Add(c, white, 1.0 * Lobe(r, -0.4, 0.6, 0.7, 250));
    c = Add(c, white, 0.7 * Lobe(r, 0.6, -0.3, 0.75, 120));
    return c;
}

// Fills the canvas with the sphere map of env: 4x4 samples per texel; samples outside the
// disk take outside, or env looking straight back (the disk's rim colour) when null.
void ShadeSphereMap(Canvas& canvas, Rgb (*env)(const double r[3]), const Rgb* outside) {
    constexpr int kSamples = 4;
    const double backward[3] = {0, 0, -1};
    const Rgb rim = outside ? *outside : env(backward);
    cairo_surface_flush(canvas.surface);
    uint8_t* data = cairo_image_surface_get_data(canvas.surface);
    const int stride = cairo_image_surface_get_stride(canvas.surface);
    const double half = kTextureSize / 2.0;
    for (int py = 0; py < kTextureSize; ++py) {
        auto* row = reinterpret_cast<uint32_t*>(data + py * stride);
        for (int px = 0; px < kTextureSize; ++px) {
            Rgb sum{0, 0, 0};
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    // Sphere normal under the sample: x right, y up, z towards the viewer.
                    const double nx = (px + (sx + 0.5) / kSamples) / half - 1.0;
                    const double ny = 1.0 - (py + (sy + 0.5) / kSamples) / half;
                    const double d2 = nx * nx + ny * ny;
                    if (d2 >= 1.0) {
                        sum = Add(sum, rim, 1);
                        continue;
                    }
                    // Mirror of the view direction (0, 0, 1) about n: r = 2 (n.v) n - v.
                    const double nz = std::sqrt(1.0 - d2);
                    const double r[3] = {2 * nz * nx, 2 * nz * ny, 2 * nz * nz - 1};
                    sum = Add(sum, env(r), 1);
                }
            auto channel = [](double v) {
                return static_cast<uint32_t>(std::lround(std::clamp(v / (kSamples * kSamples), 0.0, 1.0) * 255));
            };
            row[px] = 0xFF000000u | channel(sum.r) << 16 | channel(sum.g) << 8 | channel(sum.b);
        }
    }
    cairo_surface_mark_dirty(canvas.surface);
}

bool MakeSphereMap(const std::string& dir, const char* name, Rgb (*env)(const double r[3]), const Rgb* outside,
                   Storage storage, uint8_t multiplyAlpha) {
    Canvas canvas = NewCanvas();
    ShadeSphereMap(canvas, env, outside);
    const bool ok = SaveTexture(canvas, dir, name, storage, multiplyAlpha);
    FreeCanvas(canvas);
    return ok;
}

}  // namespace

// Colour of the title's flat half: it shows texel (0, 0) of "logoenv.png", where linear
// filtering with wrap-around averages the four corner texels, so all corners hold it.
constexpr Rgb kLogoFlatColour{0.2, 0.06, 0.22};

// The ball's glass is stored with alpha 80: mode 6 then gives 0.31*src + dst*src, the
// cone seen through a tinted bubble that keeps some body of its own over dark stripes.
constexpr uint8_t kBubbleStoredAlpha = 80;

bool MakeSphereMaps(const std::string& dir) {
    bool ok = MakeSphereMap(dir, "envmap1.png", Studio, nullptr, Storage::Opaque, 0);
    ok = MakeSphereMap(dir, "logoenv.png", Chrome, &kLogoFlatColour, Storage::Opaque, 0) && ok;
    ok = MakeSphereMap(dir, "fisse.png", Bubble, nullptr, Storage::Multiply, kBubbleStoredAlpha) && ok;
    return ok;
}

}  // namespace textures
