// The projectile sweep through the world's grid against the walk over every
// body: on the first level crowded with soldiers that move between volleys,
// every step answers with the same object, kind and point. Copies of bodies
// (a prop and a further object over a soldier's nodes, a further object over
// the buggy's, crates stacked on one spot) make equal contacts of different
// kinds, which the sweep breaks in its own set order, not the grid's.
#include "tests/game/world/world_fixture.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "core/random.h"
#include "game/collision/body_grid.h"
#include "game/collision/collision_phases.h"
#include "game/soldiers/vehicle.h"
#include "game/weapons/projectile.h"
#include "game/world/generic_object.h"
#include "game/world/level_file.h"
#include "game/world/world_query.h"

namespace {

typedef std::vector<std::pair<CCollisionProjectile*, CollisionContact>> Answers;
Answers answers;

void Record(CCollisionProjectile& projectile, const CollisionContact& contact) {
    answers.emplace_back(&projectile, contact);
}

float Random(float low, float high) {
    return low + (high - low) * (float)GameRand() / (float)GameRandMax;
}

struct Step {
    CProjectile* projectile;
    Vector3 from, to;
};

class SweepGrid : public WorldTest {
protected:
    void Populate() {
        ASSERT_TRUE(world->LoadLevel("data\\levels\\level01.txt", LevelAllBits));
        for (int i = 0; i < 120; i++)
            AddSoldier(Vector3{Random(60, 120), Random(-30, 30), 0}, i % 2, i % 4);
        for (int i = 0; i < 30; i++) {
            const bool stacked = i % 5 == 1, crate = i % 5 <= 1 || i % 2;
            CGenericObject* g = new CGenericObject(world.get());
            ASSERT_TRUE(g->LoadMesh(crate ? "data\\models\\props\\crate.mbm"
                                          : "data\\models\\props\\rock.mbm",
                                    false, DefaultHitPoints));
            // Two crates on one spot: equal contacts of one kind.
            if (stacked)
                tied.push_back(world->generics.back());
            g->SetPosition(stacked ? world->generics.back()->GetPosition()
                                   : Vector3{Random(60, 120), Random(-30, 30), 0});
            world->AddGeneric(g);
        }
        for (size_t i = 0; i < world->soldiers.size(); i += 9) {
            tied.push_back(static_cast<CSoldierTarget*>(world->soldiers[i]));
            CCollisionBody& body = world->soldiers[i]->GetCollisionBody();
            CGenericObject* copy = new CGenericObject(world.get());
            ASSERT_TRUE(copy->collision.AttachAsCopyOf(body));
            world->AddGeneric(copy);
            copies.push_back(&copy->collision);
            world->furtherObjects.emplace_back();
            ASSERT_TRUE(world->furtherObjects.back().collision.AttachAsCopyOf(body));
            copies.push_back(&world->furtherObjects.back().collision);
        }
        ASSERT_FALSE(world->vehicles.empty());
        buggy = world->vehicles.front();
        tied.push_back(buggy);
        world->furtherObjects.emplace_back();
        ASSERT_TRUE(world->furtherObjects.back().collision.AttachAsCopyOf(buggy->collision));
        copies.push_back(&world->furtherObjects.back().collision);
    }

    // Soldiers move to new places (some die); the copies follow their nodes.
    void Move() {
        for (size_t i = 0; i < world->soldiers.size(); i++) {
            CSoldier* s = world->soldiers[i];
            if (i % 3 == 0)
                s->SetPosition(Vector3{Random(60, 120), Random(-30, 30), 3});
            if (i % 17 == 5)
                s->SetHealth(0.0f);
        }
        Run(0.3f);
        for (CCollisionBody* copy : copies)
            copy->Update();
    }

    // Rockets only stop at what they hit, so both sweeps see the same battle:
    // from soldiers' chests (their owners), toward soldiers, and from far off.
    void Fire(int count) {
        for (int i = 0; i < count; i++) {
            CSoldier* owner = world->soldiers[(size_t)GameRand() % world->soldiers.size()];
            CSoldier* target = world->soldiers[(size_t)GameRand() % world->soldiers.size()];
            Vector3 from = owner->collision.sphere.centre, to = target->collision.sphere.centre;
            if (i % 3 == 1)
                to = Vector3{from.x + Random(-30, 30), from.y + Random(-30, 30),
                             from.z + Random(-3, 1)};
            if (i % 10 == 5)
                to = buggy->collision.sphere.centre;
            if (i % 10 == 8) {
                auto g = world->generics.begin();
                std::advance(g, (size_t)GameRand() % world->generics.size());
                to = (*g)->collision.sphere.centre;
            }
            if (i % 10 == 2)
                from = Vector3{Random(-500, 500), Random(-500, 500), Random(0, 80)};
            Vector3 d;
            Vector3Subtract(d, to, from);
            CProjectile* p = world->projectiles.Fire(ProjectileRocket, from, d, 400.0f, 0.0f,
                                                     i % 4 ? owner : nullptr);
            steps.push_back(Step{p, from, to});
        }
    }

    Answers Sweep(bool grid) {
        world->SetBodyGridEnabled(grid);
        for (Step& s : steps) {
            s.projectile->alive = true;
            s.projectile->body.previous = s.from;
            s.projectile->body.position = s.to;
        }
        answers.clear();
        world->phases.SetSweepWatch(Record);
        world->phases.Run(CollisionBudget, false);
        world->phases.SetSweepWatch(nullptr);
        return answers;
    }

    CVehicle* buggy = nullptr;
    std::vector<CCollisionBody*> copies;
    std::vector<void*> tied;   // objects with an equal twin met later in the sweep
    std::vector<Step> steps;
};

TEST_F(SweepGrid, EveryStepHitsWhatTheWalkOverEveryBodyHits) {
    GameSrand(11);
    Populate();
    ASSERT_FALSE(HasFatalFailure());
    int kinds[9] = {}, ties = 0;
    for (int volley = 0; volley < 3; volley++) {
        Move();
        Fire(400);
        const Answers walked = Sweep(false), gridded = Sweep(true);
        ASSERT_EQ(walked.size(), gridded.size());
        for (size_t i = 0; i < walked.size(); i++) {
            ASSERT_EQ(walked[i].first, gridded[i].first);
            const CollisionContact &a = walked[i].second, &b = gridded[i].second;
            ASSERT_EQ(a.object, b.object) << "step " << i << " kinds " << a.kind << " " << b.kind;
            ASSERT_EQ(a.kind, b.kind);
            ASSERT_TRUE(a.point.x == b.point.x && a.point.y == b.point.y && a.point.z == b.point.z);
            kinds[a.kind]++;
            ties += std::find(tied.begin(), tied.end(), a.object) != tied.end();
        }
        for (Step& s : steps)
            s.projectile->alive = false;   // the world removes them
        steps.clear();
    }
    EXPECT_GT(kinds[CONTACT_SOLDIER], 100);
    EXPECT_GT(kinds[CONTACT_VEHICLE], 10);
    EXPECT_GT(kinds[CONTACT_PROP], 10);
    EXPECT_GT(kinds[CONTACT_NONE], 10);   // the ground
    EXPECT_GT(ties, 30);
}

// Soldiers stand where the level puts them only from their first update;
// those that join after the grid was laid out, and those that walk off its
// area, must not stay aside for good: every step would test them.
TEST_F(SweepGrid, BodiesOffTheAreaSoonGetAGridLaidOutForThem) {
    GameSrand(5);
    ASSERT_TRUE(world->LoadLevel("data\\levels\\level01.txt", LevelTerrainBit));
    for (int i = 0; i < 200; i++)
        AddSoldier(Vector3{Random(60, 120), Random(-30, 30), 0});
    Run(0.1f);
    CBodyGrid* grid = world->GetBodyGrid();
    std::vector<const BodyGridEntry*> near;
    grid->GatherSegment(Vector3{90, 0, 5}, Vector3{91, 0, 5}, QUERY_ALL, near);
    EXPECT_EQ(grid->GetAsideCount(), 0);
    for (int i = 0; i < 40; i++)
        AddSoldier(Vector3{Random(200, 260), Random(-30, 30), 0});
    Run(0.1f);
    grid->GatherSegment(Vector3{90, 0, 5}, Vector3{91, 0, 5}, QUERY_ALL, near);
    EXPECT_EQ(grid->GetAsideCount(), 0);
    EXPECT_LT(near.size(), 20u);
}

}  // namespace
