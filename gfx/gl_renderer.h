// The OpenGL 1.1 immediate-mode renderer with the ARB multitexture extension (internal to gfx/).
#pragma once

#include "gfx/gfx.h"

// The two extension entry points, process-wide: set by the renderer's construction when
// the extension string names "GL_ARB_multitexture", null otherwise.
using ActiveTextureProc = void (*)(unsigned int unit);
using MultiTexCoordProc = void (*)(unsigned int unit, float s, float t);
extern ActiveTextureProc activeTextureFn;
extern MultiTexCoordProc multiTexCoordFn;

class GlRenderer : public Renderer {
public:
    // Needs a current context. Clears colour and depth, loads identity model-view and
    // texture matrices, and looks the extension functions up when `extensions` (the
    // space-separated GL_EXTENSIONS string; null reads as empty) names the extension.
    explicit GlRenderer(const char* extensions);

    void SetState(int state, int value) override;
    void UpdateTexture(int name, const Image* image, int mode) override;
    TextureId CreateTexture(const Image* image, int mode) override;
    void DrawTriangle(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) override;
    void DrawTriangleMultitex(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) override;
    void ReservedTriangle(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) override;
    void DrawQuad(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c,
                  const ScreenVertex* d) override;
    void BindTexture0(TextureId name) override;
    void BindTexture1(TextureId name) override;
    void Reserved1(int value) override;
    void Reserved2(int value) override;
    void SetIntensity(int level) override;
    void Clear() override;
    void Present() override;
    void SetBlendMode(int mode) override;
    void DrawOverlay(const ScreenVertex* corners, int quadCount) override;
    void KeepDrawingState() override;
    void RestoreDrawingState() override;
    void Reserved3(int value);

    // True when the extension string contains "GL_ARB_multitexture" (null reads as empty).
    static bool HasMultitexture(const char* extensions);

private:
    int textureCounter = 0;  // last name handed out; the first texture is 1, so never 0
    bool stateKept = false;  // the kept state is on the attribute stack
    int keptBlend[2] = {};   // the kept blend factors (source, frame)
};

// A renderer for the current context, or null when the context lacks the multitexture
// extension: then the desktop mode is restored and a "FATAL ERROR" box says so.
Renderer* CreateGlRenderer();
// As CreateGlRenderer, with the extension string given instead of read from the context
// (the context must still be current: the renderer issues its set-up calls on success).
Renderer* CreateGlRendererWith(const char* extensions);
