// Scene nodes: lazy world matrices, attaching and detaching, copies, finding
// bones by name, drawing order and the cache's node record.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/matrix.h"
#include "render/model.h"
#include "render/model_bones.h"
#include "render/node.h"
#include "test_mesh_util.h"

namespace {

void ExpectMatrixNear(const Matrix4& a, const Matrix4& b, float tolerance = 1e-5f) {
    for (int i = 0; i < 16; i++)
        EXPECT_NEAR(a.m[i], b.m[i], tolerance) << "element " << i;
}

Vector3 WorldPosition(CNode& n) {
    Vector3 p;
    return Matrix4GetTranslation(p, n.GetWorldMatrix());
}

// root -> a -> b, root -> sibling
struct SmallTree {
    CNode* root = Bone("root", nullptr);
    CNode* a = Bone("a", root);
    CNode* b = Bone("b", a);
    CNode* sibling = Bone("sibling", root);
    SmallTree() {
        a->SetPosition(Vector3{1, 0, 0});
        b->SetPosition(Vector3{0, 1, 0});
        sibling->SetPosition(Vector3{0, 0, 5});
    }
    ~SmallTree() { delete root; }
};

TEST(Node, WorldMatricesFollowEveryChangeAboveThem) {
    SmallTree t;
    Vector3 p = WorldPosition(*t.b);
    EXPECT_FLOAT_EQ(p.x, 1);
    EXPECT_FLOAT_EQ(p.y, 1);
    Vector3 s = WorldPosition(*t.sibling);

    t.root->SetPosition(Vector3{10, 0, 0});
    t.a->SetRotation(RotationZ(3.14159265f / 2), false);
    p = WorldPosition(*t.b);   // b's (0, 1, 0) turned by 90 degrees about z
    EXPECT_NEAR(p.x, 10.0f, 1e-5f);
    EXPECT_NEAR(p.y, 0.0f, 1e-5f);
    Vector3 s2 = WorldPosition(*t.sibling);
    EXPECT_FLOAT_EQ(s2.x, s.x + 10);   // moved with the root, not turned with a
    EXPECT_FLOAT_EQ(s2.z, s.z);

    // SetMatrix sets the local transform through the cache.
    Matrix4 m;
    Matrix4FromMatrix3(m, RotationZ(0.3f));
    m.m[3] = 4;
    t.b->SetMatrix(m);
    Vector3 local;
    Matrix4 expectedLocal, expected;
    t.b->GetLocalMatrix(expectedLocal);
    Matrix4Multiply(expected, t.a->GetWorldMatrix(), expectedLocal);
    ExpectMatrixNear(t.b->GetWorldMatrix(), expected);
    EXPECT_FLOAT_EQ(Matrix4GetTranslation(local, expectedLocal).x, 4);
}

// Moves and reads in any order, on a tree deeper than it is wide: each read
// is the product of the local transforms above, however many marks before it
// met nodes that were dirty already.
TEST(Node, WorldMatricesStayRightUnderInterleavedMovesAndReads) {
    std::vector<CNode*> nodes{new CNode};
    unsigned seed = 7;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int i = 1; i < 12; i++) {
        nodes.push_back(new CNode);
        nodes.back()->AttachTo(false, nodes[next(unsigned(nodes.size() - 1))], true);
    }
    for (int step = 0; step < 2000; step++) {
        CNode* n = nodes[next(unsigned(nodes.size()))];
        if (next(3) == 0) {
            Matrix4 expected, local;
            Matrix4Identity(expected);
            for (const CNode* at = n; at; at = at->parent) {
                at->GetLocalMatrix(local);
                Matrix4Multiply(expected, local, expected);
            }
            ExpectMatrixNear(n->GetWorldMatrix(), expected, 1e-3f);
        } else if (next(2) == 0) {
            n->SetPosition(Vector3{float(next(9)), float(next(9)), 0.0f});
        } else {
            n->SetRotation(RotationZ(float(next(7))), false);
        }
    }
    delete nodes[0];
}

TEST(Node, AttachAndDetachKeepTheWorldTransformWhenAsked) {
    SmallTree t;
    t.root->SetRotation(RotationZ(0.7f), false);
    t.root->SetPosition(Vector3{3, -2, 1});
    Matrix4 before = t.b->GetWorldMatrix();

    t.b->Detach(true);
    EXPECT_EQ(t.b->parent, nullptr);
    EXPECT_TRUE(t.b->owned);
    ExpectMatrixNear(t.b->GetWorldMatrix(), before);
    EXPECT_EQ(t.a->children.size(), 0u);

    t.b->AttachTo(true, t.sibling, true);
    ExpectMatrixNear(t.b->GetWorldMatrix(), before, 1e-4f);
    EXPECT_EQ(t.b->parent, t.sibling);

    // Without keeping, the node jumps to its local transform.
    t.b->Detach(false);
    Matrix4 local;
    t.b->GetLocalMatrix(local);
    ExpectMatrixNear(t.b->GetWorldMatrix(), local);
    delete t.b;
}

TEST(Node, CopiesShareMeshesButNotNodes) {
    SmallTree t;
    t.b->mesh.GetRecord()->name = "limb";
    int before = t.b->mesh.GetRecord()->refCount;
    CNode* copy = new CNode(*t.root);
    EXPECT_EQ(t.b->mesh.GetRecord()->refCount, before + 1);
    ASSERT_EQ(copy->children.size(), 2u);
    CNode* copyA = copy->children.front();
    ASSERT_EQ(copyA->children.size(), 1u);
    CNode* copyB = copyA->children.front();
    EXPECT_NE(copyB, t.b);
    EXPECT_EQ(copyB->mesh.GetRecord(), t.b->mesh.GetRecord());
    EXPECT_EQ(copyB->parent, copyA);

    // Moving a node of one tree does not move the other.
    Vector3 p = WorldPosition(*t.b);
    copyA->SetPosition(Vector3{50, 0, 0});
    EXPECT_FLOAT_EQ(WorldPosition(*t.b).x, p.x);
    EXPECT_FLOAT_EQ(WorldPosition(*copyB).x, 50);
    delete copy;
    EXPECT_EQ(t.b->mesh.GetRecord()->refCount, before);
}

TEST(Node, AssignmentIsSafeOnAttachedNodesSelfAndDescendants) {
    SmallTree t;
    CNode* guest = new CNode;   // not owned: the root only points at it
    guest->AttachTo(false, t.a, false);

    // Self-assignment keeps the subtree.
    *t.a = *t.a;
    EXPECT_EQ(t.a->children.size(), 2u);

    // Assigning from its own child: the child's copy replaces the subtree,
    // the unowned guest is let go with a clean parent pointer, and the node
    // leaves the root's list.
    *t.a = *t.b;
    EXPECT_EQ(guest->parent, nullptr);
    EXPECT_EQ(t.a->parent, nullptr);
    EXPECT_EQ(t.root->children.size(), 1u);
    EXPECT_EQ(t.a->name, "b");
    EXPECT_TRUE(t.a->children.empty());
    delete guest;
    delete t.a;
}

TEST(Node, FindNodeIsExactAndDepthFirstAndDescendantsChildrenFirst) {
    CNode* root = Bone("Hip", nullptr);
    SmallTree t;   // a separate tree whose root goes below Hip
    t.root->AttachTo(false, root, true);
    Bone("b", root);
    CModel model;
    model.CreateFromRoot(root, "test", true, true, 0);
    t.root = nullptr;   // the model owns it now

    EXPECT_EQ(model.FindNode("Hip"), root);
    EXPECT_EQ(model.FindNode("hip"), nullptr);
    EXPECT_EQ(model.FindNode("b"), t.b);   // the deeper one comes first
    EXPECT_EQ(model.FindNode("missing"), nullptr);
    EXPECT_EQ(CModel().FindNode("Hip"), nullptr);

    // Descendants are collected children first.
    std::vector<CNode*> list;
    root->CollectDescendants(list);
    EXPECT_EQ(list, (std::vector<CNode*>{t.b, t.a, t.sibling, root->children.front(), root->children.back()}));

    // Every lookup searches the tree as it stands.
    CNode* laterB = root->children.back();
    t.b->Detach(false);
    EXPECT_EQ(model.FindNode("b"), laterB);
    t.b->AttachTo(false, t.sibling, true);
    EXPECT_EQ(model.FindNode("b"), t.b);
    delete t.b;
    EXPECT_EQ(model.FindNode("b"), laterB);

    // Assign gives the parentless root a new tree: its nodes are found, the
    // old ones are gone.
    SmallTree other;
    other.b->name = "c";
    root->Assign(*other.root);
    CNode* c = model.FindNode("c");
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->IsSelfOrAncestor(root));
    EXPECT_NE(c, other.b);
    EXPECT_EQ(model.FindNode("b"), nullptr);
    model.CreateFromRoot(Bone("b", nullptr), "other", true, true, 0);
    EXPECT_EQ(model.FindNode("b"), model.GetRoot());
    EXPECT_EQ(model.FindNode("Hip"), nullptr);
}

TEST(Node, HeldBonesFollowTheRecordAndARenewAfterTheTreeChanges) {
    static const char* const names[] = {"b", "missing"};
    CModelBones bones(names, 2);
    CModel model;
    EXPECT_EQ(bones.Get(model, 0), nullptr);
    SmallTree t;
    model.CreateFromRoot(t.root, "test", true, true, 0);
    CNode* root = t.root;
    t.root = nullptr;   // the model owns it now
    EXPECT_EQ(bones.Get(model, 0), t.b);
    EXPECT_EQ(bones.Get(model, 1), nullptr);

    // Torn off: the pointer stays until Renew, then the bone is gone.
    t.b->Detach(false);
    EXPECT_EQ(bones.Get(model, 0), t.b);
    bones.Renew();
    EXPECT_EQ(bones.Get(model, 0), nullptr);
    t.b->AttachTo(false, root, true);

    // A handle that takes another record has its bones looked up there.
    CModel copy;
    copy.CreateFromRoot(new CNode(*root), "test", true, true, 0);
    CModel first = model;
    model = copy;
    CNode* inCopy = bones.Get(model, 0);
    ASSERT_NE(inCopy, nullptr);
    EXPECT_NE(inCopy, t.b);
    EXPECT_TRUE(inCopy->IsSelfOrAncestor(copy.GetRoot()));
    model.DropRecord();
    EXPECT_EQ(bones.Get(model, 0), nullptr);
}

TEST(Node, DrawingDrawsLeavesBeforeParents) {
    RenderSetup setup;
    ASSERT_TRUE(InitRenderer(&setup, nullptr));
    NullResetCounters();
    SmallTree t;
    t.root->mesh.GetRecord()->chunks.push_back(MakeChunk({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2}));
    t.b->mesh.GetRecord()->chunks.push_back(MakeChunk({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2}));
    t.root->SetPosition(Vector3{7, 0, 0});
    t.root->Draw(true);
    EXPECT_EQ(NullRenderCounters().indexedTriangles, 2);
    EXPECT_EQ(NullRenderCounters().drawErrors, 0);
    Matrix4 last;
    GetWorldMatrix(last);
    ExpectMatrixNear(last, t.root->GetWorldMatrix());   // the root came last
    ShutdownRenderer();
}

TEST(Node, BindRotationStartsAtIdentity) {
    CNode n;
    EXPECT_FLOAT_EQ(n.bindQuaternion.w, 1);
    EXPECT_FLOAT_EQ(n.bindRotation.m[0], 1);
    EXPECT_FLOAT_EQ(n.bindRotation.m[4], 1);
    n.SetRotation(RotationZ(1.0f), false);
    EXPECT_FLOAT_EQ(n.bindQuaternion.w, 1);
    n.SetRotation(RotationZ(1.0f), true);
    EXPECT_NEAR(n.bindQuaternion.w, std::cos(0.5f), 1e-6f);
    EXPECT_NEAR(n.bindQuaternion.z, std::sin(0.5f), 1e-6f);
}

TEST(Node, RecordRoundTripsAndRefusesShortInput) {
    SmallTree t;
    t.a->word = -7;
    t.a->mesh.GetRecord()->name = "arm";
    t.a->SetRotation(RotationZ(0.25f), false);
    CNode guest;
    guest.name = "not written";
    guest.AttachTo(false, t.a, false);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(t.a->WriteToBytes(bytes));

    for (size_t cut = 0; cut < bytes.size(); cut++) {
        CNode n;
        std::vector<std::string> names;
        EXPECT_EQ(n.ReadFromBytes(bytes.data(), cut, names), 0u) << cut;
        EXPECT_TRUE(names.empty());
    }
    CNode n;
    std::vector<std::string> names;
    ASSERT_EQ(n.ReadFromBytes(bytes.data(), bytes.size(), names), bytes.size());
    EXPECT_EQ(n.word, -7);
    EXPECT_EQ(n.name, "a");
    EXPECT_EQ(n.mesh.GetName(), "arm");
    EXPECT_EQ(names, std::vector<std::string>{"b"});
    ExpectMatrixNear(n.GetWorldMatrix(), [&] { Matrix4 m; t.a->GetLocalMatrix(m); return m; }());
    EXPECT_EQ(std::memcmp(&n.bindRotation, &t.a->rotation, sizeof(Matrix3)), 0);
    guest.Detach(false);

    t.a->name = std::string(256, 'x');
    std::vector<uint8_t> none;
    EXPECT_FALSE(t.a->WriteToBytes(none));
    EXPECT_TRUE(none.empty());
}

}  // namespace
