// Face normals, environment mapping, texture/colour resets and morphing.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "fx/fx.h"
#include "tests/fx/test_mesh.h"

namespace {

ScreenVertex At(float x, float y, float z) { return VertexAt(x, y, z); }

MeshFace Face(ScreenVertex* v, int a, int b, int c) { return {&v[a], &v[b], &v[c], a, b, c}; }

bool AccumulatorsClear() {
    for (int i = 0; i < kMaxSmoothVertices; ++i)
        if (normalCounts[i] != 0 || normalSums[i].x != 0 || normalSums[i].y != 0 || normalSums[i].z != 0)
            return false;
    return true;
}

}  // namespace

TEST(FaceNormal, UnitNormalOfTheCorners) {
    ScreenVertex a = At(0, 0, 5), b = At(1, 0, 5), c = At(0, 1, 5);
    float x, y, z;
    FaceNormal(&x, &y, &z, &a, &b, &c);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(z, 1);
    ScreenVertex d = At(3, 0, 0), e = At(0, 4, 0), f = At(0, 0, 0);  // long edges: still unit
    FaceNormal(&x, &y, &z, &d, &e, &f);
    EXPECT_FLOAT_EQ(x, 0);
    EXPECT_FLOAT_EQ(z, 1);
    FaceNormal(&x, &y, &z, &a, &c, &b);  // reversed winding flips it
    EXPECT_EQ(z, -1);
}

TEST(FaceNormal, ZeroAreaTriangleGetsAFiniteNormal) {
    ScreenVertex a = At(1, 2, 3), b = At(2, 4, 6), c = At(3, 6, 9);  // collinear
    float x = NAN, y = NAN, z = NAN;
    FaceNormal(&x, &y, &z, &a, &b, &c);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(z, 1);
}

TEST(SmoothEnvMap, FlatFaceFacingTheViewerMapsToTheCentre) {
    ScreenVertex v[3] = {At(0, 0, 5), At(1, 0, 5), At(0, 1, 5)};
    const MeshFace face = Face(v, 0, 1, 2);
    SmoothEnvMap(v, &face, 3, 1);
    for (const ScreenVertex& w : v) {
        EXPECT_FLOAT_EQ(w.s0, 0.5f);
        EXPECT_FLOAT_EQ(w.t0, 0.5f);
        EXPECT_FLOAT_EQ(w.s1, 0.5f);
        EXPECT_FLOAT_EQ(w.t1, 0.5f);
    }
    EXPECT_TRUE(AccumulatorsClear());
}

TEST(SmoothEnvMap, SharedVertexAveragesItsFaceNormals) {
    // Vertex 0 is shared by a face with normal (1, 0, 0) and one with normal (0, 1, 0).
    ScreenVertex v[5] = {At(0, 0, 5), At(0, 1, 5), At(0, 0, 6), At(0, 0, 6), At(1, 0, 5)};
    const MeshFace faces[2] = {Face(v, 0, 1, 2), Face(v, 0, 3, 4)};
    for (int repeat = 0; repeat < 2; ++repeat) {  // the second call starts from clean sums
        SmoothEnvMap(v, faces, 5, 2);
        EXPECT_FLOAT_EQ(v[0].s1, 0.75f);
        EXPECT_FLOAT_EQ(v[0].t1, 0.75f);
        EXPECT_FLOAT_EQ(v[0].s0, 0.75f);
        EXPECT_FLOAT_EQ(v[0].t0, 0.75f);
        // Vertex 1 sees only (1, 0, 0): unit 0 takes x and y the other way round.
        EXPECT_FLOAT_EQ(v[1].s1, 1.0f);
        EXPECT_FLOAT_EQ(v[1].t1, 0.5f);
        EXPECT_FLOAT_EQ(v[1].s0, 0.5f);
        EXPECT_FLOAT_EQ(v[1].t0, 1.0f);
        EXPECT_FLOAT_EQ(v[4].t1, 1.0f);
        EXPECT_TRUE(AccumulatorsClear());
    }
}

TEST(SmoothEnvMap, DegenerateFacesAndUnusedVerticesStayFinite) {
    // Face 0 has normal (1, 0, 0); face 1 shares vertex 0 but has zero area; vertex 5 is
    // used by no face and vertex 4 only by the degenerate one.
    ScreenVertex v[6] = {At(0, 0, 5), At(0, 1, 5), At(0, 0, 6), At(0, 0, 5), At(0, 0, 5), At(9, 9, 9)};
    for (ScreenVertex& w : v) w.s0 = w.t0 = w.s1 = w.t1 = NAN;
    const MeshFace faces[2] = {Face(v, 0, 1, 2), Face(v, 0, 3, 4)};
    SmoothEnvMap(v, faces, 6, 2);
    EXPECT_FLOAT_EQ(v[0].s1, 1.0f);  // the degenerate face does not dilute the average
    EXPECT_FLOAT_EQ(v[0].t1, 0.5f);
    for (int i : {4, 5}) {
        EXPECT_EQ(v[i].s0, 0.5f);
        EXPECT_EQ(v[i].t0, 0.5f);
        EXPECT_EQ(v[i].s1, 0.5f);
        EXPECT_EQ(v[i].t1, 0.5f);
    }
    EXPECT_TRUE(AccumulatorsClear());
}

TEST(GridEnvMap, TiltedPlaneGivesOneNormalIncludingTheLastColumn) {
    // Grid vertex (row r, column q) at (q, r, 5 + q): normal (-1, 0, 1) / sqrt 2 everywhere
    // but on the last row, whose neighbour row wraps to row 0.
    const int columns = 5, rows = 4;
    std::vector<ScreenVertex> v;
    for (int r = 0; r < rows; ++r)
        for (int q = 0; q < columns; ++q) {
            v.push_back(At(float(q), float(r), 5.0f + q));
            v.back().s0 = 0.25f;
            v.back().t0 = 0.75f;
        }
    GridEnvMap(v.data(), columns, rows);
    const float expectedS = 0.5f - 0.5f / std::sqrt(2.0f);
    for (int r = 0; r + 1 < rows; ++r)
        for (int q = 0; q < columns; ++q) {
            const ScreenVertex& w = v[r * columns + q];
            EXPECT_NEAR(w.s1, expectedS, 1e-6) << r << "," << q;
            EXPECT_NEAR(w.t1, 0.5f, 1e-6) << r << "," << q;
            EXPECT_EQ(w.s0, 0.25f);  // unit 0 untouched
            EXPECT_EQ(w.t0, 0.75f);
        }
    for (int q = 0; q < columns; ++q) {  // wrapped row: finite, and the same across the row
        EXPECT_TRUE(std::isfinite(v[(rows - 1) * columns + q].s1));
        EXPECT_NEAR(v[(rows - 1) * columns + q].s1, v[(rows - 1) * columns].s1, 1e-6);
    }
}

TEST(GridEnvMap, DegenerateGridsStayFinite) {
    ScreenVertex v[3] = {At(0, 0, 5), At(0, 1, 5), At(0, 2, 5)};
    GridEnvMap(v, 1, 3);  // one column: no edge along the row
    GridEnvMap(v, 3, 1);  // one row: its neighbour row is itself
    for (const ScreenVertex& w : v) {
        EXPECT_EQ(w.s1, 0.5f);
        EXPECT_EQ(w.t1, 0.5f);
    }
}

TEST(VertexEffects, ClearingResetsCoordinatesAndSetsColourOnlyForTheCount) {
    ScreenVertex v[3] = {At(0, 0, 1), At(0, 0, 1), At(0, 0, 1)};
    for (ScreenVertex& w : v) w.s0 = w.t0 = w.s1 = w.t1 = w.red = w.green = w.blue = 0.3f;
    ClearTexCoordsSetColour(v, 0, 1, 1, 1);
    EXPECT_EQ(v[0].s0, 0.3f);
    EXPECT_EQ(v[0].red, 0.3f);
    ClearTexCoordsSetColour(v, 2, 0.1f, 0.2f, 0.9f);
    EXPECT_EQ(v[1].s0 + v[1].t0 + v[1].s1 + v[1].t1, 0.0f);
    EXPECT_EQ(v[1].red, 0.1f);
    EXPECT_EQ(v[1].green, 0.2f);
    EXPECT_EQ(v[1].blue, 0.9f);
    EXPECT_EQ(v[2].red, 0.3f);
    EXPECT_EQ(v[2].t1, 0.3f);
    v[2].red = 0.7f;
    ClearTexCoords(v, nullptr, 3, 0);
    EXPECT_EQ(v[2].s0 + v[2].t0 + v[2].s1 + v[2].t1, 0.0f);
    EXPECT_EQ(v[2].red, 0.7f);
}

TEST(VertexEffects, ScalingRebuildsWorkingPositionsFromTheBase) {
    TestMesh m({{1, 3, 1}, {-2, 4, 0.5f}}, {{0, 1, 0}});
    m.working.positions[0].y = 42;
    const float twos[2] = {2, 2};
    EXPECT_EQ(ScaleVerticesXZ(&m.mesh, twos), 2);
    EXPECT_EQ(m.working.positions[0].x, 2);
    EXPECT_EQ(m.working.positions[0].y, 42);
    EXPECT_EQ(m.working.positions[0].z, 2);
    EXPECT_EQ(m.working.positions[1].x, -4);
    EXPECT_EQ(m.base.positions[0].x, 1);  // the base copy is never written

    const float factors[2] = {0, 0.5f};
    EXPECT_EQ(ScaleVertices(&m.mesh, factors), 2);
    EXPECT_EQ(m.working.positions[0].x, 0);
    EXPECT_EQ(m.working.positions[0].y, 0);
    EXPECT_EQ(m.working.positions[0].z, 0);
    EXPECT_EQ(m.working.positions[1].y, 2);
    EXPECT_EQ(m.working.positions[1].z, 0.25f);
}
