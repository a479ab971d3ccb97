// Meshes: drawing, welding (checked against the straightforward pairwise
// weld), collision geometry and cloning; models: masters, instances and the
// model cache.
#include <gtest/gtest.h>

#include <random>

#include "core/error.h"
#include "core/strings.h"
#include "render/mesh.h"
#include "render/mesh_cache.h"
#include "render/model.h"
#include "render/node.h"
#include "test_mesh_util.h"

namespace {

// The weld as first written: search the kept vertices from the last to the
// first and rewrite the whole index list per vertex.
void PairwiseWeld(int indexCount, const uint8_t* vertices, int vertexCount, int size,
                  const uint16_t* indices, std::vector<uint8_t>& outV, std::vector<uint16_t>& outI) {
    outI.assign(indices, indices + indexCount);
    outV.clear();
    for (int i = 0; i < vertexCount; i++) {
        const uint8_t* v = vertices + i * size;
        int n = (int)(outV.size() / size), k = n - 1;
        while (k >= 0 && memcmp(&outV[k * size], v, size) != 0)
            k--;
        int target = k >= 0 ? k : n;
        if (k < 0)
            outV.insert(outV.end(), v, v + size);
        if (target != i) {
            for (uint16_t& x : outI) {
                if (x == i)
                    x = (uint16_t)target;
            }
        }
    }
}

TEST(MeshWeld, HashWeldEqualsPairwiseWeld) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 200; round++) {
        int size = 4 * (1 + rng() % 8);
        int count = 1 + rng() % 300;
        int distinct = 1 + rng() % count;
        std::vector<uint8_t> pool(distinct * size);
        for (uint8_t& b : pool)
            b = (uint8_t)(rng() % 3);   // few values: many accidental equals
        std::vector<uint8_t> vertices(count * size);
        for (int i = 0; i < count; i++)
            memcpy(&vertices[i * size], &pool[(rng() % distinct) * size], size);
        std::vector<uint16_t> indices(rng() % 600);
        for (uint16_t& x : indices)
            x = (uint16_t)(rng() % (count + 5));   // a few past the end stay as they are
        std::vector<uint8_t> v1, v2;
        std::vector<uint16_t> i1, i2;
        WeldVertexData((int)indices.size(), vertices.data(), count, size, indices.data(), v1, i1);
        PairwiseWeld((int)indices.size(), vertices.data(), count, size, indices.data(), v2, i2);
        ASSERT_EQ(v1, v2) << "round " << round;
        ASSERT_EQ(i1, i2) << "round " << round;
    }
}

TEST(MeshWeld, PositionsWeldTwoEqualVerticesOfThree) {
    float v[9] = {1, 2, 3, 4, 5, 6, 1, 2, 3};
    std::vector<Vector3> pos;
    std::vector<uint32_t> posIdx;
    uint32_t idx32[3] = {2, 1, 0};
    WeldPositions(3, v, 3, 12, idx32, pos, posIdx);
    ASSERT_EQ(pos.size(), 2u);
    EXPECT_FLOAT_EQ(pos[1].x, 4);
    EXPECT_EQ(posIdx, (std::vector<uint32_t>{0, 1, 0}));
}

class Mesh : public MeshFilesTest {
protected:
    Mesh() : MeshFilesTest("meshes_test_mesh") {}
};

TEST_F(Mesh, DrawSkipsChunksWithoutBuffersAndRoundsIndexCounts) {
    CMesh mesh;
    auto& chunks = mesh.GetRecord()->chunks;
    chunks.push_back(MakeChunk({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2, 2, 1, 0, 0}));
    MeshChunk noIndices = MakeChunk({{0, 0, 0}}, {});
    noIndices.indexBuffer.DropRecord();
    chunks.push_back(noIndices);
    chunks.push_back(MeshChunk());
    mesh.Draw();
    EXPECT_EQ(NullRenderCounters().drawCalls, 1);
    EXPECT_EQ(NullRenderCounters().indexedTriangles, 2);   // 7 indices
    EXPECT_EQ(NullRenderCounters().drawErrors, 0);
}

TEST_F(Mesh, BumpTextureIsTheOneInEffect) {
    CMesh mesh;
    MeshChunk c = MakeChunk({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2});
    ASSERT_TRUE(LoadTexture(c.bumpTexture, WritePng("bump.png", 4, 4), false, 5, true));
    mesh.GetRecord()->chunks.push_back(c);
    mesh.Draw();
    EXPECT_EQ(NullBoundTexture(0), c.bumpTexture.GetRecord());
    ASSERT_TRUE(LoadTexture(mesh.GetRecord()->chunks[0].colourTexture, WritePng("c.png", 4, 4), false, 1, true));
    mesh.Draw();
    EXPECT_EQ(NullBoundTexture(0), c.bumpTexture.GetRecord());

    // A chunk without textures after a textured one draws untextured.
    mesh.GetRecord()->chunks.push_back(MakeChunk({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2}));
    NullResetCounters();
    mesh.Draw();
    EXPECT_EQ(NullRenderCounters().drawCalls, 2);
    EXPECT_EQ(NullBoundTexture(0), nullptr);
}

TEST_F(Mesh, WeldVerticesRemakesReadableChunksOnly) {
    CMesh mesh;
    auto& chunks = mesh.GetRecord()->chunks;
    chunks.push_back(MakeChunk({{0, 0, 0}, {1, 0, 0}, {0, 0, 0}, {1, 0, 0}}, {0, 1, 2, 3, 2, 1}));
    chunks.push_back(MakeChunk({{0, 0, 0}, {0, 0, 0}}, {0, 1}, true));
    MeshChunk missing = MakeChunk({{0, 0, 0}, {0, 0, 0}}, {0, 1});
    missing.indexBuffer.DropRecord();
    chunks.push_back(missing);
    CVertexBuffer oldFirst = chunks[0].vertexBuffer;
    int reports = ErrorReportCount();

    mesh.WeldVertices();
    EXPECT_EQ(chunks[0].vertexBuffer.GetVertexCount(), 2);
    EXPECT_NE(chunks[0].vertexBuffer.GetRecord(), oldFirst.GetRecord());
    EXPECT_FALSE(chunks[0].vertexBuffer.GetRecord()->writeOnly);
    EXPECT_EQ(IndexValues(chunks[0].indexBuffer), (std::vector<uint16_t>{0, 1, 0, 1, 0, 1}));
    EXPECT_EQ(chunks[1].vertexBuffer.GetVertexCount(), 2);   // write-only: skipped
    EXPECT_EQ(ErrorReportCount(), reports + 1);
    EXPECT_EQ(chunks[2].vertexBuffer.GetVertexCount(), 2);   // no index buffer: skipped

    CVertexBuffer welded = chunks[0].vertexBuffer;
    mesh.WeldVertices();   // welding again changes nothing
    EXPECT_EQ(VertexBytes(chunks[0].vertexBuffer), VertexBytes(welded));
}

TEST_F(Mesh, CollisionGeometryJoinsChunksAndWelds) {
    CMesh mesh;
    auto& chunks = mesh.GetRecord()->chunks;
    chunks.push_back(MakeChunk({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2}));
    chunks.push_back(MakeChunk({{1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {0, 2, 1}));
    mesh.BuildCollisionGeometry();
    const MeshRecord& r = *mesh.GetRecord();
    ASSERT_EQ(r.collisionPositions.size(), 4u);
    EXPECT_EQ(r.collisionIndices, (std::vector<uint16_t>{0, 1, 2, 1, 3, 2}));

    // A write-only chunk stops the gathering and keeps what was there.
    chunks.push_back(MakeChunk({{5, 5, 5}}, {0}, true));
    mesh.BuildCollisionGeometry();
    EXPECT_EQ(r.collisionPositions.size(), 4u);

    CMesh empty;
    empty.BuildCollisionGeometry();
    EXPECT_TRUE(empty.GetRecord()->collisionPositions.empty());
}

TEST_F(Mesh, CollisionGeometryPastSixteenBitsIsLeftEmpty) {
    // Two chunks of 40000 distinct positions: offsets past 65535 must not
    // wrap onto the first chunk's positions.
    CMesh mesh;
    for (int c = 0; c < 2; c++) {
        std::vector<Vector3> p(40000);
        for (int i = 0; i < 40000; i++)
            p[i] = Vector3{(float)i, (float)c, 0};
        mesh.GetRecord()->chunks.push_back(MakeChunk(p, {0, 1, 39999}));
    }
    int reports = ErrorReportCount();
    mesh.BuildCollisionGeometry();
    EXPECT_TRUE(mesh.GetRecord()->collisionPositions.empty());
    EXPECT_TRUE(mesh.GetRecord()->collisionIndices.empty());
    EXPECT_EQ(ErrorReportCount(), reports + 1);

    // Welded down below the limit they are kept, with correct offsets.
    CMesh same;
    for (int c = 0; c < 2; c++) {
        std::vector<Vector3> p(40000, Vector3{1, 2, 3});
        p[39999] = Vector3{(float)c, 0, 0};
        same.GetRecord()->chunks.push_back(MakeChunk(p, {0, 39999, 1}));
    }
    same.BuildCollisionGeometry();
    const MeshRecord& r = *same.GetRecord();
    ASSERT_EQ(r.collisionPositions.size(), 3u);
    EXPECT_EQ(r.collisionIndices, (std::vector<uint16_t>{0, 1, 0, 0, 2, 0}));
    EXPECT_FLOAT_EQ(r.collisionPositions[2].x, 1);
}

TEST_F(Mesh, CloneCopiesBuffersAndSharesTextures) {
    CMesh mesh;
    MeshChunk c = MakeChunk({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2});
    ASSERT_TRUE(LoadTexture(c.colourTexture, WritePng("c.png", 8, 8), false, 1, true));
    mesh.GetRecord()->chunks.push_back(c);
    CMesh* copy = mesh.Clone(false);
    ASSERT_NE(copy, nullptr);
    MeshChunk& cc = copy->GetRecord()->chunks[0];
    EXPECT_NE(cc.vertexBuffer.GetRecord(), c.vertexBuffer.GetRecord());
    EXPECT_TRUE(cc.vertexBuffer.GetRecord()->writeOnly);
    EXPECT_EQ(cc.colourTexture.GetRecord(), c.colourTexture.GetRecord());
    EXPECT_EQ(VertexBytes(cc.vertexBuffer), VertexBytes(c.vertexBuffer));
    delete copy;

    mesh.GetRecord()->chunks.push_back(MakeChunk({{0, 0, 0}}, {0}, true));
    EXPECT_EQ(mesh.Clone(true), nullptr);
}

const char* ModelText =
    "RandomID { 2 }\n"
    "Mesh { Name { m } Chunk { Vertices { PNC 4  0 0 0 0 0 1 1 1 1 1  1 0 0 0 0 1 1 1 1 1\n"
    "  0 0 0 0 0 1 1 1 1 1  0 1 0 0 0 1 1 1 1 1 } Indices { 3 0 1 3 } } }\n"
    "Bone { Name { Body } Mesh { m } Child { Arm } }\n"
    "Bone { Name { Arm } Mesh { m } ConnectPos { 1 0 0 } }\n";

class Model : public MeshFilesTest {
protected:
    Model() : MeshFilesTest("meshes_test_model") {}
    void TearDown() override {
        ClearModelCache();
        MeshFilesTest::TearDown();
    }
};

TEST_F(Model, InstancesShareTheMastersMeshes) {
    std::string path = Write("unit.mbm", ModelText);
    CModel one, two;
    ASSERT_TRUE(LoadModel(one, path, false, true));
    ASSERT_TRUE(LoadModel(two, path, false, true));
    EXPECT_EQ(ModelCache().size(), 1u);
    EXPECT_TRUE(one.GetRecord()->instance);
    EXPECT_FALSE(ModelCache().front().GetRecord()->instance);
    EXPECT_NE(one.GetRoot(), two.GetRoot());
    EXPECT_EQ(one.GetRoot()->mesh.GetRecord(), two.GetRoot()->mesh.GetRecord());
    // The weld flag merged the repeated vertex.
    EXPECT_EQ(one.GetRoot()->mesh.GetRecord()->chunks[0].vertexBuffer.GetVertexCount(), 3);

    one.FindNode("Arm")->SetPosition(Vector3{9, 0, 0});
    Vector3 p;
    EXPECT_FLOAT_EQ(Matrix4GetTranslation(p, two.FindNode("Arm")->GetWorldMatrix()).x, 1);

    // Names match without case; the same file readable is another master.
    CModel three, readable;
    ASSERT_TRUE(LoadModel(three, Path("UNIT.mbm"), false, true));
    EXPECT_EQ(ModelCache().size(), 1u);
    ASSERT_TRUE(LoadModel(readable, path, true, false));
    EXPECT_EQ(ModelCache().size(), 2u);

    // Clearing the cache leaves instances whole.
    ClearModelCache();
    NullResetCounters();
    one.Draw();
    EXPECT_EQ(NullRenderCounters().indexedTriangles, 2);
    EXPECT_EQ(NullRenderCounters().drawErrors, 0);
}

// The registry walk the master lookup must agree with: newest record first,
// masters only, readable flag equal, names equal without case.
ModelRecord* RegistrySearch(const std::string& name, bool readable) {
    for (ResourceRecord* r : ModelRegistry()) {
        ModelRecord* m = static_cast<ModelRecord*>(r);
        if (!name.empty() && !m->instance && m->readable == readable &&
            EqualIgnoringCase(m->name, name))
            return m;
    }
    return nullptr;
}

TEST_F(Model, MasterLookupAgreesWithTheRegistry) {
    CModel older, newer, readable, instance;
    older.CreateFromRoot(new CNode, "units\\Unit.mbm", false, false, 1.0f);
    newer.CreateFromRoot(new CNode, "UNITS\\unit.MBM", false, false, 2.0f);
    readable.CreateFromRoot(new CNode, "units\\unit.mbm", true, false, 3.0f);
    instance.CreateFromRoot(new CNode, "units\\unit.mbm", false, true, 4.0f);
    auto agree = [](const char* what) {
        for (const char* name : {"units\\unit.mbm", "UNITS\\UNIT.MBM", "units\\other.mbm", ""}) {
            for (bool r : {false, true}) {
                ModelRecord key;
                key.name = name;
                key.readable = r;
                EXPECT_EQ(FindModelRecord(key), RegistrySearch(name, r)) << what << " " << name << r;
                key.instance = true;
                EXPECT_EQ(FindModelRecord(key), nullptr);
            }
        }
    };
    agree("four records");
    ModelRecord key;
    key.name = "units\\unit.mbm";
    EXPECT_EQ(FindModelRecord(key), newer.GetRecord());
    newer.DropRecord();   // the older master is found again
    agree("newest dropped");
    EXPECT_EQ(FindModelRecord(key), older.GetRecord());
    CModel share(older);
    older.DropRecord();   // still held
    EXPECT_EQ(FindModelRecord(key), share.GetRecord());
    share.CreateFromRoot(new CNode, "units\\unit.mbm", false, true, 5.0f);
    agree("every master of the name dropped");
    EXPECT_EQ(FindModelRecord(key), nullptr);
}

TEST_F(Model, RefusedLoads) {
    std::string path = Write("unit.mbm", ModelText);
    CModel m;
    EXPECT_FALSE(LoadModel(m, path, false, false));   // neither flag: nothing is read
    EXPECT_FALSE(Exists(MeshCachePath(path)));
    EXPECT_FALSE(LoadModel(m, Write("unit.txt", ModelText), true, true));
    EXPECT_FALSE(LoadModel(m, Write("nobones.mbm", "Mesh { Name { m } }"), true, true));
    EXPECT_FALSE(LoadModel(m, Path("missing.mbm"), true, true));
    EXPECT_EQ(m.GetRoot(), nullptr);
    m.Draw();
    EXPECT_TRUE(ModelCache().empty());
}

}  // namespace
