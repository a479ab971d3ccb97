// One world update of the shipped first level on the headless back-end, at
// the main game's 30 frames a second. Run from the installation folder.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/battle_data.h"
#include "core/random.h"
#include "game/world/level_file.h"
#include "game/world/world.h"

namespace {

CWorld* FirstLevelWorld() {
    static std::unique_ptr<CWorld> world;
    if (world)
        return world.get();
    if (!BattleDataLoaded())
        return nullptr;
    GameSrand(1);
    world = std::make_unique<CWorld>();
    if (!world->LoadLevel("data\\levels\\level01.txt", LevelAllBits))
        world.reset();
    return world.get();
}

void BM_WorldUpdateFirstLevel(benchmark::State& state) {
    CWorld* world = FirstLevelWorld();
    if (!world) {
        state.SkipWithError("the first level does not load");
        return;
    }
    for (auto _ : state)
        world->Update(1.0f / 30.0f);
    state.counters["soldiers"] = (double)world->soldiers.size();
}
BENCHMARK(BM_WorldUpdateFirstLevel)->Unit(benchmark::kMicrosecond);

}  // namespace
