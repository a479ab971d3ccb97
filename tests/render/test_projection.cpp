// The projection, look-at views and projecting points to the screen and back.
#include <cmath>

#include <gtest/gtest.h>

#include "core/matrix.h"
#include "render/backend.h"
#include "render/camera.h"
#include "render/projection.h"
#include "render/render_maths.h"
#include "render/render_setup.h"

namespace {

const ViewportRect Screen{0, 0, 800, 600};

// The main game's perspective in load order.
void GamePerspective(float out[16]) {
	Matrix4 m;
	MakePerspectiveMatrix(m, PerspectiveFieldOfView, 0.75f, 1.0f, 2500.0f);
	for (int i = 0; i < 16; i++) out[i] = m.m[i];
}

void ExpectElements(const Matrix4 &m, const float (&expected)[16]) {
	for (int i = 0; i < 16; i++) EXPECT_FLOAT_EQ(m.m[i], expected[i]) << i;
}

// Eye at the origin looking along +y, up +z.
Matrix4 LookNorth() {
	Matrix4 view;
	EXPECT_TRUE(LookAt(Vector3{}, view, Vector3{0.0f, 0.0f, 1.0f}, Vector3{0.0f, 10.0f, 0.0f}));
	return view;
}

void ExpectScreen(const Vector3 &p, float x, float y, float tolerance = 1e-4f) {
	EXPECT_NEAR(p.x, x, tolerance);
	EXPECT_NEAR(p.y, y, tolerance);
}

} // namespace

TEST(Perspective, LoadsTheGameMatrixAndKeepsOneCopy) {
	SetDeviceLost(false);
	SetPerspective(0, 0, 800, 600, 1.0f, 2500.0f);
	Matrix4 p;
	GetProjectionMatrix(p);
	ExpectElements(p, {1.8106602f, 0, 0, 0, 0, 2.4142136f, 0, 0, 0, 0, 1.0004002f, 1, 0, 0, -1.0004002f, 0});
	for (int i = 0; i < 16; i++) EXPECT_EQ(GetCurrentProjection()[i], p.m[i]) << i;
	ViewportRect v;
	GetViewport(v);
	EXPECT_EQ(v.width, 800);
	EXPECT_EQ(v.height, 600);

	// While the graphics are lost nothing changes.
	SetDeviceLost(true);
	SetPerspective(10, 10, 400, 400, 2.0f, 10.0f);
	SetDeviceLost(false);
	GetProjectionMatrix(p);
	GetViewport(v);
	EXPECT_FLOAT_EQ(p.m[0], 1.8106602f);
	EXPECT_EQ(v.x, 0);
	EXPECT_EQ(v.width, 800);
}

TEST(LookAt, HandComputedViewsAndNoViewLeavesTheOutputAlone) {
	Matrix4 view;
	ASSERT_TRUE(LookAt(Vector3{}, view, Vector3{0.0f, 1.0f, 0.0f}, Vector3{0.0f, 0.0f, 1.0f}));
	ExpectElements(view, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
	// z-up world looking north: right is world -x, true up is +z.
	ExpectElements(LookNorth(), {-1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1});

	// Translation: -R.eye etc.
	ASSERT_TRUE(LookAt(Vector3{3.0f, -50.0f, 7.0f}, view, Vector3{0.0f, 0.0f, 1.0f}, Vector3{3.0f, 0.0f, 7.0f}));
	EXPECT_FLOAT_EQ(view.m[3], 3.0f);
	EXPECT_FLOAT_EQ(view.m[7], -7.0f);
	EXPECT_FLOAT_EQ(view.m[11], 50.0f);

	// Eye on the target, or looking along the up: false, the output kept.
	view = LookNorth();
	EXPECT_FALSE(LookAt(Vector3{1.0f, 2.0f, 3.0f}, view, Vector3{0.0f, 0.0f, 1.0f}, Vector3{1.0f, 2.0f, 3.0f}));
	EXPECT_FALSE(LookAt(Vector3{0.0f, 0.0f, 90.0f}, view, Vector3{0.0f, 0.0f, 1.0f}, Vector3{}));
	ExpectElements(view, {-1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1});
}

TEST(ProjectPoint, CentreRightUpAndBehind) {
	float projection[16];
	GamePerspective(projection);
	Matrix4 view = LookNorth();
	Vector3 out;

	ASSERT_TRUE(ProjectPoint(Vector3{0.0f, 10.0f, 0.0f}, view, Screen, out, projection));
	ExpectScreen(out, 400.0f, 300.0f);
	// Depth: (z/w + 1)/2 with z = 1.0004002 * 10 + 1, w = -1.0004002 * 10.
	EXPECT_NEAR(out.z, (1.0f - (10.004002f + 1.0f) / 10.004002f) / 2.0f, 1e-5f);

	// World -x is screen-right: x = 400 + 400 * sx / (1.0004002 * depth).
	ASSERT_TRUE(ProjectPoint(Vector3{-1.0f, 10.0f, 0.0f}, view, Screen, out, projection));
	ExpectScreen(out, 400.0f + 400.0f * 1.8106602f / 10.004002f, 300.0f, 1e-3f);
	ASSERT_TRUE(ProjectPoint(Vector3{1.0f, 10.0f, 0.0f}, view, Screen, out, projection));
	EXPECT_LT(out.x, 400.0f);

	// Up is toward the top of the screen (smaller y).
	ASSERT_TRUE(ProjectPoint(Vector3{0.0f, 10.0f, 1.0f}, view, Screen, out, projection));
	ExpectScreen(out, 400.0f, 300.0f - 300.0f * 2.4142136f / 10.004002f, 1e-3f);

	// The viewport's corner offsets the result.
	ASSERT_TRUE(ProjectPoint(Vector3{0.0f, 10.0f, 0.0f}, view, ViewportRect{10, 20, 800, 600}, out, projection));
	ExpectScreen(out, 410.0f, 320.0f);

	// Behind or on the eye plane: not on screen, the output kept.
	out = Vector3{-7.0f, -7.0f, -7.0f};
	EXPECT_FALSE(ProjectPoint(Vector3{-1.0f, -10.0f, 0.0f}, view, Screen, out, projection));
	EXPECT_FALSE(ProjectPoint(Vector3{5.0f, 0.0f, 2.0f}, view, Screen, out, projection));
	EXPECT_TRUE(out.x == -7.0f && out.y == -7.0f && out.z == -7.0f);
}

TEST(ProjectPoint, UnprojectRoundTrip) {
	float projection[16];
	GamePerspective(projection);
	Matrix4 view;
	ASSERT_TRUE(LookAt(Vector3{0.0f, -50.0f, 10.0f}, view, Vector3{0.0f, 0.0f, 1.0f}, Vector3{}));
	const Vector3 world{-12.0f, 30.0f, 4.0f};
	Vector3 screen, back;
	ASSERT_TRUE(ProjectPoint(world, view, Screen, screen, projection));
	screen.z = screen.z * 2.0f - 1.0f; // back to clip units
	ASSERT_TRUE(UnprojectPoint(screen, view, Screen, back, projection));
	EXPECT_NEAR(back.x, world.x, 0.05f);
	EXPECT_NEAR(back.y, world.y, 0.05f);
	EXPECT_NEAR(back.z, world.z, 0.05f);
}

// The OpenGL build keeps the view in column order and the projection as
// loaded; the Direct3D build sets the transposed view as the device's view
// transform and the same 16 floats as its projection. Either way the reader
// transposes the view back to row form before projecting.
TEST(ProjectToScreen, SameScreenPointInBothBackEndForms) {
	SetDeviceLost(false);
	SetPerspective(0, 0, 800, 600, 1.0f, 2500.0f);
	Matrix4 view;
	ASSERT_TRUE(LookAt(Vector3{20.0f, -60.0f, 15.0f}, view, Vector3{0.0f, 0.0f, 1.0f}, Vector3{0.0f, 5.0f, 2.0f}));
	ApplySceneView(view);

	const Vector3 world{-8.0f, 12.0f, 6.0f};
	Vector3 here;
	ASSERT_TRUE(ProjectToScreen(here, world));

	float projection[16];
	GamePerspective(projection);

	float glView[16];
	MatrixToGLOrder(glView, view);
	Matrix4 fromGL;
	MatrixFromGLOrder(fromGL, glView);
	Vector3 gl;
	ASSERT_TRUE(ProjectPoint(world, fromGL, Screen, gl, projection));

	Matrix4 deviceView, fromDevice;
	Matrix4Transpose(deviceView, view);
	Matrix4Transpose(fromDevice, deviceView);
	Vector3 d3d;
	ASSERT_TRUE(ProjectPoint(world, fromDevice, Screen, d3d, projection));

	for (const Vector3 &other : {gl, d3d}) {
		EXPECT_FLOAT_EQ(here.x, other.x);
		EXPECT_FLOAT_EQ(here.y, other.y);
		EXPECT_FLOAT_EQ(here.z, other.z);
	}

	// Reading the stored transpose as if it were row form lands elsewhere.
	Vector3 wrong;
	bool onScreen = ProjectPoint(world, deviceView, Screen, wrong, projection);
	EXPECT_TRUE(!onScreen || std::fabs(wrong.x - here.x) > 1.0f || std::fabs(wrong.y - here.y) > 1.0f);

	// A 2D pass afterwards loads its own matrices; world points still land
	// where the 3D pass put them (labels over soldiers are drawn in 2D).
	SetScreenProjection();
	Matrix4 p;
	GetProjectionMatrix(p);
	EXPECT_EQ(GetCurrentProjection()[0], p.m[0]);
	EXPECT_NE(p.m[0], projection[0]);
	Vector3 after;
	ASSERT_TRUE(ProjectToScreen(after, world));
	EXPECT_FLOAT_EQ(after.x, here.x);
	EXPECT_FLOAT_EQ(after.y, here.y);
	Vector3 back, clip = here;
	clip.z = clip.z * 2.0f - 1.0f; // back to clip units
	ASSERT_TRUE(UnprojectFromScreen(back, clip));
	EXPECT_NEAR(back.x, world.x, 0.05f);
	EXPECT_NEAR(back.y, world.y, 0.05f);
}

TEST(ProjectToScreen, AppliedCameraTargetIsTheScreenCentre) {
	SetDeviceLost(false);
	SetPerspective(0, 0, 800, 600, 1.0f, 2500.0f);
	CSmoothCamera camera;
	camera.SetPosition(Vector3{40.0f, -30.0f, 25.0f}, true);
	camera.SetTarget(Vector3{5.0f, 5.0f, 1.0f}, true);
	camera.SetUp(Vector3{0.0f, 0.0f, 1.0f}, true);
	camera.ApplyView();
	Vector3 out;
	ASSERT_TRUE(ProjectToScreen(out, Vector3{5.0f, 5.0f, 1.0f}));
	ExpectScreen(out, 400.0f, 300.0f, 1e-3f);
	EXPECT_EQ(CurrentCamera, &camera);
}
