// Mesh buffers and the object import: a named 3DS object turned into a drawable Mesh.
#include <cstddef>

#include "import/import.h"

VertexBuffer::VertexBuffer(int32_t n)
    : positions(static_cast<size_t>(n)), vertices(static_cast<size_t>(n)), count(n) {}

FaceBuffer::FaceBuffer(int32_t n) : faces(static_cast<size_t>(n)), count(n) {}

// The reader delivers (X, Z, Y) of the file point; mirroring x gives (-X, Z, Y). The reader
// also drops faces whose vertex numbers lie outside the vertex list, so every face pointer
// below lands inside working.
void ImportObject(Mesh* mesh, const char* fileName, const char* objectName) {
    ObjectData data;
    LoadObject(&data, fileName, objectName);

    mesh->working = new VertexBuffer(data.vertexCount);
    mesh->faceList = new FaceBuffer(data.faceCount);
    mesh->base = new VertexBuffer(data.vertexCount);

    for (int32_t i = 0; i < data.vertexCount; ++i) {
        const Vec3& v = data.vertices[i];
        const Vec3 p = {-v.x, v.y, v.z};
        mesh->working->positions[i] = p;
        mesh->base->positions[i] = p;
        ScreenVertex& sv = mesh->working->vertices[i];
        sv.s0 = data.mapping[i].u;
        sv.t0 = data.mapping[i].v;
        sv.s1 = sv.t1 = 0.0f;
        sv.red = sv.green = sv.blue = 1.0f;
        sv.alpha = 1.0f;
    }

    ScreenVertex* vertices = mesh->working->vertices.data();
    for (int32_t i = 0; i < data.faceCount; ++i) {
        const ObjectFace& f = data.faces[i];
        MeshFace& face = mesh->faceList->faces[i];
        face.a = vertices + f.a;
        face.b = vertices + f.b;
        face.c = vertices + f.c;
        face.indexA = f.a;
        face.indexB = f.b;
        face.indexC = f.c;
    }
}

void ReleaseMesh(Mesh* mesh) {
    delete mesh->working;
    delete mesh->faceList;
    delete mesh->base;
    *mesh = Mesh{};
}
