// Flame and streak emitters.
#include "game/particles/particle_emitter.h"

#include <algorithm>
#include <cmath>

#include "core/random.h"
#include "game/particles/particle_system.h"
#include "game/world/world_object.h"

namespace {

const float FlameLife = 1.5f;
const float FlameRise = -0.1f;   // gravity factor: flames climb
const float FlameInterval = 0.1f;
const float StreakLife = 5.0f;
const float StreakInterval = 0.03f;

// Ages and drops the particles; survivors keep their order.
template <typename Move>
void AgeParticles(std::vector<Particle>& particles, float dt, Move move) {
    for (Particle& p : particles) {
        move(p);
        p.time -= dt;
    }
    particles.erase(std::remove_if(particles.begin(), particles.end(),
                                   [](const Particle& p) { return p.time < 0.0f; }),
                    particles.end());
}

// How many to spawn once the timer ran out: its overrun x rate, 1 to 5.
int SpawnCount(float timer, float rate) {
    int n = (int)(std::fabs(timer) * rate);
    return std::min(std::max(n, 1), MaxSpawnPerUpdate);
}

float Spin() {
    return GameRand() % 2 == 0 ? -1.0f : 1.0f;
}

} // namespace

CParticleEmitter::CParticleEmitter(const Vector3& at) : position(at), spawnTimer(0.0f) {}

CFlameEmitter::CFlameEmitter(const Vector3& at)
    : CParticleEmitter(at), emissionTime(0.0f), object(nullptr) {
    LoadTextureClamped(texture, "data\\particles\\flame.png");
}

void CFlameEmitter::StopFollowing() {
    if (!object)
        return;
    Vector3 world;
    Matrix4TransformPoint(world, object->GetTransform(), position);
    position = world;
    object = nullptr;
}

void CFlameEmitter::Spawn() {
    Particle p;
    p.time = FlameLife;
    if (object)
        Matrix4TransformPoint(p.position, object->GetTransform(), position);
    else
        p.position = position;
    Vector3 d = ScatterDirection();
    Vector3Scale(p.velocity, d, UniformDraw() * 0.5f + 0.1f);
    p.angle = 0.0f;
    p.spin = Spin();
    particles.push_back(p);
}

void CFlameEmitter::Update(float dt) {
    emissionTime = std::max(emissionTime - dt, 0.0f);
    AgeParticles(particles, dt, [dt](Particle& p) {
        ParticleBallisticStep(p, dt, FlameRise, 0.0f);
        p.angle = SpinAngle(p.angle, p.spin, dt);
    });
    if (emissionTime > 0.0f) {
        spawnTimer -= dt;
        if (spawnTimer < 0.0f) {
            int n = SpawnCount(spawnTimer, 10.0f);
            for (int i = 0; i < n; i++)
                Spawn();
            spawnTimer = FlameInterval;
        }
    }
}

CStreakEmitter::CStreakEmitter(const Vector3& at) : CParticleEmitter(at) {
    LoadTextureClamped(texture, "data\\particles\\streak.png");
}

void CStreakEmitter::Spawn() {
    Particle p;
    p.time = StreakLife;
    p.position = position;
    Vector3 d = ScatterDirection();
    Vector3Scale(p.velocity, d, (UniformDraw() * 0.5f + 0.1f) * 10.0f);
    particles.push_back(p);
}

void CStreakEmitter::Update(float dt) {
    AgeParticles(particles, dt, [dt](Particle& p) { ParticleBallisticStep(p, dt, 0.0f, 0.0f); });
    spawnTimer -= dt;
    if (spawnTimer < 0.0f) {
        int n = SpawnCount(spawnTimer, 33.333336f);
        for (int i = 0; i < n; i++)
            Spawn();
        spawnTimer = StreakInterval;
    }
}

void CStreakEmitter::Draw(CParticleSystem& system) {
    system.FillStreaks(particles, texture);
}
