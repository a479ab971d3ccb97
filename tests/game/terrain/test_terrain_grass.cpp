// The attribute grid and the grass: placement thresholds with a seeded
// generator, the fade and scan passes around a camera, the blade quads and
// the instance columns their vertical rays go through.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "core/random.h"
#include "game/terrain/instance_columns.h"
#include "render/camera.h"
#include "render/null/null_backend.h"
#include "terrain_test_util.h"

namespace {

class GrassTest : public TerrainTest {
protected:
    void TearDown() override {
        CurrentCamera = nullptr;
        TerrainTest::TearDown();
    }
    void Look(float x, float y) {
        camera.reset(new CInertialCamera(Vector3{0, 0, 1}, Vector3{x, y, 50}, Vector3{x, y + 10, 0}));
        CurrentCamera = camera.get();
    }
    static void ExpectListedOnce(const CTerrain& t) {
        std::set<const GrassBlade*> seen(t.GetFadeList().begin(), t.GetFadeList().end());
        EXPECT_EQ(seen.size(), t.GetFadeList().size());
    }
    std::unique_ptr<CInertialCamera> camera;
};

}  // namespace

TEST_F(GrassTest, BladesGrowOnlyWhereTheAttributeIsInTheBand) {
    for (float attribute : {0.25f, 0.5f, 0.2499f, 0.5001f, 0.0f}) {
        GameSrand(7);
        CTerrain t;
        BuildFlat(t, 60, attribute);
        EXPECT_EQ(t.SampleGrid(0, 0), attribute);
        EXPECT_EQ(t.SampleGrid(61, 0), 0.0f);   // outside the bounds
        bool grows = attribute >= 0.25f && attribute <= 0.5f;
        EXPECT_EQ(!t.GetBlades().empty(), grows) << attribute;
        EXPECT_LE(t.GetBlades().size(), (size_t)(120 * 120 * 0.0225f));
        for (const GrassBlade& b : t.GetBlades()) {
            EXPECT_EQ(b.z, 0.0f);
            EXPECT_TRUE(b.height >= 1.3f && b.height <= 2.0f);
            EXPECT_TRUE(b.angle >= 0.0f && b.angle <= 6.2831855f);
            EXPECT_EQ(b.fade, 0.0f);
        }
    }
    GameSrand(7);   // the same seed places the same blades
    CTerrain a, b;
    BuildFlat(a, 60, 0.3f);
    GameSrand(7);
    BuildFlat(b, 60, 0.3f);
    ASSERT_EQ(a.GetBlades().size(), b.GetBlades().size());
    EXPECT_EQ(a.GetBlades().back().x, b.GetBlades().back().x);
}

TEST_F(GrassTest, GridTakesTheFirstHitOfTheWholeTriangleList) {
    // Hills with overlapping folds: the bucketed rays must give what one
    // ray test over the whole list gives.
    std::vector<TerrainVertex> v;
    std::vector<uint16_t> indices;
    MakeHeightfield(9, 7, -40, -30, 50, 40,
                    [](float x, float y) { return 8 * std::sin(x * 0.1f) * std::cos(y * 0.13f); },
                    [](float x, float y) { return 0.5f + 0.004f * (x - y); }, v, indices);
    indices.insert(indices.end(), {0, 9, 70});   // a long sliver across the rest
    CTerrain t;
    t.BuildFromVertices(v, indices, CTexture(), "hills");
    const float* grid = t.GetGrid();
    ASSERT_TRUE(grid);
    float ex = t.GetMaxX() - t.GetMinX(), ey = t.GetMaxY() - t.GetMinY();
    int hits = 0;
    for (int j = 0; j < TerrainGridSize; j += 7) {
        for (int i = 0; i < TerrainGridSize; i += 3) {
            Ray ray{{(float)i * ex * 0.002f + t.GetMinX(), (float)j * ey * 0.002f + t.GetMinY(), 1000},
                    {0, 0, -1}};
            TerrainVertex hit;
            float expected = RayIntersectIndexedTriangles(&hit, v.data(), (int)v.size(),
                                                          indices.data(), (int)indices.size(), ray)
                                 ? hit.extra
                                 : 0.0f;
            hits += expected != 0.0f;
            ASSERT_EQ(grid[j * TerrainGridSize + i], expected) << i << " " << j;
        }
    }
    EXPECT_GT(hits, 5000);
}

TEST_F(GrassTest, ScanListsEachBladeOnceEvenBeforeItFades) {
    GameSrand(3);
    CTerrain t;
    BuildFlat(t, 60, 0.3f);   // every blade within 100 units of the centre
    Look(0, 0);
    for (int frame = 0; frame < 3; frame++)
        t.UpdateGrass(0.0f);   // ten visits each, fades unchanged
    EXPECT_EQ(t.GetFadeList().size(), 30u);
    for (int frame = 0; frame < 100; frame++)
        t.UpdateGrass(0.0f);   // the scan wraps several times
    EXPECT_EQ(t.GetFadeList().size(), t.GetBlades().size());
    ExpectListedOnce(t);
    for (const GrassBlade& b : t.GetBlades())
        EXPECT_EQ(b.fade, 0.0f);
}

TEST_F(GrassTest, NearBladesFadeInAndFarOnesLeave) {
    GameSrand(5);
    CTerrain t;
    BuildFlat(t, 400, 0.3f, 8);
    Look(0, 0);
    for (int frame = 0; frame < 40; frame++)
        t.Update(0.1f);   // the terrain's step is the grass's
    ExpectListedOnce(t);
    size_t near = 0, sparse = 0;
    for (const GrassBlade* b : t.GetFadeList()) {
        float s = b->x * b->x + b->y * b->y;
        ASSERT_LT(s, GrassFar);
        if (s > GrassNear) {
            EXPECT_LT(std::fmod(std::fabs(b->x + b->y + b->z), 0.1f), 0.01f);
            sparse++;
        }
    }
    for (const GrassBlade& b : t.GetBlades()) {
        if (b.x * b.x + b.y * b.y <= GrassNear) {
            EXPECT_EQ(b.fade, 1.0f);
            near++;
        }
    }
    EXPECT_GT(near, 300u);
    EXPECT_GT(sparse, 0u);
    EXPECT_LT(sparse, near);

    Look(2000, 0);   // everything beyond 300 units leaves at once
    int frames = 0;
    while (!t.GetFadeList().empty() && frames < 10) {
        t.UpdateGrass(0.1f);
        frames++;
    }
    EXPECT_TRUE(t.GetFadeList().empty());
    t.UpdateGrass(0.1f);   // an empty list is no division by zero
    for (const GrassBlade& b : t.GetBlades())
        ASSERT_EQ(b.fade, 0.0f);
}

TEST_F(GrassTest, BladesDrawAsTwoCrossedPassesInWorldSpace) {
    GameSrand(9);
    CTerrain t;
    BuildFlat(t, 30, 0.3f);
    Look(0, 0);
    t.UpdateGrass(0.5f);
    t.UpdateGrass(0.5f);
    ASSERT_FALSE(t.GetFadeList().empty());
    NullResetCounters();
    Matrix4 moved;
    Matrix4Identity(moved).m[3] = 100.0f;
    SetWorldMatrix(moved);
    SetRenderSwitch(RS_BLEND, false);
    t.DrawGrass();
    EXPECT_EQ(NullRenderCounters().primitives, 2);
    const NullPrimitive& last = NullLastPrimitive();
    ASSERT_EQ(last.vertices.size(), 6 * t.GetFadeList().size());
    const GrassBlade& b = *t.GetFadeList().front();
    const NullVertex* v = last.vertices.data();
    EXPECT_EQ(v[0].position[2], b.z);                 // (1, 1): the foot
    EXPECT_EQ(v[2].position[2], b.z + b.height);      // (1, 0): the top
    EXPECT_EQ(v[5].texCoord[0] + v[5].texCoord[1], 0.0f);
    EXPECT_EQ(v[0].texCoord[2], b.angle);
    EXPECT_EQ(v[0].colour >> 24, (uint32_t)(b.fade * 255.0f));
    Matrix4 world;
    GetWorldMatrix(world);
    EXPECT_EQ(world.m[3], 0.0f);   // blades are in world coordinates
    EXPECT_FALSE(GetRenderSwitch(RS_BLEND));   // as it was
}

TEST_F(GrassTest, VerticalRaysThroughTheInstanceColumnsHitWhatEveryInstanceGives) {
    std::vector<TerrainVertex> v;
    std::vector<uint16_t> i;
    auto height = [](float x, float y) { return 8.0f * std::sin(x * 0.07f) * std::cos(y * 0.05f); };
    auto attribute = [](float x, float y) { return 0.5f + 0.4f * std::sin(x * 0.03f + y * 0.02f); };
    MakeHeightfield(40, 24, -100, -60, 100, 60, height, attribute, v, i);
    GameSrand(11);
    CTerrain t;
    t.BuildFromVertices(v, i, CTexture(), "hills");
    ASSERT_GT(t.GetSegments().size(), 16u);
    std::vector<GrassBlade> fast = t.GetBlades();
    ASSERT_GT(fast.size(), 50u);
    t.SetRayColumnsEnabled(false);
    GameSrand(11);
    t.PlaceGrass();
    ASSERT_EQ(t.GetBlades().size(), fast.size());
    for (size_t n = 0; n < fast.size(); n++) {
        const GrassBlade &a = fast[n], &b = t.GetBlades()[n];
        ASSERT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z && a.angle == b.angle &&
                    a.height == b.height) << n;
    }

    // Probes from above and below, on cell lines and off the terrain.
    int hits = 0;
    for (int n = 0; n < 3000; n++) {
        float x = n % 10 == 0 ? -100.0f + 25.0f * (float)(n % 9)   // on cell lines
                              : -120 + 240 * (float)GameRand() / GameRandMax;
        float y = -80 + 160 * (float)GameRand() / GameRandMax;
        float z = n % 3 == 0 ? -50.0f : 1000.0f;
        Ray ray{Vector3{x, y, z}, Vector3{0, 0, z < 0 ? 1.0f : -1.0f}};
        Vector3 p1, n1, p2, n2;
        t.SetRayColumnsEnabled(true);
        bool a = t.RayQuery(ray, p1, n1, n % 2);
        t.SetRayColumnsEnabled(false);
        bool b = t.RayQuery(ray, p2, n2, n % 2);
        ASSERT_EQ(a, b) << x << " " << y;
        if (a) {
            hits++;
            ASSERT_TRUE(p1.x == p2.x && p1.y == p2.y && p1.z == p2.z && n1.z == n2.z)
                << x << " " << y;
        }
    }
    EXPECT_GT(hits, 1000);
}

// Spheres in a strip fifty wide and four deep, so the last row of cells is
// only partly covered: every point lists, ascending, each instance standing
// over it, as a walk over every instance finds them.
TEST(InstanceColumns, AWideAreaListsEveryInstanceOverEachPoint) {
    std::vector<CCollisionInstance> instances(200);   // set in place: copies share listed models only
    for (size_t i = 0; i < instances.size(); i++) {
        instances[i].attached = true;
        instances[i].root = new CCollisionNode;
        instances[i].sphere = Sphere{Vector3{5.0f + 10 * (i % 50), 5.0f + 10 * (i / 50), 0}, 4.0f};
    }
    CInstanceColumns columns;
    columns.Build(instances);
    ASSERT_TRUE(columns.IsBuilt());
    int covered = 0;
    for (float y = -10; y < 50; y += 0.7f) {
        for (float x = -10; x < 510; x += 1.3f) {
            std::vector<uint16_t> over;
            for (size_t i = 0; i < instances.size(); i++) {
                const Vector3& c = instances[i].sphere.centre;
                if (std::hypot(x - c.x, y - c.y) <= instances[i].sphere.radius)
                    over.push_back((uint16_t)i);
            }
            const std::vector<uint16_t>& listed = columns.At(x, y);
            ASSERT_TRUE(std::is_sorted(listed.begin(), listed.end()));
            ASSERT_TRUE(std::includes(listed.begin(), listed.end(), over.begin(), over.end()))
                << x << " " << y;
            covered += !over.empty();
        }
    }
    EXPECT_GT(covered, 5000);
}
