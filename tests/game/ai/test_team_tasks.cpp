#include <gtest/gtest.h>

#include "game/ai/squad_buckets.h"
#include "game/ai/steering.h"
#include "game/ai/team_tasks.h"
#include "tests/game/ai/nav_test_util.h"

TEST(TeamTasks, VehicleTasksNeedOnePerEnemyAtLeastFour) {
    EXPECT_EQ(VehicleTaskNeed(0).kind, 2);
    EXPECT_EQ(VehicleTaskNeed(4).kind * 10 + VehicleTaskNeed(4).needed, 14);
    EXPECT_EQ(VehicleTaskNeed(2).needed, 4);
    EXPECT_EQ(VehicleTaskNeed(7).needed, 7);
}

TEST(TeamTasks, LowestInfluenceBucketAroundStaysOnTheMap) {
    InfluenceMap map;
    map.SetUp(3, 3);
    int c = -1, r = -1;
    map.Spread(0, 0, 50.0f);
    map.Spread(1, 1, -500.0f);
    // The centre never counts; of (1, 2) and (2, 1) at -250 the one scanned
    // first (by columns) wins.
    ASSERT_TRUE(LowestInfluenceAround(map, 3, 3, 1, 1, c, r));
    EXPECT_EQ(c, 1);
    EXPECT_EQ(r, 2);
    ASSERT_TRUE(LowestInfluenceAround(map, 3, 3, 2, 2, c, r));
    EXPECT_EQ(c, 1);
    EXPECT_EQ(r, 1);
    InfluenceMap high;
    high.SetUp(1, 2);
    high.Spread(0, 0, 30000.0f);
    EXPECT_FALSE(LowestInfluenceAround(high, 1, 2, 0, 1, c, r));
}

TEST(TeamTasks, GridLineOfFireTreatsOffGridCellsAsFree) {
    NavGrid grid;
    MakeNavGrid(grid, "3....|.....");
    EXPECT_FALSE(GridLineOfFire(grid, NavPoint(0, 0), NavPoint(4, 0)));  // shooter's cell marked
    EXPECT_FALSE(GridLineOfFire(grid, NavPoint(4, 0), NavPoint(0, 0)));  // target's cell marked
    EXPECT_TRUE(GridLineOfFire(grid, NavPoint(4, 1), NavPoint(1, 1)));
    EXPECT_TRUE(GridLineOfFire(grid, Vector3{-100, -100, 0}, Vector3{500, 7, 0}));
}
