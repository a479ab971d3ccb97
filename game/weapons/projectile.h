// Projectiles in flight (bullets, shells, thrown grenades), held by value in
// the world's projectile manager. A projectile ends (alive cleared) when it
// hits, its fuse runs out or it leaves the battle sphere; the manager removes
// it in the update after, clearing every pointer the battle keeps to it.
#ifndef GAME_WEAPONS_PROJECTILE_H
#define GAME_WEAPONS_PROJECTILE_H

#include <cstdint>
#include <list>

#include "core/ballistic.h"
#include "game/world/world_access.h"
#include "game/world/world_object.h"

class CBattleWorld;
class CSoldier;

// Projectile kinds (the projectile table's rows); a kind is also the weapon
// type that fires it, grenades are 6 + grenade type.
const int ProjectileRifle = 1;
const int ProjectileRocket = 2;
const int ProjectileFlare = 3;
const int ProjectileShell = 5;
const int ProjectileGrenade = 6;

const float FlareLifetime = 1.5f;
// Projectiles farther than this from the world origin end.
const float BattleRadius = 2000.0f;
const float GrenadeBlastRadius = 4.0f;

class CProjectile : public CWorldObject, public CCollisionProjectile {
public:
    CProjectile();
    CProjectile(const CProjectile& other);
    CProjectile& operator=(const CProjectile& other);
    ~CProjectile() override;

    const Vector3& GetPosition() const override { return body.position; }
    const Vector3& GetVelocity() const override { return velocity; }
    // The model's world matrix (translation only: projectiles fly unrotated).
    const Matrix4& GetTransform() const override;

    BallisticBody& GetBody() override { return body; }
    int GetBehaviour() const override { return kind; }
    float GetDamage() const override { return damage; }
    float GetBounceFactor() const override { return bounceFactor; }
    CSoldierTarget* GetOwner() const override;
    bool IsAlive() const override { return alive; }
    void Stop() override { alive = false; }
    // A grenade's fuse runs from its first bounce.
    void SetBounced() override { armed = true; }

    BallisticBody body;   // frozen is the resting flag
    int kind;
    float damage;
    bool alive;
    CSoldier* owner;
    int32_t* effectFlag;     // a particle effect's running flag, cleared at the end
    float fuse;
    bool armed;
    float bounceFactor;   // from the projectile table

private:
    void CopyFrom(const CProjectile& other);
    Vector3 velocity;     // direction x speed, refreshed by the manager
    friend class CProjectileManager;
};

class CProjectileManager {
public:
    explicit CProjectileManager(CBattleWorld* world);
    ~CProjectileManager();

    // Launches a projectile of the kind; the new list element.
    CProjectile* Fire(int kind, const Vector3& origin, const Vector3& direction, float speed,
                      float damage, CSoldier* owner);
    // Moves the living, runs fuses and removes the ended.
    void Update(float dt);
    void Clear();
    // Projectiles removed from the list so far: while it stays the same, the
    // list has only grown at its end.
    uint64_t Removals() const { return removals_; }

    std::list<CProjectile> projectiles;
    CBattleWorld* world;

private:
    void RunFuse(CProjectile& p, float dt);
    void Remove(std::list<CProjectile>::iterator it);
    uint64_t removals_ = 0;
};

#endif
