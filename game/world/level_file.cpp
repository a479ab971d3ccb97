#include "game/world/level_file.h"

#include "core/error.h"
#include "core/files.h"
#include "core/sections.h"
#include "core/strings.h"
#include "game/stats.h"
#include "game/world/text_fields.h"

namespace {

const char* const RowSeparators = "\n\t,()";
const size_t MaxRowLength = 512;
const char* const SectionNames[] = {"Terrain", "Soldiers", "Vehicles", "Generic", "Dropped Items"};

// "LoadLevel()-<file> line <n>: <what>", the report of every bad row.
void ReportRow(const std::string& fileName, int line, const std::string& what) {
    ReportError("Error", "LoadLevel()-" + fileName + " line " + IntToString(line) + ": " + what);
}

bool IsSectionName(const std::string& line) {
    for (const char* name : SectionNames) {
        if (line == name) {
            return true;
        }
    }
    return false;
}

// The fields of one row, read in order; the first failure names the fault.
class RowReader {
public:
    RowReader(const std::vector<std::string>& fields, std::string& fault)
        : fields(fields), fault(fault) {}

    bool Need(size_t count) {
        if (fields.size() >= count) {
            return true;
        }
        fault = "too few fields (" + IntToString((int)fields.size()) + " of " +
                IntToString((int)count) + ")";
        return false;
    }
    bool Int(size_t i, const char* what, int& out) {
        return ParseIntField(fields[i], out) || Bad(what, i);
    }
    bool Float(size_t i, const char* what, float& out) {
        return ParseFloatField(fields[i], out) || Bad(what, i);
    }
    bool Position(size_t i, Vector3& out) {
        return Float(i, "x", out.x) && Float(i + 1, "y", out.y) && Float(i + 2, "z", out.z);
    }
    bool Text(size_t i, const char* what, std::string& out) {
        out = TrimBlanks(fields[i]);
        return !out.empty() || Bad(what, i);
    }
    bool Check(bool ok, const std::string& what) {
        if (!ok) {
            fault = what;
        }
        return ok;
    }

private:
    bool Bad(const char* what, size_t i) {
        fault = std::string("bad ") + what + " \"" + fields[i] + "\"";
        return false;
    }

    const std::vector<std::string>& fields;
    std::string& fault;
};

// Models are named from the game's folder; a shared level may name only
// those of its data folder.
bool IsDataFolderPath(const std::string& name) {
    return name.size() > 5 && EqualIgnoringCase(name.substr(0, 4), "data") &&
           (name[4] == '\\' || name[4] == '/') && IsPathBelowFolder(name);
}

bool ParseTerrainRow(RowReader& r, LevelFile& level, int) {
    std::string mesh;
    if (!r.Need(1) || !r.Text(0, "terrain name", mesh) ||
        !r.Check(IsDataFolderPath(mesh), "terrain " + mesh + " names no file of the data folder")) {
        return false;
    }
    level.terrain.push_back(mesh);
    return true;
}

bool ParseSoldierRow(RowReader& r, LevelFile& level, int line) {
    LevelSoldier s;
    s.line = line;
    if (!r.Need(6) || !r.Int(0, "team", s.team) || !r.Int(1, "soldier type", s.type) ||
        !r.Position(2, s.position) || !r.Float(5, "heading", s.heading)) {
        return false;
    }
    if (!r.Check(s.team >= 0 && s.team < MaxTeams,
                 "team " + IntToString(s.team) + " outside 0.." + IntToString(MaxTeams - 1)) ||
        !r.Check(IsSoldierType(s.type), "no soldier type " + IntToString(s.type)) ||
        !r.Check(IsWeaponType(GetSoldierType(s.type).weapon),
                 "soldier type " + IntToString(s.type) + " names no weapon type")) {
        return false;
    }
    level.soldiers.push_back(s);
    return true;
}

bool ParseVehicleRow(RowReader& r, LevelFile& level, int line) {
    LevelVehicle v;
    v.line = line;
    if (!r.Need(4) || !r.Int(0, "vehicle type", v.type) || !r.Position(1, v.position) ||
        !r.Check(IsVehicleType(v.type), "no vehicle type " + IntToString(v.type))) {
        return false;
    }
    level.vehicles.push_back(v);
    return true;
}

bool ParseGenericRow(RowReader& r, LevelFile& level, int line) {
    LevelGeneric g;
    g.line = line;
    int dynamic;
    float degrees;
    if (!r.Need(6) || !r.Text(0, "mesh name", g.mesh) || !r.Int(1, "dynamic flag", dynamic) ||
        !r.Position(2, g.position) || !r.Float(5, "heading", degrees) ||
        !r.Check(IsDataFolderPath(g.mesh), "model " + g.mesh + " names no file of the data folder")) {
        return false;
    }
    g.dynamic = dynamic != 0;
    g.heading = degrees * DegreesToRadians;
    level.generics.push_back(g);
    return true;
}

bool ParseDroppedItemRow(RowReader& r, LevelFile& level, int line) {
    LevelDroppedItem d;
    d.line = line;
    float ignored;
    if (!r.Need(6) || !r.Int(0, "kind", d.kind) || !r.Int(1, "item type", d.type) ||
        !r.Position(2, d.position) || !r.Float(5, "last value", ignored)) {
        return false;
    }
    bool known = d.kind == 0 ? IsWeaponType(d.type) : IsGrenadeType(d.type);
    if (!r.Check(known, std::string(d.kind == 0 ? "no weapon type " : "no grenade type ") +
                            IntToString(d.type))) {
        return false;
    }
    level.droppedItems.push_back(d);
    return true;
}

typedef bool (*RowParser)(RowReader&, LevelFile&, int);

class SectionReader {
public:
    SectionReader(const std::vector<std::string>& lines, const std::string& fileName, LevelFile& level)
        : lines(lines), fileName(fileName), level(level) {}

    // The section's rows from its first name line; silent when it is missing.
    void Read(const char* name, int bit, RowParser parse) {
        size_t at = 0;
        while (at < lines.size() && lines[at] != name) {
            at++;
        }
        if (at == lines.size()) {
            return;
        }
        level.sectionsRead |= bit;
        int count = 0;
        std::vector<std::string> fields;
        if (at + 1 < lines.size()) {
            SplitString(lines[at + 1], fields, " \t");
        }
        if (fields.size() < 2 || !ParseIntField(fields[1], count) || count < 0) {
            Report(at + 1, std::string("no row count for \"") + name + "\", section skipped");
            return;
        }
        if (count > MaxSectionCount) {
            count = MaxSectionCount;
        }
        // The count line is followed by a heading; the rows start after it.
        for (int row = 0; row < count; row++) {
            size_t index = at + 3 + row;
            if (index >= lines.size() || IsSectionName(lines[index])) {
                Report(index, std::string("\"") + name + "\" ends after " + IntToString(row) +
                                  " of " + IntToString(count) + " rows");
                return;
            }
            std::string fault;
            if (lines[index].size() > MaxRowLength) {
                fault = "row longer than " + IntToString((int)MaxRowLength) + " characters";
            } else {
                SplitString(lines[index], fields, RowSeparators);
                RowReader r(fields, fault);
                if (parse(r, level, (int)index + 1)) {
                    continue;
                }
            }
            Report(index, fault + ", row skipped");
            level.rowsRefused++;
        }
    }

private:
    void Report(size_t index, const std::string& what) { ReportRow(fileName, (int)index + 1, what); }

    const std::vector<std::string>& lines;
    const std::string& fileName;
    LevelFile& level;
};

}  // namespace

namespace {

// Rows whose position lies within the margin of the area stay, in order;
// the others are reported and counted.
template <class Row>
void KeepNearRows(std::vector<Row>& rows, const std::string& fileName, const LevelArea& area,
                  int& refused) {
    size_t kept = 0;
    for (Row& row : rows) {
        const Vector3& p = row.position;
        const float at[3] = {p.x, p.y, p.z};
        const float low[3] = {area.minimum.x, area.minimum.y, area.minimum.z};
        const float high[3] = {area.maximum.x, area.maximum.y, area.maximum.z};
        bool near = true;
        for (int k = 0; k < 3; k++)
            near = near && at[k] >= low[k] - LevelPlacementMargin && at[k] <= high[k] + LevelPlacementMargin;
        if (near) {
            rows[kept++] = row;
            continue;
        }
        ReportRow(fileName, row.line, "position (" + FloatToString(p.x) + ", " + FloatToString(p.y) +
                                          ", " + FloatToString(p.z) +
                                          ") lies far outside the terrain, row skipped");
        refused++;
    }
    rows.resize(kept);
}

}  // namespace

void RefuseFarRows(LevelFile& level, const std::string& fileName, const LevelArea& area) {
    KeepNearRows(level.soldiers, fileName, area, level.rowsRefused);
    KeepNearRows(level.vehicles, fileName, area, level.rowsRefused);
    KeepNearRows(level.generics, fileName, area, level.rowsRefused);
    KeepNearRows(level.droppedItems, fileName, area, level.rowsRefused);
}

void ParseLevelFile(std::istream& in, const std::string& fileName, int mask, LevelFile& level) {
    std::vector<std::string> lines;
    ReadAllLines(in, lines);
    SectionReader sections(lines, fileName, level);
    // A fixed order whatever the file's: terrain first, so everything after it
    // can stand on the ground.
    if (mask & LevelTerrainBit) sections.Read("Terrain", LevelTerrainBit, ParseTerrainRow);
    if (mask & LevelSoldiersBit) sections.Read("Soldiers", LevelSoldiersBit, ParseSoldierRow);
    if (mask & LevelVehiclesBit) sections.Read("Vehicles", LevelVehiclesBit, ParseVehicleRow);
    if (mask & LevelGenericBit) sections.Read("Generic", LevelGenericBit, ParseGenericRow);
    if (mask & LevelDroppedItemsBit) sections.Read("Dropped Items", LevelDroppedItemsBit, ParseDroppedItemRow);
}

bool ReadLevelFile(const std::string& path, int mask, LevelFile& level) {
    std::ifstream in;
    if (!OpenInputFile(in, path)) {
        return false;
    }
    ParseLevelFile(in, path, mask, level);
    return true;
}
