// OpenGL renderer: numbered states and blend presets, two texture units, perspective-correct
// immediate-mode triangles and quads, texture upload, buffer swap and clear.
#include "gfx/gl_renderer.h"

#include <GL/gl.h>

#include <cstring>

#include "gfx/blend_modes.h"
#include "gfx/gl_window_state.h"
#include "gfx/texture_modes.h"
#include "platform/interface/win32.h"

#ifndef GL_TEXTURE0_ARB
#define GL_TEXTURE0_ARB 0x84C0
#endif
#ifndef GL_TEXTURE1_ARB
#define GL_TEXTURE1_ARB 0x84C1
#endif
#ifndef GL_ACTIVE_TEXTURE_ARB
#define GL_ACTIVE_TEXTURE_ARB 0x84E0
#endif

ActiveTextureProc activeTextureFn = nullptr;
MultiTexCoordProc multiTexCoordFn = nullptr;

namespace {

const char kMultitextureName[] = "GL_ARB_multitexture";

// Stand-in for a missing image: one white texel, opaque in the loader's inverted-alpha
// convention (alpha byte 0), so a texture made from a missing file draws its vertex colour.
const uint8_t kWhiteTexel[4] = {255, 255, 255, 0};

void SelectUnit(int unit) { activeTextureFn(GL_TEXTURE0_ARB + unit); }

void ResetTextureMatrix() {
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

static_assert(FactorsAre(GL_ZERO, GL_ONE, GL_SRC_COLOR, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_DST_ALPHA),
              "the blend table's factors are this renderer's enums");

// The sized internal format this renderer asks for to keep texels as `kept`.
GLint InternalFormat(TexelFormat kept) {
    switch (kept) {
        case TexelFormat::Rgba8: return GL_RGBA8;
        case TexelFormat::Rgb5: return GL_RGB5;
        case TexelFormat::Rgba4: return GL_RGBA4;
        case TexelFormat::Luminance8: return GL_LUMINANCE8;
    }
    return GL_RGBA8;
}

// Binds `name` on the selected unit and uploads the image as its texture mode says
// (gfx/texture_modes.h); modes the table lacks upload nothing. A null image uploads one
// white texel.
void Upload(int name, const Image* image, int modeCode, bool colourMaterial) {
    const TextureMode* mode = FindTextureMode(modeCode);
    if (!mode) return;
    const GLint internalFormat = InternalFormat(mode->kept);
    const GLenum pixelFormat = mode->imageBytes == 1 ? GL_LUMINANCE : GL_RGBA;
    const int bytesPerPixel = mode->imageBytes;
    glBindTexture(GL_TEXTURE_2D, name);
    if (colourMaterial) {
        glEnable(GL_COLOR_MATERIAL);
        glColorMaterial(GL_FRONT_AND_BACK, GL_SPECULAR);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    if (!image) {
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, 1, 1, 0, pixelFormat, GL_UNSIGNED_BYTE,
                     kWhiteTexel);
        return;
    }
    // Rows are read at the image's own pitch, so any pitch that holds a row uploads intact.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, image->pitch / bytesPerPixel);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, image->width, image->height, 0, pixelFormat,
                 GL_UNSIGNED_BYTE, image->Pixels());
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

// One corner with unit 0's coordinates scaled by q = 1/z and q as their fourth component,
// so that the rasteriser's division by q makes the mapping perspective-correct; the
// vertex depth is q (identity matrices: window depth (q + 1) / 2, nearer is larger).
void PerspectiveVertex(const ScreenVertex* v, float alpha) {
    const float q = 1.0f / v->z;
    glColor4f(v->red, v->green, v->blue, alpha);
    glTexCoord4f(v->s0 * q, v->t0 * q, 0.0f, q);
    glVertex3f(v->screenX, v->screenY, q);
}

}  // namespace

GlRenderer::GlRenderer(const char* extensions) {
    // Black, alpha 1: what destination alpha reads between clears (see Clear).
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    Clear();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (HasMultitexture(extensions)) {
        activeTextureFn = reinterpret_cast<ActiveTextureProc>(wglGetProcAddress("glActiveTextureARB"));
        multiTexCoordFn = reinterpret_cast<MultiTexCoordProc>(wglGetProcAddress("glMultiTexCoord2fARB"));
    } else {
        activeTextureFn = nullptr;
        multiTexCoordFn = nullptr;
    }
    ResetTextureMatrix();
}

bool GlRenderer::HasMultitexture(const char* extensions) {
    return extensions && std::strstr(extensions, kMultitextureName) != nullptr;
}

void GlRenderer::SetState(int state, int value) {
    if (state == kStateDepthTest) {
        if (value == kOn)
            glEnable(GL_DEPTH_TEST);
        else
            glDisable(GL_DEPTH_TEST);
    } else if (state == kStateTextureUnits) {
        if (value == kUnit0Only) {
            SelectUnit(1);
            glDisable(GL_TEXTURE_2D);
            SelectUnit(0);
            glEnable(GL_TEXTURE_2D);
        } else if (value == kBothUnits) {
            SelectUnit(0);
            glEnable(GL_TEXTURE_2D);
            SelectUnit(1);
            glEnable(GL_TEXTURE_2D);
        }
    }
}

void GlRenderer::SetBlendMode(int code) {
    const BlendMode* mode = FindBlendMode(code);
    if (!mode) return;
    if (mode->selectUnit0) SelectUnit(0);
    if (mode->depthTestOff) glDisable(GL_DEPTH_TEST);
    if (mode->textured)
        glEnable(GL_TEXTURE_2D);
    else
        glDisable(GL_TEXTURE_2D);
    if (mode->blend) {
        glEnable(GL_BLEND);
        glBlendFunc(GLenum(mode->source), GLenum(mode->frame));
    } else {
        glDisable(GL_BLEND);
    }
    if (mode->resetTextureMatrix) ResetTextureMatrix();
}

void GlRenderer::BindTexture0(TextureId name) {
    SelectUnit(0);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void GlRenderer::BindTexture1(TextureId name) {
    SelectUnit(1);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void GlRenderer::DrawTriangle(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) {
    glBegin(GL_TRIANGLES);
    PerspectiveVertex(a, 1.0f);
    PerspectiveVertex(b, 1.0f);
    PerspectiveVertex(c, 1.0f);
    glEnd();
}

void GlRenderer::DrawQuad(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c,
                          const ScreenVertex* d) {
    glBegin(GL_QUADS);
    PerspectiveVertex(a, a->alpha);
    PerspectiveVertex(b, b->alpha);
    PerspectiveVertex(c, c->alpha);
    PerspectiveVertex(d, d->alpha);
    glEnd();
}

void GlRenderer::DrawTriangleMultitex(const ScreenVertex* a, const ScreenVertex* b,
                                      const ScreenVertex* c) {
    const ScreenVertex* corners[3] = {a, b, c};
    glBegin(GL_TRIANGLES);
    for (const ScreenVertex* v : corners) {
        glColor4f(v->red, v->green, v->blue, 1.0f);
        multiTexCoordFn(GL_TEXTURE0_ARB, v->s0, v->t0);
        multiTexCoordFn(GL_TEXTURE1_ARB, v->s1, v->t1);
        glVertex3f(v->screenX, v->screenY, 1.0f / v->z);
    }
    glEnd();
}

void GlRenderer::ReservedTriangle(const ScreenVertex*, const ScreenVertex*, const ScreenVertex*) {}

void GlRenderer::SetIntensity(int level) {
    const float f = static_cast<float>(level) / 256.0f;
    glColor4f(f, f, f, f);
}

void GlRenderer::DrawOverlay(const ScreenVertex* corners, int quadCount) {
    GLint activeUnit = GL_TEXTURE0_ARB;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &activeUnit);
    GLboolean textured[2];
    for (int unit = 0; unit < 2; ++unit) {
        SelectUnit(unit);
        textured[unit] = glIsEnabled(GL_TEXTURE_2D);
        glDisable(GL_TEXTURE_2D);
    }
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_POLYGON_SMOOTH);  // no seams between neighbouring quads
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBegin(GL_QUADS);
    for (int i = 0; i < quadCount * 4; ++i) {
        glColor4f(corners[i].red, corners[i].green, corners[i].blue, corners[i].alpha);
        glVertex2f(corners[i].screenX, corners[i].screenY);
    }
    glEnd();
    glPopAttrib();
    for (int unit = 0; unit < 2; ++unit) {
        SelectUnit(unit);
        if (textured[unit]) glEnable(GL_TEXTURE_2D);
    }
    activeTextureFn(GLenum(activeUnit));
}

namespace {
// The state the show's operations change, less the blend factors (their group also holds
// the draw buffer, which the display's framebuffers own).
constexpr GLbitfield kDrawingState = GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT | GL_DEPTH_BUFFER_BIT;
}  // namespace

void GlRenderer::KeepDrawingState() {
    if (stateKept) glPopAttrib();
    glPushAttrib(kDrawingState);
    glGetIntegerv(GL_BLEND_SRC, &keptBlend[0]);
    glGetIntegerv(GL_BLEND_DST, &keptBlend[1]);
    stateKept = true;
}

// The texture matrices need nothing: every operation that touches one resets it.
void GlRenderer::RestoreDrawingState() {
    if (!stateKept) return;
    glPopAttrib();
    glBlendFunc(GLenum(keptBlend[0]), GLenum(keptBlend[1]));
    glPushAttrib(kDrawingState);
}

// The frame's alpha is cleared to 1 and closed to drawing, so the blend presets that weigh
// by destination alpha see 1 whether the pixel format has an alpha channel (as Windows'
// ChoosePixelFormat may give for "no alpha") or not.
void GlRenderer::Clear() {
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
}

void GlRenderer::Present() {
    SwapBuffers(glWindowState.deviceContext);
    ResetTextureMatrix();
}

TextureId GlRenderer::CreateTexture(const Image* image, int mode) {
    const int name = ++textureCounter;
    Upload(name, image, mode, true);
    return name;
}

void GlRenderer::UpdateTexture(int name, const Image* image, int mode) { Upload(name, image, mode, false); }

void GlRenderer::Reserved1(int) {}
void GlRenderer::Reserved2(int) {}
void GlRenderer::Reserved3(int) {}

Renderer* CreateGlRendererWith(const char* extensions) {
    if (GlRenderer::HasMultitexture(extensions)) {
        GlRenderer* renderer = new GlRenderer(extensions);
        if (activeTextureFn && multiTexCoordFn) return renderer;
        delete renderer;  // named but not loadable: as unusable as a missing extension
    }
    ChangeDisplaySettingsA(nullptr, 0);
    ReportDisplayError("GL_ARB_multitexture not supported\n", "FATAL ERROR");
    return nullptr;
}

Renderer* CreateGlRenderer() {
    return CreateGlRendererWith(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
}
