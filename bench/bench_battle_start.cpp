// Building the battle as the program starts it, with every cache present:
// the main game state (level, terrain from its segment cache, grass, models
// from their mesh caches, collision from its caches, the heads-up display)
// and its first update and draw. A first battle writes the caches. Run from
// the installation folder.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/console.h"
#include "bench/battle_data.h"
#include "core/files.h"
#include "core/random.h"
#include "game/terrain/terrain.h"
#include "render/text.h"
#include "ui/game.h"

namespace {

bool SetUpOnce() {
    static const bool ready = [] {
        if (!BattleDataLoaded())
            return false;
        CreateDirectoryPath("gen\\data\\collision\\rar");   // as the game's data load does
        CreateDebugConsole();
        CreateTextGlobals();
        GameSrand(1);
        delete new CGame();   // writes every cache
        return true;
    }();
    return ready;
}

void BM_BattleStart(benchmark::State& state) {
    if (!SetUpOnce())
        return state.SkipWithError("no battle data");
    for (auto _ : state) {
        std::unique_ptr<CGame> game(new CGame());
        game->Update(0.0f);
        game->Draw();
        state.PauseTiming();
        game.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BattleStart)->Unit(benchmark::kMillisecond)->Iterations(5);

// Grass placement on the shipped terrain (as every load ends): through the
// instances standing over each point, or through every instance.
template <bool Columns>
void BM_PlaceGrassShippedTerrain(benchmark::State& state) {
    if (!SetUpOnce())
        return state.SkipWithError("no battle data");
    CTerrain terrain;
    if (!terrain.Load("data\\models\\land\\valley.mbm"))
        return state.SkipWithError("valley.mbm did not load");
    terrain.SetRayColumnsEnabled(Columns);
    for (auto _ : state) {
        GameSrand(1);
        terrain.PlaceGrass();
    }
    state.counters["blades"] = (double)terrain.GetBlades().size();
}
BENCHMARK_TEMPLATE(BM_PlaceGrassShippedTerrain, true)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_PlaceGrassShippedTerrain, false)->Unit(benchmark::kMillisecond);

}  // namespace
