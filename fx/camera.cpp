// Effect camera: the camera record's setters, the 4x4 view-matrix operations and the view
// matrix built from the camera's eye, target and roll.
#include <cmath>
#include <cstring>

#include "fx/fx.h"

void CameraSetPosition(EffectCamera* camera, float x, float y, float z) {
    camera->position = {x, y, z};
}

void CameraSetTarget(EffectCamera* camera, float x, float y, float z) {
    camera->target = {x, y, z};
}

EffectCamera* CameraSetFov(EffectCamera* camera, float degrees) {
    camera->fov = degrees;
    return camera;
}

EffectCamera* CameraSetAspect(EffectCamera* camera, float a, float b, float c) {
    camera->aspect = a / b * c;
    return camera;
}

// Half sizes scale the projection; the focal factors map the field of view to |x|, |y| < z.
// The half angle is converted with the float 3.1415927 and its tangent rounded to float.
EffectCamera* CameraSetViewport(EffectCamera* camera, float width, float height) {
    const float halfAngle = camera->fov / 2.0f * 3.1415927f / 180.0f;
    const float t = static_cast<float>(std::tan(static_cast<double>(halfAngle)));
    camera->halfWidth = width / 2.0f;
    camera->halfHeight = height / 2.0f;
    camera->focalX = 1.0f / t;
    camera->focalY = camera->aspect / t;
    camera->invFocalX = 1.0f / camera->focalX;
    camera->invFocalY = 1.0f / camera->focalY;
    return camera;
}

// Rows 0-2 of a Matrix44 are laid out exactly as a Matrix34, so the products go through
// the math library on those twelve floats. Row 3 is left as it was.
static Matrix34 Rows012(const Matrix44* m) {
    Matrix34 out;
    std::memcpy(out.m, m->m, sizeof(out.m));
    return out;
}

static void SetRows012(Matrix44* m, const Matrix34* rows) {
    std::memcpy(m->m, rows->m, sizeof(rows->m));
}

void Matrix44Identity(Matrix44* m) {
    static const Matrix44 kIdentity = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
    *m = kIdentity;
}

void Matrix44Copy(const Matrix44* src, Matrix44* dst) {
    *dst = *src;
}

void Matrix44Multiply(Matrix44* m, const Matrix44* other) {
    const Matrix34 a = Rows012(m);
    const Matrix34 b = Rows012(other);
    Matrix34 product;
    MatMultiply(&a, &b, &product);
    SetRows012(m, &product);
}

void Matrix44Scale(Matrix44* m, const Vec3* v) {
    const float s[3] = {v->x, v->y, v->z};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) m->m[r * 4 + c] *= s[r];
}

void Matrix44TranslateLocal(Matrix44* m, const Vec3* v) {
    Matrix34 rows = Rows012(m);
    MatTranslateLocal(v->x, v->y, v->z, &rows);
    SetRows012(m, &rows);
}

// Yaw turns +z towards the target's x, pitch lifts it towards its y, roll turns about the
// view axis (degrees, converted with the float 3.1415). The rows are the product of the
// three rotations written out; the view matrix maps p to R.(p - position).
// The target must differ from the position.
void Matrix44FromCamera(Matrix44* m, const EffectCamera* camera) {
    Matrix44Identity(m);
    const float dx = camera->target.x - camera->position.x;
    const float dy = camera->target.y - camera->position.y;
    const float dz = camera->target.z - camera->position.z;
    const float len = std::sqrt(dx * dx + dy * dy + dz * dz);
    const float yaw = -std::atan2(dx, dz);
    // Rounding can carry |dy / len| a hair past 1 for a target straight above or below.
    const float pitch = std::asin(std::fmax(-1.0f, std::fmin(1.0f, dy / len)));
    const float roll = -camera->roll * 3.1415f / 180.0f;
    const float sy = std::sin(yaw), cy = std::cos(yaw);
    const float sp = std::sin(pitch), cp = std::cos(pitch);
    const float sr = std::sin(roll), cr = std::cos(roll);

    float* M = m->m;
    M[0] = sy * sp * sr + cy * cr;
    M[1] = cp * sr;
    M[2] = sy * cr - cy * sp * sr;
    M[4] = sy * sp * cr - cy * sr;
    M[5] = cp * cr;
    M[6] = -cy * sp * cr - sy * sr;
    M[8] = -sy * cp;
    M[9] = sp;
    M[10] = cy * cp;

    const Vec3 back = {-camera->position.x, -camera->position.y, -camera->position.z};
    Matrix44TranslateLocal(m, &back);
}

void Matrix44FromCameraFocal(Matrix44* m, const EffectCamera* camera) {
    Matrix44FromCamera(m, camera);
    const Vec3 focal = {camera->focalX, camera->focalY, 1.0f};
    Matrix44Scale(m, &focal);
}
