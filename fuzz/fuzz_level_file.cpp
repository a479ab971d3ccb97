// The level reader over any text, against small stats tables: whatever the
// counts and rows say, every record kept names rows that exist and a team
// that has a list.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "game/stats.h"
#include "game/world/level_file.h"

namespace {

bool Finite(const Vector3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (g_soldierTypes.empty()) {
        g_soldierTypes.assign(2, SoldierType());
        g_soldierTypes[1].weapon = 5;
        g_weaponTypes.assign(2, WeaponType());
        g_grenadeTypes.assign(1, GrenadeType());
        g_vehicleTypes.assign(1, VehicleType());
    }
    std::istringstream in(std::string((const char*)data, size));
    LevelFile level;
    ParseLevelFile(in, "fuzz", LevelAllBits, level);
    for (const LevelSoldier& s : level.soldiers) {
        if (s.team < 0 || s.team >= MaxTeams || s.type != 0 || !Finite(s.position) ||
            !std::isfinite(s.heading)) {
            __builtin_trap();
        }
    }
    for (const LevelVehicle& v : level.vehicles) {
        if (v.type != 0 || !Finite(v.position)) {
            __builtin_trap();
        }
    }
    for (const LevelGeneric& g : level.generics) {
        if (g.mesh.empty() || !Finite(g.position) || !std::isfinite(g.heading)) {
            __builtin_trap();
        }
    }
    for (const LevelDroppedItem& d : level.droppedItems) {
        if (d.type < 0 || d.type > (d.kind == 0 ? 1 : 0) || !Finite(d.position)) {
            __builtin_trap();
        }
    }
    return 0;
}
