// Effect toolkit: the light-weight mesh pipeline of the looping parts (camera, view
// matrix, camera-space transform, outcodes and projection; painter's sort and the
// recursive side-plane clipper), screen-space fills and sprites, and vertex effects.
//
// Camera space: the camera looks along +z. After the view matrix is scaled by
// (focalX, focalY, 1) the visible volume is |x| < z, |y| < z, and projection gives
// normalised screen coordinates -1..1 with camera-space +y going towards the bottom edge.
#pragma once

#include <cstdint>

#include "gfx/gfx.h"
#include "import/import.h"
#include "math/math.h"

// ---- Camera and projection ------------------------------------------------------------

// Fifteen floats, in this order.
struct EffectCamera {
    Vec3 position;      // eye point
    Vec3 target;        // point looked at
    float roll;         // degrees
    float fov;          // degrees
    float aspect;       // vertical scale factor
    float halfWidth;    // x scale of ProjectVertices
    float halfHeight;   // y scale of ProjectVertices
    float focalX;       // 1 / tan(fov / 2)
    float focalY;       // aspect / tan(fov / 2)
    float invFocalX;
    float invFocalY;
};
static_assert(sizeof(EffectCamera) == 15 * sizeof(float), "EffectCamera is fifteen floats");

// Sixteen floats, row-major; rows 0-2 have the Matrix34 layout, row 3 is not read.
struct Matrix44 {
    float m[16];
};

// Outcode bits kept in ScreenVertex::clipFlags (camera space, after focal scaling).
constexpr int32_t CLIP_POS_X = 1;   // outside x = z
constexpr int32_t CLIP_NEG_X = 2;   // outside x = -z
constexpr int32_t CLIP_POS_Y = 4;   // outside y = z
constexpr int32_t CLIP_NEG_Y = 8;   // outside y = -z
constexpr int32_t CLIP_BEHIND = 16; // z <= 0
constexpr int32_t CLIP_FAR = 32;    // z > kFarLimit
constexpr float kFarLimit = 4500.0f;

// Clip projection, set by SetClipProjection and read by ProjectClipped.
extern float clipCentreX, clipCentreY, clipScaleX, clipScaleY;

void CameraSetPosition(EffectCamera* camera, float x, float y, float z);
void CameraSetTarget(EffectCamera* camera, float x, float y, float z);
EffectCamera* CameraSetFov(EffectCamera* camera, float degrees);
EffectCamera* CameraSetAspect(EffectCamera* camera, float a, float b, float c);  // aspect = a / b * c
EffectCamera* CameraSetViewport(EffectCamera* camera, float width, float height);
void SetClipProjection(float centreX, float centreY, float scaleX, float scaleY);

void Matrix44Identity(Matrix44* m);
void Matrix44Copy(const Matrix44* src, Matrix44* dst);
void Matrix44Multiply(Matrix44* m, const Matrix44* other);       // m <- m.other
void Matrix44Scale(Matrix44* m, const Vec3* v);                  // m <- S(v).m
void Matrix44TranslateLocal(Matrix44* m, const Vec3* v);         // m <- m.T(v)
void Matrix44FromCamera(Matrix44* m, const EffectCamera* camera);
// The camera's view matrix scaled by its focal factors (focalX, focalY, 1): what
// TransformVertices needs before ProjectVertices.
void Matrix44FromCameraFocal(Matrix44* m, const EffectCamera* camera);

// Camera-space x, y, z of every working vertex: R.p + t with rows 0-2 of m.
void TransformVertices(VertexBuffer* buffer, const Matrix44* m);
// Outcodes of one vertex from its camera-space x, y, z.
void ClassifyVertex(ScreenVertex* vertex);
// Outcodes and screen coordinates of every vertex of the buffer.
void ProjectVertices(VertexBuffer* buffer, const EffectCamera* camera);
// Screen coordinates of three vertices from the clip projection globals.
void ProjectClipped(ScreenVertex* a, ScreenVertex* b, ScreenVertex* c);

// ---- Face ordering and clipped drawing ------------------------------------------------

// Draw-order entry: a face and its depth key (sum of its three camera-space depths).
struct FaceRef {
    MeshFace* face;
    float key;
};

void FillFaceRefs(FaceRef* refs, MeshFace* faces, int count);
void ComputeFaceKeys(FaceRef* refs, const MeshFace* faces, int count);
// Sorts by descending key (farthest first) with the toolkit's own quicksort.
void SortFaceRefs(FaceRef* refs, int count);
// Draws the entries in array order, clipping faces whose vertices carry outcodes.
void DrawFaceRefs(Renderer* renderer, const FaceRef* refs, int count);
void DrawFaceRefsMultitex(Renderer* renderer, const FaceRef* refs, int count);

// ---- Screen-space fills and sprites ---------------------------------------------------

// Covers the whole screen with a flat colour at depth -1 (unbinds texture unit 0).
void FillScreen(Renderer* renderer, float r, float g, float b);
// Textured rectangle from low corner (x0, y0) to high corner (x1, y1), clipped to the screen.
void DrawScreenQuad(Renderer* renderer, ScreenVertex quad[4], float x0, float y0, float x1,
                    float y1, float s0, float t0, float s1, float t1, float alpha);
// A texel rectangle of a 256x256 texture with its top-left corner at (x, y).
void DrawSprite(Renderer* renderer, ScreenVertex quad[4], float tx0, float ty0, float tx1,
                float ty1, float x, float y, float scaleX, float scaleY, float alpha);

// ---- Vertex effects -------------------------------------------------------------------

constexpr int kMaxSmoothVertices = 20000;
extern Vec3 normalSums[kMaxSmoothVertices];
extern int normalCounts[kMaxSmoothVertices];

// Unit normal (b - a) x (c - a) of camera-space positions, in double precision; a
// zero-area triangle gives (0, 0, 1).
void FaceNormal(float* outX, float* outY, float* outZ, const ScreenVertex* a,
                const ScreenVertex* b, const ScreenVertex* c);
// Unit-1 coordinates (n.x, n.y) / 2 + 1/2 of a columns x rows grid (row-major) from the
// face to the next column and next row (rows wrap; the last column looks back one column).
void GridEnvMap(ScreenVertex* vertices, int columns, int rows);
// Both coordinate pairs from the average of each vertex's face normals (unit 0 with x and y
// swapped), through normalSums/normalCounts, which it leaves zero. Face indices must be
// below vertexCount <= kMaxSmoothVertices. Zero-area faces count for nothing; a vertex
// without faces gets the texture centre.
void SmoothEnvMap(ScreenVertex* vertices, const MeshFace* faces, int vertexCount, int faceCount);
void ClearTexCoords(ScreenVertex* vertices, const MeshFace* faces, int vertexCount, int faceCount);
void ClearTexCoordsSetColour(ScreenVertex* vertices, int count, float r, float g, float b);
int ScaleVerticesXZ(Mesh* mesh, const float* factors);
int ScaleVertices(Mesh* mesh, const float* factors);
