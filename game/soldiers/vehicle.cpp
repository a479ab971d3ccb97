#include "game/soldiers/vehicle.h"

#include <cmath>

#include "game/stats.h"
#include "game/weapons/battle_world.h"
#include "game/weapons/item_model.h"
#include "render/node.h"

static const float WheelRadius = 0.4f;

static bool Finite(const Vector3& v) {
    return std::fabs(v.x) <= 1e8f && std::fabs(v.y) <= 1e8f && std::fabs(v.z) <= 1e8f;
}

// v turned about z by angle.
static Vector3 RotateZ(const Vector3& v, float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    return Vector3{v.x * c - v.y * s, v.x * s + v.y * c, v.z};
}

// current turns toward goal at rate over time; stays unit and horizontal.
static void TurnFlat(Vector3& current, const Vector3& goal, float time, float rate) {
    Matrix4 turn;
    Matrix4TurnToward(goal, current, turn, time, rate);
    Vector3 turned;
    Matrix4TransformPoint(turned, turn, current);
    turned.z = 0.0f;
    if (Vector3Length(turned) >= 1e-5f && Finite(turned))
        Vector3Normalize(current, turned);
}

CVehicle::CVehicle(CBattleWorld* owner, int vehicleType)
    : teamBits(0), type(vehicleType), steering{1.0f, 0.0f, 0.0f}, world(owner), throttle(0.0f),
      placed(false), wheelRoll(0.0f) {
    const VehicleType& t = GetVehicleType(type);
    seatBones = t.seatBones;
    body.heading = Vector3{1.0f, 0.0f, 0.0f};
    if (LoadObjectModel(model, t.model))
        AttachBodyToModel(collision, model);
}

CVehicle::~CVehicle() {
    collision.Release();
    model.DropRecord();
}

void CVehicle::Place(const Vector3& position, const Vector3& heading) {
    body.position = position;
    Vector3 flat{heading.x, heading.y, 0.0f};
    if (Vector3Length(flat) >= 1e-5f)
        Vector3Normalize(body.heading, flat);
    steering = body.heading;
    UpdateTransform();
}

Vector3 CVehicle::GetSeatPosition(int seat) {
    if (seat >= 0 && seat < (int)seatBones.size() && model.GetRoot()) {
        if (CNode* node = model.FindNode(seatBones[seat]))
            return NodeTranslation(node);
    }
    return Vector3{body.position.x, body.position.y, body.position.z + 1.0f};
}

void CVehicle::ClearDriving() {
    driveInput = Vector3{};
    throttle = 0.0f;
}

float CVehicle::GetSteeringAngle() const {
    float c = Vector3Dot(body.heading, steering);
    float angle = std::acos(c < -1.0f ? -1.0f : (c > 1.0f ? 1.0f : c));
    float side = body.heading.x * steering.y - body.heading.y * steering.x;
    return side > 0.0f ? -angle : angle;
}

void CVehicle::Steer(float dt) {
    Vector3 goal{driveInput.x, driveInput.y, 0.0f};
    // No wish, no turn: a zero direction would read as azimuth 90 degrees.
    if (Vector3Length(goal) < 1e-5f)
        return;
    Vector3NormalizeInPlace(goal);
    TurnFlat(steering, goal, dt, 3.0f);
    float angle = std::fabs(GetSteeringAngle());
    if (angle > SteeringLimit && angle >= 0.001f) {
        float side = body.heading.x * steering.y - body.heading.y * steering.x;
        steering = RotateZ(body.heading, side > 0.0f ? SteeringLimit : -SteeringLimit);
    }
}

void CVehicle::Update(float dt) {
    Vector3 start = body.position;
    Steer(dt);
    if (throttle > 0.0f) {
        Vector3MultiplyAdd(body.position, body.position, steering, throttle * dt * ForwardSpeed);
        TurnFlat(body.heading, steering, dt * 0.5f, 3.0f);
    } else if (throttle < 0.0f) {
        // Backing up swings the nose away from the wheels: the steering
        // mirrored about the heading.
        float along = Vector3Dot(body.heading, steering);
        Vector3 reverse = body.heading;
        if (std::fabs(along) >= 0.05f) {
            Vector3Scale(reverse, body.heading, 2.0f * along);
            Vector3Subtract(reverse, reverse, steering);
            Vector3NormalizeInPlace(reverse);
        }
        Vector3MultiplyAdd(body.position, body.position, reverse, throttle * dt * ReverseSpeed);
        TurnFlat(body.heading, reverse, dt * 0.5f, 3.0f);
    }
    if (world)
        MoveAndCollideVehicle(body, *world, this, dt);
    if (dt > 0.0f) {
        Vector3Subtract(velocity, body.position, start);
        Vector3Scale(velocity, velocity, 1.0f / dt);
    }
    bool moved = !placed || Vector3Distance(body.position, lastPosition) > 0.0f ||
                 Vector3Distance(body.heading, lastHeading) > 0.0f;
    if (moved && Finite(velocity) && Finite(body.position)) {
        Vector3 rolled;
        Vector3Subtract(rolled, body.position, lastPosition);
        if (placed)
            wheelRoll += Vector3Dot(rolled, body.heading) / WheelRadius;
        UpdateTransform();
    }
    TurnWheels();
}

void CVehicle::UpdateTransform() {
    Matrix4 m;
    BuildObjectTransform(m, body.heading, body.position);
    Matrix3 heading, tilted;
    Matrix3FromMatrix4(heading, m);
    Matrix3Multiply(tilted, body.tilt, heading);
    Matrix4FromMatrix3(m, tilted);
    m.m[3] = body.position.x;
    m.m[7] = body.position.y;
    m.m[11] = body.position.z;
    if (CNode* root = model.GetRoot())
        root->SetMatrix(m);
    collision.Update();
    placed = true;
    lastPosition = body.position;
    lastHeading = body.heading;
}

void CVehicle::TurnWheels() {
    if (!model.GetRoot())
        return;
    Matrix3 roll, steer, front;
    Matrix3RotationAxis(roll, Vector3{0.0f, 1.0f, 0.0f}, wheelRoll);
    CNode* frontRight = model.FindNode("Bone_F_R_Wheel_2");
    CNode* frontLeft = model.FindNode("Bone_F_L_Wheel_2");
    if (frontRight && frontLeft) {
        Matrix3RotationAxis(steer, Vector3{0.0f, 0.0f, 1.0f}, -GetSteeringAngle());
        Matrix3Multiply(front, steer, roll);
        frontRight->SetRotation(front, false);
        frontLeft->SetRotation(front, false);
    }
    CNode* rearRight = model.FindNode("Bone_B_R_Wheel_2");
    CNode* rearLeft = model.FindNode("Bone_B_L_Wheel_2");
    if (rearRight && rearLeft) {
        rearRight->SetRotation(roll, false);
        rearLeft->SetRotation(roll, false);
    }
}
