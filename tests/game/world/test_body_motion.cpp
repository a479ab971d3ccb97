// Body steps, grounding and world queries against a flat fake ground.
#include <cmath>
#include <tuple>

#include "game/world/physics_body.h"
#include "game/world/world_query.h"
#include "tests/game/world/fake_world.h"

namespace {

class BodyMotion : public CollisionTest {};

// A fake world on flat ground 100 units wide, of tiles x tiles squares.
struct GroundWorld : FakeWorld {
    GroundWorld(const char* name, int tiles, float z = 0.0f) : ground(name, 100.0f, tiles, z) { terrain = &ground; }
    FakeTerrain ground;
};

TEST_F(BodyMotion, ForcesAndGravity) {
    PhysicsBody body;
    body.mass = 2.0f;
    body.gravity = 0.0f;
    body.AddForce(Vector3{4, 0, 0}, 0.05f);
    body.AddImpulse(Vector3{0, 2, 0});
    body.Step(0.1f);
    // Both act this step (v = F / m x dt), then neither acts again.
    ExpectNear3(body.velocity, Vector3{0.2f, 0.1f, 0});
    body.Step(0.1f);
    ExpectNear3(body.velocity, Vector3{0.2f, 0.1f, 0});

    // No mass: forces are ignored rather than dividing by zero.
    PhysicsBody light;
    light.mass = 0.0f;
    light.AddForce(Vector3{1, 1, 1}, 1.0f);
    light.Step(0.1f);
    ExpectNear3(light.velocity, Vector3{0, 0, -0.98f});
}

TEST_F(BodyMotion, ItemFallsAndRestsExactlyOnTheGround) {
    GroundWorld world("coltest_ground1", 2, 3.0f);
    PhysicsBody item;
    item.position = Vector3{20, 20, 10};
    item.velocity = Vector3{1, 0, 0};
    int steps = 0;
    while (!item.resting && steps++ < 100)
        MoveAndCollideItem(item, world, nullptr, 0.1f);
    ASSERT_TRUE(item.resting);
    EXPECT_FLOAT_EQ(item.position.z, 3.0f);
    ExpectNear3(item.velocity, Vector3{0, 0, 0});
    ExpectNear3(item.groundNormal, Vector3{0, 0, 1});
    Vector3 rest = item.position;
    MoveAndCollideItem(item, world, nullptr, 0.1f);
    ExpectNear3(item.position, rest);
}

TEST_F(BodyMotion, NothingTeleportsWhenBothRaysMiss) {
    GroundWorld world("coltest_ground2", 2);
    // Beyond the edge of the ground.
    PhysicsBody item;
    item.position = Vector3{150, 150, 5};
    MoveAndCollideItem(item, world, nullptr, 0.1f);
    EXPECT_FALSE(item.resting);
    EXPECT_EQ(std::make_pair(item.position.x, item.position.y), std::make_pair(150.0f, 150.0f));
    EXPECT_LT(item.position.z, 5);
    // It never falls for ever.
    item.position.z = FallFloor + 0.01f;
    item.velocity.z = -100;
    MoveAndCollideItem(item, world, nullptr, 0.1f);
    EXPECT_TRUE(item.resting);
    EXPECT_EQ(std::make_pair(item.position.x, item.position.z), std::make_pair(150.0f, FallFloor));

    SoldierBody soldier;
    soldier.position = Vector3{-20, 50, 1};
    MoveAndCollideSoldier(soldier, world, nullptr, 0.1f);
    EXPECT_FALSE(soldier.grounded);
    EXPECT_FLOAT_EQ(soldier.position.x, -20);
}

TEST_F(BodyMotion, SoldiersLandAndTakeOff) {
    GroundWorld world("coltest_ground3", 2);
    SoldierBody s;
    s.position = Vector3{10, 10, 0.05f};
    s.velocity = Vector3{0, 0, -3};
    MoveAndCollideSoldier(s, world, nullptr, 0.1f);
    ASSERT_TRUE(s.grounded);
    EXPECT_EQ(std::make_pair(s.position.z, s.velocity.z), std::make_pair(0.0f, 0.0f)) << "no downward speed kept";
    // Far above the ground: airborne.
    s.position.z = 150;
    MoveAndCollideSoldier(s, world, nullptr, 0.01f);
    EXPECT_FALSE(s.grounded);
    EXPECT_GT(s.position.z, 149);
}

TEST_F(BodyMotion, GroundTiltIsDefinedEverywhere) {
    Matrix3 tilt;
    GroundTilt(tilt, Vector3{0, 0, 1});
    for (int i = 0; i < 9; i++)
        EXPECT_FLOAT_EQ(tilt.m[i], (i % 4 == 0) ? 1.0f : 0.0f);
    Vector3 n{0.3f, -0.4f, std::sqrt(1 - 0.25f)};
    GroundTilt(tilt, n);
    Vector3 up;
    Matrix3TransformVector3(up, tilt, Vector3{0, 0, 1});
    ExpectNear3(up, n);

    // A vehicle grounded on a slope takes the tilt, coming to rest stops its fall.
    GroundWorld world("coltest_ground4", 1);
    VehicleBody v;
    v.position = Vector3{50, 50, 0.01f};
    v.verticalSpeed = -5;
    MoveAndCollideVehicle(v, world, nullptr, 0.1f);
    EXPECT_TRUE(v.grounded);
    EXPECT_EQ(std::make_pair(v.verticalSpeed, v.tilt.m[0]), std::make_pair(0.0f, 1.0f));
}

TEST_F(BodyMotion, QueriesReturnTheNearestAndSkipTheExcluded) {
    GroundWorld world("coltest_ground5", 4);
    FakeSoldier* near = world.AddSoldier(Vector3{10, 0, 5});
    FakeSoldier* far = world.AddSoldier(Vector3{20, 0, 5});
    Ray ray{{0, 0, 5}, {1, 0, 0}};
    CollisionContact c;
    ASSERT_TRUE(WorldQuery(world, ray, QUERY_ALL, c, nullptr, 3, true));
    EXPECT_EQ(std::make_tuple(c.object, c.kind, c.bodyPart),
              std::make_tuple((void*)static_cast<CSoldierTarget*>(near), (int)CONTACT_SOLDIER, (int)ContactBodyPart));
    EXPECT_NEAR(c.point.x, 9.5f, 1e-4f);
    EXPECT_NEAR(c.distanceSquared, 9.5f * 9.5f, 1e-2f);
    ASSERT_NE(c.node, nullptr);
    EXPECT_EQ(c.node->name, "Hip");
    ExpectNear3(c.normal, Vector3{-1, 0, 0});
    ASSERT_TRUE(WorldQuery(world, ray, QUERY_ALL, c, static_cast<CSoldierTarget*>(near), 3, true));
    EXPECT_EQ(c.object, static_cast<CSoldierTarget*>(far));
    // Coarser precisions stop earlier, at the part's sphere or box.
    ASSERT_TRUE(WorldQuery(world, ray, QUERY_SOLDIERS, c, nullptr, 1, true));
    EXPECT_LT(c.point.x, 9.5f);
    ASSERT_TRUE(WorldQuery(world, ray, QUERY_SOLDIERS, c, nullptr, 2, true));
    EXPECT_NEAR(c.point.x, 9.5f, 1e-3f);
    // The sets select what is seen; the segment form stops at its end.
    ray.direction = Vector3{0, 0, -1};
    ray.origin = Vector3{10, 0, 50};
    ASSERT_TRUE(WorldQuery(world, ray, QUERY_TERRAIN, c, nullptr, 3, true));
    EXPECT_EQ(c.kind, CONTACT_NONE);
    EXPECT_NEAR(c.point.z, 0.0f, 1e-5f);
    ASSERT_TRUE(WorldQuerySegment(world, Vector3{10, 0, 50}, Vector3{10, 0, -1}, QUERY_ALL, c, nullptr));
    EXPECT_EQ(c.kind, CONTACT_SOLDIER);
    EXPECT_NEAR(c.point.z, 6.5f, 1e-4f);   // the top of the chest
    EXPECT_FALSE(WorldQuerySegment(world, Vector3{10, 0, 50}, Vector3{10, 0, 7}, QUERY_ALL, c, nullptr));
}

TEST_F(BodyMotion, OverlappingItemsNearestFirstWeaponsWinTies) {
    FakeWorld world;
    CCollisionBody weaponBody, grenadeBody;
    weaponBody.sphere = Sphere{{3, 0, 0}, 1};
    grenadeBody.sphere = Sphere{{-3, 0, 0}, 1};
    int weapon = 0, grenade = 0;
    world.weapons.push_back(WorldBodyEntry{&weaponBody, &weapon});
    world.grenades.push_back(WorldBodyEntry{&grenadeBody, &grenade});
    void* item = nullptr;
    int kind = -1;
    EXPECT_FALSE(FindOverlappingObjects(world, Sphere{{0, 0, 0}, 1.5f}, item, kind));
    ASSERT_TRUE(FindOverlappingObjects(world, Sphere{{0, 0, 0}, 2.0f}, item, kind));
    EXPECT_EQ(std::make_pair(item, kind), std::make_pair((void*)&weapon, 0));
    ASSERT_TRUE(FindOverlappingObjects(world, Sphere{{-1, 0, 0}, 2.0f}, item, kind));
    EXPECT_EQ(std::make_pair(item, kind), std::make_pair((void*)&grenade, 1));
}

} // namespace
