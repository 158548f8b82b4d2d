// A part's camera at one moment, applied to a mesh the way the looping parts do it, and a
// self-freeing mesh; shared by the contact sheet and the object tests.
#pragma once

#include <cmath>

#include "fx/fx.h"

// A mesh that frees its parts when it goes (the show keeps its meshes for the whole run;
// the sheet and the tests do not).
struct OwnedMesh : Mesh {
    OwnedMesh() = default;
    OwnedMesh(const OwnedMesh&) = delete;
    ~OwnedMesh() { ReleaseMesh(this); }
};

struct PartView {
    Vec3 position, target;
    float roll;    // degrees
    float fov;     // degrees
    float aspect;  // vertical scale factor
};

// Fills the camera-space x, y, z (after focal scaling), outcodes and screen positions of
// every working vertex of mesh as seen through view.
inline void LookThrough(Mesh* mesh, const PartView& view) {
    EffectCamera camera{};
    CameraSetAspect(&camera, 2, 2, view.aspect);
    CameraSetFov(&camera, view.fov);
    CameraSetViewport(&camera, 2, 2);
    CameraSetPosition(&camera, view.position.x, view.position.y, view.position.z);
    CameraSetTarget(&camera, view.target.x, view.target.y, view.target.z);
    camera.roll = view.roll;
    Matrix44 m;
    Matrix44FromCamera(&m, &camera);
    Vec3 focal{camera.focalX, camera.focalY, 1.0f};
    Matrix44Scale(&m, &focal);
    TransformVertices(mesh->working, &m);
    ProjectVertices(mesh->working, &camera);
}

// Eye point of the toy scene's camera path (0 to 3, one per song order from 19 to 22)
// at clock t; the camera looks at (1, 0, 51) with roll 180, fov 91, aspect 1.2.
inline Vec3 ToySceneEye(int path, float t) {
    switch (path) {
        case 0: return {50 * std::cos(t + 1.1f) - 100 * std::sin(1.5f * t), 130 * std::cos(t) + 40, 150 * std::cos(1.5f * t) - 200};
        case 1: return {200 - 120 * std::cos(t) * std::sin(5.5f * t + 1), 100 * std::sin(3 * t) + 30, -120 * std::sin(4 * t) - 170};
        case 2: return {130 * std::cos(3 * t) - 60, 100 * std::sin(3 * t + 1.6f + 1.4f) + 60, 120 * std::sin(2.4f * t + 0.7f) - 160};
        default: return {-130 * std::cos(5 * t) - 60, 100 * std::sin(5 * t + 2.4f) + 60, 120 * std::sin(t + 2.7f) - 190};
    }
}
