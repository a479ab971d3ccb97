// The team AI on the shipped terrain: one world update with 100 computer
// soldiers in 10 squads (two sides), and the first level's whole five-minute
// battle at 30 updates a second. Run from the installation folder.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench/battle_data.h"
#include "core/random.h"
#include "game/ai/squad.h"
#include "game/ai/team_ai.h"
#include "game/soldiers/soldier.h"
#include "game/weapons/projectile.h"
#include "game/world/level_file.h"
#include "game/world/world.h"

namespace {

const char* const FirstLevel = "data\\levels\\level01.txt";

// Ten squads of ten, five a side, spread over the middle of the terrain.
std::unique_ptr<CWorld> HundredSoldierWorld() {
    auto world = std::make_unique<CWorld>();
    GameSrand(3);
    if (!world->LoadLevel(FirstLevel, LevelTerrainBit))
        return nullptr;
    for (int squad = 0; squad < 10; squad++) {
        const int team = squad % 2;
        const float cx = -100.0f + 45.0f * float(squad), cy = team ? 60.0f : -60.0f;
        for (int i = 0; i < 10; i++) {
            CSoldier* s = new CSoldier(world.get(), 1);
            s->SetPosition(Vector3{cx + float(i % 5) * 3.0f, cy + float(i / 5) * 3.0f, 0.0f});
            s->SetTeam(team);
            world->AddSoldierToTeam(s, team);
        }
    }
    CTeamAI* ai = static_cast<CTeamAI*>(world->GetTeamAI());
    ai->Init(*world);
    // The level load gathers squads of five: join each cluster's two.
    for (auto& commander : ai->commanders) {
        const std::vector<CSquad*> squads = commander->squads;
        for (size_t k = 0; k + 1 < squads.size(); k += 2)
            for (CSoldier* s : std::vector<CSoldier*>(squads[k + 1]->members))
                squads[k]->TakeMember(s);
        commander->DeleteEmptySquads();
    }
    return world;
}

void BM_WorldUpdateHundredAISoldiers(benchmark::State& state) {
    if (!BattleDataLoaded()) {
        state.SkipWithError("stats or animations do not load");
        return;
    }
    std::unique_ptr<CWorld> world = HundredSoldierWorld();
    if (!world) {
        state.SkipWithError("the first level does not load");
        return;
    }
    for (int i = 0; i < 60; i++)   // past the staggered first cycles
        world->Update(1.0f / 30.0f);
    // A fixed span of battle, so faster code does not measure a later, thinner
    // one: 30 s at 30 updates a second.
    double projectiles = 0.0;
    for (auto _ : state) {
        world->Update(1.0f / 30.0f);
        projectiles += double(world->projectiles.projectiles.size());
    }
    state.counters["projectiles"] = projectiles / double(state.iterations());
    int squads = 0;
    for (auto& c : static_cast<CTeamAI*>(world->GetTeamAI())->commanders)
        squads += int(c->squads.size());
    state.counters["soldiers"] = double(world->soldiers.size());
    state.counters["squads"] = double(squads);
}
BENCHMARK(BM_WorldUpdateHundredAISoldiers)->Iterations(900)->Unit(benchmark::kMicrosecond);

void BM_FirstLevelFiveMinuteBattle(benchmark::State& state) {
    if (!BattleDataLoaded()) {
        state.SkipWithError("stats or animations do not load");
        return;
    }
    for (auto _ : state) {
        CWorld world;
        GameSrand(7);
        if (!world.LoadLevel(FirstLevel, LevelAllBits)) {
            state.SkipWithError("the first level does not load");
            return;
        }
        // As the main game starts it: the player's soldier marked, no order.
        world.playerSoldier = world.soldiers.front();
        world.playerSoldier->playerControlled = 1;
        for (int i = 0; i < 300 * 30; i++)
            world.Update(1.0f / 30.0f);
        int alive = 0;
        for (CSoldier* s : world.soldiers)
            alive += s->IsAlive();
        state.counters["alive"] = double(alive);
    }
}
BENCHMARK(BM_FirstLevelFiveMinuteBattle)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
