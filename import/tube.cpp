// Tube builder: an open cylinder along y, closed around its axis, as a Mesh.
#include <cmath>

#include "import/import.h"

// 2 pi as the 32-bit float the angle step is taken from.
constexpr float kTwoPi = 6.2831855f;

// Vertex k = i * columns + j for ring i (around) and column j (along y). y runs from
// -length/2 in steps of length/columns and stops one step short of +length/2. Texture
// coordinates (j/columns, i/rings) on both units; they do not wrap at the seam. Faces get
// their vertex indices as well as their pointers.
void BuildTube(Mesh* mesh, float length, float diameter, int columns, int rings) {
    const int32_t vertexCount = columns * rings;
    const int32_t faceCount = columns > 1 ? 2 * rings * (columns - 1) : 0;
    mesh->working = new VertexBuffer(vertexCount);
    mesh->faceList = new FaceBuffer(faceCount);
    mesh->base = new VertexBuffer(vertexCount);

    const float step = length / static_cast<float>(columns);
    const float angleStep = kTwoPi / static_cast<float>(rings);
    const float radius = diameter * 0.5f;
    for (int i = 0; i < rings; ++i) {
        const float angle = angleStep * static_cast<float>(i);
        const float x = std::sin(angle) * radius;
        const float z = std::cos(angle) * radius;
        for (int j = 0; j < columns; ++j) {
            const int32_t k = i * columns + j;
            const Vec3 p = {x, static_cast<float>(j) * step - length * 0.5f, z};
            mesh->working->positions[k] = p;
            mesh->base->positions[k] = p;
            ScreenVertex& sv = mesh->working->vertices[k];
            sv.s0 = sv.s1 = static_cast<float>(j) / static_cast<float>(columns);
            sv.t0 = sv.t1 = static_cast<float>(i) / static_cast<float>(rings);
            sv.red = sv.green = sv.blue = 1.0f;
            sv.alpha = 1.0f;
        }
    }

    ScreenVertex* vertices = mesh->working->vertices.data();
    MeshFace* face = mesh->faceList->faces.data();
    for (int i = 0; i < rings; ++i) {
        const int next = (i + 1 == rings) ? 0 : i + 1;
        for (int j = 0; j + 1 < columns; ++j) {
            const int32_t v00 = i * columns + j, v01 = v00 + 1;
            const int32_t v10 = next * columns + j, v11 = v10 + 1;
            *face++ = MeshFace{vertices + v00, vertices + v01, vertices + v10, v00, v01, v10};
            *face++ = MeshFace{vertices + v01, vertices + v11, vertices + v10, v01, v11, v10};
        }
    }
}
