// Vector operations: cross product and normalisation of Vec3.
#include <cmath>

#include "math/math.h"

void VecCross(const Vec3* a, const Vec3* b, Vec3* out) {
    out->x = a->y * b->z - a->z * b->y;
    out->y = a->z * b->x - a->x * b->z;
    out->z = a->x * b->y - a->y * b->x;
}

// Length rounded to float before the zero test; no epsilon, any non-zero length scales.
static float VecLength(const Vec3* v) {
    return static_cast<float>(std::sqrt(static_cast<double>(v->x) * v->x +
                                        static_cast<double>(v->y) * v->y +
                                        static_cast<double>(v->z) * v->z));
}

int VecNormalize(Vec3* v) {
    return VecNormalizeTo(v, v);
}

int VecNormalizeTo(const Vec3* src, Vec3* dst) {
    const float length = VecLength(src);
    if (length == 0.0f) return 0;
    const float k = 1.0f / length;
    const Vec3 scaled = {src->x * k, src->y * k, src->z * k};
    *dst = scaled;
    return 1;
}
