// Particle motion and the uniform draws of the effects.
#include "game/particles/particle.h"

#include "core/random.h"

namespace {

const float FullTurn = 6.2831855f;

} // namespace

void ParticleBallisticStep(Particle& p, float dt, float gravity, float drag) {
    if (drag != 0.0f) {
        float speed = Vector3Length(p.velocity);
        Vector3MultiplyAdd(p.velocity, p.velocity, p.velocity, speed * drag * 0.09f * dt);
    }
    if (gravity != 0.0f)
        p.velocity.z -= dt * gravity * 9.8f;
    Vector3MultiplyAdd(p.position, p.position, p.velocity, dt);
}

float SpinAngle(float angle, float spin, float dt) {
    angle += spin * dt;
    if (angle > FullTurn)
        angle -= FullTurn;
    else if (angle < -FullTurn)
        angle += FullTurn;
    return angle;
}

float UniformDraw() {
    return (float)GameRand() / 32767.0f;
}

Vector3 ScatterDirection() {
    float g1 = UniformDraw(), g2 = UniformDraw(), g3 = UniformDraw(), g4 = UniformDraw(),
          g5 = UniformDraw();
    Vector3 d{g3 - g4, g1 - g2, g5};
    return Vector3NormalizeInPlace(d);
}
