#include "core/vector.h"

#include <cmath>

float Vector3Distance(const Vector3& a, const Vector3& b) {
    Vector3 d;
    return Vector3Length(Vector3Subtract(d, a, b));
}

Vector3& Vector3Add(Vector3& out, const Vector3& a, const Vector3& b) {
    out = Vector3{a.x + b.x, a.y + b.y, a.z + b.z};
    return out;
}

Vector3& Vector3Subtract(Vector3& out, const Vector3& a, const Vector3& b) {
    out = Vector3{a.x - b.x, a.y - b.y, a.z - b.z};
    return out;
}

Vector3& Vector3Normalize(Vector3& out, const Vector3& v) {
    float inv = 1.0f / std::sqrt(Vector3Dot(v, v));
    out = Vector3{v.x * inv, v.y * inv, v.z * inv};
    return out;
}

Vector3& Vector3NormalizeInPlace(Vector3& v) {
    return Vector3Normalize(v, v);
}

float Vector3AngleBetween(const Vector3& a, const Vector3& b) {
    float la = Vector3Length(a);
    float lb = Vector3Length(b);
    if (la == 0.0f || lb == 0.0f) {
        return 0.0f;
    }
    float c = Vector3Dot(a, b) / (la * lb);
    if (c > 1.0f) {
        c = 1.0f;
    } else if (c < -1.0f) {
        c = -1.0f;
    }
    return std::acos(c);
}

Vector3& Vector3Reflect(Vector3& out, const Vector3& v, const Vector3& n) {
    float d = 2.0f * Vector3Dot(n, v);
    out = Vector3{d * n.x - v.x, d * n.y - v.y, d * n.z - v.z};
    return out;
}

Vector4& ReflectVector4(Vector4& out, const Vector4& a, const Vector4& b) {
    float d = 2.0f * Vector4Dot(a, b);
    out = Vector4{d * a.x - b.x, d * a.y - b.y, d * a.z - b.z, d * a.w - b.w};
    return out;
}

float Vector2Cross(const Vector2& a, const Vector2& b) {
    return a.x * b.y - a.y * b.x;
}

// Mesh files can carry colours outside 0..1 (for example 0..255); clamping
// keeps one channel from spilling into the next, and NaN packs as 0.
static uint32_t ColourByte(float c) {
    if (!(c > 0.0f)) {
        return 0;
    }
    if (c > 1.0f) {
        c = 1.0f;
    }
    return static_cast<uint32_t>(c * 255.0f) & 0xFFu;
}

uint32_t PackColour(float r, float g, float b, float a) {
    return ColourByte(r) | (ColourByte(g) << 8) | (ColourByte(b) << 16) | (ColourByte(a) << 24);
}

Vector4& PlaneNormalize(Vector4& plane) {
    float inv = 1.0f / std::sqrt(plane.x * plane.x + plane.y * plane.y + plane.z * plane.z);
    plane = Vector4{plane.x * inv, plane.y * inv, plane.z * inv, plane.w * inv};
    return plane;
}
