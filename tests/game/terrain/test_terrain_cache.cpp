// The segment cache: exact round trips, refusal of cut, padded or garbled
// files without reading past them, atomic replacement, and Load's use of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

#include "core/error.h"
#include "core/files.h"
#include "terrain_test_util.h"
#include "tests/render/test_mesh_util.h"

namespace {

// A long, thin strip: one column of eight cells keeps the file small.
void BuildStrip(CTerrain& t) {
    std::vector<TerrainVertex> v;
    std::vector<uint16_t> i;
    MakeHeightfield(1, 8, 0, 0, 2, 80, [](float x, float y) { return x + y * 0.1f; },
                    [](float, float y) { return y / 80.0f; }, v, i);
    t.BuildFromVertices(v, i, CTexture(), "strip");
}

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

const size_t GridBytes = 1000000;

// A cache cut into its parts: the mesh records found by reading them, so a
// test can swap, add or forge records and join the parts again.
struct CacheParts {
    std::vector<uint8_t> head;                     // bounds and matrix
    std::vector<std::vector<uint8_t>> records[3];
    std::vector<uint8_t> rects;                    // one rectangle per level-0 segment
    std::vector<uint8_t> rest;                     // vertex arrays and grid

    explicit CacheParts(const std::vector<uint8_t>& bytes) : head(bytes.begin(), bytes.begin() + 80) {
        size_t n = bytes[80] | bytes[81] << 8, at = 82;
        for (auto& level : records) {
            for (size_t i = 0; i < n; i++) {
                CMesh mesh;
                size_t used = mesh.Deserialize(bytes.data() + at, bytes.size() - at, false);
                level.emplace_back(bytes.begin() + at, bytes.begin() + at + used);
                at += used;
            }
        }
        rects.assign(bytes.begin() + at, bytes.begin() + at + 16 * n);
        rest.assign(bytes.begin() + at + 16 * n, bytes.end());
    }
    void SetBounds(float minX, float maxX, float minY, float maxY) {
        float b[4] = {minX, maxX, minY, maxY};
        memcpy(head.data(), b, sizeof b);
    }
    void AddSegment(const std::vector<uint8_t>& record) {
        for (auto& level : records)
            level.push_back(record);
        rects.insert(rects.end(), 16, 0);
    }
    std::vector<uint8_t> Join() const {
        std::vector<uint8_t> out = head;
        size_t n = records[0].size();
        out.push_back((uint8_t)n);
        out.push_back((uint8_t)(n >> 8));
        for (const auto& level : records) {
            for (const auto& record : level)
                out.insert(out.end(), record.begin(), record.end());
        }
        out.insert(out.end(), rects.begin(), rects.end());
        out.insert(out.end(), rest.begin(), rest.end());
        return out;
    }
};

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    CreateDirectoryPath(path);
    std::ofstream out(NativePath(path), std::ios::binary);
    out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
}

// The strip built and its cache's bytes.
class StripCache : public TerrainTest {
protected:
    void SetUp() override {
        TerrainTest::SetUp();
        BuildStrip(built);
        ASSERT_TRUE(built.SerializeSegmentCache(bytes));
    }
    bool Reads(const std::vector<uint8_t>& file) {
        return built.DeserializeSegmentCache(file.data(), file.size());
    }
    CTerrain built;
    std::vector<uint8_t> bytes;
};

}  // namespace

TEST_F(StripCache, RoundTripIsExact) {
    ASSERT_EQ(built.GetSegments().size(), 8u);
    std::vector<uint8_t> second;
    CTerrain read;
    ASSERT_TRUE(read.DeserializeSegmentCache(bytes.data(), bytes.size()));
    read.FinishLoad();
    ASSERT_TRUE(read.SerializeSegmentCache(second));
    EXPECT_EQ(bytes, second);
    EXPECT_EQ(read.GetSegments().size(), 8u);
    EXPECT_EQ(read.SampleGrid(1, 40), built.SampleGrid(1, 40));
    Ray down{{1, 40, 1000}, {0, 0, -1}};
    Vector3 p, q, n;
    ASSERT_TRUE(built.RayQuery(down, p, n));
    ASSERT_TRUE(read.RayQuery(down, q, n));
    EXPECT_EQ(p.z, q.z);
}

TEST_F(StripCache, CutPaddedOrGarbledCachesAreRefusedWhole) {
    // Cuts through the header, the first records, the rectangles and counts,
    // then samples; each cut copy is exactly as long, so ASan sees any
    // over-read.
    size_t head = bytes.size() - GridBytes;
    size_t vertices = 0;
    for (int level = 0; level < 3; level++)
        vertices += built.GetLevelVertices(level).size();
    size_t rects = head - 28 * vertices - 6 - 16 * 8;
    for (size_t length = 0; length < bytes.size();) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + length);
        ASSERT_FALSE(Reads(cut)) << length;
        bool dense = length < 400 || (length >= rects - 8 && length < rects + 16 * 8 + 8);
        length += dense ? 1 : length < head ? 37 : 9973;
    }
    std::vector<uint8_t> padded = bytes;
    padded.push_back(0);
    EXPECT_FALSE(Reads(padded));
    // A count that disagrees with what follows, and a bound that is not a number.
    for (size_t at : {(size_t)80, rects + 16 * 8, (size_t)0}) {
        std::vector<uint8_t> garbled = bytes;
        garbled[at] ^= 0x41;
        garbled[at + 1] ^= at == 0 ? 0xFF : 0;
        garbled[at + 2] ^= at == 0 ? 0xFF : 0;
        garbled[at + 3] ^= at == 0 ? 0x7F : 0;
        EXPECT_FALSE(Reads(garbled)) << at;
    }
    // Nothing read so far was taken over.
    std::vector<uint8_t> after;
    ASSERT_TRUE(built.SerializeSegmentCache(after));
    EXPECT_EQ(bytes, after);
}

TEST_F(StripCache, WritesAreAtomicAndABrokenCacheIsNotUsed) {
    const std::string path = "gen\\terrain\\strip_8x8.tSegs";
    // Named after the base name, whichever separators the name uses.
    for (const char* name : {"some\\where\\strip.mbm", "some/where/strip.mbm", "some\\where/strip.mbm"})
        ASSERT_EQ(CTerrain::SegmentCachePath(name), path) << name;
    ASSERT_TRUE(built.WriteSegmentCache(path));
    std::vector<uint8_t> written = FileBytes(path);
    EXPECT_FALSE(FileBytes(path + ".tmp").size());
    CTerrain empty;   // refuses to write: the good file stays
    EXPECT_FALSE(empty.WriteSegmentCache(path));
    EXPECT_EQ(FileBytes(path), written);
    std::ofstream{"blocker"};   // a file where the folder would be
    EXPECT_FALSE(built.WriteSegmentCache("blocker\\strip_8x8.tSegs"));

    // Load of a mesh that is not there reads the cache of its base name...
    CTerrain loaded;
    ASSERT_TRUE(loaded.Load("missing\\strip.mbm"));
    EXPECT_EQ(loaded.GetSegments().size(), 8u);
    // ...and a broken cache is not used: the missing mesh gives an empty
    // terrain, and nothing is written over the broken file.
    written.resize(written.size() - 1);
    WriteBytes(path, written);
    ASSERT_TRUE(loaded.Load("missing\\strip.mbm"));
    EXPECT_TRUE(loaded.GetSegments().empty());
    EXPECT_EQ(FileBytes(path).size(), written.size());
}

TEST_F(StripCache, SegmentNamesThatLeaveTheCacheFolderAreRefused) {
    // Every level names its segments alike: forge one level's copy of the
    // first name at a time, keeping its length so everything else stays.
    const std::string name = "strip - segment 0, for 1x8";
    std::vector<size_t> places;
    for (auto it = bytes.begin(); (it = std::search(it, bytes.end(), name.begin(), name.end())) != bytes.end(); it++)
        places.push_back(it - bytes.begin());
    ASSERT_EQ(places.size(), 3u);
    for (std::string bad : {"..\\..\\..\\", "sub/dir", "C:", "a..", "tab\t", "CON.", "Com1."}) {
        bad.resize(name.size(), 'x');
        for (size_t at : places) {
            std::vector<uint8_t> forged = bytes;
            memcpy(forged.data() + at, bad.data(), bad.size());
            EXPECT_FALSE(Reads(forged)) << bad << " " << at;
        }
    }

    // Loaded the way the game loads it, such a cache writes nothing outside
    // the collision folder: it is refused (and the missing mesh gives an
    // empty terrain).
    CreateDirectoryPath("gen\\data\\collision\\");
    std::string escape = "..\\..\\..\\escaped";
    escape.resize(name.size(), 'x');
    memcpy(bytes.data() + places[0], escape.data(), escape.size());
    WriteBytes("gen\\terrain\\strip_8x8.tSegs", bytes);
    CTerrain loaded;
    ASSERT_TRUE(loaded.Load("missing\\strip.mbm"));
    EXPECT_TRUE(loaded.GetSegments().empty());
    EXPECT_FALSE(FileBytes(escape.substr(9) + ".col").size());
    // Only the base name names the cache, so folders cannot lead out of it.
    EXPECT_EQ(CTerrain::SegmentCachePath("data\\models/../../x.mbm"), "gen\\terrain\\x_8x8.tSegs");
    EXPECT_EQ(CTerrain::SegmentCachePath("data\\models\\a:b.mbm"), "");
}

TEST_F(StripCache, CachesWhoseSegmentsDoNotBearTheirBoundsAreRefused) {
    // A valley deeper than the cells' boxes reach (z -1000): its segments
    // stop short of the bounds, yet its own cache reads back.
    {
        CTerrain deep, again;
        std::vector<TerrainVertex> v;
        std::vector<uint16_t> i;
        MakeHeightfield(4, 4, 0, 0, 40, 40, [](float, float y) { return y > 35 ? -5000.0f : 0.0f; },
                        [](float, float) { return 0.3f; }, v, i);
        deep.BuildFromVertices(v, i, CTexture(), "deep");
        std::vector<uint8_t> deepBytes;
        ASSERT_TRUE(deep.SerializeSegmentCache(deepBytes));
        EXPECT_TRUE(again.DeserializeSegmentCache(deepBytes.data(), deepBytes.size()));
    }
    CacheParts parts(bytes);
    ASSERT_EQ(parts.Join(), bytes);
    ASSERT_EQ(parts.records[0].size(), 8u);
    auto reads = [this](const CacheParts& forged) { return Reads(forged.Join()); };

    // Bounds the segments do not reach, wide or a little off.
    CacheParts wide = parts, off = parts;
    wide.SetBounds(-1e30f, 1e30f, -1e30f, 1e30f);
    off.SetBounds(0, 2, 0, 81);
    EXPECT_FALSE(reads(wide));
    EXPECT_FALSE(reads(off));

    // More segments than the grid has cells (one column of eight here).
    CacheParts more = parts;
    more.AddSegment(parts.records[0][0]);
    EXPECT_FALSE(reads(more));

    // A level-0 segment without collision data: a record with no chunk.
    CacheParts bare = parts;
    bare.records[0][3] = {1, 's', 0};
    EXPECT_FALSE(reads(bare));
    EXPECT_TRUE(reads(parts));
}

// Finite bounds whose extents overflow, or are wider than any ground: the
// level-0 check's tolerance would grow with them and let any vertex pass.
TEST_F(StripCache, CachesOfNoPlausibleGroundAreRefusedAndReported) {
    CacheParts parts(bytes);
    // Level-0 vertices start the rest, after its vertex count: position,
    // normal and attribute, seven floats.
    auto set = [](CacheParts& p, size_t vertex, int field, float value) {
        memcpy(p.rest.data() + 2 + 28 * vertex + 4 * field, &value, sizeof value);
    };
    // Two level-0 vertices moved to the corners: the bounds are theirs.
    auto spread = [&set](CacheParts& p, float x, float y) {
        p.SetBounds(-x, x, -y, y);
        set(p, 0, 0, -x);
        set(p, 0, 1, -y);
        set(p, 1, 0, x);
        set(p, 1, 1, y);
    };
    CacheParts overflowing = parts, wide = parts, broad = parts, tall = parts;
    overflowing.SetBounds(-3e38f, 3e38f, -3e38f, 3e38f);
    spread(wide, 1e30f, 1e30f);
    // Too wide one way only, with room in the grid for every segment.
    spread(broad, 75000, 10000);
    spread(tall, 10000, 75000);
    std::vector<CacheParts> forgeries = {overflowing, wide, broad, tall};
    // Any of a vertex's seven floats not a number.
    for (int field = 0; field < 7; field++) {
        forgeries.push_back(parts);
        set(forgeries.back(), 5, field, std::nanf(""));
    }
    for (size_t i = 0; i < forgeries.size(); i++) {
        WriteBytes("gen\\terrain\\forged.tSegs", forgeries[i].Join());
        int reports = ErrorReportCount();
        EXPECT_FALSE(built.ReadSegmentCache("gen\\terrain\\forged.tSegs")) << i;
        EXPECT_EQ(ErrorReportCount(), reports + 1);
        EXPECT_NE(LastErrorReport().find("forged.tSegs refused ("), std::string::npos)
            << LastErrorReport();
        EXPECT_EQ(LastErrorReport().find("not a finite number") != std::string::npos, i >= 4) << i;
    }
    // Spread within the bounds a cache may have, the same vertices read.
    spread(parts, 40000, 40000);
    EXPECT_TRUE(Reads(parts.Join()));

    // A ground too wide to cache is still built; its extents' grid is the
    // square one, as for extents that are no numbers.
    CTerrain vast;
    std::vector<TerrainVertex> v;
    std::vector<uint16_t> i;
    MakeHeightfield(1, 1, 0, 0, 1.2f * MaxTerrainExtent, 2, [](float, float) { return 0.0f; },
                    [](float, float) { return 0.0f; }, v, i);
    vast.BuildFromVertices(v, i, CTexture(), "vast");
    std::vector<uint8_t> none;
    EXPECT_FALSE(vast.SerializeSegmentCache(none));
    EXPECT_FALSE(vast.GetSegments().empty());
    int columns, rows;
    const float inf = std::numeric_limits<float>::infinity();
    for (float x : {inf, std::nanf("")}) {
        CTerrain::GridSizeFor(x, inf, columns, rows);
        EXPECT_EQ(std::make_pair(columns, rows), std::make_pair(8, 8));
    }
}

TEST_F(TerrainTest, ASmallCraftedCacheIsRefusedAtOnce) {
    // 8,192 segments without collision data under bounds of +-1e30: 1.2 MB
    // that once made grass placement cast four million rays past every
    // segment. The load refuses it and, the mesh being missing, is empty.
    const unsigned n = 8192;
    CacheParts parts(std::vector<uint8_t>(82, 0));
    parts.SetBounds(-1e30f, 1e30f, -1e30f, 1e30f);
    float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    memcpy(parts.head.data() + 16, identity, sizeof identity);
    parts.rest.assign(6 + GridBytes, 0);
    for (unsigned i = 0; i < n; i++)
        parts.AddSegment({1, 's', 0});
    WriteBytes("gen\\terrain\\crafted_8x8.tSegs", parts.Join());
    CTerrain terrain;
    ASSERT_TRUE(terrain.Load("missing\\crafted.mbm"));
    EXPECT_TRUE(terrain.GetSegments().empty());
    EXPECT_TRUE(terrain.GetBlades().empty());
}

// The cache keeps the texture's name and the reader loads it as a plain
// image: land drawn with another kind (a height image made into a normal
// map) is not cached, so no later load draws it another way.
class TerrainTextureKinds : public MeshFilesTest {
protected:
    TerrainTextureKinds() : MeshFilesTest("terrain_kinds") {}
};

TEST_F(TerrainTextureKinds, OnlyLandWithAPlainImageIsCached) {
    std::vector<TerrainVertex> v;
    std::vector<uint16_t> i;
    MakeHeightfield(1, 8, 0, 0, 2, 80, [](float x, float y) { return x + y * 0.1f; },
                    [](float, float y) { return y / 80.0f; }, v, i);
    std::vector<uint8_t> bytes;
    for (int kind : {1, 5}) {
        CTexture texture;
        const std::string image = WritePng("land" + std::to_string(kind) + ".png", 4, 4);
        ASSERT_TRUE(LoadTexture(texture, image, false, kind, true));
        ASSERT_EQ(texture.GetRecord()->kind, kind);
        CTerrain terrain;
        terrain.BuildFromVertices(v, i, texture, "strip");
        ASSERT_FALSE(terrain.GetSegments().empty());
        EXPECT_EQ(terrain.SerializeSegmentCache(bytes), kind == 1) << kind;
        EXPECT_EQ(terrain.SegmentTexturesFitCache(), kind == 1) << kind;
    }
}
