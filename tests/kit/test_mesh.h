// Small meshes, vertices and cameras for the effect toolkit's tests and benchmarks, built directly
// from positions and index triples (the same records ImportObject fills).
#pragma once

#include <array>
#include <cmath>
#include <vector>

#include "fx/fx.h"

// A vertex at camera-space (x, y, z), every other field zero.
inline ScreenVertex VertexAt(float x, float y, float z) {
    ScreenVertex v{};
    v.x = x;
    v.y = y;
    v.z = z;
    return v;
}

// A camera with the set-up every part does once before its loop (viewport 2 x 2, unit
// clip projection).
inline EffectCamera MakeCamera(float fov, float aspect) {
    EffectCamera camera{};
    CameraSetAspect(&camera, 2, 2, aspect);
    CameraSetFov(&camera, fov);
    CameraSetViewport(&camera, 2, 2);
    SetClipProjection(0, 0, 1, 1);
    return camera;
}

// Owns a mesh's three parts. Faces point into working; indexA..C are set.
struct TestMesh {
    VertexBuffer working;
    FaceBuffer faces;
    VertexBuffer base;
    Mesh mesh;

    TestMesh(const std::vector<Vec3>& positions, const std::vector<std::array<int, 3>>& triangles)
        : working(static_cast<int32_t>(positions.size())),
          faces(static_cast<int32_t>(triangles.size())),
          base(static_cast<int32_t>(positions.size())) {
        for (size_t i = 0; i < positions.size(); ++i) {
            working.positions[i] = base.positions[i] = positions[i];
            working.vertices[i] = ScreenVertex{};
            working.vertices[i].red = working.vertices[i].green = working.vertices[i].blue = 1.0f;
            working.vertices[i].alpha = 1.0f;
        }
        for (size_t f = 0; f < triangles.size(); ++f) {
            MeshFace& face = faces.faces[f];
            face.indexA = triangles[f][0];
            face.indexB = triangles[f][1];
            face.indexC = triangles[f][2];
            face.a = &working.vertices[face.indexA];
            face.b = &working.vertices[face.indexB];
            face.c = &working.vertices[face.indexC];
        }
        mesh.working = &working;
        mesh.faceList = &faces;
        mesh.base = &base;
    }
    TestMesh(const TestMesh&) = delete;
    TestMesh& operator=(const TestMesh&) = delete;
};

// Positions and triangles of a torus around the y axis: rings x segments vertices and
// 2 x rings x segments faces, closed in both directions.
inline void TorusGeometry(int rings, int segments, float major, float minor,
                          std::vector<Vec3>* positions, std::vector<std::array<int, 3>>* triangles) {
    const float twoPi = 6.2831855f;
    for (int i = 0; i < rings; ++i) {
        const float u = twoPi * i / rings;
        for (int j = 0; j < segments; ++j) {
            const float v = twoPi * j / segments;
            const float r = major + minor * std::cos(v);
            positions->push_back({r * std::cos(u), minor * std::sin(v), r * std::sin(u)});
        }
    }
    for (int i = 0; i < rings; ++i) {
        const int i1 = (i + 1) % rings;
        for (int j = 0; j < segments; ++j) {
            const int j1 = (j + 1) % segments;
            triangles->push_back({i * segments + j, i * segments + j1, i1 * segments + j});
            triangles->push_back({i * segments + j1, i1 * segments + j1, i1 * segments + j});
        }
    }
}
