// The final scene: tentacle build, simulation invariants, the scene's frame.
#include <cmath>

#include <gtest/gtest.h>

#include "parts/parts.h"
#include "show/show_state.h"
#include "tests/support/allocation_counter.h"
#include "tests/kit/recording_renderer.h"


namespace {

float Distance(const Vec3& a, const Vec3& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

struct TentacleTest : ::testing::Test {
    Tentacle tentacle;
    const Vec3 foot{70, -70, 0};
    const Vec3 tip{70, -70, 120};
    void SetUp() override {
        attractorCount = 0;
        tentacle.Build(10, foot, tip, 8, 6);
    }
    float Link() const { return tentacle.restLength / 9; }
};

TEST_F(TentacleTest, BuildMakesTenRingsOfSixAroundTheChain) {
    EXPECT_EQ(tentacle.vertexCount, 60);
    EXPECT_EQ(tentacle.faceCount, 108);
    EXPECT_EQ(tentacle.node->vertexCount, 60);
    EXPECT_EQ(tentacle.node->faceCount, 108);
    EXPECT_EQ(tentacle.node->mode, 6u);
    EXPECT_EQ(tentacle.node->flags, FLAG_VISIBLE | FLAG_CULL | FLAG_ADJACENCY);
    EXPECT_FLOAT_EQ(tentacle.restLength, 120);
    EXPECT_FLOAT_EQ(tentacle.joints[0].ringRadius, 16);
    EXPECT_FLOAT_EQ(tentacle.joints[9].ringRadius, 0);
    for (int i = 0; i < 10; ++i) {
        EXPECT_FLOAT_EQ(tentacle.joints[i].rest.z, 120.0f * i / 9);
        EXPECT_GE(tentacle.joints[i].velocity.y, -5.0f);
        EXPECT_LT(tentacle.joints[i].velocity.y, 5.0f);
    }
    // Face 2f = (X, Y, W), 2f + 1 = (Z, Y, X) between rings i - 1 and i.
    const NodeVertex* v = tentacle.node->vertices;
    EXPECT_EQ(tentacle.node->faces[0].a, &v[1]);
    EXPECT_EQ(tentacle.node->faces[0].b, &v[6]);
    EXPECT_EQ(tentacle.node->faces[0].c, &v[0]);
    EXPECT_EQ(tentacle.node->faces[11].a, &v[6]);   // f = 5 wraps around: Z = (1, 0)
    EXPECT_EQ(tentacle.node->faces[11].c, &v[0]);   // X = (0, 0)
    EXPECT_FLOAT_EQ(v[5].texV, 1.0f);
    EXPECT_FLOAT_EQ(v[59].texU, 1.0f);
}

TEST_F(TentacleTest, JointAtRestGetsNoSpringForce) {
    for (int i = 0; i < 10; ++i) tentacle.joints[i].velocity = {0, 0, 0};
    tentacle.Simulate(1.0f);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(tentacle.joints[i].position.x, tentacle.joints[i].rest.x);
        EXPECT_EQ(tentacle.joints[i].position.y, tentacle.joints[i].rest.y);
        EXPECT_EQ(tentacle.joints[i].position.z, tentacle.joints[i].rest.z);
    }
}

TEST_F(TentacleTest, FootStaysAndLinksStayWithinLength) {
    attractors[0] = {{100, 0, 120}, 5.0f, 1470};
    attractors[1] = {{-50, 30, 120}, 5.0f, 1070};
    attractorCount = 2;
    for (int step = 0; step < 300; ++step) {
        tentacle.Step(0.348f);
        ASSERT_EQ(tentacle.joints[0].position.x, foot.x);
        ASSERT_EQ(tentacle.joints[0].position.y, foot.y);
        ASSERT_EQ(tentacle.joints[0].position.z, foot.z);
        for (int i = 0; i + 1 < 10; ++i)
            ASSERT_LE(Distance(tentacle.joints[i].position, tentacle.joints[i + 1].position), Link() + 0.01f + 1e-4f)
                << "link " << i << " after step " << step;
    }
    // The tentacle did sway.
    EXPECT_GT(Distance(tentacle.joints[9].position, tip), 1.0f);
}

TEST_F(TentacleTest, RingsSurroundTheirJointsAndTheTipRingCollapses) {
    attractors[0] = {{100, 0, 120}, 5.0f, 1470};
    attractorCount = 1;
    for (int step = 0; step < 20; ++step) tentacle.Step(0.348f);
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 6; ++j) {
            const Vec3& p = tentacle.node->vertices[i * 6 + j].objectPos;
            EXPECT_NEAR(Distance(p, tentacle.joints[i].position), tentacle.joints[i].ringRadius, 1e-3f);
        }
    for (int j = 0; j < 6; ++j) {
        const Vec3& p = tentacle.node->vertices[54 + j].objectPos;
        EXPECT_NEAR(Distance(p, tentacle.joints[9].position), 0.0f, 1e-4f);
    }
}

TEST(TentacleSceneTest, SixteenTentaclesFrameWithoutAllocatingAndDraw) {
    TentacleScene scene;
    ASSERT_EQ(scene.Init(), 1);
    EXPECT_EQ(attractorCount, 2);
    ASSERT_EQ(scene.tentacleCount, 16);
    int faces = 0;
    for (SceneNode* node = scene.objects.nodes; node; node = node->next) faces += node->faceCount;
    EXPECT_EQ(faces, 1728);
    EXPECT_EQ(scene.tentacles[0]->joints[0].position.x, -210);
    EXPECT_EQ(scene.tentacles[15]->joints[0].position.y, 210);

    FiniteCheckingRenderer counter;
    Renderer* saved = renderer;
    renderer = &counter;
    fadeLevel = 1.0f;
    lastSceneTime = -1.0f;
    scene.Frame(0, 0.5f);
    EXPECT_EQ(lastSceneTime, 40.0f);  // the first frame sets the clock without a step
    const long before = AllocationCount();
    float clock = 0.5f;
    for (int frame = 0; frame < 50; ++frame) {
        clock += static_cast<float>(0.004347826086956522);
        scene.Frame(0, clock);
    }
    EXPECT_EQ(AllocationCount(), before);
    EXPECT_GT(counter.multitexTriangles, 50 * 100);  // most of the field is in view
    // From the first frame on, whose environment coordinates come from the normals the
    // nodes were created with.
    EXPECT_EQ(counter.nonFiniteCorners, 0);
    renderer = saved;
}

// A show started again in one process builds the scene again: one field, not two.
TEST(TentacleSceneTest, InitAgainReplacesTheField) {
    TentacleScene scene;
    scene.Init();
    lastSceneTime = 99.0f;
    scene.Init();
    EXPECT_EQ(lastSceneTime, -1.0f);
    int nodes = 0, objectLights = 0, floorLights = 0;
    for (SceneNode* node = scene.objects.nodes; node; node = node->next) ++nodes;
    for (Light* light = scene.objects.lights; light; light = light->next) ++objectLights;
    for (Light* light = scene.floor.lights; light; light = light->next) ++floorLights;
    EXPECT_EQ(nodes, 16);
    EXPECT_EQ(scene.objects.nodeCount, 16);
    EXPECT_EQ(scene.floor.nodeCount, 1);
    EXPECT_EQ(objectLights, 3);
    EXPECT_EQ(floorLights, 1);
    EXPECT_EQ(scene.objects.camera, scene.camera);
    EXPECT_EQ(scene.floor.camera, scene.floorCamera);
}

}  // namespace
