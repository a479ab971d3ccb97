// Cutting a terrain into cells, the levels, drawing and ray queries, on
// meshes made in memory and on the shipped valley.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "core/files.h"
#include "render/camera.h"
#include "render/mesh.h"
#include "render/null/null_backend.h"
#include "render/visibility.h"
#include "terrain_test_util.h"

namespace {

std::vector<TerrainVertex> MeshVertices(const CMesh& mesh) {
    std::vector<TerrainVertex> out;
    if (mesh.GetChunkCount() == 0)
        return out;
    CVertexBuffer vb = mesh.GetRecord()->chunks[0].vertexBuffer;
    CVertexBufferLock lock(vb);
    const TerrainVertex* v = (const TerrainVertex*)lock.data;
    out.assign(v, v + vb.GetVertexCount());
    return out;
}

int TriangleCount(const CMesh& mesh) {
    return mesh.GetChunkCount() ? mesh.GetRecord()->chunks[0].indexBuffer.GetIndexCount() / 3 : 0;
}

}  // namespace

TEST_F(TerrainTest, GridFollowsTheBoundsAspect) {
    // Bounds 100 x 100, 50 x 100, and one too thin for a column by the formula.
    const struct { float width; int columns, rows; } cases[] = {{100, 8, 8}, {50, 4, 8}, {1, 1, 8}};
    for (const auto& c : cases) {
        CTerrain t;
        std::vector<TerrainVertex> v(2);
        v[1].position = Vector3{c.width, 100, 0};
        t.ComputeBounds(v);
        int columns, rows;
        t.GridSize(columns, rows);
        EXPECT_EQ(std::make_pair(columns, rows), std::make_pair(c.columns, c.rows)) << c.width;
    }
}

TEST_F(TerrainTest, CellsClipWithInterpolationBorderWideningAndSkirts) {
    // One triangle over the whole square; the attribute and the normal's x
    // vary linearly, so every clipped corner can be checked.
    CTerrain t;
    std::vector<TerrainVertex> v(3);
    float corners[3][2] = {{0, 0}, {80, 0}, {0, 80}};
    for (int k = 0; k < 3; k++) {
        v[k].position = Vector3{corners[k][0], corners[k][1], 5};
        v[k].extra = corners[k][0] / 80.0f;
        v[k].normal = Vector3{k == 1 ? 1.0f : 0.0f, 0, k == 1 ? 0.0f : 1.0f};
    }
    std::vector<uint16_t> indices = {0, 1, 2};
    t.ComputeBounds(v);
    for (bool skirt : {false, true}) {
        std::vector<CMesh> cells;
        std::vector<std::vector<uint8_t>> records;
        std::vector<TerrainRect> rects;
        t.BuildSegments(v, indices, CTexture(), "tri", skirt, cells, records, rects);
        ASSERT_EQ(cells.size(), 64u);
        EXPECT_EQ(rects[0].minX, -1.0f);           // border cells reach 1 past the bounds
        EXPECT_EQ(rects[63].maxY, 81.0f);
        EXPECT_EQ(rects[9].minX, 10.0f);           // inner edges do not
        EXPECT_EQ(cells[63].GetChunkCount(), 0);  // beyond the hypotenuse: no segment
        EXPECT_EQ(cells[9].GetName(), "tri - segment 9, for 8x8");
        int pushed = 0;
        for (int c = 0; c < 64; c++) {
            if (cells[c].GetChunkCount() > 0) {   // the cache record is the mesh's own
                std::vector<uint8_t> bytes;
                ASSERT_TRUE(cells[c].Serialize(bytes));
                EXPECT_EQ(bytes, records[c]) << c;
            }
            for (const TerrainVertex& p : MeshVertices(cells[c])) {
                const TerrainRect& r = rects[c];
                bool inside = p.position.x >= r.minX - 0.001f && p.position.x <= r.maxX + 0.001f &&
                              p.position.y >= r.minY - 0.001f && p.position.y <= r.maxY + 0.001f;
                if (!skirt) {
                    ASSERT_TRUE(inside) << c;
                    EXPECT_NEAR(p.position.z, 5.0f, 1e-4);
                    EXPECT_NEAR(p.extra, p.position.x / 80.0f, 1e-4);
                    EXPECT_NEAR(Vector3Length(p.normal), 1.0f, 1e-4);
                    float wx = p.position.x / 80.0f;   // the corner's weight on vertex 1
                    EXPECT_NEAR(p.normal.x * (1.0f - wx), p.normal.z * wx, 1e-4);
                } else if (!inside) {
                    EXPECT_NEAR(p.position.z, 4.0f, 1e-4);   // pushed out and 1 down
                    pushed++;
                }
            }
        }
        EXPECT_EQ(pushed > 0, skirt);
    }
}

TEST(TerrainLevels, ChosenByDistanceWithTheLimitsInclusive) {
    EXPECT_EQ(TerrainLevelForDistance(270.0f), 0);
    EXPECT_EQ(TerrainLevelForDistance(std::nextafter(270.0f, 1e9f)), 1);
    EXPECT_EQ(TerrainLevelForDistance(550.0f), 1);
    EXPECT_EQ(TerrainLevelForDistance(std::nextafter(550.0f, 1e9f)), 2);
}

TEST_F(TerrainTest, MissingMeshIsEmptyAndAWrongLayoutIsRefused) {
    CTerrain t;
    EXPECT_TRUE(t.Load("data\\models\\land\\nowhere.mbm"));
    EXPECT_TRUE(t.GetSegments().empty());
    Ray down{{0, 0, 1000}, {0, 0, -1}};
    Vector3 p, n;
    EXPECT_FALSE(t.RayQuery(down, p, n));
    t.UpdateGrass(0.1f);
    t.DrawGrass();
    t.Draw();
    EXPECT_EQ(NullRenderCounters().drawCalls, 0);
    // The sky clear needs no terrain: colour and depth, never the stencil.
    NullStartRecording();
    CTerrain::ClearToSky();
    NullStopRecording();
    EXPECT_EQ(NullRecordedEvents(), std::vector<std::string>{"clear ffcc7f00 colour depth"});

    {
        std::ofstream f("pnc.mbm");
        f << "Mesh {\n Name { m }\n Chunk {\n  Vertices { PNC 3\n"
             "   0 0 0 0 0 1 255 255 255 255\n   1 0 0 0 0 1 255 255 255 255\n"
             "   0 1 0 0 0 1 255 255 255 255\n  }\n  Indices { 3\n   0 1 2\n  }\n }\n}\n"
             "Bone {\n Name { r }\n Child { c }\n}\nBone {\n Name { c }\n Mesh { m }\n}\n";
    }
    EXPECT_FALSE(t.Load("pnc.mbm"));
    EXPECT_TRUE(t.GetSegments().empty());
}

// The shipped valley, loaded once for the tests below (and its cache
// written in this test process's own folder).
class ShippedTerrain : public TerrainTest {
protected:
    void SetUp() override {
        TerrainTest::SetUp();
        terrain.reset(new CTerrain);
        ASSERT_TRUE(terrain->Load("data\\models\\land\\valley.mbm"));
        ASSERT_FALSE(terrain->GetSegments().empty()) << "the generated terrain is missing";
    }
    void TearDown() override {
        terrain.reset();
        TerrainTest::TearDown();
    }
    std::unique_ptr<CTerrain> terrain;
};

TEST_F(ShippedTerrain, LevelsAlignShareTheGroundImageAndDrawByDistance) {
    const CTerrain& t = *terrain;
    EXPECT_EQ(t.GetSegments().size(), 64u);
    size_t n = t.GetSegments().size();
    int triangles[3] = {};
    for (int level = 0; level < 3; level++) {
        ASSERT_EQ(t.GetLevelMeshes(level).size(), n);
        for (const CMesh& mesh : t.GetLevelMeshes(level)) {
            const MeshChunk& chunk = mesh.GetRecord()->chunks[0];
            EXPECT_FALSE(chunk.colourTexture.IsEmpty());
            EXPECT_TRUE(NullTextureRepeats(chunk.colourTexture, 0));
            triangles[level] += TriangleCount(mesh);
        }
    }
    EXPECT_GT(triangles[0], triangles[1]);
    EXPECT_GT(triangles[1], triangles[2]);
    EXPECT_EQ(t.GetLevelVertices(0).size(), 41u * 41u);
    EXPECT_EQ(t.GetLevelVertices(1).size(), 1681u - (int)(0.7f * 1681));
    std::vector<CCollisionInstance*> instances;
    terrain->CollectCollisionInstances(instances);
    ASSERT_EQ(instances.size(), n);
    EXPECT_EQ(instances[5], t.GetSegments()[5].instance);

    // Seen from 5000 up every segment draws at the far level, and only
    // through visibility lists.
    CVisibilityLists lists;
    CInertialCamera camera(Vector3{0, 0, 1}, Vector3{0, 0, 5000}, Vector3{0, 1, 0});
    CurrentCamera = &camera;
    terrain->Draw();
    EXPECT_EQ(NullRenderCounters().drawCalls, 0);
    terrain->SetVisibilityLists(&lists);
    terrain->Draw();
    EXPECT_EQ(NullRenderCounters().indexedTriangles, triangles[2]);
    EXPECT_EQ(NullRenderCounters().drawErrors, 0);
    CurrentCamera = nullptr;
}

TEST_F(ShippedTerrain, RaysFindTheNearestGround) {
    Vector3 p, n;
    Ray down{{12, -30, 1000}, {0, 0, -1}};
    ASSERT_TRUE(terrain->RayQuery(down, p, n, 1));
    EXPECT_NEAR(p.x, 12.0f, 1e-3);
    EXPECT_GT(n.z, 0.8f);
    // From below, back faces are skipped with flag 1 and found without it.
    Vector3 q;
    Ray up{{12, -30, p.z - 50}, {0, 0, 1}};
    EXPECT_FALSE(terrain->RayQuery(up, q, n, 1));
    ASSERT_TRUE(terrain->RayQuery(up, q, n, 0));
    EXPECT_NEAR(q.z, p.z, 1e-3);
    // A slanted ray toward the western ridge stops at its first crossing:
    // every point before it is above the ground.
    Ray slant{{-100, 0, 200}, {-0.8f, 0, -0.6f}};
    ASSERT_TRUE(terrain->RayQuery(slant, p, n));
    Vector3 offset;
    float length = Vector3Length(Vector3Subtract(offset, p, slant.origin));
    for (float d = 0; d < length - 0.5f; d += 2.0f) {
        Ray probe{{slant.origin.x - 0.8f * d, 0, 1000}, {0, 0, -1}};
        ASSERT_TRUE(terrain->RayQuery(probe, q, n, 1));
        EXPECT_GT(slant.origin.z - 0.6f * d, q.z) << d;
    }
    Ray miss{{5000, 0, 1000}, {0, 0, -1}};
    EXPECT_FALSE(terrain->RayQuery(miss, p, n));
}

TEST_F(ShippedTerrain, ABrokenCacheIsRebuiltAndRewritten) {
    std::string path = NativePath(CTerrain::SegmentCachePath("data\\models\\land\\valley.mbm"));
    auto read = [&] {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    std::string good = read();
    ASSERT_GT(good.size(), 1000000u);
    CTerrain fromCache;   // the game's own cache passes every check
    EXPECT_TRUE(fromCache.ReadSegmentCache(CTerrain::SegmentCachePath("valley.mbm")));
    {
        std::ofstream out(path, std::ios::binary);
        out << good.substr(0, good.size() / 2);
    }
    CTerrain again;
    ASSERT_TRUE(again.Load("data\\models\\land\\valley.mbm"));
    EXPECT_EQ(again.GetSegments().size(), terrain->GetSegments().size());
    EXPECT_EQ(read(), good);
}
