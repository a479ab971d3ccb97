// Large battles must cost in proportion to their size: loading a level of
// 2,000 and 8,000 soldiers, one world update with 1,600 and 6,400 moving
// crates, and the projectile sweep of 2,000 and 8,000 soldiers each with a
// projectile in flight (the second of each pair at most 5 times the first;
// 6,400 crates within a 16 ms frame). The levels are written into gen\bench\ on
// the shipped terrain. Run from the installation folder.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/battle_data.h"
#include "core/files.h"
#include "core/random.h"
#include "game/soldiers/soldier.h"
#include "game/weapons/projectile.h"
#include "game/world/level_file.h"
#include "game/world/world.h"

namespace {

// n points on a square lattice over the middle of the valley (about
// 260 x 260 units), in lattice order.
Vector3 LatticePoint(int i, int n) {
    int side = (int)std::ceil(std::sqrt((double)n));
    float step = 260.0f / (float)side;
    return Vector3{-130.0f + step * (float)(i % side), -130.0f + step * (float)(i / side), 0.0f};
}

// The shipped terrain with n soldiers (two teams, the four soldier types)
// or n moving crates dropped from 3 units up.
std::string WriteLevel(const char* kind, int n) {
    std::string path = "gen\\bench\\" + std::string(kind) + "_" + std::to_string(n) + ".txt";
    CreateDirectoryPath(path);
    std::ofstream out;
    if (!OpenOutputFile(out, path))
        return std::string();
    out << "Terrain\nCount\t1\nMesh\ndata\\models\\land\\valley.mbm\n\n";
    bool soldiers = std::string(kind) == "soldiers";
    out << "Soldiers\nCount\t" << (soldiers ? n : 0) << "\nTeam\tType\tX\tY\tZ\tHeading\n";
    for (int i = 0; soldiers && i < n; i++) {
        Vector3 p = LatticePoint(i, n);
        out << i % 2 << "\t" << i % 4 << "\t" << p.x << "\t" << p.y << "\t0\t0.785\n";
    }
    out << "\nGeneric\nCount\t" << (soldiers ? 0 : n) << "\nMesh\tDynamic\tX\tY\tZ\tHeading\n";
    for (int i = 0; !soldiers && i < n; i++) {
        Vector3 p = LatticePoint(i, n);
        out << "data\\models\\props\\crate.mbm\t1\t" << p.x << "\t" << p.y << "\t3\t" << i % 90
            << "\n";
    }
    return path;
}

void BM_LevelLoadSoldiers(benchmark::State& state) {
    if (!BattleDataLoaded())
        return state.SkipWithError("no battle data");
    const int n = (int)state.range(0);
    std::string path = WriteLevel("soldiers", n);
    {
        // Caches (terrain segments, meshes, collision) are made by a first load.
        CWorld warm;
        warm.LoadLevel(path, LevelAllBits);
    }
    for (auto _ : state) {
        state.PauseTiming();
        GameSrand(1);
        auto world = std::make_unique<CWorld>();
        state.ResumeTiming();
        if (!world->LoadLevel(path, LevelAllBits) || (int)world->soldiers.size() != n)
            return state.SkipWithError("the level did not load");
        state.PauseTiming();
        world.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_LevelLoadSoldiers)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_WorldUpdateDynamicProps(benchmark::State& state) {
    if (!BattleDataLoaded())
        return state.SkipWithError("no battle data");
    const int n = (int)state.range(0);
    GameSrand(1);
    CWorld world;
    if (!world.LoadLevel(WriteLevel("crates", n), LevelAllBits) || (int)world.generics.size() != n)
        return state.SkipWithError("the level did not load");
    // The crates fall and settle in the first second; the frames measured
    // are the steady ones a battle runs, every crate still probing the ground.
    auto start = std::chrono::steady_clock::now();
    world.Update(1.0f / 30.0f);
    state.counters["first_update_ms"] =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    for (int i = 0; i < 29; i++)
        world.Update(1.0f / 30.0f);
    for (auto _ : state)
        world.Update(1.0f / 30.0f);
    state.SetComplexityN(n);
}
BENCHMARK(BM_WorldUpdateDynamicProps)->Arg(1600)->Arg(6400)->Unit(benchmark::kMillisecond);

// Every soldier has just fired a rocket (it stops at what it hits, so the
// battle stays as it is) one 7-unit step from its chest in a random level
// direction; each round sweeps every step again.
void BM_SweepProjectilesSoldiers(benchmark::State& state) {
    if (!BattleDataLoaded())
        return state.SkipWithError("no battle data");
    const int n = (int)state.range(0);
    GameSrand(1);
    CWorld world;
    if (!world.LoadLevel(WriteLevel("soldiers", n), LevelAllBits) || (int)world.soldiers.size() != n)
        return state.SkipWithError("the level did not load");
    // The first update stands the soldiers where the level put them.
    world.Update(1.0f / 30.0f);
    struct Step {
        CProjectile* projectile;
        Vector3 from, to;
    };
    std::vector<Step> steps;
    for (CSoldier* s : world.soldiers) {
        Vector3 from = s->GetCollisionBody().sphere.centre;
        float angle = (float)GameRand() / (float)GameRandMax * 6.2831853f;
        Vector3 direction{std::cos(angle), std::sin(angle), 0.0f};
        Vector3 to;
        Vector3MultiplyAdd(to, from, direction, 7.0f);
        steps.push_back(Step{world.projectiles.Fire(ProjectileRocket, from, direction, 420.0f, 0.0f, s),
                             from, to});
    }
    world.phases.budgetInForce = false;
    int stopped = 0;
    for (auto _ : state) {
        for (Step& step : steps) {
            step.projectile->alive = true;
            step.projectile->body.previous = step.from;
            step.projectile->body.position = step.to;
        }
        world.phases.Run(CollisionBudget, false);
        stopped = 0;
        for (Step& step : steps)
            stopped += !step.projectile->alive;
    }
    state.counters["stopped"] = stopped;
    state.SetComplexityN(n);
}
BENCHMARK(BM_SweepProjectilesSoldiers)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);

}  // namespace
