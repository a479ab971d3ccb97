// Filling a world from a level file and its message queue from a message
// file. The readers check every row; here the checked records become
// objects.
#include <algorithm>
#include <cmath>

#include "core/error.h"
#include "core/strings.h"
#include "game/soldiers/soldier.h"
#include "game/soldiers/vehicle.h"
#include "game/world/generic_object.h"
#include "game/world/level_file.h"
#include "game/world/message_file.h"
#include "game/world/world.h"

static int EffectiveMask(const WorldLoadMask& m, int mask) {
    int bits = (mask & m.terrain) | (mask & m.soldiers) | (mask & m.generic) |
               (mask & m.droppedItems) | (mask & m.vehicles);
    return bits & m.all;
}

bool CWorld::LoadLevel(const std::string& path, int mask) {
    int bits = EffectiveMask(loadMask, mask);
    LevelFile level;
    if (!ReadLevelFile(path, bits, level)) {
        ReportError("Error", "CWorld::LoadLevel()-could not open " + path);
        return false;
    }
    // Refused before the world is cleared: a file that is no level (or the
    // wrong file) must not throw away the battle that is running.
    if (bits != 0 && level.sectionsRead == 0) {
        ReportError("Error", "CWorld::LoadLevel()-" + path + " holds no level section");
        return false;
    }
    Clear();
    ApplyLevel(level, path);
    if (teamAI)
        teamAI->Init(*this);
    return true;
}

// The ground's extent; a point at the origin without a terrain.
static LevelArea TerrainArea(const CTerrain& terrain) {
    LevelArea area;
    if (terrain.GetSegments().empty())
        return area;
    area.minimum = Vector3{terrain.GetMinX(), terrain.GetMinY(), 0.0f};
    area.maximum = Vector3{terrain.GetMaxX(), terrain.GetMaxY(), 0.0f};
    const std::vector<TerrainVertex>& ground = terrain.GetLevelVertices(0);
    for (size_t i = 0; i < ground.size(); i++) {
        float z = ground[i].position.z;
        area.minimum.z = i == 0 ? z : std::min(area.minimum.z, z);
        area.maximum.z = i == 0 ? z : std::max(area.maximum.z, z);
    }
    return area;
}

void CWorld::ApplyLevel(LevelFile& level, const std::string& fileName) {
    // Each row replaces the terrain: the last one is the battle's.
    for (const std::string& name : level.terrain) {
        if (!terrain.Load(name))
            ReportError("Error", "CWorld::LoadLevel()-terrain " + name + " is not a terrain mesh");
    }
    // Positions far off the ground (3e38, say) are damaged rows: nothing
    // could stand there, and the physics would overflow.
    RefuseFarRows(level, fileName, TerrainArea(terrain));

    for (const LevelSoldier& row : level.soldiers) {
        CSoldier* s = new CSoldier(this, row.type);
        s->SetPosition(row.position);
        s->SetHeading(row.heading);
        // The pose is rebuilt from the facing every update: without this the
        // level's heading would be lost at the first one.
        Vector3 facing{std::cos(row.heading), -std::sin(row.heading), 0.0f};
        s->SetFacing(facing, true);
        s->SetAimPoint(facing, s->aimDistance, true);
        s->SetTeam(row.team);
        AddSoldierToTeam(s, row.team);
    }

    for (const LevelVehicle& row : level.vehicles) {
        CVehicle* v = new CVehicle(this, row.type);
        v->Place(row.position, Vector3{1.0f, 0.0f, 0.0f});
        AddVehicle(v);
    }

    for (const LevelGeneric& row : level.generics) {
        CGenericObject* g = new CGenericObject(this);
        if (!g->LoadMesh(row.mesh, row.dynamic, DefaultHitPoints)) {
            ReportError("Error", "CWorld::LoadLevel()-" + fileName + " line " +
                                     IntToString(row.line) + ": no model in " + row.mesh +
                                     ", prop skipped");
            delete g;
            continue;
        }
        g->SetPosition(row.position);
        g->SetHeading(row.heading);
        AddGeneric(g);
    }

    // Dropped items fall from where they are put, so they settle on the ground.
    for (const LevelDroppedItem& row : level.droppedItems) {
        if (row.kind == 0) {
            CWeapon weapon(row.type, this, WEAPON_FLYING);
            weapon.SetPosition(row.position);
            AddDroppedWeapon(weapon);
        } else {
            CGrenadeItem item(row.type, this, GrenadeFlying);
            item.SetPosition(row.position);
            AddDroppedGrenade(item);
        }
    }
}

void CWorld::LoadMessages(const std::string& path) {
    std::vector<MessageFileEntry> entries;
    if (!ReadMessageFile(path, entries)) {
        ReportError("Error", "CWorld::LoadMessages()-could not open " + path);
        return;
    }
    messages.clear();
    messageShowing = false;
    for (const MessageFileEntry& e : entries) {
        AppendMessage(e.id, e.name, e.image, e.format, e.arguments);
    }
}
