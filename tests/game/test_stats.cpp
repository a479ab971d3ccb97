#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <tuple>

#include "core/error.h"
#include "game/stats.h"

namespace {

template <class Type>
std::vector<Type> Parse(bool (*parse)(std::istream&, const std::string&, std::vector<Type>&, std::string*),
                        const std::string& text, bool ok = true) {
    std::istringstream in(text);
    std::vector<Type> table;
    EXPECT_EQ(parse(in, "t.txt", table, nullptr), ok) << text;
    return table;
}

}  // namespace

// Every table's fields land in their places; file names gain their folders.
TEST(Stats, RowFieldsLandInTheirPlaces) {
    std::vector<WeaponType> w = Parse(ParseWeaponTypes,
        "Weapons\t1\nName\tImage\tModel\tClip\tAmmo\tMax\tReload\tCool\tDamage\tSpare\tSpeed\n"
        "Flare Pistol\tflaregun.png\tflaregun.mbm\t12\t60\t48\t1.5\t0.2\t10\t7\t90\n");
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(std::tie(w[0].name, w[0].image, w[0].model),
              std::make_tuple("Flare Pistol", "data\\ui\\flaregun.png", "data\\models\\weapons\\flaregun.mbm"));
    EXPECT_EQ(std::tie(w[0].clipSize, w[0].ammunition, w[0].maxReserve), std::make_tuple(12, 60, 48));
    EXPECT_EQ(std::tie(w[0].reloadTime, w[0].coolDown, w[0].damage, w[0].fourthFloat, w[0].muzzleSpeed),
              std::make_tuple(1.5f, 0.2f, 10.0f, 7.0f, 90.0f));

    std::vector<SoldierType> s = Parse(ParseSoldierTypes, "Soldiers\t1\nheading\nHero\thero.mbm\t3\t40\t60\t1.5\n");
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].model, "data\\models\\characters\\hero.mbm");
    EXPECT_EQ(std::tie(s[0].weapon, s[0].maxArmour, s[0].health, s[0].speed), std::make_tuple(3, 40.0f, 60.0f, 1.5f));

    std::vector<GrenadeType> g =
        Parse(ParseGrenadeTypes, "Grenades\t1\nheading\nG\tg.png\tg.mbm\t1\t2\t3\t80\t15\t2.5\n");
    ASSERT_EQ(g.size(), 1u);
    EXPECT_EQ(std::tie(g[0].icon, g[0].model), std::make_tuple("data\\ui\\g.png", "data\\models\\projectiles\\g.mbm"));
    EXPECT_EQ(std::tie(g[0].secondInt, g[0].blast, g[0].throwSpeed, g[0].fuse), std::make_tuple(2, 80.0f, 15.0f, 2.5f));

    std::vector<ProjectileType> p = Parse(ParseProjectileTypes,
        "Projectiles\t2\nheading\nRound\t0\tbullet.mbm\t0.01\t0.5\t3\t4\t0\t0\n"
        "Shell\tshell.png\tshell.mbm\t4\t0\t0\t0\t0.2\t1\n");
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(std::tie(p[0].image, p[1].image), std::make_tuple("", "data\\ui\\shell.png")) << "\"0\" names no image";
    EXPECT_EQ(p[0].model, "data\\models\\projectiles\\bullet.mbm");
    EXPECT_EQ(std::tie(p[0].bounceFactor, p[0].acceleration, p[0].sixthFloat), std::make_tuple(0.5f, 3.0f, 4.0f));
    EXPECT_EQ(std::tie(p[1].drag, p[1].gravityFactor), std::make_tuple(0.2f, 1.0f));

    std::vector<VehicleType> v = Parse(ParseVehicleTypes,
        "Vehicles,2\nheading\nBuggy\tbuggy.mbm\t1\t2\t3\t4\t(2,Seat_Driver,Seat_Gunner)\n"
        "Truck\ttruck.mbm\t1\t2\t3\t4\t1,Seat_Driver,Spare\n");
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0].model, "data\\models\\vehicles\\buggy.mbm");
    EXPECT_EQ(v[0].seatBones, (std::vector<std::string>{"Seat_Driver", "Seat_Gunner"}));
    EXPECT_EQ(v[0].floats[3], 4.0f);
    EXPECT_EQ(v[1].seatBones, (std::vector<std::string>{"Seat_Driver"}));
}

TEST(Stats, FaultyRowsKeepTheirPlaceAndAreNamed) {
    int reports = ErrorReportCount();
    std::istringstream in("Weapons\t4\r\nheading\r\nShort\ta.png\ta.mbm\t12\r\n"
                          "Good\ta.png\ta.mbm\t1\t2\t3\t4\t5\t6\t7\t8\r\n");
    std::vector<WeaponType> w;
    std::string faults;
    EXPECT_FALSE(ParseWeaponTypes(in, "data\\stats\\weapons.txt", w, &faults));
    // Rows are referred to by position: the good row stays row 1.
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[0].name, "");
    EXPECT_EQ(w[1].name, "Good");
    EXPECT_FLOAT_EQ(w[1].muzzleSpeed, 8.0f);  // no CR left on the last field
    EXPECT_EQ(faults, "data\\stats\\weapons.txt line 3: too few fields (4 of 11).");
    // One report for the short row, one for the file ending before its count.
    EXPECT_EQ(ErrorReportCount(), reports + 2);

    std::vector<VehicleType> v = Parse(ParseVehicleTypes, "V\t1\nh\nBuggy\tb.mbm\t1\t2\t3\t4\t(3,A,B)\n", false);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_TRUE(v[0].seatBones.empty());
    std::vector<ProjectileType> p = Parse(ParseProjectileTypes,
        "P\t2\nh\nA\t0\ta.mbm\t0\t0\t0\t0\t0.5\t1\nB\t0\tb.mbm\t0\t0\t0\t0\t0\t1\n", false);
    ASSERT_EQ(p.size(), 2u);  // mass 0 is fine without drag
    EXPECT_EQ(p[1].name, "B");

    // Numbers that are no finite float: "nan", infinities and values past
    // the float range, in any float field of any table.
    std::istringstream notFinite("Weapons\t4\nh\n"
                                 "Nan\ta\tb\t1\t2\t3\t4\t5\tnan\t7\t8\n"
                                 "Huge\ta\tb\t1\t2\t3\t4\t5\t1e39\t7\t8\n"
                                 "Inf\ta\tb\t1\t2\t3\t-inf\t5\t6\t7\t8\n"
                                 "Big\ta\tb\t1\t2\t3\t4\t5\t1e19\t7\t8\n");
    w.clear();
    faults.clear();
    EXPECT_FALSE(ParseWeaponTypes(notFinite, "w.txt", w, &faults));
    ASSERT_EQ(w.size(), 4u);
    EXPECT_EQ(w[0].name, "");
    EXPECT_EQ(w[2].name, "");
    EXPECT_FLOAT_EQ(w[3].damage, 1e19f);   // finite: kept
    EXPECT_EQ(faults, "w.txt line 3: field 9 is not a finite number (\"nan\").\n"
                      "w.txt line 4: field 9 is not a finite number (\"1e39\").\n"
                      "w.txt line 5: field 7 is not a finite number (\"-inf\").");
    // Round counts: negative or huge ones would overflow the weapon's
    // reserve sums.
    std::istringstream counts("Weapons\t4\nh\n"
                              "Owed\ta\tb\t1\t-99999999999\t0\t4\t5\t6\t7\t8\n"
                              "Hoard\ta\tb\t0\t1\t99999999999\t4\t5\t6\t7\t8\n"
                              "Clip\ta\tb\t100001\t1\t1\t4\t5\t6\t7\t8\n"
                              "Most\ta\tb\t100000\t100000\t100000\t4\t5\t6\t7\t8\n");
    w.clear();
    faults.clear();
    EXPECT_FALSE(ParseWeaponTypes(counts, "w.txt", w, &faults));
    ASSERT_EQ(w.size(), 4u);
    EXPECT_EQ(w[3].maxReserve, MaxRoundCount);
    EXPECT_EQ(faults, "w.txt line 3: field 5 is not a count from 0 to 100000 (\"-99999999999\").\n"
                      "w.txt line 4: field 6 is not a count from 0 to 100000 (\"99999999999\").\n"
                      "w.txt line 5: field 4 is not a count from 0 to 100000 (\"100001\").");

    for (const char* count : {"Soldiers\n", "Soldiers\t-3\n"})
        EXPECT_TRUE(Parse(ParseSoldierTypes, std::string(count) + "heading\nHero\thero.mbm\t1\t1\t1\t1\n").empty());
}

namespace {

// Each table's row layout: a good row's fields and which of them are floats.
struct RowLayout {
    const char* table;
    std::vector<std::string> fields;
    std::vector<int> floats;
    bool (*parse)(const std::string& text, std::string* faults);
};

template <class Type, bool (*P)(std::istream&, const std::string&, std::vector<Type>&, std::string*)>
bool ParseText(const std::string& text, std::string* faults) {
    std::istringstream in(text);
    std::vector<Type> table;
    return P(in, "t.txt", table, faults);
}

const RowLayout RowLayouts[] = {
    {"soldiers", {"S", "s.mbm", "0", "1", "2", "3"}, {3, 4, 5}, ParseText<SoldierType, ParseSoldierTypes>},
    {"weapons", {"W", "w.png", "w.mbm", "1", "2", "3", "4", "5", "6", "7", "8"}, {6, 7, 8, 9, 10},
     ParseText<WeaponType, ParseWeaponTypes>},
    {"grenades", {"G", "g.png", "g.mbm", "1", "2", "3", "4", "5", "6"}, {5, 6, 7, 8},
     ParseText<GrenadeType, ParseGrenadeTypes>},
    {"vehicles", {"V", "v.mbm", "1", "2", "3", "4", "(1,Seat)"}, {2, 3, 4, 5},
     ParseText<VehicleType, ParseVehicleTypes>},
    {"projectiles", {"P", "0", "p.mbm", "1", "0.5", "3", "4", "0.2", "1"}, {3, 4, 5, 6, 7, 8},
     ParseText<ProjectileType, ParseProjectileTypes>},
};

}  // namespace

// Every float field of every table refuses what is no finite float, naming
// that field.
TEST(Stats, EveryFloatFieldRefusesNonFiniteNumbers) {
    for (const RowLayout& layout : RowLayouts) {
        auto text = [&](int field, const std::string& value) {
            std::string row;
            for (size_t i = 0; i < layout.fields.size(); i++)
                row += (i ? "\t" : "") + ((int)i == field ? value : layout.fields[i]);
            return "Table\t1\nheading\n" + row + "\n";
        };
        std::string faults;
        EXPECT_TRUE(layout.parse(text(-1, ""), &faults)) << layout.table << ": " << faults;
        for (int field : layout.floats) {
            for (const char* bad : {"nan", "-inf", "1e39"}) {
                faults.clear();
                EXPECT_FALSE(layout.parse(text(field, bad), &faults)) << layout.table << " " << field;
                EXPECT_EQ(faults, "t.txt line 3: field " + std::to_string(field + 1) +
                                      " is not a finite number (\"" + bad + "\").")
                    << layout.table;
            }
        }
    }
}

TEST(Stats, MissingFileAndShortTablesStopTheStart) {
    ClearStatsTables();
    EXPECT_FALSE(LoadWeaponTypes("data\\stats\\no_such_file.txt"));
    EXPECT_TRUE(g_weaponTypes.empty());
    EXPECT_TRUE(LoadSoldierTypes(SOLDIER_STATS_PATH));
    EXPECT_TRUE(LoadGrenadeTypes(GRENADE_STATS_PATH));
    EXPECT_FALSE(g_soldierTypes.empty());

    std::string message;
    EXPECT_FALSE(ValidateStatsTables(message));
    EXPECT_NE(message.find("weapons.txt needs at least 6 weapon types, 0 loaded."), std::string::npos);
    EXPECT_NE(message.find("projectiles.txt"), std::string::npos);
    EXPECT_EQ(message.find("soldiers.txt"), std::string::npos);

    // Rows outside the table read as an empty row instead of foreign memory.
    EXPECT_FALSE(IsWeaponType(3));
    EXPECT_EQ(GetWeaponType(3).clipSize, 0);
    EXPECT_EQ(GetWeaponType(-1).name, "");
    EXPECT_TRUE(GetVehicleType(99).seatBones.empty());
    ClearStatsTables();
}

// The shipped tables load whole; a faulty row then stops the start naming
// its file and line.
TEST(Stats, ShippedTablesLoadAndAFaultyRowStopsTheStart) {
    ClearStatsTables();
    std::string message;
    ASSERT_TRUE(LoadStatsTables(message)) << message;
    EXPECT_TRUE(message.empty());
    EXPECT_EQ(g_weaponTypes.size(), 6u);
    EXPECT_EQ(GetSoldierType(0).weapon, 1);
    for (const SoldierType& s : g_soldierTypes)
        EXPECT_TRUE(IsWeaponType(s.weapon)) << s.name;
    {
        std::ofstream out("bad_grenades.txt");
        out << "Grenades\t2\nheading\nG\tg.png\tg.mbm\t1\t2\t3\t80\t15\t2.5\nBroken\tg.png\n";
    }
    EXPECT_TRUE(LoadGrenadeTypes("bad_grenades.txt"));
    EXPECT_FALSE(ValidateStatsTables(message));
    EXPECT_NE(message.find("bad_grenades.txt line 4: too few fields (2 of 9)."), std::string::npos) << message;
    ClearStatsTables();
    EXPECT_TRUE(StatsRowFaults().empty());
}
