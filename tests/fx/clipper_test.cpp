// Clipped drawing of face lists: the unclipped path, the clipper's pieces and the
// attributes of the vertices it creates.
#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "fx/fx.h"
#include "tests/kit/test_mesh.h"
#include "tests/kit/recording_renderer.h"

namespace {

using DrawOp = void (*)(Renderer*, const FaceRef*, int);

// Draws the face (a, b, c) with the unit clip projection and returns the recorded calls.
// With project set, the corners first get outcodes and screen coordinates.
RecordingRenderer DrawFace(ScreenVertex* a, ScreenVertex* b, ScreenVertex* c, bool project = true,
                           DrawOp draw = DrawFaceRefs) {
    SetClipProjection(0, 0, 1, 1);
    for (ScreenVertex* v : {a, b, c}) {
        ClassifyVertex(v);
        if (project) v->screenX = v->x / v->z, v->screenY = -v->y / v->z;
    }
    MeshFace face = {a, b, c, 0, 1, 2};
    FaceRef ref = {&face, 0};
    RecordingRenderer renderer;
    draw(&renderer, &ref, 1);
    return renderer;
}

bool SamePosition(const ScreenVertex& v, const ScreenVertex& w) {
    return v.x == w.x && v.y == w.y && v.z == w.z;
}

// Distance of p from the line through a and b, relative to the edge length.
double OffLine(const ScreenVertex& p, const ScreenVertex& a, const ScreenVertex& b) {
    const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    const double wx = p.x - a.x, wy = p.y - a.y, wz = p.z - a.z;
    const double cx = uy * wz - uz * wy, cy = uz * wx - ux * wz, cz = ux * wy - uy * wx;
    return std::sqrt(cx * cx + cy * cy + cz * cz) / (ux * ux + uy * uy + uz * uz);
}

}  // namespace

TEST(Clipper, UnflaggedFacesAreDrawnOnceAsProjectedAndOutsideOnesDropped) {
    ScreenVertex a = VertexAt(0, 0, 5), b = VertexAt(1, 0, 5), c = VertexAt(0, 1, 6);
    a.screenX = 0.125f;  // the stored coordinates are used as they are
    const RecordingRenderer single = DrawFace(&a, &b, &c, false);
    ASSERT_EQ(single.Ops(), std::vector<std::string>{"DrawTriangle"});
    EXPECT_EQ(single.calls[0].vertices[0].screenX, 0.125f);
    const RecordingRenderer multitex = DrawFace(&a, &b, &c, false, DrawFaceRefsMultitex);
    EXPECT_EQ(multitex.Ops(), std::vector<std::string>{"DrawTriangleMultitex"});

    ScreenVertex d = VertexAt(6, 0, 5), e = VertexAt(9, 1, 5), f = VertexAt(8, -2, 7);
    EXPECT_TRUE(DrawFace(&d, &e, &f).calls.empty());
    ScreenVertex g = VertexAt(0, 0, -5), h = VertexAt(1, 0, -5), i = VertexAt(0, 1, -6);
    EXPECT_TRUE(DrawFace(&g, &h, &i).calls.empty());  // behind the eye
}

TEST(Clipper, OneCornerOutsideGivesTwoTrianglesWithCrossingsOnThePlane) {
    ScreenVertex out = VertexAt(10, 0, 5), b = VertexAt(0, -1, 5), c = VertexAt(0, 1, 6);
    const RecordingRenderer r = DrawFace(&out, &b, &c);
    ASSERT_EQ(r.Count("DrawTriangle"), 2);
    const ScreenVertex* first = r.calls[0].vertices.data();
    const ScreenVertex* second = r.calls[1].vertices.data();
    const ScreenVertex& p = first[0];
    const ScreenVertex& q = second[2];
    EXPECT_TRUE(SamePosition(first[1], b) && SamePosition(first[2], c));
    EXPECT_TRUE(SamePosition(second[0], p) && SamePosition(second[1], b));
    EXPECT_FLOAT_EQ(p.x, p.z);
    EXPECT_FLOAT_EQ(q.x, q.z);
    EXPECT_LT(OffLine(p, out, c), 1e-6);
    EXPECT_LT(OffLine(q, out, b), 1e-6);
}

TEST(Clipper, TwoCornersOutsideGiveOneTriangleFromTheInsideCorner) {
    ScreenVertex in = VertexAt(0, 0, 5), b = VertexAt(-10, 1, 5), c = VertexAt(-9, -1, 6);
    const RecordingRenderer r = DrawFace(&in, &b, &c);
    ASSERT_EQ(r.calls.size(), 1u);
    const ScreenVertex* t = r.calls[0].vertices.data();
    EXPECT_TRUE(SamePosition(t[0], in));
    EXPECT_FLOAT_EQ(t[1].x, -t[1].z);
    EXPECT_FLOAT_EQ(t[2].x, -t[2].z);
    EXPECT_LT(OffLine(t[1], in, b), 1e-6);
    EXPECT_LT(OffLine(t[2], in, c), 1e-6);
}

TEST(Clipper, FarOnlyFaceIsDrawnWholeWithClipProjection) {
    ScreenVertex a = VertexAt(0, 0, 5000), b = VertexAt(100, 0, 5000), c = VertexAt(0, 100, 5001);
    a.screenX = b.screenX = c.screenY = 7;  // stale coordinates must be replaced
    const RecordingRenderer r = DrawFace(&a, &b, &c, false, DrawFaceRefsMultitex);
    EXPECT_EQ(a.clipFlags | b.clipFlags | c.clipFlags, CLIP_FAR);
    ASSERT_EQ(r.Ops(), std::vector<std::string>{"DrawTriangleMultitex"});
    EXPECT_TRUE(SamePosition(r.calls[0].vertices[1], b));
    EXPECT_FLOAT_EQ(r.calls[0].vertices[1].screenX, 100.0f / 5000);
    EXPECT_FLOAT_EQ(r.calls[0].vertices[2].screenY, -100.0f / 5001);
}

TEST(Clipper, CrossingsCarryTheAttributesOfTheCrossingPoint) {
    // Out-c keeps depth 5 and meets x = z half way (no depth ratio to interpolate by);
    // Out-b meets it at t = 5/9 from Out.
    ScreenVertex out = VertexAt(10, 0, 5), b = VertexAt(0, -1, 4), c = VertexAt(0, 1, 5);
    out.red = 1, out.s0 = 0.8f, out.t1 = -4;
    c.s0 = b.s0 = 0.2f, c.t1 = b.t1 = 4;
    const RecordingRenderer r = DrawFace(&out, &b, &c);
    ASSERT_EQ(r.calls.size(), 2u);
    const ScreenVertex& p = r.calls[0].vertices[0];
    EXPECT_FLOAT_EQ(p.y, 0.5f);
    EXPECT_FLOAT_EQ(p.red, 0.5f);
    EXPECT_FLOAT_EQ(p.s0, 0.5f);
    EXPECT_NEAR(p.t1, 0.0f, 1e-6);
    const ScreenVertex& q = r.calls[1].vertices[2];
    EXPECT_NEAR(q.z, 5 - 5.0f / 9, 1e-5);
    EXPECT_NEAR(q.red, 1 - 5.0f / 9, 1e-5);
    EXPECT_NEAR(q.y, -5.0f / 9, 1e-5);
}

namespace {

float Red(float x, float y, float z) { return 0.02f * x - 0.03f * y + 0.01f * z + 0.5f; }
float S1(float x, float y, float z) { return -0.05f * x + 0.04f * y + 0.02f * z; }

using Polygon = std::vector<std::pair<double, double>>;

// Sutherland-Hodgman step against one edge of the screen square: keeps sign * coord <= 1.
Polygon ClipSquareEdge(const Polygon& in, int axis, double sign) {
    Polygon out;
    auto value = [&](const std::pair<double, double>& p) { return sign * (axis ? p.second : p.first); };
    for (size_t i = 0; i < in.size(); ++i) {
        const auto& s = in[i];
        const auto& e = in[(i + 1) % in.size()];
        if ((value(s) <= 1) != (value(e) <= 1)) {
            const double t = (1 - value(s)) / (value(e) - value(s));
            out.push_back({s.first + t * (e.first - s.first), s.second + t * (e.second - s.second)});
        }
        if (value(e) <= 1) out.push_back(e);
    }
    return out;
}

double Area(const Polygon& p) {
    double twice = 0;
    for (size_t i = 0; i < p.size(); ++i)
        twice += p[i].first * p[(i + 1) % p.size()].second - p[(i + 1) % p.size()].first * p[i].second;
    return std::fabs(twice) / 2;
}

}  // namespace

// Random triangles: every piece lies inside the four side planes, every attribute (an
// affine function of the camera-space position here) is that of the point its vertex
// stands on, and for triangles in front of the eye the pieces cover exactly the part of
// the projected triangle inside the screen square.
TEST(Clipper, RandomTrianglesArePiecesInsideThePlanesCoveringTheVisiblePart) {
    std::mt19937 rng(2026);
    std::uniform_real_distribution<float> side(-30, 30), front(0.5f, 20), any(-15, 20);
    int clipped = 0;
    for (int n = 0; n < 4000; ++n) {
        const bool inFront = n % 2 == 0;
        ScreenVertex v[3];
        for (ScreenVertex& w : v) {
            w = VertexAt(side(rng), side(rng), inFront ? front(rng) : any(rng));
            w.red = Red(w.x, w.y, w.z);
            w.s1 = S1(w.x, w.y, w.z);
        }
        const RecordingRenderer r = DrawFace(&v[0], &v[1], &v[2]);
        clipped += (v[0].clipFlags | v[1].clipFlags | v[2].clipFlags) != 0;
        ASSERT_LE(r.calls.size(), 16u);
        double drawn = 0;
        for (const RecordedCall& call : r.calls) {
            for (const ScreenVertex& w : call.vertices) {
                const float tolerance = 1e-4f * (1 + std::fabs(w.z));
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
