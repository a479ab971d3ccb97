// The shipped models through the game's own readers: every model parses to
// one tree that survives a trip through the cache layout (in memory: the
// installation's own caches are left alone). The clips are checked against
// the soldier models by the content test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/strings.h"
#include "render/mesh_cache.h"
#include "render/mesh_file.h"
#include "render/node.h"
#include "test_mesh_util.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> ShippedModels() {
    std::vector<std::string> paths;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator("data/models", ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->path().extension() == ".mbm")
            paths.push_back(it->path().generic_string());
    }
    return paths;
}

std::string GamePath(std::string path) {
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

class Shipped : public ::testing::Test {
protected:
    void SetUp() override {
        RenderSetup setup;
        ASSERT_TRUE(InitRenderer(&setup, nullptr));
    }
    void TearDown() override { ShutdownRenderer(); }
};

TEST_F(Shipped, ModelsParseAndRoundTripTheCacheLayout) {
    std::vector<std::string> models = ShippedModels();
    if (models.empty())
        GTEST_SKIP() << "no generated models in this installation";
    for (const std::string& file : models) {
        std::string path = GamePath(file);
        std::ifstream in(file);
        MeshTokenReader reader(in);
        ASSERT_EQ(reader.ReadToken(), "RandomID") << path;   // every shipped model is cacheable
        reader.SkipBlock();
        MeshLoadResult parsed;
        ASSERT_TRUE(ParseMeshGroups(reader, GetDirectoryPart(path), true, parsed)) << path;
        ASSERT_NE(parsed.root, nullptr) << path;
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(BuildMeshCacheBytes(parsed, bytes)) << path;
        MeshLoadResult cached;
        ASSERT_TRUE(ReadMeshCacheRecords(bytes.data() + 4, bytes.size() - 4, true, cached)) << path;
        ExpectSameTree(parsed.root, cached.root);
        // Every drawn chunk has its buffers and a texture.
        std::vector<CNode*> nodes{parsed.root};
        parsed.root->CollectDescendants(nodes);
        for (CNode* n : nodes) {
            for (MeshChunk& c : n->mesh.GetRecord()->chunks) {
                EXPECT_FALSE(c.vertexBuffer.IsEmpty() || c.indexBuffer.IsEmpty()) << path << " " << n->name;
                EXPECT_FALSE(c.colourTexture.IsEmpty()) << path << " " << n->name;
            }
        }
        delete parsed.root;
        delete cached.root;
    }
}

}  // namespace
