// Level and message files read into records: sections in any order, missing
// sections, every damaged row refused with a report while the rest loads,
// counts that do not match the rows, and the message line's quoting.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "core/error.h"
#include "game/stats.h"
#include "game/world/level_file.h"
#include "game/world/message_file.h"

namespace {

class LevelFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_soldierTypes.assign(2, SoldierType());
        g_soldierTypes[0].weapon = 0;
        g_soldierTypes[1].weapon = 7;   // names a weapon row that does not exist
        g_weaponTypes.assign(2, WeaponType());
        g_grenadeTypes.assign(1, GrenadeType());
        g_vehicleTypes.assign(1, VehicleType());
    }
    void TearDown() override {
        g_soldierTypes.clear();
        g_weaponTypes.clear();
        g_grenadeTypes.clear();
        g_vehicleTypes.clear();
    }
    LevelFile Parse(const std::string& text, int mask = LevelAllBits) {
        std::istringstream in(text);
        LevelFile level;
        ParseLevelFile(in, "test.txt", mask, level);
        return level;
    }
};

std::vector<MessageFileEntry> Messages(const std::string& text) {
    std::istringstream in(text);
    std::vector<MessageFileEntry> out;
    ParseMessageFile(in, "messages.txt", out);
    return out;
}

}  // namespace

TEST_F(LevelFileTest, SectionsInAnyOrderAndMissingOnesSkipped) {
    LevelFile level = Parse(
        "Generic\nCount 1\nMesh\tDyn\tX\tY\tZ\tHeading\n"
        "data\\models\\props\\rock.mbm\t1\t1\t2\t3\t90\n"
        "Soldiers\nCount\t2\nheading\n"
        "0\t0\t(1.5, -2, 3)\t0.5\n"
        "3,0,4,5,6,1\n"
        "Terrain\nCount\t2\nheading\ndata\\first.mbm\ndata\\models\\land\\valley.mbm\n");
    EXPECT_EQ(level.sectionsRead, LevelTerrainBit | LevelSoldiersBit | LevelGenericBit);
    EXPECT_EQ(level.terrain, (std::vector<std::string>{"data\\first.mbm", "data\\models\\land\\valley.mbm"}));
    ASSERT_EQ(level.soldiers.size(), 2u);
    const LevelSoldier& a = level.soldiers[0];   // "(x, y, z)" splits into its fields
    EXPECT_EQ(std::tie(a.position.x, a.position.y, a.position.z, a.heading), std::make_tuple(1.5f, -2.0f, 3.0f, 0.5f));
    EXPECT_EQ(std::tie(level.soldiers[1].team, level.soldiers[1].line), std::make_tuple(3, 9));
    ASSERT_EQ(level.generics.size(), 1u);
    EXPECT_TRUE(level.generics[0].dynamic);
    EXPECT_FLOAT_EQ(level.generics[0].heading, 1.5707963f);
    EXPECT_TRUE(level.vehicles.empty());

    LevelFile soldiersOnly = Parse("Soldiers\nCount\t1\nh\n0\t0\t0\t0\t0\t0\nTerrain\nC 1\nh\nt.mbm\n",
                                   LevelSoldiersBit);
    EXPECT_EQ(soldiersOnly.soldiers.size(), 1u);
    EXPECT_TRUE(soldiersOnly.terrain.empty());
}

TEST_F(LevelFileTest, RowsPlacedFarOffTheTerrainAreRefused) {
    LevelFile level = Parse(
        "Soldiers\nCount\t3\nh\n0\t0\t3e38\t0\t0\t0\n0\t0\t10099\t-10099\t-9999\t0\n0\t0\t0\t0\t10011\t0\n"
        "Vehicles\nCount\t1\nh\n0\t(0, 10101, 0)\n"
        "Generic\nCount\t2\nh\ndata\\rock.mbm\t0\t-10101\t0\t0\t0\ndata\\rock.mbm\t0\t1\t2\t3\t0\n"
        "Dropped Items\nCount\t1\nh\n0\t0\t1e30\t1e30\t1e30\t0\n");
    ASSERT_EQ(level.soldiers.size() + level.vehicles.size() + level.generics.size() + level.droppedItems.size(), 7u);
    int reports = ErrorReportCount();
    LevelArea area{Vector3{-100, -100, 0}, Vector3{100, 100, 10}};
    RefuseFarRows(level, "test.txt", area);
    // Within 10,000 of the area on every axis stays.
    ASSERT_EQ(std::make_tuple(level.soldiers.size(), level.generics.size()), std::make_tuple(size_t(1), size_t(1)));
    EXPECT_EQ(std::tie(level.soldiers[0].line, level.generics[0].line), std::make_tuple(5, 15));
    EXPECT_TRUE(level.vehicles.empty() && level.droppedItems.empty());
    EXPECT_EQ(level.rowsRefused, 5);
    EXPECT_EQ(ErrorReportCount(), reports + 5);
    EXPECT_NE(LastErrorReport().find("LoadLevel()-test.txt line 19: position (1.000000015e+30, "),
              std::string::npos) << LastErrorReport();
}

TEST_F(LevelFileTest, EveryDamagedRowIsReportedAndSkipped) {
    int reports = ErrorReportCount();
    LevelFile level = Parse(
        "Soldiers\nCount\t9\nheading\n"
        "0\t0\t1\t2\t3\t0\n"          // good
        "-1\t0\t1\t2\t3\t0\n"         // negative team
        "16\t0\t1\t2\t3\t0\n"         // team past the last
        "0\t2\t1\t2\t3\t0\n"          // no such soldier type
        "0\t1\t1\t2\t3\t0\n"          // its weapon row is missing
        "0\t0\t1\t2\t3\n"             // too few fields
        "0\tx\t1\t2\t3\t0\n"          // not a number
        "0\t0\t1e40\t2\t3\t0\n"       // not finite
        "1\t0\t4\t5\t6\t0\n"          // good
        "Vehicles\nCount\t3\nh\n0\t1\t2\t3\n1\t1\t2\t3\n0\t1\t2\n"
        "Dropped Items\nCount\t4\nh\n0\t1\t0\t0\t9\t0\n0\t2\t0\t0\t9\t0\n1\t0\t0\t0\t9\t0\n"
        "5\t1\t0\t0\t9\t0\n"
        "Generic\nCount\t2\nh\n\t1\t0\t0\t0\t0\nrock.mbm\t1.5\t0\t0\t0\t0\n");
    ASSERT_EQ(level.soldiers.size(), 2u);
    EXPECT_EQ(level.soldiers[1].team, 1);
    EXPECT_EQ(level.vehicles.size(), 1u);
    ASSERT_EQ(level.droppedItems.size(), 2u);   // weapon 1 and grenade 0
    EXPECT_EQ(level.droppedItems[1].kind, 1);
    EXPECT_TRUE(level.generics.empty());
    EXPECT_EQ(level.rowsRefused, 7 + 2 + 2 + 2);
    EXPECT_EQ(ErrorReportCount() - reports, level.rowsRefused);
    // Sections load in a fixed order, "Dropped Items" last.
    EXPECT_NE(LastErrorReport().find("test.txt line 25: no grenade type 1"), std::string::npos) << LastErrorReport();
}

// A shared level names models from the game's folder: only those of its
// data folder are loaded, whatever the separators, case or device names.
TEST_F(LevelFileTest, ModelsOutsideTheDataFolderAreRefused) {
    int reports = ErrorReportCount();
    LevelFile level = Parse(
        "Terrain\nCount\t3\nh\n..\\..\\escaped.mbm\ndata\\..\\..\\land.mbm\nDATA/models/land.mbm\n"
        "Generic\nCount\t5\nh\n..\\..\\escaped.mbm\t0\t1\t2\t3\t0\nC:\\rock.mbm\t0\t1\t2\t3\t0\n"
        "\\\\host\\rock.mbm\t0\t1\t2\t3\t0\ndata\\nul.mbm\t0\t1\t2\t3\t0\n"
        "data\\models\\props\\rock.mbm\t0\t1\t2\t3\t0\n");
    EXPECT_EQ(level.terrain, std::vector<std::string>{"DATA/models/land.mbm"});
    ASSERT_EQ(level.generics.size(), 1u);
    EXPECT_EQ(level.generics[0].mesh, "data\\models\\props\\rock.mbm");
    EXPECT_EQ(level.rowsRefused, 6);
    EXPECT_EQ(ErrorReportCount() - reports, 6);
    EXPECT_NE(LastErrorReport().find("model data\\nul.mbm names no file of the data folder"),
              std::string::npos) << LastErrorReport();
}

TEST_F(LevelFileTest, CountsAreNeverTrusted) {
    int reports = ErrorReportCount();
    // Too many rows claimed: the next section's name is not taken as a terrain.
    LevelFile level = Parse("Terrain\nCount\t5\nh\ndata\\valley.mbm\nSoldiers\nCount\t100000000\nh\n"
                            "0\t0\t1\t2\t3\t0\n");
    EXPECT_EQ(level.terrain, std::vector<std::string>{"data\\valley.mbm"});
    EXPECT_EQ(level.soldiers.size(), 1u);
    EXPECT_EQ(ErrorReportCount() - reports, 2);

    // A long count line is read whole: its heading is never taken as a row.
    LevelFile longCount = Parse("Soldiers\nNumberOfSoldiersHere\t1\nTeam Type X Y Z\n0\t0\t1\t2\t3\t0\n");
    EXPECT_EQ(longCount.soldiers.size(), 1u);
    EXPECT_EQ(longCount.soldiers[0].position.x, 1.0f);

    LevelFile badCounts = Parse("Soldiers\nCount\n0\t0\t1\t2\t3\t0\nVehicles\nCount\t-3\nh\n0\t1\t2\t3\n");
    EXPECT_TRUE(badCounts.soldiers.empty());
    EXPECT_TRUE(badCounts.vehicles.empty());
    EXPECT_EQ(Parse("Soldiers").sectionsRead, LevelSoldiersBit);   // cut short: reported, nothing read
    EXPECT_EQ(Parse(std::string(600, 'x') + "\nSoldiers\nC\t1\nh\n" + std::string(600, '0')).soldiers.size(), 0u);
}

TEST(MessageFileTest, QuotedFormatAndArguments) {
    std::vector<MessageFileEntry> m = Messages(
        "Messages\t5\nId Name Image Format Arguments\n"
        "3\tDalvek\tdata\\ui\\avatar.png \"Take %i men to the %cridge%c\" 12 4278190335\n"
        "4 Sergeant data\\ui\\avatar.png  \"Two blanks before the quote\"\n"
        "5 Dalvek data\\ui\\avatar.png\t\"\" lone\n"
        "x Dalvek data\\ui\\avatar.png \"bad id\"\n"
        "6 Dalvek\n");
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(std::tie(m[0].id, m[0].name, m[0].image, m[0].format, m[0].arguments),
              std::make_tuple(3, "Dalvek", "data\\ui\\avatar.png", "Take %i men to the %cridge%c", "12 4278190335"));
    EXPECT_EQ(std::tie(m[1].format, m[1].arguments), std::make_tuple("Two blanks before the quote", ""));
    EXPECT_EQ(std::tie(m[2].format, m[2].arguments), std::make_tuple("", "lone"));

    int reports = ErrorReportCount();
    EXPECT_EQ(Messages("Messages \"9\"\nh\n1 A b \"c\"\n").size(), 1u);   // count ends early: reported
    EXPECT_TRUE(Messages("Messages\nh\n1 A b \"c\"\n").empty());         // no count
    EXPECT_EQ(ErrorReportCount() - reports, 2);
}
