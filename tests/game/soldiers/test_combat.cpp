// Firing, reloading, throwing, switching, picking up and dropping, with
// their timers and the shared budget of rifle sounds.
#include "tests/game/soldiers/battle_fixture.h"

#include "game/soldiers/soldier_sound.h"

namespace {

TEST_F(Battle, ReloadStartsOnAnEmptyClipAndRefillsAfterItsTime) {
    CSoldier* s = AddSoldier(Vector3{});
    CWeapon& rifle = s->GetCurrentWeapon();
    rifle.clip = 0;
    rifle.reserve = 50;
    s->Fire();
    EXPECT_EQ(s->action, ACTION_RELOAD);
    EXPECT_FLOAT_EQ(s->actionTimer, GetWeaponType(WeaponRifle).reloadTime);
    for (int i = 0; i < 3; i++)
        s->UpdateAction(0.5f);
    EXPECT_EQ(s->actionTimer, 0.0f);
    EXPECT_EQ(rifle.clip, 0) << "the timer ran out in this update";
    s->UpdateAction(0.01f);
    EXPECT_EQ(std::make_tuple(rifle.clip, rifle.reserve, s->action), std::make_tuple(30, 20, (int)ACTION_NONE));
}

TEST_F(Battle, FiringInTheCoolDownDoesNothing) {
    CSoldier* s = AddSoldier(Vector3{});
    Run(s, 0.1f);
    s->Fire();
    ASSERT_EQ(world.projectiles.projectiles.size(), 1u);
    const CProjectile& shot = world.projectiles.projectiles.front();
    EXPECT_EQ(std::make_tuple(shot.kind, shot.GetOwner(), shot.damage),
              std::make_tuple((int)ProjectileRifle, (CSoldierTarget*)s, GetWeaponType(WeaponRifle).damage));
    CNode* muzzle = s->GetCurrentWeapon().FindMuzzle();
    ASSERT_NE(muzzle, nullptr);
    EXPECT_NEAR(Vector3Distance(shot.body.position, NodeTranslation(muzzle)), 0.5f, 1e-3f);

    s->GetCurrentWeapon().clip = 5;
    s->Fire();   // a cool-down fires nothing and starts no reload
    EXPECT_EQ(std::make_tuple(world.projectiles.projectiles.size(), s->GetCurrentWeapon().clip, s->action),
              std::make_tuple(size_t(1), 5, (int)ACTION_NONE));
}

TEST_F(Battle, AThrownWeaponOnlyAnimates) {
    CSoldier* s = AddSoldier(Vector3{});
    s->weapons[0] = CWeapon(WeaponKnife, &world, WEAPON_HELD);
    Run(s, 0.1f);
    s->Fire();
    EXPECT_EQ(s->action, ACTION_THROW_WEAPON);
    EXPECT_FLOAT_EQ(s->actionTimer, GetWeaponType(WeaponKnife).coolDown);
    EXPECT_TRUE(s->animator.IsPlaying("throw_g"));
    EXPECT_TRUE(world.projectiles.projectiles.empty()) << "no projectile, no damage";
}

TEST_F(Battle, OtherSoldiersRifleSoundsShareABudget) {
    CSoldier* player = AddSoldier(Vector3{});
    CSoldier* other = AddSoldier(Vector3{20, 0, 0});
    world.playerSoldier = player;
    int before = RifleSoundRequests();
    for (int i = 0; i < 14; i++) {
        other->GetCurrentWeapon().coolDown = 0.0f;
        other->Fire();
        EXPECT_EQ(RifleSoundRequests() - before, i < 13 ? i + 1 : 13) << "shot " << i + 1;
    }
    EXPECT_EQ(world.projectiles.projectiles.size(), 14u) << "silent shots still fly";
    player->Fire();
    EXPECT_EQ(RifleSoundRequests() - before, 14) << "the player is always heard";
    other->Update(1.0f);
    EXPECT_GT(world.soundBudget, 1.0f) << "only the player's updates drain it";
    player->Update(0.25f);
    other->GetCurrentWeapon().coolDown = 0.0f;
    other->Fire();
    EXPECT_EQ(RifleSoundRequests() - before, 15);
}

TEST_F(Battle, GrenadeThrowReleasesAfterTheClipAndRecovers) {
    CSoldier* s = AddSoldier(Vector3{});
    Run(s, 0.1f);
    s->SetAimPoint(Vector3{1, 0, 0}, 20.0f, true);
    s->StartThrow();
    ASSERT_EQ(s->action, ACTION_THROW_GRENADE);
    float length = 0.0f;
    ASSERT_TRUE(GetAnimationClipLength("throw_g", length));
    EXPECT_FLOAT_EQ(s->actionTimer, length - 0.3f);
    s->UpdateAction(length);
    EXPECT_TRUE(world.projectiles.projectiles.empty());
    s->UpdateAction(0.01f);
    ASSERT_EQ(world.projectiles.projectiles.size(), 1u);
    const CProjectile& g = world.projectiles.projectiles.front();
    EXPECT_EQ(g.kind, ProjectileGrenade);
    EXPECT_EQ(g.damage, GetGrenadeType(0).blast);
    EXPECT_GT(g.body.direction.x, 0.9f);
    EXPECT_EQ(s->grenades.size(), 1u);
    EXPECT_EQ(s->action, ACTION_THROW_RECOVERY);
    EXPECT_FLOAT_EQ(s->actionTimer, 2.0f);

    s->grenades.clear();
    s->action = ACTION_NONE;
    s->StartThrow();
    EXPECT_EQ(s->action, ACTION_NONE) << "nothing to throw";
}

TEST_F(Battle, PickUpWithTwoWeaponsSwapsWithTheCurrentOne) {
    CSoldier* s = AddSoldier(Vector3{});
    CWeapon launcher(2, &world, WEAPON_FLYING);
    launcher.SetPosition(Vector3{1, 0, 0});
    CWeapon mortar(5, &world, WEAPON_FLYING);
    mortar.SetPosition(Vector3{1, 0, 0});
    world.AddDroppedWeapon(launcher);
    Run(s, 0.1f);
    s->PickUpWeapon();
    ASSERT_EQ(s->weapons.size(), 2u);
    EXPECT_EQ(WeaponState(s->GetCurrentWeapon()),
              std::make_tuple(2, launcher.clip, launcher.reserve, (int)WEAPON_HELD));
    EXPECT_TRUE(world.droppedWeapons.empty());
    EXPECT_EQ(s->weaponInReach, nullptr);

    // Back to the rifle, three rounds fired: its clip and reserve go with it.
    Run(s, 2.1f);
    s->SwitchWeapon();
    Run(s, 0.6f);
    ASSERT_EQ(s->GetCurrentWeapon().type, WeaponRifle);
    for (int shot = 0; shot < 3; shot++) {
        s->GetCurrentWeapon().coolDown = 0.0f;
        s->Fire();
    }
    const int rifleClip = s->GetCurrentWeapon().clip, rifleReserve = s->GetCurrentWeapon().reserve;
    ASSERT_EQ(rifleClip, GetWeaponType(WeaponRifle).clipSize - 3);
    mortar.reserve = 4;   // part used by whoever dropped it
    world.AddDroppedWeapon(mortar);
    Run(s, 0.1f);
    s->PickUpWeapon();
    ASSERT_EQ(s->weapons.size(), 2u);
    EXPECT_EQ(WeaponState(s->GetCurrentWeapon()), std::make_tuple(5, mortar.clip, 4, (int)WEAPON_HELD));
    ASSERT_EQ(world.droppedWeapons.size(), 1u);
    CWeapon& left = world.droppedWeapons.front();   // lies in the world, moved by physics
    EXPECT_EQ(WeaponState(left), std::make_tuple((int)WeaponRifle, rifleClip, rifleReserve, (int)WEAPON_FLYING));
    EXPECT_LT(Vector3Distance(left.GetPosition(), NodeTranslation(s->model.FindNode("RHand"))),
              0.2f);
    EXPECT_EQ(s->action, ACTION_PICK_UP);
    // Both bodies ride their own trees; the world's weapon falls to the ground.
    Run(s, 2.1f);
    for (int i = 0; i < 40; i++)
        left.Update(0.05f);
    EXPECT_NEAR(left.GetPosition().z, 0.0f, 1e-3f);
}

TEST_F(Battle, DropAndSwitchKeepTheCurrentIndexInRange) {
    CSoldier* s = AddSoldier(Vector3{});
    s->weapons.emplace_back(2, &world, WEAPON_HELD);
    s->GetCurrentWeapon().clip = 0;
    s->Fire();
    ASSERT_EQ(s->action, ACTION_RELOAD);
    s->SwitchWeapon();
    EXPECT_EQ(s->action, ACTION_SWITCH) << "a reload is abandoned";
    EXPECT_EQ(s->currentWeapon, 1);
    s->UpdateAction(0.5f);
    s->UpdateAction(0.01f);
    EXPECT_EQ(s->action, ACTION_NONE);

    s->DropWeapon();
    EXPECT_EQ(s->action, ACTION_DROP);
    EXPECT_EQ(s->weapons.size(), 1u);
    EXPECT_EQ(s->currentWeapon, 0);
    ASSERT_EQ(world.droppedWeapons.size(), 1u);
    EXPECT_EQ(std::make_pair(world.droppedWeapons.front().type, world.droppedWeapons.front().state),
              std::make_pair(2, (int)WEAPON_FLYING));
    s->action = ACTION_NONE;
    s->DropWeapon();
    EXPECT_TRUE(s->weapons.empty());
    EXPECT_EQ(&s->GetCurrentWeapon(), &s->fallbackWeapon);
}

}  // namespace
