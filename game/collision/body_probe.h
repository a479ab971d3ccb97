// A probe through a collision body: a ray (unbounded) or a segment, tested
// against the body's sphere, its parts' spheres and boxes, then the
// triangles of the box-tree leaves it reaches. Shared by the projectile
// sweep and the world queries.
#ifndef GAME_COLLISION_BODY_PROBE_H
#define GAME_COLLISION_BODY_PROBE_H

#include "core/geometry.h"
#include "game/collision/collision_contact.h"

class CCollisionBody;
class CCollisionInstance;

// Culling shapes are widened a little so that a triangle on a box's face is
// never culled by rounding.
const float CullSlack = 0.0001f;

// What a probe stops at.
enum ProbePrecision {
    PROBE_SPHERES = 1,     // the parts' spheres
    PROBE_BOXES = 2,       // the parts' root boxes
    PROBE_TRIANGLES = 3    // the triangles
};

struct BodyProbe {
    Vector3 origin;
    Vector3 direction;   // unit
    float length;        // a ray's is unbounded
    int precision;
    bool skipBackFaces;
};

BodyProbe MakeSegmentProbe(const Vector3& p0, const Vector3& p1);
BodyProbe MakeRayProbe(const Ray& ray, int precision, bool skipBackFaces);

// Distance along the probe to the sphere (0 when the origin is inside);
// false when the probe misses it within its length.
bool ProbeSphere(const BodyProbe& probe, const Sphere& sphere, float& outDistance);
// A cheap first test for a segment probe, given its middle and half its
// length: false only when ProbeSphere would miss the sphere (values that do
// not compare pass).
inline bool SegmentMayReachSphere(const Vector3& middle, float halfLength, const Sphere& sphere) {
    const float dx = middle.x - sphere.centre.x, dy = middle.y - sphere.centre.y, dz = middle.z - sphere.centre.z;
    // ProbeSphere's slack radius, and a little more for rounding.
    const float radius = sphere.radius * (1.0f + CullSlack) + CullSlack;
    const float reach = ((radius < 0.0f ? -radius : radius) + halfLength) * 1.001f + 0.001f;
    return !(dx * dx + dy * dy + dz * dz > reach * reach);
}
// The same for an oriented box.
bool ProbeBox(const BodyProbe& probe, const OrientedBox& box, float& outDistance);

// The nearest triangle hit on one instance (its transform already set).
bool ProbeInstance(const BodyProbe& probe, CCollisionInstance& instance, float& outDistance,
                   Vector3& outPoint, Vector3& outNormal);
// The nearest hit on the body; the contact's distanceSquared is measured
// from the probe's origin. The body's part transforms are refreshed first.
bool ProbeBody(CCollisionBody& body, const BodyProbe& probe, CollisionContact& out);

#endif
