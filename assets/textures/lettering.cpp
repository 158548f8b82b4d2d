// Lettering textures, all drawn with blend mode 4 (a multiply): dark ink on white paper,
// stored with alpha 0 so that src*(1 - srcA) vanishes and the picture multiplies the frame.
#include "assets/textures/textures.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace textures {

namespace {

constexpr double kInk[3] = {0.14, 0.05, 0.12};

void UseInk(cairo_t* cr) { cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]); }

Canvas NewPaper() {
    Canvas canvas = NewCanvas();
    cairo_set_source_rgb(canvas.cr, 1, 1, 1);
    cairo_paint(canvas.cr);
    return canvas;
}

bool SavePaper(Canvas& canvas, const std::string& dir, const char* name) {
    const bool ok = SaveTexture(canvas, dir, name, Storage::Multiply, 0);
    FreeCanvas(canvas);
    return ok;
}

// Draws each line centred across the texture with baselines from firstBaseline, spacing apart.
void CentredLines(cairo_t* cr, cairo_font_face_t* font, const char* const* lines, int count, double firstBaseline,
                  double spacing, double size, double xScale) {
    for (int i = 0; i < count; ++i) {
        const double width = TextWidth(cr, font, lines[i], size, xScale);
        DrawText(cr, font, lines[i], (kTextureSize - width) / 2, firstBaseline + i * spacing, size, xScale);
    }
}

// The title line, one word per texel rectangle of the title's word table. The words share
// one letter size (the largest at which each fits its rectangle) and sit left-aligned on a
// common baseline within their rectangles, so that on screen they read as one line.
bool MakeTitleWords(const std::string& dir, cairo_font_face_t* font) {
    Canvas canvas = NewPaper();
    cairo_t* cr = canvas.cr;
    UseInk(cr);
    constexpr double kMargin = 3;
    const char* words[] = {"THE", "FUNKY", "ORANGE", "MACHINE", "GOES", "LIVE"};
    double size = 1e9;
    for (size_t i = 0; i < std::size(words); ++i) {
        const WordRect& r = kTitleWordRects[i];
        size = std::min(size, FitSize(cr, font, words[i], r.right - r.left - 2 * kMargin,
                                      r.bottom - r.top - 2 * kMargin, kSqueeze4To3));
    }
    const TextInk capital = MeasureInk(cr, font, "H", size, kSqueeze4To3);
    for (size_t i = 0; i < std::size(words); ++i) {
        const WordRect& r = kTitleWordRects[i];
        const TextInk ink = MeasureInk(cr, font, words[i], size, kSqueeze4To3);
        const double baseline = (r.top + r.bottom + capital.height) / 2;
        DrawText(cr, font, words[i], r.left + kMargin - ink.left, baseline, size, kSqueeze4To3);
    }
    return SavePaper(canvas, dir, "os.png");
}

// The text panel: the show draws only the upper 60 % (rows 0 to 153), stretched to a
// 1.4 x 0.7 screen quad, so the text is squeezed to keep its proportions.
bool MakeTextPanel(const std::string& dir, cairo_font_face_t* font) {
    Canvas canvas = NewPaper();
    cairo_t* cr = canvas.cr;
    UseInk(cr);
    cairo_set_line_width(cr, 3);
    cairo_rectangle(cr, 5, 5, kTextureSize - 10, 143);
    cairo_stroke(cr);
    const char* title = "ORANGEFUNK";
    CentredLines(cr, font, &title, 1, 38, 0, 30, kSqueezeTextPanel);
    const char* lines[] = {
        "seven parts and a tentacle finale,",
        "all in step with a funk tracker tune;",
        "every texture, object and note in it",
        "was made from scratch by our own code.",
    };
    CentredLines(cr, font, lines, static_cast<int>(std::size(lines)), 66, 22, 16, kSqueezeTextPanel);
    return SavePaper(canvas, dir, "txt.png");
}

// The greetings screen, laid over the whole picture as a 1.6 x 1.6 screen quad.
bool MakeGreetings(const std::string& dir, cairo_font_face_t* font) {
    Canvas canvas = NewPaper();
    cairo_t* cr = canvas.cr;
    UseInk(cr);
    const char* title = "GREETINGS";
    CentredLines(cr, font, &title, 1, 40, 0, 34, kSqueeze4To3);
    cairo_set_line_width(cr, 3);
    cairo_move_to(cr, 48, 52);
    cairo_line_to(cr, 208, 52);
    cairo_stroke(cr);
    const char* groups[] = {
        "the copper cats",       "nullpointer posse",      "tangerine dreamers",
        "pixel farmers union",   "saturday night coders",  "bitshift brothers",
        "vector velvet",         "the raster rascals",     "kernel panic orchestra",
        "and every funky scener",
    };
    CentredLines(cr, font, groups, static_cast<int>(std::size(groups)), 76, 19, 16, kSqueeze4To3);
    return SavePaper(canvas, dir, "greets.png");
}

}  // namespace

bool MakeLettering(const std::string& dir, cairo_font_face_t* font) {
    bool ok = MakeTitleWords(dir, font);
    ok = MakeTextPanel(dir, font) && ok;
    ok = MakeGreetings(dir, font) && ok;
    return ok;
}

}  // namespace textures
