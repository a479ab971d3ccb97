// The time-sliced collision phases. Only the projectile sweep has an effect;
// the pair phases walk nothing, so they only spend the budget check.
#include "game/collision/collision_phases.h"

#include <algorithm>
#include <cmath>

#include "core/clock.h"
#include "game/collision/body_grid.h"
#include "game/collision/body_probe.h"
#include "game/collision/collision_body.h"
#include "game/world/generic_object.h"
#include "game/world/world_query.h"

namespace {

bool Moved(const BallisticBody& body) {
    return std::fabs(body.position.x - body.previous.x) > GeometryTolerance ||
           std::fabs(body.position.y - body.previous.y) > GeometryTolerance ||
           std::fabs(body.position.z - body.previous.z) > GeometryTolerance;
}

} // namespace

CCollisionPhases::CCollisionPhases(CWorldAccess* owner, double frameBudget)
    : budget(frameBudget), budgetInForce(true), world(owner), clock(TimeGetTime), watch(nullptr),
      nextPhase(0), startTime(0),
      sweptThisRun(false), runCount{} {}

void CCollisionPhases::Run(double argument, bool useArgument) {
    if (useArgument)
        budget = argument;
    if (budget == 0.0)
        return;
    startTime = clock();
    sweptThisRun = false;
    for (int i = 0; i < CollisionPhaseCount; i++) {
        int phase = nextPhase;
        nextPhase = (nextPhase + 1) % CollisionPhaseCount;
        if (RunPhase(phase))
            break;
    }
    // A run cut short before the sweep still sweeps: every step's path is
    // tested in the frame it was taken.
    if (!sweptThisRun)
        SweepProjectiles();
}

bool CCollisionPhases::RunPhase(int phase) {
    runCount[phase]++;
    if (phase == 0)
        SweepProjectiles();
    return BudgetSpent();
}

// A budget in seconds against whole milliseconds: any elapsed millisecond
// spends the default budget.
bool CCollisionPhases::BudgetSpent() const {
    return budgetInForce && (double)(clock() - startTime) > budget;
}

// The bodies of a world without a grid, gathered once a sweep: nothing a
// response does adds or removes one.
void CCollisionPhases::CollectBodies() {
    bodies.clear();
    soldiers.clear();
    world->CollectSoldiers(soldiers);
    for (CSoldierTarget* s : soldiers)
        bodies.push_back(SweepBody{&s->GetCollisionBody(), s, CONTACT_SOLDIER});
    entries.clear();
    world->CollectVehicles(entries);
    for (const WorldBodyEntry& e : entries)
        if (e.body)
            bodies.push_back(SweepBody{e.body, e.object, CONTACT_VEHICLE});
    props.clear();
    world->CollectProps(props);
    for (CGenericObject* prop : props)
        bodies.push_back(SweepBody{&prop->collision, prop, CONTACT_PROP});
    entries.clear();
    world->CollectFurtherObjects(entries);
    for (const WorldBodyEntry& e : entries)
        if (e.body)
            bodies.push_back(SweepBody{e.body, e.object, CONTACT_FURTHER});
}

// The nearest contact of the step with a living soldier other than the
// projectile's owner, a vehicle, a prop or a further object. Of equal ones
// the first met counts, met in that order and each set in list order; the
// grid hands its bodies over in its own set order, so they are met set by
// set.
bool CCollisionPhases::NearestBody(CBodyGrid* grid, CCollisionProjectile& projectile,
                                   const Vector3& p0, const Vector3& p1, CollisionContact& out) {
    const BodyProbe probe = MakeSegmentProbe(p0, p1);
    const CSoldierTarget* owner = projectile.GetOwner();
    bool found = false;
    auto consider = [&](CCollisionBody& body, void* object, int kind) {
        if (kind == CONTACT_SOLDIER) {
            const CSoldierTarget* s = static_cast<const CSoldierTarget*>(object);
            if (!(s->GetHealth() > 0.0f) || s == owner)
                return;
        }
        CollisionContact c;
        if (ProbeBody(body, probe, c) && (!found || c.distanceSquared < out.distanceSquared)) {
            c.object = object;
            c.kind = kind;
            out = c;
            found = true;
        }
    };
    if (grid) {
        static const int Sets[] = {QUERY_SOLDIERS, QUERY_VEHICLES, QUERY_PROPS, QUERY_FURTHER};
        grid->GatherSegment(p0, p1, QUERY_SOLDIERS | QUERY_VEHICLES | QUERY_PROPS | QUERY_FURTHER,
                            nearby);
        for (int set : Sets)
            for (const BodyGridEntry* e : nearby)
                if (e->set == set)
                    consider(*e->body, e->object, ContactKindOfSet(set));
        return found;
    }
    // Most bodies lie far from the step: their spheres turn them away
    // before the probe proper.
    const Vector3 middle{(p0.x + p1.x) * 0.5f, (p0.y + p1.y) * 0.5f, (p0.z + p1.z) * 0.5f};
    for (const SweepBody& b : bodies) {
        if (!(b.body->sphere.radius > 0.0f) ||
            SegmentMayReachSphere(middle, probe.length * 0.5f, b.body->sphere))
            consider(*b.body, b.object, b.kind);
    }
    return found;
}

void CCollisionPhases::SweepProjectiles() {
    sweptThisRun = true;
    if (!world)
        return;
    projectiles.clear();
    world->CollectProjectiles(projectiles);
    if (projectiles.empty())
        return;
    CBodyGrid* grid = world->GetBodyGrid();
    if (!grid)
        CollectBodies();
    for (CCollisionProjectile* projectile : projectiles) {
        if (!projectile || !projectile->IsAlive())
            continue;
        const BallisticBody& body = projectile->GetBody();
        if (!Moved(body))
            continue;
        const Vector3 p0 = body.previous, p1 = body.position;
        CollisionContact nearest;
        bool bodyHit = NearestBody(grid, *projectile, p0, p1, nearest);
        // The ground counts when it comes first, so nothing is hit through a ridge.
        CollisionContact ground;
        CTerrainAccess* terrain = world->GetTerrain();
        bool groundHit = terrain && SegmentHitsTerrain(*terrain, p0, p1, ground);
        if (bodyHit && (!groundHit || nearest.distanceSquared <= ground.distanceSquared)) {
            if (watch)
                watch(*projectile, nearest);
            CollisionResponse(nearest, *projectile, *world);
        } else if (groundHit) {
            if (watch)
                watch(*projectile, ground);
            TerrainResponse(ground, *projectile, *world);
        }
    }
}
