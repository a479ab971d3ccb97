// A world on the headless back-end with the shipped stats, models and clips,
// and the debug console its counts and the "ai" flag live in.
#ifndef TESTS_GAME_WORLD_WORLD_FIXTURE_H
#define TESTS_GAME_WORLD_WORLD_FIXTURE_H

#include <gtest/gtest.h>

#include "tests/game/battle_data.h"

#include <cmath>
#include <memory>
#include <string>

#include "app/console.h"
#include "core/random.h"
#include "game/soldiers/soldier.h"
#include "game/soldiers/vehicle.h"
#include "game/stats.h"
#include "game/world/world.h"
#include "render/animation.h"
#include "render/backend.h"
#include "render/model.h"

// Counts the team AI calls the world makes.
class RecordingTeamAI : public CTeamAISeam {
public:
    void Init(CWorld&) override { inits++; }
    void Update(float) override { updates++; }
    void Clear() override { clears++; }
    void OnProjectileRemoved(CProjectile*) override {}
    void OnSoldierAttacked(CSoldier*, CCollisionProjectile*) override { attacks++; }
    void OnSoldierLeavesTeamAI(CSoldier*) override {}
    int inits = 0, updates = 0, clears = 0, attacks = 0;
};

class WorldTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        LoadBattleData();
        CreateDebugConsole();
    }
    static void TearDownTestSuite() {
        DestroyDebugConsole();
        FreeBattleData();
    }
    void SetUp() override {
        GameSrand(1);
        g_debugConsole->aiFlag = 1;
        world = std::make_unique<CWorld>();
        auto ai = std::make_unique<RecordingTeamAI>();
        teamAI = ai.get();
        world->SetTeamAI(std::move(ai));
    }
    void TearDown() override { world.reset(); }

    CSoldier* AddSoldier(const Vector3& at, int team = 0, int type = 1) {
        CSoldier* s = new CSoldier(world.get(), type);
        s->SetPosition(at);
        s->SetTeam(team);
        world->AddSoldierToTeam(s, team);
        return s;
    }
    CVehicle* AddVehicle(const Vector3& at) {   // facing +x
        CVehicle* v = new CVehicle(world.get(), 0);
        v->Place(at, Vector3{1, 0, 0});
        world->AddVehicle(v);
        return v;
    }
    void Run(float seconds, float step = 0.05f) {
        int steps = (int)std::lround(seconds / step);
        for (int i = 0; i < steps; i++)
            world->Update(step);
    }
    static int Hook(const char* name) {
        const CConsoleHook* h = g_debugConsole->FindHook(name);
        return h ? h->value.intValue : -1;
    }

    std::unique_ptr<CWorld> world;
    RecordingTeamAI* teamAI = nullptr;
};

#endif
