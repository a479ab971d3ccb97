// Float vectors. The world is z-up (the ground is the x-y plane, gravity
// points along -z); angles are radians.
//
// Operations are free functions that take the output first, compute into a
// temporary and return the output, so the output may alias an input.
#ifndef CORE_VECTOR_H
#define CORE_VECTOR_H

#include <cmath>
#include <cstdint>

struct Vector2 {
    float x = 0.0f, y = 0.0f;
};

struct Vector3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

// Colours (r, g, b, a), homogeneous points, and planes: normal (x, y, z) and
// the distance w of the plane n.p + w = 0.
struct Vector4 {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
};

static_assert(sizeof(Vector3) == 12, "Vector3 is three packed floats");
static_assert(sizeof(Vector4) == 16, "Vector4 is four packed floats");

// Small helpers used throughout the maths.
inline float Vector3Dot(const Vector3& a, const Vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline float Vector4Dot(const Vector4& a, const Vector4& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
}
// Inline: the animation and steering maths call it in their inner loops.
inline float Vector3Length(const Vector3& v) {
    return std::sqrt(Vector3Dot(v, v));
}
inline float Vector3LengthSquared(const Vector3& v) {
    return Vector3Dot(v, v);
}
inline Vector3& Vector3Scale(Vector3& out, const Vector3& v, float s) {
    out = Vector3{v.x * s, v.y * s, v.z * s};
    return out;
}
// out = a + b * s
inline Vector3& Vector3MultiplyAdd(Vector3& out, const Vector3& a, const Vector3& b, float s) {
    out = Vector3{a.x + b.x * s, a.y + b.y * s, a.z + b.z * s};
    return out;
}
inline Vector3& Vector3Cross(Vector3& out, const Vector3& a, const Vector3& b) {
    out = Vector3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    return out;
}
float Vector3Distance(const Vector3& a, const Vector3& b);

Vector3& Vector3Add(Vector3& out, const Vector3& a, const Vector3& b);
Vector3& Vector3Subtract(Vector3& out, const Vector3& a, const Vector3& b);
// No test for a zero vector: the result is then not finite. Callers that can
// pass a zero vector guard it themselves.
Vector3& Vector3Normalize(Vector3& out, const Vector3& v);
Vector3& Vector3NormalizeInPlace(Vector3& v);
// 0 when either vector has length 0; the cosine is clamped to [-1, 1].
float Vector3AngleBetween(const Vector3& a, const Vector3& b);
// 2 (n.v) n - v: the mirror image of v about the axis n (n unit length).
// This is the negative of a bounce off a surface with normal n.
Vector3& Vector3Reflect(Vector3& out, const Vector3& v, const Vector3& n);
// 2 (a.b) a - b with the four-component dot product.
Vector4& ReflectVector4(Vector4& out, const Vector4& a, const Vector4& b);
float Vector2Cross(const Vector2& a, const Vector2& b);

// Packed colour: red in bits 0-7, green 8-15, blue 16-23, alpha 24-31; each
// component (0..1) times 255, truncated.
uint32_t PackColour(float r, float g, float b, float a);

// Divides the plane's normal and distance by the normal's length, in place.
Vector4& PlaneNormalize(Vector4& plane);

#endif
