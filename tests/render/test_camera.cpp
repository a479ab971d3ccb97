// Cameras: defaults, the current and debug cameras, free-fly and orbit
// control, the camera pair, and the chase and momentum laws with their curves.
#include <cmath>

#include <gtest/gtest.h>

#include "app/camera_input.h"
#include "app/console.h"
#include "render/backend.h"
#include "render/camera.h"
#include "render/camera_motion.h"
#include "render/projection.h"

namespace {

const float Step = 10.0f * 0.1f * 0.087222226f; // 10 pixels of drag at dt 0.1

void ExpectVector(const Vector3 &v, float x, float y, float z, float tolerance = 1e-4f) {
	EXPECT_NEAR(v.x, x, tolerance);
	EXPECT_NEAR(v.y, y, tolerance);
	EXPECT_NEAR(v.z, z, tolerance);
}

bool Finite(const Vector3 &v) {
	return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Position, up, axis and view matrix all finite.
bool FinitePose(COrbitCamera &camera) {
	Matrix4 view;
	camera.GetViewMatrix(view);
	bool finite = Finite(*camera.GetPosition()) && Finite(*camera.GetUp()) && Finite(camera.GetAxis());
	for (float f : view.m) finite = finite && std::isfinite(f);
	return finite;
}

void ExpectLoadedView(CCamera &camera) {
	Matrix4 loaded, view;
	GetViewMatrix(loaded);
	camera.GetViewMatrix(view);
	for (int i = 0; i < 16; i++) EXPECT_FLOAT_EQ(loaded.m[i], view.m[i]) << i;
}

// The console flags the cameras obey, on a console of their own, read
// through the input source start-up installs.
class ConsoleFlags {
public:
	ConsoleFlags() {
		CreateDebugConsole();
		InstallCameraInput();
	}
	~ConsoleFlags() {
		SetCameraInputSource(CameraInputSource());
		DestroyDebugConsole();
	}
	void DebugCam(bool on) { g_debugConsole->debugcamFlag = on ? 1 : 0; }
};

// An orbit camera at (0, -90, 0) looking at the origin: a level view.
void Level(COrbitCamera &camera) {
	camera.SetPosition(Vector3{0.0f, -90.0f, 0.0f}, true);
}

OrbitInput Drag(float x, float y, bool rotate) {
	OrbitInput in;
	in.x = x;
	in.y = y;
	in.rotateKey = rotate;
	in.leftButton = rotate;
	in.rightButton = !rotate;
	return in;
}

// Opens the current values, goals and drifts for the law cases.
template <class Camera> class Opened : public Camera {
public:
	SmoothedVector &At(CameraVector which) { return this->vectors[which]; }
};
using TestInertialCamera = Opened<CInertialCamera>;

} // namespace

TEST(Camera, DefaultsAndUpNormalisation) {
	CInertialCamera inertial;
	ExpectVector(*inertial.GetPosition(), 0, 0, 0, 0);
	ExpectVector(*inertial.GetTarget(), 0, 0, 10, 0);
	ExpectVector(*inertial.GetUp(), 1, 0, 0, 0);

	COrbitCamera orbit;
	ExpectVector(*orbit.GetPosition(), 0, 0, 90, 0);
	ExpectVector(*orbit.GetTarget(), 0, 0, 0, 0);
	ExpectVector(*orbit.GetUp(), 0, 0, 1, 0);
	EXPECT_EQ(orbit.GetDistance(), 90.0f);

	CInertialCamera made(Vector3{0, 0, 3}, Vector3{1, 2, 3}, Vector3{4, 5, 6});
	ExpectVector(*made.GetUp(), 0, 0, 1, 0);
	ExpectVector(made.GetVector(CameraTarget).goal, 4, 5, 6, 0);

	// Without snap the current up stays, but both are normalised.
	CSmoothCamera camera;
	camera.SetUp(Vector3{0, 0, 2}, false);
	ExpectVector(*camera.GetUp(), 1, 0, 0, 0);
	ExpectVector(camera.GetVector(CameraUp).goal, 0, 0, 1, 0);
	// A zero up gives no direction and is left as it is, never NaN.
	camera.SetUp(Vector3{}, true);
	EXPECT_TRUE(Finite(*camera.GetUp()));
}

TEST(Camera, ApplyLoadsViewTimesModelUnlessTheDebugCameraTakesOver) {
	ConsoleFlags flags;
	CSmoothCamera *camera = new CSmoothCamera;
	CSmoothCamera *other = new CSmoothCamera;
	camera->SetPosition(Vector3{0, -10, 0}, true);
	camera->SetTarget(Vector3{}, true);
	camera->SetUp(Vector3{0, 0, 1}, true);
	Matrix4 model, loaded, view, expected;
	Matrix4Identity(model);
	model.m[3] = 5.0f; // move 5 along x
	camera->Apply(&model, false);
	EXPECT_EQ(GetCurrentCamera(), camera);
	GetViewMatrix(loaded);
	camera->GetViewMatrix(view);
	Matrix4Multiply(expected, view, model);
	for (int i = 0; i < 16; i++) EXPECT_NEAR(loaded.m[i], expected.m[i], 1e-6f) << i;

	// With "debugcam" on the debug camera is applied instead.
	flags.DebugCam(true);
	camera->Apply();
	EXPECT_EQ(CurrentCamera, &DebugCamera);
	ExpectLoadedView(DebugCamera);
	camera->ApplyView(); // the form without the debug check keeps this camera
	EXPECT_EQ(CurrentCamera, camera);
	flags.DebugCam(false);
	camera->Apply();
	EXPECT_EQ(CurrentCamera, camera);

	// Only the current camera's end clears the current camera.
	delete other;
	EXPECT_EQ(CurrentCamera, camera);
	delete camera;
	EXPECT_EQ(CurrentCamera, nullptr);
}

TEST(FreeFlyCamera, FastMovesFartherButTurnsTheSame) {
	CFreeFlyCamera slow, fast;
	FlyInput in;
	in.home = true;
	in.left = true;
	in.frameTime = 0.1f;
	slow.Fly(in);
	in.fast = true;
	fast.Fly(in);
	EXPECT_FLOAT_EQ(slow.GetYaw(), -0.25f);
	EXPECT_FLOAT_EQ(fast.GetYaw(), -0.25f);
	Vector3 d = DirectionFromYawPitch(-0.25f, 0.0f);
	ExpectVector(slow.GetEye(), d.x * 2.0f, d.y * 2.0f, 60.0f);
	ExpectVector(fast.GetEye(), d.x * 8.0f, d.y * 8.0f, 60.0f);
	// Position, target one unit ahead and up +z, all snapped.
	ExpectVector(*slow.GetPosition(), d.x * 2.0f, d.y * 2.0f, 60.0f);
	ExpectVector(*slow.GetTarget(), d.x * 3.0f, d.y * 3.0f, 60.0f);
	ExpectVector(*slow.GetUp(), 0, 0, 1);
}

TEST(FreeFlyCamera, PitchStopsAtSeventyTwoDegrees) {
	CFreeFlyCamera camera;
	FlyInput in;
	in.down = true;
	in.frameTime = 0.25f;
	for (int i = 0; i < 10; i++) camera.Fly(in);
	EXPECT_FLOAT_EQ(camera.GetPitch(), 1.2566371f);
	in.down = false;
	in.up = true;
	for (int i = 0; i < 20; i++) camera.Fly(in);
	EXPECT_FLOAT_EQ(camera.GetPitch(), -1.2566371f);
	// Up arrow, negative pitch: the view rises.
	EXPECT_GT(camera.GetTarget()->z, camera.GetPosition()->z);
}

TEST(FreeFlyCamera, ControlSlidesAlongTheUnnormalisedSideVectors) {
	CFreeFlyCamera camera;
	FlyInput in;
	in.frameTime = 0.1f;
	camera.Fly(in); // eye (0, 0, 60) looking along +y, up +z
	in.control = true;
	in.left = true;
	Vector3 right = camera.GetRight(); // (0,1,0) x (0,0,1) = +x: screen-left
	camera.Fly(in);
	ExpectVector(camera.GetEye(), right.x * 1.3f, 0.0f, 60.0f);
	EXPECT_GT(camera.GetEye().x, 0.0f);
	in.left = false;
	in.up = true;
	Vector3 trueUp = camera.GetTrueUp(); // points down the screen
	EXPECT_LT(trueUp.z, 0.0f);
	camera.Fly(in);
	EXPECT_NEAR(camera.GetEye().z, 60.0f - 1.3f, 1e-4f);
}

TEST(OrbitCamera, WheelShortensTheDistanceAndKeepsAboveGround) {
	COrbitCamera camera;
	OrbitInput in;
	in.wheel = 120;
	camera.Control(0.1f, in);
	EXPECT_FLOAT_EQ(camera.GetDistance(), 84.0f);
	ExpectVector(*camera.GetPosition(), 0, 0, 84);

	COrbitCamera low;
	Level(low); // level with the target
	low.Control(0.1f, in);
	ExpectVector(*low.GetPosition(), 0, -84, 1);
}

TEST(OrbitCamera, FifteenNotchesAndAVerticalDragStayFinite) {
	COrbitCamera camera;
	OrbitInput in;
	for (int notch = 1; notch <= 15; notch++) { // 90 - 15 x 6 = 0: held at 1
		in.previousWheel = in.wheel;
		in.wheel += 120;
		camera.Control(0.1f, in);
	}
	EXPECT_FLOAT_EQ(camera.GetDistance(), 1.0f);
	ExpectVector(*camera.GetPosition(), 0, 0, 1);
	in.previousWheel = in.wheel;

	// Straight down the axis there is no side to tilt about: the pose stays.
	camera.Control(0.1f, Drag(100, 100, true));
	camera.Control(0.1f, Drag(100, 140, true));
	camera.Control(0.1f, Drag(130, 200, true));
	EXPECT_TRUE(FinitePose(camera));
	ExpectVector(*camera.GetPosition(), 0, 0, 1);

	// Pulling away again works from there.
	in.wheel -= 1200;
	camera.Control(0.1f, in);
	ExpectVector(*camera.GetPosition(), 0, 0, 61);

	// From a level view the eye never passes through the target.
	COrbitCamera level;
	Level(level);
	OrbitInput many;
	many.wheel = 20 * 120;
	level.Control(0.1f, many);
	EXPECT_FLOAT_EQ(level.GetDistance(), 1.0f);
	ExpectVector(*level.GetPosition(), 0, -1, 1);
	level.Control(0.1f, Drag(0, 0, true));
	level.Control(0.1f, Drag(0, 40, true));
	EXPECT_TRUE(FinitePose(level));
}

TEST(OrbitCamera, RotateDragTurnsAboutTheSideAndTheAxis) {
	COrbitCamera camera;
	Level(camera);
	camera.Control(0.1f, Drag(100, 100, true)); // grabs
	camera.Control(0.1f, Drag(100, 110, true)); // 10 down: tilt up over the target
	ExpectVector(*camera.GetPosition(), 0, -90 * std::cos(Step), 90 * std::sin(Step), 1e-3f);
	ExpectVector(camera.GetAxis(), 0, 0, 1, 1e-6f);
	ExpectVector(*camera.GetUp(), 0, 0, 1, 1e-6f);

	COrbitCamera turning;
	Level(turning);
	turning.Control(0.1f, Drag(100, 100, true));
	turning.Control(0.1f, Drag(110, 100, true)); // 10 right: about the axis
	ExpectVector(*turning.GetPosition(), 90 * std::sin(Step), -90 * std::cos(Step), 0, 1e-3f);

	// Released, the drag does nothing more.
	turning.Control(0.1f, OrbitInput{});
	Vector3 before = *turning.GetPosition();
	OrbitInput held = Drag(200, 200, true);
	held.leftButton = false;
	turning.Control(0.1f, held);
	ExpectVector(*turning.GetPosition(), before.x, before.y, before.z, 0);

	// A tilted start: the axis becomes the view's up and stays unit length.
	COrbitCamera tilted;
	tilted.SetPosition(Vector3{0, -60, 60}, true);
	tilted.Control(0.1f, Drag(0, 0, true));
	tilted.Control(0.1f, Drag(0, 30, true));
	EXPECT_NEAR(Vector3Length(tilted.GetAxis()), 1.0f, 1e-6f);
	EXPECT_NEAR(tilted.GetAxis().y, std::sqrt(0.5f), 1e-3f);
	EXPECT_NEAR(Vector3Length(*tilted.GetPosition()), 90.0f, 1e-3f);
}

TEST(OrbitCamera, RightDragPansTargetAndEyeTogether) {
	COrbitCamera camera;
	Level(camera);
	camera.Control(0.1f, Drag(100, 100, false));
	camera.Control(0.1f, Drag(110, 90, false));
	// v = -10 * 0.3 along the axis; h = -10 * 0.3 along the side (-x).
	ExpectVector(*camera.GetTarget(), 3, 0, -3);
	ExpectVector(*camera.GetPosition(), 3, -90, -3);
}

TEST(CameraPair, ActiveCameraAndDebugFlight) {
	ConsoleFlags flags;
	CCameraPair pair;
	EXPECT_EQ(pair.GetActive(), pair.GetCamera(0));
	pair.SetActive(1, true);
	EXPECT_EQ(pair.GetActive(), pair.GetCamera(1)); // the second has priority

	pair.GetCamera(1)->SetPosition(Vector3{30, 0, 0}, false);
	pair.GetCamera(0)->SetPosition(Vector3{30, 0, 0}, false);
	pair.Update(0.25f, false, true);
	ExpectVector(*pair.GetCamera(1)->GetPosition(), 17.5f, 0, 0);
	ExpectVector(*pair.GetCamera(0)->GetPosition(), 0, 0, 0, 0);

	// Both flags clear: nothing moves and nothing is applied.
	pair.SetActive(1, false);
	pair.ClearFirstActive();
	pair.Update(0.25f, false, true);
	ExpectVector(*pair.GetCamera(1)->GetPosition(), 17.5f, 0, 0);
	CurrentCamera = nullptr;
	pair.Apply(nullptr);
	EXPECT_EQ(CurrentCamera, nullptr);

	pair.SetFirstActive();
	pair.Apply(nullptr);
	EXPECT_EQ(CurrentCamera, pair.GetCamera(0));

	// With "debugcam" only the debug camera moves.
	flags.DebugCam(true);
	pair.Update(0.25f, false, true);
	ExpectVector(*pair.GetCamera(0)->GetPosition(), 0, 0, 0, 0);
	pair.Apply(nullptr);
	EXPECT_EQ(CurrentCamera, &DebugCamera);

	// Without an input source the renderer reads no flag at all.
	SetCameraInputSource(CameraInputSource());
	EXPECT_FALSE(IsDebugCameraOn());
	InstallCameraInput();
	EXPECT_TRUE(IsDebugCameraOn());
	flags.DebugCam(false);

	pair.Destroy();
	EXPECT_EQ(pair.GetCamera(0), nullptr);
	EXPECT_EQ(pair.GetActive(), nullptr);
	EXPECT_EQ(CurrentCamera, &DebugCamera);
	CurrentCamera = nullptr;
}

TEST(CameraDirections, YawPitchConventions) {
	ExpectVector(DirectionFromYawPitch(0, 0), 0, 1, 0, 1e-6f);
	ExpectVector(DirectionFromYawPitch(1.5707964f, 0), -1, 0, 0, 1e-6f);
	ExpectVector(DirectionFromYawPitch(0, 0.5f), 0, std::cos(0.5f), -std::sin(0.5f), 1e-6f);
	float yaw, pitch;
	YawPitchFromDirection(Vector3{0, -2, 0}, yaw, pitch);
	EXPECT_NEAR(yaw, 4.712389f, 1e-5f);
	EXPECT_NEAR(pitch, 0.0f, 1e-6f);
	YawPitchFromDirection(Vector3{}, yaw, pitch);
	EXPECT_TRUE(std::isfinite(yaw) && std::isfinite(pitch));
}

TEST(CameraCurves, SpeedTablesAndMomentumCurves) {
	// Knots, between knots, past the last knot and at 0.
	struct { const CameraSpeedTable &table; float at, speed; } speeds[] = {
		{CameraChaseSpeeds, 2.5f, 4}, {CameraChaseSpeeds, 5, 12}, {CameraChaseSpeeds, 10, 20},
		{CameraChaseSpeeds, 20, 40}, {CameraChaseSpeeds, 40, 100}, {CameraChaseSpeeds, 50, 300},
		{CameraChaseSpeeds, 500, 300}, {CameraChaseSpeeds, 30, 70}, {CameraChaseSpeeds, 0.2f, 0.32f},
		{CameraChaseSpeeds, 0, 0}, {CameraUpSpeeds, 1, 0.5f}, {CameraUpSpeeds, 2, 1}, {CameraUpSpeeds, 3, 1}};
	for (const auto &s : speeds) EXPECT_NEAR(CameraTableSpeed(s.table, s.at), s.speed, 1e-6f * (1 + s.speed)) << s.at;

	// Nothing inside 0.02: no friction and no acceleration, whatever the drift.
	EXPECT_EQ(CameraFrictionCurve(0.02f), 0.0f);
	EXPECT_EQ(CameraSpeedCurve(0.01f, 5.0f), 0.0f);
	EXPECT_EQ(CameraSpeedCurve(-0.02f, 5.0f), 0.0f);
	struct { float l, friction; } frictions[] = {{1, 1}, {4, 0.75f}, {10, 0.625f}, {16, 0.5f}, {100, 0.3f}};
	for (const auto &f : frictions) EXPECT_FLOAT_EQ(CameraFrictionCurve(f.l), f.friction) << f.l;
	struct { float l, s, speed; } gains[] = {{1, 0, 0.5f}, {2.5f, 0, 2.25f}, {-4, 1, 3}, {64, -10, 30}};
	for (const auto &g : gains) EXPECT_FLOAT_EQ(CameraSpeedCurve(g.l, g.s), g.speed) << g.l;

	EXPECT_NEAR(CameraSeparationPush(0.5f), 0.33333f, 1e-4f);
	EXPECT_EQ(CameraSeparationPush(2.0f), 0.0f);
	EXPECT_EQ(CameraSeparationPush(1e-6f), 2.0f);
}

TEST(SmoothCameraLaw, ChasesAtTheCurveSpeedAndSnaps) {
	// The vector, its current value and goal, the step, the current value after it.
	struct { CameraVector which; Vector3 current, goal; float dt; Vector3 after; float tolerance; } cases[] = {
		{CameraPosition, {}, {30, 0, 0}, 0.25f, {17.5f, 0, 0}, 1e-4f}, // 30 from the goal: 70 units/s
		{CameraPosition, {}, {30, 0, 0}, 0.5f, {30, 0, 0}, 0.0f},      // 35 > 30: snaps
		{CameraTarget, {0, 0, 10}, {0, 0, 10.2f}, 0.5f, {0, 0, 10.16f}, 1e-4f}, // 0.2 away: 0.32 units/s
		{CameraTarget, {0, 0, 10.2f}, {0, 0, 10.4f}, 1.0f, {0, 0, 10.4f}, 0.0f}, // snaps once v dt exceeds 0.2
		{CameraUp, {0, 0, 1}, {0, 0, -1}, 0.25f, {0, 0, 0.75f}, 1e-4f}, // up: 1 unit/s from two away
	};
	for (const auto &c : cases) {
		Opened<CSmoothCamera> camera;
		camera.At(c.which) = SmoothedVector{c.current, c.goal, {}};
		camera.Update(c.dt, false, false);
		ExpectVector(camera.At(c.which).current, c.after.x, c.after.y, c.after.z, c.tolerance);
	}
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
	// Target height, frame time and the target's drift after one update.
	struct { float z, dt, drift; } cases[] = {
		{0.5f, 0.0f, 0.33333f}, {2.0f, 0.0f, 0.0f},
		{1e-6f, 0.0f, 2.0f}, // eye and target almost together: at most 2 per frame, never a fling
		{0.0f, 0.1f, 0.0f},  // on the same point there is no direction to push along
	};
	for (const auto &c : cases) {
		TestInertialCamera camera;
		camera.SetTarget(Vector3{0.0f, 0.0f, c.z}, true);
		camera.Update(c.dt, false, false);
		float tolerance = c.drift == 0.0f ? 0.0f : 1e-4f;
		ExpectVector(camera.At(CameraTarget).drift, 0.0f, 0.0f, c.drift, tolerance);
		ExpectVector(camera.At(CameraPosition).drift, 0.0f, 0.0f, -c.drift, tolerance);
		EXPECT_TRUE(Finite(*camera.GetPosition())) << c.z;
	}
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
