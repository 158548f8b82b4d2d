// The infinite zoom: one object drawn five times per frame, each copy seen from ten times
// farther than the one before, alternately white and black, while the distances shrink and
// the window of copies slides outward at a matching rate.
#include <cmath>

#include "fx/fx.h"
#include "parts/part_table.h"
#include "parts/parts.h"
#include "show/show_state.h"

namespace {

constexpr int kZoomFaceRefs = 50000;
constexpr int kCopies = 5;
constexpr double kClockStep = 0.018;

FaceRef zoomRefs[kZoomFaceRefs];

}  // namespace

// p and w are floats: the steps are taken in double and stored back.
void ZoomState::Step() {
    p -= 0.04;
    if (p <= 10.5f) w += 0.018;
    distance = static_cast<float>(std::exp(p));
}

void PartInfiniteZoom() {
    EffectCamera camera{};
    SetUpPartCamera(&camera, 1.2f, 61.0f);
    renderer->SetState(kStateDepthTest, kOff);  // no depth test in this part
    renderer->SetState(kStateTextureUnits, kUnit0Only);  // second texture unit off
    renderer->BindTexture0(0);
    ZoomState zoom;
    zoom.Step();
    const int faces = FillMeshFaceRefs(zoomRefs, &sharedAssets.toypushMesh, kZoomFaceRefs);

    Matrix44 view;
    while (PartFrameBegin(InfiniteZoomRuns)) {
        const float t = demoTime;
        renderer->SetBlendMode(kBlendFlat);
        // Nearest copy first; the farther (smaller) copies are painted over it. Copy i is
        // seen from D * 10^(i - 5); odd copies white, even ones black.
        const int first = static_cast<int>(zoom.w) + 1;
        for (int i = first; i < first + kCopies; ++i) {
            const float z = static_cast<float>(-zoom.distance / std::pow(10.0, kCopies - i));
            const float roll = 90 * std::sin(0.4f * i + 4 * t) + 180;
            AimPartCamera(&camera, &view, {1, 1, z}, {0, 0, 0}, roll);
            PlaceMesh(&sharedAssets.toypushMesh, &view, &camera);
            ShadeMesh(&sharedAssets.toypushMesh, static_cast<float>(i % 2));
            DrawFaceRefsMultitex(renderer, zoomRefs, faces);
        }
        zoom.Step();

        PartFrameEnd(kClockStep);
    }
}
