// The shipped first level's two sides fighting with "ai" on at a fixed step
// from a fixed seed: soldiers walk routes and fire, nothing turns NaN, and two
// runs give the same battle.
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "game/ai/squad.h"
#include "game/ai/team_ai.h"
#include "game/weapons/projectile.h"
#include "game/world/level_file.h"
#include "tests/game/world/world_fixture.h"

namespace {

const char* const FirstLevel = "data\\levels\\level01.txt";
const float Step = 1.0f / 30.0f;

struct BattleRun {
    std::string summary;
    float walked = 0.0f;   // total ground distance covered by AI soldiers
    int shots = 0;         // rounds gone from the soldiers' weapons
    bool finite = true;
    int squads = 0;
};

float BattleSeconds() {
    const char* env = std::getenv("VEXMOOR_BATTLE_SECONDS");
    return env ? float(std::atof(env)) : 40.0f;
}

class AIBattleTest : public WorldTest {
protected:
    // Runs `seconds` of battle on a freshly loaded first level.
    BattleRun Fight(float seconds) {
        world = std::make_unique<CWorld>();
        ai = new CTeamAI();
        world->SetTeamAI(std::unique_ptr<CTeamAISeam>(ai));
        GameSrand(7);
        EXPECT_TRUE(world->LoadLevel(FirstLevel, LevelAllBits));
        // The second side is ordered to where the first starts.
        for (CSquad* squad : ai->commanders[1]->squads)
            squad->PlayerOrder(-95.0f, -125.0f);
        BattleRun run;
        for (auto& c : ai->commanders)
            run.squads += int(c->squads.size());
        std::vector<Vector3> last;
        for (CSoldier* s : world->soldiers) {
            last.push_back(s->GetPosition());
            run.shots += Rounds(*s);
        }
        const int steps = int(seconds / Step);
        for (int i = 0; i < steps; i++) {
            world->Update(Step);
            for (size_t k = 0; k < world->soldiers.size(); k++) {
                const Vector3 p = world->soldiers[k]->GetPosition();
                run.finite = run.finite && std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
                run.walked += std::hypot(p.x - last[k].x, p.y - last[k].y);
                last[k] = p;
            }
        }
        for (CSoldier* s : world->soldiers)
            run.shots -= Rounds(*s);
        std::ostringstream out;
        out.precision(9);
        for (CSoldier* s : world->soldiers)
            out << s->GetPosition().x << ' ' << s->GetPosition().y << ' ' << s->health << ' '
                << s->GetCurrentWeapon().clip << '\n';
        run.summary = out.str();
        return run;
    }
    static int Rounds(CSoldier& s) {
        int n = 0;
        for (const CWeapon& w : s.weapons)
            n += w.clip + w.reserve;
        return n;
    }
    CTeamAI* ai = nullptr;
};

// The sanitizer build runs 40 simulated seconds; VEXMOOR_BATTLE_SECONDS=300
// runs the full five minutes (bench_ai times the same battle optimised).
TEST_F(AIBattleTest, TheFirstLevelFightsTheSameBattleTwice) {
    // A first battle fills the caches that persist between worlds (terrain
    // files, models loaded on first use), which the draws depend on.
    Fight(BattleSeconds());
    const BattleRun first = Fight(BattleSeconds());
    EXPECT_GE(first.squads, 2);
    EXPECT_TRUE(first.finite);
    EXPECT_GT(first.walked, 50.0f) << "soldiers walk their routes";
    EXPECT_GT(first.shots, 0) << "soldiers fire";
    const BattleRun second = Fight(BattleSeconds());
    EXPECT_EQ(first.summary, second.summary);
}

// A level load into a used world forgets the old squads: nothing keeps
// pointing at the soldiers just deleted (ASan).
TEST_F(AIBattleTest, ReloadingDropsTheOldSquads) {
    Fight(2.0f);
    EXPECT_TRUE(world->LoadLevel(FirstLevel, LevelAllBits));
    for (int i = 0; i < 60; i++)
        world->Update(Step);
    for (auto& c : ai->commanders)
        for (CSquad* squad : c->squads)
            for (CSoldier* s : squad->members)
                EXPECT_EQ(s->ai.squad, squad);
}

}  // namespace
