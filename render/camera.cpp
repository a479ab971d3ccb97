#include "render/camera.h"

#include <cmath>

#include "render/backend.h"
#include "render/projection.h"

CCamera *CurrentCamera = nullptr;
CFreeFlyCamera DebugCamera;

static CameraInputSource cameraInput;

void SetCameraInputSource(const CameraInputSource &source) {
	cameraInput = source;
}

bool IsDebugCameraOn() {
	return cameraInput.debugCameraOn && cameraInput.debugCameraOn();
}

void CFreeFlyCamera::Fly() {
	Fly(cameraInput.readFly ? cameraInput.readFly() : FlyInput());
}

void COrbitCamera::Control(float dt) {
	Control(dt, cameraInput.readOrbit ? cameraInput.readOrbit() : OrbitInput());
}

// Below this length a vector gives no direction worth steering by.
static const float DegenerateLength = 0.00001f;

CCamera *GetCurrentCamera() {
	return CurrentCamera;
}

// ---- CCamera ------------------------------------------------------------------

CCamera::CCamera() {
	Matrix4Identity(lastView);
}

CCamera::~CCamera() {
	if (CurrentCamera == this) {
		CurrentCamera = nullptr;
	}
}

bool CCamera::GetViewMatrix(Matrix4 &out) {
	bool good = LookAt(*GetPosition(), lastView, *GetUp(), *GetTarget());
	out = lastView;
	return good;
}

void CCamera::Apply(const Matrix4 *model, bool allowDebug) {
	Matrix4 view;
	GetViewMatrix(view);
	if (model) {
		Matrix4Multiply(view, view, *model);
	}
	ApplySceneView(view);
	CurrentCamera = this;
	if (allowDebug && IsDebugCameraOn()) {
		DebugCamera.Apply(nullptr, false);
		CurrentCamera = &DebugCamera;
	}
}

Vector3 CCamera::GetRight() {
	Vector3 view, right;
	Vector3Subtract(view, *GetTarget(), *GetPosition());
	return Vector3Cross(right, view, *GetUp());
}

Vector3 CCamera::GetTrueUp() {
	Vector3 view, up;
	Vector3Subtract(view, *GetTarget(), *GetPosition());
	return Vector3Cross(up, view, GetRight());
}

void CCamera::GetYawPitch(float &yaw, float &pitch) {
	Vector3 view;
	YawPitchFromDirection(Vector3Subtract(view, *GetTarget(), *GetPosition()), yaw, pitch);
}

// ---- CInertialCamera ----------------------------------------------------------------

CInertialCamera::CInertialCamera() {
	vectors[CameraTarget].current = Vector3{0.0f, 0.0f, 10.0f};
	vectors[CameraTarget].goal = Vector3{0.0f, 0.0f, 10.0f};
	vectors[CameraUp].current = Vector3{1.0f, 0.0f, 0.0f};
	vectors[CameraUp].goal = Vector3{1.0f, 0.0f, 0.0f};
}

CInertialCamera::CInertialCamera(const Vector3 &up, const Vector3 &position,
                                 const Vector3 &target) {
	SetPosition(position, true);
	SetTarget(target, true);
	SetUp(up, true);
}

static void Store(SmoothedVector &v, const Vector3 &value, bool snap) {
	v.goal = value;
	if (snap) {
		v.current = value;
		v.drift = Vector3();
	}
}

void CInertialCamera::SetUp(const Vector3 &up, bool snap) {
	Store(vectors[CameraUp], up, snap);
	NormaliseUp();
}

void CInertialCamera::SetPosition(const Vector3 &position, bool snap) {
	Store(vectors[CameraPosition], position, snap);
}

void CInertialCamera::SetTarget(const Vector3 &target, bool snap) {
	Store(vectors[CameraTarget], target, snap);
}

static void NormaliseIfLong(Vector3 &v) {
	float length = Vector3Length(v);
	if (length >= DegenerateLength) {
		Vector3Scale(v, v, 1.0f / length);
	}
}

void CInertialCamera::NormaliseUp() {
	NormaliseIfLong(vectors[CameraUp].current);
	NormaliseIfLong(vectors[CameraUp].goal);
}

// ---- COrbitCamera -------------------------------------------------------------------

COrbitCamera::COrbitCamera()
    : axis{0.0f, 0.0f, 1.0f}, distance(90.0f), dragStartX(0.0f), dragStartY(0.0f),
      panActive(false), rotateActive(false) {
	SetPosition(Vector3{0.0f, 0.0f, 90.0f}, true);
	SetTarget(Vector3{0.0f, 0.0f, 0.0f}, true);
	SetUp(Vector3{0.0f, 0.0f, 1.0f}, true);
	velocity = Vector3();
}

void COrbitCamera::Control(float dt, const OrbitInput &input) {
	Vector3 m{input.x, input.y, 0.0f};
	Vector3 p = *GetPosition();
	Vector3 t = *GetTarget();
	Vector3 view, side;
	Vector3Subtract(view, t, p);
	Vector3Cross(side, axis, view);
	float sideLength = Vector3Length(side);
	if (sideLength >= DegenerateLength) {
		Vector3Scale(side, side, 1.0f / sideLength);
	} else {
		side = Vector3(); // looking along the axis: no sideways pan
	}

	if (input.wheel != input.previousWheel) {
		Wheel(input, p, t);
	}

	if (input.rotateKey) {
		if (!input.leftButton) {
			rotateActive = false;
		} else if (!rotateActive) {
			rotateActive = true;
			dragStartX = m.x;
			dragStartY = m.y;
		}
		if (rotateActive) {
			Rotate(dt, m, p, t);
		}
	}

	if (!input.rightButton) {
		panActive = false;
	} else if (!panActive) {
		panActive = true;
		dragStartX = m.x;
		dragStartY = m.y;
	}
	if (input.rightButton && panActive) {
		Pan(input, side);
	}

	SetUp(axis, true);
	Update(dt, false, true);
}

void COrbitCamera::Wheel(const OrbitInput &input, const Vector3 &p, const Vector3 &t) {
	// Never closer than 1: at 0 the eye would sit on the target and the view
	// would be lost for good.
	distance -= (float)(input.wheel - input.previousWheel) * 0.05f;
	if (distance < 1.0f) {
		distance = 1.0f;
	}
	Vector3 out;
	Vector3Subtract(out, p, t);
	float length = Vector3Length(out);
	if (!(length >= DegenerateLength)) {
		return;
	}
	Vector3 position;
	Vector3MultiplyAdd(position, t, out, distance / length);
	if (position.z < 1.0f) {
		position.z = 1.0f;
	}
	SetPosition(position, true);
}

void COrbitCamera::Rotate(float dt, const Vector3 &m, const Vector3 &p, const Vector3 &t) {
	Vector3 r;
	Vector3Subtract(r, p, t);
	float length = Vector3Length(r);
	if (!(length >= DegenerateLength)) {
		dragStartX = m.x;
		dragStartY = m.y;
		return;
	}
	Vector3Scale(r, r, 1.0f / length);
	Vector3 f;
	Vector3Scale(f, r, -1.0f);

	if (m.y != dragStartY) {
		// Tilt about the side axis. Looking along the orbit axis there is no
		// side to tilt about: the step is skipped and the pose kept.
		Vector3 tiltAxis;
		Vector3Cross(tiltAxis, axis, f);
		if (Vector3Length(tiltAxis) >= DegenerateLength) {
			Matrix3 rotation;
			Matrix3RotationAxis(rotation, tiltAxis, (m.y - dragStartY) * dt * 0.087222226f);
			Matrix3TransformVector3(r, rotation, r);
			Vector3 newUp;
			Vector3Cross(newUp, f, tiltAxis);
			SetUp(newUp, true);
			// Kept unit length so the pan speed along it does not drift.
			Vector3Scale(axis, newUp, 1.0f / Vector3Length(newUp));
			Vector3 position;
			SetPosition(Vector3MultiplyAdd(position, t, r, distance), true);
		}
	}

	Vector3 target = *GetTarget();
	if (m.x != dragStartX) {
		Matrix3 rotation;
		Matrix3RotationAxis(rotation, axis, dt * (m.x - dragStartX) * 0.087222226f);
		Matrix3TransformVector3(r, rotation, r);
		Vector3 position;
		SetPosition(Vector3MultiplyAdd(position, target, r, distance), true);
	}
	dragStartX = m.x;
	dragStartY = m.y;
}

void COrbitCamera::MoveBoth(const Vector3 &offset) {
	Vector3 v;
	SetTarget(Vector3Add(v, *GetTarget(), offset), true);
	SetPosition(Vector3Add(v, *GetPosition(), offset), true);
}

void COrbitCamera::Pan(const OrbitInput &input, const Vector3 &side) {
	Vector3 offset;
	MoveBoth(Vector3Scale(offset, axis, (input.y - dragStartY) * 0.3f));
	MoveBoth(Vector3Scale(offset, side, (dragStartX - input.x) * 0.3f));
	dragStartX = input.x;
	dragStartY = input.y;
}

// ---- CFreeFlyCamera -----------------------------------------------------------------

CFreeFlyCamera::CFreeFlyCamera() : yaw(0.0f), pitch(0.0f), eye{0.0f, 0.0f, 60.0f} {
}

void CFreeFlyCamera::Fly(const FlyInput &input) {
	float turn = input.frameTime;
	float move = input.frameTime * (input.fast ? 4.0f : 1.0f);

	if (input.control) {
		// On the camera's current vectors, not normalised.
		Vector3 trueUp = GetTrueUp();
		Vector3 right = GetRight();
		if (input.up) Vector3MultiplyAdd(eye, eye, trueUp, 13.0f * move);
		if (input.down) Vector3MultiplyAdd(eye, eye, trueUp, -13.0f * move);
		if (input.left) Vector3MultiplyAdd(eye, eye, right, 13.0f * move);
		if (input.right) Vector3MultiplyAdd(eye, eye, right, -13.0f * move);
	} else {
		if (input.up) pitch -= 2.0f * turn;
		if (input.down) pitch += 2.0f * turn;
		if (input.left) yaw -= 2.5f * turn;
		if (input.right) yaw += 2.5f * turn;
	}
	const float pitchLimit = 1.2566371f;
	if (pitch > pitchLimit) pitch = pitchLimit;
	if (pitch < -pitchLimit) pitch = -pitchLimit;

	Vector3 d = DirectionFromYawPitch(yaw, pitch);
	if (input.home) Vector3MultiplyAdd(eye, eye, d, 20.0f * move);
	if (input.end) Vector3MultiplyAdd(eye, eye, d, -20.0f * move);

	Vector3 target;
	SetPosition(eye, true);
	SetTarget(Vector3Add(target, eye, d), true);
	SetUp(Vector3{0.0f, 0.0f, 1.0f}, true);
}

// ---- CCameraPair --------------------------------------------------------------------

CCameraPair::CCameraPair() {
	cameras[0] = new CSmoothCamera;
	cameras[1] = new CSmoothCamera;
	active[0] = true;
	active[1] = false;
}

CCameraPair::~CCameraPair() {
	Destroy();
}

CSmoothCamera *CCameraPair::GetActive() {
	for (int i = 1; i >= 0; i--) {
		if (active[i] && cameras[i]) {
			return cameras[i];
		}
	}
	return nullptr;
}

void CCameraPair::Update(float dt, bool moveGoals, bool moveCurrent) {
	if (IsDebugCameraOn()) {
		DebugCamera.Fly();
		return;
	}
	// Through the virtual slot: each camera runs its own law.
	CCamera *camera = GetActive();
	if (camera) {
		camera->Update(dt, moveGoals, moveCurrent);
	}
}

void CCameraPair::Apply(const Matrix4 *model) {
	CCamera *camera = GetActive();
	if (camera) {
		camera->Apply(model, true);
	}
}

void CCameraPair::Destroy() {
	for (int i = 0; i < 2; i++) {
		delete cameras[i];
		cameras[i] = nullptr;
	}
}

// ---- directions -----------------------------------------------------------------------

Vector3 DirectionFromYawPitch(float yaw, float pitch) {
	return Vector3{std::sin(-yaw) * std::cos(pitch), std::cos(-yaw) * std::cos(-pitch),
	               std::sin(-pitch)};
}

void YawPitchFromDirection(const Vector3 &direction, float &yaw, float &pitch) {
	const float twoPi = 6.2831855f;
	float length = Vector3Length(direction);
	if (!(length >= DegenerateLength)) {
		yaw = 0.0f;
		pitch = 0.0f;
		return;
	}
	Vector3 d;
	Vector3Scale(d, direction, 1.0f / length);
	yaw = std::atan2(d.y, d.x);
	pitch = std::asin(d.z < -1.0f ? -1.0f : (d.z > 1.0f ? 1.0f : d.z));
	if (yaw < 0.0f) yaw += twoPi;
	if (pitch < 0.0f) pitch += twoPi;
}
