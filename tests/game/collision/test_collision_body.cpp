// Collision bodies: the part tree over a scene-node tree, the bounding
// sphere and its ".sph" cache.
#include "test_collision_util.h"

#include "core/error.h"
#include "render/backend.h"
#include "render/model.h"
#include "render/node.h"
#include "render/null/null_backend.h"

namespace {

class CollisionBody : public CollisionTest {};

CNode* AddNode(CNode* parent, const std::string& name, const CMesh& mesh, const Vector3& at) {
    CNode* node = new CNode;
    node->name = name;
    node->mesh = mesh;
    node->SetPosition(at);
    if (parent)
        CNode::AddChild(parent, node);
    return node;
}

// Body (a unit box) > Arm (a unit box at x 5) > Hand (no collision
// geometry); Body > Leg (no mesh data at all).
CNode* MakeFigure() {
    CNode* body = AddNode(nullptr, "Body", BoxMesh("torso", Vector3{0, 0, 0}, Vector3{1, 1, 1}),
                          Vector3{0, 0, 0});
    CNode* arm = AddNode(body, "Arm", BoxMesh("arm", Vector3{0, 0, 0}, Vector3{1, 1, 1}),
                         Vector3{5, 0, 0});
    CMesh tiny = MakeMesh("hand");
    tiny.GetRecord()->collisionPositions = {{0, 0, 0}, {1, 0, 0}};
    AddNode(arm, "Hand", tiny, Vector3{1, 0, 0});
    AddNode(body, "Leg", MakeMesh("leg"), Vector3{0, 0, -2});
    return body;
}

// The figure's sphere: from the body's origin to the arm's far corner (6, 1, 1).
const char* const FigureSphere = "//Bounding_Sphere_Radius\n6.16441\n//Bounding_Sphere_Center\n0 0 0\n";

TEST_F(CollisionBody, PartsMirrorTheNodeTree) {
    CModel model;
    model.CreateFromRoot(MakeFigure(), "figure.mbm", false, true, 0);
    CNode* root = model.GetRoot();
    CCollisionBody body;
    ASSERT_TRUE(body.AttachForMesh(model, "coltest_figure"));
    EXPECT_TRUE(body.attached);
    ASSERT_NE(body.root, nullptr);
    EXPECT_EQ(body.root->node, root);
    EXPECT_TRUE(body.root->instance.attached);
    ASSERT_EQ(body.root->GetChildCount(), 2);
    CCollisionPart* arm = body.root->children[0];
    EXPECT_EQ(arm->node, model.FindNode("Arm"));
    EXPECT_EQ(arm->parent, body.root);
    EXPECT_TRUE(arm->instance.attached);
    ASSERT_EQ(arm->GetChildCount(), 1);
    EXPECT_FALSE(arm->children[0]->instance.attached);   // too little geometry
    EXPECT_FALSE(body.root->children[1]->instance.attached);
    EXPECT_EQ(body.root->FindPart(model.FindNode("Hand")), arm->children[0]);
    ASSERT_NE(CCollisionModel::Find("gen\\data\\collision\\coltest_figure_arm.col"), nullptr);
    EXPECT_TRUE(Exists("gen\\data\\collision\\coltest_figure_torso.col"));

    EXPECT_NEAR(body.sphere.radius, std::sqrt(38.0f), 1e-5f);

    // Moving the model: parts follow their nodes, the sphere the root's.
    root->SetPosition(Vector3{10, 0, 0});
    body.SetTransforms();
    ExpectNear3(arm->instance.sphere.centre, Vector3{15.5f, 0.5f, 0.5f});
    ExpectNear3(body.root->instance.sphere.centre, Vector3{10.5f, 0.5f, 0.5f});
    body.Update();
    ExpectNear3(body.sphere.centre, Vector3{10, 0, 0});
    // The radius follows the scale along z only.
    Matrix3 scale;
    Matrix3Identity(scale);
    scale.m[8] = 2;
    root->SetRotation(scale, false);
    body.Update();
    EXPECT_NEAR(body.sphere.radius, 2 * std::sqrt(38.0f), 1e-4f);

    body.Release();
    EXPECT_FALSE(body.attached);
    EXPECT_EQ(body.root, nullptr);
    EXPECT_FLOAT_EQ(body.sphere.radius, 0);
}

TEST_F(CollisionBody, RootWithoutMeshHangsItsPartsUnderAnEmptyRoot) {
    CNode* root = AddNode(nullptr, "Root", MakeMesh("nothing"), Vector3{0, 0, 0});
    AddNode(root, "Only", BoxMesh("only", Vector3{0, 0, 0}, Vector3{1, 1, 1}), Vector3{3, 0, 0});
    CCollisionBody body;
    ASSERT_TRUE(body.AttachForMesh(root, "coltest_only"));
    EXPECT_FALSE(body.root->instance.attached);
    ASSERT_EQ(body.root->GetChildCount(), 1);
    // The only child's node is the centre; its far corner (4, 1, 1) the edge.
    ASSERT_NE(body.sphereEntry, nullptr);
    ExpectNear3(body.sphereEntry->centre, Vector3{3, 0, 0});
    EXPECT_NEAR(body.sphereEntry->radius, std::sqrt(3.0f), 1e-5f);
    body.Release();

    // Nothing at all to collide with: no body, no files.
    CNode* bare = AddNode(nullptr, "Bare", MakeMesh("nothing"), Vector3{0, 0, 0});
    EXPECT_FALSE(body.AttachForMesh(bare, "coltest_bare"));
    EXPECT_FALSE(body.AttachForMesh(static_cast<CNode*>(nullptr), "coltest_bare"));
    EXPECT_FALSE(body.attached);
    EXPECT_FALSE(Exists("gen\\data\\collision\\coltest_bare.sph"));
    delete bare;
    delete root;
}

TEST_F(CollisionBody, SpheresAndModelsAreSharedByName) {
    CNode* one = MakeFigure();
    CNode* two = MakeFigure();
    {
        CCollisionBody a, b;
        ASSERT_TRUE(a.AttachForMesh(one, "coltest_pair"));
        ASSERT_TRUE(b.AttachForMesh(two, "coltest_pair"));
        ASSERT_EQ(BoundingSphereList().size(), 1u);
        EXPECT_EQ(a.sphereEntry, b.sphereEntry);
        EXPECT_EQ(a.sphereEntry->refCount, 2);
        EXPECT_EQ(CollisionModelList().size(), 2u);
        EXPECT_EQ(a.root->instance.model->refCount, 2);
        // Attaching again lets go of the old parts first.
        ASSERT_TRUE(a.AttachForMesh(one, "coltest_pair"));
        EXPECT_EQ(a.sphereEntry->refCount, 2);
        a.Release();
        EXPECT_EQ(b.sphereEntry->refCount, 1);
        EXPECT_EQ(b.root->instance.model->refCount, 1);

        // A second body over b's own nodes shares its models and sphere.
        CCollisionBody over;
        ASSERT_TRUE(over.AttachAsCopyOf(b));
        EXPECT_EQ(over.root->node, b.root->node);
        ASSERT_EQ(over.root->GetChildCount(), 2);
        EXPECT_EQ(over.root->children[0]->node, b.root->children[0]->node);
        EXPECT_EQ(over.root->instance.model, b.root->instance.model);
        EXPECT_EQ(b.root->instance.model->refCount, 2);
        EXPECT_EQ(b.sphereEntry->refCount, 2);
        EXPECT_FALSE(over.root->children[0]->children[0]->instance.attached) << "as b's hand";
        ExpectNear3(over.sphere.centre, b.sphere.centre);
        EXPECT_FALSE(over.AttachAsCopyOf(a)) << "a is detached";
        EXPECT_EQ(b.root->instance.model->refCount, 1);
        EXPECT_EQ(b.sphereEntry->refCount, 1);

        // Bodies held by value move with their owners; a copy starts empty.
        std::vector<CCollisionBody> held;
        held.push_back(std::move(b));
        for (int i = 0; i < 8; i++)
            held.emplace_back();
        EXPECT_FALSE(b.attached);
        EXPECT_TRUE(held[0].attached);
        EXPECT_EQ(held[0].sphereEntry->refCount, 1);
        CCollisionBody copy(held[0]);
        EXPECT_FALSE(copy.attached);
        EXPECT_EQ(copy.root, nullptr);
        held[1] = std::move(held[0]);
        EXPECT_TRUE(held[1].attached);
    }
    EXPECT_TRUE(BoundingSphereList().empty());
    delete one;
    delete two;
}

TEST_F(CollisionBody, NamesThatWouldLeaveTheCacheFolderAreKeptInMemory) {
    // A collision name from a data file that would climb out of the cache
    // folder: the body still collides, with models and a sphere of its own,
    // and no file is read or written anywhere.
    CNode* one = MakeFigure();
    CNode* two = MakeFigure();
    const std::string escape = "..\\..\\..\\coltest_escaped";
    {
        CCollisionBody a, b;
        ASSERT_TRUE(a.AttachForMesh(one, escape));
        ASSERT_TRUE(b.AttachForMesh(two, escape));
        EXPECT_TRUE(a.root->instance.attached);
        EXPECT_NE(a.root->instance.model, b.root->instance.model);
        EXPECT_NE(a.sphereEntry, b.sphereEntry);
        EXPECT_NEAR(a.sphereEntry->radius, b.sphereEntry->radius, 1e-6f);
        EXPECT_GT(a.sphereEntry->radius, 5.0f);
    }
    EXPECT_FALSE(Exists("coltest_escaped.sph"));
    EXPECT_FALSE(Exists("coltest_escaped_torso.col"));

    // Such a model cannot be shared by name, so a body holding one below a
    // named part has no copy: nothing is left attached or counted.
    {
        CCollisionBody named;
        ASSERT_TRUE(named.AttachForMesh(one, "coltest_mixed"));
        CCollisionPart* arm = named.root->children[0];
        ASSERT_TRUE(arm->instance.Attach(arm->node->mesh, escape));
        CCollisionBody over;
        EXPECT_FALSE(over.AttachAsCopyOf(named));
        EXPECT_FALSE(over.attached);
        EXPECT_EQ(over.root, nullptr);
        EXPECT_EQ(named.root->instance.model->refCount, 1);
        EXPECT_EQ(named.sphereEntry->refCount, 1);
    }
    delete one;
    delete two;
}

// Missing or bad sphere files are computed again in the root node's space,
// even for an object that already stands somewhere, turned, when it attaches.
TEST_F(CollisionBody, MissingOrBadSphereFilesAreComputedInTheRootsSpace) {
    CNode* root = MakeFigure();
    Matrix3 turn;
    Matrix3RotationAxis(turn, Vector3{0, 0, 1}, 1.0f);
    root->SetRotation(turn, false);
    root->SetPosition(Vector3{100, 50, 0});
    const std::string path = "gen\\data\\collision\\coltest_bad.sph";
    for (const char* bad : {(const char*)nullptr, "", "//Bounding_Sphere_Radius\n", "//r\n6\n//c\n0 0\n",
                            "//r\nnan\n//c\n0 0 0\n", "//r\n6\n//c\n0 x 0\n",
                            "//r\n2147483647\n//c\n0 0 0\n"}) {
        if (bad)
            WriteText(path, bad);
        const int reports = ErrorReportCount();
        CCollisionBody body;
        ASSERT_TRUE(body.AttachForMesh(root, "coltest_bad"));
        // A file that is there but refused is reported; a missing one is not.
        EXPECT_EQ(ErrorReportCount(), reports + (bad ? 1 : 0)) << LastErrorReport();
        EXPECT_EQ(ReadText(path), FigureSphere);
        ExpectNear3(body.sphere.centre, Vector3{100, 50, 0});
        EXPECT_NEAR(body.sphere.radius, std::sqrt(38.0f), 1e-4f);
    }
    // A good file is read as it stands, labels unread.
    WriteText(path, "a\n2.5\nb\n1 2 3\n");
    CCollisionBody body;
    ASSERT_TRUE(body.AttachForMesh(root, "coltest_bad"));
    EXPECT_FLOAT_EQ(body.sphereEntry->radius, 2.5f);
    ExpectNear3(body.sphereEntry->centre, Vector3{1, 2, 3});
    body.Release();
    delete root;
}

TEST_F(CollisionBody, PartsLeaveTheirParentWhenDeleted) {
    CCollisionPart* top = new CCollisionPart(nullptr);
    CCollisionPart* a = new CCollisionPart(nullptr);
    CCollisionPart* b = new CCollisionPart(nullptr);
    CCollisionPart* c = new CCollisionPart(nullptr);
    top->AddChild(a);
    top->AddChild(b);
    b->AddChild(c);
    // A torn limb: unlinked, then owned elsewhere.
    EXPECT_TRUE(top->RemoveChild(b));
    EXPECT_FALSE(top->RemoveChild(b));
    EXPECT_EQ(b->parent, nullptr);
    EXPECT_EQ(top->GetChildCount(), 1);
    // Deleting the children one by one and then the part frees each once.
    top->AddChild(b);
    CCollisionPart::DeleteTree(a);
    EXPECT_EQ(top->GetChildCount(), 1);
    CCollisionPart::DeleteTree(b);
    EXPECT_EQ(top->GetChildCount(), 0);
    CCollisionPart::DeleteTree(top);
    CCollisionPart::DeleteTree(nullptr);
}

TEST_F(CollisionBody, DebugShapesDrawForAttachedPartsOnly) {
    RenderSetup setup;
    ASSERT_TRUE(InitRenderer(&setup, nullptr));
    CNode* root = MakeFigure();
    CCollisionBody body;
    NullResetCounters();
    body.DebugDraw();   // nothing while detached
    EXPECT_EQ(NullRenderCounters().primitives, 0);
    ASSERT_TRUE(body.AttachForMesh(root, "coltest_debug"));
    // Two attached parts: the torso and the arm.
    const int perPart[4] = {1, 1, 2, 2};
    for (int shape = 0; shape < 4; shape++) {
        NullResetCounters();
        DebugDrawParts(body.root, (CollisionDebugShape)shape);
        EXPECT_EQ(NullRenderCounters().primitives, 2 * perPart[shape]) << shape;
    }
    NullResetCounters();
    body.DebugDraw();
    EXPECT_EQ(NullRenderCounters().primitives, 1);
    ASSERT_EQ(NullLastPrimitive().vertices.size(), 6u);
    EXPECT_EQ(NullLastPrimitive().vertices[0].colour, 0xFFFFFFFFu);
    EXPECT_EQ(GetCullMode(), CULL_CLOCKWISE);
    body.Release();
    delete root;
    ShutdownRenderer();
}

}  // namespace
