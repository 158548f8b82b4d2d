// Text outlines: glyph contours from a TrueType font, flattened to polygons in em units.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cstdio>
#include <cstdlib>

#include "assets/objects/objects.h"

namespace {

constexpr int kCurveSteps = 6;  // line segments per Bézier segment

struct OutlineSink {
    std::vector<Contour>* contours;
    float scale;    // font units to em
    float penX;     // em
    Point2 last;    // current point, em
};

Point2 ToEm(const OutlineSink* sink, const FT_Vector* v) {
    return {sink->penX + static_cast<float>(v->x) * sink->scale, static_cast<float>(v->y) * sink->scale};
}

// Appends p unless it repeats the current point (the closing point is dropped later).
void Emit(OutlineSink* sink, Point2 p) {
    Contour& c = sink->contours->back();
    if (c.empty() || c.back().x != p.x || c.back().y != p.y) c.push_back(p);
    sink->last = p;
}

int MoveTo(const FT_Vector* to, void* user) {
    OutlineSink* sink = static_cast<OutlineSink*>(user);
    sink->contours->emplace_back();
    Emit(sink, ToEm(sink, to));
    return 0;
}

int LineTo(const FT_Vector* to, void* user) {
    OutlineSink* sink = static_cast<OutlineSink*>(user);
    Emit(sink, ToEm(sink, to));
    return 0;
}

// Quadratic Bézier p0, p1, p2: B(t) = (1-t)^2 p0 + 2t(1-t) p1 + t^2 p2.
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    OutlineSink* sink = static_cast<OutlineSink*>(user);
    Point2 p0 = sink->last, p1 = ToEm(sink, control), p2 = ToEm(sink, to);
    for (int i = 1; i <= kCurveSteps; ++i) {
        float t = static_cast<float>(i) / kCurveSteps, s = 1.0f - t;
        Emit(sink, {s * s * p0.x + 2 * t * s * p1.x + t * t * p2.x,
                    s * s * p0.y + 2 * t * s * p1.y + t * t * p2.y});
    }
    return 0;
}

// Cubic Bézier p0..p3 in Bernstein form.
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    OutlineSink* sink = static_cast<OutlineSink*>(user);
    Point2 p0 = sink->last, p1 = ToEm(sink, c1), p2 = ToEm(sink, c2), p3 = ToEm(sink, to);
    for (int i = 1; i <= kCurveSteps; ++i) {
        float t = static_cast<float>(i) / kCurveSteps, s = 1.0f - t;
        float w0 = s * s * s, w1 = 3 * s * s * t, w2 = 3 * s * t * t, w3 = t * t * t;
        Emit(sink, {w0 * p0.x + w1 * p1.x + w2 * p2.x + w3 * p3.x,
                    w0 * p0.y + w1 * p1.y + w2 * p2.y + w3 * p3.y});
    }
    return 0;
}

[[noreturn]] void Fail(const char* fontPath, const char* what) {
    std::fprintf(stderr, "make_objects: font \"%s\": %s\n", fontPath, what);
    std::exit(1);
}

}  // namespace

std::vector<Contour> TextOutline(const char* fontPath, const char* text, float* width) {
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) != 0) Fail(fontPath, "FT_Init_FreeType failed");
    if (FT_New_Face(library, fontPath, 0, &face) != 0) Fail(fontPath, "FT_New_Face failed (missing or not a font)");

    std::vector<Contour> contours;
    OutlineSink sink{&contours, 1.0f / static_cast<float>(face->units_per_EM), 0.0f, {0, 0}};
    FT_Outline_Funcs funcs{};
    funcs.move_to = MoveTo;
    funcs.line_to = LineTo;
    funcs.conic_to = ConicTo;
    funcs.cubic_to = CubicTo;
    for (const char* p = text; *p; ++p) {
        // Unscaled outlines in font units: independent of any hinting or pixel size.
        if (FT_Load_Char(face, static_cast<unsigned char>(*p), FT_LOAD_NO_SCALE) != 0)
            Fail(fontPath, "FT_Load_Char failed");
        if (FT_Outline_Decompose(&face->glyph->outline, &funcs, &sink) != 0)
            Fail(fontPath, "FT_Outline_Decompose failed");
        sink.penX += static_cast<float>(face->glyph->advance.x) * sink.scale;
    }
    *width = sink.penX;
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    // Contours close on their first point; keep each point once.
    for (Contour& c : contours)
        if (c.size() > 1 && c.front().x == c.back().x && c.front().y == c.back().y) c.pop_back();
    std::erase_if(contours, [](const Contour& c) { return c.size() < 3; });
    return contours;
}
