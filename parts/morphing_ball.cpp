// The morphing ball: a textured cone swung past as the background, and before it an
// environment-mapped ball whose surface three travelling waves push in and out, under a
// picture laid over most of the screen.
#include <cmath>
#include <vector>

#include "fx/fx.h"
#include "parts/part_table.h"
#include "parts/parts.h"
#include "show/show_state.h"

namespace {

constexpr int kBallFaceRefs = 50000;
constexpr int kConeFaceRefs = 20000;
constexpr double kClockStep = 0.008;

FaceRef ballRefs[kBallFaceRefs];
FaceRef coneRefs[kConeFaceRefs];

// factors[i] for base vertex i: 1 plus three waves of amplitude 0.2 (so 0.4 .. 1.6), each
// running along one axis at its own speed; ScaleVertices moves the vertex along the ray
// from the mesh origin.
void MorphBall(float t, float* factors) {
    const int count = MeshVertexCount(sharedAssets.ballMesh);
    if (count == 0) return;
    const Vec3* base = sharedAssets.ballMesh.base->positions.data();
    for (int i = 0; i < count; ++i) {
        factors[i] = 1 + 0.2f * std::sin(base[i].x / 26 + 16 * t) +
                     0.2f * std::cos(base[i].y / 27 + 17 * t) + 0.2f * std::cos(base[i].z / 25 + 15 * t);
    }
    ScaleVertices(&sharedAssets.ballMesh, factors);
}

}  // namespace

void PartMorphingBall() {
    // One factor per ball vertex, sized once here for whatever ball was loaded.
    std::vector<float> factors(MeshVertexCount(sharedAssets.ballMesh));
    EffectCamera camera{};
    SetUpPartCamera(&camera, 1.0f, 61.0f);
    const int coneFaces = FillMeshFaceRefs(coneRefs, &sharedAssets.coneMesh, kConeFaceRefs);

    Matrix44 view;
    while (PartFrameBegin(MorphingBallRuns)) {
        const float t = demoTime;
        // Cone: no depth test, file order, so later faces cover earlier ones.
        renderer->BindTexture0(sharedAssets.striberTexture);
        renderer->SetState(kStateDepthTest, kOff);
        renderer->SetBlendMode(kBlendOpaque);
        AimPartCamera(&camera, &view,
                      {45 * std::sin(t) + 1, 45 * std::sin(3 * t) + 1, 5 * std::cos(t) + 32},
                      {1, 1, 100}, 180.0f);
        PlaceMesh(&sharedAssets.coneMesh, &view, &camera);
        DrawFaceRefs(renderer, coneRefs, coneFaces);

        // Ball: depth-tested against itself (the cone wrote no depth), sorted far to near.
        renderer->SetState(kStateDepthTest, kOn);
        renderer->BindTexture0(sharedAssets.fisseTexture);
        renderer->SetBlendMode(kBlendFilterReset);
        MorphBall(t, factors.data());
        AimPartCamera(&camera, &view, {15 * std::sin(t), 15 * std::sin(3 * t) + 450, 15 * std::cos(t)},
                      {0, 0, 0}, 0.0f);
        PlaceMesh(&sharedAssets.ballMesh, &view, &camera);
        DrawSortedEnvMapped(&sharedAssets.ballMesh, ballRefs, kBallFaceRefs);

        DrawOverlayPicture(sharedAssets.toypushTexture, kBlendAlphaMix, 1.0f);
        PartFrameEnd(kClockStep);
    }
}
