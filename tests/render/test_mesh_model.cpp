// Models and the model cache: masters, instances and their sharing.
#include <gtest/gtest.h>

#include "core/strings.h"
#include "render/mesh_cache.h"
#include "render/model.h"
#include "render/node.h"
#include "test_mesh_util.h"

namespace {

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
