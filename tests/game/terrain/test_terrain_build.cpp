// Cutting a terrain into cells, the levels, drawing and ray queries, on
// meshes made in memory and on the shipped valley.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <tuple>

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

// A wall's triangle: no area seen from above, next to its area upright.
bool Upright(const Vector3& a, const Vector3& b, const Vector3& c) {
    Vector3 u, v, n;
    Vector3Cross(n, Vector3Subtract(u, b, a), Vector3Subtract(v, c, a));
    return std::fabs(n.z) <= 1e-3f * Vector3Length(n);
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
                    // Pushed out and 1 down, or the foot of a wall no deeper than the floor.
                    EXPECT_TRUE(std::fabs(p.position.z - 4.0f) < 1e-4f ||
                                (p.position.z < 4.0f && p.position.z >= CTerrain::WallFloor(v)))
                        << p.position.z;
                    pushed++;
                }
            }
        }
        EXPECT_EQ(pushed > 0, skirt);
    }
}

// Reduction groups on the 2 x 2 grid of a 100 x 100 square: crossings of
// borders never move; on one border a vertex moves only along its stretch
// between two crossings (else never); inside, only within its cell.
TEST_F(TerrainTest, ReductionGroupsFollowTheCellBorders) {
    CTerrain t;
    std::vector<TerrainVertex> corners(2);
    corners[1].position = Vector3{100, 100, 0};
    t.ComputeBounds(corners);   // 8 x 8 cells of 12.5
    auto at = [](float x, float y) {
        TerrainVertex v;
        v.position = Vector3{x, y, 3};
        return v;
    };
    std::vector<TerrainVertex> v = {at(0, 0), at(25, 50), at(12.5f, 3), at(12.5f, 9),
                                    at(12.5f, 15), at(3, 3), at(9, 9), at(15, 3), at(100, 40)};
    std::vector<int> moving = t.ReductionGroups(v, true), still = t.ReductionGroups(v, false);
    EXPECT_EQ(moving[0], -1);                 // corner of the bounds
    EXPECT_EQ(moving[1], -1);                 // two inner borders crossing
    EXPECT_GE(moving[2], 64);                 // on the border x = 12.5 ...
    EXPECT_EQ(moving[2], moving[3]);          // ... in one stretch
    EXPECT_NE(moving[3], moving[4]);          // ... and the next
    EXPECT_EQ(moving[5], moving[6]);          // inside cell 0
    EXPECT_EQ(moving[5], 0);
    EXPECT_EQ(moving[7], 1);                  // inside cell 1
    EXPECT_GE(moving[8], 64);                 // on the bounds' right side
    EXPECT_NE(moving[8], moving[2]);
    for (int i : {2, 3, 4, 8})
        EXPECT_EQ(still[i], -1) << i;
    EXPECT_EQ(still[5], 0);
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
    // Walls and all, each level draws fewer triangles than the one before:
    // level 1 fewer than level 0, level 2 at most half as many.
    EXPECT_LT(triangles[1], triangles[0]);
    EXPECT_LE(triangles[2], triangles[0] / 2);
    // Level 1 merges 70 % of the vertices off the cell borders (16 of the 36
    // in each cell of 5 x 5 squares).
    EXPECT_EQ(t.GetLevelVertices(0).size(), 41u * 41u);
    EXPECT_EQ(t.GetLevelVertices(1).size(), 1681u - (int)(0.7f * 64 * 16));
    // Level 1 keeps every level-0 vertex on a cell border, level 2 those
    // where two borders cross.
    auto has = [&](int level, const TerrainVertex& v) {
        for (const TerrainVertex& w : t.GetLevelVertices(level)) {
            if (memcmp(&w, &v, sizeof v) == 0)
                return true;
        }
        return false;
    };
    int onBorders = 0, crossings = 0;
    for (const TerrainVertex& v : t.GetLevelVertices(0)) {
        auto onLine = [](float p, float low) { return std::fmod(p - low, 125.0f) == 0.0f; };
        bool x = onLine(v.position.x, t.GetMinX()), y = onLine(v.position.y, t.GetMinY());
        if (x || y) {
            onBorders++;
            EXPECT_TRUE(has(1, v)) << v.position.x << " " << v.position.y;
        }
        if (x && y) {
            crossings++;
            EXPECT_TRUE(has(2, v)) << v.position.x << " " << v.position.y;
        }
    }
    EXPECT_EQ(onBorders, 2 * 9 * 41 - 81);
    EXPECT_EQ(crossings, 81);
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

namespace {

struct CellMesh {
    std::vector<TerrainVertex> vertices;
    std::vector<uint16_t> indices;
};

CellMesh ReadCell(const CMesh& mesh) {
    CellMesh out;
    out.vertices = MeshVertices(mesh);
    if (mesh.GetChunkCount() > 0) {
        CIndexBuffer ib = mesh.GetRecord()->chunks[0].indexBuffer;
        CIndexBufferLock lock(ib);
        void* data = nullptr;
        if (lock.GetData(data))
            out.indices.assign((const uint16_t*)data, (const uint16_t*)data + ib.GetIndexCount());
    }
    return out;
}

// Lowest height at which the mesh's surface crosses the vertical line at
// (x, y); false where it does not.
bool LowestSurface(const CellMesh& m, float x, float y, float& z) {
    bool found = false;
    for (size_t t = 0; t + 2 < m.indices.size(); t += 3) {
        const Vector3& a = m.vertices[m.indices[t]].position;
        const Vector3& b = m.vertices[m.indices[t + 1]].position;
        const Vector3& c = m.vertices[m.indices[t + 2]].position;
        float d = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
        if (std::fabs(d) < 1e-6f)
            continue;
        float wb = ((x - a.x) * (c.y - a.y) - (c.x - a.x) * (y - a.y)) / d;
        float wc = ((b.x - a.x) * (y - a.y) - (x - a.x) * (b.y - a.y)) / d;
        if (wb < -1e-5f || wc < -1e-5f || wb + wc > 1.0f + 1e-5f)
            continue;
        float h = a.z + wb * (b.z - a.z) + wc * (c.z - a.z);
        if (!found || h < z)
            z = h;
        found = true;
    }
    return found;
}

}  // namespace

// The ground is closed where a coarser cell meets a finer or equal one when
// the coarser cell's rim (the edges of one triangle, corners matched by
// position) runs below the neighbour's ground: looking across the border, the
// eye meets either the near ground or the far cell coming up from beneath it.
TEST_F(ShippedTerrain, CoarseRimsRunBelowTheGroundBesideThem) {
    const CTerrain& t = *terrain;
    size_t n = t.GetSegments().size();
    std::vector<CellMesh> cells[3];
    for (int level = 0; level < 3; level++)
        for (const CMesh& mesh : t.GetLevelMeshes(level))
            cells[level].push_back(ReadCell(mesh));
    int above = 0, samples = 0;
    float worst = 0;
    for (int level = 1; level < 3; level++) {
        for (size_t k = 0; k < n; k++) {
            const CellMesh& m = cells[level][k];
            typedef std::tuple<long, long, long> Key;
            std::map<Key, int> place;
            std::vector<int> at;
            for (const TerrainVertex& v : m.vertices) {
                Key key(std::lround(v.position.x * 100), std::lround(v.position.y * 100),
                        std::lround(v.position.z * 100));
                at.push_back(place.emplace(key, (int)at.size()).first->second);
            }
            std::map<std::pair<int, int>, int> edges;
            for (size_t i = 0; i + 2 < m.indices.size(); i += 3) {
                int a = at[m.indices[i]], b = at[m.indices[i + 1]], c = at[m.indices[i + 2]];
                if (a == b || b == c || c == a)
                    continue;   // no area, no edge
                for (auto e : {std::make_pair(a, b), std::make_pair(b, c), std::make_pair(c, a)})
                    edges[std::make_pair(std::min(e.first, e.second), std::max(e.first, e.second))]++;
            }
            for (const auto& edge : edges) {
                if (edge.second != 1)
                    continue;
                const Vector3& a = m.vertices[edge.first.first].position;
                const Vector3& b = m.vertices[edge.first.second].position;
                // Along the terrain's outline a rim faces out of the world.
                auto onBound = [](float p, float q, float bound) {
                    return std::fabs(p - bound) < 1e-3f && std::fabs(q - bound) < 1e-3f;
                };
                if (onBound(a.x, b.x, t.GetMinX()) || onBound(a.x, b.x, t.GetMaxX()) ||
                    onBound(a.y, b.y, t.GetMinY()) || onBound(a.y, b.y, t.GetMaxY()))
                    continue;
                Vector3 ab;
                int steps = 1 + (int)Vector3Length(Vector3Subtract(ab, b, a));
                for (int s = 0; s <= steps; s++) {
                    Vector3 p;
                    Vector3MultiplyAdd(p, a, ab, (float)s / steps);
                    for (size_t j = 0; j < n; j++) {
                        const TerrainRect& r = t.GetRects()[j];
                        if (j == k || p.x < r.minX - 2 || p.x > r.maxX + 2 || p.y < r.minY - 2 ||
                            p.y > r.maxY + 2)
                            continue;
                        for (int beside = level - 1; beside <= level; beside++) {
                            float ground;
                            if (!LowestSurface(cells[beside][j], p.x, p.y, ground))
                                continue;
                            samples++;
                            if (p.z > ground + 1e-3f) {
                                above++;
                                worst = std::max(worst, p.z - ground);
                            }
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(samples, 1000);
    EXPECT_EQ(above, 0) << "of " << samples << ", up to " << worst << " above the ground";
}

// The coarse cells of a cache must hang walls as a build does. The shipped
// valley's pass; without their walls (a cache written before them) the land
// is open; with the walls' feet two below the lowest level-0 vertex (a cache
// written when every rim hung one so) they hang deeper than the ground needs.
TEST_F(ShippedTerrain, CoarseCellsMustCloseTheLandWithWallsNoDeeperThanNeeded) {
    const CTerrain& t = *terrain;
    std::vector<CMesh> meshes[3];
    std::vector<std::vector<uint8_t>> records[3];   // every coarse cell its own
    for (int level = 0; level < 3; level++) {
        meshes[level] = t.GetLevelMeshes(level);
        records[level].assign(meshes[level].size(), std::vector<uint8_t>(1, (uint8_t)level));
    }
    const std::vector<TerrainVertex>& levelZero = t.GetLevelVertices(0);
    const char* built = CTerrain::CoarseWallFault(meshes, records, t.GetRects(), levelZero);
    EXPECT_STREQ(built ? built : "", "");

    float lowest = levelZero[0].position.z;
    for (const TerrainVertex& v : levelZero)
        lowest = std::min(lowest, v.position.z);
    const struct { bool keepWalls; const char* fault; } cases[] = {
        {false, "its coarse cells leave the land open"},
        {true, "its coarse cells hang walls deeper than the ground needs"},
    };
    for (const auto& c : cases) {
        std::vector<CMesh> changed[3] = {meshes[0], {}, {}};
        int walls = 0;
        for (int level = 1; level < 3; level++) {
            for (const CMesh& mesh : meshes[level]) {
                const MeshRecord* m = mesh.GetRecord();
                std::vector<Vector3> positions = m->collisionPositions;
                std::vector<uint16_t> ground;
                std::vector<bool> onGround(positions.size());
                for (size_t i = 0; i + 2 < m->collisionIndices.size(); i += 3) {
                    const uint16_t* k = &m->collisionIndices[i];
                    bool wall = Upright(positions[k[0]], positions[k[1]], positions[k[2]]);
                    walls += wall;
                    if (!wall) {
                        ground.insert(ground.end(), k, k + 3);
                        for (int corner = 0; corner < 3; corner++)
                            onGround[k[corner]] = true;
                    }
                }
                for (size_t i = 0; i < positions.size(); i++) {
                    if (!onGround[i])
                        positions[i].z = lowest - 2.0f;
                }
                CMesh copy;
                copy.GetRecord()->collisionPositions = c.keepWalls ? positions : m->collisionPositions;
                copy.GetRecord()->collisionIndices = c.keepWalls ? m->collisionIndices : ground;
                changed[level].push_back(copy);
            }
        }
        EXPECT_GT(walls, 0);
        const char* fault = CTerrain::CoarseWallFault(changed, records, t.GetRects(), levelZero);
        EXPECT_STREQ(fault ? fault : "", c.fault);
    }
}

// Flat ground needs no wall: every coarse rim runs a skirt's drop below the
// ground beside it.
TEST_F(TerrainTest, FlatGroundHangsNoWalls) {
    CTerrain t;
    BuildFlat(t, 100.0f, 0.3f, 16);
    for (int level = 1; level < 3; level++) {
        int walls = 0;
        for (const CMesh& mesh : t.GetLevelMeshes(level)) {
            const MeshRecord* m = mesh.GetRecord();
            for (size_t i = 0; i + 2 < m->collisionIndices.size(); i += 3) {
                const Vector3& a = m->collisionPositions[m->collisionIndices[i]];
                const Vector3& b = m->collisionPositions[m->collisionIndices[i + 1]];
                const Vector3& d = m->collisionPositions[m->collisionIndices[i + 2]];
                walls += Upright(a, b, d);
            }
        }
        EXPECT_EQ(walls, 0) << level;
        EXPECT_FALSE(t.GetLevelMeshes(level).empty());
    }
}
