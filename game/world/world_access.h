// The narrow view of the battle that queries, body motion, the collision
// phases and the collision response work through. The world implements it;
// tests implement it with fakes.
//
// Object identities: a contact's object, an excluded object and a
// projectile's owner are compared as plain pointers. Soldiers are known by
// their CSoldierTarget pointer, props by their CGenericObject pointer, and
// every other set by the object pointer of its WorldBodyEntry.
#ifndef GAME_WORLD_WORLD_ACCESS_H
#define GAME_WORLD_WORLD_ACCESS_H

#include <vector>

#include "core/ballistic.h"
#include "core/geometry.h"

class CAnimator;
class CBodyGrid;
class CCollisionBody;
class CCollisionInstance;
class CCollisionPart;
class CGenericObject;
class CNode;
class CParticleSystem;
class CWorldObject;
class CCollisionProjectile;

// The ground: the terrain's ray query and its level-0 collision instances.
class CTerrainAccess {
public:
    virtual ~CTerrainAccess() {}
    // Nearest hit of the ray; flags go to the collision test (1 skips back faces).
    virtual bool RayQuery(const Ray& ray, Vector3& outPoint, Vector3& outNormal, int flags) = 0;
    virtual void CollectCollisionInstances(std::vector<CCollisionInstance*>& out) = 0;
};

// What the collision code needs of a soldier.
class CSoldierTarget {
public:
    virtual ~CSoldierTarget() {}
    virtual float GetHealth() const = 0;
    virtual void SetHealth(float health) = 0;
    virtual float GetArmour() const = 0;
    virtual void SetArmour(float armour) = 0;
    virtual CCollisionBody& GetCollisionBody() = 0;
    // The soldier as a world object: flames attached to it follow this.
    virtual CWorldObject* GetWorldObject() = 0;
    // Null when the soldier has no animator.
    virtual CAnimator* GetAnimator() = 0;
    virtual void TakeDamage(CCollisionProjectile* attacker, float damage,
                            const Vector3& point) = 0;
    virtual void DropItems() = 0;
    virtual void LeaveTeamAI() = 0;
    // The regeneration delay back to 5.0 s, regeneration off.
    virtual void ResetHitReaction() = 0;
    // The model's tree lost a subtree (a limb torn off): bones held by
    // pointer are looked up again.
    virtual void RenewBones() {}
};

// What the collision code needs of a flying projectile.
class CCollisionProjectile {
public:
    virtual ~CCollisionProjectile() {}
    // Position, previous position (the start of the last step), unit
    // direction, speed; frozen is the resting flag.
    virtual BallisticBody& GetBody() = 0;
    // 1, 2, 3, 5 or 6; anything else passes through everything.
    virtual int GetBehaviour() const = 0;
    virtual float GetDamage() const = 0;
    virtual float GetBounceFactor() const = 0;
    virtual CSoldierTarget* GetOwner() const = 0;
    virtual bool IsAlive() const = 0;
    // Clears the alive flag; the projectile manager removes it later.
    virtual void Stop() = 0;
    // Set at every bounce on a soldier, vehicle, prop or the ground; a
    // grenade's fuse starts running at the first.
    virtual void SetBounced() = 0;
};

struct WorldBodyEntry {
    CCollisionBody* body = nullptr;
    void* object = nullptr;
};

class CWorldAccess {
public:
    virtual ~CWorldAccess() {}
    // Null when the world has no terrain.
    virtual CTerrainAccess* GetTerrain() = 0;
    // The broad phase over the bodies of the four object sets, up to date;
    // null when the world keeps none (queries then test every body).
    virtual CBodyGrid* GetBodyGrid() { return nullptr; }
    // Every soldier, living or dead.
    virtual void CollectSoldiers(std::vector<CSoldierTarget*>& out) = 0;
    virtual void CollectVehicles(std::vector<WorldBodyEntry>& out) = 0;
    virtual void CollectProps(std::vector<CGenericObject*>& out) = 0;
    virtual void CollectFurtherObjects(std::vector<WorldBodyEntry>& out) = 0;
    virtual void CollectDroppedWeapons(std::vector<WorldBodyEntry>& out) = 0;
    virtual void CollectDroppedGrenades(std::vector<WorldBodyEntry>& out) = 0;
    virtual void CollectProjectiles(std::vector<CCollisionProjectile*>& out) = 0;
    // Null when the player has no soldier.
    virtual CSoldierTarget* GetPlayerSoldier() = 0;
    virtual void AddHitRecord(const char* text, const Vector3& point) = 0;
    // Takes over a torn-off limb: its node (already detached) and its
    // collision part (already unlinked), flying at velocity.
    virtual void AddSoldierScrap(CNode* node, CCollisionPart* part, const Vector3& velocity) = 0;
    // Null when the world has none.
    virtual CParticleSystem* GetParticleSystem() = 0;
    // True when the point lies outside the view volume.
    virtual bool IsPointOutsideView(const Vector3& point) = 0;
};

#endif
