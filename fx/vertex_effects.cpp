// Per-vertex colour and morphing effects: clearing texture coordinates, flat colour, and
// rescaling the working positions from the mesh's base copy.
#include "fx/fx.h"

// The face arguments are unused; they match SmoothEnvMap so a part can call either.
void ClearTexCoords(ScreenVertex* vertices, const MeshFace*, int vertexCount, int) {
    for (int i = 0; i < vertexCount; ++i) {
        ScreenVertex& v = vertices[i];
        v.s0 = v.t0 = v.s1 = v.t1 = 0.0f;
    }
}

void ClearTexCoordsSetColour(ScreenVertex* vertices, int count, float r, float g, float b) {
    for (int i = 0; i < count; ++i) {
        ScreenVertex& v = vertices[i];
        v.s0 = v.t0 = v.s1 = v.t1 = 0.0f;
        v.red = r;
        v.green = g;
        v.blue = b;
    }
}

// Working x and z = base x and z times factors[i]; working y keeps its value.
int ScaleVerticesXZ(Mesh* mesh, const float* factors) {
    const int count = mesh->working->count;
    Vec3* working = mesh->working->positions.data();
    const Vec3* base = mesh->base->positions.data();
    for (int i = 0; i < count; ++i) {
        working[i].x = base[i].x * factors[i];
        working[i].z = base[i].z * factors[i];
    }
    return count;
}

int ScaleVertices(Mesh* mesh, const float* factors) {
    const int count = mesh->working->count;
    Vec3* working = mesh->working->positions.data();
    const Vec3* base = mesh->base->positions.data();
    for (int i = 0; i < count; ++i) {
        working[i] = {base[i].x * factors[i], base[i].y * factors[i], base[i].z * factors[i]};
    }
    return count;
}
