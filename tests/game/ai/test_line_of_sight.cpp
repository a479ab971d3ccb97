#include <gtest/gtest.h>

#include "tests/game/ai/nav_test_util.h"

TEST(NavGrid, CoversTheWholeExtentAndMapsPositionsByFloor) {
    NavGrid grid;
    grid.SetUpOver(-10.0f, 292.0f, 0.0f, 300.0f, 5);
    // 302 units: the last, partly covered strip still gets a column.
    EXPECT_EQ(grid.Width(), 61);
    EXPECT_EQ(grid.Height(), 60);
    EXPECT_EQ(grid.CellOf(Vector3{291.0f, 299.0f, 0}), 59 * 61 + 60);
    // Just below the origin is off the grid, not folded into cell 0.
    EXPECT_EQ(grid.CellOf(Vector3{-10.5f, 1.0f, 0}), -1);
    EXPECT_EQ(grid.CellOf(Vector3{0.0f, 300.0f, 0}), -1);
    EXPECT_EQ(grid.NearestCellOf(Vector3{-1000.0f, 1e30f, 0}), 59 * 61);
    // A cell stands for its corner plus two whole units, shifted by the origin.
    Vector3 c = grid.CellCentre(61 + 3);
    EXPECT_FLOAT_EQ(c.x, 15.0f + 2.0f - 10.0f);
    EXPECT_FLOAT_EQ(c.y, 5.0f + 2.0f);
    EXPECT_EQ(grid.CellOf(c), 61 + 3);
}

TEST(NavGrid, EmptyTerrainGivesNoCells) {
    NavGrid grid;
    grid.SetUpOver(0.0f, 0.0f, 0.0f, 0.0f, 5);
    EXPECT_EQ(grid.CellCount(), 0);
    EXPECT_EQ(grid.CellOf(Vector3{}), -1);
    EXPECT_EQ(grid.NearestCellOf(Vector3{}), -1);
    EXPECT_TRUE(LineOfSight(Vector3{}, Vector3{100, 100, 0}, grid));
    EXPECT_FALSE(FindPath(grid, 0, 0));
}

TEST(LineOfSight, BlockedByAnyNonZeroCellOnTheWalk) {
    NavGrid grid;
    MakeNavGrid(grid, "..........|....3.....|..........|......x...|..........");
    EXPECT_TRUE(LineOfSight(NavPoint(0, 0), NavPoint(0, 0), grid));
    EXPECT_TRUE(LineOfSight(Vector3{1, 1, 0}, Vector3{4, 4, 0}, grid));
    EXPECT_FALSE(LineOfSight(NavPoint(0, 1), NavPoint(9, 1), grid));  // across the 3
    EXPECT_FALSE(LineOfSight(NavPoint(9, 1), NavPoint(0, 1), grid));
    EXPECT_FALSE(LineOfSight(NavPoint(6, 0), NavPoint(6, 4), grid));  // steep, across the 1
    EXPECT_TRUE(LineOfSight(NavPoint(5, 0), NavPoint(5, 4), grid));
    // Shallow and steep diagonals that pass beside the blocks.
    EXPECT_TRUE(LineOfSight(NavPoint(0, 4), NavPoint(3, 1), grid));
    EXPECT_FALSE(LineOfSight(NavPoint(2, 0), NavPoint(6, 2), grid));
}

TEST(LineOfSight, TestsTheFromCellAndItsNeighbourButNotTheToCell) {
    NavGrid grid;
    MakeNavGrid(grid, "#...#");
    EXPECT_TRUE(LineOfSight(NavPoint(2, 0), NavPoint(0, 0), grid));
    EXPECT_FALSE(LineOfSight(NavPoint(0, 0), NavPoint(2, 0), grid));
    EXPECT_FALSE(LineOfSight(NavPoint(4, 0), NavPoint(0, 0), grid));
    // A wall in the cell next to `from`, along a row, a column, a diagonal
    // and a steep line: the walk's last step before `from` meets it.
    MakeNavGrid(grid, ".......|.#.....|.......|.......|.......|.......");
    EXPECT_FALSE(LineOfSight(NavPoint(0, 1), NavPoint(6, 1), grid));
    EXPECT_FALSE(LineOfSight(NavPoint(1, 0), NavPoint(1, 5), grid));
    EXPECT_FALSE(LineOfSight(NavPoint(0, 0), NavPoint(5, 5), grid));
    EXPECT_FALSE(LineOfSight(NavPoint(2, 0), NavPoint(0, 4), grid));
    EXPECT_TRUE(LineOfSight(NavPoint(6, 1), NavPoint(2, 1), grid)) << "the wall beyond `to` is never reached";
    // Nor the wall right behind `from`: the walk stops in its cell.
    EXPECT_TRUE(LineOfSight(NavPoint(2, 1), NavPoint(6, 1), grid));
    EXPECT_TRUE(LineOfSight(NavPoint(1, 2), NavPoint(1, 5), grid));
    EXPECT_TRUE(LineOfSight(NavPoint(2, 2), NavPoint(5, 5), grid));
    EXPECT_TRUE(LineOfSight(NavPoint(0, 2), NavPoint(6, 2), grid));
}

TEST(LineOfSight, LeavingTheGridCountsAsClear) {
    NavGrid grid;
    MakeNavGrid(grid, "....|.##.|....");
    // From a point off the grid: the walk leaves the grid before the wall only
    // when the wall is not between the grid edge and `to`.
    EXPECT_TRUE(LineOfSight(Vector3{-50, 7.5f, 0}, NavPoint(0, 1), grid));
    EXPECT_FALSE(LineOfSight(Vector3{-50, 7.5f, 0}, NavPoint(3, 1), grid));
    // `to` off the grid: the first step is off the grid too.
    EXPECT_TRUE(LineOfSight(NavPoint(0, 1), Vector3{1e9f, 7.5f, 0}, grid));
    EXPECT_TRUE(LineOfSight(Vector3{-1e30f, 7.5f, 0}, Vector3{1e30f, 7.5f, 0}, grid));
}
