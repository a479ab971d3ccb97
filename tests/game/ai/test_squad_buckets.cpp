#include <gtest/gtest.h>

#include "game/ai/squad_buckets.h"

TEST(SquadBuckets, MapsTheLastColumnAndRowAndClampsOutside) {
    SquadBuckets b;
    b.SetUp(0.0f, 350.0f, 0.0f, 120.0f);  // not square: columns follow x
    EXPECT_EQ(b.Columns(), 4);
    EXPECT_EQ(b.Rows(), 2);
    int c, r;
    b.ColumnRowOf(Vector3{349.9f, 119.9f, 0}, c, r);
    EXPECT_EQ(c, 3);
    EXPECT_EQ(r, 1);
    b.ColumnRowOf(Vector3{-5.0f, 1e30f, 0}, c, r);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(r, 1);
    SquadBuckets::Span s = b.Around(3, 1);  // the last column and row stay in
    EXPECT_EQ(s.column0 * 1000 + s.column1 * 100 + s.row0 * 10 + s.row1, 2301);
    // Positions count from the terrain's corner.
    b.SetUp(-200.0f, 200.0f, -200.0f, 200.0f);
    b.ColumnRowOf(Vector3{-150.0f, 50.0f, 0}, c, r);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(r, 2);
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
