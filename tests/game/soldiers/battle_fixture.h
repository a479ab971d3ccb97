// A small battle for the weapon, soldier and vehicle tests: the shipped
// stats, models and clips on the headless back-end, flat ground at z = 0,
// and a world that records what the soldiers tell it.
#ifndef TESTS_GAME_SOLDIERS_BATTLE_FIXTURE_H
#define TESTS_GAME_SOLDIERS_BATTLE_FIXTURE_H

#include <gtest/gtest.h>

#include "tests/game/battle_data.h"

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "core/random.h"
#include "game/soldiers/soldier.h"
#include "game/soldiers/vehicle.h"
#include "game/stats.h"
#include "game/weapons/battle_world.h"
#include "game/weapons/item_model.h"
#include "render/animation.h"
#include "render/backend.h"
#include "render/model.h"
#include "render/node.h"
#include "tests/game/collision/test_collision_util.h"
#include "tests/game/soldiers/flat_world.h"

// Rays meet the plane z = 0; the sweep meets one square of two triangles
// 2000 units wide.
class FlatGround : public FlatGroundRays {
public:
    FlatGround() {
        CMesh m = MakeMesh("battle_ground");
        MeshRecord& r = *m.GetRecord();
        r.collisionPositions = {{-1000, -1000, 0}, {1000, -1000, 0}, {-1000, 1000, 0}, {1000, 1000, 0}};
        r.collisionIndices = {0, 1, 2, 1, 3, 2};
        instance.Attach(m, "");
    }
    void CollectCollisionInstances(std::vector<CCollisionInstance*>& out) override {
        out.push_back(&instance);
    }
    CCollisionInstance instance;
};

class TestWorld : public FlatBattleWorld {
public:
    TestWorld() { terrain = &ground; }
    void AddMessage(const std::string& speaker, const std::string&, const std::string&) override {
        messages.push_back(speaker);
    }
    void OnSoldierAttacked(CSoldier*, CCollisionProjectile*) override { attacks++; }
    void OnSoldierLeavesTeamAI(CSoldier*) override { departures++; }

    FlatGround ground;
    std::vector<std::string> messages;
    int attacks = 0;
    int departures = 0;
};

// A weapon's type, clip, reserve and state, compared at once.
inline std::tuple<int, int, int, int> WeaponState(const CWeapon& w) {
    return std::make_tuple(w.type, w.clip, w.reserve, w.state);
}

class Battle : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        LoadBattleData();
    }
    static void TearDownTestSuite() {
        FreeBattleData();
    }
    void SetUp() override { GameSrand(1); }
    void TearDown() override { world.DeleteObjects(); }

    // A rifleman (type 1) standing at the point, listed in the world.
    CSoldier* AddSoldier(const Vector3& at, int team = 0) {
        CSoldier* s = new CSoldier(&world, 1);
        s->SetTeam(team);
        s->SetPosition(at);
        world.soldiers.push_back(s);
        return s;
    }
    CVehicle* AddVehicle(const Vector3& at) {
        CVehicle* v = new CVehicle(&world, 0);
        v->Place(at, Vector3{1.0f, 0.0f, 0.0f});
        world.vehicles.push_back(v);
        return v;
    }
    static void Run(CSoldier* s, float seconds, float step = 0.05f) {
        for (float t = 0.0f; t < seconds - 1e-4f; t += step)
            s->Update(step);
    }

    TestWorld world;
};

#endif
