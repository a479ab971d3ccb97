// Body steps and ground contact.
#include "game/world/physics_body.h"

#include <cmath>

#include "game/world/world_access.h"
#include "game/world/world_query.h"

namespace {

// Grounding looks at what a body can stand on.
const int GroundSets = QUERY_TERRAIN | QUERY_VEHICLES | QUERY_PROPS;
// Below this horizontal length a ground normal counts as straight up.
const float FlatGround = 0.00001f;

Vector3 SumForces(std::vector<Vector3>& impulses, std::vector<TimedForce>& forces, float dt) {
    Vector3 sum;
    for (const Vector3& f : impulses)
        Vector3Add(sum, sum, f);
    impulses.clear();
    for (size_t i = 0; i < forces.size();) {
        Vector3Add(sum, sum, forces[i].force);
        forces[i].time -= dt;
        if (forces[i].time < 0.0f)
            forces.erase(forces.begin() + (long)i);
        else
            i++;
    }
    return sum;
}

// The two vertical probes: down through the surface, then, when nothing is
// below (the body sank under it), up. The flag (resting or grounded) is set
// when the up probe finds the surface, cleared when the ground lies more
// than AirborneHeight below; while it is set the body sits on the surface.
// With neither probe hitting the body is beyond the ground and nothing is
// placed: it falls on, but never past FallFloor. Returns true when the flag
// was set by this call.
bool Ground(uint8_t& flag, Vector3& position, Vector3& groundNormal, CWorldAccess& world,
            const void* excluded) {
    bool was = flag != 0;
    CollisionContact contact;
    Ray down{position, Vector3{0, 0, -1}};
    bool downHit = WorldQuery(world, down, GroundSets, contact, excluded, 3, true);
    bool upHit = false;
    if (!downHit) {
        Ray up{position, Vector3{0, 0, 1}};
        upHit = WorldQuery(world, up, GroundSets, contact, excluded, 2, false);
    }
    if (upHit) {
        flag = 1;
    } else if (!downHit && position.z < FallFloor) {
        position.z = FallFloor;
        flag = 1;
    }
    if (downHit && position.z - contact.point.z > AirborneHeight)
        flag = 0;
    if (flag && (downHit || upHit)) {
        position = contact.point;
        groundNormal = contact.normal;
    }
    return flag && !was;
}

// Items and props: a body coming to rest keeps no speed, so nothing slides
// on along the ground or off its edge.
bool GroundBody(PhysicsBody& body, CWorldAccess& world, const void* excluded) {
    bool landed = Ground(body.resting, body.position, body.groundNormal, world, excluded);
    if (landed)
        body.velocity = Vector3();
    return landed;
}

} // namespace

PhysicsBody::PhysicsBody()
    : direction{1, 0, 0}, mass(1.0f), gravity(1.0f), resting(0), groundNormal{0, 0, 1} {
    Matrix3Identity(tilt);
}

void PhysicsBody::AddForce(const Vector3& force, float time) {
    forces.push_back(TimedForce{force, time});
}

Vector3 PhysicsBody::TakeForces(float dt) {
    return SumForces(impulses, forces, dt);
}

void PhysicsBody::Step(float dt) {
    if (!impulses.empty() || !forces.empty()) {
        Vector3 f = TakeForces(dt);
        if (mass > 0.0f)
            Vector3MultiplyAdd(velocity, velocity, f, dt / mass);
    }
    if (gravity != 0.0f && !resting)
        velocity.z -= gravity * dt * Gravity;
    Vector3MultiplyAdd(position, position, velocity, dt);
}

SoldierBody::SoldierBody() : moveDirection{1, 0, 0}, grounded(0) {}

void SoldierBody::Step(float dt) {
    if (!impulses.empty() || !forces.empty()) {
        Vector3 f = TakeForces(dt);
        if (mass > 0.0f)
            Vector3MultiplyAdd(velocity, velocity, f, dt / mass);
    }
    if (grounded)
        Vector3Scale(velocity, velocity, Vector3Dot(groundNormal, moveDirection) + 1.0f);
    else if (gravity != 0.0f)
        velocity.z -= gravity * dt * Gravity;
    Vector3MultiplyAdd(position, position, velocity, dt);
}

VehicleBody::VehicleBody()
    : heading{1, 0, 0}, speed(0.0f), verticalSpeed(0.0f), mass(1.0f), gravity(1.0f),
      grounded(0), groundNormal{0, 0, 1} {
    Matrix3Identity(tilt);
}

void VehicleBody::Step(float dt) {
    if (!impulses.empty() || !forces.empty()) {
        Vector3 f = SumForces(impulses, forces, dt);
        if (mass > 0.0f)
            speed += Vector3Dot(f, heading) / mass * dt;
    }
    if (!grounded) {
        verticalSpeed -= gravity * Gravity * dt;
        position.z += verticalSpeed * dt;
    } else {
        speed *= Vector3Dot(groundNormal, heading) + 1.0f;
    }
    Vector3MultiplyAdd(position, position, heading, speed * dt);
}

Matrix3& GroundTilt(Matrix3& out, const Vector3& normal) {
    float horizontal = std::sqrt(normal.x * normal.x + normal.y * normal.y);
    if (horizontal < FlatGround)
        return Matrix3Identity(out);
    Vector3 axis{-normal.y / horizontal, normal.x / horizontal, 0.0f};
    float angle = 1.5707964f - std::atan2(normal.z, horizontal);
    return Matrix3RotationAxis(out, axis, angle);
}

void MoveAndCollideItem(PhysicsBody& body, CWorldAccess& world, const void* excluded, float dt) {
    if (body.resting)
        return;
    body.Step(dt);
    GroundBody(body, world, excluded);
}

void MoveAndCollideProp(PhysicsBody& body, CWorldAccess& world, const void* excluded, float dt) {
    body.Step(dt);
    if (GroundBody(body, world, excluded))
        GroundTilt(body.tilt, body.groundNormal);
}

void MoveAndCollideSoldier(SoldierBody& body, CWorldAccess& world, const void* excluded,
                           float dt) {
    body.Step(dt);
    // A landing keeps no downward speed for the slope factor to multiply.
    if (Ground(body.grounded, body.position, body.groundNormal, world, excluded))
        body.velocity.z = 0.0f;
}

void MoveAndCollideVehicle(VehicleBody& body, CWorldAccess& world, const void* excluded,
                           float dt) {
    body.Step(dt);
    if (Ground(body.grounded, body.position, body.groundNormal, world, excluded))
        body.verticalSpeed = 0.0f;
    if (body.grounded)
        GroundTilt(body.tilt, body.groundNormal);
}
