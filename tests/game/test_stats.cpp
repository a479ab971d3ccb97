#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/error.h"
#include "game/stats.h"

TEST(Stats, WeaponRowFieldsLandInTheirPlaces) {
    std::istringstream in(
        "Weapons\t1\n"
        "Name\tImage\tModel\tClip\tAmmo\tMax\tReload\tCool\tDamage\tSpare\tSpeed\n"
        "Flare Pistol\tflaregun.png\tflaregun.mbm\t12\t60\t48\t1.5\t0.2\t10\t7\t90\n");
    std::vector<WeaponType> table;
    ParseWeaponTypes(in, "w.txt", table);
    ASSERT_EQ(table.size(), 1u);
    const WeaponType& w = table[0];
    EXPECT_EQ(w.name, "Flare Pistol");
    EXPECT_EQ(w.image, "data\\ui\\flaregun.png");
    EXPECT_EQ(w.model, "data\\models\\weapons\\flaregun.mbm");
    EXPECT_EQ(w.clipSize, 12);
    EXPECT_EQ(w.ammunition - w.clipSize, 48);  // a new weapon's reserve
    EXPECT_EQ(w.maxReserve, 48);
    EXPECT_FLOAT_EQ(w.reloadTime, 1.5f);
    EXPECT_FLOAT_EQ(w.coolDown, 0.2f);
    EXPECT_FLOAT_EQ(w.damage, 10.0f);
    EXPECT_FLOAT_EQ(w.fourthFloat, 7.0f);
    EXPECT_FLOAT_EQ(w.muzzleSpeed, 90.0f);
}

TEST(Stats, OtherRowLayouts) {
    std::istringstream soldiers("Soldiers\t1\nheading\nHero\thero.mbm\t3\t40\t60\t1.5\n");
    std::vector<SoldierType> s;
    ParseSoldierTypes(soldiers, "s.txt", s);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].model, "data\\models\\characters\\hero.mbm");
    EXPECT_EQ(s[0].weapon, 3);
    EXPECT_FLOAT_EQ(s[0].maxArmour, 40.0f);
    EXPECT_FLOAT_EQ(s[0].health, 60.0f);
    EXPECT_FLOAT_EQ(s[0].speed, 1.5f);

    std::istringstream grenades("Grenades\t1\nheading\nG\tg.png\tg.mbm\t1\t2\t3\t80\t15\t2.5\n");
    std::vector<GrenadeType> g;
    ParseGrenadeTypes(grenades, "g.txt", g);
    ASSERT_EQ(g.size(), 1u);
    EXPECT_EQ(g[0].icon, "data\\ui\\g.png");
    EXPECT_EQ(g[0].model, "data\\models\\projectiles\\g.mbm");
    EXPECT_EQ(g[0].secondInt, 2);
    EXPECT_FLOAT_EQ(g[0].blast, 80.0f);
    EXPECT_FLOAT_EQ(g[0].throwSpeed, 15.0f);
    EXPECT_FLOAT_EQ(g[0].fuse, 2.5f);

    std::istringstream projectiles(
        "Projectiles\t2\nheading\n"
        "Round\t0\tbullet.mbm\t0.01\t0.5\t3\t4\t0\t0\n"
        "Shell\tshell.png\tshell.mbm\t4\t0\t0\t0\t0.2\t1\n");
    std::vector<ProjectileType> p;
    ParseProjectileTypes(projectiles, "p.txt", p);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].image, "");  // "0" names no image
    EXPECT_EQ(p[1].image, "data\\ui\\shell.png");
    EXPECT_EQ(p[0].model, "data\\models\\projectiles\\bullet.mbm");
    EXPECT_FLOAT_EQ(p[0].bounceFactor, 0.5f);
    EXPECT_FLOAT_EQ(p[0].acceleration, 3.0f);
    EXPECT_FLOAT_EQ(p[0].sixthFloat, 4.0f);
    EXPECT_FLOAT_EQ(p[1].drag, 0.2f);
    EXPECT_FLOAT_EQ(p[1].gravityFactor, 1.0f);
}

TEST(Stats, VehicleSeatLists) {
    std::istringstream in(
        "Vehicles,2\n"
        "heading\n"
        "Buggy\tbuggy.mbm\t1\t2\t3\t4\t(2,Seat_Driver,Seat_Gunner)\n"
        "Truck\ttruck.mbm\t1\t2\t3\t4\t1,Seat_Driver,Spare\n");
    std::vector<VehicleType> v;
    ParseVehicleTypes(in, "v.txt", v);
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0].model, "data\\models\\vehicles\\buggy.mbm");
    EXPECT_EQ(v[0].seatBones, (std::vector<std::string>{"Seat_Driver", "Seat_Gunner"}));
    EXPECT_FLOAT_EQ(v[0].floats[3], 4.0f);
    EXPECT_EQ(v[1].seatBones, (std::vector<std::string>{"Seat_Driver"}));
}

TEST(Stats, FaultyRowsKeepTheirPlaceAndAreNamed) {
    int reports = ErrorReportCount();
    std::istringstream in(
        "Weapons\t4\r\n"
        "heading\r\n"
        "Short\ta.png\ta.mbm\t12\r\n"
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

    std::istringstream seats("V\t1\nh\nBuggy\tb.mbm\t1\t2\t3\t4\t(3,A,B)\n");
    std::vector<VehicleType> v;
    EXPECT_FALSE(ParseVehicleTypes(seats, "v.txt", v));
    ASSERT_EQ(v.size(), 1u);
    EXPECT_TRUE(v[0].seatBones.empty());

    std::istringstream massless("P\t2\nh\nA\t0\ta.mbm\t0\t0\t0\t0\t0.5\t1\nB\t0\tb.mbm\t0\t0\t0\t0\t0\t1\n");
    std::vector<ProjectileType> p;
    EXPECT_FALSE(ParseProjectileTypes(massless, "p.txt", p));
    ASSERT_EQ(p.size(), 2u);  // mass 0 is fine without drag
    EXPECT_EQ(p[1].name, "B");

    std::vector<SoldierType> s;
    // Numbers that are no finite float: "nan", infinities and values past
    // the float range, in any float field of any table.
    std::istringstream notFinite(
        "Weapons\t4\nh\n"
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
    std::istringstream grenade("G\t1\nh\nG\ti\tm\t1\t2\t3\tINF\t4\t5\n"),
        soldier("S\t1\nh\nS\tm\t0\t1\tNaN\t1\n"), vehicle("V\t1\nh\nV\tm\t1\tnan\t3\t4\t(1,Seat)\n"),
        projectile("P\t1\nh\nP\t0\tp.mbm\t1\t0\t0\t0\t0\tinf\n");
    std::vector<GrenadeType> g;
    v.clear();
    p.clear();
    EXPECT_FALSE(ParseGrenadeTypes(grenade, "g.txt", g));
    EXPECT_FALSE(ParseSoldierTypes(soldier, "s.txt", s));
    EXPECT_FALSE(ParseVehicleTypes(vehicle, "v.txt", v));
    EXPECT_FALSE(ParseProjectileTypes(projectile, "p.txt", p));

    std::istringstream noCount("Soldiers\nheading\nHero\thero.mbm\t1\t1\t1\t1\n");
    s.clear();
    ParseSoldierTypes(noCount, "s.txt", s);
    EXPECT_TRUE(s.empty());
    std::istringstream negative("Soldiers\t-3\nheading\nHero\thero.mbm\t1\t1\t1\t1\n");
    ParseSoldierTypes(negative, "s.txt", s);
    EXPECT_TRUE(s.empty());
}

TEST(Stats, ShippedTablesLoadAndValidate) {
    ClearStatsTables();
    std::string message;
    ASSERT_TRUE(LoadStatsTables(message)) << message;
    EXPECT_TRUE(message.empty());
    EXPECT_EQ(g_weaponTypes.size(), 6u);
    EXPECT_GE(g_projectileTypes.size(), 7u);
    EXPECT_EQ(GetSoldierType(0).weapon, 1);
    EXPECT_GT(GetProjectileType(6).mass, 0.0f);
    EXPECT_GT(GetProjectileType(6).gravityFactor, 0.0f);
    EXPECT_FALSE(GetVehicleType(0).seatBones.empty());
    for (const SoldierType& s : g_soldierTypes) {
        EXPECT_TRUE(IsWeaponType(s.weapon)) << s.name;
    }
    for (const ProjectileType& p : g_projectileTypes) {
        EXPECT_TRUE(p.drag == 0.0f || p.mass > 0.0f) << p.name;
    }
    ClearStatsTables();
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

TEST(Stats, AFaultyRowStopsTheStartNamingFileAndLine) {
    ClearStatsTables();
    std::string message;
    ASSERT_TRUE(LoadStatsTables(message)) << message;
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
