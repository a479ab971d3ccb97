// Particle emitters: sources that own their particles, spawn on a fixed
// clock, move them and report whether they are still alive.
#ifndef GAME_PARTICLES_PARTICLE_EMITTER_H
#define GAME_PARTICLES_PARTICLE_EMITTER_H

#include <vector>

#include "game/particles/particle.h"
#include "render/resources.h"

class CParticleSystem;
class CWorldObject;

// Most particles spawned in one update.
const int MaxSpawnPerUpdate = 5;

class CParticleEmitter {
public:
    explicit CParticleEmitter(const Vector3& position);
    virtual ~CParticleEmitter() {}

    virtual void Update(float dt) = 0;
    virtual void Draw(CParticleSystem& system) = 0;
    virtual bool IsAlive() const = 0;
    virtual void Spawn() = 0;

    const std::vector<Particle>& GetParticles() const { return particles; }

    Vector3 position;   // in the followed object's frame when following one
    float spawnTimer;

protected:
    std::vector<Particle> particles;
};

// The flame that clings to an object after a hit.
class CFlameEmitter : public CParticleEmitter {
public:
    explicit CFlameEmitter(const Vector3& position);

    void Update(float dt) override;
    // The particle system draws flame particles itself.
    void Draw(CParticleSystem&) override {}
    bool IsAlive() const override { return !particles.empty(); }
    void Spawn() override;

    // The object stops being followed (it left the world); the flame burns
    // on where it last was.
    void StopFollowing();

    float emissionTime;
    CWorldObject* object;   // followed; may be null

private:
    CTexture texture;
};

// A fountain of fast streaks at a point; it never stops spawning.
class CStreakEmitter : public CParticleEmitter {
public:
    explicit CStreakEmitter(const Vector3& position);

    void Update(float dt) override;
    void Draw(CParticleSystem& system) override;
    bool IsAlive() const override { return !particles.empty(); }
    void Spawn() override;

private:
    CTexture texture;
};

#endif
