// The texture generator's shared pieces: a cairo canvas of one texture, how its pixels are
// stored for the blend mode the show draws it with, the PNG writer and the drawers.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace textures {

constexpr int kTextureSize = 256;  // every texture is square; sprites address 256x256 texels

// Horizontal squeeze for pictures shown on screen: a sprite or quad of W x H screen units
// covers W*320 x H*240 pixels of the 640x480 screen, so a texel is drawn (W*320)/(H*240)
// times wider than high; drawing with this x scale makes shapes come out undistorted.
constexpr double kSqueeze4To3 = 0.75;     // square quads and 256x256 sprites on a 4:3 screen
constexpr double kSqueezeTextPanel = 0.625;  // the text panel: 1.4 x 0.7 units over 256 x 153.6 texels

// Texel rectangles of the six title words in "os.png", in showing order (the title part
// draws word i from this rectangle).
struct WordRect {
    int left, top, right, bottom;
};
constexpr WordRect kTitleWordRects[6] = {{4, 2, 80, 39},   {4, 42, 117, 79},  {4, 82, 126, 119},
                                         {4, 122, 153, 159}, {4, 162, 88, 199}, {4, 202, 80, 239}};

// How the show blends a texture decides what its pixels must hold. The loader inverts the
// stored alpha, so the blend's source alpha is 1 - stored alpha (and 0 for files without
// alpha, whose filler byte is 0).
enum class Storage {
    Opaque,         // RGB file: mode 2 (opaque), sampled as is
    Multiply,       // RGBA, colour = multiply factor over white paper (white = see-through),
                    // stored alpha constant: modes 4, 6, 15 compute src*(1-srcA) + dst*src
    Premultiplied,  // RGBA, premultiplied colour and stored alpha = opacity: mode 11 computes
                    // src + dst*srcA, a premultiplied "over"; see-through pixels are black
};

// One texture being drawn: an ARGB32 cairo surface and its context.
struct Canvas {
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
};

// A new transparent canvas of kTextureSize square; for Multiply textures paint it white first.
Canvas NewCanvas();
void FreeCanvas(Canvas& canvas);

// The canvas's pixels as 8-bit RGBA (rows top first) for storage: Opaque and Multiply take
// the straight colour (their canvases are painted opaque, so normally unchanged),
// Premultiplied keeps cairo's premultiplied colour and its alpha.
// multiplyAlpha is the constant stored alpha of Multiply textures.
std::vector<uint8_t> StoredPixels(const Canvas& canvas, Storage storage, uint8_t multiplyAlpha = 0);

// Writes 8-bit RGBA pixels of a width x height image as a PNG (RGB when channels is 3, the
// alpha bytes dropped). Returns false after printing a message naming the file.
bool WritePng(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height, int channels);

// Writes the canvas to dir/name with the given storage; false (with a message) on failure.
bool SaveTexture(const Canvas& canvas, const std::string& dir, const char* name, Storage storage,
                 uint8_t multiplyAlpha = 0);

// The lettering font, loaded through FreeType once per run; null with a message on failure.
cairo_font_face_t* LoadFont(const char* fontFile);
void FreeFont(cairo_font_face_t* font);

// Ink box of text relative to its origin (left edge, baseline), in texels.
struct TextInk {
    double left, top, width, height;
};
TextInk MeasureInk(cairo_t* cr, cairo_font_face_t* font, const char* text, double size, double xScale);
// The largest size at which the ink of text fits a width x height box, squeezed by xScale.
double FitSize(cairo_t* cr, cairo_font_face_t* font, const char* text, double width, double height, double xScale);
// Draws text centred in the texel rectangle (left, top, right, bottom) at the largest size
// that fits inside it with the given margin, squeezed horizontally by xScale.
void FitText(cairo_t* cr, cairo_font_face_t* font, const char* text, double left, double top, double right,
             double bottom, double margin, double xScale);
// Draws text with its baseline starting at (x, y) texels, size in texels, squeezed by xScale;
// returns the drawn width in texels.
double DrawText(cairo_t* cr, cairo_font_face_t* font, const char* text, double x, double y, double size,
                double xScale);
// Width in texels of text at the given size and squeeze.
double TextWidth(cairo_t* cr, cairo_font_face_t* font, const char* text, double size, double xScale);

// Drawers, grouped by kind; each writes its files into dir and returns false on failure.
bool MakeSphereMaps(const std::string& dir);                              // envmap1, logoenv, fisse
bool MakePatterns(const std::string& dir);                                // stripe, striber3, plettet, circles
bool MakeLettering(const std::string& dir, cairo_font_face_t* font);      // os, txt, greets
bool MakePictures(const std::string& dir, cairo_font_face_t* font);       // 1-4, toypush

}  // namespace textures
