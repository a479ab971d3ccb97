#include "core/matrix.h"

#include <cmath>

// Row-major n x n products and transposes into a temporary, so the output
// may alias an input.
template <int N> static void Multiply(float* out, const float* a, const float* b) {
    float t[N * N];
    for (int r = 0; r < N; r++) {
        for (int c = 0; c < N; c++) {
            float sum = 0.0f;
            for (int k = 0; k < N; k++) {
                sum += a[r * N + k] * b[k * N + c];
            }
            t[r * N + c] = sum;
        }
    }
    for (int i = 0; i < N * N; i++) {
        out[i] = t[i];
    }
}

template <int N> static void Transpose(float* out, const float* m) {
    float t[N * N];
    for (int r = 0; r < N; r++) {
        for (int c = 0; c < N; c++) {
            t[r * N + c] = m[c * N + r];
        }
    }
    for (int i = 0; i < N * N; i++) {
        out[i] = t[i];
    }
}

Matrix3& Matrix3Identity(Matrix3& m) {
    m = Matrix3{{1, 0, 0, 0, 1, 0, 0, 0, 1}};
    return m;
}

Matrix3& Matrix3Copy(Matrix3& out, const Matrix3& m) {
    out = m;
    return out;
}

Matrix3& Matrix3Transpose(Matrix3& out, const Matrix3& m) {
    Transpose<3>(out.m, m.m);
    return out;
}

Matrix3& Matrix3Multiply(Matrix3& out, const Matrix3& a, const Matrix3& b) {
    Multiply<3>(out.m, a.m, b.m);
    return out;
}

Vector3& Matrix3TransformVector3(Vector3& out, const Matrix3& m, const Vector3& v) {
    const float* e = m.m;
    out = Vector3{e[0] * v.x + e[1] * v.y + e[2] * v.z, e[3] * v.x + e[4] * v.y + e[5] * v.z,
                  e[6] * v.x + e[7] * v.y + e[8] * v.z};
    return out;
}

float Matrix3Determinant(const Matrix3& m) {
    const float* e = m.m;
    return e[0] * (e[4] * e[8] - e[5] * e[7]) - e[1] * (e[3] * e[8] - e[5] * e[6]) +
           e[2] * (e[3] * e[7] - e[4] * e[6]);
}

Matrix3& Matrix3RotationAxis(Matrix3& out, const Vector3& axis, float angle) {
    Vector3 a;
    Vector3Normalize(a, axis);
    float c = std::cos(angle);
    float s = std::sin(angle);
    float t = 1.0f - c;
    out = Matrix3{{a.x * a.x * t + c, a.x * a.y * t - a.z * s, a.x * a.z * t + a.y * s,
                   a.x * a.y * t + a.z * s, a.y * a.y * t + c, a.y * a.z * t - a.x * s,
                   a.x * a.z * t - a.y * s, a.y * a.z * t + a.x * s, a.z * a.z * t + c}};
    return out;
}

Matrix3& Matrix3RotationY(Matrix3& out, float angle) {
    float c = std::cos(angle);
    float s = std::sin(angle);
    out = Matrix3{{c, 0, -s, 0, 1, 0, s, 0, c}};
    return out;
}

Matrix3& Matrix3FromMatrix4(Matrix3& out, const Matrix4& m) {
    const float* e = m.m;
    out = Matrix3{{e[0], e[1], e[2], e[4], e[5], e[6], e[8], e[9], e[10]}};
    return out;
}

Matrix4& Matrix4Identity(Matrix4& m) {
    m = Matrix4{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
    return m;
}

Matrix4& Matrix4Copy(Matrix4& out, const Matrix4& m) {
    out = m;
    return out;
}

Matrix4& Matrix4FromMatrix3(Matrix4& out, const Matrix3& m) {
    const float* e = m.m;
    out = Matrix4{{e[0], e[1], e[2], 0, e[3], e[4], e[5], 0, e[6], e[7], e[8], 0, 0, 0, 0, 1}};
    return out;
}

Vector3& Matrix4GetTranslation(Vector3& out, const Matrix4& m) {
    out = Vector3{m.m[3], m.m[7], m.m[11]};
    return out;
}

Matrix4& Matrix4Multiply(Matrix4& out, const Matrix4& a, const Matrix4& b) {
    Multiply<4>(out.m, a.m, b.m);
    return out;
}

Vector3& Matrix4TransformPoint(Vector3& out, const Matrix4& m, const Vector3& p) {
    const float* e = m.m;
    out = Vector3{e[0] * p.x + e[1] * p.y + e[2] * p.z + e[3],
                  e[4] * p.x + e[5] * p.y + e[6] * p.z + e[7],
                  e[8] * p.x + e[9] * p.y + e[10] * p.z + e[11]};
    return out;
}

Vector4& Matrix4TransformVector4(Vector4& out, const Matrix4& m, const Vector4& v) {
    const float* e = m.m;
    out = Vector4{e[0] * v.x + e[1] * v.y + e[2] * v.z + e[3] * v.w,
                  e[4] * v.x + e[5] * v.y + e[6] * v.z + e[7] * v.w,
                  e[8] * v.x + e[9] * v.y + e[10] * v.z + e[11] * v.w,
                  e[12] * v.x + e[13] * v.y + e[14] * v.z + e[15] * v.w};
    return out;
}

Matrix4& Matrix4Transpose(Matrix4& out, const Matrix4& m) {
    Transpose<4>(out.m, m.m);
    return out;
}

// 3x3 minor of a 4x4 matrix leaving out row 0 and column col.
static float Minor0(const float* e, int col) {
    int c[3];
    for (int i = 0, n = 0; i < 4; i++) {
        if (i != col) {
            c[n++] = i;
        }
    }
    const float *r1 = e + 4, *r2 = e + 8, *r3 = e + 12;
    return r1[c[0]] * (r2[c[1]] * r3[c[2]] - r2[c[2]] * r3[c[1]]) -
           r1[c[1]] * (r2[c[0]] * r3[c[2]] - r2[c[2]] * r3[c[0]]) +
           r1[c[2]] * (r2[c[0]] * r3[c[1]] - r2[c[1]] * r3[c[0]]);
}

float Matrix4Determinant(const Matrix4& m) {
    const float* e = m.m;
    return e[0] * Minor0(e, 0) - e[1] * Minor0(e, 1) + e[2] * Minor0(e, 2) - e[3] * Minor0(e, 3);
}
