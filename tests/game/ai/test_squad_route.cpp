#include <gtest/gtest.h>

#include "game/ai/squad_route.h"
#include "tests/game/ai/nav_test_util.h"

TEST(SquadRoute, DroppedAndRestartedNodesAreStaleNeverReused) {
    SquadRoute route;
    const RouteNode a = route.Push(10), b = route.Push(11), c = route.Push(12);
    EXPECT_EQ(route.IndexOf(b), 1);
    EXPECT_EQ(route.LastNode(), c);
    // Cut back to the earliest node a member walks toward; stale ones don't count.
    route.CutBack({c, b, RouteEnd, 999});
    EXPECT_EQ(route.Size(), 2);
    EXPECT_TRUE(route.Stale(a));
    EXPECT_EQ(route.IndexOf(b), 0);
    EXPECT_FALSE(route.Stale(RouteEnd));
    route.CutBack({RouteEnd, a});
    EXPECT_TRUE(route.Empty());
    EXPECT_EQ(route.LastNode(), RouteEnd);
    // A restarted route hands out new nodes: old holders find theirs gone.
    route.Clear();
    const RouteNode d = route.Push(10);
    EXPECT_NE(d, a);
    EXPECT_TRUE(route.Stale(b));
    route.RemoveAt(5);
    EXPECT_EQ(route.Size(), 1);
}

TEST(SquadRoute, MembersJoinAtTheLatestNodeTheySee) {
    NavGrid grid;
    MakeNavGrid(grid, "......|..##..|......");
    SquadRoute route;
    route.Push(NavCell(grid, 0, 0));
    const RouteNode second = route.Push(NavCell(grid, 5, 0));
    route.Push(NavCell(grid, 5, 2));
    // From below the wall the last node is in sight.
    EXPECT_EQ(FindVisibleRouteNode(route, RouteEnd, NavPoint(0, 2), grid), 2);
    // Searching from the leader's node; the first node is never taken.
    EXPECT_EQ(FindVisibleRouteNode(route, second, NavPoint(0, 2), grid), -1);
    EXPECT_EQ(FindVisibleRouteNode(route, second, NavPoint(1, 0), grid), 1);
    EXPECT_EQ(FindVisibleRouteNode(SquadRoute{}, RouteEnd, NavPoint(1, 0), grid), -1);
}

TEST(SquadRoute, TrailDropsCornersItCanSeePast) {
    NavGrid grid;
    MakeNavGrid(grid, "......|..#...|......");
    SquadRoute route;
    RouteNode dropped = RouteEnd, next = RouteEnd;
    EXPECT_FALSE(AdvanceTrail(route, NavCell(grid, 0, 0), false, grid, dropped, next));
    EXPECT_FALSE(AdvanceTrail(route, NavCell(grid, 1, 0), false, grid, dropped, next));
    ASSERT_TRUE(AdvanceTrail(route, NavCell(grid, 2, 0), false, grid, dropped, next));
    EXPECT_EQ(route.IndexOf(dropped), -1);
    EXPECT_EQ(route.IndexOf(next), 1);
    EXPECT_EQ(route.CellAt(1), NavCell(grid, 2, 0));
    // Round the wall the corner stays.
    EXPECT_FALSE(AdvanceTrail(route, NavCell(grid, 4, 2), false, grid, dropped, next));
    EXPECT_EQ(route.Size(), 3);
    EXPECT_FALSE(AdvanceTrail(route, NavCell(grid, 5, 2), true, grid, dropped, next));
    EXPECT_EQ(route.Size(), 1);
}
