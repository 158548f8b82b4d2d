// 3DS import: the chunk reader (3dsload) that takes one named object's mesh out of a 3DS
// file, and the Mesh record of the effect toolkit with its two builders.
//
// Coordinates: a file point (X, Y, Z) is read as (x, y, z) = (X, Z, Y) and stored in a
// Mesh as (-X, Z, Y); a mapping pair (u, v) is read as (u, -v).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/gfx.h"
#include "math/math.h"

struct ObjectFace {
    int32_t a, b, c;   // vertex numbers, 0-based, always below vertexCount
    int32_t material;  // always 0
};

struct MapCoord {
    float u, v;
};

// One object's lists as read from the file (vertices with the file's Y and Z swapped,
// mapping with v negated). Owned by the caller.
struct ObjectData {
    std::vector<ObjectFace> faces;
    std::vector<Vec3> vertices;
    std::vector<MapCoord> mapping;  // one per vertex; (0, 0) where the file gives none
    int32_t vertexCount = 0;
    int32_t faceCount = 0;
};

// The reader's budget: a 3DS file declaring more is refused. The show's largest object has
// 1961 vertices and 3792 faces, its fullest file 3 objects: about ten times as much and
// more, and no fewer than the object generator's own limits.
constexpr uint32_t kMaxReadVertices = 20000;  // per object; also its mapping pairs
constexpr uint32_t kMaxReadFaces = 40000;     // per object; also faces of a material group
constexpr int32_t kMaxReadObjects = 64;       // per file

// Fills result from the object named objectName in the 3DS file fileName, printing the
// chunk trace on standard output. A file that cannot be opened aborts the program with an
// assertion report naming the open. An object the file lacks gives counts of 0, and so
// does a refused file: one with a chunk reaching past the end of the file, a list longer
// than its chunk, or more than the budget above; the reason and the file's name go to
// standard error, and nothing is allocated for it.
void LoadObject(ObjectData* result, const char* fileName, const char* objectName);

// One object of a 3DS file with the counts LoadObject would deliver for it, and the entry
// count of its mapping list as stored (0 when it has none).
struct ObjectSummary {
    char name[32];  // cut to 31 bytes as the reader does
    int32_t vertexCount, faceCount, mappingCount;
};

// Appends every named object of the 3DS file fileName to objects, in file order, without
// the chunk trace. Returns false (objects unchanged) when the file cannot be opened or is
// refused as LoadObject refuses it, with the reason in *error when error is given.
bool ListObjects(const char* fileName, std::vector<ObjectSummary>* objects, std::string* error = nullptr);

struct VertexBuffer {
    explicit VertexBuffer(int32_t count);
    std::vector<Vec3> positions;        // object space, count entries
    std::vector<ScreenVertex> vertices; // entry i belongs to position i
    int32_t count;
    int32_t gridColumns = 0, gridRows = 0;  // set only by grid builders of the effect toolkit
};

// A triangle pointing into its mesh's working ScreenVertex array.
struct MeshFace {
    ScreenVertex* a;
    ScreenVertex* b;
    ScreenVertex* c;
    int32_t indexA, indexB, indexC;  // the same vertices as indices (set by both builders)
};

struct FaceBuffer {
    explicit FaceBuffer(int32_t count);
    std::vector<MeshFace> faces;
    int32_t count;
};

// Geometry of the looping parts: working vertices that the renderer draws, faces into them,
// and a base copy of the positions as built that effects deform the working copy from.
// Constructed empty; a builder allocates the three parts once.
struct Mesh {
    VertexBuffer* working = nullptr;
    FaceBuffer* faceList = nullptr;
    VertexBuffer* base = nullptr;
};

// Builds mesh from the object named objectName in the 3DS file fileName. Faces whose vertex
// numbers lie outside the vertex list are dropped.
void ImportObject(Mesh* mesh, const char* fileName, const char* objectName);

// Frees a mesh's buffers and empties it, so it can be built again (no-op when empty). The
// show keeps its shared meshes for the whole run; a part rebuilds its own at set-up.
void ReleaseMesh(Mesh* mesh);

// Builds an open tube along y: columns vertices along the axis, rings vertices around.
void BuildTube(Mesh* mesh, float length, float diameter, int columns, int rings);
