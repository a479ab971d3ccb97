#include "core/quaternion.h"

#include <cmath>

Quaternion& QuaternionCopy(Quaternion& out, const Quaternion& q) {
    out = q;
    return out;
}

Quaternion& QuaternionNormalize(Quaternion& out, const Quaternion& q) {
    float inv = 1.0f / std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
    out = Quaternion{q.w * inv, q.x * inv, q.y * inv, q.z * inv};
    return out;
}

Quaternion& QuaternionInverse(Quaternion& out, const Quaternion& q) {
    float inv = 1.0f / (q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
    out = Quaternion{q.w * inv, -q.x * inv, -q.y * inv, -q.z * inv};
    return out;
}

Quaternion& QuaternionMultiply(Quaternion& out, const Quaternion& a, const Quaternion& b) {
    Quaternion t;
    t.w = a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z;
    t.x = a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y;
    t.y = a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x;
    t.z = a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w;
    out = t;
    return out;
}

Vector3& QuaternionToAxisAngle(const Quaternion& q, Vector3& out) {
    float len = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
    if (len < 0.00001f) {
        out = Vector3{0.0f, 0.0f, 0.0f};
        return out;
    }
    float w = q.w > 1.0f ? 1.0f : (q.w < -1.0f ? -1.0f : q.w);
    float s = std::acos(w) / len;
    out = Vector3{q.x * s, q.y * s, q.z * s};
    return out;
}

Quaternion& QuaternionFromRotationVector(const Vector3& v, Quaternion& out) {
    float a = Vector3Length(v);
    if (a == 0.0f) {
        out = Quaternion{1.0f, 0.0f, 0.0f, 0.0f};
        return out;
    }
    float s = std::sin(a) / a;
    out = Quaternion{std::cos(a), v.x * s, v.y * s, v.z * s};
    return out;
}

// m_ij = e[i * stride + j]. The matrix forms differ only in how exact ties
// between diagonal elements choose the branch.
static Quaternion FromRotation(const float* e, int stride, bool strictTies) {
    auto at = [e, stride](int i, int j) { return e[i * stride + j]; };
    float m00 = at(0, 0), m11 = at(1, 1), m22 = at(2, 2);
    Quaternion q;
    float s = m00 + m11 + m22 + 1.0f;
    if (s > 0.00001f) {
        q.w = std::sqrt(s) * 0.5f;
        float f = 1.0f / (4.0f * q.w);
        q.x = (at(2, 1) - at(1, 2)) * f;
        q.y = (at(0, 2) - at(2, 0)) * f;
        q.z = (at(1, 0) - at(0, 1)) * f;
        return q;
    }
    bool yBranch = strictTies ? (m11 > m22 && m11 > m00) : (m11 >= m22 && m11 >= m00);
    bool zBranch = strictTies ? (m00 < m22 && m11 < m22) : (m00 <= m22 && m11 <= m22);
    if (yBranch) {
        float r = std::sqrt(m11 + 1.0f - m00 - m22);
        float f = 0.5f / r;
        q.y = r * 0.5f;
        q.w = (at(0, 2) - at(2, 0)) * f;
        q.x = (at(0, 1) + at(1, 0)) * f;
        q.z = (at(2, 1) + at(1, 2)) * f;
    } else if (zBranch) {
        float r = std::sqrt(m22 + 1.0f - m00 - m11);
        float f = 0.5f / r;
        q.z = r * 0.5f;
        q.w = (at(1, 0) - at(0, 1)) * f;
        q.x = (at(0, 2) + at(2, 0)) * f;
        q.y = (at(2, 1) + at(1, 2)) * f;
    } else {
        float r = std::sqrt(m00 + 1.0f - m11 - m22);
        float f = 0.5f / r;
        q.x = r * 0.5f;
        q.w = (at(2, 1) - at(1, 2)) * f;
        q.y = (at(0, 1) + at(1, 0)) * f;
        q.z = (at(0, 2) + at(2, 0)) * f;
    }
    return q;
}

Quaternion& QuaternionFromMatrix3(Quaternion& out, const Matrix3& m) {
    out = FromRotation(m.m, 3, false);
    return out;
}

Quaternion& QuaternionFromMatrix4(Quaternion& out, const Matrix4& m) {
    out = FromRotation(m.m, 4, true);
    return out;
}

Vector3 QuaternionInterpolationArc(const Quaternion& from, const Quaternion& to) {
    Quaternion inv, rel;
    QuaternionInverse(inv, from);
    QuaternionMultiply(rel, to, inv);
    Vector3 v;
    QuaternionToAxisAngle(rel, v);
    return v;
}

Quaternion& QuaternionInterpolateArc(Quaternion& out, const Quaternion& from, const Vector3& arc,
                                     float t) {
    Quaternion step;
    Vector3 v;
    Vector3Scale(v, arc, t);
    QuaternionFromRotationVector(v, step);
    QuaternionMultiply(step, step, from);
    return QuaternionNormalize(out, step);
}

Quaternion& QuaternionInterpolate(Quaternion& out, const Quaternion& from, const Quaternion& to,
                                  float t) {
    return QuaternionInterpolateArc(out, from, QuaternionInterpolationArc(from, to), t);
}

Quaternion& QuaternionInterpolateShortest(Quaternion& out, const Quaternion& from,
                                          const Quaternion& to, float t) {
    Quaternion start = from;
    if (start.w * to.w + start.x * to.x + start.y * to.y + start.z * to.z < 0.0f) {
        start = Quaternion{-start.w, -start.x, -start.y, -start.z};
    }
    return QuaternionInterpolate(out, start, to, t);
}
