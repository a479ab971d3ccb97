// Motion record of a flying body (projectiles, grenades), z up.
#ifndef CORE_BALLISTIC_H
#define CORE_BALLISTIC_H

#include <cstdint>

#include "core/vector.h"

struct BallisticBody {
    Vector3 position;
    Vector3 previous;  // set only on the first step; keeping it current is the caller's job
    Vector3 direction; // unit
    float speed = 0.0f;
    float acceleration = 0.0f; // along the direction
    float mass = 1.0f;
    float drag = 0.0f;    // drag coefficient k
    float gravity = 0.0f; // gravity factor g
    float sixth = 0.0f;   // filled from the projectile row, not read by the step
    uint8_t firstStep = 1;
    uint8_t frozen = 0;

    // One step of dt seconds: thrust along the direction, drag, gravity.
    void Integrate(float dt);
};

#endif
