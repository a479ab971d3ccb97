// The team AI on the shipped terrain: one world update with 100 and with
// 1,000 computer soldiers in squads of ten (two sides; the second at most 12
// times the first), and the first level's whole five-minute battle at 30
// updates a second. Run from the installation folder.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
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

// The soldiers alive, and a digest (FNV-1a) of every soldier's full position,
// facing and health: a faster update must leave both as they were.
void CountOutcome(benchmark::State& state, const CWorld& world) {
    int alive = 0;
    uint32_t digest = 2166136261u;
    for (const CSoldier* s : world.soldiers) {
        alive += s->IsAlive();
        const Vector3 p = s->GetPosition();
        const float values[] = {p.x, p.y, p.z, s->facing.x, s->facing.y, s->facing.z, s->health};
        for (float v : values) {
            uint32_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            digest = (digest ^ bits) * 16777619u;
        }
    }
    state.counters["alive"] = double(alive);
    state.counters["digest"] = double(digest);
}

// Squads of ten, ten to a row across the middle of the terrain, alternately
// of either side: the first row's sides stand 120 units apart and each
// further row 45 units behind its side's last.
std::unique_ptr<CWorld> AISoldierWorld(int squadCount) {
    auto world = std::make_unique<CWorld>();
    GameSrand(3);
    if (!world->LoadLevel(FirstLevel, LevelTerrainBit))
        return nullptr;
    for (int squad = 0; squad < squadCount; squad++) {
        const int team = squad % 2, rank = squad / 10;
        const float cx = -100.0f + 45.0f * float(squad % 10);
        const float cy = team ? 60.0f + 45.0f * float(rank) : -60.0f - 45.0f * float(rank);
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

void BM_WorldUpdateAISoldiers(benchmark::State& state) {
    if (!BattleDataLoaded()) {
        state.SkipWithError("stats or animations do not load");
        return;
    }
    const int n = int(state.range(0));
    std::unique_ptr<CWorld> world = AISoldierWorld(n / 10);
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
    CountOutcome(state, *world);
    int squads = 0;
    for (auto& c : static_cast<CTeamAI*>(world->GetTeamAI())->commanders)
        squads += int(c->squads.size());
    state.counters["soldiers"] = double(world->soldiers.size());
    state.counters["squads"] = double(squads);
}
BENCHMARK(BM_WorldUpdateAISoldiers)->Arg(100)->Arg(1000)->Iterations(900)->Unit(benchmark::kMicrosecond);

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
        CountOutcome(state, world);
    }
}
BENCHMARK(BM_FirstLevelFiveMinuteBattle)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
