#include "render/camera_motion.h"

#include <cmath>

#include "render/camera.h"

const CameraSpeedTable CameraChaseSpeeds = {
	7, 50.0f,
	{0.0f, 0.05f, 0.1f, 0.2f, 0.4f, 0.8f, 1.0f},
	{0.0f, 4.0f, 12.0f, 20.0f, 40.0f, 100.0f, 300.0f}};

const CameraSpeedTable CameraUpSpeeds = {
	4, 2.0f,
	{0.0f, 0.25f, 0.5f, 1.0f, 0, 0, 0},
	{0.0f, 0.2f, 0.5f, 1.0f, 0, 0, 0}};

float CameraTableSpeed(const CameraSpeedTable &table, float distance) {
	float a = distance / table.range;
	if (a <= 0.0f) {
		return 0.0f;
	}
	if (a >= 1.0f) {
		return table.y[table.count - 1];
	}
	int k = 1;
	while (k < table.count - 1 && table.x[k] < a) {
		k++;
	}
	int j = k - 1;
	float t = (a - table.x[j]) / (table.x[k] - table.x[j]);
	return (1.0f - t) * table.y[j] + t * table.y[k];
}

static float Lerp(float a, float b, float t) {
	return (1.0f - t) * a + t * b;
}

float CameraFrictionCurve(float l) {
	if (l <= 0.02f) {
		return 0.0f;
	}
	if (l < 1.0f) {
		return Lerp(0.0f, 1.0f, (l - 0.02f) / 0.98f);
	}
	if (l < 4.0f) {
		return Lerp(1.0f, 0.75f, (l - 1.0f) / 3.0f);
	}
	if (l < 16.0f) {
		return Lerp(0.75f, 0.5f, (l - 4.0f) / 12.0f);
	}
	if (l < 64.0f) {
		return Lerp(0.5f, 0.3f, (l - 16.0f) / 48.0f);
	}
	return 0.3f;
}

float CameraSpeedCurve(float l, float s) {
	l = std::fabs(l);
	float curve;
	if (l <= 0.02f) {
		return 0.0f;
	} else if (l < 1.0f) {
		curve = Lerp(0.0f, 0.5f, (l - 0.02f) / 0.98f);
	} else if (l < 4.0f) {
		curve = Lerp(0.5f, 4.0f, (l - 1.0f) / 3.0f);
	} else if (l < 16.0f) {
		curve = Lerp(4.0f, 8.0f, (l - 4.0f) / 12.0f);
	} else if (l < 64.0f) {
		curve = Lerp(8.0f, 40.0f, (l - 16.0f) / 48.0f);
	} else {
		curve = 40.0f;
	}
	return curve - std::fabs(s);
}

float CameraSeparationPush(float l) {
	if (l > 1.0f) {
		return 0.0f;
	}
	if (l > 0.25f) {
		return 0.5f * (1.0f - (l - 0.25f) / 0.75f);
	}
	return 2.0f;
}

// Unit direction of v, or zero when v has no length.
static Vector3 Direction(const Vector3 &v, float length) {
	Vector3 out;
	if (length > 0.0f) {
		Vector3Scale(out, v, 1.0f / length);
	}
	return out;
}

static void FollowVelocity(SmoothedVector &v, const Vector3 &velocity, float dt, bool moveGoals,
                           bool moveCurrent) {
	if (moveCurrent) {
		Vector3MultiplyAdd(v.current, v.current, velocity, dt);
	}
	if (moveGoals) {
		Vector3MultiplyAdd(v.goal, v.goal, velocity, dt);
	}
}

void CSmoothCamera::Update(float dt, bool moveGoals, bool moveCurrent) {
	for (int i = 0; i < CameraVectorCount; i++) {
		SmoothedVector &v = vectors[i];
		Vector3 toGoal;
		Vector3Subtract(toGoal, v.goal, v.current);
		float l = Vector3Length(toGoal);
		if (l >= 0.0001f) {
			const CameraSpeedTable &table = i == CameraUp ? CameraUpSpeeds : CameraChaseSpeeds;
			float speed = CameraTableSpeed(table, l);
			if (l < speed * dt) {
				// Arrived: this frame the velocity does not carry it.
				v.current = v.goal;
				v.drift = Vector3();
				continue;
			}
			Vector3MultiplyAdd(v.current, v.current, toGoal, speed * dt / l);
		}
		if (i != CameraUp) {
			FollowVelocity(v, velocity, dt, moveGoals, moveCurrent);
		}
	}
}

void CInertialCamera::Update(float dt, bool moveGoals, bool moveCurrent) {
	// Eye and target push each other apart when they come close. The push is
	// a change of drift per call, not per second.
	Vector3 separation;
	Vector3Subtract(separation, vectors[CameraTarget].current, vectors[CameraPosition].current);
	float apart = Vector3Length(separation);
	Vector3 push = Direction(separation, apart);
	Vector3Scale(push, push, CameraSeparationPush(apart));
	Vector3Subtract(vectors[CameraPosition].drift, vectors[CameraPosition].drift, push);
	Vector3Add(vectors[CameraTarget].drift, vectors[CameraTarget].drift, push);

	for (int i = 0; i < CameraVectorCount; i++) {
		SmoothedVector &v = vectors[i];
		bool isUp = i == CameraUp;
		Vector3 &q = v.drift;

		float speed = Vector3Length(q);
		Vector3 heading = Direction(q, speed);
		Vector3MultiplyAdd(q, q, heading, -(isUp ? 0.1f : 0.05f) * speed * dt);

		Vector3 toGoal;
		Vector3Subtract(toGoal, v.goal, v.current);
		float l = Vector3Length(toGoal);
		float friction = CameraFrictionCurve(l) * (isUp ? 0.25f : 1.0f);
		Vector3MultiplyAdd(q, q, heading, -friction * dt);

		Vector3 g = Direction(toGoal, l);
		float accel = CameraSpeedCurve(l, Vector3Length(q));
		Vector3MultiplyAdd(q, q, g, accel * dt * (isUp ? 2.0f : 1.0f));

		if (l < Vector3Length(q) * dt && Vector3Dot(q, g) > 0.0f) {
			v.current = v.goal;
			q = Vector3();
		}
		Vector3MultiplyAdd(v.current, v.current, q, dt);

		if (!isUp) {
			FollowVelocity(v, velocity, dt, moveGoals, moveCurrent);
		}
	}
	NormaliseUp();
}
