// Face normals, environment mapping, texture/colour resets and morphing.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "fx/fx.h"
#include "tests/kit/test_mesh.h"

namespace {

MeshFace Face(ScreenVertex* v, int a, int b, int c) { return {&v[a], &v[b], &v[c], a, b, c}; }

bool AccumulatorsClear() {
    for (int i = 0; i < kMaxSmoothVertices; ++i)
        if (normalCounts[i] != 0 || normalSums[i].x != 0 || normalSums[i].y != 0 || normalSums[i].z != 0)
            return false;
    return true;
}

void ExpectCoords(const ScreenVertex& v, float s0, float t0, float s1, float t1) {
    EXPECT_FLOAT_EQ(v.s0, s0);
    EXPECT_FLOAT_EQ(v.t0, t0);
    EXPECT_FLOAT_EQ(v.s1, s1);
    EXPECT_FLOAT_EQ(v.t1, t1);
}

}  // namespace

TEST(FaceNormal, UnitNormalOfTheCornersAndAFiniteOneForZeroArea) {
    ScreenVertex a = VertexAt(0, 0, 5), b = VertexAt(3, 0, 5), c = VertexAt(0, 4, 5);
    float x, y, z;
    FaceNormal(&x, &y, &z, &a, &b, &c);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_FLOAT_EQ(z, 1);
    ScreenVertex d = VertexAt(1, 2, 3), e = VertexAt(2, 4, 6), f = VertexAt(3, 6, 9);  // collinear
    FaceNormal(&x, &y, &z, &d, &e, &f);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(z, 1);
}

TEST(SmoothEnvMap, VerticesGetTheAverageOfTheirFaceNormals) {
    ScreenVertex flat[3] = {VertexAt(0, 0, 5), VertexAt(1, 0, 5), VertexAt(0, 1, 5)};
    const MeshFace face = Face(flat, 0, 1, 2);
    SmoothEnvMap(flat, &face, 3, 1);
    for (const ScreenVertex& w : flat) ExpectCoords(w, 0.5f, 0.5f, 0.5f, 0.5f);

    // Vertex 0 is shared by faces with normals (1, 0, 0) and (0, 1, 0).
    ScreenVertex v[5] = {VertexAt(0, 0, 5), VertexAt(0, 1, 5), VertexAt(0, 0, 6), VertexAt(0, 0, 6),
                         VertexAt(1, 0, 5)};
    const MeshFace faces[2] = {Face(v, 0, 1, 2), Face(v, 0, 3, 4)};
    for (int repeat = 0; repeat < 2; ++repeat) {  // the second call starts from clean sums
        SmoothEnvMap(v, faces, 5, 2);
        ExpectCoords(v[0], 0.75f, 0.75f, 0.75f, 0.75f);
        ExpectCoords(v[1], 0.5f, 1.0f, 1.0f, 0.5f);  // unit 0 swaps x and y
        ExpectCoords(v[4], 1.0f, 0.5f, 0.5f, 1.0f);
        EXPECT_TRUE(AccumulatorsClear());
    }
}

TEST(SmoothEnvMap, DegenerateFacesAndUnusedVerticesStayFinite) {
    // Face 1 shares vertex 0 with face 0 (normal (1, 0, 0)) but has zero area; vertex 4 is
    // used by the degenerate face only and vertex 5 by none.
    ScreenVertex v[6] = {VertexAt(0, 0, 5), VertexAt(0, 1, 5), VertexAt(0, 0, 6),
                         VertexAt(0, 0, 5), VertexAt(0, 0, 5), VertexAt(9, 9, 9)};
    for (ScreenVertex& w : v) w.s0 = w.t0 = w.s1 = w.t1 = NAN;
    const MeshFace faces[2] = {Face(v, 0, 1, 2), Face(v, 0, 3, 4)};
    SmoothEnvMap(v, faces, 6, 2);
    ExpectCoords(v[0], 0.5f, 1.0f, 1.0f, 0.5f);  // not diluted by the degenerate face
    ExpectCoords(v[4], 0.5f, 0.5f, 0.5f, 0.5f);
    ExpectCoords(v[5], 0.5f, 0.5f, 0.5f, 0.5f);
    EXPECT_TRUE(AccumulatorsClear());
}

TEST(GridEnvMap, TiltedPlaneGivesOneNormalIncludingTheLastColumn) {
    // Vertex (row r, column q) at (q, r, 5 + q): normal (-1, 0, 1) / sqrt 2 on every row
    // but the last, whose neighbour row wraps to row 0. Unit 0 is left alone.
    const int columns = 5, rows = 4;
    std::vector<ScreenVertex> v;
    for (int r = 0; r < rows; ++r)
        for (int q = 0; q < columns; ++q) {
            v.push_back(VertexAt(float(q), float(r), 5.0f + q));
            v.back().s0 = 0.25f;
        }
    GridEnvMap(v.data(), columns, rows);
    for (int i = 0; i < (rows - 1) * columns; ++i) {
        EXPECT_NEAR(v[i].s1, 0.5f - 0.5f / std::sqrt(2.0f), 1e-6) << "vertex " << i;
        EXPECT_NEAR(v[i].t1, 0.5f, 1e-6) << "vertex " << i;
        EXPECT_EQ(v[i].s0, 0.25f);
    }
    for (int q = 1; q < columns; ++q)
        EXPECT_NEAR(v[(rows - 1) * columns + q].s1, v[(rows - 1) * columns].s1, 1e-6);

    GridEnvMap(v.data(), 1, 3);  // one column: no edge along the row gives the centre
    EXPECT_EQ(v[1].s1, 0.5f);
    EXPECT_EQ(v[1].t1, 0.5f);
}

TEST(VertexEffects, ClearingAndScalingTouchOnlyWhatTheyShould) {
    ScreenVertex v[2] = {VertexAt(0, 0, 1), VertexAt(0, 0, 1)};
    for (ScreenVertex& w : v) w.s0 = w.t0 = w.s1 = w.t1 = w.red = 0.3f;
    ClearTexCoordsSetColour(v, 0, 1, 1, 1);
    ExpectCoords(v[0], 0.3f, 0.3f, 0.3f, 0.3f);
    ClearTexCoordsSetColour(v, 1, 0.1f, 0.2f, 0.9f);
    ExpectCoords(v[0], 0, 0, 0, 0);
    EXPECT_EQ(v[0].blue, 0.9f);
    EXPECT_EQ(v[1].red, 0.3f);

    TestMesh m({{1, 3, 1}, {-2, 4, 0.5f}}, {{0, 1, 0}});
    m.working.positions[0].y = 42;
    const float twos[2] = {2, 2}, factors[2] = {0, 0.5f};
    // x and z from the base times the factor; y as the working copy had it.
    EXPECT_EQ(ScaleVerticesXZ(&m.mesh, twos), 2);
    EXPECT_EQ(m.working.positions[0].x, 2);
    EXPECT_EQ(m.working.positions[0].y, 42);
    EXPECT_EQ(m.working.positions[0].z, 2);
    EXPECT_EQ(ScaleVertices(&m.mesh, factors), 2);
    EXPECT_EQ(m.working.positions[0].x, 0);
    EXPECT_EQ(m.working.positions[0].y, 0);
    EXPECT_EQ(m.working.positions[0].z, 0);
    EXPECT_EQ(m.working.positions[1].y, 2);
}
