// Squad buckets, the influence map on them and the commanders' task rules.
#include <gtest/gtest.h>

#include <utility>

#include "game/ai/squad_buckets.h"
#include "game/ai/steering.h"
#include "game/ai/team_tasks.h"
#include "tests/game/ai/nav_test_util.h"

TEST(SquadBuckets, MapsTheLastColumnAndRowAndClampsOutside) {
    SquadBuckets b;
    auto at = [&](float x, float y) {
        int c, r;
        b.ColumnRowOf(Vector3{x, y, 0}, c, r);
        return std::pair(c, r);
    };
    b.SetUp(0.0f, 350.0f, 0.0f, 120.0f);  // not square: columns follow x
    EXPECT_EQ(b.Columns(), 4);
    EXPECT_EQ(b.Rows(), 2);
    EXPECT_EQ(at(349.9f, 119.9f), std::pair(3, 1));
    EXPECT_EQ(at(-5.0f, 1e30f), std::pair(0, 1));
    SquadBuckets::Span s = b.Around(3, 1);  // the last column and row stay in
    EXPECT_EQ(s.column0 * 1000 + s.column1 * 100 + s.row0 * 10 + s.row1, 2301);
    // Positions count from the terrain's corner.
    b.SetUp(-200.0f, 200.0f, -200.0f, 200.0f);
    EXPECT_EQ(at(-150.0f, 50.0f), std::pair(0, 2));
    EXPECT_FLOAT_EQ(b.Centre(3, 0).x, 150.0f);
}

TEST(SquadBuckets, TerrainSmallerThanABucketOrMissingStillHasOne) {
    SquadBuckets b;
    for (float extent : {50.0f, 0.0f}) {
        b.SetUp(0.0f, extent, 0.0f, extent);
        EXPECT_EQ(b.Columns(), 1);
        EXPECT_EQ(b.Rows(), 1);
        b.AddObstacle(AiObstacle{Vector3{105, 105, 0}, 20});
        b.AddObstacle(AiObstacle{Vector3{105, 0, 0}, 20});
        EXPECT_EQ(b.At(0, 0).obstacles.size(), 2u);
        SquadBuckets::Span s = b.Around(0, 0);
        EXPECT_EQ(s.column1 - s.column0 + s.row1 - s.row0, 0);
    }
}

TEST(InfluenceMap, SpreadsHalfToNeighboursAndDropsWhatFallsOff) {
    InfluenceMap m;
    m.SetUp(3, 2);
    m.Spread(0, 0, 100.0f);
    m.Spread(2, 1, -40.0f);
    m.Spread(-1, 5, 1000.0f);  // off the map: only parts that land on it count
    EXPECT_FLOAT_EQ(m.Value(0, 0), 100.0f);
    EXPECT_FLOAT_EQ(m.Value(0, 1), 50.0f);
    EXPECT_FLOAT_EQ(m.Value(2, 0), -20.0f);
    EXPECT_FLOAT_EQ(m.Value(3, 0), 0.0f);
}

TEST(TeamTasks, VehicleTasksNeedOnePerEnemyAtLeastFour) {
    EXPECT_EQ(VehicleTaskNeed(0).kind, 2);
    EXPECT_EQ(VehicleTaskNeed(4).kind * 10 + VehicleTaskNeed(4).needed, 14);
    EXPECT_EQ(VehicleTaskNeed(2).needed, 4);
    EXPECT_EQ(VehicleTaskNeed(7).needed, 7);
}

TEST(TeamTasks, LowestInfluenceBucketAroundStaysOnTheMap) {
    InfluenceMap map;
    map.SetUp(3, 3);
    map.Spread(0, 0, 50.0f);
    map.Spread(1, 1, -500.0f);
    auto lowest = [](const InfluenceMap& m, int columns, int rows, int column, int row) {
        int c = -1, r = -1;
        return LowestInfluenceAround(m, columns, rows, column, row, c, r) ? std::pair(c, r) : std::pair(-1, -1);
    };
    // The centre never counts; of (1, 2) and (2, 1) at -250 the one scanned
    // first (by columns) wins.
    EXPECT_EQ(lowest(map, 3, 3, 1, 1), std::pair(1, 2));
    EXPECT_EQ(lowest(map, 3, 3, 2, 2), std::pair(1, 1));
    InfluenceMap high;
    high.SetUp(1, 2);
    high.Spread(0, 0, 30000.0f);
    EXPECT_EQ(lowest(high, 1, 2, 0, 1), std::pair(-1, -1));
}

TEST(TeamTasks, GridLineOfFireTreatsOffGridCellsAsFree) {
    NavGrid grid;
    MakeNavGrid(grid, "3....|.....");
    EXPECT_FALSE(GridLineOfFire(grid, NavPoint(0, 0), NavPoint(4, 0)));  // shooter's cell marked
    EXPECT_FALSE(GridLineOfFire(grid, NavPoint(4, 0), NavPoint(0, 0)));  // target's cell marked
    EXPECT_TRUE(GridLineOfFire(grid, NavPoint(4, 1), NavPoint(1, 1)));
    EXPECT_TRUE(GridLineOfFire(grid, Vector3{-100, -100, 0}, Vector3{500, 7, 0}));
}
