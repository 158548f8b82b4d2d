// The snaking tube: over an orange background and a fan of six rays, a striped,
// environment-mapped tube swells in travelling rings and bends like a snake, with a strip of
// pictures sliding right to left in front of it.
#include <cmath>

#include "fx/fx.h"
#include "parts/part_table.h"
#include "parts/parts.h"
#include "show/show_state.h"

namespace {

constexpr int kColumns = 30;  // vertices along the tube's axis (y)
constexpr int kRings = 40;    // vertices around it
constexpr int kTubeFaceRefs = 10000;
constexpr int kStripPictures = 25;
constexpr double kClockStep = 0.004;

Mesh tube;
FaceRef tubeRefs[kTubeFaceRefs];

// Swells the tube from its base shape and bends it. Vertex (ring r, column c) is r * 30 + c.
// The pulse factor depends on the column only (0.4 .. 1.8), so rings of swelling travel
// along the axis; the bend shifts whole columns sideways in x and z.
void ShapeTube(float t, float (*factors)[kColumns]) {
    for (int r = 0; r < kRings; ++r)
        for (int c = 0; c < kColumns; ++c)
            factors[r][c] = 0.4f * std::sin(12 * t + 0.2f * c) + 1.1f + 0.3f * std::cos(18 * t + 0.3f * c);
    // The stripes scroll and are never reset.
    for (ScreenVertex& v : tube.working->vertices) v.s0 += 0.001f;
    ScaleVerticesXZ(&tube, &factors[0][0]);
    Vec3* p = tube.working->positions.data();
    for (int r = 0; r < kRings; ++r) {
        for (int c = 0; c < kColumns; ++c, ++p) {
            p->x += 2 * std::sin(5 * t + 0.2f * c) + 3 * std::sin(t + 0.3f * c);
            p->z += 2 * std::sin(3 * t + 0.2f * c) + 3 * std::sin(4 * t + 0.3f * c);
        }
    }
}

}  // namespace

void PartSnakingTube() {
    ReleaseMesh(&tube);
    BuildTube(&tube, 80, 20, kColumns, kRings);
    EffectCamera camera{};
    SetUpPartCamera(&camera, 1.0f, 61.0f);
    renderer->SetState(kStateDepthTest, kOff);  // no depth test in this part
    renderer->BindTexture0(sharedAssets.stripeTexture);
    renderer->BindTexture1(sharedAssets.envmapTexture);
    const int tubeFaces = FillMeshFaceRefs(tubeRefs, &tube, kTubeFaceRefs);
    const MeshFace* faces = tube.faceList->faces.data();

    float factors[kRings][kColumns];
    ScreenVertex fan[200];
    ScreenVertex quad[4];
    Matrix44 view;
    while (PartFrameBegin(SnakingTubeRuns)) {
        const float t = demoTime;
        DrawFanBackdrop(fan, t);

        renderer->BindTexture0(sharedAssets.stripeTexture);
        renderer->SetState(kStateTextureUnits, kBothUnits);  // second texture unit on
        renderer->SetBlendMode(kBlendUnit0FilterReset);
        ShapeTube(t, factors);
        AimPartCamera(&camera, &view, {45 * std::sin(t), std::sin(3 * t), 45 * std::cos(t)}, {0, 0, 0},
                      0.0f);
        PlaceMesh(&tube, &view, &camera);
        FillMeshFaceRefs(tubeRefs, &tube, kTubeFaceRefs);
        GridEnvMap(tube.working->vertices.data(), kColumns, kRings);
        ComputeFaceKeys(tubeRefs, faces, tubeFaces);
        SortFaceRefs(tubeRefs, tubeFaces);
        DrawFaceRefsMultitex(renderer, tubeRefs, tubeFaces);

        renderer->SetBlendMode(kBlendFlat);
        renderer->SetState(kStateTextureUnits, kUnit0Only);
        renderer->SetBlendMode(kBlendAlphaMix);
        // Pictures 0.5 wide, 0.6 apart, from imageStripX on; DrawSprite drops those off screen.
        for (int n = 0; n < kStripPictures; ++n) {
            renderer->BindTexture0(sharedAssets.pictureTextures[n % 4]);
            DrawSprite(renderer, quad, 0, 0, 256, 256, imageStripX + 0.6f * n, 0, 1, 1, 1.0f);
        }

        imageStripX -= 0.01;
        PartFrameEnd(kClockStep);
    }
    renderer->SetState(kStateTextureUnits, kUnit0Only);
}
