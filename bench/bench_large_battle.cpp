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
// width x width units), in lattice order.
Vector3 LatticePoint(int i, int n, float width) {
    int side = (int)std::ceil(std::sqrt((double)n));
    float step = width / (float)side;
    return Vector3{-0.5f * width + step * (float)(i % side),
                   -0.5f * width + step * (float)(i / side), 0.0f};
}

// The shipped terrain with n soldiers (two teams, the four soldier types)
// or n moving crates dropped from 3 units up.
std::string WriteLevel(const char* kind, int n, float width = 260.0f) {
    std::string path = "gen\\bench\\" + std::string(kind) + "_" + std::to_string(n) + "_" +
                       std::to_string((int)width) + ".txt";
    CreateDirectoryPath(path);
    std::ofstream out;
    if (!OpenOutputFile(out, path))
        return std::string();
    out << "Terrain\nCount\t1\nMesh\ndata\\models\\land\\valley.mbm\n\n";
    bool soldiers = std::string(kind) == "soldiers";
    out << "Soldiers\nCount\t" << (soldiers ? n : 0) << "\nTeam\tType\tX\tY\tZ\tHeading\n";
    for (int i = 0; soldiers && i < n; i++) {
        Vector3 p = LatticePoint(i, n, width);
        out << i % 2 << "\t" << i % 4 << "\t" << p.x << "\t" << p.y << "\t0\t0.785\n";
    }
    out << "\nGeneric\nCount\t" << (soldiers ? 0 : n) << "\nMesh\tDynamic\tX\tY\tZ\tHeading\n";
    for (int i = 0; !soldiers && i < n; i++) {
        Vector3 p = LatticePoint(i, n, width);
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

// The level of n soldiers or crates in the world; false, the benchmark
// skipped, when it does not load whole.
bool LoadLargeLevel(benchmark::State& state, CWorld& world, const char* kind, int n,
                    float width = 260.0f) {
    if (!BattleDataLoaded()) {
        state.SkipWithError("no battle data");
        return false;
    }
    GameSrand(1);
    if (!world.LoadLevel(WriteLevel(kind, n, width), LevelAllBits) ||
        (int)(world.soldiers.size() + world.generics.size()) != n) {
        state.SkipWithError("the level did not load");
        return false;
    }
    return true;
}

void BM_WorldUpdateDynamicProps(benchmark::State& state) {
    const int n = (int)state.range(0);
    CWorld world;
    if (!LoadLargeLevel(state, world, "crates", n))
        return;
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

// A battle of n soldiers as crowded as 2,000 over the middle of the valley
// (a larger battle takes more ground): every soldier has just fired a
// rocket (it stops at what it hits, so the battle stays as it is) one
// 7-unit step from its chest in a random level direction; each round sweeps
// every step again.
void BM_SweepProjectilesSoldiers(benchmark::State& state) {
    const int n = (int)state.range(0);
    CWorld world;
    if (!LoadLargeLevel(state, world, "soldiers", n, 260.0f * std::sqrt((float)n / 2000.0f)))
        return;
    // The first update poses the soldiers, their bodies with them.
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
        CProjectile* p = world.projectiles.Fire(ProjectileRocket, from, direction, 420.0f, 0.0f, s);
        steps.push_back(Step{p, from, to});
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
