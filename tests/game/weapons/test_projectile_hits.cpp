// Projectiles through the collision sweep against soldiers: what each kind
// does to the soldier it meets, and what a grenade does when it goes off.
#include "tests/game/soldiers/battle_fixture.h"

#include "game/collision/collision_phases.h"

namespace {

// Fires a projectile of the kind from 5 units in front of the soldier's
// chest straight at it and runs the sweep until it ends.
float HealthLostTo(TestWorld& world, CSoldier* target, int kind) {
    CCollisionPhases phases(&world);
    target->health = 60.0f;
    target->armour = 0.0f;
    Vector3 chest = NodeTranslation(target->model.FindNode("Chest"));
    world.projectiles.Fire(kind, Vector3{chest.x - 5.0f, chest.y, chest.z}, Vector3{1, 0, 0}, 100.0f,
                           25.0f, nullptr);
    for (int i = 0; i < 5 && !world.projectiles.projectiles.empty(); i++) {
        world.projectiles.Update(0.02f);
        phases.Run(0.0, false);
    }
    world.projectiles.Update(0.02f);
    EXPECT_TRUE(world.projectiles.projectiles.empty()) << "kind " << kind << " stopped";
    return 60.0f - target->health;
}

TEST_F(Battle, OnlyBulletsAndFlaresHurtTheSoldierTheyHit) {
    CSoldier* s = AddSoldier(Vector3{});
    Run(s, 0.1f);
    EXPECT_FLOAT_EQ(HealthLostTo(world, s, ProjectileRifle), 25.0f);
    EXPECT_FLOAT_EQ(HealthLostTo(world, s, ProjectileFlare), 25.0f);
    // Rockets and shells stop on a soldier without hurting it.
    EXPECT_EQ(HealthLostTo(world, s, ProjectileRocket), 0.0f);
    EXPECT_EQ(HealthLostTo(world, s, ProjectileShell), 0.0f);
}

TEST_F(Battle, AGrenadeBouncesOffTheGroundAndBlastsTheSoldierNearby) {
    CSoldier* s = AddSoldier(Vector3{});
    Run(s, 0.1f);
    s->armour = 0.0f;
    CCollisionPhases phases(&world);
    world.projectiles.Fire(ProjectileGrenade, Vector3{2, 0, 1}, Vector3{0, 0, -1}, 5.0f, 80.0f, nullptr);
    float before = s->health;
    for (int i = 0; i < 200 && !world.projectiles.projectiles.empty(); i++) {
        world.projectiles.Update(0.02f);
        phases.Run(0.0, false);
    }
    EXPECT_TRUE(world.projectiles.projectiles.empty()) << "armed by the bounce, then the fuse ran out";
    EXPECT_LT(s->health, before);
}

TEST_F(Battle, ATornLimbLeavesTheSoldierWhole) {
    CSoldier* s = AddSoldier(Vector3{});
    CCollisionPhases phases(&world);
    Run(s, 0.1f);
    for (int shot = 0; shot < 200 && s->model.FindNode("Head"); shot++) {
        s->health = 60.0f;
        s->armour = 0.0f;
        Vector3 head = NodeTranslation(s->model.FindNode("Head"));
        world.projectiles.Fire(ProjectileRifle, Vector3{head.x - 3.0f, head.y, head.z}, Vector3{1, 0, 0},
                               100.0f, 1.0f, nullptr);
        for (int i = 0; i < 3; i++) {
            world.projectiles.Update(0.02f);
            phases.Run(0.0, false);
        }
        s->Update(0.02f);
    }
    ASSERT_EQ(world.scrap.size(), 1u);
    EXPECT_EQ(world.scrap[0].first->name, "Head");
    EXPECT_EQ(s->collision.root->FindPart(world.scrap[0].first), nullptr);
    // The soldier lives on, animates and collides without its head.
    s->SelectMoveAnimation(Vector3{1, 0, 0});
    Run(s, 0.5f);
    EXPECT_GT(s->health, 0.0f);
}

}  // namespace
