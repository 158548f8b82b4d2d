// What the looping parts share: the animation clock and part-owned globals, camera set-up
// and aiming, the turning ray fan, and mesh bookkeeping.
#include <algorithm>
#include <cmath>

#include "fx/fx.h"
#include "parts/parts.h"
#include "show/show_state.h"

namespace {
constexpr float kDemoTimeAtStart = 3.14f;
constexpr float kImageStripXAtStart = 1.0f;
}  // namespace

float demoTime = kDemoTimeAtStart;
TextureId logoEnvTexture = 0;
float imageStripX = kImageStripXAtStart;

void ResetPartClocks() {
    demoTime = kDemoTimeAtStart;
    imageStripX = kImageStripXAtStart;
}

void DrawOverlayPicture(TextureId texture, int blendMode, float alpha) {
    constexpr float kHalfSide = 0.8f;  // normalised screen units from the centre
    ScreenVertex quad[4];
    renderer->SetState(kStateDepthTest, kOff);
    renderer->SetBlendMode(blendMode);
    renderer->BindTexture0(texture);
    DrawScreenQuad(renderer, quad, -kHalfSide, kHalfSide, kHalfSide, -kHalfSide, 0, 0, 1, 1, alpha);
    renderer->SetState(kStateDepthTest, kOn);
}

void SetUpPartCamera(EffectCamera* camera, float aspect, float fovDegrees) {
    CameraSetAspect(camera, 2, 2, aspect);
    CameraSetFov(camera, fovDegrees);
    CameraSetViewport(camera, 2, 2);
    SetClipProjection(0, 0, 1, 1);
}

void AimPartCamera(EffectCamera* camera, Matrix44* view, const Vec3& position, const Vec3& target,
                   float rollDegrees) {
    CameraSetPosition(camera, position.x, position.y, position.z);
    CameraSetTarget(camera, target.x, target.y, target.z);
    camera->roll = rollDegrees;
    Matrix44FromCameraFocal(view, camera);
}

// Rim vertex k sits at angle + k * 2 * 3.1415 / steps from the +y axis towards +x (3.1415,
// not pi, so the fan closes a hair short of a full turn). Ray j is the triangle of the
// centre with rims 2j and 2j + 1, j = 1 .. steps / 2; the other rims are set but not drawn.
void DrawRayFan(Renderer* renderer, ScreenVertex* fan, float angle, float radius, int steps,
                float red, float green, float blue) {
    for (int k = 0; k < 2 * steps; ++k) {
        ScreenVertex& v = fan[k];
        v = ScreenVertex{};
        if (k > 0) {
            const double a = angle + k * 3.1415 * 2 / steps;
            v.screenX = static_cast<float>(radius * std::sin(a));
            v.screenY = static_cast<float>(radius * std::cos(a));
            v.s0 = v.t0 = static_cast<float>(0.05 * k);
        }
        v.z = -1.0f;
        v.red = red;
        v.green = green;
        v.blue = blue;
        v.alpha = 1.0f;
    }
    for (int j = 1; j <= steps / 2; ++j) renderer->DrawTriangle(&fan[0], &fan[2 * j], &fan[2 * j + 1]);
}

int FillMeshFaceRefs(FaceRef* refs, Mesh* mesh, int capacity) {
    if (mesh->faceList == nullptr) return 0;
    const int count = std::min(mesh->faceList->count, capacity);
    FillFaceRefs(refs, mesh->faceList->faces.data(), count);
    return count;
}

void ShadeMesh(Mesh* mesh, float shade) {
    if (mesh->working != nullptr)
        ClearTexCoordsSetColour(mesh->working->vertices.data(), mesh->working->count, shade, shade, shade);
}

int MeshVertexCount(const Mesh& mesh) { return mesh.working ? mesh.working->count : 0; }

// The normal accumulators hold kMaxSmoothVertices entries; a larger mesh keeps the
// coordinates it had rather than overrunning them.
void SmoothEnvMapMesh(Mesh* mesh) {
    const int vertexCount = MeshVertexCount(*mesh);
    if (vertexCount == 0 || vertexCount > kMaxSmoothVertices) return;
    SmoothEnvMap(mesh->working->vertices.data(), mesh->faceList->faces.data(), vertexCount,
                 mesh->faceList->count);
}

void PlaceMesh(Mesh* mesh, const Matrix44* view, const EffectCamera* camera) {
    if (mesh->working == nullptr) return;
    TransformVertices(mesh->working, view);
    ProjectVertices(mesh->working, camera);
}

void DrawFanBackdrop(ScreenVertex* fan, float angle) {
    renderer->SetBlendMode(kBlendFlat);
    renderer->SetState(kStateTextureUnits, kUnit0Only);  // second texture unit off
    FillScreen(renderer, 0.9453125f, 0.7109375f, 0.02734375f);
    DrawRayFan(renderer, fan, angle, 2.0f, 12, 0.84765625f, 0.640625f, 0.078125f);
}

void DrawSortedEnvMapped(Mesh* mesh, FaceRef* refs, int capacity) {
    const int faces = FillMeshFaceRefs(refs, mesh, capacity);
    SmoothEnvMapMesh(mesh);
    if (faces > 0) ComputeFaceKeys(refs, mesh->faceList->faces.data(), faces);
    SortFaceRefs(refs, faces);
    DrawFaceRefsMultitex(renderer, refs, faces);
}
