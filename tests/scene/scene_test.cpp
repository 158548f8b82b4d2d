// Scene objects and the frame pipeline, drawn into a recording renderer.
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "scene/scene.h"
#include "tests/kit/recording_renderer.h"

namespace {

// A node of one triangle per three given object-space points, faces in order, with its
// normals computed unless the caller leaves that to the frame (adjacency nodes).
SceneNode* TriangleNode(std::initializer_list<Vec3> points, bool computeNormals = true) {
    const int n = static_cast<int>(points.size());
    SceneNode* node = new SceneNode(n, n / 3);
    int i = 0;
    for (const Vec3& p : points) {
        node->vertices[i].objectPos = p;
        node->vertices[i].texU = static_cast<float>(i);
        node->vertices[i].texV = 0;
        ++i;
    }
    for (int f = 0; f < n / 3; ++f) {
        node->faces[f].a = &node->vertices[3 * f];
        node->faces[f].b = &node->vertices[3 * f + 1];
        node->faces[f].c = &node->vertices[3 * f + 2];
    }
    if (computeNormals) node->ComputeNormals();
    return node;
}

bool Finite(const ScreenVertex& v) {
    return std::isfinite(v.z) && std::isfinite(v.screenX) && std::isfinite(v.screenY) &&
           std::isfinite(v.s0) && std::isfinite(v.t0) && std::isfinite(v.s1) && std::isfinite(v.t1);
}

// The default camera sits at (0, 0, -100) looking at the origin, so object point p is at
// camera-space p + (0, 0, 100) for a node at the origin.
struct SceneTest : ::testing::Test {
    Scene scene;
    Camera camera;
    RecordingRenderer recorder;
    void SetUp() override { scene.SetCamera(&camera); }
};

TEST(SceneNodeTest, ModeSettersKeepOtherGroupsAndDoNotMask) {
    SceneNode node(3, 2);
    node.SetModeBits3To4(0);
    node.SetModeBits1To2(4);
    node.SetModeBit0(0);
    node.SetModeBits1To2(6);
    EXPECT_EQ(node.mode, 6u);
    EXPECT_EQ(node.faces[0].mode, 6u);
    EXPECT_EQ(node.faces[1].mode, 6u);
    node.SetModeBits3To4(0);
    node.SetModeBits1To2(2);
    EXPECT_EQ(node.mode, 2u);
    node.SetModeBit0(0x21);  // not masked: bit 5 comes in, then the next setter clears it
    EXPECT_EQ(node.mode, 0x23u);
    node.SetModeBits3To4(0x08);
    EXPECT_EQ(node.faces[1].mode, 0x0Bu);
}

TEST(SceneNodeTest, FlagsAndColour) {
    SceneNode node(3, 1);
    EXPECT_EQ(node.flags, 10u);
    node.SetBackfaceCulling(false);
    EXPECT_EQ(node.flags, 8u);
    node.SetVisible(false);
    EXPECT_EQ(node.flags, 0u);
    node.SetColour(0x6666FF);
    EXPECT_EQ(node.faces[0].colourA, 0x6666FFu);
    EXPECT_EQ(node.faces[0].colourB, 0x6666FFu);
}

TEST(SceneNodeTest, ComputeNormalsLeavesUnusedVertexAtZero) {
    SceneNode node(4, 1);
    node.vertices[0].objectPos = {0, 0, 0};
    node.vertices[1].objectPos = {1, 0, 0};
    node.vertices[2].objectPos = {0, 1, 0};
    node.vertices[3].objectPos = {5, 5, 5};
    node.faces[0] = NodeFace{&node.vertices[0], &node.vertices[1], &node.vertices[2], {0, 0, 0}};
    node.ComputeNormals();
    EXPECT_FLOAT_EQ(node.faces[0].normal.z, 1.0f);
    EXPECT_FLOAT_EQ(node.vertices[0].normal.z, 1.0f);
    EXPECT_EQ(node.vertices[3].normal.x, 0.0f);
    EXPECT_EQ(node.vertices[3].normal.y, 0.0f);
    EXPECT_EQ(node.vertices[3].normal.z, 0.0f);
}

TEST(CameraTest, ProjectionScaleAndClipPlanes) {
    Camera camera;
    camera.SetFov(60);
    EXPECT_NEAR(projectionScale, 173.205f, 0.001f);
    camera.UpdateClipPlanes();
    EXPECT_NEAR(clipPlanes[0][0], 0.86628f, 1e-5f);
    EXPECT_NEAR(clipPlanes[0][1], 0.0f, 1e-6f);
    EXPECT_NEAR(clipPlanes[0][2], 0.49957f, 1e-5f);
    EXPECT_EQ(clipPlanes[0][3], 0.0f);
    EXPECT_NEAR(clipPlanes[4][2], 1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(clipPlanes[4][3], 0.0001f);
}

TEST(CameraTest, ViewLooksAlongPlusZ) {
    Camera camera;  // at (0, 0, -100) looking at the origin
    camera.UpdateView();
    Vec3 origin{0, 0, 0}, out;
    MatTransformPoint(&camera.viewMatrix, &origin, &out);
    EXPECT_NEAR(out.x, 0, 1e-4f);
    EXPECT_NEAR(out.y, 0, 1e-4f);
    EXPECT_NEAR(out.z, 100, 1e-4f);
    // Looking from above (+y) at the origin: the origin lies straight ahead.
    camera.SetPosition(0, 50, 0.001f);
    camera.UpdateView();
    MatTransformPoint(&camera.viewMatrix, &origin, &out);
    EXPECT_NEAR(out.x, 0, 1e-3f);
    EXPECT_NEAR(out.y, 0, 1e-3f);
    EXPECT_NEAR(out.z, 50, 1e-3f);
}

TEST(LightTest, PointLightContributions) {
    const Vec3 p{1, 2, 3}, n{0, 0, 1};
    PointLight light;
    light.SetColour(1, 2, 4);
    float r = 0, g = 0, b = 0;
    light.viewPos = {1, 2, -2};  // d = 5 n: full contribution
    light.Accumulate(&r, &g, &b, &p, &n);
    EXPECT_FLOAT_EQ(r, 1);
    EXPECT_FLOAT_EQ(g, 2);
    EXPECT_FLOAT_EQ(b, 4);
    r = g = b = 0;
    light.viewPos = {1, 2, 8};  // from behind: nothing
    light.Accumulate(&r, &g, &b, &p, &n);
    EXPECT_EQ(r + g + b, 0);
    light.viewPos = {1, 2, -2};
    light.SetRange(1, 2, 10);
    light.Accumulate(&r, &g, &b, &p, &n);
    EXPECT_FLOAT_EQ(r, 0.625f);

    PointLight a, c;
    a.SetIntensity(100);
    a.SetColour(3.8f, 3.8f, 0.8f);
    c.SetColour(3.8f, 3.8f, 0.8f);
    c.SetIntensity(100);
    EXPECT_FLOAT_EQ(a.effective[0], 380);
    EXPECT_FLOAT_EQ(a.effective[2], 80);
    EXPECT_FLOAT_EQ(c.effective[1], 380);
    EXPECT_FLOAT_EQ(c.effective[2], 80);

    // Lights chain: the contribution of the next light is added too.
    a.SetIntensity(1);
    a.SetColour(1, 1, 1);
    a.viewPos = {1, 2, -2};
    a.next = &light;
    r = g = b = 0;
    a.Accumulate(&r, &g, &b, &p, &n);
    EXPECT_FLOAT_EQ(r, 1.625f);
}

TEST_F(SceneTest, NoCameraDrawsNothing) {
    Scene empty;
    empty.AddNode(TriangleNode({{0, 0, 0}, {0, 10, 0}, {10, 0, 0}}));
    empty.Render(&recorder, 1.0f);
    EXPECT_TRUE(recorder.calls.empty());
}

TEST_F(SceneTest, ProjectsAndDrawsAWholeFaceWithItsCorners) {
    SceneNode* node = TriangleNode({{10, 5, 0}, {0, 10, 0}, {10, 0, 0}});
    node->SetBackfaceCulling(false);
    scene.AddNode(node);
    scene.Render(&recorder, 0.5f);
    ASSERT_EQ(recorder.Count("DrawTriangleMultitex"), 1);
    const RecordedCall call = recorder.Of("DrawTriangleMultitex")[0];
    EXPECT_NEAR(call.vertices[0].screenX, 0.1732f, 1e-4f);
    EXPECT_NEAR(call.vertices[0].screenY, -0.0866f, 1e-4f);
    EXPECT_NEAR(call.vertices[0].z, 100, 1e-3f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(call.vertices[i].s0, static_cast<float>(i));
        EXPECT_EQ(call.vertices[i].red, 0.5f);
        EXPECT_EQ(call.vertices[i].green, 0.5f);
        EXPECT_EQ(call.vertices[i].blue, 0.5f);
    }
    EXPECT_EQ(recorder.calls.size(), 1u);  // Render changes no render state
}

TEST_F(SceneTest, NewestNodeIsDrawnFirstAndInvisibleNodesAreSkipped) {
    for (int k = 0; k < 3; ++k) {
        SceneNode* node = TriangleNode({{0, 0, 0}, {0, 10, 0}, {10, 0, 0}});
        node->SetBackfaceCulling(false);
        node->vertices[0].texV = static_cast<float>(k);
        scene.AddNode(node);
    }
    scene.nodes->next->SetVisible(false);  // the second node added
    scene.Render(&recorder, 1.0f);
    const auto draws = recorder.Of("DrawTriangleMultitex");
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].vertices[0].t0, 2.0f);
    EXPECT_EQ(draws[1].vertices[0].t0, 0.0f);
    EXPECT_EQ(scene.nodeCount, 3);
}

TEST_F(SceneTest, BackFacesAreCulledAndDegenerateFacesKept) {
    // Seen from the camera (looking along +z) the first winding faces away.
    SceneNode* node = TriangleNode({{0, 0, 0}, {0, 10, 0}, {10, 0, 0},
                                    {0, 0, 0}, {10, 0, 0}, {0, 10, 0},
                                    {0, 0, 0}, {5, 0, 0}, {10, 0, 0}});  // zero triple product
    scene.AddNode(node);
    scene.Render(&recorder, 1.0f);
    EXPECT_EQ(scene.renderCount, 2u);
    EXPECT_EQ(scene.RenderList[0], &node->faces[1]);
    EXPECT_EQ(scene.RenderList[1], &node->faces[2]);
}

TEST_F(SceneTest, OneCornerOutsideTheLeftPlaneBecomesTwoTriangles) {
    // Plane 0 keeps x >= -0.577 z: the first corner lies left of it.
    SceneNode* node = TriangleNode({{-100, 0, 0}, {0, 0, 0}, {0, 10, 0}});
    node->SetBackfaceCulling(false);
    scene.AddNode(node);
    scene.Render(&recorder, 1.0f);
    const auto draws = recorder.Of("DrawTriangleMultitex");
    ASSERT_EQ(draws.size(), 2u);
    // A fan around the first corner: (w0, w1, w2) and (w0, w2, w3).
    EXPECT_EQ(draws[0].vertices[0].screenX, draws[1].vertices[0].screenX);
    EXPECT_EQ(draws[0].vertices[2].screenX, draws[1].vertices[1].screenX);
    EXPECT_EQ(draws[0].vertices[2].screenY, draws[1].vertices[1].screenY);
    for (const auto& draw : draws)
        for (const ScreenVertex& v : draw.vertices) EXPECT_GE(v.screenX, -1.01f);
}

TEST(DrawFaceTest, CornerOnAPlaneCountsAsInside) {
    NodeVertex corners[3] = {};
    for (int i = 0; i < 3; ++i) {
        corners[i].depth = 10;
        corners[i].screenX = static_cast<float>(i);
        for (float& d : corners[i].clipDist) d = 1;
    }
    corners[1].clipDist[2] = 0;  // exactly on plane 2
    NodeFace face{&corners[0], &corners[1], &corners[2], {0, 0, 0}};
    RecordingRenderer recorder;
    DrawFace(&recorder, &face, 1.0f);
    const auto draws = recorder.Of("DrawTriangleMultitex");
    ASSERT_EQ(draws.size(), 1u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(draws[0].vertices[i].screenX, static_cast<float>(i));

    corners[1].clipDist[2] = -1e-7f;  // just outside: the face is cut
    recorder.calls.clear();
    DrawFace(&recorder, &face, 1.0f);
    EXPECT_EQ(recorder.Count("DrawTriangleMultitex"), 2);
}

TEST_F(SceneTest, FacesThroughTheEyeStayFinite) {
    SceneNode* node = TriangleNode({{0, 0, -150}, {30, 0, 50}, {0, 30, 50},
                                    {-1, -1, -100}, {1, 0, -100}, {0, 1, -99.99995f}});
    node->SetBackfaceCulling(false);
    scene.AddNode(node);
    scene.Render(&recorder, 1.0f);
    EXPECT_GE(recorder.Count("DrawTriangleMultitex"), 1);
    for (const auto& draw : recorder.Of("DrawTriangleMultitex"))
        for (const ScreenVertex& v : draw.vertices) {
            EXPECT_TRUE(Finite(v));
            EXPECT_NE(v.z, 0.0f);
        }
}

TEST_F(SceneTest, RenderListHoldsAtMost4000Faces) {
    const int faces = 4500;
    SceneNode* node = new SceneNode(3 * faces, faces);
    for (int f = 0; f < faces; ++f) {
        for (int k = 0; k < 3; ++k) {
            NodeVertex& v = node->vertices[3 * f + k];
            v.objectPos = {k == 2 ? 1.0f : 0.0f, k == 1 ? 1.0f : 0.0f, 0};
            v.texU = static_cast<float>(f);
            v.texV = 0;
        }
        node->faces[f] = NodeFace{&node->vertices[3 * f], &node->vertices[3 * f + 1], &node->vertices[3 * f + 2], {0, 0, 0}};
    }
    node->ComputeNormals();
    node->SetBackfaceCulling(false);
    scene.AddNode(node);
    scene.Render(&recorder, 1.0f);
    const auto draws = recorder.Of("DrawTriangleMultitex");
    ASSERT_EQ(draws.size(), 4000u);
    EXPECT_EQ(draws.front().vertices[0].s0, 0.0f);
    EXPECT_EQ(draws.back().vertices[0].s0, 3999.0f);
}

TEST_F(SceneTest, AdjacencyNodesGetFreshNormalsEveryFrame) {
    SceneNode* moving = TriangleNode({{0, 0, 0}, {0, 10, 0}, {10, 0, 0}});
    moving->BuildAdjacency();
    SceneNode* fixed = TriangleNode({{0, 0, 0}, {0, 10, 0}, {10, 0, 0}});
    scene.AddNode(moving);
    scene.AddNode(fixed);
    EXPECT_EQ(moving->vertices[0].adjacentCount, 1);
    EXPECT_TRUE(moving->flags & FLAG_ADJACENCY);
    // Tilt both triangles into the x-z plane; only the adjacency node follows.
    for (SceneNode* node : {moving, fixed}) node->vertices[1].objectPos = {0, 0, 10};
    scene.Render(&recorder, 1.0f);
    EXPECT_NEAR(std::fabs(moving->faces[0].normal.y), 1.0f, 1e-6f);
    EXPECT_NEAR(std::fabs(moving->vertices[0].normal.y), 1.0f, 1e-6f);
    EXPECT_NEAR(std::fabs(fixed->faces[0].normal.z), 1.0f, 1e-6f);
    EXPECT_NEAR(std::fabs(fixed->vertices[0].normal.z), 1.0f, 1e-6f);
}

TEST_F(SceneTest, ANewNodeStartsFromZeroEvenInReusedMemory) {
    // A node whose builder sets only positions and adjacency (as a deforming node does)
    // draws its first frame from the normals it was created with: environment coordinates
    // run a frame behind the normal update. Memory freed just before, filled with NaN,
    // is what the allocator hands out next for a block of the same size.
    constexpr int kVertices = 3;
    const size_t bytes = sizeof(NodeVertex) * kVertices;
    void* dirty = ::operator new[](bytes);
    std::memset(dirty, 0xFF, bytes);
    ::operator delete[](dirty);
    SceneNode* node = TriangleNode({{0, 0, 0}, {0, 10, 0}, {10, 0, 0}}, false);
    node->BuildAdjacency();
    node->SetBackfaceCulling(false);
    scene.AddNode(node);
    scene.Render(&recorder, 1.0f);
    const auto draws = recorder.Of("DrawTriangleMultitex");
    ASSERT_EQ(draws.size(), 1u);
    for (const ScreenVertex& v : draws[0].vertices) {
        EXPECT_EQ(v.s1, 0.5f);
        EXPECT_EQ(v.t1, 0.5f);
    }
}

}  // namespace
