// The time-sliced collision phases. Only the projectile sweep has an effect;
// the pair phases walk nothing, so they only spend the budget check.
#include "game/collision/collision_phases.h"

#include <algorithm>
#include <cmath>

#include "core/clock.h"
#include "game/collision/body_probe.h"
#include "game/collision/collision_body.h"
#include "game/world/generic_object.h"

namespace {

bool Moved(const BallisticBody& body) {
    return std::fabs(body.position.x - body.previous.x) > GeometryTolerance ||
           std::fabs(body.position.y - body.previous.y) > GeometryTolerance ||
           std::fabs(body.position.z - body.previous.z) > GeometryTolerance;
}

} // namespace

CCollisionPhases::CCollisionPhases(CWorldAccess* owner, double frameBudget)
    : budget(frameBudget), budgetInForce(true), world(owner), clock(TimeGetTime), nextPhase(0), startTime(0),
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

void CCollisionPhases::SweepProjectiles() {
    sweptThisRun = true;
    if (!world)
        return;
    projectiles.clear();
    world->CollectProjectiles(projectiles);
    soldiers.clear();
    world->CollectSoldiers(soldiers);
    soldierBodies.clear();
    for (CSoldierTarget* s : soldiers)
        soldierBodies.push_back(&s->GetCollisionBody());
    props.clear();
    world->CollectProps(props);
    for (CCollisionProjectile* projectile : projectiles) {
        if (!projectile || !projectile->IsAlive())
            continue;
        const BallisticBody& body = projectile->GetBody();
        if (!Moved(body))
            continue;
        const Vector3 p0 = body.previous, p1 = body.position;
        const BodyProbe probe = MakeSegmentProbe(p0, p1);
        // Most bodies lie far from the step: their spheres turn them away
        // before the probe proper.
        const Vector3 middle{(p0.x + p1.x) * 0.5f, (p0.y + p1.y) * 0.5f, (p0.z + p1.z) * 0.5f};
        auto near = [&](const CCollisionBody& b) {
            return !(b.sphere.radius > 0.0f) || SegmentMayReachSphere(middle, probe.length * 0.5f, b.sphere);
        };
        contacts.clear();
        CollisionContact c;
        for (size_t i = 0; i < soldiers.size(); i++) {
            CSoldierTarget* s = soldiers[i];
            if (near(*soldierBodies[i]) && s->GetHealth() > 0.0f && s != projectile->GetOwner() &&
                ProbeBody(*soldierBodies[i], probe, c)) {
                c.object = s;
                c.kind = CONTACT_SOLDIER;
                contacts.push_back(c);
            }
        }
        auto sweepEntries = [&](int kind) {
            for (const WorldBodyEntry& e : entries) {
                if (e.body && near(*e.body) && ProbeBody(*e.body, probe, c)) {
                    c.object = e.object;
                    c.kind = kind;
                    contacts.push_back(c);
                }
            }
        };
        entries.clear();
        world->CollectVehicles(entries);
        sweepEntries(CONTACT_VEHICLE);
        for (CGenericObject* prop : props) {
            if (near(prop->collision) && ProbeBody(prop->collision, probe, c)) {
                c.object = prop;
                c.kind = CONTACT_PROP;
                contacts.push_back(c);
            }
        }
        entries.clear();
        world->CollectFurtherObjects(entries);
        sweepEntries(CONTACT_FURTHER);

        auto nearest = std::min_element(contacts.begin(), contacts.end(),
                                        [](const CollisionContact& a, const CollisionContact& b) {
                                            return a.distanceSquared < b.distanceSquared;
                                        });
        // The ground counts when it comes first, so nothing is hit through a ridge.
        CollisionContact ground;
        CTerrainAccess* terrain = world->GetTerrain();
        bool groundHit = terrain && SegmentHitsTerrain(*terrain, p0, p1, ground);
        if (nearest != contacts.end() &&
            (!groundHit || nearest->distanceSquared <= ground.distanceSquared))
            CollisionResponse(*nearest, *projectile, *world);
        else if (groundHit)
            TerrainResponse(ground, *projectile, *world);
    }
}
