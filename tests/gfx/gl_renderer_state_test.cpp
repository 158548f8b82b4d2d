// Render states, blend presets, texture units and textures of the OpenGL renderer on real
// Mesa, and its refusal of a context without the multitexture extension.
#include <algorithm>
#include <array>
#include <iterator>

#include "app/app.h"
#include "gfx/blend_modes.h"
#include "gfx/gl_window_state.h"
#include "gfx/texture_modes.h"
#include "platform/sdl/win32_test.h"
#include "tests/gfx/gl_renderer_helpers.h"

#ifndef GL_TEXTURE0_ARB
#define GL_TEXTURE0_ARB 0x84C0
#endif
#ifndef GL_ACTIVE_TEXTURE_ARB
#define GL_ACTIVE_TEXTURE_ARB 0x84E0
#endif

namespace {

int GetInt(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

int ActiveUnit() { return GetInt(GL_ACTIVE_TEXTURE_ARB) - GL_TEXTURE0_ARB; }

// Whether GL_TEXTURE_2D is enabled on `unit`; leaves the active unit as it found it.
bool Texture2DOn(int unit) {
    const int active = ActiveUnit();
    activeTextureFn(GL_TEXTURE0_ARB + unit);
    const bool on = glIsEnabled(GL_TEXTURE_2D);
    activeTextureFn(GL_TEXTURE0_ARB + active);
    return on;
}

int BoundTexture(int unit) {
    const int active = ActiveUnit();
    activeTextureFn(GL_TEXTURE0_ARB + unit);
    const int name = GetInt(GL_TEXTURE_BINDING_2D);
    activeTextureFn(GL_TEXTURE0_ARB + active);
    return name;
}

std::array<float, 16> TextureMatrix() {
    std::array<float, 16> m{};
    glGetFloatv(GL_TEXTURE_MATRIX, m.data());
    return m;
}

bool IsIdentity(const std::array<float, 16>& m) {
    for (int i = 0; i < 16; ++i)
        if (m[i] != (i % 5 == 0 ? 1.0f : 0.0f)) return false;
    return true;
}

void ScaleTextureMatrix() {
    glMatrixMode(GL_TEXTURE);
    glScalef(2, 3, 1);
    glMatrixMode(GL_MODELVIEW);
}

// Everything a blend preset may touch, on the selected unit.
struct PresetState {
    bool depthTest, texture2D, blend;
    int source, destination, unit;
    std::array<float, 16> textureMatrix;
    bool operator==(const PresetState&) const = default;
};

PresetState Snapshot() {
    return PresetState{static_cast<bool>(glIsEnabled(GL_DEPTH_TEST)),
                       static_cast<bool>(glIsEnabled(GL_TEXTURE_2D)),
                       static_cast<bool>(glIsEnabled(GL_BLEND)),
                       GetInt(GL_BLEND_SRC),
                       GetInt(GL_BLEND_DST),
                       ActiveUnit(),
                       TextureMatrix()};
}

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

}  // namespace

TEST_F(GlRendererTest, DepthStateOneEnablesOnlyForValueOne) {
    renderer->SetState(kStateDepthTest, kOn);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    renderer->SetState(kStateDepthTest, kOff);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    renderer->SetState(kStateDepthTest, kOn);
    renderer->SetState(1, 5);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    // Codes other than 1 and 6 change nothing.
    renderer->SetState(kStateDepthTest, kOn);
    const PresetState before = Snapshot();
    for (int state : {2, 3, 4, 5, 7})
        for (int value : {0, 1, 2}) renderer->SetState(state, value);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(GlRendererTest, TextureUnitStatesAndBindsLeaveTheExpectedUnitSelected) {
    auto image = SolidImage(1, 1, Rgba{255, 255, 255, 0});
    const TextureId first = renderer->CreateTexture(image.get(), kTextureRgba8);
    const TextureId second = renderer->CreateTexture(image.get(), kTextureRgba8);

    renderer->SetState(kStateTextureUnits, kBothUnits);
    EXPECT_EQ(ActiveUnit(), 1);
    renderer->BindTexture1(second);
    renderer->BindTexture0(first);
    EXPECT_EQ(ActiveUnit(), 0);
    EXPECT_TRUE(Texture2DOn(0));
    EXPECT_TRUE(Texture2DOn(1));
    EXPECT_EQ(BoundTexture(0), first);
    EXPECT_EQ(BoundTexture(1), second);
    GLint envMode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    EXPECT_EQ(envMode, GL_MODULATE);

    renderer->BindTexture1(second);
    renderer->SetState(kStateTextureUnits, kUnit0Only);
    EXPECT_EQ(ActiveUnit(), 0);
    EXPECT_TRUE(Texture2DOn(0));
    EXPECT_FALSE(Texture2DOn(1));

    renderer->SetState(6, 3);
    EXPECT_EQ(ActiveUnit(), 0);
    EXPECT_FALSE(Texture2DOn(1));
}

// Background (0.4, 0.6, 0.2) drawn flat; then a full-screen triangle whose source colour is
// texel (200, 100, 50, alpha 64) times vertex colour (1, 0.5, 1). The expected pixel is the
// preset's blend equation evaluated here; destination alpha is 1 (the background wrote
// alpha 1, or the buffer has no alpha and reads 1).
TEST_F(GlRendererTest, BlendPresetsGiveTheirBlendEquation) {
    auto texel = SolidImage(1, 1, Rgba{200, 100, 50, 64});
    const TextureId texture = renderer->CreateTexture(texel.get(), kTextureRgba8);
    const float dst[3] = {0.4f, 0.6f, 0.2f};
    const float vertex[3] = {1.0f, 0.5f, 1.0f};
    const float src[3] = {200 / 255.0f * vertex[0], 100 / 255.0f * vertex[1], 50 / 255.0f * vertex[2]};
    const float srcAlpha = 64 / 255.0f, dstAlpha = 1.0f;

    for (const BlendMode& row : kBlendModes) {
        const int mode = row.code;
        SCOPED_TRACE(mode);
        renderer->Clear();
        renderer->SetState(kStateTextureUnits, kUnit0Only);
        renderer->BindTexture0(0);
        renderer->SetBlendMode(kBlendFlat);
        FullScreenTriangle(renderer.get(), 2.0f, dst[0], dst[1], dst[2]);
        renderer->BindTexture0(texture);
        renderer->SetBlendMode(mode);
        FullScreenTriangle(renderer.get(), 2.0f, vertex[0], vertex[1], vertex[2]);

        float expected[3];
        for (int i = 0; i < 3; ++i) {
            switch (mode) {
                case kBlendOpaque: expected[i] = src[i]; break;
                case kBlendBlack: expected[i] = 0; break;
                case kBlendFlat: expected[i] = vertex[i]; break;
                case kBlendAdd: expected[i] = src[i] + dst[i]; break;
                case kBlendAlphaMix: expected[i] = src[i] * dstAlpha + dst[i] * srcAlpha; break;
                case kBlendFilter:
                case kBlendFilterReset:
                case kBlendUnit0FilterReset: expected[i] = src[i] * (1 - srcAlpha) + dst[i] * src[i]; break;
                default: ADD_FAILURE() << "no expected colour for mode " << mode; break;
            }
        }
        EXPECT_RGB_NEAR(Centre(), 255 * Clamp01(expected[0]), 255 * Clamp01(expected[1]),
                        255 * Clamp01(expected[2]), 2);
    }
}

TEST_F(GlRendererTest, PresetsSideEffectsOnDepthUnitAndTextureMatrix) {
    renderer->SetState(kStateDepthTest, kOn);
    renderer->SetBlendMode(kBlendFlat);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    renderer->BindTexture0(0);
    ScaleTextureMatrix();
    renderer->SetBlendMode(kBlendFilter);
    EXPECT_FALSE(IsIdentity(TextureMatrix())) << "kBlendFilter must keep the texture matrix";
    renderer->SetBlendMode(kBlendFilterReset);
    EXPECT_TRUE(IsIdentity(TextureMatrix()));

    // kBlendUnit0FilterReset selects unit 0 before the reset, so unit 0's matrix is the one reset.
    ScaleTextureMatrix();
    renderer->BindTexture1(0);
    renderer->SetBlendMode(kBlendUnit0FilterReset);
    EXPECT_EQ(ActiveUnit(), 0);
    EXPECT_TRUE(IsIdentity(TextureMatrix()));
    EXPECT_EQ(GetInt(GL_BLEND_SRC), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(GetInt(GL_BLEND_DST), GL_SRC_COLOR);
}

// The viewer's overlay mixes its quads by their alpha over any state the show left, and
// leaves that state (both units' texturing, the unit selected, depth test, blending) as it was.
TEST_F(GlRendererTest, OverlayMixesByAlphaAndLeavesEveryPresetsStateAsItWas) {
    ScreenVertex quad[4] = {Corner(-1, -1, -1, 1, 0, 0), Corner(1, -1, -1, 1, 0, 0), Corner(1, 1, -1, 1, 0, 0),
                            Corner(-1, 1, -1, 1, 0, 0)};
    for (ScreenVertex& corner : quad) corner.alpha = 0.5f;
    for (const BlendMode& mode : kBlendModes) {
        SCOPED_TRACE(mode.code);
        renderer->SetState(kStateTextureUnits, kBothUnits);
        renderer->SetState(kStateDepthTest, kOn);
        renderer->SetBlendMode(mode.code);
        const PresetState before = Snapshot();
        const bool unitsBefore[2] = {Texture2DOn(0), Texture2DOn(1)};
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        renderer->DrawOverlay(quad, 1);
        const Rgba centre = Centre();
        EXPECT_NEAR(centre.r, 128, 2);
        EXPECT_EQ(centre.g, 0);
        EXPECT_NEAR(centre.b, 128, 2);
        EXPECT_EQ(Snapshot(), before);
        EXPECT_EQ(Texture2DOn(0), unitsBefore[0]);
        EXPECT_EQ(Texture2DOn(1), unitsBefore[1]);
    }
}

TEST_F(GlRendererTest, UnassignedBlendModesChangeNothing) {
    renderer->SetState(kStateDepthTest, kOn);
    renderer->SetBlendMode(kBlendAdd);
    ScaleTextureMatrix();
    const PresetState before = Snapshot();
    for (int mode : {0, 1, 5, 8, 9, 12, 13, 14, 16, -1, 1000}) {
        renderer->SetBlendMode(mode);
        EXPECT_EQ(Snapshot(), before) << "mode " << mode;
    }
}

TEST_F(GlRendererTest, TextureNamesAreConsecutiveNonZeroAndFormatsFollowTheMode) {
    auto image = SolidImage(4, 2, Rgba{10, 20, 30, 0});
    // Every mode of the table, with the format it asks OpenGL to keep.
    const std::pair<int, GLint> modes[] = {
        {kTextureRgba8, GL_RGBA8}, {kTextureRgb5, GL_RGB5}, {kTextureRgba4, GL_RGBA4}, {kTextureLuminance8, GL_LUMINANCE8}};
    ASSERT_EQ(std::size(modes), std::size(kTextureModes));
    TextureId previous = 0;
    for (auto [mode, format] : modes) {
        SCOPED_TRACE(mode);
        const TextureId name = renderer->CreateTexture(image.get(), mode);
        if (previous == 0) EXPECT_NE(name, 0);
        else EXPECT_EQ(name, previous + 1);
        previous = name;
        glBindTexture(GL_TEXTURE_2D, name);
        GLint internal = 0, wrap = 0, filter = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internal);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
        EXPECT_EQ(internal, format);
        EXPECT_EQ(wrap, GL_REPEAT);
        EXPECT_EQ(filter, GL_LINEAR);
    }
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
}

// A missing file gives a null image: the texture still gets a name and one white texel,
// which leaves the vertex colour as it is.
TEST_F(GlRendererTest, NullImageMakesAWhiteTexelTexture) {
    const TextureId name = renderer->CreateTexture(nullptr, kTextureRgba8);
    EXPECT_NE(name, 0);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 1);
    renderer->SetState(kStateTextureUnits, kUnit0Only);
    renderer->BindTexture0(name);
    renderer->SetBlendMode(kBlendOpaque);
    renderer->SetState(kStateDepthTest, kOff);
    FullScreenTriangle(renderer.get(), 2.0f, 0.2f, 0.4f, 0.6f);
    EXPECT_RGB_NEAR(Centre(), 51, 102, 153, 1);
    renderer->UpdateTexture(name, nullptr, kTextureRgba8);  // must not crash either
}

TEST_F(GlRendererTest, UpdateTextureReplacesTheImageWithoutTakingAName) {
    auto small = SolidImage(2, 2, Rgba{0, 0, 0, 0});
    auto large = SolidImage(8, 4, Rgba{0, 255, 0, 0});
    const TextureId name = renderer->CreateTexture(small.get(), kTextureRgba8);
    renderer->UpdateTexture(name, large.get(), kTextureLuminance8);
    glBindTexture(GL_TEXTURE_2D, name);
    GLint width = 0, internal = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internal);
    EXPECT_EQ(width, 8);
    EXPECT_EQ(internal, GL_LUMINANCE8);
    EXPECT_EQ(renderer->CreateTexture(small.get(), kTextureRgba8), name + 1);
}

TEST_F(GlRendererTest, PresentLeavesTheTextureMatrixAtIdentity) {
    ScaleTextureMatrix();
    renderer->Present();
    EXPECT_TRUE(IsIdentity(TextureMatrix()));
    EXPECT_EQ(GetInt(GL_MATRIX_MODE), GL_MODELVIEW);
}

TEST(GlRendererCreate, MissingMultitextureRestoresDesktopAndReportsInsteadOfCrashing) {
    win32test::Reset();
    win32test::RecordMessageBoxes(true);
    displayTarget = DisplayTarget{nullptr, SW_SHOW, ShowErrorBox};
    const int restoresBefore = win32test::CurrentDisplayMode().desktopRestores;
    const char* const candidates[] = {"GL_ARB_texture_env_add GL_EXT_bgra", "", nullptr};
    for (const char* extensions : candidates) {
        SCOPED_TRACE(extensions ? extensions : "(null)");
        EXPECT_EQ(CreateGlRendererWith(extensions), nullptr);
    }
    const auto& boxes = win32test::RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "GL_ARB_multitexture not supported\n");
    EXPECT_EQ(boxes[0].caption, "FATAL ERROR");
    EXPECT_EQ(win32test::CurrentDisplayMode().desktopRestores, restoresBefore + 3);
    EXPECT_TRUE(GlRenderer::HasMultitexture("GL_EXT_bgra GL_ARB_multitexture GL_EXT_abgr"));
    displayTarget = DisplayTarget{};
    win32test::Reset();
}
