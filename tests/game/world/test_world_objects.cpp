// World objects and props: headings, moves, placing a prop moves what
// projectiles and queries hit, a dynamic prop settles on the ground, a prop
// named with '/' finds its texture and its caches.
#include <cmath>
#include <cstring>
#include <tuple>

#include "core/error.h"
#include "game/world/generic_object.h"
#include "game/world/world_query.h"
#include "render/model.h"
#include "tests/game/world/fake_world.h"
#include "tests/render/test_mesh_util.h"

namespace {

class WorldObjects : public CollisionTest {
protected:
    void TearDown() override {
        ClearModelCache();
        CollisionTest::TearDown();
    }
    // A master "coltest_crate.mbm" in the model cache: a 2 x 2 x 2 box
    // standing on its base at the origin.
    static void CacheCrate() {
        CNode* root = AddBoxNode(nullptr, "Crate", "crate", {-1, -1, 0}, {1, 1, 2}, {0, 0, 0});
        CModel master;
        master.CreateFromRoot(root, "coltest_crate.mbm", false, false, 0);
        ModelCache().push_back(master);
    }
};

class PlainObject : public CWorldObject {
public:
    const Vector3& GetPosition() const override { return at; }
    void SetPosition(const Vector3& p) override { at = p; }
    void SetTransform(const Matrix4& m) override { transform = m; }
    Vector3 at;
};

TEST_F(WorldObjects, HeadingsAndMoves) {
    PlainObject o;
    o.Move(Vector3{1, 2, 3});
    ExpectNear3(o.GetPosition(), Vector3{1, 2, 3});

    o.SetHeading(0.0f);
    const float* m = o.GetTransform().m;
    EXPECT_EQ(std::make_tuple(m[0], m[5], m[1]), std::make_tuple(1.0f, 1.0f, 0.0f));
    ExpectNear3(Vector3{m[3], m[7], m[11]}, Vector3{1, 2, 3});

    // A quarter turn takes x to -y under M.p: the facing of heading a is (cos a, -sin a, 0).
    o.SetHeading(1.5707964f);
    Vector3 x;
    Matrix4TransformPoint(x, o.GetTransform(), Vector3{1, 0, 0});
    EXPECT_NEAR(x.x - 1, 0, 1e-6f);
    EXPECT_NEAR(x.y - 2, -1, 1e-6f);

    // The defaults hand out a vector nobody can change and ignore setters.
    CWorldObject plain;
    plain.SetPosition(Vector3{5, 5, 5});
    plain.Move(Vector3{1, 0, 0});
    ExpectNear3(plain.GetPosition(), Vector3{0, 0, 0});
    ExpectNear3(plain.GetVelocity(), Vector3{0, 0, 0});
    EXPECT_FLOAT_EQ(plain.GetScale(), 1.0f);

    // A prop that never got a model is placed and freed without harm.
    CGenericObject empty(nullptr);
    empty.SetPosition(Vector3{1, 1, 1});
    empty.Update(0.1f);
    EXPECT_FALSE(empty.HasModel());
}

TEST_F(WorldObjects, PlacedStaticPropIsHitWhereItStands) {
    CacheCrate();
    FakeWorld world;
    auto* crate = new CGenericObject(&world);
    world.props.emplace_back(crate);
    EXPECT_FALSE(crate->LoadMesh("coltest_missing.mbm", false, DefaultHitPoints));
    ASSERT_TRUE(crate->LoadMesh("coltest_crate.mbm", false, DefaultHitPoints));

    // The level loader turns and places it.
    crate->SetPosition(Vector3{50, 20, 0});
    crate->SetHeading(0.3f);
    ExpectNear3(crate->collision.sphere.centre, Vector3{50, 20, 0});

    Ray ray{{50, 20, 10}, {0, 0, -1}};
    CollisionContact c;
    ASSERT_TRUE(WorldQuery(world, ray, QUERY_PROPS, c, nullptr, 3, true));
    EXPECT_EQ(c.object, crate);
    EXPECT_EQ(c.kind, CONTACT_PROP);
    EXPECT_NEAR(c.point.z, 2.0f, 1e-4f);
    // Nothing left at the origin, where the model was loaded.
    ray.origin = Vector3{0, 0, 10};
    EXPECT_FALSE(WorldQuery(world, ray, QUERY_PROPS, c, nullptr, 3, true));
    // The prop never hits its own probes.
    ray.origin = Vector3{50, 20, 10};
    EXPECT_FALSE(WorldQuery(world, ray, QUERY_PROPS, c, crate, 3, true));

    // Static: an update leaves the loader's transform alone.
    Matrix4 before = crate->GetTransform();
    crate->Update(1.0f);
    EXPECT_EQ(0, memcmp(crate->GetTransform().m, before.m, sizeof before.m));
}

TEST_F(WorldObjects, DynamicPropFallsAndKeepsItsHeading) {
    CacheCrate();
    FakeTerrain ground("coltest_propground", 100, 2);
    FakeWorld world;
    world.terrain = &ground;
    auto* crate = new CGenericObject(&world);
    world.props.emplace_back(crate);
    ASSERT_TRUE(crate->LoadMesh("coltest_crate.mbm", true, 50.0f));
    crate->SetPosition(Vector3{30, 30, 5});
    crate->SetHeading(0.5f);
    for (int i = 0; i < 200 && !crate->body.resting; i++)
        crate->Update(0.05f);
    ASSERT_TRUE(crate->body.resting);
    ExpectNear3(crate->GetPosition(), Vector3{30, 30, 0});
    ExpectNear3(crate->GetVelocity(), Vector3{0, 0, 0});
    // Flat ground: no tilt, and the level heading is still there.
    const float* m = crate->GetTransform().m;
    EXPECT_NEAR(m[0], std::cos(0.5f), 1e-5f);
    EXPECT_NEAR(m[1], std::sin(0.5f), 1e-5f);
    // At rest it stays put.
    crate->Update(0.05f);
    ExpectNear3(crate->GetPosition(), Vector3{30, 30, 0});
}

// A prop in a folder of its own, named the way a level may name it: with '/'.
class SlashNamedProp : public MeshFilesTest {
protected:
    SlashNamedProp() : MeshFilesTest("coltest_slash") {}
    void TearDown() override {
        ClearModelCache();
        for (const char* cache : {"gen\\data\\collision\\coltest_crate2.sph",
                                  "gen\\data\\collision\\coltest_crate2_box.col"})
            std::filesystem::remove(NativePath(cache));
        MeshFilesTest::TearDown();
    }
};

TEST_F(SlashNamedProp, FindsItsTextureAndReusesItsCaches) {
    const std::string name = "coltest_slash/props/coltest_crate2.mbm";
    std::filesystem::create_directories(NativePath(Path("props")));
    WritePng("props\\crate2.png", 4, 4);
    Write("props\\coltest_crate2.mbm",
          "RandomID { 7 }\n"
          "Mesh { Name { box } Chunk {\n"
          "  TextureC { 0 crate2.png }\n"
          "  Vertices { PNC 3  0 0 0 0 0 1 1 1 1 1  1 0 0 0 0 1 1 1 1 1  0 1 0 0 0 1 1 1 1 1 }\n"
          "  Indices { 3 0 1 2 } } }\n"
          "Bone { Name { Crate } Mesh { box } }\n");
    CreateDirectoryPath("gen\\data\\collision\\");
    const int reports = ErrorReportCount();
    for (int load = 0; load < 2; load++) {
        CGenericObject prop(nullptr);
        ASSERT_TRUE(prop.LoadMesh(name, false, DefaultHitPoints)) << load;
        const CTexture& texture = prop.model.GetRoot()->mesh.GetRecord()->chunks.at(0).colourTexture;
        ASSERT_FALSE(texture.IsEmpty()) << load;
        EXPECT_EQ(texture.GetRecord()->fileName, "coltest_slash/props/crate2.png");
        EXPECT_TRUE(prop.collision.attached);
        EXPECT_EQ(ErrorReportCount(), reports) << LastErrorReport();
        EXPECT_TRUE(Exists("gen\\coltest_slash/props/coltest_crate2.bmbm"));
        EXPECT_TRUE(Exists("gen\\data\\collision\\coltest_crate2.sph"));
        EXPECT_TRUE(Exists("gen\\data\\collision\\coltest_crate2_box.col"));
        // From here only the mesh cache can give the model.
        ClearModelCache();
        Write("props\\coltest_crate2.mbm", "RandomID { 7 }\n");
    }
}

} // namespace
