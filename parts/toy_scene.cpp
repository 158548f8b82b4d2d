// The toy scene: a textured box, a black figure and white glasses filmed by a camera whose
// path cuts to a new one at every song order from 20 on.
#include <cmath>

#include "fx/fx.h"
#include "parts/part_table.h"
#include "parts/parts.h"
#include "show/show_state.h"

namespace {

constexpr int kToyFaceRefs = 10000;  // per object
constexpr float kClockStep = 0.01f;

FaceRef boxRefs[kToyFaceRefs];
FaceRef dudeRefs[kToyFaceRefs];
FaceRef brillerRefs[kToyFaceRefs];

}  // namespace

Vec3 ToyCameraPosition(int order, float t) {
    switch (order) {
    case 20:
        return {200 - 120 * std::cos(t) * std::sin(5.5f * t + 1), 100 * std::sin(3 * t) + 30,
                -120 * std::sin(4 * t) - 170};
    case 21:
        return {130 * std::cos(3 * t) - 60, 100 * std::sin(3 * t + 1.6f + 1.4f) + 60,
                120 * std::sin(2.4f * t + 0.7f) - 160};
    case 22:
        return {-130 * std::cos(5 * t) - 60, 100 * std::sin(5 * t + 2.4f) + 60,
                120 * std::sin(t + 2.7f) - 190};
    default:
        return {50 * std::cos(t + 1.1f) - 100 * std::sin(1.5f * t), 130 * std::cos(t) + 40,
                150 * std::cos(1.5f * t) - 200};
    }
}

// Keeps its own clock; the depth buffer alone orders the three unsorted objects.
void PartToyScene() {
    float t = 0.0f;
    EffectCamera camera{};
    SetUpPartCamera(&camera, 1.2f, 91.0f);
    renderer->BindTexture0(sharedAssets.circlesTexture);
    renderer->SetState(kStateDepthTest, kOn);  // depth test on for the whole part
    renderer->BindTexture1(0);
    const int boxFaces = FillMeshFaceRefs(boxRefs, &sharedAssets.boxMesh, kToyFaceRefs);
    const int dudeFaces = FillMeshFaceRefs(dudeRefs, &sharedAssets.dudeMesh, kToyFaceRefs);
    const int brillerFaces = FillMeshFaceRefs(brillerRefs, &sharedAssets.brillerMesh, kToyFaceRefs);

    Matrix44 view;
    while (PartFrameBegin(ToySceneRuns)) {
        renderer->BindTexture0(sharedAssets.circlesTexture);
        renderer->SetBlendMode(kBlendOpaque);
        const int order = syncState.order.load(std::memory_order_relaxed);
        AimPartCamera(&camera, &view, ToyCameraPosition(order, t), {1, 0, 51}, 180.0f);

        PlaceMesh(&sharedAssets.boxMesh, &view, &camera);
        DrawFaceRefs(renderer, boxRefs, boxFaces);
        PlaceMesh(&sharedAssets.dudeMesh, &view, &camera);
        ShadeMesh(&sharedAssets.dudeMesh, 0.0f);
        DrawFaceRefs(renderer, dudeRefs, dudeFaces);
        renderer->BindTexture0(0);
        PlaceMesh(&sharedAssets.brillerMesh, &view, &camera);
        ShadeMesh(&sharedAssets.brillerMesh, 1.0f);
        DrawFaceRefs(renderer, brillerRefs, brillerFaces);

        renderer->Present();
        renderer->Clear();
        t += kClockStep;
    }
    renderer->SetBlendMode(kBlendFlat);
}
