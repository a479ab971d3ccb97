#include <cmath>

#include <gtest/gtest.h>

#include "render/camera.h"
#include "render/camera_motion.h"

namespace {

// Opens the drift for the momentum-law cases.
class TestInertialCamera : public CInertialCamera {
public:
	SmoothedVector &At(CameraVector which) { return vectors[which]; }
};

const float Tolerance = 1e-4f;

void ExpectVector(const Vector3 &v, float x, float y, float z, float tolerance = Tolerance) {
	EXPECT_NEAR(v.x, x, tolerance);
	EXPECT_NEAR(v.y, y, tolerance);
	EXPECT_NEAR(v.z, z, tolerance);
}

} // namespace

TEST(CameraCurves, ChaseTableKnotsAndInterpolation) {
	EXPECT_FLOAT_EQ(CameraTableSpeed(CameraChaseSpeeds, 2.5f), 4.0f);
	EXPECT_FLOAT_EQ(CameraTableSpeed(CameraChaseSpeeds, 5.0f), 12.0f);
	EXPECT_FLOAT_EQ(CameraTableSpeed(CameraChaseSpeeds, 10.0f), 20.0f);
	EXPECT_FLOAT_EQ(CameraTableSpeed(CameraChaseSpeeds, 20.0f), 40.0f);
	EXPECT_FLOAT_EQ(CameraTableSpeed(CameraChaseSpeeds, 40.0f), 100.0f);
	EXPECT_FLOAT_EQ(CameraTableSpeed(CameraChaseSpeeds, 50.0f), 300.0f);
	EXPECT_FLOAT_EQ(CameraTableSpeed(CameraChaseSpeeds, 500.0f), 300.0f);
	EXPECT_NEAR(CameraTableSpeed(CameraChaseSpeeds, 30.0f), 70.0f, Tolerance);
	EXPECT_NEAR(CameraTableSpeed(CameraChaseSpeeds, 0.2f), 0.32f, 1e-6f);
	EXPECT_FLOAT_EQ(CameraTableSpeed(CameraChaseSpeeds, 0.0f), 0.0f);
	EXPECT_FLOAT_EQ(CameraTableSpeed(CameraUpSpeeds, 1.0f), 0.5f);
	EXPECT_FLOAT_EQ(CameraTableSpeed(CameraUpSpeeds, 2.0f), 1.0f);
	EXPECT_FLOAT_EQ(CameraTableSpeed(CameraUpSpeeds, 3.0f), 1.0f);
}

TEST(CameraCurves, MomentumCurves) {
	// Nothing inside 0.02: no friction and no acceleration, whatever the drift.
	EXPECT_EQ(CameraFrictionCurve(0.02f), 0.0f);
	EXPECT_EQ(CameraSpeedCurve(0.01f, 5.0f), 0.0f);
	EXPECT_EQ(CameraSpeedCurve(-0.02f, 5.0f), 0.0f);

	EXPECT_FLOAT_EQ(CameraFrictionCurve(1.0f), 1.0f);
	EXPECT_FLOAT_EQ(CameraFrictionCurve(4.0f), 0.75f);
	EXPECT_FLOAT_EQ(CameraFrictionCurve(10.0f), 0.625f);
	EXPECT_FLOAT_EQ(CameraFrictionCurve(16.0f), 0.5f);
	EXPECT_FLOAT_EQ(CameraFrictionCurve(100.0f), 0.3f);

	EXPECT_FLOAT_EQ(CameraSpeedCurve(1.0f, 0.0f), 0.5f);
	EXPECT_FLOAT_EQ(CameraSpeedCurve(2.5f, 0.0f), 2.25f);
	EXPECT_FLOAT_EQ(CameraSpeedCurve(-4.0f, 1.0f), 3.0f);
	EXPECT_FLOAT_EQ(CameraSpeedCurve(64.0f, -10.0f), 30.0f);

	EXPECT_NEAR(CameraSeparationPush(0.5f), 0.33333f, Tolerance);
	EXPECT_EQ(CameraSeparationPush(2.0f), 0.0f);
	EXPECT_EQ(CameraSeparationPush(1e-6f), 2.0f);
}

TEST(SmoothCameraLaw, ChasesAtTheCurveSpeedAndSnaps) {
	CSmoothCamera camera;
	camera.SetPosition(Vector3{30.0f, 0.0f, 0.0f}, false); // 30 from the goal: 70 units/s
	camera.Update(0.25f, false, false);
	ExpectVector(*camera.GetPosition(), 17.5f, 0.0f, 0.0f);

	CSmoothCamera snapping;
	snapping.SetPosition(Vector3{30.0f, 0.0f, 0.0f}, false);
	snapping.Update(0.5f, false, false); // 35 > 30
	ExpectVector(*snapping.GetPosition(), 30.0f, 0.0f, 0.0f, 0.0f);

	// 0.2 away: 0.32 units/s; snaps only once v dt exceeds 0.2.
	CSmoothCamera near;
	near.SetTarget(Vector3{0.0f, 0.0f, 10.2f}, false);
	near.Update(0.5f, false, false);
	ExpectVector(*near.GetTarget(), 0.0f, 0.0f, 10.16f);
	near.SetTarget(Vector3{0.0f, 0.0f, 10.2f}, true);
	near.SetTarget(Vector3{0.0f, 0.0f, 10.4f}, false);
	near.Update(1.0f, false, false);
	ExpectVector(*near.GetTarget(), 0.0f, 0.0f, 10.4f, 0.0f);
}

TEST(SmoothCameraLaw, UpMovesOneUnitPerSecondFromTwoAway) {
	CSmoothCamera camera;
	camera.SetUp(Vector3{0.0f, 0.0f, 1.0f}, true);
	camera.SetUp(Vector3{0.0f, 0.0f, -1.0f}, false);
	camera.Update(0.25f, false, false);
	ExpectVector(*camera.GetUp(), 0.0f, 0.0f, 0.75f);
}

TEST(SmoothCameraLaw, VelocityFollowsTheFlagsExceptOnASnapAndNeverForUp) {
	CSmoothCamera camera;
	camera.SetVelocity(Vector3{1.0f, 0.0f, 0.0f});
	camera.Update(0.5f, false, true); // at rest: only the current values move
	ExpectVector(*camera.GetPosition(), 0.5f, 0.0f, 0.0f);
	ExpectVector(*camera.GetTarget(), 0.5f, 0.0f, 10.0f);
	ExpectVector(*camera.GetUp(), 1.0f, 0.0f, 0.0f);

	CSmoothCamera goals;
	goals.SetVelocity(Vector3{0.0f, 20.0f, 0.0f});
	goals.Update(0.5f, true, false); // goals move; currents chase next frame
	ExpectVector(*goals.GetPosition(), 0.0f, 0.0f, 0.0f);
	ExpectVector(goals.GetVector(CameraPosition).goal, 0.0f, 10.0f, 0.0f);
	goals.Update(0.6f, true, false); // 10 away at 20 units/s: snaps, no carry this frame
	ExpectVector(*goals.GetPosition(), 0.0f, 10.0f, 0.0f);
	ExpectVector(goals.GetVector(CameraPosition).goal, 0.0f, 10.0f, 0.0f);

	// A distance below 0.0001 is not chased but the velocity still applies.
	CSmoothCamera still;
	still.SetPosition(Vector3{0.00005f, 0.0f, 0.0f}, false);
	still.SetVelocity(Vector3{0.0f, 0.0f, 4.0f});
	still.Update(0.25f, false, true);
	ExpectVector(*still.GetPosition(), 0.0f, 0.0f, 1.0f, 1e-6f);
}

TEST(InertialCameraLaw, SeparationPushIsUnscaledAndCapped) {
	TestInertialCamera camera;
	camera.SetTarget(Vector3{0.0f, 0.0f, 0.5f}, true);
	camera.Update(0.0f, false, false);
	ExpectVector(camera.At(CameraPosition).drift, 0.0f, 0.0f, -0.33333f);
	ExpectVector(camera.At(CameraTarget).drift, 0.0f, 0.0f, 0.33333f);

	TestInertialCamera apart;
	apart.SetTarget(Vector3{0.0f, 0.0f, 2.0f}, true);
	apart.Update(0.0f, false, false);
	ExpectVector(apart.At(CameraPosition).drift, 0.0f, 0.0f, 0.0f, 0.0f);

	// Eye and target almost together: at most 2 per frame, never a fling.
	TestInertialCamera close;
	close.SetTarget(Vector3{0.0f, 0.0f, 1e-6f}, true);
	close.Update(0.0f, false, false);
	ExpectVector(close.At(CameraTarget).drift, 0.0f, 0.0f, 2.0f);

	// On the same point there is no direction to push along.
	TestInertialCamera together;
	together.SetTarget(Vector3{}, true);
	together.Update(0.1f, false, false);
	ExpectVector(together.At(CameraTarget).drift, 0.0f, 0.0f, 0.0f, 0.0f);
	EXPECT_TRUE(std::isfinite(together.GetPosition()->x));
}

TEST(InertialCameraLaw, DragBeforeFrictionAtRestAtTheGoal) {
	TestInertialCamera camera; // target 10 away: no push
	camera.At(CameraPosition).drift = Vector3{10.0f, 0.0f, 0.0f};
	camera.At(CameraUp).drift = Vector3{0.0f, 10.0f, 0.0f};
	camera.Update(0.1f, false, false);
	// At the goal there is neither friction nor acceleration, only drag.
	ExpectVector(camera.At(CameraPosition).drift, 9.95f, 0.0f, 0.0f);
	ExpectVector(camera.At(CameraUp).drift, 0.0f, 9.9f, 0.0f);
	ExpectVector(*camera.GetPosition(), 0.995f, 0.0f, 0.0f);
	EXPECT_NEAR(Vector3Length(*camera.GetUp()), 1.0f, 1e-6f);
}

TEST(InertialCameraLaw, AcceleratesTowardTheGoalAndSnaps) {
	TestInertialCamera camera;
	camera.SetPosition(Vector3{0.0f, -0.01f, 0.0f}, false); // within 0.02: nothing happens
	camera.Update(0.1f, false, false);
	ExpectVector(*camera.GetPosition(), 0.0f, 0.0f, 0.0f, 0.0f);

	camera.SetPosition(Vector3{0.0f, -10.0f, 0.0f}, false); // 10 away: speed 6, friction 0.625
	camera.Update(0.5f, false, false);
	ExpectVector(camera.At(CameraPosition).drift, 0.0f, -3.0f, 0.0f);
	ExpectVector(*camera.GetPosition(), 0.0f, -1.5f, 0.0f);

	// Closing fast on a near goal: it lands exactly.
	camera.At(CameraPosition).current = Vector3{0.0f, -9.9f, 0.0f};
	camera.At(CameraPosition).drift = Vector3{0.0f, -50.0f, 0.0f};
	camera.Update(0.5f, false, false);
	ExpectVector(*camera.GetPosition(), 0.0f, -10.0f, 0.0f, 0.0f);
	ExpectVector(camera.At(CameraPosition).drift, 0.0f, 0.0f, 0.0f, 0.0f);
}

TEST(InertialCameraLaw, FrictionAgainstTheDriftUpFactorsAndVelocity) {
	TestInertialCamera camera;
	camera.SetPosition(Vector3{0.0f, -10.0f, 0.0f}, false); // 10 away: friction 0.625, speed 6
	camera.At(CameraPosition).drift = Vector3{10.0f, 0.0f, 0.0f};
	camera.SetUp(Vector3{0.0f, 1.0f, 0.0f}, false);           // sqrt 2 from (1, 0, 0)
	camera.At(CameraUp).drift = Vector3{2.0f, 0.0f, 0.0f};
	camera.SetVelocity(Vector3{1.0f, 2.0f, 3.0f});
	camera.Update(0.1f, true, true);

	// Drag 9.95, friction along the old drift 0.0625, then a pull of
	// 6 - 9.8875 toward the goal: a drift already faster than the curve brakes.
	ExpectVector(camera.At(CameraPosition).drift, 9.8875f, 0.38875f, 0.0f);
	// The drift step, then the velocity's.
	ExpectVector(*camera.GetPosition(), 0.98875f + 0.1f, 0.038875f + 0.2f, 0.3f);
	ExpectVector(camera.At(CameraPosition).goal, 0.1f, -9.8f, 0.3f);

	// Up: drag 0.1, friction times 0.25, acceleration times 2, no velocity.
	ExpectVector(camera.At(CameraUp).drift, 1.955863f + 0.137548f, -0.137548f, 0.0f);
	ExpectVector(*camera.GetUp(), 0.999935f, -0.011373f, 0.0f);
	ExpectVector(camera.At(CameraUp).goal, 0.0f, 1.0f, 0.0f);

	// The target only rides the velocity.
	Vector3 target = *camera.GetTarget();
	camera.Update(0.1f, false, true);
	ExpectVector(*camera.GetTarget(), target.x + 0.1f, target.y + 0.2f, target.z + 0.3f);
}
