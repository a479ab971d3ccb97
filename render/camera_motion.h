// The curves behind the two camera motion laws. The laws themselves are
// CSmoothCamera::Update and CInertialCamera::Update (camera_motion.cpp).
#ifndef RENDER_CAMERA_MOTION_H
#define RENDER_CAMERA_MOTION_H

// Speeds (units per second) at knots of distance / range; beyond the last
// knot the last speed holds.
struct CameraSpeedTable {
	int count;
	float range;
	float x[7];
	float y[7];
};

// Position and target: 4 units/s at 2.5, 12 at 5, ... 300 at 50 and beyond.
extern const CameraSpeedTable CameraChaseSpeeds;
// Up: 0.2 at 0.5, 0.5 at 1, 1.0 at 2 and beyond.
extern const CameraSpeedTable CameraUpSpeeds;

// Piecewise-linear lookup of a table at a distance.
float CameraTableSpeed(const CameraSpeedTable &table, float distance);

// Momentum law: friction against a drift at distance l from the goal.
float CameraFrictionCurve(float l);
// Momentum law: speed still to be gained at distance l with drift speed s.
// 0 while l is within 0.02 (no acceleration near the goal).
float CameraSpeedCurve(float l, float s);
// Momentum law: how hard eye and target push apart at separation l. Capped
// at 2.0 so a near-zero separation cannot fling the camera away.
float CameraSeparationPush(float l);

#endif
