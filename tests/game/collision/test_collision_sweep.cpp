// Property test of the path test: random segments against random bodies
// agree with testing every triangle of every part.
#include <cfloat>

#include "core/random.h"
#include "game/collision/body_probe.h"
#include "game/collision/collision_phases.h"
#include "render/node.h"
#include "test_collision_util.h"

namespace {

class CollisionSweep : public CollisionTest {};

float Draw(float lo, float hi) {
    return lo + (hi - lo) * (float)GameRand() / 32767.0f;
}

Vector3 DrawPoint(float r) {
    return Vector3{Draw(-r, r), Draw(-r, r), Draw(-r, r)};
}

// Three random boxes in one mesh: enough triangles for a box tree.
CMesh RandomMesh(const std::string& name) {
    CMesh mesh = MakeMesh(name);
    for (int b = 0; b < 3; b++) {
        Vector3 lo = DrawPoint(2.0f);
        Vector3 size{Draw(0.2f, 1.5f), Draw(0.2f, 1.5f), Draw(0.2f, 1.5f)};
        Vector3 hi;
        AddBox(*mesh.GetRecord(), lo, Vector3Add(hi, lo, size));
    }
    return mesh;
}

void Turn(CNode* node) {
    Matrix3 r;
    Matrix3RotationAxis(r, DrawPoint(1.0f), Draw(-3.0f, 3.0f));
    node->SetRotation(r, false);
}

// Every triangle of every attached part, back faces skipped; nearest hit.
bool BruteForce(CCollisionPart* part, const Vector3& p0, const Vector3& p1, float& best) {
    bool hit = false;
    if (part->instance.attached && part->instance.model) {
        const CollisionGeometry& g = part->instance.model->geometry;
        const Matrix4& m = part->node->GetWorldMatrix();
        Vector3 dir;
        Vector3Subtract(dir, p1, p0);
        Vector3NormalizeInPlace(dir);
        for (size_t t = 0; t + 2 < g.indices.size(); t += 3) {
            Triangle tri;
            for (int k = 0; k < 3; k++)
                Matrix4TransformPoint(tri.corner[k], m, g.vertices[g.indices[t + k]]);
            TriangleComputeNormal(tri);
            if (Vector3Dot(tri.normal, dir) > -GeometryTolerance)
                continue;
            float d;
            if (SegmentIntersectTriangle(p0, p1, tri.corner[0], tri.corner[1], tri.corner[2],
                                         nullptr, &d) && d < best) {
                best = d;
                hit = true;
            }
        }
    }
    for (CCollisionPart* child : part->children)
        hit |= BruteForce(child, p0, p1, best);
    return hit;
}

TEST_F(CollisionSweep, RandomPathsAgreeWithEveryTriangle) {
    GameSrand(1234);
    int hits = 0, total = 0;
    for (int round = 0; round < 6; round++) {
        std::string name = "coltest_sweep" + std::to_string(round);
        CNode* root = new CNode;
        root->name = "Root";
        root->mesh = RandomMesh(name + "a");
        root->SetPosition(DrawPoint(3.0f));
        Turn(root);
        CNode* child = new CNode;
        child->name = "Child";
        child->mesh = RandomMesh(name + "b");
        child->SetPosition(DrawPoint(3.0f));
        Turn(child);
        CNode::AddChild(root, child);
        CCollisionBody body;
        ASSERT_TRUE(body.AttachForMesh(root, name));
        body.Update();
        for (int i = 0; i < 150; i++) {
            // Half the paths aim through the body, half go anywhere.
            Vector3 p0 = DrawPoint(8.0f), p1 = DrawPoint(8.0f);
            if (i % 2 == 0) {
                Vector3 target, d;
                CCollisionPart* part = (i % 4 == 0) ? body.root : body.root->children[0];
                const std::vector<Vector3>& v = part->instance.model->geometry.vertices;
                Matrix4TransformPoint(target, part->node->GetWorldMatrix(),
                                      v[(size_t)GameRand() % v.size()]);
                Vector3Add(target, target, DrawPoint(0.3f));
                Vector3MultiplyAdd(p1, p0, Vector3Subtract(d, target, p0), Draw(0.5f, 2.0f));
            }
            float best = FLT_MAX;
            bool expected = BruteForce(body.root, p0, p1, best);
            CollisionContact c;
            bool found = SegmentHitsBody(body, p0, p1, c);
            ASSERT_EQ(found, expected) << "round " << round << " path " << i;
            total++;
            if (found) {
                hits++;
                EXPECT_NEAR(std::sqrt(c.distanceSquared), best, 1e-3f);
                EXPECT_EQ(c.bodyPart, ContactBodyPart);
            }
        }
        body.Release();
        delete root;
    }
    // Both outcomes were exercised.
    EXPECT_GT(hits, total / 10);
    EXPECT_LT(hits, total - total / 10);
}

// The sweep's first test turns a sphere away only when the probe proper
// misses it: random steps against random spheres, some of them tangent,
// of no size, of negative size or not numbers at all.
TEST(SegmentMayReachSphere, NeverTurnsAwayASphereTheProbeReaches) {
    GameSrand(99);
    int reached = 0, turnedAway = 0;
    for (int i = 0; i < 200000; i++) {
        const Vector3 p0 = DrawPoint(20.0f);
        Vector3 p1 = p0, step = DrawPoint(Draw(0.01f, 15.0f));
        Vector3Add(p1, p0, step);
        Sphere sphere;
        sphere.centre = DrawPoint(25.0f);
        sphere.radius = i % 50 == 0 ? -Draw(0.0f, 3.0f) : i % 37 == 0 ? 0.0f : Draw(0.0f, 6.0f);
        if (i % 1000 == 0)
            sphere.centre.y = NAN;
        if (i % 3 == 0) {
            // Tangent to the step's line, within or just past its ends.
            Vector3 side{-step.y, step.x, 0.0f};
            if (Vector3Length(side) < 1e-3f)
                continue;
            Vector3NormalizeInPlace(side);
            Vector3 at;
            Vector3MultiplyAdd(at, p0, step, Draw(-0.05f, 1.05f));
            Vector3MultiplyAdd(sphere.centre, at, side, std::fabs(sphere.radius) * 1.0001f + 0.0001f);
        }
        const BodyProbe probe = MakeSegmentProbe(p0, p1);
        const Vector3 middle{(p0.x + p1.x) * 0.5f, (p0.y + p1.y) * 0.5f, (p0.z + p1.z) * 0.5f};
        float d;
        const bool probed = ProbeSphere(probe, sphere, d);
        const bool may = SegmentMayReachSphere(middle, probe.length * 0.5f, sphere);
        ASSERT_TRUE(may || !probed) << "step " << i;
        reached += probed;
        turnedAway += !may;
    }
    EXPECT_GT(reached, 10000);
    EXPECT_GT(turnedAway, 100000);
}

} // namespace
