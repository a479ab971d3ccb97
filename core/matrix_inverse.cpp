// Gauss-Jordan inverse on [M | I] without row swaps: a small pivot is mended
// by adding the rows below it. Intermediates are doubles.
#include "core/matrix.h"

#include <cmath>

static const double PivotEpsilon = 0.00001;

template <int N> static void InvertInPlace(double (&a)[N][2 * N]) {
    for (int k = 0; k < N; k++) {
        for (int r = k + 1; r < N && std::fabs(a[k][k]) < PivotEpsilon; r++) {
            for (int j = 0; j < 2 * N; j++) {
                a[k][j] += a[r][j];
            }
        }
        double inv = 1.0 / a[k][k];
        for (int j = 0; j < 2 * N; j++) {
            a[k][j] *= inv;
        }
        for (int r = k + 1; r < N; r++) {
            double f = a[r][k];
            if (std::fabs(f) > PivotEpsilon) {
                for (int j = 0; j < 2 * N; j++) {
                    a[r][j] -= f * a[k][j];
                }
            }
        }
    }
    for (int r = 0; r < N - 1; r++) {
        for (int j = r + 1; j < N; j++) {
            double f = a[r][j];
            for (int c = 0; c < 2 * N; c++) {
                a[r][c] -= f * a[j][c];
            }
        }
    }
}

template <int N> static void Invert(float* out, const float* m) {
    double a[N][2 * N];
    for (int r = 0; r < N; r++) {
        for (int c = 0; c < N; c++) {
            a[r][c] = m[r * N + c];
            a[r][N + c] = (r == c) ? 1.0 : 0.0;
        }
    }
    InvertInPlace<N>(a);
    for (int r = 0; r < N; r++) {
        for (int c = 0; c < N; c++) {
            out[r * N + c] = static_cast<float>(a[r][N + c]);
        }
    }
}

Matrix3& Matrix3Inverse(Matrix3& out, const Matrix3& m) {
    Matrix3 t;
    Invert<3>(t.m, m.m);
    out = t;
    return out;
}

Matrix4& Matrix4Inverse(Matrix4& out, const Matrix4& m) {
    Matrix4 t;
    Invert<4>(t.m, m.m);
    out = t;
    return out;
}
