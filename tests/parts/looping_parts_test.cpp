// The seven looping parts with a scripted song position, drawing into a recording renderer
// in the show's data folder: end orders, the title's rays, words and clock, the picture
// strip, the toy scene's camera cut, the zoom, meshes that failed to load, and frames that
// allocate nothing.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "fx/fx.h"
#include "parts/part_table.h"
#include "parts/parts.h"
#include "show/show_state.h"
#include "tests/kit/recording_renderer.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/show_data_folder.h"

namespace {

void SetPosition(int order, int row) { OnMusicSync(0, 0, DWORD(order) | (DWORD(row) << 16)); }

// A looping part as the parts' table places it: the first order it draws at and the first
// at which it no longer does.
struct PartSpan {
    void (*part)();
    int first;
    int end;
};
std::vector<PartSpan> LoopingPartSpans() {
    std::vector<PartSpan> spans;
    for (int part = 0; part < kLoopingPartCount; ++part)
        spans.push_back({kShowParts[part].play, PartStartOrder(part), PartEndOrder(part)});
    return spans;
}

// Records every call and runs a script after each Present (which may move the song position).
class ScriptedRenderer : public HookedRenderer<RecordingRenderer> {
public:
    // The calls of frame n (1-based): those after the (n-1)th Present up to the nth.
    std::vector<RecordedCall> Frame(int n) const {
        std::vector<RecordedCall> out;
        int seen = 0;
        for (const RecordedCall& call : calls) {
            if (call.op == "Present" && ++seen == n) break;
            if (seen == n - 1) out.push_back(call);
        }
        return out;
    }
};

std::vector<RecordedCall> Only(const std::vector<RecordedCall>& calls, const std::string& op) {
    std::vector<RecordedCall> out;
    for (const RecordedCall& call : calls)
        if (call.op == op) out.push_back(call);
    return out;
}

// Runs a part for `frames` frames at the song position (order, row): the order moves to
// `end` after the last one.
void RunFrames(ScriptedRenderer* screen, void (*part)(), int order, int end, int frames) {
    SetPosition(order, 0);
    screen->onPresent = [=](int n) {
        if (n >= frames) SetPosition(end, 0);
    };
    part();
}

// Working positions of a mesh seen by the part camera, as the part would place them.
std::vector<Vec3> CameraSpace(const Mesh& mesh, float aspect, float fov, const Vec3& eye,
                              const Vec3& target, float roll) {
    EffectCamera camera{};
    Matrix44 view;
    SetUpPartCamera(&camera, aspect, fov);
    AimPartCamera(&camera, &view, eye, target, roll);
    VertexBuffer copy(mesh.working->count);
    copy.positions = mesh.working->positions;
    TransformVertices(&copy, &view);
    std::vector<Vec3> out;
    for (const ScreenVertex& v : copy.vertices) out.push_back({v.x, v.y, v.z});
    return out;
}

// How many drawn corners of the calls lie on one of the expected camera-space points.
int Matches(const std::vector<RecordedCall>& calls, const std::vector<Vec3>& expected) {
    int n = 0;
    for (const RecordedCall& call : calls)
        for (const ScreenVertex& v : call.vertices)
            for (const Vec3& e : expected)
                if (std::fabs(v.x - e.x) < 1e-3f && std::fabs(v.y - e.y) < 1e-3f && std::fabs(v.z - e.z) < 1e-3f) {
                    ++n;
                    break;
                }
    return n;
}

// Counts frames; records the allocations made between the end of frame 1 and the end of
// frame 4. Frame 4 is drawn at the order before `end`, the last the part draws at; then
// the song moves to `end`. It never allocates itself.
class FourFrames : public CountingRenderer {
public:
    explicit FourFrames(int end) : end(end) {}
    void Present() override {
        CountingRenderer::Present();
        if (presents == 1) afterFirst = AllocationCount();
        if (presents == 3) SetPosition(end - 1, 0);
        if (presents == 4) {
            afterFourth = AllocationCount();
            SetPosition(end, 0);
        }
    }
    long afterFirst = -1, afterFourth = -1;

private:
    int end;
};

// Runs in the data folder with the shared assets loaded.
class LoopingParts : public ShowDataFolder {
protected:
    void SetUp() override {
        ShowDataFolder::SetUp();
        if (HasFatalFailure()) return;
        renderer = &screen;
        demoTime = 3.14f;
        imageStripX = 1.0f;
    }
    void TearDown() override {
        renderer = nullptr;
        SetPosition(0, 0);
    }

    ScriptedRenderer screen;
};

}  // namespace

TEST_F(LoopingParts, EachRunsUntilItsEndOrderWithoutAllocatingPerFrame) {
    for (const PartSpan& run : LoopingPartSpans()) {
        SCOPED_TRACE("part ending at order " + std::to_string(run.end));
        FourFrames frames(run.end);
        renderer = &frames;
        SetPosition(run.first, 0);
        run.part();
        EXPECT_EQ(frames.presents, 4);  // the fourth at end - 1, none at end
        EXPECT_EQ(frames.clears, 4);
        EXPECT_GT(frames.triangles + frames.multitexTriangles, 0);
        EXPECT_EQ(frames.afterFourth, frames.afterFirst);

        // Entered at or past its end order: set-up only. Only the spiral restarts the clock.
        for (const int lateOrder : {run.end, run.end + 5}) {
            CountingRenderer late;
            renderer = &late;
            SetPosition(lateOrder, 0);
            demoTime = 5.0f;
            run.part();
            EXPECT_EQ(late.presents + late.clears, 0);
            EXPECT_EQ(demoTime, run.part == PartSpinningSpiral ? 0.0f : 5.0f);
        }
    }
}

// Two seconds of every part: nothing handed to the renderer is NaN or infinite.
TEST_F(LoopingParts, EveryCornerDrawnIsFinite) {
    constexpr int kFrames = 120;
    for (const PartSpan& run : LoopingPartSpans()) {
        SCOPED_TRACE("part ending at order " + std::to_string(run.end));
        HookedRenderer<FiniteCheckingRenderer> checker;
        renderer = &checker;
        SetPosition(run.first, 0);
        checker.onPresent = [&](int n) {
            if (n >= kFrames) SetPosition(run.end, 0);
        };
        run.part();
        EXPECT_EQ(checker.presents, kFrames);
        EXPECT_EQ(checker.nonFiniteCorners, 0);
    }
}

// An object the file lacks gives an empty mesh; one never loaded has no buffers.
TEST_F(LoopingParts, RunWithSharedMeshesThatFailedToLoad) {
    Mesh missing;
    ImportObject(&missing, "ball2116.3ds", "NoSuchObject");
    Mesh* shared[] = {&sharedAssets.ballMesh, &sharedAssets.coneMesh, &sharedAssets.spiralMesh, &sharedAssets.boxMesh, &sharedAssets.dudeMesh, &sharedAssets.brillerMesh, &sharedAssets.toypushMesh};
    Mesh kept[7];
    for (int i = 0; i < 7; ++i) {
        kept[i] = *shared[i];
        *shared[i] = i % 2 ? Mesh{} : missing;
    }
    for (const PartSpan& run : LoopingPartSpans()) {
        FourFrames frames(run.end);
        renderer = &frames;
        SetPosition(run.first, 0);
        run.part();
        EXPECT_EQ(frames.presents, 4);
    }
    for (int i = 0; i < 7; ++i) *shared[i] = kept[i];
    ReleaseMesh(&missing);
}

TEST_F(LoopingParts, TitleRevealsWordsWithTheSong) {
    // Frame 1 at order 1 row 20, frame 2 at row 21, frame 3 at order 2 row 0, then the end.
    SetPosition(1, 20);
    screen.onPresent = [](int n) {
        if (n == 1) SetPosition(1, 21);
        if (n == 2) SetPosition(2, 0);
        if (n == 3) SetPosition(3, 0);
    };
    PartTitle();
    ASSERT_EQ(screen.presents, 3);
    EXPECT_EQ(Only(screen.Frame(1), "DrawQuad").size(), 0u);
    const std::vector<RecordedCall> one = Only(screen.Frame(2), "DrawQuad");
    ASSERT_EQ(one.size(), 1u);
    // Word 1: texels (4, 2)-(80, 39) at 1.4 times, top-left corner at (-0.9025, -0.12).
    const ScreenVertex& low = one[0].vertices[0];
    const ScreenVertex& high = one[0].vertices[2];
    EXPECT_FLOAT_EQ(low.s0 * 256, 4);
    EXPECT_FLOAT_EQ(low.t0 * 256, 2);
    EXPECT_FLOAT_EQ(high.s0 * 256, 80);
    EXPECT_FLOAT_EQ(high.t0 * 256, 39);
    EXPECT_FLOAT_EQ(low.screenX, -0.9025f);
    EXPECT_FLOAT_EQ(low.screenY, -0.12f);
    EXPECT_NEAR(high.screenX - low.screenX, 76 * 1.4 / 512, 1e-6);
    EXPECT_NEAR(low.screenY - high.screenY, 37 * 1.4 / 512, 1e-6);

    // Words 1 to 4 from left to right, each after the gap that ends the one before.
    const std::vector<RecordedCall> four = Only(screen.Frame(3), "DrawQuad");
    ASSERT_EQ(four.size(), 4u);
    for (int i = 1; i < 4; ++i) EXPECT_GT(four[i].vertices[0].screenX, four[i - 1].vertices[2].screenX);
    EXPECT_FLOAT_EQ(four[3].vertices[0].screenX, 0.015f);
    EXPECT_FLOAT_EQ(four[3].vertices[0].t0 * 256, 122);
}

TEST_F(LoopingParts, TitleRaysTurnWithTheClockAndTheClockAddsPerFrame) {
    demoTime = 0.0f;
    RunFrames(&screen, PartTitle, 0, 3, 40);
    ASSERT_EQ(screen.presents, 40);

    // Background (two triangles) then twelve rays from the centre, all at depth -1.
    const std::vector<RecordedCall> triangles = Only(screen.Frame(1), "DrawTriangle");
    ASSERT_EQ(triangles.size(), 14u);
    for (const RecordedCall& t : triangles)
        for (const ScreenVertex& v : t.vertices) EXPECT_EQ(v.z, -1.0f);
    const RecordedCall& firstRay = triangles[2];
    EXPECT_EQ(firstRay.vertices[0].screenX, 0.0f);
    EXPECT_EQ(firstRay.vertices[0].screenY, 0.0f);
    // Angles from +y towards +x; radius 2.
    const float from = std::atan2(firstRay.vertices[1].screenX, firstRay.vertices[1].screenY);
    const float to = std::atan2(firstRay.vertices[2].screenX, firstRay.vertices[2].screenY);
    EXPECT_NEAR(from, 2 * 3.1415 / 12, 1e-5);
    EXPECT_NEAR(to, 3 * 3.1415 / 12, 1e-5);
    EXPECT_NEAR(std::hypot(firstRay.vertices[1].screenX, firstRay.vertices[1].screenY), 2.0, 1e-5);
    // Consecutive rays are two steps apart: equal rays and gaps.
    const float next = std::atan2(triangles[3].vertices[1].screenX, triangles[3].vertices[1].screenY);
    EXPECT_NEAR(next - from, 2 * 3.1415 / 12, 1e-5);

    // Forty float additions of 0.016 from 0.
    EXPECT_NEAR(demoTime, 40 * 0.016, 1e-5);
    float expected = 0.0f;
    for (int i = 0; i < 40; ++i) expected = float(expected + 0.016);
    EXPECT_EQ(demoTime, expected);
}

TEST_F(LoopingParts, PictureStripStartsOffScreenAndCyclesFourPictures) {
    RunFrames(&screen, PartSnakingTube, 9, 15, 1);
    // First frame: the first picture's left edge on the right screen edge, nothing visible.
    for (const RecordedCall& quad : Only(screen.Frame(1), "DrawQuad"))
        EXPECT_EQ(quad.vertices[1].screenX - quad.vertices[0].screenX, 0.0f);
    EXPECT_NEAR(imageStripX, 0.99, 1e-6);

    // With the strip at -2, pictures 2, 3, 4 are whole: n from the left edge, 0.6 apart.
    ScriptedRenderer later;
    renderer = &later;
    imageStripX = -2.0f;
    RunFrames(&later, PartSnakingTube, 9, 15, 1);
    const std::vector<RecordedCall> frame = later.Frame(1);
    int bound = -1, whole = 0;
    for (const RecordedCall& call : frame) {
        if (call.op == "BindTexture0") bound = call.args[0];
        if (call.op != "DrawQuad" || call.vertices[0].screenX <= -1.0f) continue;
        const int n = int(std::lround((call.vertices[0].screenX + 2.0f) / 0.6f));
        EXPECT_NEAR(call.vertices[0].screenX, -2.0f + 0.6f * n, 1e-5);
        EXPECT_EQ(bound, sharedAssets.pictureTextures[n % 4]) << "picture " << n;
        whole += call.vertices[1].screenX - call.vertices[0].screenX > 0.49f;
    }
    EXPECT_EQ(whole, 3);
}

TEST_F(LoopingParts, ToySceneCutsToTheNextPathWithTheSameClock) {
    // Frames 1-3 at order 19, frame 4 at order 20: t = 0.03 in frame 4.
    SetPosition(19, 0);
    screen.onPresent = [](int n) {
        if (n == 3) SetPosition(20, 0);
        if (n == 4) SetPosition(23, 0);
    };
    PartToyScene();
    ASSERT_EQ(screen.presents, 4);
    const float t = float(float(float(0.0f + 0.01f) + 0.01f) + 0.01f);
    // The path of order 20 at the same clock (the paths' shapes are checked against the
    // objects they film in the object tests).
    const Vec3 second = ToyCameraPosition(20, t);
    const std::vector<Vec3> cut = CameraSpace(sharedAssets.boxMesh, 1.2f, 91, second, {1, 0, 51}, 180);
    EXPECT_GT(Matches(Only(screen.Frame(4), "DrawTriangle"), cut), 0);
    EXPECT_EQ(Matches(Only(screen.Frame(3), "DrawTriangle"), cut), 0);
}

// The zoom must look endless: the camera closes in at every step, and while the window of
// drawn copies moves on by one copy the distance shrinks by close to the factor ten between
// neighbouring copies, so the picture after the move is nearly the one before it.
TEST(ZoomState, ClosesInAndMovesTheWindowOnOneCopyPerTenfoldApproach) {
    ZoomState zoom;
    zoom.Step();
    float windowMovedAt = 0.0f;  // the distance when trunc(w) last grew
    int moves = 0;
    for (int step = 0; step < 2000 && moves < 3; ++step) {
        const float before = zoom.distance;
        const int window = int(zoom.w);
        zoom.Step();
        ASSERT_LT(zoom.distance, before) << "step " << step;
        if (int(zoom.w) == window) continue;
        if (windowMovedAt > 0.0f) {
            const float approach = windowMovedAt / zoom.distance;
            EXPECT_GT(approach, 8.0f) << "move " << moves;
            EXPECT_LT(approach, 12.5f) << "move " << moves;
        }
        windowMovedAt = zoom.distance;
        ++moves;
    }
    EXPECT_EQ(moves, 3);
}

TEST_F(LoopingParts, ZoomDrawsFiveCopiesTenTimesFartherApart) {
    demoTime = 0.0f;
    RunFrames(&screen, PartInfiniteZoom, 23, 26, 1);
    const std::vector<RecordedCall> drawn = Only(screen.Frame(1), "DrawTriangleMultitex");
    ZoomState first;  // the state the first frame is drawn with
    first.Step();
    const float distance = first.distance;
    // Copy i seen from distance * 10^(i - 5), rolled 90 sin(0.4 i) + 180 at T = 0; odd copies
    // white, even black.
    for (int i = 1; i <= 2; ++i) {
        const float z = float(-distance / std::pow(10.0, 5 - i));
        const std::vector<Vec3> copy =
            CameraSpace(sharedAssets.toypushMesh, 1.2f, 61, {1, 1, z}, {0, 0, 0}, 90 * std::sin(0.4f * i) + 180);
        int matched = 0, shaded = 0;
        for (const RecordedCall& call : drawn) {
            if (Matches({call}, copy) == 3) {
                ++matched;
                shaded += call.vertices[0].red == float(i % 2);
            }
        }
        EXPECT_GT(matched, 0) << "copy " << i;
        EXPECT_EQ(shaded, matched) << "copy " << i;
    }
}

