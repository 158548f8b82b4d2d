// A part's camera at one moment, applied to a mesh the way the looping parts do it, and a
// self-freeing mesh; shared by the contact sheet and the object tests.
#pragma once

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
    Matrix44FromCameraFocal(&m, &camera);
    TransformVertices(mesh->working, &m);
    ProjectVertices(mesh->working, &camera);
}
