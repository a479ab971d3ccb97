#include "game/soldiers/soldier.h"

#include <cmath>

#include "core/strings.h"
#include "game/soldiers/soldier_sound.h"
#include "game/soldiers/vehicle.h"
#include "game/stats.h"
#include "game/weapons/battle_world.h"
#include "game/weapons/item_model.h"
#include "render/node.h"

static const Vector3 Ahead{1.0f, 0.0f, 0.0f};

CSoldier::CSoldier(CBattleWorld* owner, int soldierType)
    : world(owner), jumpValue(2.0f), type(soldierType), team(0), currentWeapon(0), armour(0.0f),
      health(0.0f), seated(SEAT_NONE), playerControlled(0), action(ACTION_NONE), facing(Ahead),
      facingGoal(Ahead), aimDirection(Ahead), aimGoal(Ahead), aimDistance(0.0f),
      modelPath(GetSoldierType(soldierType).model), fallbackWeapon(WeaponFallback, owner, WEAPON_HELD),
      weaponInReach(nullptr), vehicleInReach(nullptr), seatInReach(0), vehicle(nullptr), seat(0),
      regenerating(false), regenerationDelay(0.0f), actionTimer(0.0f) {
    Reset();
    LoadRifleSound(RifleSoundPath);
}

CSoldier::~CSoldier() {
    collision.Release();
}

void CSoldier::Reset() {
    const SoldierType& t = GetSoldierType(type);
    health = t.health;
    armour = t.maxArmour;
    currentWeapon = 0;
    action = ACTION_NONE;
    actionTimer = 0.0f;
    regenerating = false;
    regenerationDelay = 0.0f;
    seated = SEAT_NONE;
    vehicle = nullptr;
    playerControlled = 0;
    weaponInReach = nullptr;
    vehicleInReach = nullptr;
    weapons.clear();
    weapons.emplace_back(t.weapon, world, WEAPON_HELD);
    grenades.clear();
    grenades.emplace_back(0, world, 0);
    grenades.emplace_back(0, world, 0);
    LoadTeamModel(modelPath);
    // No zero facing: the transform is built from it.
    facing = facingGoal = Ahead;
    aimDirection = aimGoal = Ahead;
    aimDistance = 0.0f;
    moveDirection = Vector3{};
    body.moveDirection = Vector3{};
}

void CSoldier::SetTeam(int newTeam) {
    team = newTeam;
    modelPath = team != 0 ? std::string(EnemyModelPath) : GetSoldierType(type).model;
    LoadTeamModel(modelPath);
}

// A new instance, the body on it and the animator bound to it, every clip
// stopped: nothing may keep writing into the old node tree.
void CSoldier::LoadTeamModel(const std::string& path) {
    collision.Release();
    LoadObjectModel(model, path);
    AttachBodyToModel(collision, model);
    bones.Renew();
    animator.StopAll();
    animator.Bind(model);
    moveAnimation.clear();
}

bool CSoldier::IsPlayer() const {
    return world && world->playerSoldier == this;
}

const Matrix4& CSoldier::GetTransform() const {
    CNode* root = model.GetRoot();
    return root ? root->GetWorldMatrix() : transform;
}

void CSoldier::SetTransform(const Matrix4& matrix) {
    transform = matrix;
    if (CNode* root = model.GetRoot())
        root->SetMatrix(matrix);
}

CWeapon& CSoldier::GetCurrentWeapon() {
    if (weapons.empty())
        return fallbackWeapon;
    if (currentWeapon < 0 || currentWeapon >= (int)weapons.size())
        currentWeapon = 0;
    return weapons[currentWeapon];
}

void CSoldier::SetFacing(const Vector3& direction, bool snap) {
    Vector3 flat{direction.x, direction.y, 0.0f};
    if (!(Vector3Length(flat) >= 1e-5f))
        return;
    Vector3Normalize(facingGoal, flat);
    if (snap)
        facing = facingGoal;
}

void CSoldier::SetAimPoint(const Vector3& direction, float distance, bool snap) {
    aimGoal = direction;
    aimDistance = distance;
    if (snap)
        aimDirection = aimGoal;
}

void CSoldier::SetDriveInput(const Vector3& input) {
    if (action == ACTION_NONE && seated == SEAT_DRIVER && vehicle)
        vehicle->driveInput = input;
}

void CSoldier::SetThrottle(float throttle) {
    if (action == ACTION_NONE && seated == SEAT_DRIVER && vehicle)
        vehicle->throttle = throttle;
}

void CSoldier::Update(float dt) {
    FindPickups();
    TurnTowardGoals(dt);
    UpdatePose();
    if (world)
        MoveAndCollideSoldier(body, *world, static_cast<CSoldierTarget*>(this), dt);
    Move(dt * 3.0f);
    for (CWeapon& w : weapons)
        w.Update(dt);
    fallbackWeapon.Update(dt);
    RegenerateArmour(dt);
    UpdateAction(dt);
    animator.Update(dt);
    if (!animator.IsPlaying("fire_mg") && !animator.IsPlaying("hold_mg"))
        animator.Play("hold_mg", 2, 1.0f, 1.0f);
    if (IsPlayer() && world) {
        world->soundBudget -= dt;
        if (world->soundBudget < 0.0f)
            world->soundBudget = 0.0f;
    }
}

void CSoldier::FindPickups() {
    weaponInReach = nullptr;
    vehicleInReach = nullptr;
    if (!world)
        return;
    const Vector3& here = GetPosition();
    for (CWeapon& dropped : world->droppedWeapons) {
        if (Vector3Distance(dropped.GetPosition(), here) >= WeaponPickupRange)
            continue;
        CWeapon* same = nullptr;
        for (CWeapon& w : weapons) {
            if (w.type == dropped.type) {
                same = &w;
                break;
            }
        }
        if (!same) {
            weaponInReach = &dropped;
            continue;
        }
        int taken = same->AddAmmo(dropped.reserve);
        int maxReserve = GetWeaponType(dropped.type).maxReserve;
        dropped.reserve -= taken;
        if (dropped.reserve > maxReserve)
            dropped.reserve = maxReserve;
        if (taken > 0)
            pickupNotices.push_back(PickupNotice{dropped.type, taken});
    }
    int taken = 0;
    for (auto it = world->droppedGrenades.begin(); it != world->droppedGrenades.end();) {
        auto next = std::next(it);
        if (Vector3Distance(it->GetPosition(), here) < GrenadePickupRange) {
            grenades.emplace_back(0, world, 0);
            taken++;
            pickupNotices.push_back(PickupNotice{it->type + 6, taken});
            world->RemoveDroppedGrenade(&*it);
        }
        it = next;
    }
    // The nearest seat: the seats of one vehicle lie close together.
    float nearest = SeatRange;
    for (CVehicle* v : world->vehicles) {
        for (int s = 0; v && s < v->GetSeatCount(); s++) {
            float d = Vector3Distance(v->GetSeatPosition(s), here);
            if (d < nearest) {
                nearest = d;
                vehicleInReach = v;
                seatInReach = s;
            }
        }
    }
}

static void TurnToward(Vector3& current, const Vector3& goal, float dt, float rate) {
    if (Vector3Length(goal) < 1e-5f)
        return;
    Matrix4 turn;
    Matrix4TurnToward(goal, current, turn, dt, rate);
    Vector3 turned;
    Matrix4TransformPoint(turned, turn, current);
    if (Vector3Length(turned) >= 1e-5f && std::isfinite(turned.x) && std::isfinite(turned.y) &&
        std::isfinite(turned.z))
        Vector3Normalize(current, turned);
}

void CSoldier::TurnTowardGoals(float dt) {
    TurnToward(aimDirection, aimGoal, dt, 3.0f);
    Vector3 before = facing;
    TurnToward(facing, facingGoal, dt, 1.0f);
    facing.z = 0.0f;
    if (Vector3Length(facing) < 1e-5f)
        facing = before;
    Vector3NormalizeInPlace(facing);
}

void CSoldier::UpdatePose() {
    Matrix4 m;
    BuildObjectTransform(m, facing, GetPosition());
    SetTransform(m);
    collision.Update();
    PlaceWeapon(GetCurrentWeapon());
}

void CSoldier::PlaceWeapon(CWeapon& weapon) {
    CNode* hand = GetBone(BONE_RIGHT_HAND);
    if (!hand)
        return;
    Vector3 handAt = NodeTranslation(hand);
    Vector3 aimPoint;
    Vector3MultiplyAdd(aimPoint, GetPosition(), aimDirection, aimDistance);
    weapon.body.position = handAt;
    Vector3 toAim;
    Vector3Subtract(toAim, aimPoint, handAt);
    if (Vector3Length(toAim) < 0.01f) {
        float up = RandUnit();
        toAim = Vector3{RandUnit() - 0.5f, RandUnit() - 0.5f, up < 0.1f ? 0.1f : up};
    }
    Vector3Normalize(weapon.body.direction, toAim);
    TurnChest(aimPoint);
}

// The chest's local rotation turns its +x toward the aim point. Without an
// aim yet (distance 0, the aim point at the feet) the chest stays as it is.
void CSoldier::TurnChest(const Vector3& aimPoint) {
    if (aimDistance < 0.01f)
        return;
    CNode* chest = GetBone(BONE_CHEST);
    if (!chest || !chest->parent)
        return;
    Vector3 toAim;
    Vector3Subtract(toAim, aimPoint, NodeTranslation(chest));
    if (Vector3Length(toAim) < 0.01f)
        return;
    Vector3NormalizeInPlace(toAim);
    Matrix3 parentRotation, inverse;
    Matrix3FromMatrix4(parentRotation, chest->parent->GetWorldMatrix());
    Matrix3Transpose(inverse, parentRotation);
    Vector3 local;
    Matrix3TransformVector3(local, inverse, toAim);
    Matrix4 turn;
    BuildObjectTransform(turn, local, Vector3{});
    Matrix3 rotation;
    Matrix3FromMatrix4(rotation, turn);
    chest->SetRotation(rotation, false);
}

void CSoldier::Move(float step) {
    if (seated != SEAT_NONE && vehicle) {
        body.position = vehicle->GetSeatPosition(seat);
        return;
    }
    if (action == ACTION_LEAVE_VEHICLE)
        return;
    Vector3MultiplyAdd(body.position, body.position, moveDirection,
                       step * GetSoldierType(type).speed);
}

void CSoldier::SelectMoveAnimation(const Vector3& move) {
    if (Vector3Length(move) < 0.00001f) {
        if (!moveAnimation.empty())
            animator.Stop(moveAnimation, 0.25f);
        moveAnimation.clear();
        return;
    }
    float c = Vector3Dot(move, facing);
    float a = std::acos(c < -1.0f ? -1.0f : (c > 1.0f ? 1.0f : c));
    const char* name;
    if (a < 0.01f)
        name = "run_f";
    else if (a > 3.1315928f)
        name = "run_b";
    else if (std::fabs(a - 1.5707964f) < 0.01f)
        name = facing.y * move.x - move.y * facing.x > 0.0f ? "strafe_l" : "strafe_r";
    else
        name = a > 1.5707964f ? "run_b" : "run_f";
    if (moveAnimation == name)
        return;
    if (!moveAnimation.empty())
        animator.Stop(moveAnimation, 0.25f);
    animator.Play(name, 2, 1.0f, 1.0f);
    moveAnimation = name;
}
