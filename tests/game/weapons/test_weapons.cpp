// Weapons' ammunition rules, weapon copies, and projectile lifetimes.
#include "tests/game/soldiers/battle_fixture.h"

#include "game/collision/collision_body.h"

namespace {

const int FlarePistol = 3;   // clip 12, maximum reserve 48

TEST_F(Battle, WeaponAmmunitionAndCoolDown) {
    CWeapon w(FlarePistol, &world, WEAPON_HELD);
    EXPECT_EQ(std::make_pair(w.clip, w.reserve), std::make_pair(12, 48));
    // A reload from (clip, reserve): whether any shot moved, and what is left.
    const struct { int clip, reserve; bool moved; int clipAfter, reserveAfter; } reloads[] = {
        {3, 5, true, 8, 0}, {8, 0, false, 8, 0}, {3, 20, true, 12, 11}};
    for (const auto& r : reloads) {
        w.clip = r.clip;
        w.reserve = r.reserve;
        EXPECT_EQ(w.Reload(), r.moved) << r.clip << " + " << r.reserve;
        EXPECT_EQ(std::make_pair(w.clip, w.reserve), std::make_pair(r.clipAfter, r.reserveAfter));
    }
    w.reserve = 40;
    EXPECT_EQ(w.AddAmmo(30), 8);
    EXPECT_EQ(w.reserve, 48);

    // Firing needs ammunition and an ended cool-down.
    CWeapon rifle(WeaponRifle, &world, WEAPON_HELD);
    rifle.clip = 1;
    EXPECT_TRUE(rifle.TryFire());
    EXPECT_EQ(rifle.clip, 0);
    rifle.clip = 5;
    EXPECT_FALSE(rifle.TryFire()) << "still cooling down";
    EXPECT_EQ(rifle.clip, 5);
    rifle.Update(1.0f);   // the cool-down overshoots below 0 ...
    EXPECT_FALSE(rifle.coolDown > 0.0f);
    rifle.Update(0.01f);  // ... and is then held at 0
    EXPECT_EQ(rifle.coolDown, 0.0f);
    EXPECT_TRUE(rifle.TryFire());

    CWeapon knife(WeaponKnife, &world, WEAPON_HELD);
    knife.clip = 0;
    EXPECT_TRUE(knife.TryFire()) << "thrown weapons need no ammunition";
    EXPECT_EQ(knife.clip, 0);
}

// Every node of a model's tree.
std::vector<CNode*> Nodes(const CModel& model) {
    std::vector<CNode*> nodes{model.GetRoot()};
    model.GetRoot()->CollectDescendants(nodes);
    return nodes;
}

bool PartsPointInto(CCollisionPart* part, const std::vector<CNode*>& nodes) {
    if (std::find(nodes.begin(), nodes.end(), part->node) == nodes.end())
        return false;
    for (CCollisionPart* c : part->children) {
        if (!PartsPointInto(c, nodes))
            return false;
    }
    return true;
}

TEST_F(Battle, CopiesOwnTheirModelsAndBodies) {
    auto original = std::make_unique<CWeapon>(WeaponRifle, &world, WEAPON_FLYING);
    ASSERT_NE(original->model.GetRoot(), nullptr);
    ASSERT_NE(original->collision.root, nullptr);
    CWeapon copy(*original);
    CWeapon assigned(WeaponKnife, &world, WEAPON_HELD);
    assigned = *original;
    for (CWeapon* w : {&copy, &assigned}) {
        EXPECT_NE(w->model.GetRoot(), original->model.GetRoot());
        ASSERT_NE(w->collision.root, nullptr);
        EXPECT_TRUE(PartsPointInto(w->collision.root, Nodes(w->model)));
        EXPECT_NE(w->FindMuzzle(), nullptr);
    }
    original.reset();   // the copies must not reach into its freed nodes
    copy.Update(0.1f);
    assigned.Update(0.1f);

    CGrenadeItem item(0, &world, 0);
    std::vector<CGrenadeItem> items(3, item);   // copied into a growing vector
    items.push_back(item);
    for (CGrenadeItem& g : items) {
        ASSERT_NE(g.collision.root, nullptr);
        EXPECT_TRUE(PartsPointInto(g.collision.root, Nodes(g.model)));
    }
}

TEST_F(Battle, ProjectileLifetimes) {
    CProjectileManager& m = world.projectiles;
    CProjectile* p = m.Fire(ProjectileRifle, Vector3{1990.0f, 0, 0}, Vector3{2.0f, 0, 0}, 100.0f,
                            25.0f, nullptr);
    EXPECT_FLOAT_EQ(p->body.direction.x, 1.0f);
    m.Update(0.05f);
    EXPECT_TRUE(p->alive);
    EXPECT_NEAR(p->body.position.x, 1995.0f, 0.01f);
    m.Update(0.1f);
    EXPECT_FALSE(p->alive) << "at 2005";
    EXPECT_EQ(m.projectiles.size(), 1u) << "removed only in the update after it ends";
    m.Update(0.1f);
    EXPECT_TRUE(m.projectiles.empty());

    // Flares burn out; grenades wait for their first bounce.
    CProjectile* flare = m.Fire(ProjectileFlare, Vector3{}, Vector3{1, 0, 0}, 1.0f, 10.0f, nullptr);
    CProjectile* grenade =
        m.Fire(ProjectileGrenade, Vector3{0, 0, 500}, Vector3{0, 0, 1}, 0.0f, 80.0f, nullptr);
    CProjectile* armed =
        m.Fire(ProjectileGrenade, Vector3{0, 0, 500}, Vector3{0, 0, 1}, 0.0f, 80.0f, nullptr);
    armed->SetBounced();
    for (int i = 0; i < 14; i++)
        m.Update(0.1f);
    // 1.4 s: a flare burns for 1.5, a bounced grenade's fuse for 2.
    EXPECT_EQ(std::make_tuple(flare->alive, grenade->alive, armed->alive), std::make_tuple(true, true, true));
    for (int i = 0; i < 9; i++)
        m.Update(0.1f);
    EXPECT_EQ(m.projectiles.size(), 1u) << "flare and armed grenade are gone";
    EXPECT_EQ(&m.projectiles.front(), grenade);
    EXPECT_FALSE(grenade->armed);
}

TEST_F(Battle, RemovingAProjectileClearsEveryPointerToIt) {
    CSoldier* s = AddSoldier(Vector3{});
    CProjectile* grenade =
        world.projectiles.Fire(ProjectileGrenade, Vector3{0, 0, 5}, Vector3{1, 0, 0}, 1.0f, 80.0f, s);
    int32_t effectRunning = 1;
    grenade->effectFlag = &effectRunning;
    s->ai.rememberedGrenade = grenade;
    grenade->Stop();
    world.projectiles.Update(0.1f);
    EXPECT_TRUE(world.projectiles.projectiles.empty());
    EXPECT_EQ(s->ai.rememberedGrenade, nullptr);
    EXPECT_EQ(effectRunning, 0);
}

}  // namespace
