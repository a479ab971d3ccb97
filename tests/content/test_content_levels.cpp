// The shipped levels, dialogue and pick-up texts through the game's own
// readers: every row reads, every row index names a stats row, the player
// leads the first level's soldiers within a minute's walk of the enemy, and
// every message and text lays out with a value for each directive and
// power-of-two images.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/sections.h"
#include "game/stats.h"
#include "game/world/level_file.h"
#include "game/world/message_file.h"
#include "render/text_block.h"
#include "tests/content/content_fixture.h"

namespace {

const char* const FirstLevel = "data\\levels\\level01.txt";
const char* const AILevel = "data\\levels\\level_AI.txt";
const char* const Dialogue = "data\\dialogue\\dialogue01.txt";
const char* const PickupTexts = "data\\dialogue\\ui.txt";

class ContentLevels : public ContentTest {
protected:
    static LevelFile Read(const char* path) {
        LevelFile level;
        EXPECT_TRUE(ReadLevelFile(path, LevelAllBits, level)) << path;
        EXPECT_EQ(level.rowsRefused, 0) << path;
        return level;
    }

    // A block made as the world and the heads-up display make it: each value
    // directive got its value, and each image is a power-of-two texture.
    static void ExpectComplete(const std::string& format, const std::string& arguments,
                               const std::string& where) {
        CTextBlock block;
        block.SetMaxWidth(200.0f);
        CTextBlock::SetFormatFromString(block, format, arguments);
        size_t wanted[128] = {};
        for (size_t i = 0; i + 1 < format.size(); i++) {
            if (format[i] == '%')
                wanted[(unsigned char)format[++i]]++;
        }
        EXPECT_EQ(block.GetIntegers().size(), wanted['i']) << where;
        EXPECT_EQ(wanted['u'], 0u) << where << ": %u never gets a value from a file";
        EXPECT_EQ(block.GetImageNames().size(), wanted['t']) << where;
        EXPECT_EQ(block.GetColours().size(), (wanted['c'] + 1) / 2) << where;
        EXPECT_EQ(block.GetSizes().size(), (wanted['s'] + 1) / 2) << where;
        EXPECT_EQ(block.GetFontNames().size(), (wanted['f'] + 1) / 2) << where;
        EXPECT_FALSE(block.GetLines().empty()) << where;
        for (const std::string& image : block.GetImageNames()) {
            CTexture texture;
            ASSERT_TRUE(LoadTexture(texture, image, false, 1, false)) << where << ": " << image;
            EXPECT_TRUE(PowerOfTwo(texture.GetWidth()) && PowerOfTwo(texture.GetHeight())) << image;
        }
    }
};

}  // namespace

TEST_F(ContentLevels, FirstLevelIsABattleForThePlayer) {
    LevelFile level = Read(FirstLevel);
    EXPECT_EQ(level.sectionsRead, LevelTerrainBit | LevelSoldiersBit | LevelVehiclesBit |
                                      LevelGenericBit | LevelDroppedItemsBit);
    ASSERT_EQ(level.terrain.size(), 1u);
    ASSERT_FALSE(level.soldiers.empty());
    const LevelSoldier& player = level.soldiers[0];
    EXPECT_EQ(player.team, 0);

    // The nearest enemy is within a minute's walk at the player's speed
    // (a step covers speed x 3 units a second).
    float walk = 60.0f * GetSoldierType(player.type).speed * 3.0f;
    float nearest = 1e9f;
    int enemies = 0;
    // Everybody stands in the middle of the terrain, about the square of
    // 0 .. 300 where the computer's squads patrol.
    for (const LevelSoldier& s : level.soldiers) {
        EXPECT_LE(std::fabs(s.position.x), 300.0f);
        EXPECT_LE(std::fabs(s.position.y), 300.0f);
        if (s.team == player.team)
            continue;
        enemies++;
        nearest = std::min(nearest, std::hypot(s.position.x - player.position.x,
                                               s.position.y - player.position.y));
    }
    EXPECT_GE(enemies, 6);
    EXPECT_LT(nearest, walk);
    EXPECT_GE(level.vehicles.size(), 1u);

    int weapons = 0, grenades = 0;
    for (const LevelDroppedItem& d : level.droppedItems)
        (d.kind == 0 ? weapons : grenades)++;
    EXPECT_GT(weapons, 0);
    EXPECT_GT(grenades, 0);
}

// Both levels field two teams, and the terrain and props they name are
// shipped meshes in their folders.
TEST_F(ContentLevels, LevelsHaveTwoTeamsAndTheirMeshesLoad) {
    for (const char* path : {FirstLevel, AILevel}) {
        SCOPED_TRACE(path);
        LevelFile level = Read(path);
        ASSERT_FALSE(level.soldiers.empty());
        bool other = false;
        for (const LevelSoldier& s : level.soldiers)
            other = other || s.team != level.soldiers[0].team;
        EXPECT_TRUE(other);
        std::vector<std::pair<std::string, const char*>> meshes;
        for (const std::string& t : level.terrain)
            meshes.push_back({t, "data\\models\\land\\"});
        for (const LevelGeneric& g : level.generics)
            meshes.push_back({g.mesh, "data\\models\\props\\"});
        for (const auto& [mesh, folder] : meshes) {
            EXPECT_TRUE(mesh.rfind(folder, 0) == 0 && mesh.compare(mesh.size() - 4, 4, ".mbm") == 0) << mesh;
            CModel model;
            EXPECT_TRUE(LoadModel(model, mesh, false, true) && model.GetRoot()) << mesh;
        }
    }
}

TEST_F(ContentLevels, DialogueMessagesLayOutWithTheirImages) {
    std::vector<MessageFileEntry> messages;
    ASSERT_TRUE(ReadMessageFile(Dialogue, messages));
    std::ifstream in;
    ASSERT_TRUE(OpenInputFile(in, Dialogue));
    std::string line;
    int lines = 0;
    while (ReadTextLine(in, line))
        lines++;
    EXPECT_EQ((int)messages.size(), lines - 2);   // every line read, none refused
    for (const MessageFileEntry& m : messages) {
        CTexture avatar;
        EXPECT_TRUE(LoadTexture(avatar, m.image, false, 1, false)) << m.image;
        ExpectComplete(m.format, m.arguments, "message " + std::to_string(m.id));
    }
}

TEST_F(ContentLevels, EveryPickupTextIsThere) {
    std::vector<std::string> keys;
    for (const WeaponType& w : g_weaponTypes) {
        keys.push_back("Pickup " + w.name);
        keys.push_back("Ammo " + w.name);
    }
    keys.push_back("Ammo " + g_grenadeTypes.at(0).name);
    for (const VehicleType& v : g_vehicleTypes) {
        for (const std::string& seat : v.seatBones)
            keys.push_back("Vehicle " + v.name + " " + seat);
    }
    std::ifstream in;
    ASSERT_TRUE(OpenInputFile(in, PickupTexts));
    for (const std::string& key : keys) {
        ASSERT_TRUE(FindSection(in, key)) << key;
        std::string line;
        ReadTextLine(in, line);
        ASSERT_TRUE(ReadTextLine(in, line)) << key;
        ASSERT_LT(line.size(), 200u) << key;
        size_t open = line.find('"');
        size_t close = line.find('"', open + 1);
        ASSERT_TRUE(open != std::string::npos && close != std::string::npos) << key;
        std::string format = line.substr(open + 1, close - open - 1);
        // One argument word: the first after the closing mark.
        std::string rest = line.substr(close + 1);
        size_t first = rest.find_first_not_of(' ');
        std::string word = first == std::string::npos ? "" : rest.substr(first, rest.find(' ', first) - first);
        ExpectComplete(format, word, key);
    }
}
