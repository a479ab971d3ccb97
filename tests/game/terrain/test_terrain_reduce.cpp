// The fast closest-pair collapse against the all-pairs search it replaces,
// and the triangle clean-ups after it.
#include <gtest/gtest.h>

#include <cstring>

#include "collapse_reference.h"

namespace {

uint32_t NextRandom(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// Lattice points make many equal distances; some points repeat exactly.
void RandomMesh(uint32_t seed, std::vector<TerrainVertex>& v, std::vector<uint16_t>& indices) {
    uint32_t s = seed;
    int count = 25 + (int)(NextRandom(s) % (seed % 10 ? 60 : 140));
    int lattice = 2 + (int)(NextRandom(s) % 6);
    v.clear();
    indices.clear();
    for (int i = 0; i < count; i++) {
        TerrainVertex t;
        if (i > 0 && NextRandom(s) % 7 == 0) {
            t = v[NextRandom(s) % v.size()];
        } else {
            float spread = seed % 2 ? 1.0f : 37.3f;   // lattice ties, or scattered
            t.position = Vector3{(float)(NextRandom(s) % (lattice * 16)) * spread / 16,
                                 (float)(NextRandom(s) % lattice) * spread,
                                 (float)(NextRandom(s) % 3) * 0.5f};
            // Up or down: merging (0, 0, 1) with (0, 0, -1) cancels the normal.
            t.normal = Vector3{0, (float)(NextRandom(s) % 2), NextRandom(s) % 4 ? 1.0f : -1.0f};
            t.extra = (float)(NextRandom(s) % 100) / 100.0f;
        }
        v.push_back(t);
    }
    for (int i = 0; i < count * 2; i++)
        indices.push_back((uint16_t)(NextRandom(s) % count));
    while (indices.size() % 3)
        indices.pop_back();
}

}  // namespace

TEST(TerrainReduce, FastCollapseMakesTheSameMergesAsTheAllPairsSearch) {
    for (uint32_t seed = 1; seed <= 120; seed++) {
        std::vector<TerrainVertex> v, fastV;
        std::vector<uint16_t> indices, fastIndices;
        RandomMesh(seed, v, indices);
        fastV = v;
        fastIndices = indices;
        float ratio = seed % 3 == 0 ? 1.5f : 0.7f;   // 1.5: runs until no pair is left
        bool expected = ReferenceCollapseStep(v, indices, ratio);
        ASSERT_EQ(CollapseStep(fastV, fastIndices, ratio), expected) << seed;
        ASSERT_EQ(fastV.size(), v.size()) << seed;
        ASSERT_EQ(0, memcmp(fastV.data(), v.data(), v.size() * sizeof(TerrainVertex))) << seed;
        ASSERT_EQ(fastIndices, indices) << seed;
    }
}

// Groups: pairs merge only within one, so the fast search still makes the
// all-pairs search's merges; a vertex of no group stays as it was, and only
// the others count toward the 70 %.
TEST(TerrainReduce, GroupsMergeOnlyWithinThemselvesAndTheRestStays) {
    for (uint32_t seed = 1; seed <= 60; seed++) {
        std::vector<TerrainVertex> v, fastV;
        std::vector<uint16_t> indices, fastIndices;
        RandomMesh(seed, v, indices);
        uint32_t state = seed * 7919u;
        std::vector<int> groups(v.size());
        for (int& g : groups)
            g = (int)(NextRandom(state) % 4) - 1;
        std::vector<TerrainVertex> before = v;
        fastV = v;
        fastIndices = indices;
        float ratio = seed % 3 == 0 ? 1.5f : 0.7f;
        bool expected = ReferenceCollapseStep(v, indices, ratio, groups);
        ASSERT_EQ(CollapseStep(fastV, fastIndices, ratio, &groups), expected) << seed;
        ASSERT_EQ(fastV.size(), v.size()) << seed;
        ASSERT_EQ(0, memcmp(fastV.data(), v.data(), v.size() * sizeof(TerrainVertex))) << seed;
        ASSERT_EQ(fastIndices, indices) << seed;
        // The vertices of no group are all still there, unchanged and in order.
        size_t at = 0;
        for (size_t i = 0; i < before.size(); i++) {
            if (groups[i] >= 0)
                continue;
            while (at < fastV.size() && memcmp(&fastV[at], &before[i], sizeof(TerrainVertex)) != 0)
                at++;
            ASSERT_LT(at++, fastV.size()) << seed << " lost vertex " << i;
        }
    }
    // Two far apart in one group merge before two close ones in two groups.
    std::vector<TerrainVertex> v(30);
    for (int i = 0; i < 30; i++)
        v[i].position = Vector3{(float)i * 10.0f, 0, 0};
    v[1].position.x = 0.5f;
    std::vector<int> groups(30, -1);
    groups[0] = 1;
    groups[1] = 2;
    groups[10] = groups[20] = 3;
    std::vector<uint16_t> none;
    ASSERT_TRUE(CollapseStep(v, none, 0.5f, &groups));   // (int)(0.5 x 4) = 2 merges asked
    ASSERT_EQ(v.size(), 29u);
    EXPECT_FLOAT_EQ(v.back().position.x, 150.0f);
}

TEST(TerrainReduce, SmallMeshesStayAndLargerOnesKeepThirtyPercent) {
    std::vector<TerrainVertex> v, out;
    std::vector<uint16_t> indices, outIndices;
    for (int i = 0; i < 24; i++) {
        TerrainVertex t;
        t.position = Vector3{(float)i, 0, 0};
        v.push_back(t);
    }
    indices = {0, 1, 2, 1, 2, 0, 3, 4, 5};   // a duplicate kept: nothing merged
    ReduceMesh(v, indices, out, outIndices);
    EXPECT_EQ(out.size(), 24u);
    EXPECT_EQ(outIndices, indices);

    v.clear();
    for (int i = 0; i < 100; i++) {
        TerrainVertex t;
        t.position = Vector3{(float)(i % 10) * 3.0f, (float)(i / 10) * 3.0f, 0};
        v.push_back(t);
    }
    v[57].position = v[3].position;   // the closest pair
    v[57].position.x += 0.01f;
    std::vector<uint16_t> none;
    std::vector<TerrainVertex> first = v;
    ASSERT_TRUE(CollapseStep(first, none, 1.0f / 100.0f));
    ASSERT_EQ(first.size(), 99u);
    EXPECT_FLOAT_EQ(first.back().position.x, v[3].position.x + 0.005f);   // midpoint, at the end
    ReduceMesh(v, none, out, outIndices);
    EXPECT_EQ(out.size(), 30u);
}

TEST(TerrainReduce, DegenerateAndRepeatedTrianglesGo) {
    std::vector<TerrainVertex> v(4);
    v[1].position = Vector3{1, 0, 0};
    v[2].position = Vector3{0, 1, 0};
    v[3].position = Vector3{0.000005f, 0, 0};   // coincides with 0 within 0.00001
    std::vector<uint16_t> indices = {0, 1, 2, 3, 1, 2, 0, 3, 1, 2, 0, 1};
    RemoveDegenerateTriangles(v, indices);
    EXPECT_EQ(indices, (std::vector<uint16_t>{0, 1, 2, 3, 1, 2, 2, 0, 1}));
    RemoveDuplicateTriangles(indices);   // a rotation goes, another winding would stay
    EXPECT_EQ(indices, (std::vector<uint16_t>{0, 1, 2, 3, 1, 2}));
    std::vector<uint16_t> wound = {0, 1, 2, 2, 1, 0, 1, 0, 0, 0, 1, 0};
    RemoveDuplicateTriangles(wound);
    EXPECT_EQ(wound, (std::vector<uint16_t>{0, 1, 2, 2, 1, 0, 1, 0, 0}));
}
