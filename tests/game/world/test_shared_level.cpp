// A level and its terrain cache as a player downloads them from someone
// else, into a game folder two folders deep: a cache whose bounds overflow,
// props at the ends of the float range and a model named two folders up.
// The battle is reached on the shipped ground, every fault is in _error.txt,
// and nothing outside the game folder is read or written.
#include "tests/game/world/world_fixture.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/error.h"
#include "game/world/generic_object.h"
#include "game/world/level_file.h"

namespace {

namespace fs = std::filesystem;

const char* const Valley = "data\\models\\land\\valley.mbm";
const char* const Cache = "gen/terrain/valley_8x8.tSegs";

std::string Text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const fs::path& path, const std::string& text) {
    if (path.has_parent_path())
        fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Runs the test in <scratch>/above/below/game, which sees the shipped data\.
class SharedLevel : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        scratch = fs::current_path();
        game = scratch / "above" / "below" / "game";
        fs::create_directories(game);
        fs::create_directory_symlink(fs::canonical("data"), game / "data");
        Write(scratch / "above" / "escaped.mbm", Text("data/models/props/crate.mbm"));
        fs::current_path(game);
        SetErrorReportFile("_error.txt");
    }
    void TearDown() override {
        WorldTest::TearDown();
        fs::current_path(scratch);
        SetErrorReportFile("_error.txt");
        fs::remove_all(scratch / "above");
    }
    // Everything under above/ but the game folder and the folder holding it.
    std::vector<fs::path> OutsideTheGame() {
        std::vector<fs::path> out;
        for (auto it = fs::recursive_directory_iterator(scratch / "above");
             it != fs::recursive_directory_iterator(); ++it) {
            if (it->path() == game)
                it.disable_recursion_pending();
            else if (it->path() != game.parent_path())
                out.push_back(it->path().lexically_relative(scratch));
        }
        return out;
    }
    fs::path scratch, game;
};

TEST_F(SharedLevel, TheBattleIsReachedOnTheShippedGroundAndNothingLeavesTheGameFolder) {
    // The shipped valley's cache, its bounds made finite but overflowing.
    {
        CTerrain terrain;
        ASSERT_TRUE(terrain.Load(Valley));
    }
    std::string cache = Text(Cache);
    ASSERT_GT(cache.size(), 16u);
    const float bounds[4] = {-3e38f, 3e38f, -3e38f, 3e38f};
    memcpy(&cache[0], bounds, sizeof bounds);
    Write(Cache, cache);

    Write("shared.txt",
          std::string("Terrain\nCount\t1\nMesh\n") + Valley + "\n\n"
          "Soldiers\nCount\t2\nTeam\tType\tX\tY\tZ\tHeading\n0\t0\t200\t-20\t0\t0\n1\t1\t70\t-40\t0\t0\n\n"
          "Generic\nCount\t4\nMesh\tDynamic\tX\tY\tZ\tHeading\n"
          "data\\models\\props\\crate.mbm\t0\t3e38\t0\t0\t0\n"
          "data\\models\\props\\crate.mbm\t0\t-3e38\t0\t0\t0\n"
          "..\\..\\escaped.mbm\t0\t10\t10\t0\t0\n"
          "data\\models\\props\\crate.mbm\t0\t190\t-20\t0\t0\n");
    ASSERT_TRUE(world->LoadLevel("shared.txt", LevelAllBits));
    Run(1.0f, 1.0f / 30.0f);

    // The ground was rebuilt from the shipped mesh and cached again.
    const CTerrain* terrain = &world->terrain;
    EXPECT_FALSE(terrain->GetSegments().empty());
    EXPECT_LT(terrain->GetMaxX() - terrain->GetMinX(), MaxTerrainExtent);
    float rewritten;
    memcpy(&rewritten, Text(Cache).data(), sizeof rewritten);
    EXPECT_EQ(rewritten, terrain->GetMinX());
    EXPECT_EQ(world->soldiers.size(), 2u);
    ASSERT_EQ(world->generics.size(), 1u);
    EXPECT_EQ(world->generics.front()->GetPosition().x, 190.0f);

    const std::string errors = Text("_error.txt");
    for (const char* fault : {"valley_8x8.tSegs refused (its bounds are not those of a terrain)",
                              "model ..\\..\\escaped.mbm names no file of the data folder",
                              "e+38, 0, 0) lies far outside the terrain"})
        EXPECT_NE(errors.find(fault), std::string::npos) << fault << "\n" << errors;
    EXPECT_EQ(OutsideTheGame(), std::vector<fs::path>{fs::path("above/escaped.mbm")});
}

}  // namespace
