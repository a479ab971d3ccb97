// The particle record shared by the particle lists and the emitters.
#ifndef GAME_PARTICLES_PARTICLE_H
#define GAME_PARTICLES_PARTICLE_H

#include "core/vector.h"

struct Particle {
    float time = 0.0f;   // seconds left
    Vector3 position;
    Vector3 velocity;
    float spare = 0.0f;
    float angle = 0.0f;  // radians
    float spin = 0.0f;   // radians per second, +1 or -1
};

// Drag k: v += v |v| k 0.09 dt; gravity factor g: v.z -= dt g 9.8; then
// the position moves by v dt.
void ParticleBallisticStep(Particle& particle, float dt, float gravity, float drag);
// Adds spin x dt, wrapped back by a full turn beyond +-2 pi.
float SpinAngle(float angle, float spin, float dt);
// A uniform value in [0, 1] from GameRand.
float UniformDraw();
// normalise(g3 - g4, g1 - g2, g5): never points downward.
Vector3 ScatterDirection();

#endif
