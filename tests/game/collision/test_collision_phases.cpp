// The projectile sweep, the collision response and the blast, against fake
// soldiers and a flat fake ground.
#include <cmath>

#include "core/random.h"
#include "game/collision/collision_phases.h"
#include "game/particles/particle_system.h"
#include "tests/game/world/fake_world.h"

namespace {

class CollisionPhases : public CollisionTest {
protected:
    void TearDown() override {
        ClearModelCache();
        CollisionTest::TearDown();
    }
};

unsigned fakeNow = 0;
unsigned StoppedClock() { return fakeNow; }
// Every reading a millisecond later: each phase spends the budget.
unsigned RunningClock() { return fakeNow++; }

TEST_F(CollisionPhases, PhasesCycleWithinTheBudgetAndTheSweepNeverSkips) {
    FakeWorld world;
    FakeSoldier* target = world.AddSoldier(Vector3{10, 0, 0});
    CCollisionPhases phases(&world);
    phases.SetClock(StoppedClock);
    phases.Run(CollisionBudget, false);
    for (int i = 0; i < CollisionPhaseCount; i++)
        EXPECT_EQ(phases.GetRunCount(i), 1);
    EXPECT_EQ(phases.GetNextPhase(), 0);

    phases.SetClock(RunningClock);
    FakeProjectile bullet(1, Vector3{0, 0, 0}, Vector3{1, 0, 0});
    world.projectiles.push_back(&bullet);
    for (int frame = 1; frame <= 5; frame++) {
        phases.Run(CollisionBudget, false);
        EXPECT_EQ(phases.GetNextPhase(), frame % 5);
        // Each frame's step is swept, whichever phase ran.
        bullet.body.previous = Vector3{frame * 1.0f, 0, 0};
        bullet.body.position = Vector3{frame + 1.0f, 0, 0};
    }
    EXPECT_EQ(phases.GetRunCount(0), 2);
    EXPECT_EQ(phases.GetRunCount(4), 2);
    // Steps 0-1 .. 4-5 reach nobody; one more to 9.8 reaches the box at 9.5.
    EXPECT_TRUE(bullet.alive);
    bullet.body.previous = Vector3{5, 0, 0};
    bullet.body.position = Vector3{9.8f, 0, 0};
    phases.Run(CollisionBudget, false);
    EXPECT_FALSE(bullet.alive);
    EXPECT_FLOAT_EQ(target->damageTaken, 25.0f);

    // A budget of 0 runs nothing.
    int before = phases.GetRunCount(phases.GetNextPhase());
    phases.Run(0.0, true);
    EXPECT_EQ(phases.GetRunCount(phases.GetNextPhase()), before);
}

TEST_F(CollisionPhases, BulletHitsOnlyTheNearerLivingStranger) {
    FakeWorld world;
    FakeSoldier* owner = world.AddSoldier(Vector3{2, 0, 0});
    FakeSoldier* dead = world.AddSoldier(Vector3{5, 0, 0}, 0.0f);
    FakeSoldier* near = world.AddSoldier(Vector3{10, 0, 0});
    FakeSoldier* far = world.AddSoldier(Vector3{15, 0, 0});
    world.player = owner;
    FakeProjectile bullet(1, Vector3{0, 0, 0}, Vector3{20, 0, 0});
    bullet.owner = owner;
    world.projectiles.push_back(&bullet);
    CCollisionPhases phases(&world);
    phases.SetClock(StoppedClock);
    GameSrand(7);
    phases.Run(CollisionBudget, false);
    EXPECT_FALSE(bullet.alive);
    EXPECT_FLOAT_EQ(owner->damageTaken, 0);
    EXPECT_FLOAT_EQ(dead->damageTaken, 0);
    EXPECT_FLOAT_EQ(near->damageTaken, 25);
    EXPECT_FLOAT_EQ(far->damageTaken, 0);
    // The player's hit is recorded with the node's name.
    ASSERT_EQ(world.hits.size(), 1u);
    EXPECT_EQ(world.hits[0].text, "Hip");
    EXPECT_NEAR(world.hits[0].point.x, 9.5f, 1e-4f);

    // A projectile that did not move is not tested at all.
    FakeProjectile still(1, Vector3{10, 0, 0}, Vector3{10, 0, 0.000005f});
    world.projectiles = {&still};
    phases.Run(CollisionBudget, false);
    EXPECT_TRUE(still.alive);
}

TEST_F(CollisionPhases, GroundInFrontShieldsASoldierBehindIt) {
    FakeTerrain ground("coltest_ridge", 40, 2, 0.0f);
    FakeWorld world;
    world.terrain = &ground;
    FakeSoldier* s = world.AddSoldier(Vector3{10, 10, -1.2f});   // chest pokes up through the ground
    FakeProjectile bullet(1, Vector3{10, 10, 5}, Vector3{10, 10, -2});
    world.projectiles.push_back(&bullet);
    CCollisionPhases phases(&world);
    phases.SetClock(StoppedClock);
    phases.Run(CollisionBudget, false);
    EXPECT_FALSE(bullet.alive);
    // The top of the chest (z 0.3) comes first; then with the soldier below ground the ground does.
    EXPECT_FLOAT_EQ(s->damageTaken, 25);
    FakeSoldier* buried = world.AddSoldier(Vector3{30, 30, -3});
    FakeProjectile second(1, Vector3{30, 30, 5}, Vector3{30, 30, -3.5f});
    world.projectiles = {&second};
    phases.Run(CollisionBudget, false);
    EXPECT_FALSE(second.alive);
    EXPECT_FLOAT_EQ(buried->damageTaken, 0);
}

TEST_F(CollisionPhases, GrenadesBounceLoseSpeedAndComeToRest) {
    FakeTerrain ground("coltest_bounce", 40, 1, 0.0f);
    FakeWorld world;
    world.terrain = &ground;
    FakeProjectile grenade(6, Vector3{10, 10, 1}, Vector3{11, 10, -1}, 10.0f);
    grenade.bounce = 0.5f;
    world.projectiles.push_back(&grenade);
    CCollisionPhases phases(&world);
    phases.SetClock(StoppedClock);
    phases.Run(CollisionBudget, false);
    EXPECT_TRUE(grenade.alive);
    EXPECT_EQ(grenade.bounces, 1);   // the fuse starts
    EXPECT_FLOAT_EQ(grenade.body.speed, 5.0f);
    EXPECT_GT(grenade.body.direction.z, 0.0f);
    EXPECT_NEAR(grenade.body.position.z, 0.01f, 1e-5f);
    EXPECT_NEAR(grenade.body.position.x, 10.5f, 1e-4f);
    EXPECT_FALSE(grenade.body.frozen);
    // Down again, slowly: below 0.001 it rests on the ground.
    for (int i = 0; i < 20 && !grenade.body.frozen; i++) {
        Vector3 at = grenade.body.position;
        grenade.body.previous = at;
        grenade.body.position = Vector3{at.x, at.y, at.z - 0.5f};
        grenade.body.direction = Vector3{0, 0, -1};
        phases.Run(CollisionBudget, false);
    }
    EXPECT_TRUE(grenade.body.frozen);
    EXPECT_LT(grenade.body.speed, 0.001f);
    EXPECT_NEAR(grenade.body.position.z, 0.0f, 1e-5f);
}

TEST_F(CollisionPhases, BlastFallsOffWithDistanceArmourFirst) {
    FakeWorld world;
    FakeSoldier* centre = world.AddSoldier(Vector3{0, 0, 0}, 50, 10);
    FakeSoldier* edge = world.AddSoldier(Vector3{4, 0, 0}, 1000, 0);
    FakeSoldier* beyond = world.AddSoldier(Vector3{50, 0, 0}, 100, 0);
    FakeSoldier* dead = world.AddSoldier(Vector3{1, 0, 0}, 0, 0);
    ProjectileHitTest(world, Sphere{{0, 0, 0}, BlastRadius}, 30.0f);
    // Full damage at the centre: armour 10 takes 10, health the other 20.
    EXPECT_FLOAT_EQ(centre->armour, 0);
    EXPECT_FLOAT_EQ(centre->health, 30);
    // One radius away (the hip's box centre): e^-1 of it.
    EXPECT_NEAR(1000 - edge->health, 30 * std::exp(-1.0f), 1e-3f);
    EXPECT_FLOAT_EQ(beyond->health, 100);
    EXPECT_EQ(dead->hitReactions, 0);
    EXPECT_EQ(centre->hitReactions, 1);
    ASSERT_EQ(world.hits.size(), 2u);
    EXPECT_EQ(world.hits[0].text, "30");
    EXPECT_EQ(world.hits[1].text, "11");

    // A blast that kills drops the items and leaves the team.
    ProjectileHitTest(world, Sphere{{0, 0, 0}, BlastRadius}, 100.0f);
    EXPECT_FLOAT_EQ(centre->health, 0);
    EXPECT_EQ(centre->dropped, 1);
    EXPECT_EQ(centre->leftTeam, 1);
    // No radius, no blast.
    ProjectileHitTest(world, Sphere{{4, 0, 0}, 0.0f}, 100.0f);
    EXPECT_GT(edge->health, 900);

    // Damage past any integer type, or not a number, still makes a record.
    world.hits.clear();
    edge->health = 1e30f;
    ProjectileHitTest(world, Sphere{{4, 0, 0}, BlastRadius}, 1e19f);
    ProjectileHitTest(world, Sphere{{4, 0, 0}, BlastRadius}, std::nanf(""));
    ASSERT_EQ(world.hits.size(), 2u);
    EXPECT_EQ(world.hits[0].text, "9999999980506447872");
    EXPECT_EQ(world.hits[1].text, "0");
}

TEST_F(CollisionPhases, LimbsTearButNeverHipChestOrARoot) {
    FakeWorld world;
    FakeSoldier* s = world.AddSoldier(Vector3{0, 0, 0});
    s->health = 1e9f;
    CParticleSystem particles;
    world.particles = &particles;
    CCollisionPhases phases(&world);
    phases.SetClock(StoppedClock);
    GameSrand(1);
    int torn = 0, chestHits = 0;
    // The chest from the front: never torn however often.
    for (int i = 0; i < 60; i++) {
        FakeProjectile b(1, Vector3{0, -5, 1.0f}, Vector3{0, 5, 1.0f});
        world.projectiles = {&b};
        phases.Run(CollisionBudget, false);
        chestHits += !b.alive;
    }
    EXPECT_EQ(chestHits, 60);
    EXPECT_TRUE(world.scrap.empty());
    EXPECT_EQ(particles.GetBursts().size(), 60u);
    // The arm tears in about one hit of ten, then it is gone, from the
    // bones held by pointer too.
    ASSERT_NE(s->arm.Get(s->model, 0), nullptr);
    for (int i = 0; i < 200 && world.scrap.empty(); i++) {
        FakeProjectile b(1, Vector3{1.0f, -5, 1.0f}, Vector3{1.0f, 5, 1.0f});
        world.projectiles = {&b};
        phases.Run(CollisionBudget, false);
        torn++;
    }
    ASSERT_EQ(world.scrap.size(), 1u);
    EXPECT_LT(torn, 200);
    EXPECT_EQ(world.scrap[0].node->name, "LArm");
    EXPECT_EQ(world.scrap[0].node->parent, nullptr);
    EXPECT_EQ(world.scrap[0].part->parent, nullptr);
    EXPECT_NEAR(world.scrap[0].velocity.y, 150.0f, 1e-3f);
    EXPECT_EQ(s->model.FindNode("LArm"), nullptr);
    EXPECT_EQ(s->arm.Get(s->model, 0), nullptr);
    EXPECT_EQ(s->collision.root->FindPart(world.scrap[0].node.get()), nullptr);

    // A hit on a root node with the marker never tears it.
    CollisionContact root;
    root.kind = CONTACT_SOLDIER;
    root.object = static_cast<CSoldierTarget*>(s);
    root.node = s->model.GetRoot();
    root.bodyPart = ContactBodyPart;
    s->model.GetRoot()->name = "Root";
    for (int i = 0; i < 100; i++) {
        FakeProjectile b(1, Vector3{0, -5, 0}, Vector3{0, 5, 0});
        CollisionContact c = root;
        CollisionResponse(c, b, world);
    }
    EXPECT_EQ(world.scrap.size(), 1u);
    EXPECT_EQ(s->model.GetRoot()->parent, nullptr);
}

TEST_F(CollisionPhases, ResponseTableByKindAndBehaviour) {
    FakeWorld world;
    FakeSoldier* s = world.AddSoldier(Vector3{0, 0, 0});
    CParticleSystem particles;
    world.particles = &particles;
    int vehicle = 0;
    struct Case {
        int kind, behaviour;
        bool alive;
        float damage;      // dealt to the soldier
        float speed;       // after a bounce off the surface facing -y; 0 unchecked
        int bounces;
        size_t emitters;   // fire effects attached so far
        bool unseen;
    };
    const Case cases[] = {
        {CONTACT_SOLDIER, 2, false, 0, 0, 0, 0, false},    // 2 and 5 only stop
        {CONTACT_SOLDIER, 5, false, 0, 0, 0, 0, false},
        {CONTACT_SOLDIER, 3, false, 25, 0, 0, 1, false},   // 3 damages and sets alight
        {CONTACT_SOLDIER, 6, true, 0, 4, 1, 1, false},     // a grenade bounces, losing speed
        {CONTACT_VEHICLE, 3, false, 0, 0, 0, 1, false},    // fire on a vehicle attaches nothing
        {CONTACT_FURTHER, 6, true, 0, 4, 0, 1, false},     // reflects without the flag
        {CONTACT_VEHICLE, 4, true, 0, 0, 0, 1, false},     // unknown behaviours pass through
        {CONTACT_SOLDIER, 4, true, 0, 0, 0, 1, false},
        {CONTACT_VEHICLE, 1, false, 0, 0, 0, 1, true},     // bullets out of view: no sparks
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << k.kind << ", behaviour " << k.behaviour);
        CollisionContact c;
        c.kind = k.kind;
        c.object = k.kind == CONTACT_SOLDIER ? static_cast<void*>(static_cast<CSoldierTarget*>(s)) : &vehicle;
        c.normal = Vector3{0, -1, 0};
        c.point = Vector3{0, -0.5f, 0};
        world.outsideView = k.unseen;
        FakeProjectile p(k.behaviour, Vector3{0, -5, 0}, Vector3{0, 5, 0}, 8.0f);
        const float before = s->damageTaken;
        CollisionResponse(c, p, world);
        EXPECT_EQ(p.alive, k.alive);
        EXPECT_FLOAT_EQ(s->damageTaken - before, k.damage);
        if (k.speed > 0) {
            EXPECT_FLOAT_EQ(p.body.speed, k.speed);
            ExpectNear3(p.body.direction, Vector3{0, -1, 0});
        }
        EXPECT_EQ(p.bounces, k.bounces);
        ASSERT_EQ(particles.GetAttachedEmitters().size(), k.emitters);
        if (k.emitters) {
            EXPECT_EQ(particles.GetAttachedEmitters().front()->object, static_cast<CWorldObject*>(s));
        }
    }
    EXPECT_TRUE(particles.GetBursts().empty());
}

} // namespace
