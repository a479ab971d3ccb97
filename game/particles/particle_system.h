// CParticleSystem: the visible consequences of hits. Sparks bursting from
// impacts, flames clinging to what was hit, glowing explosion spheres, short
// flashes and fires that follow a projectile. Owned by the world, updated
// once per world update and drawn last in the frame through shared buffers
// made once.
#ifndef GAME_PARTICLES_PARTICLE_SYSTEM_H
#define GAME_PARTICLES_PARTICLE_SYSTEM_H

#include <cstdint>
#include <list>
#include <vector>

#include "game/particles/particle.h"
#include "game/particles/particle_emitter.h"
#include "render/model.h"
#include "render/resources.h"
#include "render/shader.h"

class CWorldObject;

const int MaxFlashRecords = 10;
const int BurstParticleCount = 10;
// Batch limits of the shared buffers.
const int QuadVertexCount = 9000;
const int QuadIndexCount = 12000;
const int LineVertexCount = 1000;
const int FlashVertexCount = 1000;
const int MaxQuadsPerBatch = 26;
const int MaxLinesPerBatch = 451;
const uint32_t BurstLineColour = 0xff00ffff;

// Quad vertex: position, texture coordinate, colour bytes in the device's
// order (red, green, blue, alpha but for Direct3D's blue, green, red, alpha).
struct ParticleVertex {
    float x, y, z;
    float u, v;
    uint8_t colour[4];
};
struct ParticleLineVertex {
    float x, y, z;
    uint32_t colour;
};
static_assert(sizeof(ParticleVertex) == 24, "quad vertices are 24 bytes");
static_assert(sizeof(ParticleLineVertex) == 16, "line vertices are 16 bytes");

struct FlashRecord {
    float time = 0.0f;
    Vector3 position;
    float angle = 0.0f;
    float size = 0.0f;
};

struct ExplosionSphere {
    float time = 2.0f;
    Vector3 position;
    float scale = 4.0f;
    CModel model;
};

// A fire that follows an object. The object's owner holds the running flag
// and clears it when the object ends; the effect is then removed.
struct ObjectEffect {
    float time = 1.5f;
    Vector3 position;
    CWorldObject* object = nullptr;
    float angle = 0.0f;
    float spin = 1.0f;
    int32_t running = 1;
};

// The loose particle records (list 1) and the points held in an object's
// frame (list 8). Nothing in the game fills them; an entry stays until it is
// removed by its key or the system is cleared, and no update moves it.
struct KeyedParticle {
    int key = 0;
    Particle particle;
};
struct ObjectPoint {
    int key = 0;
    CWorldObject* object = nullptr;
    Vector3 offset;   // in the object's frame
};
const uint32_t DebugPointColour = 0xffffffffu;

// Camera basis of the billboards, renewed by every update while a camera exists.
struct BillboardBasis {
    Vector3 view;    // (0, 1, 0) at start
    Vector3 right;   // (1, 0, 0)
    Vector3 up;      // (0, 0, 1)
};
BillboardBasis& ParticleBasis();
void ResetParticleBasis();

// One camera-facing quad: four vertices at P +-U s +-R s (turned by angle),
// indices first, first+1, first+2, first, first+2, first+3.
void BuildParticleQuad(const Vector3& position, ParticleVertex outVertices[4],
                       uint16_t outIndices[6], float fade, float size, uint16_t first,
                       float angle);

class CParticleSystem {
public:
    CParticleSystem();
    ~CParticleSystem();

    void Update(float dt);
    void Draw();

    void AddImpactBurst(const Vector3& normal, const Vector3& direction, const Vector3& point);
    // A flame at the hit point, held in the object's frame, following it.
    CFlameEmitter* AddAttachedEffect(CWorldObject* object, const Vector3& hitPoint);
    void SpawnExplosionSphere(const Vector3& point);
    // The caller keeps &effect->running and clears it when the object ends.
    ObjectEffect* AddObjectEffect(CWorldObject* object);
    // Dropped once MaxFlashRecords are queued.
    void QueueImpact(const FlashRecord& flash);
    void RemoveEmitter(CParticleEmitter* emitter);
    CStreakEmitter* AddStreakEmitter(const Vector3& point);
    // Nothing follows the object any longer: its flames stay where they are,
    // its fires go on unfollowed and its points go. Called when an object
    // leaves the world.
    void DetachObject(const CWorldObject* object);
    // Every effect goes (a new level).
    void Clear();

    // Lists 1 and 8 (particle_records.cpp). Each entry gets a key of its
    // own, unique within the system; RemoveByKey is false for a key in neither.
    int AddParticleRecord(const Particle& particle);
    int AddObjectPoint(CWorldObject* object, const Vector3& offset);
    bool RemoveByKey(int key);
    // Debug: every particle position the system holds (bursts, emitters,
    // list 1, list 8) as a point on the screen, drawn in the 2D projection
    // with no program and culling off. Points behind the eye are left out.
    void DrawDebugPositions();

    // Draws a list as flame quads in batches through the shared buffers.
    void FillQuads(const std::vector<Particle>& particles, float size);
    // Streak quads; the streak emitter's Draw comes here.
    void FillStreaks(const std::vector<Particle>& particles, const CTexture& texture);

    const std::list<FlashRecord>& GetFlashes() const { return flashes; }
    const std::list<std::vector<Particle>>& GetBursts() const { return bursts; }
    const std::list<CFlameEmitter*>& GetAttachedEmitters() const { return attached; }
    const std::list<CParticleEmitter*>& GetFreeEmitters() const { return freeEmitters; }
    const std::list<ObjectEffect>& GetObjectEffects() const { return objectEffects; }
    const std::list<ExplosionSphere>& GetSpheres() const { return spheres; }
    const std::list<KeyedParticle>& GetParticleRecords() const { return records; }
    const std::list<ObjectPoint>& GetObjectPoints() const { return objectPoints; }
    // Flashes + bursts + spheres, published as "particlecount".
    int GetParticleCount() const;
    // Elements (quads or lines) of every batch of the last Draw (tests).
    const std::vector<int>& GetBatchLog() const { return batchLog; }

private:
    CParticleSystem(const CParticleSystem&) = delete;
    CParticleSystem& operator=(const CParticleSystem&) = delete;

    void DrawSpheres();
    void DrawFlashes();
    void DrawBursts();

    std::list<FlashRecord> flashes;
    std::list<std::vector<Particle>> bursts;
    std::list<CFlameEmitter*> attached;         // owned
    std::list<CParticleEmitter*> freeEmitters;  // owned
    std::list<ObjectEffect> objectEffects;
    std::list<ExplosionSphere> spheres;
    std::list<KeyedParticle> records;
    std::list<ObjectPoint> objectPoints;
    int lastKey = 0;

    CTexture flashTexture;    // "data\particles\rifle_stream2.png"
    CTexture streamTexture;   // "data\particles\rifle_stream.png"
    CTexture flameTexture;    // "data\particles\flame.png"
    CShaderProgram explosionProgram;
    CShaderProgram sphereProgram;

    CVertexBuffer quadVertices;
    CIndexBuffer quadIndices;
    CVertexBuffer lineVertices;
    CVertexBuffer flashVertices;
    CIndexBuffer flashIndices;

    std::vector<int> batchLog;
    std::vector<Particle> effectParticles;   // the object effects as quads
};

#endif
