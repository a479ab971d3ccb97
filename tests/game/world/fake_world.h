// Test fakes of the world interfaces: a flat ground of real collision
// instances, soldiers built from box meshes, projectiles, and a world that
// records what the collision response asks of it. Every body name starts
// with "coltest" so CollisionTest removes its caches.
#ifndef TESTS_GAME_WORLD_FAKE_WORLD_H
#define TESTS_GAME_WORLD_FAKE_WORLD_H

#include <memory>
#include <string>
#include <vector>

#include "game/collision/body_probe.h"
#include "game/collision/collision_body.h"
#include "game/world/generic_object.h"
#include "game/world/world_access.h"
#include "render/model_bones.h"
#include "render/node.h"
#include "tests/game/collision/test_collision_util.h"

// Ground: square tiles of two upward triangles at height z, each its own
// collision instance (like the terrain's segments).
class FakeTerrain : public CTerrainAccess {
public:
    FakeTerrain(const std::string& name, float size, int tiles, float z = 0.0f) {
        float step = size / (float)tiles;
        instances.resize((size_t)tiles * (size_t)tiles);
        for (int ty = 0; ty < tiles; ty++) {
            for (int tx = 0; tx < tiles; tx++) {
                std::string mesh = name + "_" + std::to_string(tx) + "_" + std::to_string(ty);
                CMesh m = MakeMesh(mesh);
                MeshRecord& r = *m.GetRecord();
                float x0 = tx * step, y0 = ty * step;
                r.collisionPositions = {{x0, y0, z}, {x0 + step, y0, z}, {x0, y0 + step, z},
                                        {x0 + step, y0 + step, z}};
                r.collisionIndices = {0, 1, 2, 1, 3, 2};
                instances[(size_t)(ty * tiles + tx)].Attach(m, "");
            }
        }
    }
    bool RayQuery(const Ray& ray, Vector3& outPoint, Vector3& outNormal, int flags) override {
        BodyProbe probe = MakeRayProbe(ray, PROBE_TRIANGLES, (flags & 1) != 0);
        float best = 1e30f;
        bool hit = false;
        for (CCollisionInstance& i : instances) {
            float d;
            Vector3 p, n;
            if (ProbeInstance(probe, i, d, p, n) && d < best) {
                best = d;
                outPoint = p;
                outNormal = n;
                hit = true;
            }
        }
        return hit;
    }
    void CollectCollisionInstances(std::vector<CCollisionInstance*>& out) override {
        for (CCollisionInstance& i : instances)
            out.push_back(&i);
    }
    std::vector<CCollisionInstance> instances;
};

inline CNode* AddBoxNode(CNode* parent, const std::string& name, const std::string& mesh,
                         const Vector3& lo, const Vector3& hi, const Vector3& at) {
    CNode* node = new CNode;
    node->name = name;
    node->mesh = BoxMesh(mesh, lo, hi);
    node->SetPosition(at);
    if (parent)
        CNode::AddChild(parent, node);
    return node;
}

// A soldier of three boxes: "Hip" (root, 1 x 1 x 1 centred), "Chest" above it
// and "LArm" beside the chest, standing at a position.
const char* const FakeArmName[1] = {"LArm"};

class FakeSoldier : public CWorldObject, public CSoldierTarget {
public:
    explicit FakeSoldier(const Vector3& at, float hp = 100.0f, float armourValue = 0.0f)
        : health(hp), armour(armourValue) {
        CNode* hip = AddBoxNode(nullptr, "Hip", "hip", {-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}, at);
        CNode* chest = AddBoxNode(hip, "Chest", "chest", {-0.5f, -0.5f, 0}, {0.5f, 0.5f, 1}, {0, 0, 0.5f});
        AddBoxNode(chest, "LArm", "larm", {0, -0.2f, 0}, {1, 0.2f, 0.4f}, {0.5f, 0, 0.3f});
        model.CreateFromRoot(hip, "coltest_soldier.mbm", false, true, 0);
        collision.AttachForMesh(model, "coltest_soldier");
        collision.Update();
        position = at;
    }
    ~FakeSoldier() override { collision.Release(); }
    const Vector3& GetPosition() const override { return position; }
    float GetHealth() const override { return health; }
    void SetHealth(float h) override { health = h; }
    float GetArmour() const override { return armour; }
    void SetArmour(float a) override { armour = a; }
    CCollisionBody& GetCollisionBody() override { return collision; }
    CWorldObject* GetWorldObject() override { return this; }
    CAnimator* GetAnimator() override { return nullptr; }
    void TakeDamage(CCollisionProjectile*, float damage, const Vector3&) override {
        health -= damage;
        damageTaken += damage;
        if (health <= 0.0f)
            health = 0.0f;
    }
    void DropItems() override { dropped++; }
    void LeaveTeamAI() override { leftTeam++; }
    void ResetHitReaction() override { hitReactions++; }
    void RenewBones() override { arm.Renew(); }

    Vector3 position;
    float health, armour;
    float damageTaken = 0.0f;
    int dropped = 0, leftTeam = 0, hitReactions = 0;
    CModelBones arm{FakeArmName, 1};   // held as a soldier holds its hands
};

class FakeProjectile : public CCollisionProjectile {
public:
    FakeProjectile(int kind, const Vector3& from, const Vector3& to, float speedValue = 100.0f)
        : behaviour(kind) {
        body.previous = from;
        body.position = to;
        Vector3 d;
        Vector3Subtract(d, to, from);
        body.direction = Vector3NormalizeInPlace(d);
        body.speed = speedValue;
    }
    BallisticBody& GetBody() override { return body; }
    int GetBehaviour() const override { return behaviour; }
    float GetDamage() const override { return damage; }
    float GetBounceFactor() const override { return bounce; }
    CSoldierTarget* GetOwner() const override { return owner; }
    bool IsAlive() const override { return alive; }
    void Stop() override { alive = false; }
    void SetBounced() override { bounces++; }

    BallisticBody body;
    int behaviour;
    float damage = 25.0f;
    float bounce = 0.5f;
    CSoldierTarget* owner = nullptr;
    bool alive = true;
    int bounces = 0;
};

struct HitRecord {
    std::string text;
    Vector3 point;
};

class FakeWorld : public CWorldAccess {
public:
    CTerrainAccess* GetTerrain() override { return terrain; }
    void CollectSoldiers(std::vector<CSoldierTarget*>& out) override {
        for (auto& s : soldiers)
            out.push_back(s.get());
    }
    void CollectVehicles(std::vector<WorldBodyEntry>& out) override { out = vehicles; }
    void CollectProps(std::vector<CGenericObject*>& out) override {
        for (auto& p : props)
            out.push_back(p.get());
    }
    void CollectFurtherObjects(std::vector<WorldBodyEntry>& out) override { out = further; }
    void CollectDroppedWeapons(std::vector<WorldBodyEntry>& out) override { out = weapons; }
    void CollectDroppedGrenades(std::vector<WorldBodyEntry>& out) override { out = grenades; }
    void CollectProjectiles(std::vector<CCollisionProjectile*>& out) override {
        for (auto* p : projectiles)
            out.push_back(p);
    }
    CSoldierTarget* GetPlayerSoldier() override { return player; }
    void AddHitRecord(const char* text, const Vector3& point) override {
        hits.push_back(HitRecord{text, point});
    }
    void AddSoldierScrap(CNode* node, CCollisionPart* part, const Vector3& velocity) override {
        scrap.push_back(Scrap{std::unique_ptr<CNode>(node), part, velocity});
    }
    CParticleSystem* GetParticleSystem() override { return particles; }
    bool IsPointOutsideView(const Vector3&) override { return outsideView; }

    FakeSoldier* AddSoldier(const Vector3& at, float hp = 100.0f, float armour = 0.0f) {
        soldiers.push_back(std::make_unique<FakeSoldier>(at, hp, armour));
        return soldiers.back().get();
    }

    struct Scrap {
        std::unique_ptr<CNode> node;
        CCollisionPart* part;
        Vector3 velocity;
        ~Scrap() { CCollisionPart::DeleteTree(part); }
        Scrap(std::unique_ptr<CNode> n, CCollisionPart* p, const Vector3& v)
            : node(std::move(n)), part(p), velocity(v) {}
        Scrap(Scrap&& o) noexcept : node(std::move(o.node)), part(o.part), velocity(o.velocity) {
            o.part = nullptr;
        }
    };

    CTerrainAccess* terrain = nullptr;
    std::vector<std::unique_ptr<FakeSoldier>> soldiers;
    std::vector<std::unique_ptr<CGenericObject>> props;
    std::vector<WorldBodyEntry> vehicles, further, weapons, grenades;
    std::vector<CCollisionProjectile*> projectiles;
    CSoldierTarget* player = nullptr;
    std::vector<HitRecord> hits;
    std::vector<Scrap> scrap;
    CParticleSystem* particles = nullptr;
    bool outsideView = false;
};

#endif
