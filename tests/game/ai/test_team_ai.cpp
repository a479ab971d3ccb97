// The commanders' cycles on a flat terrain of 10 x 10 buckets (x and y from
// -500): perception through the seen and known bits, limited to squads in
// neighbouring buckets; the influence map; vehicle tasks whose need grows
// with the enemies known around them; merging of small squads.
#include "game/ai/squad.h"
#include "tests/game/ai/ai_world_fixture.h"
#include "tests/game/terrain/terrain_test_util.h"

namespace {

class TeamAITest : public AIWorldTest {
protected:
    void SetUp() override {
        AIWorldTest::SetUp();
        BuildFlat(world->terrain, 500.0f, 0.3f);
    }
    CSoldier* Add(float x, float y, int team, float facingX = 1.0f) {
        CSoldier* s = AddSoldier(Vector3{x, y, 0.0f}, team);
        s->facing = Vector3{facingX, 0.0f, 0.0f};
        return s;
    }
    // Squads stand where their soldiers were at Init; a soldier moved
    // afterwards keeps its squad's bucket.
    void Move(CSoldier* s, float x, float y) {
        s->SetPosition(Vector3{x, y, 0.0f});
        s->ai.squad->RecomputeCentre();
    }
    CTeamCommander& Commander(int team) { return *ai->commanders[size_t(team)]; }
};

TEST_F(TeamAITest, PerceptionMarksSeenAndKnownEnemiesOfNeighbouringBucketsOnly) {
    CSoldier* eye = Add(50, 0, 0);
    CSoldier* ahead = Add(120, 10, 1);
    CSoldier* behind = Add(-20, 0, 1);
    CSoldier* straggler = Add(130, -60, 1);
    CSoldier* far = Add(250, 0, 1);
    ai->Init(*world);
    // The straggler stands in plain sight but belongs to a squad two buckets
    // away: the search never looks at it.
    far->ai.squad->TakeMember(straggler);
    Move(straggler, 110, -20);
    CTeamCommander& own = Commander(0);
    const uint32_t seen = own.teamBit, known = own.teamBit << 1;
    ASSERT_EQ(seen, 1u);

    own.Perceive();
    EXPECT_EQ(ahead->ai.seenBits, seen);
    EXPECT_EQ(ahead->ai.knownBits, known);
    EXPECT_EQ(behind->ai.seenBits | behind->ai.knownBits, 0u);
    EXPECT_EQ(straggler->ai.seenBits | straggler->ai.knownBits, 0u);
    ASSERT_EQ(own.known.size(), 1u);
    EXPECT_EQ(own.known[0].soldier, ahead);

    // Seen again: the one record follows it. Out of sight: the seen bit
    // goes, the record and the known bit stay where it was last seen.
    Move(ahead, 125, 30);
    own.Perceive();
    ASSERT_EQ(own.known.size(), 1u);
    EXPECT_FLOAT_EQ(own.known[0].position.y, 30.0f);
    eye->facing = Vector3{-1, 0, 0};
    own.Perceive();
    EXPECT_EQ(ahead->ai.seenBits, 0u);
    EXPECT_EQ(ahead->ai.knownBits, known);
    EXPECT_FLOAT_EQ(own.known[0].position.y, 30.0f);
    EXPECT_EQ(behind->ai.seenBits, seen);
    ASSERT_EQ(own.known.size(), 2u);

    // Influence: each own soldier adds its health + armour to its bucket and
    // half to the four beside it; each known enemy takes 20 more away.
    const float mine = eye->health + eye->armour;
    const float enemy = ahead->health + ahead->armour + 20.0f;
    own.RebuildInfluence();
    // eye in bucket (5, 5); ahead last seen in (6, 5), behind in (4, 5).
    const float other = behind->health + behind->armour + 20.0f;
    EXPECT_FLOAT_EQ(own.influence.Value(5, 5), mine - enemy / 2 - other / 2);
    EXPECT_FLOAT_EQ(own.influence.Value(6, 5), mine / 2 - enemy);
    EXPECT_FLOAT_EQ(own.influence.Value(7, 5), -enemy / 2);
    EXPECT_FLOAT_EQ(own.influence.Value(5, 6), mine / 2);
    EXPECT_FLOAT_EQ(own.influence.Value(6, 4), -enemy / 2);
    EXPECT_FLOAT_EQ(own.influence.Value(8, 5), 0.0f);
}

TEST_F(TeamAITest, VehicleTasksTakeMoreSquadsAsKnownEnemiesGather) {
    CVehicle* buggy = AddVehicle(Vector3{110, 0, 0});
    CSoldier* eye = Add(40, 0, 0);
    Add(44, 4, 0);
    Add(44, -4, 0);
    CSoldier* second = Add(-60, 0, 0);
    Add(-64, 4, 0);
    CSoldier* player = Add(110, 60, 0, -1.0f);
    std::vector<CSoldier*> enemies;
    for (int i = 0; i < 7; i++)
        enemies.push_back(Add(160.0f + float(i % 2), float(i) - 3.0f, 1, -1.0f));
    world->playerSoldier = player;
    player->playerControlled = 1;
    ai->Init(*world);
    CTeamCommander& own = Commander(0);
    CSquad* first = eye->ai.squad;
    ASSERT_EQ(first->Count(), 3);
    ASSERT_NE(second->ai.squad, first);

    // The buggy is seen, no enemy is known yet: a task to take it, for 4.
    own.Perceive();
    ASSERT_EQ(own.tasks.size(), 1u);
    SquadTask& task = own.tasks.front();
    EXPECT_EQ(task.kind, OrderInvestigate);
    EXPECT_EQ(task.needed, 4);
    EXPECT_EQ(task.vehicle, buggy);
    own.Perceive();
    EXPECT_EQ(own.tasks.size(), 1u) << "a marked vehicle makes no second task";

    // The enemies around the buggy come into sight: the bucket turns hostile.
    Move(eye, 90, 0);
    own.Perceive();
    ASSERT_EQ(own.known.size(), 7u);
    own.RebuildInfluence();
    ASSERT_LT(own.influence.Value(6, 5), 0.0f);

    // The nearest squad that is not the player's takes it; seven known
    // enemies within 60 units against three: the need grows by four.
    own.AssignTasks();
    EXPECT_EQ(first->task, &task);
    EXPECT_EQ(player->ai.squad->task, nullptr);
    EXPECT_EQ(first->orderKind, OrderInvestigate);
    EXPECT_NEAR(first->goal.x, 110.0f, 25.0f) << "sent to the task, or about it";
    EXPECT_EQ(task.assigned, 3);
    EXPECT_EQ(task.needed, 8);
    own.AssignTasks();
    EXPECT_EQ(second->ai.squad->task, &task);
    EXPECT_EQ(task.assigned, 5);
    EXPECT_EQ(task.needed, 10);

    // A task made where enemies are already known fights for it: one member
    // per enemy near it, at least four.
    AddVehicle(Vector3{150, 40, 0});
    own.Perceive();
    ASSERT_EQ(own.tasks.size(), 2u);
    EXPECT_EQ(own.tasks.back().kind, OrderFight);
    EXPECT_EQ(own.tasks.back().needed, 7);
}

TEST_F(TeamAITest, ASmallSquadMergesWithTheFirstOpenSquadItCanSee) {
    CSoldier* small = Add(0, 0, 0);
    CSoldier* smallMate = Add(2, 0, 0);
    CSoldier* full = Add(-200, 0, 0);
    CSoldier* blocked = Add(-300, 0, 0);
    CSoldier* open = Add(-400, 0, 0);
    ai->Init(*world);
    ASSERT_EQ(Commander(0).squads.size(), 4u);
    // Gather them round the small squad: a full one, one behind a wall and
    // an open one, in the commander's order.
    CSquad* fullSquad = full->ai.squad;
    for (int i = 0; i < 5; i++) {
        CSoldier* s = Add(-20.0f, float(i), 0);
        fullSquad->TakeMember(s);
    }
    Move(full, -20, 0);
    for (CSoldier* s : fullSquad->members)
        Move(s, -20, s->GetPosition().y);
    Move(blocked, 0, 25);
    Move(open, 0, -25);
    ASSERT_EQ(fullSquad->Count(), 6);
    NavGrid& grid = ai->grid;
    for (int column = 98; column <= 102; column++)
        grid.SetCell(grid.CellOf(Vector3{0, 12, 0}) + column - 100, NavCellWall);
    ASSERT_FALSE(ai->LineOfSight(blocked->ai.squad->centre, small->GetPosition()));

    CSquad* squad = small->ai.squad;
    squad->orderKind = OrderMerge;
    squad->goal = Vector3{0, -20, 0};
    small->ai.movementFlags &= ~AiMoving;
    Commander(0).AssignTasks();
    EXPECT_EQ(small->ai.squad, open->ai.squad);
    EXPECT_EQ(smallMate->ai.squad, open->ai.squad);
    EXPECT_EQ(open->ai.squad->Count(), 3);
    EXPECT_EQ(blocked->ai.squad->Count(), 1);
    EXPECT_EQ(fullSquad->Count(), 6);
    Commander(0).DeleteEmptySquads();
    EXPECT_EQ(Commander(0).squads.size(), 3u);
}

}  // namespace
