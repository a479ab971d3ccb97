// Steering, driving, seats and what follows a moving vehicle.
#include "tests/game/soldiers/battle_fixture.h"

#include <cmath>

namespace {

TEST_F(Battle, SteeringStopsThirtyDegreesOffTheHeading) {
    CVehicle* v = AddVehicle(Vector3{});
    v->driveInput = Vector3{0, -1, 0};
    for (int i = 0; i < 20; i++)
        v->Steer(0.1f);
    EXPECT_NEAR(v->GetSteeringAngle(), SteeringLimit, 1e-4f) << "screen-left is positive";
    EXPECT_NEAR(v->steering.y, -0.5f, 1e-4f);
    v->driveInput = Vector3{0, 1, 0};
    for (int i = 0; i < 40; i++)
        v->Steer(0.1f);
    EXPECT_NEAR(v->GetSteeringAngle(), -SteeringLimit, 1e-4f);

    v->ClearDriving();
    Vector3 before = v->steering;
    v->Steer(1.0f);
    EXPECT_EQ(v->steering.y, before.y) << "no input, no turn";
}

TEST_F(Battle, ModelBodyAndRiderFollowADrivingVehicle) {
    CVehicle* v = AddVehicle(Vector3{0, 0, 0});
    ASSERT_NE(v->model.GetRoot(), nullptr);
    ASSERT_NE(v->collision.root, nullptr);
    Vector3 sphereBefore = v->collision.sphere.centre;
    CSoldier* driver = AddSoldier(v->GetSeatPosition(0));
    Run(driver, 0.1f);
    ASSERT_EQ(driver->vehicleInReach, v);
    driver->EnterVehicle();
    EXPECT_EQ(driver->seated, SEAT_DRIVER);
    Run(driver, 2.1f);
    driver->SetDriveInput(Vector3{1, 0, 0});
    driver->SetThrottle(1.0f);
    for (int i = 0; i < 20; i++) {
        v->Update(0.05f);
        driver->Update(0.05f);
    }
    EXPECT_NEAR(v->body.position.x, 25.0f, 0.01f) << "25 units a second on flat ground";
    EXPECT_NEAR(v->velocity.x, 25.0f, 0.01f);
    Vector3 root = NodeTranslation(v->model.GetRoot());
    EXPECT_LT(Vector3Distance(root, v->body.position), 1e-3f);
    EXPECT_NEAR(v->collision.sphere.centre.x - sphereBefore.x, 25.0f, 0.01f);
    EXPECT_LT(Vector3Distance(driver->GetPosition(), v->GetSeatPosition(0)), 1e-3f);

    driver->LeaveVehicle();
    EXPECT_EQ(driver->seated, SEAT_NONE);
    EXPECT_EQ(v->throttle, 0.0f) << "nobody drives on";
    Vector3 parked = v->body.position;
    v->Update(0.5f);
    EXPECT_LT(Vector3Distance(parked, v->body.position), 1e-3f);

    // A driver killed at full throttle leaves the vehicle standing.
    Run(driver, 2.1f);
    ASSERT_EQ(driver->vehicleInReach, v);
    driver->EnterVehicle();
    Run(driver, 2.1f);
    driver->SetThrottle(1.0f);
    ASSERT_EQ(v->throttle, 1.0f);
    driver->TakeDamage(nullptr, 1000.0f, Vector3{});
    ASSERT_EQ(driver->health, 0.0f);
    parked = v->body.position;
    for (int i = 0; i < 40; i++)
        v->Update(0.05f);
    EXPECT_LT(Vector3Distance(parked, v->body.position), 1e-3f);
}

TEST_F(Battle, ReversingAndTurningKeepsTheHeadingLevel) {
    CVehicle* v = AddVehicle(Vector3{});
    v->driveInput = Vector3{0.5f, 0.5f, 0};
    v->throttle = -1.0f;
    for (int i = 0; i < 20; i++)
        v->Update(0.05f);
    EXPECT_LT(v->body.position.x, -3.0f) << "backs up";
    EXPECT_NEAR(v->body.heading.z, 0.0f, 1e-6f);
    EXPECT_NEAR(Vector3Length(v->body.heading), 1.0f, 1e-4f);
    EXPECT_LT(v->body.heading.y, 0.0f) << "the nose swings away from the wheels";
}

TEST_F(Battle, AVehicleWithoutWheelOrSeatBonesStillDrives) {
    CVehicle* v = AddVehicle(Vector3{});
    v->collision.Release();
    CNode* body = new CNode;
    body->name = "Body";
    v->model.CreateFromRoot(body, "bare", false, true, 0.0f);
    v->driveInput = Vector3{1, 0, 0};
    v->throttle = 1.0f;
    for (int i = 0; i < 10; i++)
        v->Update(0.05f);
    EXPECT_NEAR(v->body.position.x, 12.5f, 0.01f);
    EXPECT_NEAR(NodeTranslation(body).x, 12.5f, 0.01f);
    Vector3 seat = v->GetSeatPosition(0);
    EXPECT_NEAR(seat.z, v->body.position.z + 1.0f, 1e-4f) << "one unit above without the bone";
}

}  // namespace
