// Level files applied to a world: the shipped first level as a running
// battle, a shot fired through the world's own phases, and files the world
// must refuse without losing the battle it holds.
#include "tests/game/world/world_fixture.h"

#include <fstream>

#include "core/error.h"
#include "game/soldiers/vehicle.h"
#include "game/weapons/item_model.h"
#include "game/world/generic_object.h"
#include "game/world/level_file.h"
#include "tests/game/terrain/terrain_test_util.h"

namespace {

const char* const FirstLevel = "data\\levels\\level01.txt";

bool Finite(const Vector3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The ground's height under a point; NaN where there is none.
float GroundHeight(CTerrainAccess& ground, const Vector3& p) {
    Vector3 hit, normal;
    if (!ground.RayQuery(Ray{Vector3{p.x, p.y, 1000.0f}, Vector3{0, 0, -1}}, hit, normal, 0))
        return NAN;
    return hit.z;
}

void WriteText(const char* path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

TEST_F(WorldTest, TheFirstLevelLoadsAndRunsTenSecondsOnTheGround) {
    LevelFile rows;
    ASSERT_TRUE(ReadLevelFile(FirstLevel, LevelAllBits, rows));
    ASSERT_TRUE(world->LoadLevel(FirstLevel, LevelAllBits));
    EXPECT_EQ(teamAI->inits, 1);
    ASSERT_NE(world->GetTerrain(), nullptr);
    ASSERT_GE(world->teams.size(), 2u);
    EXPECT_FALSE(world->teams[0].empty());
    EXPECT_FALSE(world->teams[1].empty());
    EXPECT_EQ(world->soldiers.size(), rows.soldiers.size());
    EXPECT_EQ(world->soldiers.front()->team, 0);
    EXPECT_EQ(world->vehicles.size(), rows.vehicles.size());
    EXPECT_EQ(world->generics.size(), rows.generics.size()) << "every prop has its model";
    EXPECT_EQ(world->droppedWeapons.size() + world->droppedGrenades.size(), rows.droppedItems.size());
    EXPECT_FALSE(world->droppedWeapons.empty());
    EXPECT_FALSE(world->droppedGrenades.empty());
    // The level's heading survives the first pose update.
    const LevelSoldier& first = rows.soldiers.front();
    world->playerSoldier = world->soldiers.front();

    Run(10.0f, 1.0f / 30.0f);
    EXPECT_NEAR(world->soldiers.front()->facing.x, std::cos(first.heading), 1e-3f);
    EXPECT_NEAR(world->soldiers.front()->facing.y, -std::sin(first.heading), 1e-3f);
    CTerrainAccess& ground = *world->GetTerrain();
    for (CSoldier* s : world->soldiers) {
        const Vector3& p = s->GetPosition();
        ASSERT_TRUE(Finite(p) && std::isfinite(s->health));
        EXPECT_NEAR(p.z, GroundHeight(ground, p), 0.5f) << "soldier at " << p.x << ", " << p.y;
    }
    for (CVehicle* v : world->vehicles)
        EXPECT_TRUE(Finite(v->body.position));
    // Static props never fall, so the file puts them on the ground; items
    // fall from where the file puts them and settle.
    std::vector<Vector3> standing;
    for (CGenericObject* g : world->generics)
        standing.push_back(g->GetPosition());
    for (CWeapon& w : world->droppedWeapons)
        standing.push_back(w.GetPosition());
    for (CGrenadeItem& g : world->droppedGrenades)
        standing.push_back(g.GetPosition());
    for (const Vector3& p : standing) {
        ASSERT_TRUE(Finite(p));
        EXPECT_NEAR(p.z, GroundHeight(ground, p), 1.0f) << "at " << p.x << ", " << p.y;
    }
    EXPECT_EQ(Hook("genericcount"), (int)rows.generics.size());

    // The player test state's dialogue replaces the queue; the state shows it.
    world->AddMessage("old", "", "gone", "");
    world->LoadMessages("data\\dialogue\\dialogue01.txt");
    ASSERT_FALSE(world->messages.empty());
    EXPECT_NE(world->messages.front().name, "old");
    EXPECT_FALSE(world->messageShowing);
}

TEST_F(WorldTest, AShotThroughTheWorldsPhasesTakesArmourThenHealthAndRecordsTheHit) {
    BuildFlat(world->terrain, 200.0f, 0.3f);
    CSoldier* shooter = AddSoldier(Vector3{0, 0, 0}, 0);
    CSoldier* target = AddSoldier(Vector3{12, 0, 0}, 1);
    world->playerSoldier = shooter;
    Run(0.5f);
    Vector3 chest = NodeTranslation(target->model.FindNode("Chest"));
    Vector3 muzzle = NodeTranslation(shooter->GetCurrentWeapon().FindMuzzle());
    Vector3 aim;
    Vector3Subtract(aim, chest, muzzle);
    float distance = Vector3Length(aim);
    Vector3NormalizeInPlace(aim);
    shooter->SetAimPoint(aim, distance, true);
    Run(0.1f);

    float damage = GetWeaponType(shooter->GetCurrentWeapon().type).damage;
    ASSERT_GT(damage, 5.0f);
    target->armour = 5.0f;
    target->health = 100.0f;
    target->ResetHitReaction();   // no armour regrowth during the flight
    shooter->GetCurrentWeapon().coolDown = 0.0f;
    shooter->Fire();
    ASSERT_EQ(world->projectiles.projectiles.size(), 1u);
    ASSERT_GT(distance, 8.0f);
    world->Update(0.02f);   // 4 units: still short of the target
    EXPECT_EQ(target->armour, 5.0f);
    ASSERT_TRUE(world->projectiles.projectiles.front().alive);
    world->Update(0.1f);    // 20 units: this step crosses the target, and the hit lands now
    EXPECT_FALSE(world->projectiles.projectiles.front().alive);
    EXPECT_EQ(target->armour, 0.0f);
    EXPECT_FLOAT_EQ(target->health, 100.0f - (damage - 5.0f));
    ASSERT_EQ(world->hitRecords.size(), 1u);
    EXPECT_FALSE(world->hitRecords.front().text.empty());
    EXPECT_EQ(teamAI->attacks, 1);
}

TEST_F(WorldTest, BadLevelFilesAreRefusedAndTheBattleKept) {
    AddSoldier(Vector3{}, 0);
    int reports = ErrorReportCount();
    EXPECT_FALSE(world->LoadLevel("data\\levels\\no_such_level.txt", LevelAllBits));
    EXPECT_NE(LastErrorReport().find("no_such_level.txt"), std::string::npos);
    WriteText("not_a_level.txt", "just some text\nwithout sections\n");
    EXPECT_FALSE(world->LoadLevel("not_a_level.txt", LevelAllBits));
    EXPECT_NE(LastErrorReport().find("holds no level section"), std::string::npos);
    EXPECT_EQ(ErrorReportCount(), reports + 2);
    EXPECT_EQ(world->soldiers.size(), 1u);
    EXPECT_EQ(teamAI->inits, 0);

    // Damaged rows are refused one by one; a mask of 2 loads soldiers only
    // and still starts the team AI.
    WriteText("damaged.txt",
              "Vehicles\nCount\t1\nType\n0\t1\t2\t0\n"
              "Soldiers\nCount\t4\nTeam\n0\t1\t1\t2\t0\t0\n-1\t1\t0\t0\t0\t0\n0\t999\t0\t0\t0\t0\n1\t1\t5\n");
    EXPECT_TRUE(world->LoadLevel("damaged.txt", LevelSoldiersBit));
    EXPECT_EQ(ErrorReportCount(), reports + 5);
    ASSERT_EQ(world->soldiers.size(), 1u);
    EXPECT_EQ(world->soldiers.front()->GetPosition().x, 1.0f);
    EXPECT_TRUE(world->vehicles.empty());
    EXPECT_EQ(teamAI->inits, 1);

    // Positions far off the ground are bad rows too.
    WriteText("far.txt", "Soldiers\nCount\t3\nTeam\n0\t1\t3e38\t0\t0\t0\n0\t1\t5\t6\t0\t0\n"
                         "0\t1\t0\t0\t-20000\t0\n");
    reports = ErrorReportCount();
    EXPECT_TRUE(world->LoadLevel("far.txt", LevelSoldiersBit));
    EXPECT_EQ(ErrorReportCount(), reports + 2);
    EXPECT_NE(LastErrorReport().find("far.txt line 6: position (0, 0, -20000) lies far outside the terrain, "
                                     "row skipped"),
              std::string::npos);
    ASSERT_EQ(world->soldiers.size(), 1u);
    EXPECT_EQ(world->soldiers.front()->GetPosition().x, 5.0f);
}

}  // namespace
