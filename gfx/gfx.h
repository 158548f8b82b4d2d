// Graphics device layer: vertex record, renderer interface, images and PNG loading,
// graphics system and display. The rest of the show sees only these interfaces; the
// OpenGL implementations live in gl_*.cpp.
//
// Screen convention: screenX and screenY are normalised, -1 at the left/bottom edge to
// +1 at the right/top edge. Depth: z is camera-space depth (never 0); the renderer sends
// 1/z as the vertex depth, the depth test passes on GEQUAL and the buffer clears to 0,
// so nearer points win. Full-screen 2D layers use z = -1 (window depth 0, farthest).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/interface/win32.h"

// The vertex record every draw operation takes: fourteen 32-bit fields in this order.
struct ScreenVertex {
    float x, y, z;          // camera space; z must not be 0 (the renderer uses 1/z)
    float screenX, screenY; // normalised screen position, -1..1, y up
    int32_t clipFlags;      // outcodes kept by the effect toolkit; not read by the renderer
    float red, green, blue; // vertex colour, 0..1
    float s0, t0;           // texture unit 0
    float s1, t1;           // texture unit 1 (DrawTriangleMultitex only)
    float alpha;            // vertex alpha, 0..1 (DrawQuad only)
};
static_assert(sizeof(ScreenVertex) == 56, "ScreenVertex is a 56-byte record");

// OpenGL texture name handed out by CreateTexture; 0 means no texture.
using TextureId = int;

// A pixel layout described by bit masks; shifts and losses are derived on construction.
struct PixelFormat {
    PixelFormat(int bitsPerPixel, uint32_t redMask, uint32_t greenMask, uint32_t blueMask);
    int BytesPerPixel() const;  // 2, 3 or 4 for 16, 24, 32 bits; 0 otherwise

    int bitsPerPixel;
    uint32_t redMask, greenMask, blueMask;
    uint8_t redShift, greenShift, blueShift;  // lowest set bit, 0..31 (32 for an empty mask)
    uint8_t redLoss, greenLoss, blueLoss;     // 8 - run length of set bits (8 for an empty mask)
};

// The 32-bit format of every loaded PNG (red mask 0x00FF0000, green 0x0000FF00, blue 0x000000FF).
extern const PixelFormat kPixelFormat32;

// A block of pixels: height rows of pitch bytes, top row first. Owns its bytes.
class Image {
public:
    Image(int width, int height, const PixelFormat& format, int pitch);
    int Width() const { return width; }
    int Height() const { return height; }
    uint8_t* Pixels() { return pixels.data(); }
    const uint8_t* Pixels() const { return pixels.data(); }

    int width;
    int height;
    int pitch;
    const PixelFormat& format;
    std::vector<uint8_t> pixels;
};

// Decodes a PNG file into a new 32-bit image (red, green, blue, inverted alpha or filler 0
// per pixel; pitch = width * 4). Returns null when the file cannot be opened or decoded.
Image* LoadPng(const char* fileName);
Image* LoadPngImage(const char* fileName, int bitsPerPixel);

// Render codes. SetState(switch, value): the depth test on or off, and which texture units
// draw. SetBlendMode(mode): how a drawn triangle meets the frame; gfx/blend_modes.h says
// what each mode sets. Other codes change nothing.
constexpr int kStateDepthTest = 1;     // values kOff, kOn
constexpr int kStateTextureUnits = 6;  // values kUnit0Only, kBothUnits
constexpr int kOff = 0;
constexpr int kOn = 1;
constexpr int kUnit0Only = 1;
constexpr int kBothUnits = 2;
constexpr int kBlendOpaque = 2;        // textured, no blending
constexpr int kBlendBlack = 3;         // textured, both blend factors zero
constexpr int kBlendFilter = 4;        // source * (1 - source alpha) + frame * source colour
constexpr int kBlendFilterReset = 6;   // kBlendFilter, the texture matrix reset
constexpr int kBlendFlat = 7;          // untextured, unblended, no depth test
constexpr int kBlendAdd = 10;          // source + frame
constexpr int kBlendAlphaMix = 11;     // source * frame alpha + frame * source alpha
constexpr int kBlendUnit0FilterReset = 15;  // unit 0 selected, then kBlendFilterReset
// Texture modes of CreateTexture and UpdateTexture: the format an image is kept in;
// gfx/texture_modes.h says what each reads and keeps. Other modes upload nothing.
constexpr int kTextureRgba8 = 1;       // red, green, blue and alpha at 8 bits
constexpr int kTextureRgb5 = 2;        // red, green and blue at 5 bits, opaque
constexpr int kTextureRgba4 = 3;       // red, green, blue and alpha at 4 bits
constexpr int kTextureLuminance8 = 4;  // grey at 8 bits, from one byte per image pixel

// The one drawing interface. Operations in their fixed order; draw operations take
// pointers to ScreenVertex records and read only the fields documented on each.
class Renderer {
public:
    virtual ~Renderer() = default;
    virtual void SetState(int state, int value) = 0;
    virtual void UpdateTexture(int name, const Image* image, int mode) = 0;
    virtual TextureId CreateTexture(const Image* image, int mode) = 0;
    virtual void DrawTriangle(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) = 0;
    virtual void DrawTriangleMultitex(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) = 0;
    virtual void ReservedTriangle(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) = 0;
    virtual void DrawQuad(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c,
                          const ScreenVertex* d) = 0;
    virtual void BindTexture0(TextureId name) = 0;
    virtual void BindTexture1(TextureId name) = 0;
    virtual void Reserved1(int value) = 0;
    virtual void Reserved2(int value) = 0;
    virtual void SetIntensity(int level) = 0;
    virtual void Clear() = 0;
    virtual void Present() = 0;
    virtual void SetBlendMode(int mode) = 0;
    // Not one of the show's operations: draws quadCount flat quads (four corners each, in
    // order round the quad; screenX, screenY, colour and alpha read) over the frame, mixed
    // by their alpha, and leaves every state the operations above set as it was. The base
    // draws nothing.
    virtual void DrawOverlay(const ScreenVertex*, int) {}
    // Not show operations either: KeepDrawingState remembers the state the operations above
    // have set (units, bindings, blending, depth test); RestoreDrawingState puts it back, so
    // a run of the show started again draws as the first did. The base keeps nothing.
    virtual void KeepDrawingState() {}
    virtual void RestoreDrawingState() {}
};

// A video mode and the surface on it. Width, height and depth are fixed at construction.
class Display {
public:
    Display(int width, int height, int bitsPerPixel)
        : width(width), height(height), bitsPerPixel(bitsPerPixel) {}
    virtual ~Display() = default;
    virtual Image* CreateSurface(const PixelFormat& format) = 0;
    virtual int LockSurface(Image* image) = 0;
    virtual void UnlockSurface() = 0;
    // Switches the mode and makes a drawing context current on the main window; 1 on success,
    // 0 after a failure reported in a "FATAL ERROR" box.
    virtual int Open() = 0;
    // A new renderer for this display (after a successful Open); the base returns null.
    virtual Renderer* CreateRenderer() { return nullptr; }

    const int width;
    const int height;
    const int bitsPerPixel;
};

class GraphicsSystem {
public:
    virtual ~GraphicsSystem() = default;
    virtual Display* CreateDisplay(int width, int height, int bitsPerPixel) = 0;
    // Releases the drawing context and gives the desktop its own mode back. Safe when closed.
    virtual void Shutdown() = 0;
};

// What the application hands the graphics system: the window its displays draw on, how
// that window is shown once a context is current, and where a failed step is reported.
struct DisplayTarget {
    HWND window;       // the application's main window
    int showCommand;   // the entry point's show-window command
    void (*reportError)(const char* text, const char* caption);  // a modal box
};

// The OpenGL graphics system on `target`, owned by the caller.
GraphicsSystem* CreateGraphicsSystem(const DisplayTarget& target);

// Copies the back buffer of the current context (the frame about to be presented) into
// rgba: width * height pixels of 4 bytes (red, green, blue, alpha), bottom row first.
// width and height are the drawable's size in pixels.
void ReadBackFrame(int width, int height, uint8_t* rgba);
