#include "game/stats.h"
#include "render/text_block.h"

#include "core/error.h"
#include "core/strings.h"

std::vector<SoldierType> g_soldierTypes;
std::vector<WeaponType> g_weaponTypes;
std::vector<GrenadeType> g_grenadeTypes;
std::vector<VehicleType> g_vehicleTypes;
std::vector<ProjectileType> g_projectileTypes;

namespace {

template <class Row>
bool InTable(const std::vector<Row>& table, int index) {
    return index >= 0 && (size_t)index < table.size();
}

// A bad index gets a zeroed row instead of memory outside the table; the first
// one per table is reported, later ones would only repeat it every frame.
template <class Row>
const Row& TableRow(const std::vector<Row>& table, int index, const char* getter, bool& reported) {
    if (InTable(table, index)) {
        return table[(size_t)index];
    }
    if (!reported) {
        reported = true;
        ReportError("Error", std::string(getter) + "-Row " + IntToString(index) + " is not in the table of " +
                                 IntToString((int)table.size()) + " rows");
    }
    static const Row empty = Row();
    return empty;
}

bool soldierReported, weaponReported, grenadeReported, vehicleReported, projectileReported;

void CheckCount(size_t have, int needed, const char* path, const char* what, std::string& message) {
    if (have >= (size_t)needed) {
        return;
    }
    if (!message.empty()) {
        message += "\n";
    }
    message += std::string(path) + " needs at least " + IntToString(needed) + " " + what + ", " +
               IntToString((int)have) + " loaded.";
}

}  // namespace

bool IsSoldierType(int index) { return InTable(g_soldierTypes, index); }
bool IsWeaponType(int index) { return InTable(g_weaponTypes, index); }
bool IsGrenadeType(int index) { return InTable(g_grenadeTypes, index); }
bool IsVehicleType(int index) { return InTable(g_vehicleTypes, index); }
bool IsProjectileType(int index) { return InTable(g_projectileTypes, index); }

const SoldierType& GetSoldierType(int index) {
    return TableRow(g_soldierTypes, index, "GetSoldierType()", soldierReported);
}

const WeaponType& GetWeaponType(int index) {
    return TableRow(g_weaponTypes, index, "GetWeaponType()", weaponReported);
}

const GrenadeType& GetGrenadeType(int index) {
    return TableRow(g_grenadeTypes, index, "GetGrenadeType()", grenadeReported);
}

const VehicleType& GetVehicleType(int index) {
    return TableRow(g_vehicleTypes, index, "GetVehicleType()", vehicleReported);
}

const ProjectileType& GetProjectileType(int index) {
    return TableRow(g_projectileTypes, index, "GetProjectileType()", projectileReported);
}

bool ValidateStatsTables(std::string& message) {
    message.clear();
    CheckCount(g_soldierTypes.size(), MinSoldierTypes, SOLDIER_STATS_PATH, "soldier type", message);
    CheckCount(g_weaponTypes.size(), MinWeaponTypes, WEAPON_STATS_PATH, "weapon types", message);
    CheckCount(g_grenadeTypes.size(), MinGrenadeTypes, GRENADE_STATS_PATH, "grenade type", message);
    CheckCount(g_projectileTypes.size(), MinProjectileTypes, PROJECTILE_STATS_PATH, "projectile types",
               message);
    if (!StatsRowFaults().empty()) {
        message += (message.empty() ? "" : "\n") + StatsRowFaults();
    }
    if (message.empty()) {
        return true;
    }
    message = "The game cannot start: its stats files are missing, incomplete or faulty.\n" + message;
    ReportError("Error", "ValidateStatsTables()-" + message);
    return false;
}

const char* SoldierTypeName(int index) {
    return IsSoldierType(index) ? GetSoldierType(index).name.c_str() : nullptr;
}

bool LoadStatsTables(std::string& message) {
    SetSoldierTypeNameLookup(SoldierTypeName);
    LoadSoldierTypes(SOLDIER_STATS_PATH);
    LoadWeaponTypes(WEAPON_STATS_PATH);
    LoadGrenadeTypes(GRENADE_STATS_PATH);
    LoadVehicleTypes(VEHICLE_STATS_PATH);
    LoadProjectileTypes(PROJECTILE_STATS_PATH);
    return ValidateStatsTables(message);
}
