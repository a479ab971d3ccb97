#include "game/world/world.h"

#include <algorithm>

#include "app/console.h"
#include "core/error.h"
#include "core/strings.h"
#include "game/ai/team_ai.h"
#include "game/soldiers/soldier.h"
#include "game/soldiers/vehicle.h"
#include "game/world/generic_object.h"
#include "game/world/level_file.h"
#include "game/world/world_query.h"
#include "render/node.h"

namespace {

// The order a walk over the lists meets the object sets in.
int QueryRank(int set) {
    switch (set) {
    case QUERY_FURTHER: return 0;
    case QUERY_PROPS: return 1;
    case QUERY_SOLDIERS: return 2;
    default: return 3;
    }
}

}  // namespace

CWorld::CWorld()
    : soldiersRun(true), objectsRun(true), messagesEnabled(false), messageTimer(0.0f),
      messageShowing(false), phases(this, CollisionBudget), visibility(this), ground(terrain) {
    // Without a projection the planes would be degenerate and the far plane
    // at 0, culling everything ahead of the camera.
    visibility.SetPerspective(WorldCullAspect, WorldCullNear, WorldCullFar, WorldCullDistance);
    terrain.SetVisibilityLists(&visibility);
    teamAI = std::make_unique<CTeamAI>();
}

CWorld::~CWorld() {
    Clear();
    teamAI.reset();
}

template <typename T>
static bool Unlink(T& list, typename T::value_type item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}

void CWorld::Clear() {
    while (!soldiers.empty())
        RemoveSoldier(soldiers.front());
    while (!vehicles.empty())
        RemoveVehicle(vehicles.front());
    while (!generics.empty())
        RemoveGeneric(generics.front());
    droppedWeapons.clear();
    droppedGrenades.clear();
    furtherObjects.clear();
    DeleteScrap(soldierScrap);
    DeleteScrap(vehicleScrap);
    // Projectiles and the AI's lists would otherwise keep pointers to the
    // soldiers just deleted once a level is loaded into a used world.
    projectiles.Clear();
    // After the projectiles, which let go of their effects: nothing of the
    // old battle burns on in the new level.
    particles.Clear();
    if (teamAI)
        teamAI->Clear();
    teams.clear();
    playerSoldier = nullptr;
    // A draw before the next update must not reach the objects just deleted.
    visibility.ClearLists();
}

void CWorld::DeleteScrap(std::vector<ScrapEntry>& scrap) {
    for (ScrapEntry& entry : scrap) {
        delete entry.node;
        CCollisionPart::DeleteTree(entry.part);
    }
    scrap.clear();
}

void CWorld::AddSoldierToTeam(CSoldier* soldier, int team) {
    if (team >= 0 && team < MaxTeams) {
        if ((int)teams.size() <= team)
            teams.resize((size_t)team + 1);
        teams[(size_t)team].push_back(soldier);
    } else {
        ReportError("Error", "CWorld::AddSoldierToTeam()-team " + IntToString(team) +
                                 " outside 0.." + IntToString(MaxTeams - 1));
    }
    soldiers.push_back(soldier);
    bodyGrid.Add(&soldier->GetCollisionBody(), static_cast<CSoldierTarget*>(soldier),
                 QUERY_SOLDIERS, QueryRank(QUERY_SOLDIERS));
}

void CWorld::RemoveSoldier(CSoldier* soldier) {
    if (!soldier)
        return;
    // Every team list: the soldier's team index may have changed since it
    // was listed, or name no list at all.
    for (std::list<CSoldier*>& team : teams)
        Unlink(team, soldier);
    Unlink(soldiers, soldier);
    if (playerSoldier == soldier)
        playerSoldier = nullptr;
    // Its squad and the known-enemy lists let go of it.
    if (teamAI && soldier->ai.squad)
        teamAI->OnSoldierLeavesTeamAI(soldier);
    for (CSoldier* other : soldiers) {
        if (other->ai.target == soldier)
            other->ai.target = nullptr;
    }
    for (CProjectile& p : projectiles.projectiles) {
        if (p.owner == soldier)
            p.owner = nullptr;
    }
    particles.DetachObject(soldier);
    // Console hooks that point into the soldier ("playerpos") would read
    // freed memory once it is gone, even after the battle.
    NeutraliseHookRange(soldier, sizeof(CSoldier));
    delete soldier;
}

void CWorld::AddVehicle(CVehicle* vehicle) {
    vehicles.push_back(vehicle);
    bodyGrid.Add(&vehicle->collision, vehicle, QUERY_VEHICLES, QueryRank(QUERY_VEHICLES));
}

void CWorld::RemoveVehicle(CVehicle* vehicle) {
    if (!vehicle)
        return;
    Unlink(vehicles, vehicle);
    for (CSoldier* s : soldiers) {
        if (s->vehicle == vehicle)
            s->vehicle = nullptr;
        if (s->vehicleInReach == vehicle)
            s->vehicleInReach = nullptr;
        if (s->ai.cover == vehicle)
            s->ai.cover = nullptr;
    }
    delete vehicle;
}

void CWorld::AddGeneric(CGenericObject* generic) {
    generics.push_back(generic);
    bodyGrid.Add(&generic->collision, generic, QUERY_PROPS, QueryRank(QUERY_PROPS));
}

void CWorld::RemoveGeneric(CGenericObject* generic) {
    if (!generic)
        return;
    Unlink(generics, generic);
    particles.DetachObject(generic);
    delete generic;
}

void CWorld::AppendMessage(int id, const std::string& name, const std::string& image,
                           const std::string& format, const std::string& arguments) {
    messages.emplace_back();
    WorldMessage& m = messages.back();
    m.id = id;
    m.name = name;
    m.image = image;
    m.block.SetMaxWidth(MessageWidth);
    CTextBlock::SetFormatFromString(m.block, format, arguments);
    m.block.Layout();
}

void CWorld::AddMessage(const std::string& name, const std::string& image,
                        const std::string& format, const std::string& arguments) {
    AppendMessage(0, name, image, format, arguments);
    if (!messageShowing) {
        messageShowing = true;
        messageTimer = MessageDisplayTime;
    }
}

void CWorld::AddMessage(const std::string& speaker, const std::string& image,
                        const std::string& text) {
    AddMessage(speaker, image, text, std::string());
}

void CWorld::SetMessagesEnabled(bool enabled) {
    messagesEnabled = enabled;
    if (enabled) {
        messageShowing = true;
        messageTimer = MessageDisplayTime;
    }
}

void CWorld::AddHitRecord(const char* text, const Vector3& point) {
    WorldHitRecord record;
    record.point = point;
    record.text = text ? text : "";
    hitRecords.push_back(record);
}

void CWorld::AddSoldierScrap(CNode* node, CCollisionPart* part, const Vector3& velocity) {
    ScrapEntry entry;
    entry.node = node;
    entry.part = part;
    if (node) {
        const Matrix4& m = node->GetWorldMatrix();
        entry.body.position = Vector3{m.m[3], m.m[7], m.m[11]};
    }
    entry.body.velocity = velocity;
    soldierScrap.push_back(entry);
}

void CWorld::OnProjectileRemoved(CProjectile* projectile) {
    if (teamAI)
        teamAI->OnProjectileRemoved(projectile);
}

void CWorld::OnSoldierAttacked(CSoldier* soldier, CCollisionProjectile* attacker) {
    if (teamAI)
        teamAI->OnSoldierAttacked(soldier, attacker);
}

void CWorld::OnSoldierLeavesTeamAI(CSoldier* soldier) {
    if (teamAI)
        teamAI->OnSoldierLeavesTeamAI(soldier);
}

CTerrainAccess* CWorld::GetTerrain() {
    return terrain.GetSegments().empty() ? nullptr : &ground;
}

CBodyGrid* CWorld::GetBodyGrid() {
    if (!bodyGridEnabled)
        return nullptr;
    if (bodyGrid.Count(QUERY_FURTHER) != (int)furtherObjects.size())
        ListInBodyGrid(QUERY_FURTHER);
    if (bodyGrid.Count(QUERY_PROPS) != (int)generics.size())
        ListInBodyGrid(QUERY_PROPS);
    if (bodyGrid.Count(QUERY_SOLDIERS) != (int)soldiers.size())
        ListInBodyGrid(QUERY_SOLDIERS);
    if (bodyGrid.Count(QUERY_VEHICLES) != (int)vehicles.size())
        ListInBodyGrid(QUERY_VEHICLES);
    return &bodyGrid;
}

// The set's bodies again, in list order.
void CWorld::ListInBodyGrid(int set) {
    bodyGrid.RemoveSet(set);
    int rank = QueryRank(set);
    if (set == QUERY_FURTHER) {
        for (FurtherObject& f : furtherObjects)
            bodyGrid.Add(&f.collision, &f, set, rank);
    } else if (set == QUERY_PROPS) {
        for (CGenericObject* g : generics)
            bodyGrid.Add(&g->collision, g, set, rank);
    } else if (set == QUERY_SOLDIERS) {
        for (CSoldier* s : soldiers)
            bodyGrid.Add(&s->GetCollisionBody(), static_cast<CSoldierTarget*>(s), set, rank);
    } else {
        for (CVehicle* v : vehicles)
            bodyGrid.Add(&v->collision, v, set, rank);
    }
}

void CWorld::CollectProps(std::vector<CGenericObject*>& out) {
    out.insert(out.end(), generics.begin(), generics.end());
}

void CWorld::CollectFurtherObjects(std::vector<WorldBodyEntry>& out) {
    for (FurtherObject& f : furtherObjects)
        out.push_back(WorldBodyEntry{&f.collision, &f});
}

bool CWorld::IsPointOutsideView(const Vector3& point) {
    return visibility.IsPointOutside(point);
}
