// A fighting figure of the battle, the player's and every computer-
// controlled one alike: type row, team, health and armour, a skinned model
// with its animator, carried weapons and grenade items, a walking body and a
// seat when riding. The controller and the AI steer it only through its
// operations; firing, reloading, throwing and item handling are in
// soldier_combat.cpp.
#ifndef GAME_SOLDIERS_SOLDIER_H
#define GAME_SOLDIERS_SOLDIER_H

#include <cstdint>
#include <string>
#include <vector>

#include "game/weapons/grenade_item.h"
#include "game/weapons/weapon.h"
#include "game/world/physics_body.h"
#include "game/world/world_access.h"
#include "game/world/world_object.h"
#include "render/animation.h"

class CBattleWorld;
class CProjectile;
class CSoldier;
class CSquad;
class CVehicle;

// The running timed action; while one runs no other starts.
enum SoldierAction {
    ACTION_NONE = 0,
    ACTION_RELOAD = 1,
    ACTION_SWITCH = 2,
    ACTION_PICK_UP = 3,
    ACTION_DROP = 4,
    ACTION_THROW_WEAPON = 5,
    ACTION_THROW_GRENADE = 6,
    ACTION_THROW_RECOVERY = 7,
    ACTION_ENTER_VEHICLE = 8,
    ACTION_LEAVE_VEHICLE = 9
};

enum SeatState {
    SEAT_NONE = 0,
    SEAT_DRIVER = 1,
    SEAT_PASSENGER = 2
};

// Ammunition or grenade items taken; the heads-up display reads them.
// kind: the weapon type, or 6 + the grenade type.
struct PickupNotice {
    int kind;
    int amount;
};

// What the squad, soldier and team AI keep on a soldier.
struct SoldierAIState {
    CSquad* squad = nullptr;
    CSoldier* target = nullptr;
    Vector3 waypoint;
    uint32_t movementFlags = 0;
    float followDistance = 0.0f;
    uint32_t routeNode = 0;   // serial of the squad route node walked toward; 0 = the route's end
    int coverCounter = 0;
    int coverSide = 0;
    Vector3 threatDirection;
    CVehicle* cover = nullptr;
    Vector3 formationOffset;  // from the leader, while the squad's formation is set
    CProjectile* rememberedGrenade = nullptr;   // cleared when the projectile goes
    uint32_t seenBits = 0;    // teams that have seen this soldier
    uint32_t knownBits = 0;   // teams that know where it is
    bool selected = false;    // the player's selection mark
};

// The bones read every update, by GetBone. The aim takes "chest", the
// chest's turn "Chest": names compare exactly.
enum SoldierBone {
    BONE_RIGHT_HAND,
    BONE_LEFT_HAND,
    BONE_CHEST,
    BONE_AIM_CHEST,
    BONE_HIP,
    SoldierBoneCount
};
const char* const SoldierBoneNames[SoldierBoneCount] = {"RHand", "LHand", "Chest", "chest", "Hip"};

const char* const RifleSoundPath = "data\\sound effects\\rifle_sound.ogg";
const char* const EnemyModelPath = "data\\models\\characters\\enemy_hero.mbm";
const float RegenerationDelay = 5.0f;
const float RegenerationRate = 50.0f;
const float WeaponPickupRange = 3.0f;
const float GrenadePickupRange = 1.5f;
const float SeatRange = 4.0f;
const float SoundBudgetStep = 0.08f;
const float SoundBudgetLimit = 1.0f;

class CSoldier : public CWorldObject, public CSoldierTarget {
public:
    CSoldier(CBattleWorld* world, int type);
    ~CSoldier() override;
    CSoldier(const CSoldier&) = delete;
    CSoldier& operator=(const CSoldier&) = delete;

    // Back to the type's starting state (health, armour, items, model).
    void Reset();
    // Takes the team's model and binds the animator to it.
    void SetTeam(int team);
    void Update(float dt);

    const Vector3& GetPosition() const override { return body.position; }
    void SetPosition(const Vector3& position) override { body.position = position; }
    const Matrix4& GetTransform() const override;
    void SetTransform(const Matrix4& matrix) override;
    const Vector3& GetVelocity() const override { return body.velocity; }
    void SetVelocity(const Vector3&) override {}
    using CWorldObject::Move;

    // CSoldierTarget: what the collision code needs.
    float GetHealth() const override { return health; }
    void SetHealth(float value) override { health = value; }
    float GetArmour() const override { return armour; }
    void SetArmour(float value) override { armour = value; }
    CCollisionBody& GetCollisionBody() override { return collision; }
    CWorldObject* GetWorldObject() override { return this; }
    CAnimator* GetAnimator() override { return &animator; }
    void TakeDamage(CCollisionProjectile* attacker, float damage, const Vector3& point) override;
    void DropItems() override;
    void LeaveTeamAI() override;
    void ResetHitReaction() override;
    void RenewBones() override { bones.Renew(); }
    CNode* GetBone(int which) { return bones.Get(model, which); }

    bool IsAlive() const { return health > 0.0f; }
    bool IsPlayer() const;
    CWeapon& GetCurrentWeapon();
    // Goals without a horizontal part are ignored (the heading would be
    // undefined).
    void SetFacing(const Vector3& direction, bool snap);
    void SetAimPoint(const Vector3& direction, float distance, bool snap);
    // The driver's wishes, handed on while idle in the driver's seat.
    void SetDriveInput(const Vector3& input);
    void SetThrottle(float throttle);
    // The walking clip for the new move direction; stops it when standing.
    void SelectMoveAnimation(const Vector3& moveDirection);
    void RegenerateArmour(float dt);

    // Combat (soldier_combat.cpp).
    void Fire();
    void StartThrow();
    void ReleaseGrenade();
    void PickUpWeapon();
    void DropWeapon();
    void SwitchWeapon();
    void EnterVehicle();
    // Seated and idle: out of the seat, the vehicle's driving cleared, then
    // 2.0 s without walking.
    void LeaveVehicle();
    void UpdateAction(float dt);

    // Update's steps.
    void FindPickups();
    void TurnTowardGoals(float dt);
    void UpdatePose();
    void Move(float step);

    CBattleWorld* world;
    SoldierBody body;   // position is the feet
    float jumpValue;
    int type;
    int team;
    int currentWeapon;
    float armour;
    float health;
    int seated;
    int playerControlled;
    int action;
    Vector3 facing;
    Vector3 facingGoal;
    Vector3 aimDirection;
    Vector3 aimGoal;
    float aimDistance;
    Vector3 moveDirection;
    std::string modelPath;
    CAnimator animator;
    std::string moveAnimation;
    std::vector<CWeapon> weapons;
    CWeapon fallbackWeapon;
    std::vector<CGrenadeItem> grenades;
    CWeapon* weaponInReach;   // an element of the world's dropped weapons
    std::vector<PickupNotice> pickupNotices;
    CVehicle* vehicleInReach;
    int seatInReach;
    CVehicle* vehicle;
    int seat;
    bool regenerating;
    float regenerationDelay;
    float actionTimer;
    SoldierAIState ai;

private:
    CModelBones bones{SoldierBoneNames, SoldierBoneCount};

    void LoadTeamModel(const std::string& path);
    void PlaceWeapon(CWeapon& weapon);
    void TurnChest(const Vector3& aimPoint);
    void StartAction(int which, float length);
    // Flying, at its transform's translation, moving with velocity: how a
    // weapon leaves a soldier's hands for the world.
    void ThrowIntoWorld(CWeapon& weapon, const Vector3& velocity);
};

#endif
