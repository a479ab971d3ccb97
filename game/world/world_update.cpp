// The world's frame step and the culling entries it hands the visibility
// lists.
#include "app/console.h"
#include "game/soldiers/soldier.h"
#include "game/soldiers/soldier_prefetch.h"
#include "game/soldiers/vehicle.h"
#include "game/world/generic_object.h"
#include "game/world/world.h"
#include "render/node.h"

// Soldiers and everything else stop together while objects are paused;
// generics, scrap, particles and hit records always run on dt.
void CWorld::Update(float dt) {
    float soldierTime = (soldiersRun && objectsRun) ? dt : 0.0f;
    float objectTime = objectsRun ? dt : 0.0f;

    // Index loop: nothing in a soldier's update adds or removes soldiers,
    // but a copy of the pointer list would hide such a fault less well.
    for (size_t i = 0; i < soldiers.size(); i++) {
        // The next soldiers' data loads while this one updates.
        for (int step = 0; step < SoldierPrefetchSteps; step++) {
            size_t ahead = i + size_t(SoldierPrefetchSteps - step);
            if (ahead < soldiers.size())
                PrefetchSoldierStep(*soldiers[ahead], step);
        }
        if (soldiers[i]->health > 0.0f)
            soldiers[i]->Update(soldierTime);
    }
    HookInt(g_debugConsole, "soldiercount", (int32_t)soldiers.size());

    UpdateScrap(dt);

    if (teamAI && ConsoleAIOn())
        teamAI->Update(dt);

    for (CVehicle* v : vehicles)
        v->Update(objectTime);
    HookInt(g_debugConsole, "vehiclecount", (int32_t)vehicles.size());

    for (CGenericObject* g : generics)
        g->Update(dt);
    HookInt(g_debugConsole, "genericcount", (int32_t)generics.size());

    UpdateItems(objectTime);
    projectiles.Update(objectTime);
    UpdateMessages(objectTime);
    particles.Update(dt);
    terrain.UpdateGrass(objectTime);
    phases.Run(CollisionBudget, true);
    UpdateHitRecords(dt);
    visibility.Cull(true);
    PublishCounts();
}

void CWorld::UpdateItems(float objectTime) {
    for (CWeapon& w : droppedWeapons)
        w.Update(objectTime);
    HookInt(g_debugConsole, "droppedweaponcount", (int32_t)droppedWeapons.size());

    for (CGrenadeItem& g : droppedGrenades) {
        if (g.state == GrenadeFlying)
            MoveAndCollideItem(g.body, *this, &g, objectTime);
        g.UpdateTransform();
        g.collision.Update();
    }
    HookInt(g_debugConsole, "droppedgrenadecount", (int32_t)droppedGrenades.size());
}

void CWorld::UpdateMessages(float objectTime) {
    if (!messagesEnabled || !messageShowing)
        return;
    if (!messages.empty()) {
        messageTimer -= objectTime;
        if (messageTimer < 0.0f) {
            messageTimer = MessageDisplayTime;
            messages.pop_front();
        }
    }
    if (messages.empty())
        messageShowing = false;
}

void CWorld::UpdateHitRecords(float dt) {
    for (auto it = hitRecords.begin(); it != hitRecords.end();) {
        it->point.z += dt;
        it->remaining -= dt;
        if (it->remaining < 0.0f)
            it = hitRecords.erase(it);
        else
            ++it;
    }
}

void CWorld::UpdateScrap(float dt) {
    UpdateScrapList(soldierScrap, dt);
    UpdateScrapList(vehicleScrap, dt);
}

// The whole part tree follows its nodes, so a limb with a hand is hit where
// both lie.
static void SetPartTransforms(CCollisionPart* part) {
    if (!part)
        return;
    if (part->node)
        part->instance.SetTransform(part->node->GetWorldMatrix());
    for (CCollisionPart* child : part->children)
        SetPartTransforms(child);
}

void CWorld::UpdateScrapList(std::vector<ScrapEntry>& scrap, float dt) {
    for (ScrapEntry& entry : scrap) {
        MoveAndCollideProp(entry.body, *this, entry.node, dt);
        if (!entry.node)
            continue;
        entry.node->SetPosition(entry.body.position);   // marks the subtree dirty
        SetPartTransforms(entry.part);
    }
}

static void PublishCullCounts(const char* drawn, const char* culled, size_t total, size_t visible) {
    HookInt(g_debugConsole, drawn, (int32_t)visible);
    HookInt(g_debugConsole, culled, (int32_t)(total > visible ? total - visible : 0));
}

void CWorld::PublishCounts() {
    const struct {
        const char* drawn;
        const char* culled;
        VisibilityList list;
        size_t total;
    } counts[] = {
        {"drawnsoldiercount", "culledsoldiercount", VisSoldiers, soldiers.size()},
        {"drawnvehiclescount", "culledvehiclecount", VisVehicles, vehicles.size()},
        {"drawngenericcount", "culledgenericcount", VisGenerics, generics.size()},
        {"drawnweaponcount", "culledweaponcount", VisWeapons, droppedWeapons.size()},
        {"drawngrenadecount", "culledgrenadecount", VisGrenades, droppedGrenades.size()},
        {"drawnprojectilecount", "culledprojectilecount", VisProjectiles, projectiles.projectiles.size()},
        {"drawnsscrapcount", "culledsscrapcount", VisSoldierScrap, soldierScrap.size()},
        {"drawnvscrapcount", "culledvscrapcount", VisVehicleScrap, vehicleScrap.size()},
    };
    for (const auto& c : counts)
        PublishCullCounts(c.drawn, c.culled, c.total, visibility.GetList(c.list).size());
}

// tree: the body's part tree, for the hierarchical descent (soldiers,
// vehicles and props).
static CullEntry MakeEntry(void* object, const Sphere& bounds, const CCollisionPart* tree = nullptr) {
    CullEntry e;
    e.object = object;
    e.bounds = bounds;
    e.tree = tree;
    return e;
}

static void AddScrapEntries(std::vector<ScrapEntry>& scrap, std::vector<CullEntry>& out) {
    for (ScrapEntry& s : scrap)
        out.push_back(MakeEntry(&s, Sphere{s.body.position, ScrapCullRadius}));
}

// Objects go into the lists as pointers to their own classes (CSoldier*,
// CVehicle*, CGenericObject*, CWeapon*, CGrenadeItem*, CProjectile*,
// ScrapEntry*, FurtherObject*).
void CWorld::GetCullEntries(VisibilityList collection, std::vector<CullEntry>& out) {
    switch (collection) {
    case VisSoldiers:
        for (CSoldier* s : soldiers) {
            CullEntry e = MakeEntry(static_cast<void*>(s), s->collision.sphere, s->collision.root);
            e.health = s->health;
            out.push_back(e);
        }
        break;
    case VisSoldierScrap:
        AddScrapEntries(soldierScrap, out);
        break;
    case VisVehicles:
        for (CVehicle* v : vehicles)
            out.push_back(MakeEntry(static_cast<void*>(v), v->collision.sphere, v->collision.root));
        break;
    case VisVehicleScrap:
        AddScrapEntries(vehicleScrap, out);
        break;
    case VisGenerics:
        for (CGenericObject* g : generics)
            out.push_back(MakeEntry(static_cast<void*>(g), g->collision.sphere, g->collision.root));
        break;
    case VisFurther:
        for (FurtherObject& f : furtherObjects)
            out.push_back(MakeEntry(&f, f.collision.sphere));
        break;
    case VisWeapons:
        for (CWeapon& w : droppedWeapons)
            out.push_back(MakeEntry(static_cast<void*>(&w), w.collision.sphere));
        break;
    case VisGrenades:
        for (CGrenadeItem& g : droppedGrenades)
            out.push_back(MakeEntry(static_cast<void*>(&g), g.collision.sphere));
        break;
    case VisProjectiles:
        for (CProjectile& p : projectiles.projectiles) {
            CullEntry e = MakeEntry(static_cast<void*>(&p), Sphere{p.body.position, 0.0f});
            e.kind = p.kind;
            out.push_back(e);
        }
        break;
    default:
        break;
    }
}
