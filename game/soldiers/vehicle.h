// A drivable vehicle: seats on named bones, a driver's drive direction and
// throttle, front wheels that steer at most 30 degrees off the heading, a
// body that is stepped and grounded like the others. Not a world object.
#ifndef GAME_SOLDIERS_VEHICLE_H
#define GAME_SOLDIERS_VEHICLE_H

#include <cstdint>
#include <string>
#include <vector>

#include "game/collision/collision_body.h"
#include "game/world/physics_body.h"
#include "render/model.h"

class CBattleWorld;

const float SteeringLimit = 0.5235988f;
const float ForwardSpeed = 25.0f;
const float ReverseSpeed = 15.0f;

class CVehicle {
public:
    CVehicle(CBattleWorld* world, int type);
    virtual ~CVehicle();
    CVehicle(const CVehicle&) = delete;
    CVehicle& operator=(const CVehicle&) = delete;

    virtual void Update(float dt);
    // Puts the vehicle down facing heading (horizontal) and builds its
    // transform at once.
    void Place(const Vector3& position, const Vector3& heading);
    int GetSeatCount() const { return (int)seatBones.size(); }
    // The seat bone's world position; without the bone, 1 unit above the
    // vehicle's position.
    Vector3 GetSeatPosition(int seat);
    // The driver has gone: no direction, no throttle.
    void ClearDriving();
    // Signed angle from the heading to the steering direction, negative
    // when the steering points to the right (+y of a vehicle facing +x).
    float GetSteeringAngle() const;

    void Steer(float dt);

    CModel model;
    CCollisionBody collision;
    uint16_t teamBits;   // one bit per team that has seen the vehicle
    int type;
    VehicleBody body;    // position and heading
    Vector3 velocity;    // this step's displacement over dt
    Vector3 steering;
    CBattleWorld* world;
    Vector3 driveInput;
    float throttle;
    std::vector<std::string> seatBones;   // seat 0 is the driver's

private:
    void UpdateTransform();
    void TurnWheels();

    bool placed;
    float wheelRoll;   // radians the rear wheels have turned
    Vector3 lastPosition;
    Vector3 lastHeading;
};

#endif
