// The camera family. A camera keeps three smoothed vectors (eye position,
// look-at target, up), each with a current value that chases a goal, plus a
// velocity that can carry position and target along. Applying a camera loads
// its view matrix and makes it the current camera, which culling, the world
// render and the game states read.
//
//   CCamera            abstract base
//   CInertialCamera    holds the data; momentum law
//   CSmoothCamera      distance-curve chase
//   COrbitCamera       mouse orbit (test states)
//   CFreeFlyCamera     keyboard flight (the debug camera)
//   CCameraPair        owner of the main game's two smooth cameras
#ifndef RENDER_CAMERA_H
#define RENDER_CAMERA_H

#include "core/matrix.h"
#include "core/vector.h"

class CCamera {
public:
	CCamera();
	virtual ~CCamera();

	// Stores the up goal (with snap also the current up, and the up drift
	// is zeroed), then normalises current and goal.
	virtual void SetUp(const Vector3 &up, bool snap) = 0;
	virtual const Vector3 *GetUp() = 0;
	virtual void SetPosition(const Vector3 &position, bool snap) = 0;
	virtual const Vector3 *GetPosition() = 0;
	virtual void SetTarget(const Vector3 &target, bool snap) = 0;
	virtual const Vector3 *GetTarget() = 0;
	virtual void SetVelocity(const Vector3 &velocity) = 0;
	virtual Vector3 GetVelocity() = 0;
	// The motion law, once per frame.
	virtual void Update(float dt, bool moveGoals, bool moveCurrent) = 0;

	// Loads view (x model when given) and becomes CurrentCamera; then, with
	// allowDebug and the console's "debugcam" on, the debug camera is
	// applied instead and becomes current.
	void Apply(const Matrix4 *model, bool allowDebug);
	void Apply() { Apply(nullptr, true); }
	void ApplyView() { Apply(nullptr, false); }

	// The view matrix of the current vectors. While they give no view (eye on
	// the target, up along the view) the last good one is kept; false then.
	bool GetViewMatrix(Matrix4 &out);

	// (target - position) x up and (target - position) x right, not
	// normalised. Note: the first points to the left of the screen and the
	// second down it, as the debug flight uses them.
	Vector3 GetRight();
	Vector3 GetTrueUp();
	void GetYawPitch(float &yaw, float &pitch);

	void SnapPosition(const Vector3 &position) { SetPosition(position, true); }
	void SnapTarget(const Vector3 &target) { SetTarget(target, true); }

private:
	CCamera(const CCamera &) = delete;
	CCamera &operator=(const CCamera &) = delete;

	Matrix4 lastView; // last view the vectors gave; identity until then
};

// The three smoothed vectors, in the order the motion laws walk them.
enum CameraVector { CameraPosition = 0, CameraTarget = 1, CameraUp = 2, CameraVectorCount = 3 };

struct SmoothedVector {
	Vector3 current;
	Vector3 goal;
	Vector3 drift; // rate of the current value (momentum law only)
};

class CInertialCamera : public CCamera {
public:
	// Position 0, target (0, 0, 10), up (1, 0, 0).
	CInertialCamera();
	// Everything snapped, up normalised.
	CInertialCamera(const Vector3 &up, const Vector3 &position, const Vector3 &target);

	void SetUp(const Vector3 &up, bool snap) override;
	const Vector3 *GetUp() override { return &vectors[CameraUp].current; }
	void SetPosition(const Vector3 &position, bool snap) override;
	const Vector3 *GetPosition() override { return &vectors[CameraPosition].current; }
	void SetTarget(const Vector3 &target, bool snap) override;
	const Vector3 *GetTarget() override { return &vectors[CameraTarget].current; }
	void SetVelocity(const Vector3 &v) override { velocity = v; }
	Vector3 GetVelocity() override { return velocity; }
	// Momentum with drag, friction and acceleration (camera_motion.cpp).
	void Update(float dt, bool moveGoals, bool moveCurrent) override;

	const SmoothedVector &GetVector(CameraVector which) const { return vectors[which]; }

protected:
	// Current up and up goal each divided by its own length; a vector too
	// short to give a direction is left as it is.
	void NormaliseUp();

	SmoothedVector vectors[CameraVectorCount];
	Vector3 velocity;
};

class CSmoothCamera : public CInertialCamera {
public:
	CSmoothCamera() {}
	// Chase at a speed read from a distance curve (camera_motion.cpp).
	void Update(float dt, bool moveGoals, bool moveCurrent) override;
};

// One frame of the orbit's mouse input. Buttons: left rotates (with C held),
// right pans.
struct OrbitInput {
	float x = 0.0f, y = 0.0f;    // cursor
	int wheel = 0;               // wheel total now
	int previousWheel = 0;       // and at the frame before
	bool leftButton = false;
	bool rightButton = false;
	bool rotateKey = false;      // C
};

class COrbitCamera : public CSmoothCamera {
public:
	// Eye (0, 0, 90) over the origin, up and axis (0, 0, 1), distance 90.
	COrbitCamera();

	// Reads the mouse and the C key, then steers and updates.
	void Control(float dt);
	void Control(float dt, const OrbitInput &input);

	const Vector3 &GetAxis() const { return axis; }
	float GetDistance() const { return distance; }

private:
	void Wheel(const OrbitInput &input, const Vector3 &p, const Vector3 &t);
	void Rotate(float dt, const Vector3 &m, const Vector3 &p, const Vector3 &t);
	void Pan(const OrbitInput &input, const Vector3 &side);
	void MoveBoth(const Vector3 &offset);

	Vector3 axis;              // up of the orbit, kept unit length
	float distance;            // from the target
	float dragStartX, dragStartY;
	bool panActive;
	bool rotateActive;
};

// One frame of the debug flight's keys.
struct FlyInput {
	bool control = false;      // either Control key
	bool up = false, down = false, left = false, right = false;
	bool home = false, end = false;
	bool fast = false;         // console "fast": moves four times as far
	float frameTime = 0.0f;    // clamped frame time, also while game time stands
};

class CFreeFlyCamera : public CSmoothCamera {
public:
	CFreeFlyCamera();

	// Reads the keyboard, the console flag "fast" and FrameTime.
	void Fly();
	void Fly(const FlyInput &input);

	float GetYaw() const { return yaw; }
	float GetPitch() const { return pitch; }
	const Vector3 &GetEye() const { return eye; }

private:
	float yaw, pitch; // radians
	Vector3 eye;
};

// The main game's two cameras; the last one whose flag is set is active.
class CCameraPair {
public:
	CCameraPair();
	~CCameraPair();

	// While "debugcam" is on only the debug camera flies.
	void Update(float dt, bool moveGoals, bool moveCurrent);
	void Apply(const Matrix4 *model);
	void Destroy();

	CSmoothCamera *GetActive();
	CSmoothCamera *GetCamera(int index) { return cameras[index]; }
	bool IsActive(int index) const { return active[index]; }
	void SetActive(int index, bool on) { active[index] = on; }
	void SetFirstActive() { active[0] = true; }
	void ClearFirstActive() { active[0] = false; }

private:
	CCameraPair(const CCameraPair &) = delete;
	CCameraPair &operator=(const CCameraPair &) = delete;

	CSmoothCamera *cameras[2];
	bool active[2];
};

// What the cameras read from the player each frame. The layer that owns the
// devices installs it (app/camera_input.cpp, at start-up); without one the
// debug camera stays off and the readers give no input.
struct CameraInputSource {
	bool (*debugCameraOn)() = nullptr;
	FlyInput (*readFly)() = nullptr;
	OrbitInput (*readOrbit)() = nullptr;
};
void SetCameraInputSource(const CameraInputSource &source);
// The console flag "debugcam", through the input source.
bool IsDebugCameraOn();

// The camera applied last; cleared by the destructor of the camera it points
// at. Other holders of camera pointers clear their own.
extern CCamera *CurrentCamera;
CCamera *GetCurrentCamera();

// The free-flying camera that replaces the game camera while "debugcam" is on.
extern CFreeFlyCamera DebugCamera;

// z is up: (sin(-yaw) cos(pitch), cos(-yaw) cos(-pitch), sin(-pitch)).
Vector3 DirectionFromYawPitch(float yaw, float pitch);
// yaw = atan2(y, x), pitch = asin(z) of the normalised direction, each in
// [0, 2 pi). Not the inverse of DirectionFromYawPitch.
void YawPitchFromDirection(const Vector3 &direction, float &yaw, float &pitch);

#endif
