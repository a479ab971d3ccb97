// Eigen-decomposition of a symmetric 3x3 matrix: Householder reduction to
// tridiagonal form, then implicit QL iterations. Doubles inside.
#include "core/matrix.h"

#include <cmath>

static const int EigenMaxIterations = 32;
static const double OffDiagonalZero = 0.00001;

// Reduces a (symmetric) to tridiagonal form: diagonal d, sub-diagonal e;
// a is replaced by the orthogonal transform.
static void Tridiagonalize(double a[3][3], double d[3], double e[3]) {
    const int n = 3;
    for (int i = n - 1; i > 0; i--) {
        int l = i - 1;
        double h = 0.0, scale = 0.0;
        if (l > 0) {
            for (int k = 0; k <= l; k++) {
                scale += std::fabs(a[i][k]);
            }
            if (scale == 0.0) {
                e[i] = a[i][l];
            } else {
                for (int k = 0; k <= l; k++) {
                    a[i][k] /= scale;
                    h += a[i][k] * a[i][k];
                }
                double f = a[i][l];
                double g = f >= 0.0 ? -std::sqrt(h) : std::sqrt(h);
                e[i] = scale * g;
                h -= f * g;
                a[i][l] = f - g;
                f = 0.0;
                for (int j = 0; j <= l; j++) {
                    a[j][i] = a[i][j] / h;
                    g = 0.0;
                    for (int k = 0; k <= j; k++) {
                        g += a[j][k] * a[i][k];
                    }
                    for (int k = j + 1; k <= l; k++) {
                        g += a[k][j] * a[i][k];
                    }
                    e[j] = g / h;
                    f += e[j] * a[i][j];
                }
                double hh = f / (h + h);
                for (int j = 0; j <= l; j++) {
                    f = a[i][j];
                    e[j] = g = e[j] - hh * f;
                    for (int k = 0; k <= j; k++) {
                        a[j][k] -= f * e[k] + g * a[i][k];
                    }
                }
            }
        } else {
            e[i] = a[i][l];
        }
        d[i] = h;
    }
    d[0] = 0.0;
    e[0] = 0.0;
    for (int i = 0; i < n; i++) {
        if (d[i] != 0.0) {
            for (int j = 0; j < i; j++) {
                double g = 0.0;
                for (int k = 0; k < i; k++) {
                    g += a[i][k] * a[k][j];
                }
                for (int k = 0; k < i; k++) {
                    a[k][j] -= g * a[k][i];
                }
            }
        }
        d[i] = a[i][i];
        a[i][i] = 1.0;
        for (int j = 0; j < i; j++) {
            a[j][i] = a[i][j] = 0.0;
        }
    }
}

// QL with implicit shifts on the tridiagonal (d, e); z collects the vectors.
static bool DiagonalizeTridiagonal(double d[3], double e[3], double z[3][3]) {
    const int n = 3;
    for (int i = 1; i < n; i++) {
        e[i - 1] = e[i];
    }
    e[n - 1] = 0.0;
    for (int l = 0; l < n; l++) {
        int iter = 0;
        int m;
        do {
            for (m = l; m < n - 1; m++) {
                if (std::fabs(e[m]) < OffDiagonalZero) {
                    break;
                }
            }
            if (m != l) {
                if (iter++ == EigenMaxIterations) {
                    return false;
                }
                double g = (d[l + 1] - d[l]) / (2.0 * e[l]);
                double r = std::hypot(g, 1.0);
                g = d[m] - d[l] + e[l] / (g + (g >= 0.0 ? std::fabs(r) : -std::fabs(r)));
                double s = 1.0, c = 1.0, p = 0.0;
                int i;
                for (i = m - 1; i >= l; i--) {
                    double f = s * e[i];
                    double b = c * e[i];
                    e[i + 1] = (r = std::hypot(f, g));
                    if (r == 0.0) {
                        d[i + 1] -= p;
                        e[m] = 0.0;
                        break;
                    }
                    s = f / r;
                    c = g / r;
                    g = d[i + 1] - p;
                    r = (d[i] - g) * s + 2.0 * c * b;
                    d[i + 1] = g + (p = s * r);
                    g = c * r - b;
                    for (int k = 0; k < n; k++) {
                        f = z[k][i + 1];
                        z[k][i + 1] = s * z[k][i] + c * f;
                        z[k][i] = c * z[k][i] - s * f;
                    }
                }
                if (r == 0.0 && i >= l) {
                    continue;
                }
                d[l] -= p;
                e[l] = g;
                e[m] = 0.0;
            }
        } while (m != l);
    }
    return true;
}

bool EigenSymmetric3(const Matrix3& m, Vector3& values, Matrix3& vectors) {
    double a[3][3], d[3], e[3];
    for (int r = 0; r < 3; r++) {
        for (int c = 0; c < 3; c++) {
            a[r][c] = m.m[r * 3 + c];
        }
    }
    Tridiagonalize(a, d, e);
    bool ok = DiagonalizeTridiagonal(d, e, a);
    values = Vector3{float(d[0]), float(d[1]), float(d[2])};
    for (int r = 0; r < 3; r++) {
        for (int c = 0; c < 3; c++) {
            vectors.m[r * 3 + c] = float(a[r][c]);
        }
    }
    return ok;
}
