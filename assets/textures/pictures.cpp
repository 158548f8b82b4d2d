// Pictures drawn with blend mode 11 (src + dst*srcA): the four cards of the sliding strip
// and the frame laid over the ball. They are stored premultiplied with alpha as opacity,
// so see-through texels are black with alpha 0. Round shapes are drawn squeezed by the
// 4:3 screen factor so that they come out round on screen.
#include "assets/textures/textures.h"

#include <cmath>

namespace textures {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kPlum[3] = {0.2, 0.06, 0.2};
constexpr double kCream[3] = {1.0, 0.93, 0.76};
constexpr double kOrange[3] = {0.96, 0.58, 0.05};

void SetColour(cairo_t* cr, const double c[3], double alpha = 1.0) {
    cairo_set_source_rgba(cr, c[0], c[1], c[2], alpha);
}

void RoundedRect(cairo_t* cr, double left, double top, double right, double bottom, double radius) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, right - radius, top + radius, radius, -kPi / 2, 0);
    cairo_arc(cr, right - radius, bottom - radius, radius, 0, kPi / 2);
    cairo_arc(cr, left + radius, bottom - radius, radius, kPi / 2, kPi);
    cairo_arc(cr, left + radius, top + radius, radius, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

// A filled card with rounded corners, leaving the context clipped to the card, translated
// to its centre and squeezed for the screen.
void StartCard(cairo_t* cr, const double fill[3]) {
    cairo_save(cr);
    RoundedRect(cr, 8, 8, 248, 248, 22);
    SetColour(cr, fill);
    cairo_fill_preserve(cr);
    cairo_clip(cr);
    cairo_translate(cr, 128, 128);
    cairo_scale(cr, kSqueeze4To3, 1.0);
}

// Draws the card's border over its content and writes the card.
bool SaveCard(Canvas& canvas, const double border[3], const std::string& dir, const char* name) {
    cairo_t* cr = canvas.cr;
    cairo_restore(cr);
    RoundedRect(cr, 10, 10, 246, 246, 20);
    cairo_set_line_width(cr, 5);
    SetColour(cr, border);
    cairo_stroke(cr);
    const bool ok = SaveTexture(canvas, dir, name, Storage::Premultiplied);
    FreeCanvas(canvas);
    return ok;
}

// Card 1: a record with grooves, an orange label and a sheen.
bool MakeRecordCard(const std::string& dir) {
    Canvas canvas = NewCanvas();
    cairo_t* cr = canvas.cr;
    StartCard(cr, kCream);
    cairo_arc(cr, 0, 0, 100, 0, 2 * kPi);
    cairo_set_source_rgb(cr, 0.09, 0.05, 0.08);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.5);
    cairo_set_source_rgb(cr, 0.26, 0.2, 0.24);
    for (double r = 46; r < 96; r += 6.5) {
        cairo_arc(cr, 0, 0, r, 0, 2 * kPi);
        cairo_stroke(cr);
    }
    cairo_move_to(cr, 0, 0);
    cairo_arc(cr, 0, 0, 98, -2.4, -1.7);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.18);
    cairo_fill(cr);
    cairo_arc(cr, 0, 0, 36, 0, 2 * kPi);
    SetColour(cr, kOrange);
    cairo_fill(cr);
    cairo_arc(cr, 0, 0, 5, 0, 2 * kPi);
    SetColour(cr, kPlum);
    cairo_fill(cr);
    return SaveCard(canvas, kPlum, dir, "1.png");
}

// Card 2: a loudspeaker on a purple card.
bool MakeSpeakerCard(const std::string& dir) {
    Canvas canvas = NewCanvas();
    cairo_t* cr = canvas.cr;
    const double purple[3] = {0.34, 0.1, 0.4};
    StartCard(cr, purple);
    cairo_arc(cr, 0, 0, 96, 0, 2 * kPi);
    cairo_set_source_rgb(cr, 0.08, 0.03, 0.08);
    cairo_fill(cr);
    cairo_arc(cr, 0, 0, 86, 0, 2 * kPi);
    cairo_set_source_rgb(cr, 0.42, 0.36, 0.42);
    cairo_fill(cr);
    cairo_pattern_t* cone = cairo_pattern_create_radial(-12, -14, 6, 0, 0, 76);
    cairo_pattern_add_color_stop_rgb(cone, 0, 0.62, 0.56, 0.6);
    cairo_pattern_add_color_stop_rgb(cone, 1, 0.14, 0.1, 0.14);
    cairo_arc(cr, 0, 0, 76, 0, 2 * kPi);
    cairo_set_source(cr, cone);
    cairo_fill(cr);
    cairo_pattern_destroy(cone);
    cairo_arc(cr, 0, 0, 26, 0, 2 * kPi);
    SetColour(cr, kOrange);
    cairo_fill(cr);
    cairo_arc(cr, -8, -9, 8, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.45);
    cairo_fill(cr);
    for (int i = 0; i < 4; ++i) {  // screws on the rim
        const double a = kPi / 4 + i * kPi / 2;
        cairo_arc(cr, 91 * std::cos(a), 91 * std::sin(a), 3.5, 0, 2 * kPi);
        SetColour(cr, kCream);
        cairo_fill(cr);
    }
    return SaveCard(canvas, kOrange, dir, "2.png");
}

// Card 3: a bar-graph equaliser, yellow at the foot to red at the top.
bool MakeEqualiserCard(const std::string& dir) {
    Canvas canvas = NewCanvas();
    cairo_t* cr = canvas.cr;
    const double dark[3] = {0.12, 0.05, 0.12};
    StartCard(cr, dark);
    const int levels[8] = {6, 9, 11, 8, 10, 5, 7, 4};  // lit segments per bar, of 12
    for (int bar = 0; bar < 8; ++bar)
        for (int seg = 0; seg < 12; ++seg) {
            const double x = -128 + 18 + bar * 28.5, y = 92 - seg * 15;
            const double t = seg / 11.0;  // yellow -> orange -> red up the bar
            const double lit = seg < levels[bar] ? 1.0 : 0.16;
            cairo_set_source_rgba(cr, 1.0, 0.9 - 0.75 * t, 0.2 - 0.15 * t, lit);
            RoundedRect(cr, x, y - 11, x + 24, y, 3);
            cairo_fill(cr);
        }
    return SaveCard(canvas, kCream, dir, "3.png");
}

// Card 4: two beamed notes over a ray burst, with a word under them.
bool MakeNoteCard(const std::string& dir, cairo_font_face_t* font) {
    Canvas canvas = NewCanvas();
    cairo_t* cr = canvas.cr;
    const double yellow[3] = {1.0, 0.8, 0.15};
    StartCard(cr, yellow);
    for (int i = 0; i < 16; i += 2) {
        cairo_move_to(cr, 0, -20);
        cairo_arc(cr, 0, -20, 260, i * kPi / 8, (i + 1) * kPi / 8);
        cairo_close_path(cr);
    }
    SetColour(cr, kOrange);
    cairo_fill(cr);
    SetColour(cr, kPlum);
    for (double x : {-50.0, 44.0}) {  // note heads, tilted ovals, and their stems
        cairo_save(cr);
        cairo_translate(cr, x, 30);
        cairo_rotate(cr, -0.4);
        cairo_scale(cr, 1.35, 1.0);
        cairo_arc(cr, 0, 0, 18, 0, 2 * kPi);
        cairo_restore(cr);
        cairo_fill(cr);
        cairo_rectangle(cr, x + 14, -78, 9, 106);
        cairo_fill(cr);
    }
    cairo_move_to(cr, -36, -78);
    cairo_line_to(cr, 67, -92);
    cairo_line_to(cr, 67, -70);
    cairo_line_to(cr, -36, -56);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_identity_matrix(cr);
    FitText(cr, font, "FUNK", 40, 176, 216, 232, 2, kSqueeze4To3);
    return SaveCard(canvas, kPlum, dir, "4.png");
}

// The frame over the ball: a plum border with orange hatching and a name plate, a cream
// inner edge and a soft shadow falling inwards; the centre is see-through.
bool MakeFrame(const std::string& dir, cairo_font_face_t* font) {
    Canvas canvas = NewCanvas();
    cairo_t* cr = canvas.cr;
    constexpr double kOuter = 3, kInner = 26;
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    RoundedRect(cr, kOuter, kOuter, 256 - kOuter, 256 - kOuter, 22);
    RoundedRect(cr, kInner, kInner, 256 - kInner, 256 - kInner, 12);
    SetColour(cr, kPlum);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    cairo_set_line_width(cr, 5);
    SetColour(cr, kOrange);
    for (int d = -256; d < 512; d += 16) {
        cairo_move_to(cr, d, 0);
        cairo_line_to(cr, d + 256, 256);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
    // Inner shadow: nested outlines of falling opacity.
    cairo_set_line_width(cr, 1.0);
    for (int i = 0; i < 12; ++i) {
        const double fade = 1.0 - i / 12.0;
        RoundedRect(cr, kInner + i + 0.5, kInner + i + 0.5, 256 - kInner - i - 0.5, 256 - kInner - i - 0.5, 12);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.45 * fade * fade);
        cairo_stroke(cr);
    }
    RoundedRect(cr, kInner - 1, kInner - 1, 257 - kInner, 257 - kInner, 13);
    cairo_set_line_width(cr, 2.5);
    SetColour(cr, kCream);
    cairo_stroke(cr);
    RoundedRect(cr, 78, 234, 178, 254, 6);
    SetColour(cr, kPlum);
    cairo_fill(cr);
    SetColour(cr, kCream);
    FitText(cr, font, "ORANGEFUNK", 78, 234, 178, 254, 3, kSqueeze4To3);
    const bool ok = SaveTexture(canvas, dir, "toypush.png", Storage::Premultiplied);
    FreeCanvas(canvas);
    return ok;
}

}  // namespace

bool MakePictures(const std::string& dir, cairo_font_face_t* font) {
    bool ok = MakeRecordCard(dir);
    ok = MakeSpeakerCard(dir) && ok;
    ok = MakeEqualiserCard(dir) && ok;
    ok = MakeNoteCard(dir, font) && ok;
    ok = MakeFrame(dir, font) && ok;
    return ok;
}

}  // namespace textures
