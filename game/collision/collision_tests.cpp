// The projectile path and blast tests against bodies and the ground.
#include <algorithm>
#include <cfloat>
#include <vector>

#include "game/collision/body_probe.h"
#include "game/collision/collision_body.h"
#include "game/collision/collision_phases.h"

bool SegmentHitsBody(CCollisionBody& body, const Vector3& p0, const Vector3& p1,
                     CollisionContact& out) {
    return ProbeBody(body, MakeSegmentProbe(p0, p1), out);
}

bool SegmentHitsTerrain(CTerrainAccess& terrain, const Vector3& p0, const Vector3& p1,
                        CollisionContact& out) {
    BodyProbe probe = MakeSegmentProbe(p0, p1);
    if (!(probe.length > 0.0f))
        return false;
    // Every projectile step of every frame comes here: the lists are kept.
    static thread_local std::vector<CCollisionInstance*> instances;
    static thread_local std::vector<std::pair<float, CCollisionInstance*>> crossed;
    instances.clear();
    crossed.clear();
    terrain.CollectCollisionInstances(instances);
    const Vector3 middle{(p0.x + p1.x) * 0.5f, (p0.y + p1.y) * 0.5f, (p0.z + p1.z) * 0.5f};
    for (CCollisionInstance* instance : instances) {
        float d;
        if (instance && instance->attached && SegmentMayReachSphere(middle, probe.length * 0.5f, instance->sphere) &&
            ProbeSphere(probe, instance->sphere, d))
            crossed.emplace_back(d, instance);
    }
    std::sort(crossed.begin(), crossed.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    float best = FLT_MAX;
    for (const auto& c : crossed) {
        if (c.first > best)
            break;
        float d;
        Vector3 point, normal;
        if (ProbeInstance(probe, *c.second, d, point, normal) && d < best) {
            best = d;
            out = CollisionContact();
            out.point = point;
            out.normal = normal;
            out.distanceSquared = d * d;
        }
    }
    return best != FLT_MAX;
}

namespace {

void GatherOverlapping(CCollisionPart* part, const Sphere& sphere,
                       std::vector<std::pair<float, CCollisionPart*>>& out) {
    if (part->instance.attached && part->instance.root &&
        SphereIntersectSphere(part->instance.sphere, sphere)) {
        Vector3 d;
        Vector3Subtract(d, part->instance.sphere.centre, sphere.centre);
        out.emplace_back(Vector3LengthSquared(d), part);
    }
    for (CCollisionPart* child : part->children)
        GatherOverlapping(child, sphere, out);
}

} // namespace

bool SphereHitsBody(CCollisionBody& body, const Sphere& sphere, CollisionContact& out) {
    if (!body.attached || !body.root)
        return false;
    if (body.sphere.radius > 0.0f && !SphereIntersectSphere(body.sphere, sphere))
        return false;
    body.SetTransforms();
    std::vector<std::pair<float, CCollisionPart*>> parts;
    GatherOverlapping(body.root, sphere, parts);
    std::sort(parts.begin(), parts.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& p : parts) {
        CCollisionInstance& instance = p.second->instance;
        instance.UpdateNodeBox(instance.root);
        const OrientedBox& box = instance.root->box;
        if (!OrientedBoxIntersectSphere(box, sphere))
            continue;
        out = CollisionContact();
        OrientedBoxFaceNormalToward(box, sphere.centre, out.normal);
        out.point = box.centre;
        out.node = p.second->node;
        out.bodyPart = ContactBodyPart;
        Vector3 d;
        Vector3Subtract(d, box.centre, sphere.centre);
        out.distanceSquared = Vector3LengthSquared(d);
        return true;
    }
    return false;
}
