// The particle system's lists: adding effects, updating them, ending them.
#include "game/particles/particle_system.h"

#include <algorithm>

#include "app/console.h"
#include "core/random.h"
#include "render/camera.h"
#include "render/node.h"
#include "game/world/world_object.h"

namespace {

const float SphereLife = 2.0f;
const float SphereScale = 4.0f;
const float ObjectEffectLife = 1.5f;
const float BurstSpeed = 6.0f;

// Erases the entries pred picks, deleting owned pointers with them.
template <typename T, typename Pred>
void DeleteIf(std::list<T*>& list, Pred pred) {
    for (auto it = list.begin(); it != list.end();) {
        if (pred(*it)) {
            delete *it;
            it = list.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace

BillboardBasis& ParticleBasis() {
    static BillboardBasis basis{{0, 1, 0}, {1, 0, 0}, {0, 0, 1}};
    return basis;
}

void ResetParticleBasis() {
    ParticleBasis() = BillboardBasis{{0, 1, 0}, {1, 0, 0}, {0, 0, 1}};
}

CParticleSystem::CParticleSystem() {
    ResetParticleBasis();
    LoadTextureClamped(flashTexture, "data\\particles\\rifle_stream2.png");
    LoadTextureClamped(streamTexture, "data\\particles\\rifle_stream.png");
    LoadTextureClamped(flameTexture, "data\\particles\\flame.png");
    explosionProgram.Load("data\\shaders\\explosion", "data\\shaders\\explosion");
    sphereProgram.Load("data\\shaders\\sphere", "");

    VertexLayout quad = {{VET_FLOAT3, VU_POSITION}, {VET_FLOAT2, VU_TEXCOORD}, {VET_COLOUR, VU_COLOUR}};
    VertexLayout line = {{VET_FLOAT3, VU_POSITION}, {VET_COLOUR, VU_COLOUR}};
    CreateVertexBuffer(quadVertices, sizeof(ParticleVertex), QuadVertexCount, quad, true, true);
    CreateIndexBuffer(quadIndices, QuadIndexCount, true, true);
    CreateVertexBuffer(lineVertices, sizeof(ParticleLineVertex), LineVertexCount, line, true, true);
    CreateVertexBuffer(flashVertices, sizeof(ParticleVertex), FlashVertexCount, quad, true, true);
    CreateIndexBuffer(flashIndices, FlashVertexCount / 4 * 6, true, true);
}

CParticleSystem::~CParticleSystem() {
    for (CFlameEmitter* e : attached)
        delete e;
    for (CParticleEmitter* e : freeEmitters)
        delete e;
}

void CParticleSystem::Clear() {
    flashes.clear();
    bursts.clear();
    DeleteIf(attached, [](CFlameEmitter*) { return true; });
    DeleteIf(freeEmitters, [](CParticleEmitter*) { return true; });
    spheres.clear();
    records.clear();
    objectPoints.clear();
    // An effect whose owner still holds its running flag stays until the
    // owner lets go; it only stops following.
    objectEffects.remove_if([](const ObjectEffect& e) { return e.running == 0; });
    for (ObjectEffect& e : objectEffects)
        e.object = nullptr;
}

void CParticleSystem::DetachObject(const CWorldObject* object) {
    if (!object)
        return;
    for (CFlameEmitter* e : attached)
        if (e->object == object)
            e->StopFollowing();
    for (ObjectEffect& e : objectEffects)
        if (e.object == object)
            e.object = nullptr;
    objectPoints.remove_if([object](const ObjectPoint& p) { return p.object == object; });
}

void CParticleSystem::AddImpactBurst(const Vector3& n, const Vector3& d, const Vector3& point) {
    Vector3 r;
    Vector3Scale(r, n, 2.0f * Vector3Dot(n, d));
    Vector3Subtract(r, r, d);
    std::vector<Particle> burst(BurstParticleCount);
    for (Particle& p : burst) {
        float g[12];
        for (float& v : g)
            v = UniformDraw();
        Vector3 v{g[3] - g[4], g[1] - g[2], g[5] - g[0]};
        float k1 = (g[7] - g[6]) * 0.3f + 0.6f;
        float k2 = (g[9] - g[8]) * 0.3f + 0.2f;
        float k3 = (g[11] - g[10]) * 0.3f + 0.2f;
        Vector3 dir;
        Vector3Scale(dir, r, k1);
        Vector3MultiplyAdd(dir, dir, v, k2);
        Vector3MultiplyAdd(dir, dir, n, k3);
        Vector3NormalizeInPlace(dir);
        p.time = 1.0f;
        p.position = point;
        Vector3Scale(p.velocity, dir, BurstSpeed);
    }
    bursts.push_back(std::move(burst));
}

CFlameEmitter* CParticleSystem::AddAttachedEffect(CWorldObject* object, const Vector3& hitPoint) {
    Vector3 at = hitPoint;
    // A transform that cannot be undone leaves the flame where it was lit.
    if (object && Matrix4Determinant(object->GetTransform()) != 0.0f) {
        Matrix4 inverse;
        Matrix4Inverse(inverse, object->GetTransform());
        Matrix4TransformPoint(at, inverse, hitPoint);
    } else {
        object = nullptr;
    }
    CFlameEmitter* emitter = new CFlameEmitter(at);
    emitter->object = object;
    emitter->emissionTime = 1.0f;
    attached.push_back(emitter);
    return emitter;
}

void CParticleSystem::SpawnExplosionSphere(const Vector3& point) {
    spheres.emplace_back();
    ExplosionSphere& s = spheres.back();
    s.time = SphereLife;
    s.position = point;
    s.scale = SphereScale;
    LoadModel(s.model, "data\\particles\\sphere.mbm", false, true);
}

ObjectEffect* CParticleSystem::AddObjectEffect(CWorldObject* object) {
    ObjectEffect e;
    e.time = ObjectEffectLife;
    e.object = object;
    if (object)
        e.position = object->GetPosition();
    e.angle = 0.0f;
    e.spin = GameRand() % 2 == 0 ? -1.0f : 1.0f;
    objectEffects.push_back(e);
    return &objectEffects.back();
}

void CParticleSystem::QueueImpact(const FlashRecord& flash) {
    if ((int)flashes.size() < MaxFlashRecords)
        flashes.push_back(flash);
}

void CParticleSystem::RemoveEmitter(CParticleEmitter* emitter) {
    DeleteIf(attached, [emitter](CFlameEmitter* e) { return e == emitter; });
    DeleteIf(freeEmitters, [emitter](CParticleEmitter* e) { return e == emitter; });
}

CStreakEmitter* CParticleSystem::AddStreakEmitter(const Vector3& point) {
    CStreakEmitter* emitter = new CStreakEmitter(point);
    freeEmitters.push_back(emitter);
    return emitter;
}

int CParticleSystem::GetParticleCount() const {
    return (int)(flashes.size() + bursts.size() + spheres.size());
}

void CParticleSystem::Update(float dt) {
    if (CCamera* camera = GetCurrentCamera()) {
        const Vector3* eye = camera->GetPosition();
        const Vector3* target = camera->GetTarget();
        Vector3 f, right, up;
        Vector3Subtract(f, *target, *eye);
        Vector3Cross(right, f, Vector3{0, 0, 1});
        // Looking straight up or down leaves the last basis in place.
        if (Vector3LengthSquared(right) > 1e-12f) {
            BillboardBasis& b = ParticleBasis();
            Vector3NormalizeInPlace(f);
            Vector3NormalizeInPlace(right);
            Vector3Cross(up, right, f);
            b.view = f;
            b.right = right;
            b.up = Vector3NormalizeInPlace(up);
        }
    }
    for (FlashRecord& f : flashes)
        f.time -= dt;
    flashes.remove_if([](const FlashRecord& f) { return f.time <= 0.0f; });

    for (std::vector<Particle>& burst : bursts) {
        for (Particle& p : burst)
            ParticleBallisticStep(p, dt, 1.0f, 0.0f);
        burst.erase(std::remove_if(burst.begin(), burst.end(),
                                   [](const Particle& p) { return p.position.z < 0.0f; }),
                    burst.end());
    }
    bursts.remove_if([](const std::vector<Particle>& b) { return b.empty(); });

    for (CFlameEmitter* e : attached)
        e->Update(dt);
    DeleteIf(attached, [](CFlameEmitter* e) { return !e->IsAlive(); });
    for (CParticleEmitter* e : freeEmitters)
        e->Update(dt);
    DeleteIf(freeEmitters, [](CParticleEmitter* e) { return !e->IsAlive(); });

    for (ExplosionSphere& s : spheres)
        s.time -= dt;
    spheres.remove_if([](const ExplosionSphere& s) { return s.time <= 0.0f; });

    // A fire ends when its owner clears the running flag.
    objectEffects.remove_if([](const ObjectEffect& e) { return e.running == 0; });
    for (ObjectEffect& e : objectEffects) {
        if (!(e.time > 0.0f))
            continue;
        if (e.object)
            e.position = e.object->GetPosition();
        e.time -= dt;
        if (e.time < 0.0f)
            e.time = 0.1f;
        e.angle = SpinAngle(e.angle, e.spin, dt);
    }
    HookInt(g_debugConsole, "particlecount", GetParticleCount());
}
