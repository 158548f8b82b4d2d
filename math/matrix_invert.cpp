// General Matrix34 inverse: LU decomposition (Crout, implicit partial pivoting) of the 4x4 form.
#include <cmath>

#include "math/math.h"

namespace {

constexpr int kN = 4;

// Decomposes a (row-major 4x4) in place into L\U with row permutation index[] and parity d.
// Returns 0 when a row is entirely zero (a untouched past the scale pass), else 1. Pivots
// are chosen by |a| scaled by the row's largest entry; on a tie the later row wins. A zero
// pivot is left in place and the column below it is not scaled.
int LuDecompose4(float a[kN][kN], int index[kN], float* d) {
    float scale[kN];
    *d = 1.0f;
    for (int i = 0; i < kN; ++i) {
        float big = 0.0f;
        for (int j = 0; j < kN; ++j) {
            const float v = std::fabs(a[i][j]);
            if (v > big) big = v;
        }
        if (big == 0.0f) return 0;
        scale[i] = 1.0f / big;
    }
    for (int j = 0; j < kN; ++j) {
        for (int i = 0; i < j; ++i) {
            float sum = a[i][j];
            for (int k = 0; k < i; ++k) sum -= a[i][k] * a[k][j];
            a[i][j] = sum;
        }
        float big = 0.0f;
        int imax = j;
        for (int i = j; i < kN; ++i) {
            float sum = a[i][j];
            for (int k = 0; k < j; ++k) sum -= a[i][k] * a[k][j];
            a[i][j] = sum;
            const float weighted = scale[i] * std::fabs(sum);
            if (weighted >= big) {
                big = weighted;
                imax = i;
            }
        }
        if (imax != j) {
            for (int k = 0; k < kN; ++k) {
                const float t = a[imax][k];
                a[imax][k] = a[j][k];
                a[j][k] = t;
            }
            *d = -*d;
            scale[imax] = scale[j];
        }
        index[j] = imax;
        if (j != kN - 1 && a[j][j] != 0.0f) {
            const float inv = 1.0f / a[j][j];
            for (int i = j + 1; i < kN; ++i) a[i][j] *= inv;
        }
    }
    return 1;
}

// Solves A.x = b for the decomposition from LuDecompose4; b (a 4-vector) becomes x.
// Forward substitution skips the leading zeros of the permuted b.
void LuBackSubstitute4(const float a[kN][kN], const int index[kN], float b[kN]) {
    int first = -1;
    for (int i = 0; i < kN; ++i) {
        const int p = index[i];
        float sum = b[p];
        b[p] = b[i];
        if (first >= 0) {
            for (int j = first; j < i; ++j) sum -= a[i][j] * b[j];
        } else if (sum != 0.0f) {
            first = i;
        }
        b[i] = sum;
    }
    for (int i = kN - 1; i >= 0; --i) {
        float sum = b[i];
        for (int j = i + 1; j < kN; ++j) sum -= a[i][j] * b[j];
        b[i] = sum / a[i][i];
    }
}

}  // namespace

int MatInvert(const Matrix34* m, Matrix34* out) {
    float work[kN][kN];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < kN; ++c) work[r][c] = m->m[r * 4 + c];
    work[3][0] = work[3][1] = work[3][2] = 0.0f;
    work[3][3] = 1.0f;

    int index[kN];
    float parity;
    if (!LuDecompose4(work, index, &parity)) return 0;

    float inverse[kN][kN];
    for (int c = 0; c < kN; ++c) {
        float column[kN] = {0.0f, 0.0f, 0.0f, 0.0f};
        column[c] = 1.0f;
        LuBackSubstitute4(work, index, column);
        for (int r = 0; r < kN; ++r) inverse[r][c] = column[r];
    }
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < kN; ++c) out->m[r * 4 + c] = inverse[r][c];
    return 1;
}
