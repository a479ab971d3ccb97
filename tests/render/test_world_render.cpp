// The world pass on the recording back-end: the exact order of one frame,
// the programs and their fallback, what is never drawn, the debug cube.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <map>

#include "render/camera.h"
#include "render/world_render.h"
#include "test_mesh_util.h"

namespace {

// One node per object, its mesh one chunk of `triangles` triangles, placed at x = id.
struct FakeObject {
    CNode node;
    int kind = 0;
    CNode* weapon = nullptr;
};

struct FakeScene : CWorldScene, CCullSource {
    std::map<int, std::vector<CullEntry>> collections;
    std::vector<FakeObject*> parts;
    CVisibilityLists visibility{this};

    void GetCullEntries(VisibilityList list, std::vector<CullEntry>& out) override { out = collections[list]; }
    const CVisibilityLists& GetVisibility() override { return visibility; }
    void DrawTerrain() override { NullRecord("terrain"); }
    void DrawGrass() override { NullRecord("grass"); }
    void DrawParticles() override { NullRecord("particles"); }
    CNode* GetNode(VisibilityList, void* object) override { return &static_cast<FakeObject*>(object)->node; }
    CNode* GetWeaponNode(void* soldier) override { return static_cast<FakeObject*>(soldier)->weapon; }
    CNode* GetPartNode(const CCullTree*) override { return nullptr; }
    int GetProjectileKind(void* p) override { return static_cast<FakeObject*>(p)->kind; }
};

class WorldRenderTest : public MeshFilesTest {
protected:
    WorldRenderTest() : MeshFilesTest("worldrender") {}
    void TearDown() override {
        objects.clear();
        CurrentCamera = nullptr;
        NullStopRecording();
        MeshFilesTest::TearDown();
    }
    FakeObject* Add(VisibilityList list, int x, int triangles, float health = 1.0f, int kind = 0) {
        objects.emplace_back(new FakeObject);
        FakeObject* o = objects.back().get();
        o->kind = kind;
        o->node.SetPosition(Vector3{float(x), 0.0f, 0.0f});
        if (triangles > 0) {
            std::vector<uint16_t> indices;
            for (int i = 0; i < triangles * 3; i++)
                indices.push_back(uint16_t(i % 3));
            o->node.mesh.GetRecord()->chunks.push_back(MakeChunk({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, indices));
        }
        CullEntry e;
        e.object = o;
        e.health = health;
        e.kind = kind;
        scene.collections[list].push_back(e);
        return o;
    }
    std::vector<std::string> DrawFrame(CWorldRenderer& renderer) {
        scene.visibility.Cull(false);
        NullStartRecording();
        renderer.Draw();
        NullStopRecording();
        return NullRecordedEvents();
    }

    FakeScene scene;
    std::vector<std::unique_ptr<FakeObject>> objects;
};

TEST_F(WorldRenderTest, OneFrameRunsInItsFixedOrder) {
    CSmoothCamera camera;
    camera.SetPosition(Vector3{1.0f, 2.0f, 3.0f}, true);
    CurrentCamera = &camera;
    FakeObject* soldier = Add(VisSoldiers, 1, 1);
    FakeObject weapon;
    weapon.node.SetPosition(Vector3{2.0f, 0.0f, 0.0f});
    weapon.node.mesh.GetRecord()->chunks.push_back(MakeChunk({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2}));
    soldier->weapon = &weapon.node;
    Add(VisSoldiers, 3, 1, 0.0f);         // dead: never listed
    Add(VisSoldierScrap, 4, 1);
    Add(VisSoldierScrap, 5, 0);           // no chunks: skipped
    Add(VisVehicles, 6, 2);
    Add(VisVehicleScrap, 7, 1);
    Add(VisGenerics, 8, 3);
    Add(VisWeapons, 9, 1);
    Add(VisGrenades, 10, 1);
    Add(VisProjectiles, 11, 1, 1.0f, 2);  // rocket: drawn
    Add(VisProjectiles, 12, 1, 1.0f, 1);  // bullet: never
    Add(VisProjectiles, 13, 1, 1.0f, 3);  // flare: never
    Add(VisProjectiles, 14, 1)->kind = 1; // listed, yet a bullet: the renderer skips it too

    CWorldRenderer renderer(&scene);
    ASSERT_TRUE(renderer.HasFullSoldierProgram());
    std::vector<std::string> expected = {
        "state depth_test 1", "state depth_write 1", "cull cw", "clear ffcc7f00 colour depth", "terrain",
        "program data\\shaders\\soldier_full", "uniform camPos",
        "world 1 0 0", "draw 1", "world 2 0 0", "draw 1",
        "world 4 0 0", "draw 1",
        "program data\\shaders\\vehicle_full", "world 6 0 0", "draw 2", "world 7 0 0", "draw 1",
        "program none", "world 8 0 0", "draw 3",
        "program data\\shaders\\weapon_full", "uniform time", "world 9 0 0", "draw 1", "world 10 0 0", "draw 1",
        "program none", "world 11 0 0", "draw 1",
        "grass", "particles"};
    EXPECT_EQ(DrawFrame(renderer), expected);
}

TEST_F(WorldRenderTest, AnEmptyWorldStillShowsSkyTerrainGrassAndParticles) {
    CWorldRenderer renderer(&scene);   // no camera applied yet: camPos is left alone
    std::vector<std::string> expected = {
        "state depth_test 1", "state depth_write 1", "cull cw", "clear ffcc7f00 colour depth", "terrain",
        "program data\\shaders\\soldier_full", "program data\\shaders\\vehicle_full", "program none",
        "program data\\shaders\\weapon_full", "uniform time", "program none", "grass", "particles"};
    EXPECT_EQ(DrawFrame(renderer), expected);
}

// The scratch folder's data\ becomes a copy without the full soldier program.
class WorldRenderFallbackTest : public WorldRenderTest {
protected:
    void SetUp() override {
        WorldRenderTest::SetUp();
        namespace fs = std::filesystem;
        linkTarget = fs::read_symlink("data");
        fs::remove("data");
        fs::create_directories("data/shaders");
        for (const char* name : {"glsl_base.glsl", "soldier_bad.glsl_v", "vehicle_full.glsl_v",
                                 "vehicle_full.glsl_f", "weapon_full.glsl_v", "weapon_full.glsl_f"})
            fs::copy_file(linkTarget / "shaders" / name, fs::path("data/shaders") / name);
    }
    void TearDown() override {
        namespace fs = std::filesystem;
        fs::remove_all("data");
        fs::create_directory_symlink(linkTarget, "data");
        WorldRenderTest::TearDown();
    }
    std::filesystem::path linkTarget;
};

TEST_F(WorldRenderFallbackTest, SoldiersDrawUnderTheVertexOnlyProgramWithoutCamPos) {
    CSmoothCamera camera;
    CurrentCamera = &camera;
    Add(VisSoldiers, 1, 1);
    CWorldRenderer renderer(&scene);
    EXPECT_FALSE(renderer.HasFullSoldierProgram());
    std::vector<std::string> events = DrawFrame(renderer);
    ASSERT_GE(events.size(), 8u);
    EXPECT_EQ(events[5], "program data\\shaders\\soldier_bad");
    EXPECT_EQ(events[6], "world 1 0 0");
    for (const std::string& e : events)
        EXPECT_NE(e, "uniform camPos");
}

// 12 triangles, every corner coloured by its index, every face clockwise
// seen from outside (culling keeps clockwise fronts).
TEST(WorldDebugCube, TwelveTrianglesClockwiseFromOutside) {
    RenderSetup setup;
    ASSERT_TRUE(InitRenderer(&setup, nullptr));
    Matrix3 rotation;
    Matrix3Identity(rotation);
    const Vector3 centre{10.0f, 20.0f, 30.0f};
    DrawWorldDebug(centre, rotation, 2.0f);
    const NullPrimitive& cube = NullLastPrimitive();
    ASSERT_EQ(cube.type, PRIM_TRIANGLES);
    ASSERT_EQ(cube.vertices.size(), 36u);
    EXPECT_EQ(GetCullMode(), CULL_CLOCKWISE);
    const uint32_t colours[3] = {0xff0000ffu, 0xff00ff00u, 0xffff0000u};   // red, green, blue
    for (size_t t = 0; t < 36; t += 3) {
        Vector3 p[3];
        for (int k = 0; k < 3; k++) {
            const NullVertex& v = cube.vertices[t + k];
            p[k] = Vector3{v.position[0], v.position[1], v.position[2]};
            int index = (p[k].x > centre.x) | (p[k].y > centre.y) << 1 | (p[k].z > centre.z) << 2;
            EXPECT_EQ(v.colour, colours[index % 3]);
            EXPECT_FLOAT_EQ(std::fabs(p[k].x - centre.x), 2.0f);
        }
        Vector3 a, b, n, mid;
        Vector3Subtract(a, p[1], p[0]);
        Vector3Subtract(b, p[2], p[0]);
        Vector3Cross(n, a, b);
        Vector3Add(mid, p[0], p[1]);
        Vector3Add(mid, mid, p[2]);
        Vector3Scale(mid, mid, 1.0f / 3.0f);
        Vector3Subtract(mid, mid, centre);   // points out of the face
        EXPECT_LT(Vector3Dot(n, mid), 0.0f) << "triangle " << t / 3;
    }
    ShutdownRenderer();
}

}  // namespace
