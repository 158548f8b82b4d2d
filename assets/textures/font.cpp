// The lettering font (a TrueType file read through FreeType) and text placement in texels.
#include "assets/textures/textures.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>

namespace textures {

namespace {

// The FreeType objects behind a cairo font face, released when cairo drops the face.
struct FontFile {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};
cairo_user_data_key_t fontFileKey;

void ReleaseFontFile(void* data) {
    auto* file = static_cast<FontFile*>(data);
    FT_Done_Face(file->face);
    FT_Done_FreeType(file->library);
    delete file;
}

// Selects the font at size texels with outlines unhinted, so glyph shapes do not depend on
// the hinting settings of the machine.
void UseFont(cairo_t* cr, cairo_font_face_t* font, double size) {
    cairo_set_font_face(cr, font);
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

}  // namespace

cairo_font_face_t* LoadFont(const char* fontFile) {
    auto* file = new FontFile;
    if (FT_Init_FreeType(&file->library) != 0) {
        std::fprintf(stderr, "make_textures: FT_Init_FreeType failed\n");
        delete file;
        return nullptr;
    }
    if (FT_New_Face(file->library, fontFile, 0, &file->face) != 0) {
        std::fprintf(stderr, "make_textures: cannot load the font \"%s\" (package fonts-dejavu-core)\n", fontFile);
        FT_Done_FreeType(file->library);
        delete file;
        return nullptr;
    }
    cairo_font_face_t* font = cairo_ft_font_face_create_for_ft_face(file->face, 0);
    cairo_font_face_set_user_data(font, &fontFileKey, file, ReleaseFontFile);
    return font;
}

void FreeFont(cairo_font_face_t* font) { cairo_font_face_destroy(font); }

double TextWidth(cairo_t* cr, cairo_font_face_t* font, const char* text, double size, double xScale) {
    UseFont(cr, font, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    return extents.x_advance * xScale;
}

double DrawText(cairo_t* cr, cairo_font_face_t* font, const char* text, double x, double y, double size,
                double xScale) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, xScale, 1.0);
    UseFont(cr, font, size);
    cairo_move_to(cr, 0, 0);
    cairo_text_path(cr, text);
    cairo_fill(cr);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    cairo_restore(cr);
    return extents.x_advance * xScale;
}

TextInk MeasureInk(cairo_t* cr, cairo_font_face_t* font, const char* text, double size, double xScale) {
    UseFont(cr, font, size);
    cairo_text_extents_t ink;
    cairo_text_extents(cr, text, &ink);
    return {ink.x_bearing * xScale, ink.y_bearing, ink.width * xScale, ink.height};
}

double FitSize(cairo_t* cr, cairo_font_face_t* font, const char* text, double width, double height, double xScale) {
    // The ink box grows linearly with the size: measure once at a reference size.
    constexpr double kReference = 100.0;
    const TextInk ink = MeasureInk(cr, font, text, kReference, xScale);
    return kReference * std::min(width / ink.width, height / ink.height);
}

void FitText(cairo_t* cr, cairo_font_face_t* font, const char* text, double left, double top, double right,
             double bottom, double margin, double xScale) {
    const double size = FitSize(cr, font, text, right - left - 2 * margin, bottom - top - 2 * margin, xScale);
    const TextInk ink = MeasureInk(cr, font, text, size, xScale);
    // Place the origin so that the ink box is centred in the rectangle.
    DrawText(cr, font, text, (left + right - ink.width) / 2 - ink.left, (top + bottom - ink.height) / 2 - ink.top,
             size, xScale);
}

}  // namespace textures
