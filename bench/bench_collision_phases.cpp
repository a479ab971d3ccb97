// One full round of the five collision phases over the shipped terrain: 100
// soldier bodies standing in a crowd and 50 bullets in flight through it.
// Run from the installation folder.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "core/random.h"
#include "game/collision/collision_phases.h"
#include "game/terrain/terrain.h"
#include "game/world/terrain_view.h"
#include "game/world/world_object.h"
#include "render/backend.h"
#include "render/node.h"

namespace {

class BenchSoldier : public CWorldObject, public CSoldierTarget {
public:
    float GetHealth() const override { return 100.0f; }
    void SetHealth(float) override {}
    float GetArmour() const override { return 0.0f; }
    void SetArmour(float) override {}
    CCollisionBody& GetCollisionBody() override { return collision; }
    CWorldObject* GetWorldObject() override { return this; }
    CAnimator* GetAnimator() override { return nullptr; }
    void TakeDamage(CCollisionProjectile*, float, const Vector3&) override {}
    void DropItems() override {}
    void LeaveTeamAI() override {}
    void ResetHitReaction() override {}
};

class BenchBullet : public CCollisionProjectile {
public:
    BallisticBody& GetBody() override { return body; }
    int GetBehaviour() const override { return 2; }
    float GetDamage() const override { return 0.0f; }
    float GetBounceFactor() const override { return 0.5f; }
    CSoldierTarget* GetOwner() const override { return nullptr; }
    bool IsAlive() const override { return alive; }
    void Stop() override { alive = false; }
    void SetBounced() override {}
    BallisticBody body;
    bool alive = true;
    Vector3 from, to;
};

class BenchWorld : public CWorldAccess {
public:
    CTerrainAccess* GetTerrain() override { return terrain.get(); }
    void CollectSoldiers(std::vector<CSoldierTarget*>& out) override {
        for (auto& s : soldiers)
            out.push_back(s.get());
    }
    void CollectVehicles(std::vector<WorldBodyEntry>&) override {}
    void CollectProps(std::vector<CGenericObject*>&) override {}
    void CollectFurtherObjects(std::vector<WorldBodyEntry>&) override {}
    void CollectDroppedWeapons(std::vector<WorldBodyEntry>&) override {}
    void CollectDroppedGrenades(std::vector<WorldBodyEntry>&) override {}
    void CollectProjectiles(std::vector<CCollisionProjectile*>& out) override {
        for (BenchBullet& b : bullets)
            out.push_back(&b);
    }
    CSoldierTarget* GetPlayerSoldier() override { return nullptr; }
    void AddHitRecord(const char*, const Vector3&) override {}
    void AddSoldierScrap(CNode*, CCollisionPart*, const Vector3&) override {}
    CParticleSystem* GetParticleSystem() override { return nullptr; }
    bool IsPointOutsideView(const Vector3&) override { return true; }

    CTerrain land;
    std::unique_ptr<CTerrainView> terrain;
    std::vector<std::unique_ptr<BenchSoldier>> soldiers;
    std::vector<BenchBullet> bullets;
};

float Ground(CTerrain& land, float x, float y) {
    Ray down{{x, y, 1000.0f}, {0, 0, -1}};
    Vector3 p, n;
    return land.RayQuery(down, p, n, 1) ? p.z : 0.0f;
}

BenchWorld& World() {
    static BenchWorld* world = nullptr;
    if (world)
        return *world;
    RenderSetup setup;
    InitRenderer(&setup, nullptr);
    world = new BenchWorld;
    world->land.Load("data\\models\\land\\valley.mbm");
    world->terrain = std::make_unique<CTerrainView>(world->land);
    float x0 = world->land.GetMinX() + 40.0f, y0 = world->land.GetMinY() + 40.0f;
    for (int i = 0; i < 100; i++) {
        auto s = std::make_unique<BenchSoldier>();
        float x = x0 + (i % 10) * 3.0f, y = y0 + (i / 10) * 3.0f;
        LoadModel(s->model, "data\\models\\characters\\enemy_hero.mbm", false, true);
        s->model.GetRoot()->SetPosition(Vector3{x, y, Ground(world->land, x, y)});
        s->collision.AttachForMesh(s->model, "enemy_hero");
        s->collision.Update();
        world->soldiers.push_back(std::move(s));
    }
    // Bullets crossing the crowd at chest height, each a 7-unit step of a
    // 420 units per second flight at 60 frames a second.
    GameSrand(3);
    world->bullets.resize(50);
    for (BenchBullet& b : world->bullets) {
        float x = x0 + (GameRand() % 3000) * 0.01f, y = y0 + (GameRand() % 3000) * 0.01f;
        b.from = Vector3{x - 3.5f, y, Ground(world->land, x, y) + 1.3f};
        b.to = Vector3{x + 3.5f, y, b.from.z - 0.1f};
    }
    return *world;
}

void CollisionPhaseRound(benchmark::State& state) {
    BenchWorld& world = World();
    CCollisionPhases phases(&world);
    phases.budgetInForce = false;
    for (auto _ : state) {
        for (BenchBullet& b : world.bullets) {
            b.alive = true;
            b.body.previous = b.from;
            b.body.position = b.to;
        }
        phases.Run(CollisionBudget, false);
    }
    int stopped = 0;
    for (const BenchBullet& b : world.bullets)
        stopped += !b.alive;
    state.counters["stopped"] = stopped;
    state.counters["soldiers"] = (double)world.soldiers.size();
    state.counters["bullets"] = (double)world.bullets.size();
}
BENCHMARK(CollisionPhaseRound)->Unit(benchmark::kMicrosecond);

}  // namespace
