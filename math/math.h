// Vectors and 3x4 matrices: small free functions over caller-owned storage.
//
// Conventions: angles in radians; single-precision storage. A Matrix34 is row-major,
// three rows of four floats: columns 0-2 the linear part R, column 3 the translation t.
// It maps column vectors, p' = R.p + t, and composes by left multiplication (A after B
// is A.B). Outputs must not alias inputs unless a function says otherwise.
#pragma once

struct Vec3 {
    float x, y, z;
};

struct Matrix34 {
    float m[12];  // row r, column c at m[r * 4 + c]
};

extern const Matrix34 kMatrix34Identity;

// out = a x b.
void VecCross(const Vec3* a, const Vec3* b, Vec3* out);
// Scales v to unit length; returns 0 (v unchanged) when its length is exactly 0, else 1.
int VecNormalize(Vec3* v);
// As VecNormalize, writing into dst; dst is untouched when it returns 0.
int VecNormalizeTo(const Vec3* src, Vec3* dst);

// out = a.b (b applied first, then a).
void MatMultiply(const Matrix34* a, const Matrix34* b, Matrix34* out);
// out = R.p + t.
void MatTransformPoint(const Matrix34* m, const Vec3* p, Vec3* out);
// out = R.v (translation ignored): for directions and normals.
void MatRotateVector(const Matrix34* m, const Vec3* v, Vec3* out);
// out = R^T.(p - t): the inverse transform when R is orthonormal.
void MatInverseTransformPoint(const Matrix34* m, const Vec3* p, Vec3* out);

// Pre-multiplying forms, m <- X.m: whole rows change, so the translation moves too.
void MatTranslate(float x, float y, float z, Matrix34* m);
void MatScale(float sx, float sy, float sz, Matrix34* m);
void MatRotateX(float angle, Matrix34* m);
void MatRotateY(float angle, Matrix34* m);
void MatRotateZ(float angle, Matrix34* m);

// Post-multiplying forms, m <- m.X: only the columns of R change (and t for TranslateLocal).
void MatTranslateLocal(float x, float y, float z, Matrix34* m);
void MatScaleLocal(float sx, float sy, float sz, Matrix34* m);
void MatRotateXLocal(float angle, Matrix34* m);
void MatRotateYLocal(float angle, Matrix34* m);
void MatRotateZLocal(float angle, Matrix34* m);

// General inverse by LU decomposition of the 4x4 form. Returns 1 with out = m^-1, or 0
// (a row of the 4x4 work matrix entirely zero) with out untouched.
int MatInvert(const Matrix34* m, Matrix34* out);
