// The soldier's state rules: construction from the shipped models, damage
// and regeneration, death, the walking clip, pick-ups and resets.
#include "tests/game/soldiers/battle_fixture.h"

#include <cmath>

namespace {

TEST_F(Battle, SoldiersAreBuiltFromTheShippedModels) {
    CSoldier* s = AddSoldier(Vector3{0, 0, 0});
    ASSERT_NE(s->model.GetRoot(), nullptr);
    EXPECT_NE(s->model.FindNode("RHand"), nullptr);
    EXPECT_NE(s->collision.root, nullptr);
    ASSERT_EQ(s->weapons.size(), 1u);
    EXPECT_EQ(std::make_tuple(s->weapons[0].type, s->grenades.size(), s->health),
              std::make_tuple(GetSoldierType(1).weapon, size_t(2), GetSoldierType(1).health));
    Run(s, 0.5f);
    EXPECT_TRUE(s->animator.IsPlaying("hold_mg"));
    EXPECT_NEAR(s->GetPosition().z, 0.0f, 1e-3f) << "stands on the ground";
    // The rifle sits in the right hand.
    Vector3 hand = NodeTranslation(s->model.FindNode("RHand"));
    EXPECT_LT(Vector3Distance(s->GetCurrentWeapon().GetPosition(), hand), 0.2f);

    CSoldier* enemy = AddSoldier(Vector3{5, 0, 0}, 1);
    EXPECT_EQ(enemy->modelPath, EnemyModelPath);
    ASSERT_NE(enemy->model.GetRoot(), nullptr);
}

TEST_F(Battle, ArmourTakesDamageFirstAndComesBackAfterTheDelay) {
    CSoldier* s = AddSoldier(Vector3{});
    s->armour = 30.0f;
    s->health = 100.0f;
    s->TakeDamage(nullptr, 50.0f, Vector3{});
    EXPECT_EQ(std::make_pair(s->armour, s->health), std::make_pair(0.0f, 80.0f));

    for (int i = 0; i < 49; i++)
        s->RegenerateArmour(0.1f);
    s->TakeDamage(nullptr, 0.0f, Vector3{});
    s->TakeDamage(nullptr, -5.0f, Vector3{});
    EXPECT_EQ(s->health, 80.0f);
    EXPECT_FALSE(s->regenerating) << "no damage, no new delay";
    s->RegenerateArmour(0.2f);
    EXPECT_TRUE(s->regenerating) << "5 s after the hit";
    s->RegenerateArmour(0.2f);
    EXPECT_NEAR(s->armour, 10.0f, 1e-4f) << "50 per second";
    for (int i = 0; i < 20; i++)
        s->RegenerateArmour(0.1f);
    EXPECT_EQ(s->armour, GetSoldierType(1).maxArmour) << "never above the type's maximum";
}

TEST_F(Battle, DeathDropsEverythingAndOnlyThePlayersDeathTaunts) {
    CSoldier* enemy = AddSoldier(Vector3{10, 0, 0}, 1);
    CSoldier* player = AddSoldier(Vector3{});
    world.playerSoldier = player;
    player->playerControlled = 1;
    CProjectile shot;

    // Damage that exactly uses up armour and health kills.
    enemy->armour = 30.0f;
    enemy->health = 70.0f;
    enemy->TakeDamage(&shot, 100.0f, Vector3{});
    EXPECT_EQ(enemy->health, 0.0f);
    EXPECT_EQ(world.attacks, 1) << "the AI hears of its attacker";
    EXPECT_TRUE(world.messages.empty());
    EXPECT_EQ(world.departures, 1);
    EXPECT_TRUE(enemy->weapons.empty() && enemy->grenades.empty());
    ASSERT_EQ(world.droppedWeapons.size(), 1u);
    ASSERT_EQ(world.droppedGrenades.size(), 2u);
    const CWeapon& dropped = world.droppedWeapons.front();
    EXPECT_EQ(dropped.state, WEAPON_FLYING);
    EXPECT_NEAR(Vector3Length(dropped.GetVelocity()), 10.0f, 1e-3f);
    EXPECT_GT(dropped.GetVelocity().z, 0.0f);
    EXPECT_FLOAT_EQ(world.droppedGrenades.front().GetPosition().z, enemy->GetPosition().z + 3.0f);
    enemy->TakeDamage(&shot, 10.0f, Vector3{});
    EXPECT_EQ(world.departures, 1) << "the dead take no more damage";

    player->TakeDamage(nullptr, 1000.0f, Vector3{});
    EXPECT_TRUE(world.messages.empty()) << "no attacker, no taunt";
    player->Reset();
    player->playerControlled = 1;
    player->TakeDamage(&shot, 1000.0f, Vector3{});
    ASSERT_EQ(world.messages.size(), 1u);
    EXPECT_EQ(world.messages[0], "Dalvek");
    EXPECT_EQ(world.attacks, 1) << "the player's soldier has no AI to tell";
}

TEST_F(Battle, WalkingClipFollowsTheMoveDirection) {
    CSoldier* s = AddSoldier(Vector3{});
    struct Case {
        Vector3 move;
        const char* clip;
    } cases[] = {
        {{1, 0, 0}, "run_f"},           {{-1, 0, 0}, "run_b"},
        {{0, -1, 0}, "strafe_l"},       {{0, 1, 0}, "strafe_r"},
        {{0.7071f, 0.7071f, 0}, "run_f"}, {{-0.7071f, 0.7071f, 0}, "run_b"},
    };
    for (const Case& c : cases) {
        s->SelectMoveAnimation(c.move);
        EXPECT_EQ(s->moveAnimation, c.clip) << c.move.x << "," << c.move.y;
        EXPECT_TRUE(s->animator.IsPlaying(c.clip));
    }
    s->SelectMoveAnimation(Vector3{});
    EXPECT_TRUE(s->moveAnimation.empty());
}

TEST_F(Battle, FacingAndResetNeverLeaveAnUndefinedPose) {
    CSoldier* s = AddSoldier(Vector3{});
    s->SetFacing(Vector3{0, 0, -1}, true);   // straight down: no heading
    EXPECT_EQ(s->facing.x, 1.0f);
    s->SelectMoveAnimation(Vector3{1, 0, 0});
    Run(s, 0.2f);
    s->Reset();   // a new model: the animator must follow it
    EXPECT_TRUE(s->moveAnimation.empty());
    EXPECT_EQ(s->animator.GetPlayingCount(), 0);
    Run(s, 0.2f);
    const Matrix4& m = s->GetTransform();
    for (float f : m.m)
        EXPECT_TRUE(std::isfinite(f));
}

TEST_F(Battle, PickupsTopUpReservesAndTakeGrenades) {
    CSoldier* s = AddSoldier(Vector3{});
    CWeapon sameType(WeaponRifle, &world, WEAPON_FLYING);
    sameType.SetPosition(Vector3{1, 0, 0});
    sameType.reserve = 100;
    CWeapon other(2, &world, WEAPON_FLYING);
    other.SetPosition(Vector3{0, 2, 0});
    world.AddDroppedWeapon(sameType);
    CWeapon* inReach = &world.AddDroppedWeapon(other);
    CGrenadeItem closeBy(0, &world, 0), far(0, &world, 0);
    closeBy.SetPosition(Vector3{0.5f, 0, 0});
    far.SetPosition(Vector3{0, 0, 1.6f});
    world.AddDroppedGrenade(closeBy);
    world.AddDroppedGrenade(far);
    world.AddDroppedGrenade(closeBy);

    s->weapons[0].reserve = 100;
    s->FindPickups();
    EXPECT_EQ(s->weapons[0].reserve, 120);
    EXPECT_EQ(world.droppedWeapons.front().reserve, 80) << "the rest stays on the ground";
    EXPECT_EQ(s->weaponInReach, inReach);
    EXPECT_EQ(s->grenades.size(), 4u);
    ASSERT_EQ(world.droppedGrenades.size(), 1u);
    EXPECT_EQ(world.droppedGrenades.front().GetPosition().z, 1.6f);
    ASSERT_EQ(s->pickupNotices.size(), 3u);
    const PickupNotice& rounds = s->pickupNotices[0];
    const PickupNotice& grenades = s->pickupNotices[2];
    EXPECT_EQ(std::make_tuple(rounds.kind, rounds.amount, grenades.kind, grenades.amount),
              std::make_tuple((int)WeaponRifle, 20, 6, 2));

    world.RemoveDroppedWeapon(inReach);
    EXPECT_EQ(s->weaponInReach, nullptr) << "no soldier keeps a removed weapon";
}

}  // namespace
