// Clipped drawing of face lists: the unclipped path, the clipper's pieces and the
// attributes of the vertices it creates.
#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "fx/fx.h"
#include "tests/fx/test_mesh.h"
#include "tests/support/recording_renderer.h"

namespace {

ScreenVertex At(float x, float y, float z) {
    ScreenVertex v = VertexAt(x, y, z);
    v.red = v.green = v.blue = v.alpha = 1;
    return v;
}

// Outcodes and screen coordinates as ProjectVertices gives them with the unit set-up.
void Prepare(ScreenVertex* v) {
    ClassifyVertex(v);
    v->screenX = v->x / v->z;
    v->screenY = -v->y / v->z;
}

using DrawOp = void (*)(Renderer*, const FaceRef*, int);

// Draws the face (a, b, c) with the unit clip projection and returns the recorded calls.
RecordingRenderer DrawFace(ScreenVertex* a, ScreenVertex* b, ScreenVertex* c,
                           DrawOp draw = DrawFaceRefs) {
    SetClipProjection(0, 0, 1, 1);
    MeshFace face = {a, b, c, 0, 1, 2};
    FaceRef ref = {&face, 0};
    RecordingRenderer renderer;
    draw(&renderer, &ref, 1);
    return renderer;
}

// As DrawFace, after outcodes and screen coordinates have been given to the corners.
RecordingRenderer DrawOne(ScreenVertex* a, ScreenVertex* b, ScreenVertex* c) {
    Prepare(a);
    Prepare(b);
    Prepare(c);
    return DrawFace(a, b, c);
}

bool SamePosition(const ScreenVertex& v, const ScreenVertex& w) {
    return v.x == w.x && v.y == w.y && v.z == w.z;
}

// Distance of p from the line through a and b, relative to the edge length.
float OffLine(const ScreenVertex& p, const ScreenVertex& a, const ScreenVertex& b) {
    const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    const double wx = p.x - a.x, wy = p.y - a.y, wz = p.z - a.z;
    const double cx = uy * wz - uz * wy, cy = uz * wx - ux * wz, cz = ux * wy - uy * wx;
    const double len2 = ux * ux + uy * uy + uz * uz;
    return static_cast<float>(std::sqrt((cx * cx + cy * cy + cz * cz) / len2) / std::sqrt(len2));
}

}  // namespace

TEST(Clipper, FaceWithoutOutcodesIsDrawnOnceAsProjected) {
    ScreenVertex a = At(0, 0, 5), b = At(1, 0, 5), c = At(0, 1, 6);
    for (ScreenVertex* v : {&a, &b, &c}) {
        ClassifyVertex(v);
        v->screenX = 0.125f;  // the stored coordinates are used as they are
        v->screenY = -0.5f;
    }
    const RecordingRenderer renderer = DrawFace(&a, &b, &c);
    ASSERT_EQ(renderer.calls.size(), 1u);
    ASSERT_EQ(renderer.calls[0].op, "DrawTriangle");
    EXPECT_EQ(renderer.calls[0].vertices[0].screenX, 0.125f);
    EXPECT_EQ(renderer.calls[0].vertices[2].screenY, -0.5f);

    const RecordingRenderer multitex = DrawFace(&a, &b, &c, DrawFaceRefsMultitex);
    ASSERT_EQ(multitex.calls.size(), 1u);
    EXPECT_EQ(multitex.calls[0].op, "DrawTriangleMultitex");
}

TEST(Clipper, FaceWhollyOutsideOnePlaneIsDropped) {
    ScreenVertex a = At(6, 0, 5), b = At(9, 1, 5), c = At(8, -2, 7);
    EXPECT_TRUE(DrawOne(&a, &b, &c).calls.empty());
    ScreenVertex d = At(0, 0, -5), e = At(1, 0, -5), f = At(0, 1, -6);  // behind the eye
    EXPECT_TRUE(DrawOne(&d, &e, &f).calls.empty());
}

TEST(Clipper, OneCornerOutsideGivesTwoTrianglesWithCrossingsOnThePlane) {
    ScreenVertex out = At(10, 0, 5), b = At(0, -1, 5), c = At(0, 1, 6);
    const RecordingRenderer r = DrawOne(&out, &b, &c);
    ASSERT_EQ(r.Count("DrawTriangle"), 2);
    const std::vector<ScreenVertex>& first = r.calls[0].vertices;
    const std::vector<ScreenVertex>& second = r.calls[1].vertices;
    const ScreenVertex& p = first[0];
    const ScreenVertex& q = second[2];
    EXPECT_TRUE(SamePosition(first[1], b));
    EXPECT_TRUE(SamePosition(first[2], c));
    EXPECT_TRUE(SamePosition(second[0], p));
    EXPECT_TRUE(SamePosition(second[1], b));
    EXPECT_FLOAT_EQ(p.x, p.z);
    EXPECT_FLOAT_EQ(q.x, q.z);
    EXPECT_LT(OffLine(p, out, c), 1e-6f);  // p on edge Out-c
    EXPECT_LT(OffLine(q, out, b), 1e-6f);  // q on edge Out-b
    for (const RecordedCall& call : r.calls)
        for (const ScreenVertex& v : call.vertices) {  // all corners re-projected
            EXPECT_FLOAT_EQ(v.screenX, v.x / v.z);
            EXPECT_FLOAT_EQ(v.screenY, -v.y / v.z);
        }
}

TEST(Clipper, TwoCornersOutsideGiveOneTriangleFromTheInsideCorner) {
    ScreenVertex in = At(0, 0, 5), b = At(-10, 1, 5), c = At(-9, -1, 6);
    const RecordingRenderer r = DrawOne(&in, &b, &c);
    ASSERT_EQ(r.calls.size(), 1u);
    const std::vector<ScreenVertex>& t = r.calls[0].vertices;
    EXPECT_TRUE(SamePosition(t[0], in));
    EXPECT_FLOAT_EQ(t[1].x, -t[1].z);
    EXPECT_FLOAT_EQ(t[2].x, -t[2].z);
    EXPECT_LT(OffLine(t[1], in, b), 1e-6f);
    EXPECT_LT(OffLine(t[2], in, c), 1e-6f);
}

TEST(Clipper, FarOnlyFaceIsDrawnWholeWithClipProjection) {
    ScreenVertex a = At(0, 0, 5000), b = At(100, 0, 5000), c = At(0, 100, 5001);
    for (ScreenVertex* v : {&a, &b, &c}) {
        ClassifyVertex(v);
        EXPECT_EQ(v->clipFlags, CLIP_FAR);
        v->screenX = v->screenY = 7;  // stale coordinates must be replaced
    }
    const RecordingRenderer r = DrawFace(&a, &b, &c, DrawFaceRefsMultitex);
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(r.calls[0].op, "DrawTriangleMultitex");
    EXPECT_TRUE(SamePosition(r.calls[0].vertices[1], b));
    EXPECT_FLOAT_EQ(r.calls[0].vertices[1].screenX, 100.0f / 5000);
    EXPECT_FLOAT_EQ(r.calls[0].vertices[2].screenY, -100.0f / 5001);
}

TEST(Clipper, CrossingsCarryTheAttributesOfTheCrossingPoint) {
    // Out at x = 10 and c at x = 0 on the same depth: the edge meets x = z = 5 half way.
    // (An edge of constant depth gives no depth ratio to interpolate by.)
    ScreenVertex out = At(10, 0, 5), b = At(0, -1, 4), c = At(0, 1, 5);
    out.red = 1, c.red = 0;
    out.s0 = 0.8f, c.s0 = 0.2f;
    out.t1 = -4, c.t1 = 4;
    b.red = 0, b.s0 = 0.2f, b.t1 = 4;
    const RecordingRenderer r = DrawOne(&out, &b, &c);
    ASSERT_EQ(r.calls.size(), 2u);
    const ScreenVertex& p = r.calls[0].vertices[0];
    EXPECT_FLOAT_EQ(p.x, 5);
    EXPECT_FLOAT_EQ(p.y, 0.5f);
    EXPECT_FLOAT_EQ(p.red, 0.5f);
    EXPECT_FLOAT_EQ(p.s0, 0.5f);
    EXPECT_NEAR(p.t1, 0.0f, 1e-6);

    // Out-b changes depth: the crossing of (10, 0, 5)-(0, -1, 4) with x = z is at
    // t = 5 / 9 from Out, where red = 1 - t.
    const ScreenVertex& q = r.calls[1].vertices[2];
    EXPECT_FLOAT_EQ(q.x, q.z);
    EXPECT_NEAR(q.z, 5 - 5.0f / 9, 1e-5);
    EXPECT_NEAR(q.red, 1 - 5.0f / 9, 1e-5);
    EXPECT_NEAR(q.y, -5.0f / 9, 1e-5);
}

// Random triangles: every piece handed to the renderer lies inside the four side planes,
// every attribute (an affine function of the camera-space position here) is that of the
// point the vertex stands on, and for triangles in front of the eye the pieces cover the
// part of the projected triangle inside the screen square.
namespace {

float Red(float x, float y, float z) { return 0.02f * x - 0.03f * y + 0.01f * z + 0.5f; }
float S1(float x, float y, float z) { return -0.05f * x + 0.04f * y + 0.02f * z; }

using Polygon = std::vector<std::pair<double, double>>;

// Sutherland-Hodgman against one edge of the square: keeps points with sign*coord <= 1.
Polygon ClipSquareEdge(const Polygon& in, int axis, double sign) {
    Polygon out;
    auto inside = [&](const std::pair<double, double>& p) {
        return sign * (axis == 0 ? p.first : p.second) <= 1;
    };
    for (size_t i = 0; i < in.size(); ++i) {
        const auto& s = in[i];
        const auto& e = in[(i + 1) % in.size()];
        const double sv = sign * (axis == 0 ? s.first : s.second);
        const double ev = sign * (axis == 0 ? e.first : e.second);
        if (inside(s) != inside(e)) {
            const double t = (1 - sv) / (ev - sv);
            out.push_back({s.first + t * (e.first - s.first), s.second + t * (e.second - s.second)});
        }
        if (inside(e)) out.push_back(e);
    }
    return out;
}

double Area(const Polygon& p) {
    double twice = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        const auto& a = p[i];
        const auto& b = p[(i + 1) % p.size()];
        twice += a.first * b.second - b.first * a.second;
    }
    return std::fabs(twice) / 2;
}

}  // namespace

TEST(Clipper, RandomTrianglesArePiecesInsideThePlanesCoveringTheVisiblePart) {
    std::mt19937 rng(2026);
    std::uniform_real_distribution<float> side(-30, 30), front(0.5f, 20), any(-15, 20);
    int clipped = 0;
    for (int n = 0; n < 4000; ++n) {
        const bool inFront = n % 2 == 0;
        ScreenVertex v[3];
        for (ScreenVertex& w : v) {
            w = At(side(rng), side(rng), inFront ? front(rng) : any(rng));
            w.red = Red(w.x, w.y, w.z);
            w.s1 = S1(w.x, w.y, w.z);
        }
        const RecordingRenderer r = DrawOne(&v[0], &v[1], &v[2]);
        clipped += (v[0].clipFlags | v[1].clipFlags | v[2].clipFlags) != 0;
        ASSERT_LE(r.calls.size(), 16u);
        double drawn = 0;
        for (const RecordedCall& call : r.calls) {
            for (const ScreenVertex& w : call.vertices) {
                const float tolerance = 1e-4f * (1 + std::fabs(w.z));
                ASSERT_TRUE(std::isfinite(w.x) && std::isfinite(w.y) && std::isfinite(w.z));
                ASSERT_LE(std::fabs(w.x), w.z + tolerance) << "triangle " << n;
                ASSERT_LE(std::fabs(w.y), w.z + tolerance) << "triangle " << n;
                ASSERT_NEAR(w.red, Red(w.x, w.y, w.z), 2e-4f) << "triangle " << n;
                ASSERT_NEAR(w.s1, S1(w.x, w.y, w.z), 2e-4f) << "triangle " << n;
            }
            const ScreenVertex* t = call.vertices.data();
            drawn += Area({{t[0].screenX, t[0].screenY}, {t[1].screenX, t[1].screenY},
                           {t[2].screenX, t[2].screenY}});
        }
        if (!inFront) continue;
        Polygon visible;
        for (const ScreenVertex& w : v) visible.push_back({w.x / w.z, -w.y / w.z});
        for (int axis = 0; axis < 2; ++axis)
            for (double sign : {1.0, -1.0}) visible = ClipSquareEdge(visible, axis, sign);
        ASSERT_NEAR(drawn, Area(visible), 1e-4 + 1e-4 * Area(visible)) << "triangle " << n;
    }
    EXPECT_GT(clipped, 2000);  // the sample exercises the clipper, not just the direct path
}
