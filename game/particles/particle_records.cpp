// The particle system's keyed lists (loose particle records and points held
// in an object's frame) and the debug draw of every particle position.
#include <vector>

#include "game/particles/particle_system.h"
#include "game/world/world_object.h"
#include "render/backend.h"
#include "render/projection.h"
#include "render/render_setup.h"
#include "render/shader.h"

int CParticleSystem::AddParticleRecord(const Particle& particle) {
    records.push_back(KeyedParticle{++lastKey, particle});
    return lastKey;
}

int CParticleSystem::AddObjectPoint(CWorldObject* object, const Vector3& offset) {
    objectPoints.push_back(ObjectPoint{++lastKey, object, offset});
    return lastKey;
}

bool CParticleSystem::RemoveByKey(int key) {
    size_t before = records.size() + objectPoints.size();
    records.remove_if([key](const KeyedParticle& r) { return r.key == key; });
    objectPoints.remove_if([key](const ObjectPoint& p) { return p.key == key; });
    return records.size() + objectPoints.size() != before;
}

void CParticleSystem::DrawDebugPositions() {
    std::vector<Vector3> positions;
    for (const std::vector<Particle>& burst : bursts)
        for (const Particle& p : burst)
            positions.push_back(p.position);
    for (const CFlameEmitter* e : attached)
        for (const Particle& p : e->GetParticles())
            positions.push_back(p.position);
    for (const CParticleEmitter* e : freeEmitters)
        for (const Particle& p : e->GetParticles())
            positions.push_back(p.position);
    for (const KeyedParticle& r : records)
        positions.push_back(r.particle.position);
    for (const ObjectPoint& p : objectPoints) {
        Vector3 at = p.offset;
        if (p.object)
            Matrix4TransformPoint(at, p.object->GetTransform(), p.offset);
        positions.push_back(at);
    }

    // Projected with the 3D pass's kept view before the 2D set-up replaces it.
    std::vector<Vector3> screen;
    for (const Vector3& p : positions) {
        Vector3 s;
        if (ProjectToScreen(s, p))
            screen.push_back(s);
    }
    SetScreenProjection();
    UnbindShaderProgram();
    DisableTexturing();
    CullMode cull = GetCullMode();
    SetCullMode(CULL_NONE);
    BeginPrimitive(PRIM_POINTS);
    for (const Vector3& s : screen) {
        SetVertexColour(DebugPointColour);
        AddVertex(s.x, s.y);
    }
    EndPrimitive();
    SetCullMode(cull);
}
