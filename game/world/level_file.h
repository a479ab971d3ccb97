// The level file: sections "Terrain", "Soldiers", "Vehicles", "Generic" and
// "Dropped Items", each a name line, a count line ("word<tab or blank>count"),
// a heading line and the rows, fields split at tabs, commas and parentheses.
// Sections are found by name anywhere in the file; a missing one is skipped.
//
// The reader only checks and collects the rows; the world builds the objects
// from these records. A row with a bad or missing field, or a type or team
// index out of range, is reported in "_error.txt" with its file and line and
// left out; the rest of the level still loads.
#ifndef GAME_WORLD_LEVEL_FILE_H
#define GAME_WORLD_LEVEL_FILE_H

#include <istream>
#include <string>
#include <vector>

#include "core/vector.h"

// Section bits of a load mask.
const int LevelTerrainBit = 1;
const int LevelSoldiersBit = 2;
const int LevelGenericBit = 4;
const int LevelDroppedItemsBit = 8;
const int LevelVehiclesBit = 16;
const int LevelAllBits = 255;

// Teams are 0..15: each team has a list in the world and two bits in the AI's
// 32-bit team masks.
const int MaxTeams = 16;

const float DegreesToRadians = 0.017453292f;

struct LevelSoldier {
    int team;
    int type;           // soldier stats row
    Vector3 position;
    float heading;      // radians
    int line;
};

struct LevelVehicle {
    int type;           // vehicle stats row
    Vector3 position;   // no heading: vehicles start facing +x
    int line;
};

struct LevelGeneric {
    std::string mesh;
    bool dynamic;
    Vector3 position;
    float heading;      // radians, from the file's degrees
    int line;
};

// Kind 0 is a weapon (weapon stats row), any other kind a grenade item
// (grenade stats row).
struct LevelDroppedItem {
    int kind;
    int type;
    Vector3 position;
    int line;
};

struct LevelFile {
    // Every "Terrain" row in file order; each loads the terrain again, so the
    // last one is the terrain the battle gets.
    std::vector<std::string> terrain;
    std::vector<LevelSoldier> soldiers;   // the first is the player's
    std::vector<LevelVehicle> vehicles;
    std::vector<LevelGeneric> generics;
    std::vector<LevelDroppedItem> droppedItems;
    int sectionsRead = 0;                 // mask bits of the sections found
    int rowsRefused = 0;
};

// Objects may stand this far beyond the terrain's bounds (and its height
// range), or from the origin without a terrain; a row placed farther off is
// taken for a damaged one.
const float LevelPlacementMargin = 10000.0f;

// The terrain's extent: bounds in x and y, height range in z.
struct LevelArea {
    Vector3 minimum, maximum;
};

// Leaves out the soldiers, vehicles, props and dropped items placed farther
// than LevelPlacementMargin outside the area, each reported as a bad row.
void RefuseFarRows(LevelFile& level, const std::string& fileName, const LevelArea& area);

// The sections of mask from the stream. Type indices are checked against the
// stats tables as loaded now. fileName only names the file in reports.
void ParseLevelFile(std::istream& in, const std::string& fileName, int mask, LevelFile& level);
// False when the file cannot be opened (level untouched).
bool ReadLevelFile(const std::string& path, int mask, LevelFile& level);

#endif
