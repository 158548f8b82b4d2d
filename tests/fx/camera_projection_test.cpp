// Effect camera, view matrix, outcodes and projection.
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "fx/fx.h"

namespace {

EffectCamera MakeCamera(float fov, float aspect) {
    EffectCamera camera{};
    CameraSetAspect(&camera, 2, 2, aspect);
    CameraSetFov(&camera, fov);
    CameraSetViewport(&camera, 2, 2);
    return camera;
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
    v.x = x;
    v.y = y;
    v.z = z;
    v.clipFlags = -1;
    ClassifyVertex(&v);
    return v.clipFlags;
}

}  // namespace

TEST(EffectCamera, ViewportDerivesHalfSizesAndFocalFactors) {
    const EffectCamera camera = MakeCamera(90, 1.2f);
    EXPECT_FLOAT_EQ(camera.aspect, 1.2f);
    EXPECT_EQ(camera.halfWidth, 1.0f);
    EXPECT_EQ(camera.halfHeight, 1.0f);
    EXPECT_FLOAT_EQ(camera.focalX, 1.0f);
    EXPECT_FLOAT_EQ(camera.focalY, 1.2f);
    EXPECT_FLOAT_EQ(camera.invFocalX, 1.0f);
    EXPECT_FLOAT_EQ(camera.invFocalY, 1.0f / 1.2f);

    const EffectCamera narrow = MakeCamera(61, 1);
    EXPECT_NEAR(narrow.focalX, 1.0 / std::tan(30.5 * M_PI / 180.0), 1e-5);
}

TEST(EffectCamera, LookingAlongZIsIdentityWithTranslation) {
    EffectCamera camera = MakeCamera(90, 1);
    CameraSetPosition(&camera, 0, 0, -100);
    CameraSetTarget(&camera, 0, 0, 0);
    camera.roll = 0;
    Matrix44 m;
    Matrix44FromCamera(&m, &camera);
    const float expected[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 100};
    for (int i = 0; i < 12; ++i) EXPECT_FLOAT_EQ(m.m[i], expected[i]) << "element " << i;

    // Through the whole front half: the origin lands at depth 100 in the screen centre,
    // and a point at x = z projects onto the right edge.
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
    EXPECT_NEAR(buffer.vertices[1].screenY, 0.5f, 1e-5);  // camera -y goes up the screen
    EXPECT_EQ(buffer.vertices[1].clipFlags, CLIP_POS_X);
}

TEST(EffectCamera, TargetToTheRightTurnsTheViewAxis) {
    EffectCamera camera = MakeCamera(90, 1);
    CameraSetPosition(&camera, 0, 0, 0);
    CameraSetTarget(&camera, 1, 0, 0);
    camera.roll = 0;
    Matrix44 m;
    Matrix44FromCamera(&m, &camera);
    ExpectNear({m.m[8], m.m[9], m.m[10]}, {1, 0, 0}, 1e-6f);
    ExpectNear({m.m[0], m.m[1], m.m[2]}, {0, 0, -1}, 1e-6f);
}

TEST(EffectCamera, ViewMatrixPutsTheTargetOnTheAxisForAnyPose) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> coord(-50, 50), angle(-180, 180);
    for (int n = 0; n < 200; ++n) {
        EffectCamera camera = MakeCamera(61, 1);
        CameraSetPosition(&camera, coord(rng), coord(rng), coord(rng));
        CameraSetTarget(&camera, coord(rng), coord(rng), coord(rng));
        camera.roll = angle(rng);
        Matrix44 m;
        Matrix44FromCamera(&m, &camera);
        const Vec3 d = {camera.target.x - camera.position.x, camera.target.y - camera.position.y,
                        camera.target.z - camera.position.z};
        const float len = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        ExpectNear(Apply(m, camera.target), {0, 0, len}, 2e-4f * (1 + len));
        ExpectNear(Apply(m, camera.position), {0, 0, 0}, 1e-3f);
        for (int r = 0; r < 3; ++r)  // rows orthonormal
            for (int s = 0; s < 3; ++s) {
                const float dot = m.m[r * 4] * m.m[s * 4] + m.m[r * 4 + 1] * m.m[s * 4 + 1] +
                                  m.m[r * 4 + 2] * m.m[s * 4 + 2];
                EXPECT_NEAR(dot, r == s ? 1.0f : 0.0f, 1e-5);
            }
    }
}

TEST(EffectCamera, RollUsesTheShortPiConstant) {
    EffectCamera camera = MakeCamera(90, 1);
    CameraSetPosition(&camera, 0, 0, 0);
    CameraSetTarget(&camera, 0, 0, 1);
    camera.roll = 180;  // -3.1415 rad: sine about -9.3e-5, where pi would give ~0
    Matrix44 m;
    Matrix44FromCamera(&m, &camera);
    EXPECT_NEAR(m.m[1], std::sin(-3.1415f), 1e-6);
    EXPECT_NEAR(m.m[0], -1.0f, 1e-6);
}

TEST(Matrix44, OperationsComposeLikeThePointTransforms) {
    EffectCamera camera = MakeCamera(90, 1);
    CameraSetPosition(&camera, 3, -2, 7);
    CameraSetTarget(&camera, -4, 5, 1);
    camera.roll = 30;
    Matrix44 a, b;
    Matrix44FromCamera(&a, &camera);
    CameraSetPosition(&camera, 1, 1, 1);
    camera.roll = -75;
    Matrix44FromCamera(&b, &camera);
    const Vec3 p = {1.5f, -2.5f, 4.0f};

    Matrix44 product;
    Matrix44Copy(&a, &product);
    Matrix44Multiply(&product, &b);
    ExpectNear(Apply(product, p), Apply(a, Apply(b, p)), 1e-4f);

    Matrix44 scaled;
    Matrix44Copy(&a, &scaled);
    const Vec3 factors = {2, 3, 0.5f};
    Matrix44Scale(&scaled, &factors);
    const Vec3 ap = Apply(a, p);
    ExpectNear(Apply(scaled, p), {2 * ap.x, 3 * ap.y, 0.5f * ap.z}, 1e-4f);

    Matrix44 moved;
    Matrix44Copy(&a, &moved);
    const Vec3 v = {-1, 2, 3};
    Matrix44TranslateLocal(&moved, &v);
    ExpectNear(Apply(moved, p), Apply(a, {p.x + v.x, p.y + v.y, p.z + v.z}), 1e-4f);

    Matrix44Identity(&moved);
    ExpectNear(Apply(moved, p), p, 0);
    EXPECT_EQ(moved.m[15], 1.0f);
}

TEST(Outcodes, FarLimitAndSidePlanes) {
    EXPECT_EQ(Outcode(0, 0, 4500), 0);
    EXPECT_EQ(Outcode(0, 0, 4500.5f), CLIP_FAR);
    EXPECT_EQ(Outcode(5, 0, 5), CLIP_POS_X);  // on the plane counts as outside
    EXPECT_EQ(Outcode(4.9f, 0, 5), 0);
    EXPECT_EQ(Outcode(-5, 0, 5), CLIP_NEG_X);
    EXPECT_EQ(Outcode(0, 5, 5), CLIP_POS_Y);
    EXPECT_EQ(Outcode(3, -6, 5), CLIP_NEG_Y);
    EXPECT_EQ(Outcode(0.5f, 2, -1), CLIP_BEHIND | CLIP_POS_X | CLIP_NEG_X | CLIP_POS_Y);
    EXPECT_EQ(Outcode(-0.5f, -2, -1), CLIP_BEHIND | CLIP_POS_X | CLIP_NEG_X | CLIP_NEG_Y);
    EXPECT_EQ(Outcode(-3, 3, -1), CLIP_BEHIND | CLIP_NEG_X | CLIP_POS_Y);
    // The eye itself counts as behind and outside x = z and y = z.
    EXPECT_EQ(Outcode(0, 0, 0), CLIP_BEHIND | CLIP_POS_X | CLIP_POS_Y);
}

TEST(Outcodes, BehindTheEyeIsAlwaysOutsideAnXAndAYPlane) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> coord(-20, 20), depth(-20, 0);
    for (int n = 0; n < 1000; ++n) {
        const int flags = Outcode(coord(rng), coord(rng), depth(rng));
        EXPECT_TRUE(flags & CLIP_BEHIND);
        EXPECT_TRUE(flags & (CLIP_POS_X | CLIP_NEG_X));
        EXPECT_TRUE(flags & (CLIP_POS_Y | CLIP_NEG_Y));
    }
}

TEST(Projection, ClippedProjectionMatchesVertexProjectionWithTheUnitSetUp) {
    const EffectCamera camera = MakeCamera(61, 1.2f);
    SetClipProjection(0, 0, 1, 1);
    VertexBuffer buffer(3);
    const Vec3 camSpace[3] = {{0.3f, -2.0f, 4.0f}, {-7, 1, 9}, {1e3f, 2e3f, 4e3f}};
    for (int i = 0; i < 3; ++i) {
        buffer.positions[i] = camSpace[i];
    }
    Matrix44 m;
    Matrix44Identity(&m);
    TransformVertices(&buffer, &m);
    ProjectVertices(&buffer, &camera);
    ScreenVertex copy[3] = {buffer.vertices[0], buffer.vertices[1], buffer.vertices[2]};
    ProjectClipped(&copy[0], &copy[1], &copy[2]);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(copy[i].screenX, buffer.vertices[i].screenX);
        EXPECT_FLOAT_EQ(copy[i].screenY, buffer.vertices[i].screenY);
    }

    SetClipProjection(0.25f, -0.5f, 2, 3);  // centre and scale both take part
    ProjectClipped(&copy[0], &copy[1], &copy[2]);
    EXPECT_FLOAT_EQ(copy[0].screenX, 2 * 0.3f / 4 + 0.25f);
    EXPECT_FLOAT_EQ(copy[0].screenY, -0.5f - 3 * -2.0f / 4);
    SetClipProjection(0, 0, 1, 1);
}
