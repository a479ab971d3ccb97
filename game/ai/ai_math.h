// Small vector helpers of the team, squad and soldier AI (ground-plane work).
#ifndef GAME_AI_AI_MATH_H
#define GAME_AI_AI_MATH_H

#include <cmath>

#include "core/vector.h"

inline Vector3 AiSub(const Vector3& a, const Vector3& b) { return Vector3{a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vector3 AiAdd(const Vector3& a, const Vector3& b) { return Vector3{a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vector3 AiScale(const Vector3& a, float s) { return Vector3{a.x * s, a.y * s, a.z * s}; }
inline Vector3 AiFlat(const Vector3& a) { return Vector3{a.x, a.y, 0.0f}; }
inline float AiDistSq(const Vector3& a, const Vector3& b) { return Vector3LengthSquared(AiSub(a, b)); }
// Unit vector, or the input unchanged when it has no length.
inline Vector3 AiUnit(const Vector3& v) {
    const float length = std::sqrt(Vector3LengthSquared(v));
    return length > 1e-6f ? AiScale(v, 1.0f / length) : v;
}
inline bool AiFinite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

#endif
