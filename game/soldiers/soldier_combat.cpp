// The soldier's combat actions: firing, reloading, throwing, switching,
// picking up and dropping weapons, entering and leaving vehicles. Each action
// that takes time runs as the soldier's one timed action.
#include "game/soldiers/soldier.h"
#include "game/soldiers/soldier_sound.h"
#include "game/soldiers/vehicle.h"
#include "game/stats.h"
#include "game/weapons/battle_world.h"
#include "game/weapons/item_model.h"
#include "render/node.h"

static const float HandlingTime = 2.0f;
static const float SwitchTime = 0.5f;
static const float ThrowReleaseLead = 0.3f;
static const float MuzzleClearance = 0.5f;

void CSoldier::StartAction(int which, float length) {
    action = which;
    actionTimer = length;
}

void CSoldier::Fire() {
    if (action != ACTION_NONE)
        return;
    CWeapon& w = GetCurrentWeapon();
    const WeaponType& t = GetWeaponType(w.type);
    if (!w.TryFire()) {
        if (w.clip <= 0 && w.reserve > 0 && t.reloadTime >= 0.0f)
            StartAction(ACTION_RELOAD, t.reloadTime);
        return;
    }
    // Ammunition and cool-down are spent even when the hand is missing.
    CNode* hand = GetBone(BONE_RIGHT_HAND);
    if (hand) {
        if (CWeapon::HasUnlimitedAmmo(w.type)) {
            if (t.coolDown >= 0.0f)
                StartAction(ACTION_THROW_WEAPON, t.coolDown);
            animator.Play("throw_g", 0, 1.0f, 1.0f);
        } else if (world) {
            CNode* muzzle = w.FindMuzzle();
            Vector3 origin = muzzle ? NodeTranslation(muzzle) : w.GetPosition();
            Vector3 d;
            Vector3Normalize(d, w.body.direction);
            Vector3MultiplyAdd(origin, origin, d, MuzzleClearance);
            world->projectiles.Fire(w.type, origin, d, t.muzzleSpeed, t.damage, this);
        }
    }
    if (w.type == WeaponRifle && world &&
        (world->soundBudget <= SoundBudgetLimit || IsPlayer())) {
        PlayRifleSound(w.GetPosition());
        world->soundBudget += SoundBudgetStep;
    }
}

void CSoldier::StartThrow() {
    if (action != ACTION_NONE || grenades.empty())
        return;
    animator.Play("throw_g", 0, 1.0f, 1.0f);
    float length = 0.0f;
    if (!GetAnimationClipLength("throw_g", length))
        return;
    float timer = length - ThrowReleaseLead;
    if (timer >= 0.0f)
        StartAction(ACTION_THROW_GRENADE, timer);
}

void CSoldier::ReleaseGrenade() {
    if (grenades.empty() || !world) {
        StartAction(ACTION_THROW_RECOVERY, HandlingTime);
        return;
    }
    Vector3 origin = GetPosition();
    Vector3 d = aimDirection;
    if (CNode* hand = GetBone(BONE_LEFT_HAND)) {
        origin = NodeTranslation(hand);
        Vector3 aimPoint;
        Vector3MultiplyAdd(aimPoint, GetPosition(), aimDirection, aimDistance);
        Vector3Subtract(d, aimPoint, origin);
        if (Vector3Length(d) < 1e-5f)
            d = aimDirection;
    }
    Vector3NormalizeInPlace(d);
    const GrenadeType& g = GetGrenadeType(0);
    world->projectiles.Fire(grenades.back().type + 6, origin, d, g.throwSpeed, g.blast, this);
    grenades.pop_back();
    StartAction(ACTION_THROW_RECOVERY, HandlingTime);
}

void CSoldier::PickUpWeapon() {
    if (action != ACTION_NONE || !weaponInReach || !world)
        return;
    CWeapon* ground = weaponInReach;
    if (weapons.size() < 2) {
        weapons.push_back(*ground);
        weapons.back().state = WEAPON_HELD;
        currentWeapon = (int)weapons.size() - 1;
        world->RemoveDroppedWeapon(ground);
    } else {
        // Only the contents change places: each weapon keeps its own state,
        // and the one left behind lies in the world as if dropped.
        CWeapon& held = GetCurrentWeapon();
        std::swap(held.type, ground->type);
        std::swap(held.clip, ground->clip);
        std::swap(held.reserve, ground->reserve);
        std::swap(held.coolDown, ground->coolDown);
        CModel heldModel = held.model;
        held.model = ground->model;
        ground->model = heldModel;
        AttachBodyToModel(held.collision, held.model);
        AttachBodyToModel(ground->collision, ground->model);
        held.state = WEAPON_HELD;
        ThrowIntoWorld(*ground, GetVelocity());
    }
    StartAction(ACTION_PICK_UP, HandlingTime);
}

void CSoldier::DropWeapon() {
    if (action != ACTION_NONE || weapons.empty() || !world)
        return;
    CWeapon& w = GetCurrentWeapon();
    ThrowIntoWorld(w, GetVelocity());
    world->AddDroppedWeapon(w);
    weapons.erase(weapons.begin() + currentWeapon);
    currentWeapon = weapons.empty() ? 0 : currentWeapon % (int)weapons.size();
    StartAction(ACTION_DROP, HandlingTime);
}

void CSoldier::SwitchWeapon() {
    if (action != ACTION_NONE && action != ACTION_SWITCH && action != ACTION_RELOAD)
        return;
    if (weapons.size() < 2)
        return;
    currentWeapon = (currentWeapon + 1) % (int)weapons.size();
    StartAction(ACTION_SWITCH, SwitchTime);
}

void CSoldier::EnterVehicle() {
    if (action != ACTION_NONE || !vehicleInReach)
        return;
    vehicle = vehicleInReach;
    seat = seatInReach;
    seated = seat == 0 ? SEAT_DRIVER : SEAT_PASSENGER;
    StartAction(ACTION_ENTER_VEHICLE, HandlingTime);
}

void CSoldier::LeaveVehicle() {
    if (seated == SEAT_NONE || action != ACTION_NONE)
        return;
    if (vehicle && seated == SEAT_DRIVER)
        vehicle->ClearDriving();
    seated = SEAT_NONE;
    vehicle = nullptr;
    StartAction(ACTION_LEAVE_VEHICLE, HandlingTime);
}

void CSoldier::UpdateAction(float dt) {
    if (actionTimer > 0.0f) {
        actionTimer -= dt;
        if (actionTimer < 0.0f)
            actionTimer = 0.0f;
        return;
    }
    int ended = action;
    action = ACTION_NONE;
    if (ended == ACTION_RELOAD)
        GetCurrentWeapon().Reload();
    else if (ended == ACTION_THROW_GRENADE)
        ReleaseGrenade();
}
