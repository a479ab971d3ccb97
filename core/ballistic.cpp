#include "core/ballistic.h"

#include <cmath>

static const float Gravity = 9.8f;
static const float DragScale = 0.09f;

void BallisticBody::Integrate(float dt) {
    if (frozen) {
        return;
    }
    if (firstStep) {
        previous = position;
        firstStep = 0;
    }
    Vector3 a;
    Vector3Scale(a, direction, acceleration);
    if (drag != 0.0f) {
        Vector3MultiplyAdd(a, a, direction, -(drag * speed * speed * DragScale / mass));
    }
    if (drag != 0.0f || gravity != 0.0f) {
        Vector3 v;
        Vector3Scale(v, direction, speed);
        Vector3MultiplyAdd(v, v, a, dt);
        if (gravity != 0.0f) {
            v.z -= Gravity * gravity * dt;
        }
        speed = Vector3Length(v);
        // A body that comes to rest keeps its direction instead of a NaN one.
        if (speed > 0.0f) {
            Vector3Scale(direction, v, 1.0f / speed);
        }
    } else {
        speed += acceleration * dt;
    }
    Vector3MultiplyAdd(position, position, direction, speed * dt);
}
