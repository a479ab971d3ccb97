// Collision models: welding, the root box, the box tree, sharing by name
// and the world-space instance.
#include "test_collision_util.h"

#include <cmath>
#include <limits>

namespace {

class CollisionModel : public CollisionTest {};

Vector3 HalfExtents(const CCollisionNode& node) {
    return Vector3{node.box.halfExtent[0], node.box.halfExtent[1], node.box.halfExtent[2]};
}

TEST_F(CollisionModel, BoxGivesRootBoxAndSphere) {
    CMesh mesh = BoxMesh("box", Vector3{-1, -2, -3}, Vector3{1, 2, 3});
    CCollisionModel m;
    Build(mesh, m);
    ExpectNear3(m.root->box.centre, Vector3{0, 0, 0});
    ExpectNear3(HalfExtents(*m.root), Vector3{1, 2, 3});
    ExpectNear3(m.root->box.axis[2], Vector3{0, 0, 1});
    EXPECT_FLOAT_EQ(m.sphere.radius, std::sqrt(14.0f));
    // 12 triangles: too few to split; the root lists them all.
    EXPECT_TRUE(m.root->children.empty());
    EXPECT_EQ(m.root->triangles, (std::vector<int32_t>{0, 3, 6, 9, 12, 15, 18, 21, 24, 27, 30, 33}));
    EXPECT_EQ(m.root->indices, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(m.geometry.vertices.size(), 8u);
    ASSERT_EQ(m.geometry.normals.size(), 12u);
    // Face normals are unit and follow the winding.
    ExpectNear3(m.geometry.normals[0], Vector3{0, 0, -1});
    ExpectNear3(m.geometry.normals[2], Vector3{0, 0, 1});
}

TEST_F(CollisionModel, TwoSeparatedBoxesSplitBetweenThem) {
    CMesh mesh = TwoBoxMesh("two");
    CCollisionModel m;
    Build(mesh, m);
    ExpectNear3(m.sphere.centre, Vector3{2, 0.5f, 0.5f});
    EXPECT_FLOAT_EQ(m.sphere.radius, std::sqrt(4.5f));
    // x is the longest axis; the first plane clear of the near box (step 30
    // of 120) scores 0. Each half holds 12 triangles, too few to split on.
    ASSERT_EQ(m.root->children.size(), 2u);
    const CCollisionNode& low = *m.root->children[0];
    const CCollisionNode& high = *m.root->children[1];
    EXPECT_EQ(low.triangles, (std::vector<int32_t>{0, 3, 6, 9, 12, 15, 18, 21, 24, 27, 30, 33}));
    EXPECT_EQ(high.triangles.front(), 36);
    EXPECT_EQ(high.triangles.size(), 12u);
    EXPECT_EQ(low.indices, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(high.indices, (std::vector<int32_t>{8, 9, 10, 11, 12, 13, 14, 15}));
    ExpectNear3(low.box.centre, Vector3{0.5f, 0.5f, 0.5f});
    ExpectNear3(HalfExtents(low), Vector3{0.5f, 0.5f, 0.5f});
    ExpectNear3(high.box.centre, Vector3{2.5f, 0.5f, 0.5f});   // from the plane at x 1
    ExpectNear3(HalfExtents(high), Vector3{1.5f, 0.5f, 0.5f});
}

TEST_F(CollisionModel, TreeSplitsAxisByAxisIntoAtMostEightLeaves) {
    // Eight unit boxes at the corners of a 10 x 6 x 3 grid: x, then y, then z.
    CMesh mesh = MakeMesh("grid");
    for (int i = 0; i < 8; i++) {
        Vector3 lo{(i & 4) ? 10.0f : 0.0f, (i & 2) ? 6.0f : 0.0f, (i & 1) ? 3.0f : 0.0f};
        AddBox(*mesh.GetRecord(), lo, Vector3{lo.x + 1, lo.y + 1, lo.z + 1});
    }
    CCollisionModel m;
    Build(mesh, m);
    ASSERT_EQ(m.root->children.size(), 8u);
    for (int i = 0; i < 8; i++) {
        const CCollisionNode& leaf = *m.root->children[i];
        EXPECT_TRUE(leaf.children.empty());
        EXPECT_EQ(leaf.parent, m.root);
        // Halves replace their node in place, low before high, so leaf i
        // holds box i.
        ASSERT_EQ(leaf.triangles.size(), 12u);
        EXPECT_EQ(leaf.triangles.front(), 36 * i);
    }
    // The x split kept the whole y and z extent; the leaves' boxes tile it.
    EXPECT_NEAR(m.root->children[0]->box.halfExtent[2] + m.root->children[1]->box.halfExtent[2],
                m.root->box.halfExtent[2], 1e-5f);
}

TEST_F(CollisionModel, RootTriesTheNextAxisWhenTheLongestFails) {
    // Two long bars side by side along y: no x plane scores 0.25 or less.
    CMesh mesh = MakeMesh("bars");
    AddBox(*mesh.GetRecord(), Vector3{0, 0, 0}, Vector3{10, 1, 1});
    AddBox(*mesh.GetRecord(), Vector3{0, 3, 0}, Vector3{10, 4, 1});
    CCollisionModel m;
    Build(mesh, m);
    ASSERT_EQ(m.root->children.size(), 2u);
    EXPECT_NEAR(m.root->children[0]->box.halfExtent[0], 5.0f, 1e-5f);
    EXPECT_NEAR(m.root->children[0]->box.halfExtent[1] * 2, 1.0f, 0.04f);

    // The plane score itself: a clean split scores 0; 20 of 24 triangles
    // on each side (16 straddling) score 16/42.
    EXPECT_FLOAT_EQ(SplitPlaneScore(12, 12, 24), 0.0f);
    EXPECT_FLOAT_EQ(SplitPlaneScore(20, 20, 24), 16.0f / 42.0f);
    EXPECT_FLOAT_EQ(SplitPlaneScore(24, 12, 24), 0.5f);
}

TEST_F(CollisionModel, NineteenTrianglesStayInOneNode) {
    CMesh mesh = MakeMesh("n19");
    AddBox(*mesh.GetRecord(), Vector3{0, 0, 0}, Vector3{1, 1, 1});
    AddBox(*mesh.GetRecord(), Vector3{5, 0, 0}, Vector3{6, 1, 1});
    std::vector<uint16_t>& idx = mesh.GetRecord()->collisionIndices;
    idx.resize(19 * 3);
    CCollisionModel m19;
    Build(mesh, m19);
    EXPECT_EQ(m19.root->triangles.size(), 19u);
    EXPECT_TRUE(m19.root->children.empty());
    AddBox(*mesh.GetRecord(), Vector3{5, 0, 0}, Vector3{6, 1, 1});
    idx.resize(20 * 3);
    CCollisionModel m20;
    Build(mesh, m20);
    EXPECT_EQ(m20.root->children.size(), 2u);
    // Without a tree the root keeps everything.
    CCollisionModel flat;
    const MeshRecord& r = *mesh.GetRecord();
    ASSERT_TRUE(BuildCollisionModel(r.collisionPositions, r.collisionIndices, true, flat));
    EXPECT_TRUE(flat.root->children.empty());
}

TEST_F(CollisionModel, WeldingDropsTrianglesWithoutArea) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<Vector3> p = {
        {0, 0, 0}, {1, 0, 0}, {0, 1, 0},        // 0-2: a good triangle
        {1.000004f, 0, 0},                      // 3: welds onto 1
        {2, 0, 0},                              // 4: collinear with 0 and 1
        {0, 0, 0.000005f}, {0, 0.000005f, 0},   // 5, 6: weld onto 0 and each other
        {nan, 0, 0}, {0, 0, 5},                 // 7: not finite; 8: new vertex
    };
    std::vector<uint16_t> i = {
        0, 1, 2,   // kept
        3, 2, 8,   // kept: 3 reuses vertex 1
        0, 1, 1,   // repeated index
        0, 1, 4,   // collinear, distinct indices
        5, 6, 1,   // two corners weld together
        0, 3, 2,   // corners weld (0, 1 via 3) but distinct: kept as 0 1 2 again
        7, 1, 2,   // NaN corner
        0, 1, 99,  // index past the positions
        0, 2,      // a dangling pair
    };
    CollisionGeometry g;
    WeldCollisionGeometry(p, i, g);
    EXPECT_EQ(g.indices, (std::vector<int32_t>{0, 1, 2, 1, 2, 3, 0, 1, 2}));
    ASSERT_EQ(g.vertices.size(), 4u);   // no vertex left over from a dropped triangle
    ExpectNear3(g.vertices[3], Vector3{0, 0, 5});
    ASSERT_EQ(g.normals.size(), 3u);
    for (const Vector3& n : g.normals)
        EXPECT_TRUE(std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z));

    // A corner within the tolerance of two listed vertices takes the first.
    std::vector<Vector3> q = {{0, 0, 0}, {0.000008f, 0, 0}, {0, 1, 0}, {0, 0, 1},
                              {0.000016f, 0, 0}, {0.000008f, 0, 0}, {0, 2, 0}, {0, 0, 2}};
    std::vector<uint16_t> qi = {0, 2, 3, 4, 2, 3, 5, 6, 7};
    WeldCollisionGeometry(q, qi, g);
    EXPECT_EQ(g.indices, (std::vector<int32_t>{0, 1, 2, 3, 1, 2, 0, 4, 5}));

    // Vertices either side of a weld grid line still weld.
    std::vector<Vector3> r = {{0.009997f, 5, 5}, {0, 9, 5}, {0, 5, 9}, {0.010003f, 5, 5}};
    std::vector<uint16_t> ri = {0, 1, 2, 3, 2, 1};
    WeldCollisionGeometry(r, ri, g);
    EXPECT_EQ(g.indices, (std::vector<int32_t>{0, 1, 2, 0, 2, 1}));
    // Far-out coordinates weld too.
    r = {{1e30f, 0, 0}, {1e30f, 1, 0}, {1e30f, 0, 1}, {-1e30f, 0, 0}};
    ri = {0, 1, 2, 2, 1, 0, 3, 1, 2};
    WeldCollisionGeometry(r, ri, g);
    EXPECT_EQ(g.indices, (std::vector<int32_t>{0, 1, 2, 2, 1, 0}));
}

TEST_F(CollisionModel, MeshesWithoutTrianglesGetNoModel) {
    CCollisionInstance inst;
    // Two positions are 24 bytes: below the 32 a model needs.
    CMesh tiny = MakeMesh("coltest_tiny");
    tiny.GetRecord()->collisionPositions = {{0, 0, 0}, {1, 0, 0}};
    EXPECT_FALSE(inst.Attach(tiny, ""));
    // Enough positions, but every triangle degenerate: no model, no file.
    CMesh flat = MakeMesh("coltest_flat");
    flat.GetRecord()->collisionPositions = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
    flat.GetRecord()->collisionIndices = {0, 1, 2, 0, 0, 1};
    EXPECT_FALSE(inst.Attach(flat, ""));
    EXPECT_FALSE(inst.attached);
    EXPECT_FALSE(Exists(CollisionModelPath("", "coltest_flat")));
    EXPECT_TRUE(CollisionModelList().empty());
}

TEST_F(CollisionModel, SharedByNameAndFreedWithTheLastReference) {
    CMesh mesh = TwoBoxMesh("two");
    CCollisionInstance a, b, other;
    ASSERT_TRUE(a.Attach(mesh, "coltest_share"));
    ASSERT_TRUE(b.Attach(mesh, "COLTEST_SHARE"));   // names match without case
    ASSERT_EQ(CollisionModelList().size(), 1u);
    CCollisionModel* entry = CollisionModelList().front();
    EXPECT_EQ(entry->name, "gen\\data\\collision\\coltest_share_two.col");
    EXPECT_EQ(entry->refCount, 2);
    EXPECT_EQ(a.model, entry);
    // Each instance has its own tree mirroring the entry's nodes.
    EXPECT_NE(a.root, b.root);
    EXPECT_EQ(a.root->source, entry->root);
    EXPECT_EQ(b.root->children[1]->source, entry->root->children[1]);

    ASSERT_TRUE(other.Attach(mesh, "coltest_other"));
    EXPECT_EQ(CollisionModelList().size(), 2u);
    a.Reset();
    EXPECT_EQ(entry->refCount, 1);
    EXPECT_FALSE(a.attached);
    EXPECT_EQ(a.root, nullptr);
    b.Reset();
    // The first entry goes too: only the other model is left.
    ASSERT_EQ(CollisionModelList().size(), 1u);
    EXPECT_EQ(CollisionModelList().front()->name, "gen\\data\\collision\\coltest_other_two.col");

    // Attaching again after the last release reads the cache into a new
    // entry (the freed one is never touched).
    ASSERT_TRUE(a.Attach(mesh, "coltest_share"));
    EXPECT_EQ(a.model->refCount, 1);
    EXPECT_EQ(a.root->children.size(), 2u);
    EXPECT_EQ(a.root->source, a.model->root);
    a.Reset();
    other.Reset();
}

TEST_F(CollisionModel, AssignCopiesShareTheModel) {
    CMesh mesh = BoxMesh("box", Vector3{0, 0, 0}, Vector3{1, 1, 1});
    CCollisionInstance a;
    ASSERT_TRUE(a.Attach(mesh, "coltest_assign"));
    Matrix4 m;
    Matrix4Identity(m).m[3] = 5;
    a.SetTransform(m);
    {
        CCollisionInstance b(a);
        EXPECT_EQ(b.model, a.model);
        EXPECT_EQ(a.model->refCount, 2);
        EXPECT_FLOAT_EQ(b.worldMatrix.m[3], 5);
        EXPECT_EQ(b.root->source, a.model->root);
        std::vector<CCollisionInstance> many(3, b);   // vectors of instances copy safely
        EXPECT_EQ(a.model->refCount, 5);
        CCollisionInstance& same = b;
        b = same;
        EXPECT_EQ(a.model->refCount, 5);
        b = CCollisionInstance();   // a detached source detaches
        EXPECT_FALSE(b.attached);
    }
    EXPECT_EQ(a.model->refCount, 1);
    // Re-attaching the instance to the model it already holds keeps it alive.
    EXPECT_TRUE(a.AttachByName(a.model->name));
    EXPECT_EQ(a.model->refCount, 1);
    a.Reset();
}

TEST_F(CollisionModel, InstanceMovesLazily) {
    CMesh mesh = TwoBoxMesh("two");
    CCollisionInstance inst;
    ASSERT_TRUE(inst.Attach(mesh, "coltest_move"));
    CCollisionNode* leaf = inst.root->children[1];
    inst.UpdateNodeBox(leaf);
    inst.UpdateNodeGeometry(leaf);
    EXPECT_TRUE(leaf->boxDone && leaf->geometryDone);

    // A change within 0.00001 leaves everything as it was.
    Matrix4 m;
    Matrix4Identity(m);
    m.m[3] = 0.000009f;
    inst.SetTransform(m);
    EXPECT_TRUE(leaf->boxDone);
    EXPECT_FLOAT_EQ(inst.worldMatrix.m[3], 0);

    // A quarter turn about z and a move by (10, 0, 0): (x, y) -> (10 - y, x).
    Matrix4Identity(m);
    m.m[0] = 0, m.m[1] = -1, m.m[4] = 1, m.m[5] = 0, m.m[3] = 10;
    inst.SetTransform(m);
    EXPECT_FALSE(leaf->boxDone || leaf->geometryDone || inst.root->boxDone);
    ExpectNear3(inst.sphere.centre, Vector3{9.5f, 2, 0.5f});
    inst.UpdateNodeBox(leaf);
    inst.UpdateNodeGeometry(leaf);
    ExpectNear3(leaf->box.centre, Vector3{9.5f, 2.5f, 0.5f});
    ExpectNear3(leaf->box.axis[0], Vector3{0, 1, 0});
    EXPECT_NEAR(leaf->box.halfExtent[0], 1.5f, 1e-5f);
    // Vertex 8 is (3, 0, 0) in the model; the near box's are untouched.
    ExpectNear3(inst.geometry.vertices[8], Vector3{10, 3, 0});
    ExpectNear3(inst.geometry.vertices[2], Vector3{1, 0, 0});
    ExpectNear3(inst.geometry.normals[12], Vector3{0, 0, -1});
    ExpectNear3(inst.geometry.normals[20], Vector3{0, -1, 0});   // was (-1, 0, 0)

    // A second move starts from the model's values, not from the first move's.
    Matrix4Identity(m);
    m.m[7] = 5;
    inst.SetTransform(m);
    ExpectNear3(inst.sphere.centre, Vector3{2, 5.5f, 0.5f});
    inst.UpdateNodeBox(leaf);
    inst.UpdateNodeGeometry(leaf);
    ExpectNear3(leaf->box.centre, Vector3{2.5f, 5.5f, 0.5f});
    ExpectNear3(inst.geometry.vertices[8], Vector3{3, 5, 0});
    ExpectNear3(inst.geometry.normals[20], Vector3{-1, 0, 0});
    // The whole instance at once: the near box's vertices too, every node done.
    inst.TransformAllGeometry();
    ExpectNear3(inst.geometry.vertices[2], Vector3{1, 5, 0});
    ExpectNear3(inst.geometry.vertices[8], Vector3{3, 5, 0});
    EXPECT_TRUE(inst.root->geometryDone && inst.root->children[0]->geometryDone);
    inst.Reset();
    EXPECT_FLOAT_EQ(inst.worldMatrix.m[3], 0);
}

}  // namespace
