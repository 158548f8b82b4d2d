// Screen-space fills, clipped rectangles and sprites: the calls they make (recording
// renderer) and what they leave in real pixels (OpenGL renderer on Mesa).
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "fx/fx.h"
#include "gfx/gl_renderer.h"
#include "tests/support/gl_test.h"
#include "tests/kit/recording_renderer.h"

namespace {

// The one DrawQuad recorded, after checking there was exactly one.
std::vector<ScreenVertex> OnlyQuad(const RecordingRenderer& recorder) {
    EXPECT_EQ(recorder.Count("DrawQuad"), 1);
    EXPECT_EQ(recorder.calls.size(), 1u) << "screen quads bind nothing and set no state";
    return recorder.calls.empty() ? std::vector<ScreenVertex>(4) : recorder.calls[0].vertices;
}

bool IsCorner(const ScreenVertex& v, float x, float y) { return v.screenX == x && v.screenY == y; }

}  // namespace

TEST(FillScreen, UnbindsUnitZeroAndDrawsTwoFarTrianglesSharingTheDiagonal) {
    RecordingRenderer recorder;
    FillScreen(&recorder, 0.25f, 0.5f, 0.75f);
    ASSERT_EQ(recorder.Ops(), (std::vector<std::string>{"BindTexture0", "DrawTriangle", "DrawTriangle"}));
    EXPECT_EQ(recorder.calls[0].args, std::vector<int>{0});
    const auto& first = recorder.calls[1].vertices;
    const auto& second = recorder.calls[2].vertices;
    for (const auto* triangle : {&first, &second}) {
        bool low = false, high = false;
        for (const ScreenVertex& v : *triangle) {
            low |= IsCorner(v, -1, -1);
            high |= IsCorner(v, 1, 1);
            EXPECT_EQ(v.z, -1.0f);
            EXPECT_EQ(v.red, 0.25f);
            EXPECT_EQ(v.green, 0.5f);
            EXPECT_EQ(v.blue, 0.75f);
            EXPECT_EQ((std::array{v.s0, v.t0, v.s1, v.t1}), (std::array{0.0f, 0.0f, 0.0f, 0.0f}));
        }
        EXPECT_TRUE(low && high);
    }
    // Between them the two triangles reach the other two corners.
    auto reaches = [&](float x, float y) {
        for (const auto* triangle : {&first, &second})
            for (const ScreenVertex& v : *triangle)
                if (IsCorner(v, x, y)) return true;
        return false;
    };
    EXPECT_TRUE(reaches(1, -1));
    EXPECT_TRUE(reaches(-1, 1));
}

TEST(DrawScreenQuad, WritesCornersCounterClockwiseWithBothUnitsAndOverlayDepth) {
    RecordingRenderer recorder;
    ScreenVertex quad[4] = {};
    DrawScreenQuad(&recorder, quad, -0.7f, 0.16f, 0.7f, -0.54f, 0.0f, 0.0f, 1.0f, 0.6f, 0.95f);
    const auto v = OnlyQuad(recorder);
    const float expected[4][4] = {{-0.7f, 0.16f, 0, 0}, {0.7f, 0.16f, 1, 0}, {0.7f, -0.54f, 1, 0.6f},
                                  {-0.7f, -0.54f, 0, 0.6f}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(v[i].screenX, expected[i][0]);
        EXPECT_EQ(v[i].screenY, expected[i][1]);
        EXPECT_EQ(v[i].s0, expected[i][2]);
        EXPECT_EQ(v[i].t0, expected[i][3]);
        EXPECT_EQ(v[i].s1, v[i].s0);
        EXPECT_EQ(v[i].t1, v[i].t0);
        EXPECT_EQ((std::array{v[i].red, v[i].green, v[i].blue}), (std::array{1.0f, 1.0f, 1.0f}));
        EXPECT_EQ(v[i].alpha, 0.95f);
        EXPECT_EQ(v[i].z, 1.0f);
        // The caller's array is the one handed over.
        EXPECT_EQ(quad[i].screenX, v[i].screenX);
    }
}

TEST(DrawScreenQuad, ClipsEachEdgeToTheScreenAndMovesItsTextureCoordinate) {
    struct Case {
        const char* name;
        float x0, y0, x1, y1;
        float clippedX0, clippedY0, clippedX1, clippedY1, s0, t0, s1, t1;
    };
    const Case cases[] = {
        {"left", -1.5f, -0.5f, 0.5f, 0.5f, -1, -0.5f, 0.5f, 0.5f, 0.25f, 0, 1, 1},
        {"right", 0.5f, -0.5f, 1.5f, 0.5f, 0.5f, -0.5f, 1, 0.5f, 0, 0, 0.5f, 1},
        {"bottom", -0.5f, -3.0f, 0.5f, 1.0f, -0.5f, -1, 0.5f, 1, 0, 0.5f, 1, 1},
        {"top", -0.5f, 0.0f, 0.5f, 2.0f, -0.5f, 0, 0.5f, 1, 0, 0, 1, 0.5f},
        // The right step works on the span the left step left: s runs 0.25..1 over -1..2.
        {"both sides", -2.0f, -0.5f, 2.0f, 0.5f, -1, -0.5f, 1, 0.5f, 0.25f, 0, 0.75f, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingRenderer recorder;
        ScreenVertex quad[4] = {};
        DrawScreenQuad(&recorder, quad, c.x0, c.y0, c.x1, c.y1, 0, 0, 1, 1, 1);
        const auto v = OnlyQuad(recorder);
        EXPECT_FLOAT_EQ(v[0].screenX, c.clippedX0);
        EXPECT_FLOAT_EQ(v[0].screenY, c.clippedY0);
        EXPECT_FLOAT_EQ(v[2].screenX, c.clippedX1);
        EXPECT_FLOAT_EQ(v[2].screenY, c.clippedY1);
        EXPECT_FLOAT_EQ(v[0].s0, c.s0);
        EXPECT_FLOAT_EQ(v[0].t0, c.t0);
        EXPECT_FLOAT_EQ(v[2].s0, c.s1);
        EXPECT_FLOAT_EQ(v[2].t0, c.t1);
    }
}

TEST(DrawScreenQuad, DrawsNothingWhollyOffScreenButKeepsEdgeTouchingQuads) {
    const float offScreen[][4] = {
        {1.01f, -0.5f, 1.5f, 0.5f},    // right of the screen
        {-1.5f, -0.5f, -1.01f, 0.5f},  // left
        {-0.5f, 1.01f, 0.5f, 1.5f},    // above
        {-0.5f, -1.5f, 0.5f, -1.01f},  // below
    };
    for (const auto& r : offScreen) {
        RecordingRenderer recorder;
        ScreenVertex quad[4] = {};
        DrawScreenQuad(&recorder, quad, r[0], r[1], r[2], r[3], 0, 0, 1, 1, 1);
        EXPECT_TRUE(recorder.calls.empty()) << r[0] << "," << r[1] << " " << r[2] << "," << r[3];
    }
    RecordingRenderer recorder;
    ScreenVertex quad[4] = {};
    DrawScreenQuad(&recorder, quad, 1.0f, -0.5f, 1.5f, 0.5f, 0, 0, 1, 1, 1);
    EXPECT_EQ(recorder.Count("DrawQuad"), 1);
}

TEST(DrawSprite, PlacesTexelRectangleBelowAndRightOfItsCorner) {
    RecordingRenderer recorder;
    ScreenVertex quad[4] = {};
    DrawSprite(&recorder, quad, 0, 0, 256, 256, -0.25f, 0.25f, 1, 1, 0.5f);
    auto v = OnlyQuad(recorder);
    EXPECT_FLOAT_EQ(v[0].screenX, -0.25f);
    EXPECT_FLOAT_EQ(v[0].screenY, 0.25f);
    EXPECT_FLOAT_EQ(v[2].screenX, 0.25f);
    EXPECT_FLOAT_EQ(v[2].screenY, -0.25f);
    EXPECT_FLOAT_EQ(v[0].s0, 0);
    EXPECT_FLOAT_EQ(v[0].t0, 0);
    EXPECT_FLOAT_EQ(v[2].s0, 1);
    EXPECT_FLOAT_EQ(v[2].t0, 1);
    EXPECT_EQ(v[0].alpha, 0.5f);

    // Partly left of the screen: clipped; top edge above the screen: dropped whole.
    recorder.calls.clear();
    DrawSprite(&recorder, quad, 0, 0, 256, 256, -1.25f, 0, 1, 1, 1);
    v = OnlyQuad(recorder);
    EXPECT_FLOAT_EQ(v[0].screenX, -1);
    EXPECT_FLOAT_EQ(v[0].s0, 0.5f);
    recorder.calls.clear();
    DrawSprite(&recorder, quad, 0, 0, 256, 256, 0, 1.1f, 1, 1, 1);
    EXPECT_TRUE(recorder.calls.empty());
}

// ---- Real pixels ---------------------------------------------------------------------

class ScreenDrawGlTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (HasFatalFailure()) return;
        renderer.reset(CreateGlRenderer());
        ASSERT_NE(renderer, nullptr);
        renderer->SetState(kStateTextureUnits, kUnit0Only);
        renderer->SetBlendMode(kBlendOpaque);
        renderer->SetState(kStateDepthTest, kOn);
    }
    // A flat triangle over the middle of the screen at camera depth z.
    void SceneTriangle(float z, float r, float g, float b) {
        ScreenVertex v[3] = {};
        const float corners[3][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {0.0f, 0.5f}};
        for (int i = 0; i < 3; ++i) {
            v[i].z = z;
            v[i].screenX = corners[i][0];
            v[i].screenY = corners[i][1];
            v[i].red = r;
            v[i].green = g;
            v[i].blue = b;
        }
        renderer->BindTexture0(0);
        renderer->DrawTriangle(&v[0], &v[1], &v[2]);
    }
    std::unique_ptr<Renderer> renderer;
};

TEST_F(ScreenDrawGlTest, FillScreenStaysBehindTheSceneDrawnAfterIt) {
    renderer->Clear();
    FillScreen(renderer.get(), 1.0f, 1.0f, 0.0f);
    SceneTriangle(30.0f, 1.0f, 0.0f, 0.0f);  // far away, yet in front of the fill
    const Rgba centre = gl.ReadPixel(kSize / 2, kSize / 2);
    const Rgba corner = gl.ReadPixel(1, kSize - 2);
    EXPECT_EQ(centre.r, 255);
    EXPECT_EQ(centre.g, 0);
    EXPECT_EQ(corner.r, 255);
    EXPECT_EQ(corner.g, 255);
    EXPECT_EQ(corner.b, 0);
}

// Overlays sit at depth 1, the nearest the renderer keeps, so one drawn with the depth test
// still on covers the scene instead of vanishing behind it.
TEST_F(ScreenDrawGlTest, ScreenQuadCoversTheSceneEvenWithTheDepthTestOn) {
    renderer->Clear();
    SceneTriangle(1.5f, 1.0f, 0.0f, 0.0f);
    Image blue(1, 1, kPixelFormat32, 4);
    blue.pixels = {0, 0, 255, 0};
    renderer->BindTexture0(renderer->CreateTexture(&blue, kTextureRgba8));
    ScreenVertex quad[4] = {};
    DrawScreenQuad(renderer.get(), quad, -0.8f, -0.8f, 0.8f, 0.8f, 0, 0, 1, 1, 1);
    const Rgba centre = gl.ReadPixel(kSize / 2, kSize / 2);
    EXPECT_EQ(centre.r, 0);
    EXPECT_EQ(centre.b, 255);
    const Rgba outside = gl.ReadPixel(1, 1);
    EXPECT_EQ(outside.b, 0);
}
