#include "game/ai/perception.h"

bool CanSeePoint(const Vector3& position, const Vector3& facing, const Vector3& point) {
    Vector3 d;
    Vector3Subtract(d, point, position);
    const float ahead = Vector3Dot(d, facing);
    if (ahead < 0.0f || Vector3LengthSquared(d) > 10000.0f) return false;
    // |sideways| < tan(60 degrees) * ahead
    const float side = d.y * -facing.x + d.x * facing.y;
    return (side < 0.0f ? -side : side) < 1.73205f * ahead;
}

bool WithinFacing(const Vector3& position, const Vector3& facing, const Vector3& point) {
    Vector3 d;
    Vector3Subtract(d, point, position);
    const float length = Vector3Length(d);
    return length > 0.0f && Vector3Dot(d, facing) > 0.75f * length;
}
