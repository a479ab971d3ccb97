// World queries over the object sets of the battle.
#include "game/world/world_query.h"

#include <vector>

#include "game/collision/body_grid.h"
#include "game/collision/body_probe.h"
#include "game/collision/collision_body.h"
#include "game/collision/collision_phases.h"
#include "game/world/generic_object.h"
#include "game/world/world_access.h"

int ContactKindOfSet(int set) {
    switch (set) {
    case QUERY_FURTHER: return CONTACT_FURTHER;
    case QUERY_PROPS: return CONTACT_PROP;
    case QUERY_SOLDIERS: return CONTACT_SOLDIER;
    default: return CONTACT_VEHICLE;
    }
}

namespace {

// The object sets a probe runs through, each body tested by test; keeps the
// nearest contact (the first met of equal ones). With the world's grid only
// the bodies near the probe's track are tested, met in the same order.
// Lists are reused between calls (main thread only).
template <typename BodyTest, typename Gather>
bool QueryBodies(CWorldAccess& world, int sets, const void* excluded, CollisionContact& best,
                 BodyTest test, Gather gather) {
    static std::vector<WorldBodyEntry> entries;
    static std::vector<CSoldierTarget*> soldiers;
    static std::vector<CGenericObject*> props;
    bool found = false;
    auto consider = [&](CCollisionBody& body, void* object, int kind) {
        if (object == excluded)
            return;
        CollisionContact c;
        if (test(body, c) && (!found || c.distanceSquared < best.distanceSquared)) {
            c.object = object;
            c.kind = kind;
            best = c;
            found = true;
        }
    };
    if (CBodyGrid* grid = world.GetBodyGrid()) {
        static std::vector<const BodyGridEntry*> near;
        gather(*grid, near);
        for (const BodyGridEntry* e : near)
            consider(*e->body, e->object, ContactKindOfSet(e->set));
        return found;
    }
    if (sets & QUERY_FURTHER) {
        entries.clear();
        world.CollectFurtherObjects(entries);
        for (const WorldBodyEntry& e : entries)
            if (e.body)
                consider(*e.body, e.object, CONTACT_FURTHER);
    }
    if (sets & QUERY_PROPS) {
        props.clear();
        world.CollectProps(props);
        for (CGenericObject* p : props)
            consider(p->collision, p, CONTACT_PROP);
    }
    if (sets & QUERY_SOLDIERS) {
        soldiers.clear();
        world.CollectSoldiers(soldiers);
        for (CSoldierTarget* s : soldiers)
            consider(s->GetCollisionBody(), s, CONTACT_SOLDIER);
    }
    if (sets & QUERY_VEHICLES) {
        entries.clear();
        world.CollectVehicles(entries);
        for (const WorldBodyEntry& e : entries)
            if (e.body)
                consider(*e.body, e.object, CONTACT_VEHICLE);
    }
    return found;
}

void KeepNearer(bool& found, CollisionContact& best, const CollisionContact& c) {
    if (!found || c.distanceSquared < best.distanceSquared) {
        best = c;
        found = true;
    }
}

} // namespace

bool RayHitsBody(CCollisionBody& body, const Ray& ray, int precision, bool skipBackFaces,
                 CollisionContact& out) {
    return ProbeBody(body, MakeRayProbe(ray, precision, skipBackFaces), out);
}

bool WorldQuery(CWorldAccess& world, const Ray& ray, int sets, CollisionContact& out,
                const void* excluded, int precision, bool skipBackFaces) {
    BodyProbe probe = MakeRayProbe(ray, precision, skipBackFaces);
    CollisionContact best;
    bool found = QueryBodies(
        world, sets, excluded, best,
        [&](CCollisionBody& b, CollisionContact& c) { return ProbeBody(b, probe, c); },
        [&](CBodyGrid& grid, std::vector<const BodyGridEntry*>& near) {
            grid.GatherRay(ray, sets, near);
        });
    CTerrainAccess* terrain = world.GetTerrain();
    if ((sets & QUERY_TERRAIN) && terrain) {
        CollisionContact c;
        if (terrain->RayQuery(ray, c.point, c.normal, skipBackFaces ? 1 : 0)) {
            Vector3 d;
            c.distanceSquared = Vector3LengthSquared(Vector3Subtract(d, c.point, ray.origin));
            KeepNearer(found, best, c);
        }
    }
    if (found)
        out = best;
    return found;
}

bool WorldQuerySegment(CWorldAccess& world, const Vector3& p0, const Vector3& p1, int sets,
                       CollisionContact& out, const void* excluded) {
    CollisionContact best;
    bool found = QueryBodies(
        world, sets, excluded, best,
        [&](CCollisionBody& b, CollisionContact& c) { return SegmentHitsBody(b, p0, p1, c); },
        [&](CBodyGrid& grid, std::vector<const BodyGridEntry*>& near) {
            grid.GatherSegment(p0, p1, sets, near);
        });
    CTerrainAccess* terrain = world.GetTerrain();
    if ((sets & QUERY_TERRAIN) && terrain) {
        CollisionContact c;
        if (SegmentHitsTerrain(*terrain, p0, p1, c))
            KeepNearer(found, best, c);
    }
    if (found)
        out = best;
    return found;
}

namespace {

// The nearest entry whose sphere overlaps, by squared centre distance.
bool NearestOverlap(const std::vector<WorldBodyEntry>& entries, const Sphere& sphere,
                    void*& outObject, float& outDistance) {
    bool found = false;
    for (const WorldBodyEntry& e : entries) {
        if (!e.body || !SphereIntersectSphere(e.body->sphere, sphere))
            continue;
        Vector3 d;
        float dist = Vector3LengthSquared(Vector3Subtract(d, e.body->sphere.centre, sphere.centre));
        if (!found || dist < outDistance) {
            outObject = e.object;
            outDistance = dist;
            found = true;
        }
    }
    return found;
}

} // namespace

bool FindOverlappingObjects(CWorldAccess& world, const Sphere& sphere, void*& outItem,
                            int& outKind) {
    std::vector<WorldBodyEntry> weapons, grenades;
    world.CollectDroppedWeapons(weapons);
    world.CollectDroppedGrenades(grenades);
    void* weapon = nullptr;
    void* grenade = nullptr;
    float weaponDistance = 0.0f, grenadeDistance = 0.0f;
    bool haveWeapon = NearestOverlap(weapons, sphere, weapon, weaponDistance);
    bool haveGrenade = NearestOverlap(grenades, sphere, grenade, grenadeDistance);
    if (haveWeapon && (!haveGrenade || weaponDistance <= grenadeDistance)) {
        outItem = weapon;
        outKind = 0;
        return true;
    }
    if (haveGrenade) {
        outItem = grenade;
        outKind = 1;
        return true;
    }
    return false;
}
