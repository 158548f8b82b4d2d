// Effect camera, view matrix, outcodes and projection.
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "fx/fx.h"
#include "tests/kit/test_mesh.h"

namespace {

Matrix44 ViewOf(EffectCamera camera, Vec3 eye, Vec3 target, float roll) {
    CameraSetPosition(&camera, eye.x, eye.y, eye.z);
    CameraSetTarget(&camera, target.x, target.y, target.z);
    camera.roll = roll;
    Matrix44 m;
    Matrix44FromCamera(&m, &camera);
    return m;
}

Vec3 Apply(const Matrix44& m, Vec3 p) {
    const float* M = m.m;
    return {M[0] * p.x + M[1] * p.y + M[2] * p.z + M[3], M[4] * p.x + M[5] * p.y + M[6] * p.z + M[7],
            M[8] * p.x + M[9] * p.y + M[10] * p.z + M[11]};
}

void ExpectNear(Vec3 actual, Vec3 expected, float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

int Outcode(float x, float y, float z) {
    ScreenVertex v{};
    v.x = x, v.y = y, v.z = z;
    ClassifyVertex(&v);
    return v.clipFlags;
}

}  // namespace

TEST(EffectCamera, ViewportDerivesHalfSizesAndFocalFactors) {
    const EffectCamera camera = MakeCamera(90, 1.2f);
    EXPECT_EQ(camera.halfWidth, 1.0f);
    EXPECT_EQ(camera.halfHeight, 1.0f);
    EXPECT_FLOAT_EQ(camera.focalX, 1.0f);
    EXPECT_FLOAT_EQ(camera.focalY, 1.2f);
    EXPECT_FLOAT_EQ(camera.invFocalY, 1.0f / 1.2f);
}

TEST(EffectCamera, LookingAlongZIsIdentityWithTranslation) {
    const EffectCamera camera = MakeCamera(90, 1);
    Matrix44 m = ViewOf(camera, {0, 0, -100}, {0, 0, 0}, 0);
    const float expected[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 100};
    for (int i = 0; i < 12; ++i) EXPECT_FLOAT_EQ(m.m[i], expected[i]) << "element " << i;

    // Through the whole front half: the origin lands at depth 100 in the screen centre;
    // a point at x = z projects onto the right edge, camera -y up the screen.
    const Vec3 focal = {camera.focalX, camera.focalY, 1};
    Matrix44Scale(&m, &focal);
    VertexBuffer buffer(2);
    buffer.positions[0] = {0, 0, 0};
    buffer.positions[1] = {100, -50, 0};
    TransformVertices(&buffer, &m);
    ProjectVertices(&buffer, &camera);
    const ScreenVertex& origin = buffer.vertices[0];
    ExpectNear({origin.x, origin.y, origin.z}, {0, 0, 100}, 1e-4f);
    EXPECT_EQ(origin.clipFlags, 0);
    EXPECT_NEAR(origin.screenX, 0, 1e-6);
    EXPECT_NEAR(origin.screenY, 0, 1e-6);
    EXPECT_NEAR(buffer.vertices[1].screenX, 1.0f, 1e-5);
    EXPECT_NEAR(buffer.vertices[1].screenY, 0.5f, 1e-5);
    EXPECT_EQ(buffer.vertices[1].clipFlags, CLIP_POS_X);
}

TEST(EffectCamera, TargetToTheRightTurnsTheViewAxis) {
    const Matrix44 m = ViewOf(MakeCamera(90, 1), {0, 0, 0}, {1, 0, 0}, 0);
    ExpectNear({m.m[8], m.m[9], m.m[10]}, {1, 0, 0}, 1e-6f);
    ExpectNear({m.m[0], m.m[1], m.m[2]}, {0, 0, -1}, 1e-6f);
}

TEST(EffectCamera, ViewMatrixPutsEyeAndTargetOnTheAxisForAnyPose) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> coord(-50, 50), angle(-180, 180);
    for (int n = 0; n < 200; ++n) {
        const Vec3 eye = {coord(rng), coord(rng), coord(rng)};
        const Vec3 target = {coord(rng), coord(rng), coord(rng)};
        const Matrix44 m = ViewOf(MakeCamera(61, 1), eye, target, angle(rng));
        const float len = std::hypot(target.x - eye.x, target.y - eye.y, target.z - eye.z);
        ExpectNear(Apply(m, target), {0, 0, len}, 2e-4f * (1 + len));
        ExpectNear(Apply(m, eye), {0, 0, 0}, 1e-3f);
    }
}

TEST(Outcodes, FarLimitSidePlanesAndBehindTheEye) {
    EXPECT_EQ(Outcode(0, 0, 4500), 0);
    EXPECT_EQ(Outcode(0, 0, 4500.5f), CLIP_FAR);
    EXPECT_EQ(Outcode(5, 0, 5), CLIP_POS_X);  // on the plane counts as outside
    EXPECT_EQ(Outcode(4.9f, 0, 5), 0);
    EXPECT_EQ(Outcode(0, -5, 5), CLIP_NEG_Y);
    EXPECT_EQ(Outcode(0.5f, 2, -1), CLIP_BEHIND | CLIP_POS_X | CLIP_NEG_X | CLIP_POS_Y);
    EXPECT_EQ(Outcode(-3, 3, -1), CLIP_BEHIND | CLIP_NEG_X | CLIP_POS_Y);
    EXPECT_EQ(Outcode(0, 0, 0), CLIP_BEHIND | CLIP_POS_X | CLIP_POS_Y);  // the eye itself
}
