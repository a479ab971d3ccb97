#include <cmath>

#include <gtest/gtest.h>

#include "app/camera_input.h"
#include "app/console.h"
#include "render/backend.h"
#include "render/camera.h"
#include "render/projection.h"

namespace {

const float Tolerance = 1e-3f;
const float Step = 10.0f * 0.1f * 0.087222226f; // 10 pixels of drag at dt 0.1

void ExpectVector(const Vector3 &v, float x, float y, float z, float tolerance = Tolerance) {
	EXPECT_NEAR(v.x, x, tolerance);
	EXPECT_NEAR(v.y, y, tolerance);
	EXPECT_NEAR(v.z, z, tolerance);
}

bool Finite(const Vector3 &v) {
	return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool FiniteView(CCamera &camera) {
	Matrix4 view;
	camera.GetViewMatrix(view);
	for (float f : view.m) {
		if (!std::isfinite(f)) return false;
	}
	return true;
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

TEST(Camera, CurrentCameraFollowsApplyAndDestruction) {
	ConsoleFlags flags;
	CSmoothCamera *a = new CSmoothCamera;
	CSmoothCamera *b = new CSmoothCamera;
	a->Apply(nullptr, true);
	EXPECT_EQ(CurrentCamera, a);
	EXPECT_EQ(GetCurrentCamera(), a);
	delete b;
	EXPECT_EQ(CurrentCamera, a);
	delete a;
	EXPECT_EQ(CurrentCamera, nullptr);
}

TEST(Camera, ApplyLoadsTheViewTimesTheModel) {
	CSmoothCamera camera;
	camera.SetPosition(Vector3{0, -10, 0}, true);
	camera.SetTarget(Vector3{}, true);
	camera.SetUp(Vector3{0, 0, 1}, true);
	Matrix4 model;
	Matrix4Identity(model);
	model.m[3] = 5.0f; // move 5 along x
	camera.Apply(&model, false);
	Matrix4 loaded, view, expected;
	GetViewMatrix(loaded);
	camera.GetViewMatrix(view);
	Matrix4Multiply(expected, view, model);
	for (int i = 0; i < 16; i++) {
		EXPECT_NEAR(loaded.m[i], expected.m[i], 1e-6f) << i;
	}
}

TEST(Camera, DebugCameraTakesOverWhileDebugcamIsOn) {
	ConsoleFlags flags;
	CSmoothCamera camera;
	camera.SetPosition(Vector3{0, -10, 0}, true);
	camera.SetTarget(Vector3{}, true);
	camera.SetUp(Vector3{0, 0, 1}, true);

	flags.DebugCam(true);
	camera.Apply();
	EXPECT_EQ(CurrentCamera, &DebugCamera);
	Matrix4 loaded, debugView;
	GetViewMatrix(loaded);
	DebugCamera.GetViewMatrix(debugView);
	for (int i = 0; i < 16; i++) {
		EXPECT_FLOAT_EQ(loaded.m[i], debugView.m[i]);
	}
	// The form without the debug check keeps this camera.
	camera.ApplyView();
	EXPECT_EQ(CurrentCamera, &camera);

	flags.DebugCam(false);
	camera.Apply();
	EXPECT_EQ(CurrentCamera, &camera);
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
	EXPECT_NEAR(camera.GetEye().z, 60.0f - 1.3f, Tolerance);
}

TEST(OrbitCamera, WheelShortensTheDistanceAndKeepsAboveGround) {
	COrbitCamera camera;
	OrbitInput in;
	in.wheel = 120;
	camera.Control(0.1f, in);
	EXPECT_FLOAT_EQ(camera.GetDistance(), 84.0f);
	ExpectVector(*camera.GetPosition(), 0, 0, 84);

	COrbitCamera low;
	low.SetPosition(Vector3{0, -90, 0}, true); // level with the target
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
	EXPECT_TRUE(Finite(*camera.GetPosition()));
	EXPECT_TRUE(Finite(*camera.GetUp()));
	EXPECT_TRUE(Finite(camera.GetAxis()));
	EXPECT_TRUE(FiniteView(camera));
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
	EXPECT_TRUE(Finite(*level.GetPosition()));
	EXPECT_TRUE(FiniteView(level));
}

TEST(OrbitCamera, RotateDragTurnsAboutTheSideAndTheAxis) {
	COrbitCamera camera;
	Level(camera);
	camera.Control(0.1f, Drag(100, 100, true)); // grabs
	camera.Control(0.1f, Drag(100, 110, true)); // 10 down: tilt up over the target
	ExpectVector(*camera.GetPosition(), 0, -90 * std::cos(Step), 90 * std::sin(Step));
	ExpectVector(camera.GetAxis(), 0, 0, 1, 1e-6f);
	ExpectVector(*camera.GetUp(), 0, 0, 1, 1e-6f);

	COrbitCamera turning;
	Level(turning);
	turning.Control(0.1f, Drag(100, 100, true));
	turning.Control(0.1f, Drag(110, 100, true)); // 10 right: about the axis
	ExpectVector(*turning.GetPosition(), 90 * std::sin(Step), -90 * std::cos(Step), 0);

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
	EXPECT_NEAR(tilted.GetAxis().y, std::sqrt(0.5f), Tolerance);
	EXPECT_NEAR(Vector3Length(*tilted.GetPosition()), 90.0f, Tolerance);
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
	flags.DebugCam(false);

	// Without an input source the renderer reads no flag at all.
	flags.DebugCam(true);
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
