#include <gtest/gtest.h>

#include <cmath>

#include "core/random.h"
#include "game/ai/cover.h"

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
