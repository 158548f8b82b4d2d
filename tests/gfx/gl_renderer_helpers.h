// Shared pieces of the OpenGL renderer tests: vertices, small images and a renderer made
// on the test context.
#pragma once

#include <GL/gl.h>

#include <memory>

#include "gfx/gl_renderer.h"
#include "tests/support/gl_test.h"

inline ScreenVertex Corner(float screenX, float screenY, float z, float r = 1, float g = 1,
                           float b = 1, float s = 0, float t = 0) {
    ScreenVertex v{};
    v.z = z;
    v.screenX = screenX;
    v.screenY = screenY;
    v.red = r;
    v.green = g;
    v.blue = b;
    v.s0 = v.s1 = s;
    v.t0 = v.t1 = t;
    v.alpha = 1;
    return v;
}

// A width x height image of 4-byte pixels, every pixel the given bytes.
inline std::unique_ptr<Image> SolidImage(int width, int height, Rgba p) {
    auto image = std::make_unique<Image>(width, height, kPixelFormat32, width * 4);
    for (int i = 0; i < width * height; ++i) {
        uint8_t* px = image->Pixels() + i * 4;
        px[0] = static_cast<uint8_t>(p.r);
        px[1] = static_cast<uint8_t>(p.g);
        px[2] = static_cast<uint8_t>(p.b);
        px[3] = static_cast<uint8_t>(p.a);
    }
    return image;
}

// Covers the whole screen with one triangle at depth z in a flat colour.
inline void FullScreenTriangle(Renderer* renderer, float z, float r, float g, float b) {
    ScreenVertex a = Corner(-1, -1, z, r, g, b), c = Corner(3, -1, z, r, g, b),
                 d = Corner(-1, 3, z, r, g, b);
    renderer->DrawTriangle(&a, &c, &d);
}

// Test fixture with a renderer on an open context.
class GlRendererTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (HasFatalFailure()) return;
        renderer.reset(static_cast<GlRenderer*>(CreateGlRenderer()));
        ASSERT_NE(renderer, nullptr) << "the context lacks GL_ARB_multitexture";
    }
    // Channel value 0..255 of the centre pixel.
    Rgba Centre() const { return gl.ReadPixel(kSize / 2, kSize / 2); }
    std::unique_ptr<GlRenderer> renderer;
};

#define EXPECT_RGB_NEAR(pixel, er, eg, eb, tolerance)   \
    do {                                                \
        const Rgba p_ = (pixel);                        \
        EXPECT_NEAR(p_.r, (er), (tolerance)) << "red";   \
        EXPECT_NEAR(p_.g, (eg), (tolerance)) << "green"; \
        EXPECT_NEAR(p_.b, (eb), (tolerance)) << "blue";  \
    } while (0)
