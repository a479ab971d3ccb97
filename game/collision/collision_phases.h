// Collision tests, the time-sliced collision phases and the collision
// response of projectiles.
#ifndef GAME_COLLISION_COLLISION_PHASES_H
#define GAME_COLLISION_COLLISION_PHASES_H

#include <vector>

#include "core/geometry.h"
#include "game/collision/collision_contact.h"
#include "game/world/world_access.h"

class CBodyGrid;
class CCollisionBody;
struct BodyGridEntry;

// Whole milliseconds, as timeGetTime counts them.
typedef unsigned (*PhaseClock)();
// Told the answer to each projectile step before the response: the body
// contact, or the ground's (kind CONTACT_NONE).
typedef void (*SweepWatch)(CCollisionProjectile& projectile, const CollisionContact& contact);

// Default frame budget, compared with whole milliseconds.
const double CollisionBudget = 1.0 / 240.0;
const int CollisionPhaseCount = 5;
const float BlastRadius = 4.0f;
// Chance in a hundred that a hit on a limb tears it off.
const int TearChance = 10;

class CCollisionPhases {
public:
    explicit CCollisionPhases(CWorldAccess* world, double budget = CollisionBudget);

    // Up to five phases from the saved index, stopping after one that finds
    // the budget spent. The projectile sweep runs every frame whatever the
    // budget, so no step's path is ever left unswept.
    void Run(double budget, bool useArgument);

    // The clock the budget is measured with; TimeGetTime unless a test sets another.
    void SetClock(PhaseClock clock) { this->clock = clock; }
    // Tests compare sweeps through it; none by default.
    void SetSweepWatch(SweepWatch watch) { this->watch = watch; }
    CWorldAccess* GetWorld() const { return world; }
    int GetNextPhase() const { return nextPhase; }
    // How many times each phase ran (tests and the debug console).
    int GetRunCount(int phase) const { return runCount[phase]; }

    double budget;
    bool budgetInForce;

private:
    bool RunPhase(int phase);
    bool BudgetSpent() const;
    void SweepProjectiles();
    void CollectBodies();
    bool NearestBody(CBodyGrid* grid, CCollisionProjectile& projectile, const Vector3& p0,
                     const Vector3& p1, CollisionContact& out);

    // A body the sweep may meet, of one contact kind.
    struct SweepBody {
        CCollisionBody* body;
        void* object;
        int kind;
    };

    CWorldAccess* world;
    PhaseClock clock;
    SweepWatch watch;
    int nextPhase;
    unsigned startTime;
    bool sweptThisRun;
    int runCount[CollisionPhaseCount];
    // Reused every frame.
    std::vector<CCollisionProjectile*> projectiles;
    std::vector<SweepBody> bodies;   // a world without a grid: every body, in sweep order
    std::vector<const BodyGridEntry*> nearby;
    std::vector<CSoldierTarget*> soldiers;
    std::vector<WorldBodyEntry> entries;
    std::vector<CGenericObject*> props;
};

// The path p0-p1 against one body: sphere, parts by sphere and box, then the
// triangles of the leaves reached, nearest first. The contact names the
// part's node with ContactBodyPart; distanceSquared from p0.
bool SegmentHitsBody(CCollisionBody& body, const Vector3& p0, const Vector3& p1,
                     CollisionContact& out);
// The path against the ground's collision instances, nearest first.
bool SegmentHitsTerrain(CTerrainAccess& terrain, const Vector3& p0, const Vector3& p1,
                        CollisionContact& out);
// The first part, nearest first, whose box overlaps the sphere: the box's
// face normal toward the sphere's centre and the part's box centre.
bool SphereHitsBody(CCollisionBody& body, const Sphere& sphere, CollisionContact& out);

// What a projectile does to what it hit, by object kind and behaviour.
void CollisionResponse(CollisionContact& contact, CCollisionProjectile& projectile,
                       CWorldAccess& world);
// The ground's answer to a path with no object contact.
void TerrainResponse(CollisionContact& contact, CCollisionProjectile& projectile,
                     CWorldAccess& world);
// The blast of an exploding projectile: damage falling off with distance,
// armour first, a hit record for every soldier reached.
void ProjectileHitTest(CWorldAccess& world, const Sphere& sphere, float maximumDamage);

#endif
