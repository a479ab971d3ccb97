#ifndef GAME_STATS_H
#define GAME_STATS_H

#include <istream>
#include <string>
#include <vector>

// The five stats tables, loaded once at start-up and kept until exit. A battle
// refers to a row by its index (its position in the file, from 0).

struct SoldierType {
    std::string name;
    std::string model;  // "data\models\characters\" + file text
    float maxArmour;
    float health;
    float speed;        // a step moves the soldier by direction x speed x 3.0 x dt
    int weapon;         // weapon type every soldier of this type gets at reset
};

// The most rounds a weapon's clip, ammunition or reserve may hold.
const int MaxRoundCount = 100000;

struct WeaponType {
    std::string name;
    std::string image;  // "data\ui\" + file text
    std::string model;  // "data\models\weapons\" + file text; node "FPoint" is the muzzle
    int maxReserve;
    int ammunition;     // all shots of a new weapon, full clip included
    int clipSize;
    float fourthFloat;  // not read by the battle
    float reloadTime;   // negative: never reloaded
    float coolDown;     // seconds between shots; thrown weapons: the throw's length
    float damage;
    float muzzleSpeed;
};

struct GrenadeType {
    std::string name;
    std::string icon;   // "data\ui\" + file text
    std::string model;  // "data\models\projectiles\" + file text
    int firstInt;       // not read by the battle
    int secondInt;      // not read by the battle
    float firstFloat;   // not read by the battle
    float blast;        // explosion damage
    float throwSpeed;
    float fuse;
};

struct VehicleType {
    float floats[4];    // not read by the battle
    std::string name;
    std::string model;  // "data\models\vehicles\" + file text
    std::vector<std::string> seatBones;  // seat 0 is the driver's
};

struct ProjectileType {
    std::string name;
    std::string image;  // "data\ui\" + file text; empty when the text starts with '0'
    std::string model;  // "data\models\projectiles\" + file text
    float mass;
    float bounceFactor; // speed kept by a bounce (the file's second float)
    float acceleration;
    float drag;
    float sixthFloat;   // copied into the flying body, not used by its step
    float gravityFactor;
};

extern std::vector<SoldierType> g_soldierTypes;
extern std::vector<WeaponType> g_weaponTypes;
extern std::vector<GrenadeType> g_grenadeTypes;
extern std::vector<VehicleType> g_vehicleTypes;
extern std::vector<ProjectileType> g_projectileTypes;

#define SOLDIER_STATS_PATH "data\\stats\\soldiers.txt"
#define WEAPON_STATS_PATH "data\\stats\\weapons.txt"
#define GRENADE_STATS_PATH "data\\stats\\grenades.txt"
#define VEHICLE_STATS_PATH "data\\stats\\vehicles.txt"
#define PROJECTILE_STATS_PATH "data\\stats\\projectiles.txt"

// Each appends the file's rows to its table; false only when the file cannot be
// opened. A faulty row (too few fields, a float field that is not a finite
// number, a projectile with drag but no mass) keeps its place as an empty row
// and is recorded in StatsRowFaults(), which stops the start: rows are
// referred to by their position in the file.
bool LoadSoldierTypes(const std::string& path);
bool LoadWeaponTypes(const std::string& path);
bool LoadGrenadeTypes(const std::string& path);
bool LoadVehicleTypes(const std::string& path);
bool LoadProjectileTypes(const std::string& path);

// The same on an open stream; fileName only names the file in reports. False
// when a row was faulty; faults, when given, gets one "file line N: fault."
// line per faulty row.
bool ParseSoldierTypes(std::istream& in, const std::string& fileName, std::vector<SoldierType>& table,
                       std::string* faults = nullptr);
bool ParseWeaponTypes(std::istream& in, const std::string& fileName, std::vector<WeaponType>& table,
                      std::string* faults = nullptr);
bool ParseGrenadeTypes(std::istream& in, const std::string& fileName, std::vector<GrenadeType>& table,
                       std::string* faults = nullptr);
bool ParseVehicleTypes(std::istream& in, const std::string& fileName, std::vector<VehicleType>& table,
                       std::string* faults = nullptr);
bool ParseProjectileTypes(std::istream& in, const std::string& fileName, std::vector<ProjectileType>& table,
                          std::string* faults = nullptr);

// The faulty rows met by the Load functions, one per line; empty tables and no
// faults after ClearStatsTables.
const std::string& StatsRowFaults();
void ClearStatsTables();

// Loads the five shipped files in order (soldiers, weapons, grenades, vehicles,
// projectiles), then checks that a battle can run on them.
bool LoadStatsTables(std::string& message);

// The battle uses fixed rows: soldier type 0, weapon types 0 to 5, grenade type
// 0 and projectile kinds 0 to 6. False, with a message for the user, when any
// table is too short or a loaded file had a faulty row.
const int MinSoldierTypes = 1;
const int MinWeaponTypes = 6;
const int MinGrenadeTypes = 1;
const int MinProjectileTypes = 7;
bool ValidateStatsTables(std::string& message);

// Bounds-checked row access. An index outside the table gives an empty row (all
// zero) and is reported once per table.
bool IsSoldierType(int index);
bool IsWeaponType(int index);
bool IsGrenadeType(int index);
bool IsVehicleType(int index);
bool IsProjectileType(int index);
const SoldierType& GetSoldierType(int index);
// The name of a soldier type, nullptr for an index that is not a row.
const char* SoldierTypeName(int index);
const WeaponType& GetWeaponType(int index);
const GrenadeType& GetGrenadeType(int index);
const VehicleType& GetVehicleType(int index);
const ProjectileType& GetProjectileType(int index);

#endif
