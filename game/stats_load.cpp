#include <cmath>

#include "core/error.h"
#include "core/files.h"
#include "core/sections.h"
#include "core/strings.h"
#include "game/stats.h"

namespace {

const char* const TabSeparators = "\t";
const char* const VehicleSeparators = "\t,()";

// Reads a stats file: a first line whose second token is the row count, a
// heading line, then the rows. Each row is split into its fields and handed to
// parse, which fills the row or names its fault. Battles refer to rows by
// their position in the file, so a faulty row keeps its place as an empty row
// (later rows must not move up) and the table is marked faulty; a file that
// ends early stops the loading there.
template <class Row, class Parse>
bool ParseTable(std::istream& in, const std::string& fileName, const char* loader,
                const char* separators, std::vector<Row>& table, std::string* faults, Parse parse) {
    bool whole = true;
    std::string line;
    std::vector<std::string> fields;
    int lineNumber = 1;
    if (!ReadTextLine(in, line)) {
        ReportError("Error", std::string(loader) + "-" + fileName + " is empty");
        return true;
    }
    SplitString(line, fields, separators);
    int count = fields.size() >= 2 ? TextToInt(fields[1]) : 0;
    if (fields.size() < 2) {
        ReportError("Error", std::string(loader) + "-" + fileName + " line 1: no row count");
    }
    ReadTextLine(in, line);  // column heading
    lineNumber++;

    for (int i = 0; i < count; i++) {
        if (!ReadTextLine(in, line)) {
            ReportError("Error", std::string(loader) + "-" + fileName + " ends after " +
                                     IntToString(i) + " of " + IntToString(count) + " rows");
            return whole;
        }
        lineNumber++;
        if (line.size() > (size_t)MaxTextLine - 1) {
            line.resize(MaxTextLine - 1);
        }
        SplitString(line, fields, separators);
        Row row = Row();
        std::string fault;
        if (!parse(fields, row, fault)) {
            const std::string where = fileName + " line " + IntToString(lineNumber) + ": " + fault;
            ReportError("Error", std::string(loader) + "-" + where);
            if (faults) {
                *faults += (faults->empty() ? "" : "\n") + where + ".";
            }
            whole = false;
            row = Row();
        }
        table.push_back(row);
    }
    return whole;
}

bool TooFew(const std::vector<std::string>& f, size_t needed, std::string& fault) {
    if (f.size() >= needed) {
        return false;
    }
    fault = "too few fields (" + IntToString((int)f.size()) + " of " + IntToString((int)needed) + ")";
    return true;
}

// A float field; "nan", "inf" and numbers past the float range are faults:
// they would reach damage, health and speeds and every sum made of them.
bool Float(const std::vector<std::string>& f, size_t i, float& out, std::string& fault) {
    out = TextToFloat(f[i]);
    if (std::isfinite(out)) {
        return true;
    }
    fault = "field " + IntToString((int)i + 1) + " is not a finite number (\"" + f[i] + "\")";
    return false;
}

// A count field (rounds of a clip, of a weapon, of its reserve): from 0 to
// MaxRoundCount, so the weapons' sums of them never overflow.
bool Count(const std::vector<std::string>& f, size_t i, int& out, std::string& fault) {
    out = TextToInt(f[i]);
    if (out >= 0 && out <= MaxRoundCount) {
        return true;
    }
    fault = "field " + IntToString((int)i + 1) + " is not a count from 0 to " +
            IntToString(MaxRoundCount) + " (\"" + f[i] + "\")";
    return false;
}

bool ParseSoldierRow(const std::vector<std::string>& f, SoldierType& row, std::string& fault) {
    if (TooFew(f, 6, fault)) {
        return false;
    }
    row.name = f[0];
    row.model = "data\\models\\characters\\" + f[1];
    row.weapon = TextToInt(f[2]);
    return Float(f, 3, row.maxArmour, fault) && Float(f, 4, row.health, fault) &&
           Float(f, 5, row.speed, fault);
}

bool ParseWeaponRow(const std::vector<std::string>& f, WeaponType& row, std::string& fault) {
    if (TooFew(f, 11, fault)) {
        return false;
    }
    row.name = f[0];
    row.image = "data\\ui\\" + f[1];
    row.model = "data\\models\\weapons\\" + f[2];
    return Count(f, 3, row.clipSize, fault) && Count(f, 4, row.ammunition, fault) &&
           Count(f, 5, row.maxReserve, fault) && Float(f, 6, row.reloadTime, fault) &&
           Float(f, 7, row.coolDown, fault) && Float(f, 8, row.damage, fault) &&
           Float(f, 9, row.fourthFloat, fault) && Float(f, 10, row.muzzleSpeed, fault);
}

bool ParseGrenadeRow(const std::vector<std::string>& f, GrenadeType& row, std::string& fault) {
    if (TooFew(f, 9, fault)) {
        return false;
    }
    row.name = f[0];
    row.icon = "data\\ui\\" + f[1];
    row.model = "data\\models\\projectiles\\" + f[2];
    row.firstInt = TextToInt(f[3]);
    row.secondInt = TextToInt(f[4]);
    return Float(f, 5, row.firstFloat, fault) && Float(f, 6, row.blast, fault) &&
           Float(f, 7, row.throwSpeed, fault) && Float(f, 8, row.fuse, fault);
}

bool ParseVehicleRow(const std::vector<std::string>& f, VehicleType& row, std::string& fault) {
    if (TooFew(f, 7, fault)) {
        return false;
    }
    int seats = TextToInt(f[6]);
    if (seats < 0) {
        fault = "negative seat count";
        return false;
    }
    if (TooFew(f, 7 + (size_t)seats, fault)) {
        return false;
    }
    row.name = f[0];
    row.model = "data\\models\\vehicles\\" + f[1];
    for (int i = 0; i < 4; i++) {
        if (!Float(f, 2 + i, row.floats[i], fault)) {
            return false;
        }
    }
    row.seatBones.assign(f.begin() + 7, f.begin() + 7 + seats);
    return true;
}

bool ParseProjectileRow(const std::vector<std::string>& f, ProjectileType& row, std::string& fault) {
    if (TooFew(f, 9, fault)) {
        return false;
    }
    row.name = f[0];
    row.image = f[1][0] == '0' ? std::string() : "data\\ui\\" + f[1];
    row.model = "data\\models\\projectiles\\" + f[2];
    if (!Float(f, 3, row.mass, fault) || !Float(f, 4, row.bounceFactor, fault) ||
        !Float(f, 5, row.acceleration, fault) || !Float(f, 6, row.sixthFloat, fault) ||
        !Float(f, 7, row.drag, fault) || !Float(f, 8, row.gravityFactor, fault)) {
        return false;
    }
    // The drag step divides by the mass.
    if (row.drag != 0.0f && !(row.mass > 0.0f)) {
        fault = "drag without a positive mass";
        return false;
    }
    return true;
}

// Faulty rows of the files loaded since the tables were last cleared.
std::string s_rowFaults;

// Opens the file and runs the parser on it; false when it cannot be opened.
template <class Row>
bool LoadTable(const std::string& path, const char* loader, std::vector<Row>& table,
               bool (*parse)(std::istream&, const std::string&, std::vector<Row>&, std::string*)) {
    std::ifstream in;
    if (!OpenInputFile(in, path)) {
        ReportError("Error", std::string(loader) + "-Unable to open " + path);
        return false;
    }
    std::string faults;
    if (!parse(in, path, table, &faults)) {
        s_rowFaults += (s_rowFaults.empty() ? "" : "\n") + faults;
    }
    return true;
}

}  // namespace

const std::string& StatsRowFaults() { return s_rowFaults; }

void ClearStatsTables() {
    g_soldierTypes.clear();
    g_weaponTypes.clear();
    g_grenadeTypes.clear();
    g_vehicleTypes.clear();
    g_projectileTypes.clear();
    s_rowFaults.clear();
}

bool ParseSoldierTypes(std::istream& in, const std::string& fileName, std::vector<SoldierType>& table,
                       std::string* faults) {
    return ParseTable(in, fileName, "LoadSoldierTypes()", TabSeparators, table, faults, ParseSoldierRow);
}

bool ParseWeaponTypes(std::istream& in, const std::string& fileName, std::vector<WeaponType>& table,
                      std::string* faults) {
    return ParseTable(in, fileName, "LoadWeaponTypes()", TabSeparators, table, faults, ParseWeaponRow);
}

bool ParseGrenadeTypes(std::istream& in, const std::string& fileName, std::vector<GrenadeType>& table,
                       std::string* faults) {
    return ParseTable(in, fileName, "LoadGrenadeTypes()", TabSeparators, table, faults, ParseGrenadeRow);
}

bool ParseVehicleTypes(std::istream& in, const std::string& fileName, std::vector<VehicleType>& table,
                       std::string* faults) {
    return ParseTable(in, fileName, "LoadVehicleTypes()", VehicleSeparators, table, faults, ParseVehicleRow);
}

bool ParseProjectileTypes(std::istream& in, const std::string& fileName, std::vector<ProjectileType>& table,
                          std::string* faults) {
    return ParseTable(in, fileName, "LoadProjectileTypes()", TabSeparators, table, faults, ParseProjectileRow);
}

bool LoadSoldierTypes(const std::string& path) {
    return LoadTable(path, "LoadSoldierTypes()", g_soldierTypes, ParseSoldierTypes);
}

bool LoadWeaponTypes(const std::string& path) {
    return LoadTable(path, "LoadWeaponTypes()", g_weaponTypes, ParseWeaponTypes);
}

bool LoadGrenadeTypes(const std::string& path) {
    return LoadTable(path, "LoadGrenadeTypes()", g_grenadeTypes, ParseGrenadeTypes);
}

bool LoadVehicleTypes(const std::string& path) {
    return LoadTable(path, "LoadVehicleTypes()", g_vehicleTypes, ParseVehicleTypes);
}

bool LoadProjectileTypes(const std::string& path) {
    return LoadTable(path, "LoadProjectileTypes()", g_projectileTypes, ParseProjectileTypes);
}
