// Tests of the vector and matrix operations: builders, transforms and the LU inverse.
#include <gtest/gtest.h>

#include <cmath>

#include "math/math.h"

namespace {

void ExpectMatrixNear(const Matrix34& expected, const Matrix34& actual, float tolerance) {
    for (int i = 0; i < 12; ++i) EXPECT_NEAR(expected.m[i], actual.m[i], tolerance) << "float " << i;
}

void ExpectVecNear(const Vec3& expected, const Vec3& actual, float tolerance) {
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
}

Vec3 Translation(const Matrix34& m) { return {m.m[3], m.m[7], m.m[11]}; }

Matrix34 WithTranslation(float x, float y, float z) {
    Matrix34 m = kMatrix34Identity;
    m.m[3] = x;
    m.m[7] = y;
    m.m[11] = z;
    return m;
}

TEST(MathRotate, RotateXOnIdentityAndYLocalMatchesY) {
    const float a = 0.7f;
    const float c = static_cast<float>(std::cos(0.7)), s = static_cast<float>(std::sin(0.7));
    Matrix34 m = kMatrix34Identity;
    MatRotateX(a, &m);
    const Matrix34 expected = {{1, 0, 0, 0, 0, c, -s, 0, 0, s, c, 0}};
    ExpectMatrixNear(expected, m, 0.0f);

    Matrix34 pre = kMatrix34Identity, post = kMatrix34Identity;
    MatRotateY(a, &pre);
    MatRotateYLocal(a, &post);
    ExpectMatrixNear(pre, post, 0.0f);
    EXPECT_FLOAT_EQ(pre.m[2], s);   // Ry row 0 is (c, 0, s)
    EXPECT_FLOAT_EQ(pre.m[8], -s);  // Ry row 2 is (-s, 0, c)
}

TEST(MathRotate, PreMultiplyingMovesTranslationLocalDoesNot) {
    const float halfPi = 1.5707964f;
    Matrix34 pre = WithTranslation(1, 0, 0), post = WithTranslation(1, 0, 0);
    MatRotateZ(halfPi, &pre);
    MatRotateZLocal(halfPi, &post);
    ExpectVecNear({0, 1, 0}, Translation(pre), 1e-6f);
    ExpectVecNear({1, 0, 0}, Translation(post), 0.0f);
}

TEST(MathRotate, LocalFormsEqualMultiplyingOnTheRight) {
    Matrix34 m = WithTranslation(4, -2, 7);
    MatRotateX(0.3f, &m);
    MatScale(2, 3, 4, &m);
    for (int axis = 0; axis < 3; ++axis) {
        Matrix34 r = kMatrix34Identity, local = m, product;
        if (axis == 0) { MatRotateX(1.1f, &r); MatRotateXLocal(1.1f, &local); }
        if (axis == 1) { MatRotateY(1.1f, &r); MatRotateYLocal(1.1f, &local); }
        if (axis == 2) { MatRotateZ(1.1f, &r); MatRotateZLocal(1.1f, &local); }
        MatMultiply(&m, &r, &product);
        ExpectMatrixNear(product, local, 1e-5f);
    }
}

TEST(MathScaleTranslate, PreAndPostForms) {
    Matrix34 pre = WithTranslation(1, 1, 1), post = WithTranslation(1, 1, 1);
    MatScale(2, 3, 4, &pre);
    MatScaleLocal(2, 3, 4, &post);
    ExpectVecNear({2, 3, 4}, Translation(pre), 0.0f);
    ExpectVecNear({1, 1, 1}, Translation(post), 0.0f);
    EXPECT_EQ(post.m[10], 4.0f);
    // TranslateLocal moves along the matrix's own (scaled) axes, Translate along the world's.
    MatTranslateLocal(1, 1, 1, &post);
    ExpectVecNear({3, 4, 5}, Translation(post), 0.0f);
    MatTranslate(1, 2, 3, &pre);
    ExpectVecNear({3, 5, 7}, Translation(pre), 0.0f);
}

TEST(MathTransform, PointVectorAndInverseTransform) {
    Matrix34 m = kMatrix34Identity;
    MatRotateZ(1.5707964f, &m);
    MatTranslate(10, 20, 30, &m);
    const Vec3 p = {1, 2, 3};
    Vec3 moved, turned, back;
    MatTransformPoint(&m, &p, &moved);
    MatRotateVector(&m, &p, &turned);
    MatInverseTransformPoint(&m, &moved, &back);
    ExpectVecNear({8, 21, 33}, moved, 1e-5f);
    ExpectVecNear({-2, 1, 3}, turned, 1e-6f);
    ExpectVecNear(p, back, 1e-5f);
}

TEST(MathInvert, NodeMatrixTimesInverseIsIdentity) {
    Matrix34 m = kMatrix34Identity, inverse, product;
    MatScale(2.0f, 0.5f, -3.0f, &m);
    MatRotateX(0.4f, &m);
    MatRotateY(-1.2f, &m);
    MatRotateZ(2.5f, &m);
    MatTranslate(5, -7, 11, &m);
    ASSERT_EQ(MatInvert(&m, &inverse), 1);
    MatMultiply(&inverse, &m, &product);
    ExpectMatrixNear(kMatrix34Identity, product, 1e-5f);
    MatMultiply(&m, &inverse, &product);
    ExpectMatrixNear(kMatrix34Identity, product, 1e-5f);
}

TEST(MathInvert, NeedsPivotingOnZeroDiagonal) {
    // A permutation-like matrix: every leading diagonal entry is 0 before pivoting.
    const Matrix34 m = {{0, 1, 0, 3, 0, 0, 2, 4, 5, 0, 0, 6}};
    Matrix34 inverse, product;
    ASSERT_EQ(MatInvert(&m, &inverse), 1);
    MatMultiply(&m, &inverse, &product);
    ExpectMatrixNear(kMatrix34Identity, product, 1e-6f);
}

TEST(MathInvert, ZeroRowReturnsZeroAndLeavesOutput) {
    Matrix34 m = kMatrix34Identity;
    m.m[4] = m.m[5] = m.m[6] = m.m[7] = 0.0f;
    Matrix34 out;
    for (int i = 0; i < 12; ++i) out.m[i] = 42.0f + i;
    const Matrix34 before = out;
    EXPECT_EQ(MatInvert(&m, &out), 0);
    ExpectMatrixNear(before, out, 0.0f);
}

TEST(MathVector, NormalizeAndCross) {
    Vec3 zero = {0, 0, 0};
    EXPECT_EQ(VecNormalize(&zero), 0);
    ExpectVecNear({0, 0, 0}, zero, 0.0f);
    Vec3 v = {3, 0, 4};
    EXPECT_EQ(VecNormalize(&v), 1);
    ExpectVecNear({0.6f, 0, 0.8f}, v, 1e-7f);

    Vec3 dst = {7, 8, 9};
    EXPECT_EQ(VecNormalizeTo(&zero, &dst), 0);
    ExpectVecNear({7, 8, 9}, dst, 0.0f);
    const Vec3 tiny = {1e-20f, 0, 0};  // no epsilon: any non-zero length normalises
    EXPECT_EQ(VecNormalizeTo(&tiny, &dst), 1);
    ExpectVecNear({1, 0, 0}, dst, 1e-7f);

    const Vec3 a = {1, 2, 3}, b = {4, 5, 6};
    Vec3 c;
    VecCross(&a, &b, &c);
    ExpectVecNear({-3, 6, -3}, c, 0.0f);
}

}  // namespace
