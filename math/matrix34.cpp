// Matrix34 products, point/vector transforms and the pre- and post-multiplying builders.
#include <cmath>

#include "math/math.h"

const Matrix34 kMatrix34Identity = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0}};

// Sine and cosine of the angle taken in double, rounded to float before use.
static void SinCos(float angle, float* s, float* c) {
    *s = static_cast<float>(std::sin(static_cast<double>(angle)));
    *c = static_cast<float>(std::cos(static_cast<double>(angle)));
}

void MatMultiply(const Matrix34* a, const Matrix34* b, Matrix34* out) {
    const float* A = a->m;
    const float* B = b->m;
    for (int r = 0; r < 3; ++r) {
        const float* ar = A + r * 4;
        for (int k = 0; k < 4; ++k) {
            float sum = ar[0] * B[k] + ar[1] * B[4 + k] + ar[2] * B[8 + k];
            if (k == 3) sum += ar[3];
            out->m[r * 4 + k] = sum;
        }
    }
}

void MatTransformPoint(const Matrix34* m, const Vec3* p, Vec3* out) {
    const float* M = m->m;
    out->x = M[0] * p->x + M[1] * p->y + M[2] * p->z + M[3];
    out->y = M[4] * p->x + M[5] * p->y + M[6] * p->z + M[7];
    out->z = M[8] * p->x + M[9] * p->y + M[10] * p->z + M[11];
}

void MatRotateVector(const Matrix34* m, const Vec3* v, Vec3* out) {
    const float* M = m->m;
    out->x = M[0] * v->x + M[1] * v->y + M[2] * v->z;
    out->y = M[4] * v->x + M[5] * v->y + M[6] * v->z;
    out->z = M[8] * v->x + M[9] * v->y + M[10] * v->z;
}

void MatInverseTransformPoint(const Matrix34* m, const Vec3* p, Vec3* out) {
    const float* M = m->m;
    const float dx = p->x - M[3], dy = p->y - M[7], dz = p->z - M[11];
    out->x = M[0] * dx + M[4] * dy + M[8] * dz;
    out->y = M[1] * dx + M[5] * dy + M[9] * dz;
    out->z = M[2] * dx + M[6] * dy + M[10] * dz;
}

void MatTranslate(float x, float y, float z, Matrix34* m) {
    m->m[3] += x;
    m->m[7] += y;
    m->m[11] += z;
}

void MatTranslateLocal(float x, float y, float z, Matrix34* m) {
    float* M = m->m;
    M[3] += M[0] * x + M[1] * y + M[2] * z;
    M[7] += M[4] * x + M[5] * y + M[6] * z;
    M[11] += M[8] * x + M[9] * y + M[10] * z;
}

void MatScale(float sx, float sy, float sz, Matrix34* m) {
    for (int c = 0; c < 4; ++c) {
        m->m[c] *= sx;
        m->m[4 + c] *= sy;
        m->m[8 + c] *= sz;
    }
}

void MatScaleLocal(float sx, float sy, float sz, Matrix34* m) {
    for (int r = 0; r < 3; ++r) {
        m->m[r * 4 + 0] *= sx;
        m->m[r * 4 + 1] *= sy;
        m->m[r * 4 + 2] *= sz;
    }
}

// Pre-multiplying rotation by angle in the plane of rows p and q (all four columns):
// row p <- c.row p - s.row q; row q <- s.row p + c.row q, both from the rows before the update.
static void RotateRows(int p, int q, float angle, Matrix34* m) {
    float s, c;
    SinCos(angle, &s, &c);
    float* P = m->m + p * 4;
    float* Q = m->m + q * 4;
    for (int k = 0; k < 4; ++k) {
        const float rp = P[k], rq = Q[k];
        P[k] = c * rp - s * rq;
        Q[k] = s * rp + c * rq;
    }
}

// Post-multiplying rotation by angle in the plane of columns p and q of R:
// col p <- c.col p + s.col q; col q <- c.col q - s.col p, from the columns before the update.
static void RotateColumns(int p, int q, float angle, Matrix34* m) {
    float s, c;
    SinCos(angle, &s, &c);
    for (int r = 0; r < 3; ++r) {
        float* row = m->m + r * 4;
        const float cp = row[p], cq = row[q];
        row[p] = c * cp + s * cq;
        row[q] = c * cq - s * cp;
    }
}

// Ry and its local form take the planes as (2, 0): row0 <- c.row0 + s.row2,
// row2 <- c.row2 - s.row0, and col0 <- c.col0 - s.col2, col2 <- s.col0 + c.col2.
void MatRotateX(float angle, Matrix34* m) { RotateRows(1, 2, angle, m); }
void MatRotateY(float angle, Matrix34* m) { RotateRows(2, 0, angle, m); }
void MatRotateZ(float angle, Matrix34* m) { RotateRows(0, 1, angle, m); }
void MatRotateXLocal(float angle, Matrix34* m) { RotateColumns(1, 2, angle, m); }
void MatRotateYLocal(float angle, Matrix34* m) { RotateColumns(2, 0, angle, m); }
void MatRotateZLocal(float angle, Matrix34* m) { RotateColumns(0, 1, angle, m); }
