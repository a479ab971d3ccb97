// Static props mark their ground footprint on the navigation grid as walls;
// in the shipped first level squads then walk round the walls and rocks.
#include <cmath>
#include <set>

#include "game/ai/nav_marks.h"
#include "game/ai/squad.h"
#include "game/world/generic_object.h"
#include "game/world/level_file.h"
#include "tests/game/ai/ai_world_fixture.h"
#include "tests/game/ai/nav_test_util.h"

namespace {

OrientedBox Box(float cx, float cy, float angleDegrees, float halfLength, float halfWidth) {
    const float a = angleDegrees * 3.14159265f / 180.0f;
    OrientedBox box;
    box.centre = Vector3{cx, cy, 1.0f};
    box.axis[0] = Vector3{std::cos(a), std::sin(a), 0.0f};
    box.axis[1] = Vector3{-std::sin(a), std::cos(a), 0.0f};
    box.axis[2] = Vector3{0.0f, 0.0f, 1.0f};
    box.halfExtent[0] = halfLength;
    box.halfExtent[1] = halfWidth;
    box.halfExtent[2] = 1.0f;
    return box;
}

std::set<std::pair<int, int>> Marked(const NavGrid& grid) {
    std::set<std::pair<int, int>> cells;
    for (int r = 0; r < grid.Height(); r++)
        for (int c = 0; c < grid.Width(); c++)
            if (grid.CellAt(c, r, 0) != 0)
                cells.insert({c, r});
    return cells;
}

}  // namespace

TEST(NavMarks, FootprintsMarkTheCellsTheyOverlap) {
    NavGrid grid;
    MakeNavGrid(grid, ".....|.....|.....|.....|.....");
    // A box filling one cell exactly only touches its neighbours.
    EXPECT_EQ(MarkBoxFootprint(grid, Box(7.5f, 7.5f, 0, 2.5f, 2.5f), 100), 1);
    EXPECT_EQ(grid.CellAt(1, 1, 0), 100);
    EXPECT_EQ(MarkBoxFootprint(grid, Box(7.5f, 7.5f, 0, 2.6f, 2.6f), 7), 9);

    // A thin wall along y = x + 1 crosses nine cells, not the 25 of its
    // bounding square.
    MakeNavGrid(grid, ".....|.....|.....|.....|.....");
    const float half = std::sqrt(2.0f) * 10.5f;
    EXPECT_EQ(MarkBoxFootprint(grid, Box(12.5f, 13.5f, 45, half, 0.2f), 100), 9);
    const std::set<std::pair<int, int>> diagonal{{0, 0}, {0, 1}, {1, 1}, {1, 2}, {2, 2},
                                                 {2, 3}, {3, 3}, {3, 4}, {4, 4}};
    EXPECT_EQ(Marked(grid), diagonal);

    // Off the grid, partly or wholly, and boxes that are not finite.
    MakeNavGrid(grid, ".....|.....|.....|.....|.....");
    EXPECT_EQ(MarkBoxFootprint(grid, Box(-1.0f, 12.0f, 0, 3.0f, 1.0f), 100), 1);
    EXPECT_EQ(MarkBoxFootprint(grid, Box(-100.0f, 12.0f, 30, 3.0f, 1.0f), 100), 0);
    EXPECT_EQ(MarkBoxFootprint(grid, Box(NAN, 12.0f, 0, 3.0f, 1.0f), 100), 0);
    EXPECT_EQ(MarkBoxFootprint(grid, Box(12.0f, 12.0f, 0, 1e30f, 1.0f), 100), 5);
    NavGrid empty;
    EXPECT_EQ(MarkBoxFootprint(empty, Box(0, 0, 0, 3.0f, 1.0f), 100), 0);
}

class NavMarksLevelTest : public AIWorldTest {
protected:
    bool Wall(const Vector3& p) const {
        const int cell = ai->grid.CellOf(p);
        return cell >= 0 && ai->grid.Cell(cell) == NavCellWall;
    }
};

// Static props are walls where nobody starts; a squad sent from one side of
// the ring at (105, 0) to the other routes round it and its leader walks
// there without setting foot in a wall cell.
TEST_F(NavMarksLevelTest, StaticPropsAreWallsThatSquadsWalkRound) {
    ASSERT_TRUE(world->LoadLevel("data\\levels\\level01.txt", LevelAllBits));
    int walls = 0;
    for (int cell = 0; cell < ai->grid.CellCount(); cell++)
        walls += ai->grid.Cell(cell) == NavCellWall;
    for (CGenericObject* prop : world->generics)
        EXPECT_EQ(Wall(prop->GetPosition()), !prop->IsDynamic())
            << "prop at " << prop->GetPosition().x << ", " << prop->GetPosition().y;
    EXPECT_GT(walls, 40);
    EXPECT_LT(walls, 200);
    for (CSoldier* s : world->soldiers)
        EXPECT_FALSE(Wall(s->GetPosition())) << "soldier at " << s->GetPosition().x << ", " << s->GetPosition().y;
    for (CVehicle* v : world->vehicles)
        EXPECT_FALSE(Wall(v->body.position));
    // The ring of walls and rocks the team AI steers round blocks sight.
    EXPECT_FALSE(ai->LineOfSight(Vector3{70, 0, 0}, Vector3{140, 0, 0}));

    ASSERT_TRUE(world->LoadLevel("data\\levels\\level01.txt", LevelTerrainBit | LevelGenericBit));
    CSoldier* leader = AddSoldier(Vector3{70, 2, 30}, 1);
    ai->Init(*world);
    CSquad* squad = leader->ai.squad;
    squad->PlayerOrder(140.0f, 2.0f);
    ASSERT_GE(squad->route.Size(), 3) << "a start and at least two turns";
    for (int i = 0; i < squad->route.Size(); i++)
        EXPECT_NE(ai->grid.Cell(squad->route.CellAt(i)), NavCellWall);
    auto left = [&] { return std::hypot(leader->GetPosition().x - 140.0f, leader->GetPosition().y - 2.0f); };
    bool stepped = false;
    for (int i = 0; i < 60 * 30 && left() > 10.0f; i++) {
        world->Update(1.0f / 30.0f);
        stepped = stepped || Wall(leader->GetPosition());
    }
    EXPECT_LT(left(), 10.0f);
    EXPECT_FALSE(stepped);
}
