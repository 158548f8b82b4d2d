// Tiling patterns: the tube's diagonal stripes, the cone's chevrons, the tentacles' spots
// and the toy box's circles. Every pattern repeats with a period dividing 256 texels, so
// GL_REPEAT shows no seams.
#include "assets/textures/textures.h"

#include <cmath>

namespace textures {

namespace {

constexpr double kPi = 3.14159265358979323846;

void SetColour(cairo_t* cr, double r, double g, double b) { cairo_set_source_rgb(cr, r, g, b); }

// Diagonal stripes for the tube (unit 0 of blend mode 15, a multiply): plum ink bands with
// a thin brown pin line between them on white paper. Bands run along x + y = const with a
// 64-texel period, which wraps onto itself at 256.
bool MakeStripe(const std::string& dir) {
    Canvas canvas = NewCanvas();
    cairo_t* cr = canvas.cr;
    SetColour(cr, 1, 1, 1);
    cairo_paint(cr);
    auto band = [cr](double from, double to) {  // the region from <= x + y <= to
        cairo_move_to(cr, from + 64, -64);
        cairo_line_to(cr, to + 64, -64);
        cairo_line_to(cr, to - 384, 384);
        cairo_line_to(cr, from - 384, 384);
        cairo_close_path(cr);
    };
    for (int k = -1; k <= 9; ++k) band(64.0 * k, 64.0 * k + 26);
    SetColour(cr, 0.3, 0.1, 0.22);
    cairo_fill(cr);
    for (int k = -1; k <= 9; ++k) band(64.0 * k + 43, 64.0 * k + 47);
    SetColour(cr, 0.58, 0.38, 0.3);
    cairo_fill(cr);
    const bool ok = SaveTexture(canvas, dir, "stripe.png", Storage::Multiply, 0);
    FreeCanvas(canvas);
    return ok;
}

// Chevron bands for the cone (opaque): purple, cream, orange and yellow bands that zigzag
// across with a 64-texel period both ways.
bool MakeStriber(const std::string& dir) {
    Canvas canvas = NewCanvas();
    cairo_t* cr = canvas.cr;
    struct Band {
        double top, r, g, b;
    };
    const Band bands[] = {{0, 0.24, 0.07, 0.3}, {22, 1.0, 0.93, 0.78}, {28, 0.96, 0.55, 0.05}, {54, 1.0, 0.84, 0.2}};
    // Zigzag edge: y = base + 10 * triangle wave of x with period 64.
    auto edge = [](double x) { return 10.0 * std::fabs(std::fmod(x + 6400.0, 64.0) / 32.0 - 1.0); };
    for (int period = -1; period <= 4; ++period)
        for (size_t i = 0; i < std::size(bands); ++i) {
            const double top = 64.0 * period + bands[i].top;
            const double bottom = 64.0 * period + (i + 1 < std::size(bands) ? bands[i + 1].top : 64.0);
            cairo_move_to(cr, -64, top + edge(-64));
            for (int x = -32; x <= 320; x += 32) cairo_line_to(cr, x, top + edge(x));
            for (int x = 320; x >= -64; x -= 32) cairo_line_to(cr, x, bottom + edge(x));
            cairo_close_path(cr);
            SetColour(cr, bands[i].r, bands[i].g, bands[i].b);
            cairo_fill(cr);
        }
    const bool ok = SaveTexture(canvas, dir, "striber3.png", Storage::Opaque);
    FreeCanvas(canvas);
    return ok;
}

// Leopard rosettes for the tentacles, stored opaque (RGB, so the loaded alpha is 0). The
// final scene draws it in blend mode 15, src*(1 - srcA) + dst*src, onto a frame that is
// black (its background fill is drawn in the same mode and so leaves black): with srcA = 0
// the tentacles show their own colours. Dark broken rings around tan centres on cream, at
// fixed pseudo-random places, drawn again one period away on every side so spots crossing
// an edge continue on the opposite one.
bool MakePlettet(const std::string& dir) {
    Canvas canvas = NewCanvas();
    cairo_t* cr = canvas.cr;
    SetColour(cr, 1, 0.9, 0.62);
    cairo_paint(cr);
    uint32_t seed = 20261207u;
    auto next = [&seed] {  // fixed linear congruential sequence, uniform in [0, 1)
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / 16777216.0;
    };
    constexpr int kSpots = 5;  // per row of a 5 x 5 jittered grid
    for (int gy = 0; gy < kSpots; ++gy)
        for (int gx = 0; gx < kSpots; ++gx) {
            const double cx = (gx + 0.2 + 0.6 * next()) * 256.0 / kSpots;
            const double cy = (gy + 0.2 + 0.6 * next()) * 256.0 / kSpots;
            const double radius = 11 + 9 * next();
            const double turn = 2 * kPi * next();
            for (int oy = -1; oy <= 1; ++oy)
                for (int ox = -1; ox <= 1; ++ox) {
                    const double x = cx + 256.0 * ox, y = cy + 256.0 * oy;
                    cairo_arc(cr, x, y, radius * 0.75, 0, 2 * kPi);
                    SetColour(cr, 0.72, 0.52, 0.38);
                    cairo_fill(cr);
                    // Three ring pieces with gaps make the rosette.
                    cairo_set_line_width(cr, radius * 0.38);
                    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                    for (int piece = 0; piece < 3; ++piece) {
                        const double a = turn + piece * 2 * kPi / 3;
                        cairo_new_sub_path(cr);
                        cairo_arc(cr, x, y, radius, a, a + 1.55);
                    }
                    SetColour(cr, 0.22, 0.1, 0.06);
                    cairo_stroke(cr);
                }
        }
    const bool ok = SaveTexture(canvas, dir, "plettet.png", Storage::Opaque, 0);
    FreeCanvas(canvas);
    return ok;
}

// Concentric circles for the toy box (opaque): a 4 x 4 grid of ring targets whose colour
// order shifts from cell to cell.
bool MakeCircles(const std::string& dir) {
    Canvas canvas = NewCanvas();
    cairo_t* cr = canvas.cr;
    const double palette[4][3] = {{0.96, 0.66, 0.05}, {0.25, 0.07, 0.3}, {1.0, 0.93, 0.75}, {0.85, 0.2, 0.12}};
    SetColour(cr, palette[0][0], palette[0][1], palette[0][2]);
    cairo_paint(cr);
    for (int cy = 0; cy < 4; ++cy)
        for (int cx = 0; cx < 4; ++cx)
            for (int ring = 0; ring < 5; ++ring) {
                const double* c = palette[(cx + cy + ring + 1) % 4];
                cairo_arc(cr, 32 + 64 * cx, 32 + 64 * cy, 29 - 6 * ring, 0, 2 * kPi);
                SetColour(cr, c[0], c[1], c[2]);
                cairo_fill(cr);
            }
    const bool ok = SaveTexture(canvas, dir, "circles.png", Storage::Opaque);
    FreeCanvas(canvas);
    return ok;
}

}  // namespace

bool MakePatterns(const std::string& dir) {
    bool ok = MakeStripe(dir);
    ok = MakeStriber(dir) && ok;
    ok = MakePlettet(dir) && ok;
    ok = MakeCircles(dir) && ok;
    return ok;
}

}  // namespace textures
