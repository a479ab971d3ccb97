// Body motion: the simple step of objects that move under physics (dropped
// items, props, scrap, soldiers, vehicles) and the two vertical ray probes
// that put them on the ground.
#ifndef GAME_WORLD_PHYSICS_BODY_H
#define GAME_WORLD_PHYSICS_BODY_H

#include <cstdint>
#include <vector>

#include "core/matrix.h"
#include "core/vector.h"

class CWorldAccess;

const float Gravity = 9.8f;
// A body whose ground lies further below than this is airborne.
const float AirborneHeight = 100.0f;
// With no ground above or below, a body stops falling here.
const float FallFloor = -10000.0f;

struct TimedForce {
    Vector3 force;
    float time = 0.0f;   // seconds left
};

// Item and prop form (also scrap).
struct PhysicsBody {
    PhysicsBody();

    Vector3 position;
    Vector3 direction;   // (1, 0, 0) at construction
    Vector3 velocity;
    float mass;          // the step ignores forces unless above 0
    float gravity;       // gravity factor, 1 at construction
    uint8_t resting;
    std::vector<Vector3> impulses;   // each used once
    std::vector<TimedForce> forces;
    Vector3 groundNormal;   // (0, 0, 1) until grounded
    Matrix3 tilt;           // the ground tilt of a resting prop; identity until then

    void AddImpulse(const Vector3& impulse) { impulses.push_back(impulse); }
    void AddForce(const Vector3& force, float time);
    // The sum of the impulses and timed forces; empties the impulses and
    // drops forces whose time fell below 0 (they still count this once).
    Vector3 TakeForces(float dt);
    // Forces, gravity unless resting, then position += velocity x dt.
    void Step(float dt);
};

struct SoldierBody : PhysicsBody {
    SoldierBody();

    Vector3 moveDirection;   // unit, the soldier's direction of motion
    uint8_t grounded;

    // Forces; gravity only while not grounded; while grounded the velocity
    // follows the slope along the direction of motion.
    void Step(float dt);
};

struct VehicleBody {
    VehicleBody();

    Vector3 position;
    Vector3 heading;     // unit
    float speed;
    float verticalSpeed;
    float mass;
    float gravity;
    uint8_t grounded;
    std::vector<Vector3> impulses;
    std::vector<TimedForce> forces;
    Vector3 groundNormal;
    Matrix3 tilt;        // the ground tilt, renewed whenever grounded

    void Step(float dt);
};

// The rotation that turns (0, 0, 1) onto the ground normal about its
// horizontal perpendicular; identity on flat ground (no defined axis).
Matrix3& GroundTilt(Matrix3& out, const Vector3& normal);

// Step and ground. excluded is the moving object's own identity (see
// WorldQuery), never hit by its own probes. Grounding looks at the terrain,
// props and vehicles.
void MoveAndCollideItem(PhysicsBody& body, CWorldAccess& world, const void* excluded, float dt);
void MoveAndCollideProp(PhysicsBody& body, CWorldAccess& world, const void* excluded, float dt);
void MoveAndCollideSoldier(SoldierBody& body, CWorldAccess& world, const void* excluded, float dt);
void MoveAndCollideVehicle(VehicleBody& body, CWorldAccess& world, const void* excluded, float dt);

#endif
