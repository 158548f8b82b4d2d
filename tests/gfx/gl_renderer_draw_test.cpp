// Drawing through the OpenGL renderer on real Mesa, checked in read-back pixels and depths.
#define GL_GLEXT_PROTOTYPES
#include <cmath>
#include <string>

#include "tests/gfx/gl_renderer_helpers.h"

#include <GL/glext.h>

#include "gfx/gl_framebuffers.h"

namespace {

// 256x1 texture whose red byte is the texel index; green and blue fixed.
std::unique_ptr<Image> RedRamp(int green, int blue) {
    auto image = SolidImage(256, 1, Rgba{0, green, blue, 0});
    for (int i = 0; i < 256; ++i) image->Pixels()[i * 4] = static_cast<uint8_t>(i);
    return image;
}

// Red of the ramp sampled linearly at texture coordinate s (texel centres at (i + 0.5) / 256).
float RampRed(float s) { return s * 256.0f - 0.5f; }

// Normalised screen x of the centre of pixel column `column` in a kSize-wide window.
float PixelCentreX(int column, int size) { return (column + 0.5f) / size * 2.0f - 1.0f; }

// Unflagged state for flat, depth-tested drawing with no texture on either unit.
void FlatDepthTested(Renderer* renderer) {
    renderer->SetState(kStateTextureUnits, kUnit0Only);
    renderer->BindTexture0(0);
    renderer->SetBlendMode(kBlendOpaque);
    renderer->SetState(kStateDepthTest, kOn);
}

}  // namespace

// On the window's buffer (as it comes, often without alpha bits) and on a framebuffer
// with 8 alpha bits (as full screen draws into, and as a pixel format may have).
TEST_F(GlRendererTest, ClearGivesBlackColourAlphaOneAndFarDepth) {
    const unsigned withAlpha = glframes::MakeFrame(kSize, kSize);
    ASSERT_NE(withAlpha, 0u) << "no RGBA8 framebuffer";
    auto texel = SolidImage(1, 1, Rgba{10, 20, 30, 0});
    const TextureId texture = renderer->CreateTexture(texel.get(), 1);
    for (const unsigned frame : {0u, withAlpha}) {
        glframes::BindFrame(frame);
        SCOPED_TRACE(std::to_string(gl.AlphaBits()) + " alpha bits");
        FlatDepthTested(renderer.get());
        FullScreenTriangle(renderer.get(), 2.0f, 1, 1, 1);
        ASSERT_EQ(Centre().r, 255);
        renderer->Clear();
        EXPECT_RGB_NEAR(Centre(), 0, 0, 0, 0);
        EXPECT_EQ(gl.ReadDepth(kSize / 2, kSize / 2), 0.0f);
        // Destination alpha reads 1, and a texel of alpha 0 drawn opaque leaves it so (the
        // alpha-mix preset weighs the drawn colour by it).
        EXPECT_EQ(Centre().a, 255);
        renderer->BindTexture0(texture);
        renderer->SetBlendMode(kBlendOpaque);
        FullScreenTriangle(renderer.get(), 2.0f, 1, 1, 1);
        EXPECT_RGB_NEAR(Centre(), 10, 20, 30, 1);
        EXPECT_EQ(Centre().a, 255);
    }
    glframes::DeleteFrame(withAlpha);
}

TEST_F(GlRendererTest, FullScreenLayerAtDepthMinusOnePassesOverClearedBuffer) {
    renderer->Clear();
    FlatDepthTested(renderer.get());
    FullScreenTriangle(renderer.get(), -1.0f, 0.2f, 0.6f, 1.0f);
    EXPECT_RGB_NEAR(Centre(), 51, 153, 255, 1);
    EXPECT_RGB_NEAR(gl.ReadPixel(0, 0), 51, 153, 255, 1);
    EXPECT_RGB_NEAR(gl.ReadPixel(kSize - 1, kSize - 1), 51, 153, 255, 1);
    EXPECT_NEAR(gl.ReadDepth(kSize / 2, kSize / 2), 0.0f, 1e-6);
}

TEST_F(GlRendererTest, NearerTriangleWinsInEitherOrder) {
    for (bool nearFirst : {true, false}) {
        SCOPED_TRACE(nearFirst ? "near drawn first" : "far drawn first");
        renderer->Clear();
        FlatDepthTested(renderer.get());
        if (nearFirst) {
            FullScreenTriangle(renderer.get(), 2.0f, 1, 0, 0);
            FullScreenTriangle(renderer.get(), 4.0f, 0, 1, 0);
        } else {
            FullScreenTriangle(renderer.get(), 4.0f, 0, 1, 0);
            FullScreenTriangle(renderer.get(), 2.0f, 1, 0, 0);
        }
        EXPECT_RGB_NEAR(Centre(), 255, 0, 0, 0);
        // 1/z = 0.5 lands at window depth (0.5 + 1) / 2.
        EXPECT_NEAR(gl.ReadDepth(kSize / 2, kSize / 2), 0.75f, 1e-4);
    }
    // With the depth test off the last triangle drawn wins.
    renderer->SetState(kStateDepthTest, kOff);
    FullScreenTriangle(renderer.get(), 4.0f, 0, 0, 1);
    EXPECT_RGB_NEAR(Centre(), 0, 0, 255, 0);
}

// A screen-filling quad whose left edge is at depth 1 and right edge at depth 4, with s
// running 0..1 from left to right: the centre samples where perspective interpolation of
// s/z and 1/z puts it, far left of the affine midpoint.
TEST_F(GlRendererTest, DrawTriangleTexturesPerspectiveCorrect) {
    auto ramp = RedRamp(0, 0);
    renderer->SetState(kStateTextureUnits, kUnit0Only);
    renderer->BindTexture0(renderer->CreateTexture(ramp.get(), kTextureRgba8));
    renderer->SetBlendMode(kBlendOpaque);
    renderer->SetState(kStateDepthTest, kOff);
    const float nearZ = 1.0f, farZ = 4.0f;
    ScreenVertex a = Corner(-1, -1, nearZ, 1, 1, 1, 0, 0.5f), b = Corner(1, -1, farZ, 1, 1, 1, 1, 0.5f),
                 c = Corner(1, 1, farZ, 1, 1, 1, 1, 0.5f), d = Corner(-1, 1, nearZ, 1, 1, 1, 0, 0.5f);
    renderer->DrawTriangle(&a, &b, &c);
    renderer->DrawTriangle(&a, &c, &d);

    for (int column : {16, 32, 48}) {
        SCOPED_TRACE(column);
        const float u = (PixelCentreX(column, kSize) + 1.0f) / 2.0f;
        const float q0 = 1.0f / nearZ, q1 = 1.0f / farZ;
        const float perspectiveS = u * q1 / ((1.0f - u) * q0 + u * q1);
        const Rgba p = gl.ReadPixel(column, kSize / 2);
        EXPECT_NEAR(p.r, RampRed(perspectiveS), 3.0f);
        EXPECT_GT(std::fabs(p.r - RampRed(u)), 20.0f) << "sampled at the affine position";
    }
}

// Mode 4 over the cleared (black) buffer gives source * (1 - source alpha), and the source
// alpha is the texel's (255) times the quad's vertex alpha.
TEST_F(GlRendererTest, DrawQuadTakesPerspectiveCoordinatesAndVertexAlpha) {
    auto ramp = RedRamp(0, 0);
    for (int i = 0; i < 256; ++i) ramp->Pixels()[i * 4 + 3] = 255;
    renderer->SetState(kStateTextureUnits, kUnit0Only);
    renderer->BindTexture0(renderer->CreateTexture(ramp.get(), kTextureRgba8));
    renderer->SetBlendMode(kBlendFilter);
    renderer->SetState(kStateDepthTest, kOff);
    ScreenVertex a = Corner(-1, -1, 1, 1, 1, 1, 0, 0.5f), b = Corner(1, -1, 4, 1, 1, 1, 1, 0.5f),
                 c = Corner(1, 1, 4, 1, 1, 1, 1, 0.5f), d = Corner(-1, 1, 1, 1, 1, 1, 0, 0.5f);
    for (ScreenVertex* v : {&a, &b, &c, &d}) v->alpha = 0.25f;
    renderer->DrawQuad(&a, &b, &c, &d);
    const float u = (PixelCentreX(kSize / 2, kSize) + 1.0f) / 2.0f;
    const float s = u * 0.25f / ((1.0f - u) + u * 0.25f);
    EXPECT_NEAR(Centre().r, RampRed(s) * 0.75f, 3.0f);
}

// Unit 0 carries the ramp, unit 1 a flat colour; the vertex colour modulates both. The
// quad has the depths of the perspective test, but this path interpolates affinely.
TEST_F(GlRendererTest, DrawTriangleMultitexModulatesBothUnitsAffinely) {
    auto ramp = RedRamp(255, 255);
    auto flat = SolidImage(1, 1, Rgba{255, 128, 64, 0});
    const TextureId rampTexture = renderer->CreateTexture(ramp.get(), kTextureRgba8);
    const TextureId flatTexture = renderer->CreateTexture(flat.get(), kTextureRgba8);
    renderer->SetState(kStateTextureUnits, kBothUnits);
    renderer->BindTexture1(flatTexture);
    renderer->BindTexture0(rampTexture);
    renderer->SetBlendMode(kBlendOpaque);
    renderer->SetState(kStateDepthTest, kOff);
    ScreenVertex a = Corner(-1, -1, 1, 1, 1, 0.5f, 0, 0.5f), b = Corner(1, -1, 4, 1, 1, 0.5f, 1, 0.5f),
                 c = Corner(1, 1, 4, 1, 1, 0.5f, 1, 0.5f), d = Corner(-1, 1, 1, 1, 1, 0.5f, 0, 0.5f);
    renderer->DrawTriangleMultitex(&a, &b, &c);
    renderer->DrawTriangleMultitex(&a, &c, &d);

    const float u = (PixelCentreX(kSize / 2, kSize) + 1.0f) / 2.0f;
    EXPECT_RGB_NEAR(Centre(), RampRed(u), 128, 255 * 0.5f * 64 / 255, 3);
}
