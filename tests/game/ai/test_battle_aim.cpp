// Shots at a standing target 30 to 60 units away on the first level's open
// ground hit, fired by the soldier AI and by the player: the weapon points
// from the right hand at the aim point, so each path passes a few
// centimetres above it (the muzzle sits above the grip).
#include <cmath>

#include "game/ai/soldier_ai.h"
#include "game/ai/team_ai.h"
#include "game/weapons/item_model.h"
#include "game/world/level_file.h"
#include "render/node.h"
#include "tests/game/player/held_input.h"
#include "tests/game/world/world_fixture.h"

namespace {

const float Step = 1.0f / 30.0f;
const Vector3 ShooterAt{40.0f, -28.0f, 0.0f};
// Open ground east of the first squad's start, clear of the tree and the
// ring of walls: 30, about 43 and about 59 units away.
const Vector3 TargetsAt[] = {{70.0f, -28.0f, 0.0f}, {80.0f, -45.0f, 0.0f}, {98.0f, -40.0f, 0.0f}};
// The muzzle's height over the grip line, with room for rounding.
const float MuzzleOffset = 0.1f;

class BattleAimTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        world = std::make_unique<CWorld>();
        ASSERT_TRUE(world->LoadLevel("data\\levels\\level01.txt", LevelAllBits));
        g_debugConsole->aiFlag = 0;   // nothing but the test aims or moves anyone
    }

    // Everyone but the two stands far off, out of every line of fire.
    void Stage(CSoldier* shooter, CSoldier* target, const Vector3& targetAt) {
        float x = 180.0f;
        for (CSoldier* s : world->soldiers) {
            if (s != shooter && s != target)
                s->SetPosition(Vector3{x += 3.0f, 45.0f, 0.0f});
        }
        shooter->SetPosition(ShooterAt);
        target->SetPosition(targetAt);
        shooter->GetCurrentWeapon().Refill();
        for (int i = 0; i < 30; i++)
            world->Update(Step);   // everyone settles on the ground
    }

    static Vector3 ChestOf(CSoldier* s) { return NodeTranslation(s->model.FindNode("chest")); }

    // Distance from the aim point to the straight path of the shot just fired.
    float MissOfLastShot(const Vector3& aimPoint) const {
        const CProjectile& shot = world->projectiles.projectiles.back();
        Vector3 toAim, closest;
        Vector3Subtract(toAim, aimPoint, shot.body.position);
        Vector3MultiplyAdd(closest, shot.body.position, shot.body.direction,
                           Vector3Dot(toAim, shot.body.direction));
        return Vector3Distance(closest, aimPoint);
    }

    // One world update; a hit is counted and healed so the target stands.
    void UpdateCountingHits(CSoldier* target, int& hits) {
        const float before = target->health + target->armour;
        world->Update(Step);
        if (target->health + target->armour < before)
            hits++;
        target->health = 60.0f;
        target->armour = 30.0f;
    }
};

TEST_F(BattleAimTest, TheSoldierAIHitsAStandingTarget) {
    CTeamAI* ai = static_cast<CTeamAI*>(world->GetTeamAI());
    CSoldier* shooter = world->soldiers[4];
    CSoldier* target = world->soldiers[1];
    ASSERT_EQ(shooter->team, 1);
    ASSERT_EQ(target->team, 0);
    for (const Vector3& at : TargetsAt) {
        Stage(shooter, target, at);
        shooter->ai.target = target;
        Vector3 v;
        Vector3Subtract(v, ChestOf(target), shooter->GetPosition());
        const float range = Vector3Length(v);
        Vector3Scale(v, v, 1.0f / range);
        shooter->SetFacing(v, true);
        shooter->SetAimPoint(v, range, true);

        int shots = 0, hits = 0;
        for (int i = 0; i < 60; i++) {
            UpdateCountingHits(target, hits);
            // After the soldiers' updates, at the team AI's cadence of 0.1 s;
            // the last half second lets the shots land.
            if (i % 3 == 0 && i < 45) {
                const Vector3 aimPoint = ChestOf(target);
                const size_t before = world->projectiles.projectiles.size();
                SoldierAimAndFire(*ai, *shooter);
                if (world->projectiles.projectiles.size() > before) {
                    shots++;
                    EXPECT_LT(MissOfLastShot(aimPoint), MuzzleOffset) << "range " << range;
                }
            }
        }
        EXPECT_GE(shots, 5) << "range " << range;
        EXPECT_EQ(hits, shots) << "range " << range;
    }
}

TEST_F(BattleAimTest, ThePlayersShotsLandOnThePointUnderTheCursor) {
    CSoldier* player = world->soldiers.front();
    CSoldier* target = world->soldiers[4];
    CSmoothCamera camera;
    HeldInput input;
    CPlayerController controller;
    StartController(controller, camera, input, player);
    for (const Vector3& at : TargetsAt) {
        Stage(player, target, at);
        // The view (the cursor rests at its centre) runs through the target's chest.
        auto frame = [&]() {
            Vector3 look;
            Vector3Subtract(look, ChestOf(target), *camera.GetPosition());
            Vector3 far;
            Vector3MultiplyAdd(far, *camera.GetPosition(), look, 100.0f);
            camera.SetTarget(far, true);
            controller.Update(Step);
        };
        int hits = 0;
        for (int i = 0; i < 30; i++) {   // the aim turns onto the target
            frame();
            UpdateCountingHits(target, hits);
        }
        int shots = 0;
        hits = 0;
        for (int i = 0; i < 60; i++) {
            input.fire = i < 45;
            const size_t before = world->projectiles.projectiles.size();
            frame();
            if (world->projectiles.projectiles.size() > before) {
                shots++;
                EXPECT_LT(Vector3Distance(controller.GetAimPoint(), ChestOf(target)), 0.5f)
                    << "the point picked lies on the target";
                EXPECT_LT(MissOfLastShot(controller.GetAimPoint()), MuzzleOffset);
            }
            UpdateCountingHits(target, hits);
        }
        input.fire = false;
        EXPECT_GE(shots, 5);
        EXPECT_EQ(hits, shots);
    }
}

}  // namespace
