// The segment cache: exact round trips, refusal of cut, padded or garbled
// files without reading past them, atomic replacement, and Load's use of it.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "core/files.h"
#include "terrain_test_util.h"

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

}  // namespace

TEST_F(TerrainTest, CacheRoundTripIsExact) {
    CTerrain built;
    BuildStrip(built);
    ASSERT_EQ(built.GetSegments().size(), 8u);
    std::vector<uint8_t> first, second;
    ASSERT_TRUE(built.SerializeSegmentCache(first));
    CTerrain read;
    ASSERT_TRUE(read.DeserializeSegmentCache(first.data(), first.size()));
    read.FinishLoad();
    ASSERT_TRUE(read.SerializeSegmentCache(second));
    EXPECT_EQ(first, second);
    EXPECT_EQ(read.GetSegments().size(), 8u);
    EXPECT_EQ(read.SampleGrid(1, 40), built.SampleGrid(1, 40));
    Ray down{{1, 40, 1000}, {0, 0, -1}};
    Vector3 p, q, n;
    ASSERT_TRUE(built.RayQuery(down, p, n));
    ASSERT_TRUE(read.RayQuery(down, q, n));
    EXPECT_EQ(p.z, q.z);
}

TEST_F(TerrainTest, CutPaddedOrGarbledCachesAreRefusedWhole) {
    CTerrain built;
    BuildStrip(built);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(built.SerializeSegmentCache(bytes));
    std::vector<uint8_t> before;
    ASSERT_TRUE(built.SerializeSegmentCache(before));
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
        ASSERT_FALSE(built.DeserializeSegmentCache(cut.data(), cut.size())) << length;
        bool dense = length < 400 || (length >= rects - 8 && length < rects + 16 * 8 + 8);
        length += dense ? 1 : length < head ? 37 : 9973;
    }
    std::vector<uint8_t> padded = bytes;
    padded.push_back(0);
    EXPECT_FALSE(built.DeserializeSegmentCache(padded.data(), padded.size()));
    // A count that disagrees with what follows, and a bound that is not a number.
    for (size_t at : {(size_t)80, rects + 16 * 8, (size_t)0}) {
        std::vector<uint8_t> garbled = bytes;
        garbled[at] ^= 0x41;
        garbled[at + 1] ^= at == 0 ? 0xFF : 0;
        garbled[at + 2] ^= at == 0 ? 0xFF : 0;
        garbled[at + 3] ^= at == 0 ? 0x7F : 0;
        EXPECT_FALSE(built.DeserializeSegmentCache(garbled.data(), garbled.size())) << at;
    }
    // Nothing read so far was taken over.
    std::vector<uint8_t> after;
    ASSERT_TRUE(built.SerializeSegmentCache(after));
    EXPECT_EQ(before, after);
}

TEST_F(TerrainTest, CacheWritesAreAtomicAndABrokenCacheIsNotUsed) {
    CTerrain built;
    BuildStrip(built);
    const std::string path = "gen\\terrain\\strip_8x8.tSegs";
    ASSERT_EQ(CTerrain::SegmentCachePath("some\\where\\strip.mbm"), path);
    ASSERT_TRUE(built.WriteSegmentCache(path));
    std::vector<uint8_t> written = FileBytes(path);
    EXPECT_FALSE(FileBytes(path + ".tmp").size());
    CTerrain empty;   // refuses to write: the good file stays
    EXPECT_FALSE(empty.WriteSegmentCache(path));
    EXPECT_EQ(FileBytes(path), written);
    {
        std::ofstream blocker("blocker");
    }
    EXPECT_FALSE(built.WriteSegmentCache("blocker\\strip_8x8.tSegs"));

    // Load of a mesh that is not there reads the cache of its base name...
    CTerrain loaded;
    ASSERT_TRUE(loaded.Load("missing\\strip.mbm"));
    EXPECT_EQ(loaded.GetSegments().size(), 8u);
    // ...and a broken cache is not used: the missing mesh gives an empty
    // terrain, and nothing is written over the broken file.
    written.resize(written.size() - 1);
    {
        std::ofstream out(NativePath(path), std::ios::binary);
        out.write((const char*)written.data(), (std::streamsize)written.size());
    }
    ASSERT_TRUE(loaded.Load("missing\\strip.mbm"));
    EXPECT_TRUE(loaded.GetSegments().empty());
    EXPECT_EQ(FileBytes(path).size(), written.size());
}
