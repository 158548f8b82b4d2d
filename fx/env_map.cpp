// Environment mapping: texture coordinates from camera-space surface normals, per grid
// vertex from one neighbouring face or per mesh vertex from its faces' averaged normals.
#include <cmath>

#include "fx/fx.h"

Vec3 normalSums[kMaxSmoothVertices];
int normalCounts[kMaxSmoothVertices];

// Unit normal (b - a) x (c - a) in double precision; false for a triangle of zero area,
// whose normal has no direction (out is then left alone).
static bool UnitNormal(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c,
                       double out[3]) {
    const double e1x = double(b->x) - a->x, e1y = double(b->y) - a->y, e1z = double(b->z) - a->z;
    const double e2x = double(c->x) - a->x, e2y = double(c->y) - a->y, e2z = double(c->z) - a->z;
    const double nx = e1y * e2z - e1z * e2y;
    const double ny = e1z * e2x - e1x * e2z;
    const double nz = e1x * e2y - e1y * e2x;
    const double lengthSquared = nx * nx + ny * ny + nz * nz;
    if (!(lengthSquared > 0.0)) return false;
    const double k = 1.0 / std::sqrt(lengthSquared);
    out[0] = nx * k;
    out[1] = ny * k;
    out[2] = nz * k;
    return true;
}

// A zero-area triangle gets (0, 0, 1), the normal facing along the view axis, so the
// coordinates derived from it stay finite (the texture centre).
void FaceNormal(float* outX, float* outY, float* outZ, const ScreenVertex* a,
                const ScreenVertex* b, const ScreenVertex* c) {
    double n[3] = {0.0, 0.0, 1.0};
    UnitNormal(a, b, c, n);
    *outX = static_cast<float>(n[0]);
    *outY = static_cast<float>(n[1]);
    *outZ = static_cast<float>(n[2]);
}

// (s, t) = (n.x, n.y) / 2 + 1/2: the normal's x and y from -1..1 to the texture's 0..1.
static float EnvCoord(float n) { return n * 0.5f + 0.5f; }

// Rows wrap (the last row's neighbour is row 0). Along a row the neighbour is the next
// column; the last column, which has none, uses the previous column with the edge reversed
// and the normal negated, which keeps its orientation. A one-column grid has no edge along
// the row and gets the texture centre.
void GridEnvMap(ScreenVertex* vertices, int columns, int rows) {
    for (int r = 0; r < rows; ++r) {
        const int r1 = r + 1 == rows ? 0 : r + 1;
        for (int q = 0; q < columns; ++q) {
            ScreenVertex* v = &vertices[r * columns + q];
            const ScreenVertex* below = &vertices[r1 * columns + q];
            float nx, ny, nz;
            if (q + 1 < columns) {
                FaceNormal(&nx, &ny, &nz, v, v + 1, below);
            } else if (columns > 1) {
                FaceNormal(&nx, &ny, &nz, v, v - 1, below);
                nx = -nx;
                ny = -ny;
            } else {
                nx = ny = 0.0f;
            }
            v->s1 = EnvCoord(nx);
            v->t1 = EnvCoord(ny);
        }
    }
}

// Sums each face's unit normal into its three vertices, then gives every vertex the plain
// average (not renormalised) on both units, unit 0 with x and y swapped, clearing the
// accumulators as it goes. Zero-area faces contribute nothing; a vertex no (non-degenerate)
// face uses gets the texture centre. Indices must be below vertexCount <= kMaxSmoothVertices.
void SmoothEnvMap(ScreenVertex* vertices, const MeshFace* faces, int vertexCount, int faceCount) {
    for (int f = 0; f < faceCount; ++f) {
        const MeshFace& face = faces[f];
        double n[3];
        if (!UnitNormal(face.a, face.b, face.c, n)) continue;
        const Vec3 nf = {static_cast<float>(n[0]), static_cast<float>(n[1]),
                         static_cast<float>(n[2])};
        for (const int32_t i : {face.indexA, face.indexB, face.indexC}) {
            normalSums[i].x += nf.x;
            normalSums[i].y += nf.y;
            normalSums[i].z += nf.z;
            ++normalCounts[i];
        }
    }
    for (int i = 0; i < vertexCount; ++i) {
        float nx = 0.0f, ny = 0.0f;
        if (normalCounts[i] > 0) {
            const float k = static_cast<float>(1.0 / normalCounts[i]);
            nx = normalSums[i].x * k;
            ny = normalSums[i].y * k;
        }
        ScreenVertex& v = vertices[i];
        v.s1 = EnvCoord(nx);
        v.t1 = EnvCoord(ny);
        v.s0 = EnvCoord(ny);
        v.t0 = EnvCoord(nx);
        normalCounts[i] = 0;
        normalSums[i] = {0.0f, 0.0f, 0.0f};
    }
}
