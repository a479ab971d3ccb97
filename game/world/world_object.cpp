// The default bodies of the world-object operations.
#include "game/world/world_object.h"

#include <cmath>

namespace {

const Vector3 NoVector;

} // namespace

CWorldObject::CWorldObject() {
    Matrix4Identity(transform);
}

CWorldObject::~CWorldObject() {}

const Vector3& CWorldObject::GetPosition() const {
    return NoVector;
}

void CWorldObject::SetPosition(const Vector3&) {}

void CWorldObject::Move(const Vector3& delta) {
    Vector3 to;
    SetPosition(Vector3Add(to, GetPosition(), delta));
}

void CWorldObject::SetTransform(const Matrix4&) {}

const Vector3& CWorldObject::GetVelocity() const {
    return NoVector;
}

void CWorldObject::SetVelocity(const Vector3&) {}

void CWorldObject::SetHeading(float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    const Vector3& p = GetPosition();
    Matrix4 m{{c, s, 0, p.x, -s, c, 0, p.y, 0, 0, 1, p.z, 0, 0, 0, 1}};
    SetTransform(m);
}
