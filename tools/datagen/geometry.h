#ifndef DATAGEN_GEOMETRY_H
#define DATAGEN_GEOMETRY_H

#include <cmath>

// Small maths for building models and clips. The world is z-up; a model faces +x
// and its right side is +y (the game's view puts +y to the right of +x).
struct Vec3 {
  float x = 0, y = 0, z = 0;
  Vec3() = default;
  Vec3(float ax, float ay, float az) : x(ax), y(ay), z(az) {}
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return Vec3(a.x + b.x, a.y + b.y, a.z + b.z); }
inline Vec3 operator-(Vec3 a, Vec3 b) { return Vec3(a.x - b.x, a.y - b.y, a.z - b.z); }
inline Vec3 operator*(Vec3 a, float s) { return Vec3(a.x * s, a.y * s, a.z * s); }
inline Vec3 operator-(Vec3 a) { return Vec3(-a.x, -a.y, -a.z); }
inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(Vec3 a, Vec3 b) {
  return Vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
inline float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
inline Vec3 Normalize(Vec3 a) {
  float l = Length(a);
  return l > 1e-12f ? a * (1.0f / l) : Vec3(0, 0, 1);
}

// Rotation quaternion (w, x, y, z), the order the clip files store.
struct Quat {
  float w = 1, x = 0, y = 0, z = 0;
  Quat() = default;
  Quat(float aw, float ax, float ay, float az) : w(aw), x(ax), y(ay), z(az) {}
};

inline Quat operator*(Quat a, Quat b) {
  return Quat(a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z,
              a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
              a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
              a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w);
}

inline Quat Conjugate(Quat q) { return Quat(q.w, -q.x, -q.y, -q.z); }

inline Quat QuatNormalize(Quat q) {
  float l = std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
  return Quat(q.w / l, q.x / l, q.y / l, q.z / l);
}

// Counter-clockwise about the axis seen from its tip (the game's axis rotation).
inline Quat AxisAngle(Vec3 axis, float angle) {
  Vec3 a = Normalize(axis);
  float s = std::sin(angle * 0.5f);
  return Quat(std::cos(angle * 0.5f), a.x * s, a.y * s, a.z * s);
}

inline Vec3 Rotate(Quat q, Vec3 v) {
  Quat r = q * Quat(0, v.x, v.y, v.z) * Conjugate(q);
  return Vec3(r.x, r.y, r.z);
}

// Shortest rotation that turns unit vector a onto unit vector b.
inline Quat RotationBetween(Vec3 a, Vec3 b) {
  float d = Dot(a, b);
  if (d < -0.99999f) {
    Vec3 axis = Cross(a, Vec3(1, 0, 0));
    if (Length(axis) < 1e-4f) axis = Cross(a, Vec3(0, 1, 0));
    return AxisAngle(axis, 3.14159265f);
  }
  Vec3 c = Cross(a, b);
  return QuatNormalize(Quat(1.0f + d, c.x, c.y, c.z));
}

// 3x3 rotation, row-major, applied as M * v.
struct Mat3 {
  float m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
};

inline Mat3 MatrixFromQuat(Quat q) {
  Mat3 r;
  float w = q.w, x = q.x, y = q.y, z = q.z;
  r.m[0] = 1 - 2 * y * y - 2 * z * z; r.m[1] = 2 * x * y - 2 * w * z; r.m[2] = 2 * x * z + 2 * w * y;
  r.m[3] = 2 * x * y + 2 * w * z; r.m[4] = 1 - 2 * x * x - 2 * z * z; r.m[5] = 2 * y * z - 2 * w * x;
  r.m[6] = 2 * x * z - 2 * w * y; r.m[7] = 2 * y * z + 2 * w * x; r.m[8] = 1 - 2 * x * x - 2 * y * y;
  return r;
}

inline Vec3 Transform(const Mat3& r, Vec3 v) {
  return Vec3(r.m[0] * v.x + r.m[1] * v.y + r.m[2] * v.z,
              r.m[3] * v.x + r.m[4] * v.y + r.m[5] * v.z,
              r.m[6] * v.x + r.m[7] * v.y + r.m[8] * v.z);
}

const float Pi = 3.14159265f;

#endif
