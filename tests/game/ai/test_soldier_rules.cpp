#include <gtest/gtest.h>

#include <cmath>

#include "core/random.h"
#include "game/ai/cover.h"
#include "game/ai/formation.h"
#include "game/ai/perception.h"
#include "game/ai/steering.h"
#include "game/ai/targeting.h"

namespace {

Vector3 At(float degrees, float distance) {
    const float a = degrees * 3.14159265f / 180.0f;
    return Vector3{std::cos(a) * distance, std::sin(a) * distance, 0.0f};
}

}  // namespace

TEST(CanSeePoint, SixtyDegreesEitherSideWithinAHundredUnits) {
    const Vector3 eye{}, facing{1, 0, 0};
    EXPECT_TRUE(CanSeePoint(eye, facing, At(59.0f, 99.0f)));
    EXPECT_TRUE(CanSeePoint(eye, facing, At(-59.0f, 99.0f)));
    EXPECT_FALSE(CanSeePoint(eye, facing, At(61.0f, 50.0f)));
    EXPECT_FALSE(CanSeePoint(eye, facing, At(180.0f, 10.0f)));
    EXPECT_TRUE(CanSeePoint(eye, facing, Vector3{100.0f, 0, 0}));
    EXPECT_FALSE(CanSeePoint(eye, facing, Vector3{100.1f, 0, 0}));
    EXPECT_FALSE(CanSeePoint(eye, facing, eye));  // no cone at zero distance
}

TEST(TargetScore, TableBandsAndMultipliers) {
    // Classes past the table's rows score nothing rather than reading past it.
    EXPECT_EQ(WeaponEffectiveness(6, 0) + WeaponEffectiveness(-1, 0), 0);

    TargetCandidate c;
    c.distanceSquared = 3000.0f;  // band 4: class 0 and 4 both score 0 there
    c.armour = 100.0f;
    c.weaponClass = 4;
    EXPECT_FLOAT_EQ(TargetScore(0, false, c), 0.0f);
    c.armour = 0.0f;
    c.weaponClass = 1;  // 10 + 0 + 3
    c.isCurrentTarget = true;
    EXPECT_FLOAT_EQ(TargetScore(0, false, c), 13.0f * 1.15f);
    c.isCurrentTarget = false;
    c.targetsMe = true;
    c.inFacing = true;
    EXPECT_FLOAT_EQ(TargetScore(0, false, c), 26.0f);
    EXPECT_FLOAT_EQ(TargetScore(0, true, c), 52.0f);
}

TEST(KeepRange, BandsAndStandOff) {
    // Close-range targets push the band out; unknown classes keep none.
    EXPECT_FLOAT_EQ(KeepRangeBand(5, 3).low - KeepRangeBand(5, 1).low, 60.0f);
    EXPECT_FLOAT_EQ(KeepRangeBand(9, 0).high, 0.0f);

    Vector3 m;
    const RangeBand rifle = KeepRangeBand(1, 0);  // 15 .. 75 units, stand-off 50
    EXPECT_FALSE(RangeMove(Vector3{}, Vector3{40, 0, 0}, rifle, m));
    ASSERT_TRUE(RangeMove(Vector3{}, Vector3{100, 0, 0}, rifle, m));
    EXPECT_FLOAT_EQ(m.x, 50.0f);
    ASSERT_TRUE(RangeMove(Vector3{}, Vector3{0, 10, 0}, rifle, m));
    EXPECT_FLOAT_EQ(m.y, -40.0f);  // backs off
    ASSERT_TRUE(RangeMove(Vector3{}, Vector3{}, rifle, m));  // target on the spot
    EXPECT_TRUE(std::isfinite(m.x) && std::isfinite(m.y));
}

TEST(Formation, LineAbreastTakesTheNearerSlot) {
    // Target straight ahead on +x: the line runs along y.
    const Vector3 leader{}, target{50, 0, 0};
    std::vector<Vector3> offsets;
    ASSERT_TRUE(FormLineAbreast(leader, target, {Vector3{0, 8, 0}, Vector3{0, -8, 0}}, offsets));
    ASSERT_EQ(offsets.size(), 2u);
    EXPECT_FLOAT_EQ(offsets[0].y, 10.0f);
    EXPECT_FLOAT_EQ(offsets[1].y, -10.0f);
    ASSERT_TRUE(FormLineAbreast(leader, target, {Vector3{0, 12, 0}, Vector3{0, 30, 0}}, offsets));
    EXPECT_FLOAT_EQ(offsets[0].y, 10.0f);
    EXPECT_FLOAT_EQ(offsets[1].y, 20.0f);
    EXPECT_FLOAT_EQ(offsets[1].x, 0.0f);
    EXPECT_FALSE(FormLineAbreast(leader, leader, {Vector3{0, 1, 0}}, offsets));
    EXPECT_TRUE(offsets.empty());
}

TEST(LineOfFire, MatesAndVehiclesInTheWay) {
    const Vector3 me{}, aim{1, 0, 0}, target{20, 0, 0};
    EXPECT_TRUE(MateInLineOfFire(me, aim, target, Vector3{10, 1.9f, 0}, 2));
    EXPECT_FALSE(MateInLineOfFire(me, aim, target, Vector3{10, 2.1f, 0}, 2));
    EXPECT_FALSE(MateInLineOfFire(me, aim, target, Vector3{21, 0, 0}, 2));   // beyond the target
    EXPECT_FALSE(MateInLineOfFire(me, aim, target, Vector3{-5, 0, 0}, 2));   // behind
    // The blast weapon: too close to fire, and mates near the target block it.
    EXPECT_TRUE(TooCloseToFire(me, Vector3{2.9f, 0, 0}, AiBlastWeaponClass));
    EXPECT_FALSE(TooCloseToFire(me, Vector3{2.9f, 0, 0}, 2));
    const Vector3 nearTarget{19.0f, 2.7f, 0};  // 2.9 units from it, 2.7 off the line
    EXPECT_TRUE(MateInLineOfFire(me, aim, target, nearTarget, AiBlastWeaponClass));
    EXPECT_FALSE(MateInLineOfFire(me, aim, target, nearTarget, 2));

    EXPECT_TRUE(VehicleInLineOfFire(me, aim, target, Vector3{10, 3, 0}, 3.5f));
}

TEST(Steering, MatesOnOneSpotArePushedApartWithoutNaN) {
    GameSrand(7);
    Vector3 sum{};
    const Vector3 spot{10, 10, 0};
    AddMatePush(sum, spot, spot);
    EXPECT_TRUE(std::isfinite(sum.x) && std::isfinite(sum.y) && std::isfinite(sum.z));
    EXPECT_LT(sum.z, 0.0f);  // away from the upward part
    EXPECT_NEAR(sum.x * sum.x + sum.y * sum.y + sum.z * sum.z, 1.0f, 1e-5f);
    Vector3 m{1, 0, 0};
    const bool bent = ApplyMatePush(m, sum);
    EXPECT_EQ(bent, sum.x != 0.0f || sum.y != 0.0f);
    EXPECT_TRUE(std::isfinite(m.x) && std::isfinite(m.y));
    m = Vector3{1, 0, 0};
    EXPECT_FALSE(ApplyMatePush(m, Vector3{0, 0, -1}));
    EXPECT_FLOAT_EQ(m.x, 1.0f);

    // Sidestep across the projectile's path, to the soldier's side of it.
    EXPECT_FLOAT_EQ(DodgeSidestep(Vector3{10, 1, 0}, Vector3{}, Vector3{1, 0, 0}).y, 1.0f);
    EXPECT_FLOAT_EQ(DodgeSidestep(Vector3{10, -1, 0}, Vector3{}, Vector3{2, 0, 0}).y, -1.0f);
    EXPECT_FLOAT_EQ(DodgeSidestep(Vector3{10, -1, 0}, Vector3{}, Vector3{0, 0, -1}).y, 0.0f);
}

TEST(Steering, ObstaclesAndVehiclesAheadAreWalkedRoundOnTheSoldiersSide) {
    const Vector3 m{1, 0, 0};
    // The fixed obstacle of radius 20: in the way from 30 units, not from behind or beside.
    EXPECT_TRUE(ObstacleInWay(Vector3{0, 0, 0}, m, Vector3{29, 5, 0}, 20));
    EXPECT_FALSE(ObstacleInWay(Vector3{0, 0, 0}, m, Vector3{31, 0, 0}, 20));
    EXPECT_FALSE(ObstacleInWay(Vector3{0, 0, 0}, m, Vector3{-5, 0, 0}, 20));
    EXPECT_FALSE(ObstacleInWay(Vector3{0, 0, 0}, m, Vector3{5, 22, 0}, 20));
    EXPECT_FALSE(VehicleInWay(Vector3{0, 0, 0}, m, Vector3{4, 0, 0}, 3));  // beyond its radius

    // Soldier a little to the left (+y) of the obstacle's line passes it on the left.
    Vector3 steer = SteerPast(Vector3{0, 1, 0}, m, Vector3{25, 0, 0}, 30);
    EXPECT_FLOAT_EQ(steer.x, 25.0f);
    EXPECT_FLOAT_EQ(steer.y, 29.0f);
    steer = SteerPast(Vector3{0, -1, 0}, m, Vector3{25, 0, 0}, 30);
    EXPECT_FLOAT_EQ(steer.y, -29.0f);
}

TEST(CoverCycle, HidesBehindThenStepsOutAndBackEachForFifteenToThirtyNineUpdates) {
    // Target to the west of the vehicle: hide to its east, step out north or south.
    const Vector3 cover{50, 0, 0}, target{0, 0, 0};
    const Vector3 h = CoverHidingPoint(cover, target);
    EXPECT_FLOAT_EQ(h.x, 56.0f);
    EXPECT_FLOAT_EQ(h.y, 0.0f);
    const Vector3 a = CoverSteppingOutPoint(cover, target, true);
    const Vector3 b = CoverSteppingOutPoint(cover, target, false);
    EXPECT_FLOAT_EQ(a.x, 56.0f);
    EXPECT_FLOAT_EQ(std::fabs(a.y), 10.0f);
    EXPECT_FLOAT_EQ(a.y, -b.y);

    GameSrand(11);
    CoverCycle cycle;
    StartHiding(cycle);
    Vector3 position{20, 30, 0}, waypoint{}, move{};
    // The soldier walks in one update to where it is sent.
    std::vector<int> stays;
    std::vector<bool> hidingPhases;
    int standing = 0;
    bool phase = cycle.hiding;
    for (int update = 0; update < 400 && stays.size() < 4; update++) {
        if (StepCoverCycle(cycle, position, cover, target, waypoint, move)) {
            Vector3Add(position, position, move);
            continue;
        }
        standing++;
        const Vector3 expected = phase ? h : CoverSteppingOutPoint(cover, target, cycle.side);
        EXPECT_NEAR(position.x, expected.x, 1e-4f);
        EXPECT_NEAR(position.y, expected.y, 1e-4f);
        if (cycle.hiding != phase) {
            stays.push_back(standing);
            hidingPhases.push_back(phase);
            standing = 0;
            phase = cycle.hiding;
        }
    }
    ASSERT_EQ(stays.size(), 4u);
    for (size_t i = 0; i < stays.size(); i++) {
        EXPECT_GE(stays[i], 15);
        EXPECT_LE(stays[i], 39);
        EXPECT_EQ(hidingPhases[i], i % 2 == 0);
    }
}
