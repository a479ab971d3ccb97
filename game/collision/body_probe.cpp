// Probes through collision bodies. Every candidate (part, box, triangle) that
// the probe reaches before the best hit so far is tried, so the hit found is
// the nearest one whatever order parts and boxes are met in.
#include "game/collision/body_probe.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

#include "game/collision/collision_body.h"
#include "render/node.h"

namespace {

struct Candidate {
    float distance;
    CCollisionPart* part;
    CCollisionNode* node;
};

struct BestHit {
    float distance = FLT_MAX;
    Vector3 point;
    Vector3 normal;
    CCollisionPart* part = nullptr;
};

void GatherParts(CCollisionPart* part, std::vector<CCollisionPart*>& out) {
    if (part->instance.attached && part->instance.root)
        out.push_back(part);
    for (CCollisionPart* child : part->children)
        GatherParts(child, out);
}

void ProbeTriangles(const BodyProbe& probe, CCollisionInstance& instance, CCollisionNode* node,
                    CCollisionPart* part, BestHit& best) {
    instance.UpdateNodeGeometry(node);
    const CollisionGeometry& g = instance.geometry;
    Ray ray{probe.origin, probe.direction};
    for (int32_t offset : node->triangles) {
        if (offset < 0 || (size_t)offset + 2 >= g.indices.size() ||
            (size_t)offset / 3 >= g.normals.size())
            continue;
        int32_t ia = g.indices[offset], ib = g.indices[offset + 1], ic = g.indices[offset + 2];
        if (ia < 0 || ib < 0 || ic < 0 || (size_t)ia >= g.vertices.size() ||
            (size_t)ib >= g.vertices.size() || (size_t)ic >= g.vertices.size())
            continue;
        if (probe.skipBackFaces &&
            Vector3Dot(g.normals[offset / 3], probe.direction) > -GeometryTolerance)
            continue;
        float t;
        Vector3 point;
        if (!RayIntersectTriangle(g.vertices[ia], g.vertices[ib], g.vertices[ic], &t, &point, ray))
            continue;
        if (t <= probe.length && t < best.distance) {
            best.distance = t;
            best.point = point;
            best.normal = g.normals[offset / 3];
            best.part = part;
        }
    }
}

// Children whose boxes the probe reaches, nearest entry first, each searched
// while it may still hold a nearer hit.
void ProbeNode(const BodyProbe& probe, CCollisionInstance& instance, CCollisionNode* node,
               CCollisionPart* part, BestHit& best) {
    if (node->children.empty()) {
        ProbeTriangles(probe, instance, node, part, best);
        return;
    }
    std::vector<Candidate> reached;
    for (CCollisionNode* child : node->children) {
        instance.UpdateNodeBox(child);
        float d;
        if (ProbeBox(probe, child->box, d))
            reached.push_back(Candidate{d, part, child});
    }
    std::sort(reached.begin(), reached.end(),
              [](const Candidate& a, const Candidate& b) { return a.distance < b.distance; });
    for (const Candidate& c : reached) {
        if (c.distance > best.distance)
            break;
        ProbeNode(probe, instance, c.node, part, best);
    }
}

} // namespace

BodyProbe MakeSegmentProbe(const Vector3& p0, const Vector3& p1) {
    BodyProbe probe;
    probe.origin = p0;
    Vector3 d;
    Vector3Subtract(d, p1, p0);
    probe.length = Vector3Length(d);
    if (probe.length > 0.0f)
        Vector3Scale(probe.direction, d, 1.0f / probe.length);
    probe.precision = PROBE_TRIANGLES;
    probe.skipBackFaces = true;
    return probe;
}

BodyProbe MakeRayProbe(const Ray& ray, int precision, bool skipBackFaces) {
    BodyProbe probe;
    probe.origin = ray.origin;
    probe.direction = ray.direction;
    probe.length = FLT_MAX;
    probe.precision = precision;
    probe.skipBackFaces = skipBackFaces;
    return probe;
}

bool ProbeSphere(const BodyProbe& probe, const Sphere& sphere, float& outDistance) {
    Vector3 m;
    Vector3Subtract(m, probe.origin, sphere.centre);
    float r = sphere.radius * (1.0f + CullSlack) + CullSlack;
    float c = Vector3Dot(m, m) - r * r;
    if (c <= 0.0f) {
        outDistance = 0.0f;
        return true;
    }
    float b = Vector3Dot(m, probe.direction);
    if (b > 0.0f)
        return false;
    float disc = b * b - c;
    if (disc < 0.0f)
        return false;
    float t = -b - std::sqrt(disc);
    if (t > probe.length)
        return false;
    outDistance = std::max(t, 0.0f);
    return true;
}

bool ProbeBox(const BodyProbe& probe, const OrientedBox& box, float& outDistance) {
    Vector3 m;
    Vector3Subtract(m, probe.origin, box.centre);
    float enter = 0.0f, leave = probe.length;
    for (int i = 0; i < 3; i++) {
        float e = box.halfExtent[i] * (1.0f + CullSlack) + CullSlack;
        float o = Vector3Dot(m, box.axis[i]);
        float d = Vector3Dot(probe.direction, box.axis[i]);
        if (std::fabs(d) < 1e-12f) {
            if (o < -e || o > e)
                return false;
            continue;
        }
        float t0 = (-e - o) / d, t1 = (e - o) / d;
        if (t0 > t1)
            std::swap(t0, t1);
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
        if (enter > leave)
            return false;
    }
    outDistance = enter;
    return true;
}

bool ProbeInstance(const BodyProbe& probe, CCollisionInstance& instance, float& outDistance,
                   Vector3& outPoint, Vector3& outNormal) {
    float d;
    if (!instance.attached || !instance.root || !ProbeSphere(probe, instance.sphere, d))
        return false;
    instance.UpdateNodeBox(instance.root);
    if (!ProbeBox(probe, instance.root->box, d))
        return false;
    BestHit best;
    ProbeNode(probe, instance, instance.root, nullptr, best);
    if (best.distance == FLT_MAX)
        return false;
    outDistance = best.distance;
    outPoint = best.point;
    outNormal = best.normal;
    return true;
}

bool ProbeBody(CCollisionBody& body, const BodyProbe& probe, CollisionContact& out) {
    if (!body.attached || !body.root || !(probe.length > 0.0f))
        return false;
    float d;
    if (body.sphere.radius > 0.0f && !ProbeSphere(probe, body.sphere, d))
        return false;
    body.SetTransforms();

    std::vector<CCollisionPart*> parts;
    GatherParts(body.root, parts);
    std::vector<Candidate> reached;
    for (CCollisionPart* part : parts) {
        if (ProbeSphere(probe, part->instance.sphere, d))
            reached.push_back(Candidate{d, part, part->instance.root});
    }
    std::sort(reached.begin(), reached.end(),
              [](const Candidate& a, const Candidate& b) { return a.distance < b.distance; });

    BestHit best;
    for (const Candidate& c : reached) {
        if (c.distance > best.distance)
            break;
        CCollisionInstance& instance = c.part->instance;
        if (probe.precision <= PROBE_SPHERES) {
            best.distance = c.distance;
            Vector3MultiplyAdd(best.point, probe.origin, probe.direction, c.distance);
            Vector3Subtract(best.normal, best.point, instance.sphere.centre);
            Vector3NormalizeInPlace(best.normal);
            best.part = c.part;
            break;
        }
        instance.UpdateNodeBox(c.node);
        float boxDistance;
        if (!ProbeBox(probe, c.node->box, boxDistance) || boxDistance > best.distance)
            continue;
        if (probe.precision == PROBE_BOXES) {
            best.distance = boxDistance;
            Vector3MultiplyAdd(best.point, probe.origin, probe.direction, boxDistance);
            OrientedBoxFaceNormalToward(c.node->box, best.point, best.normal);
            best.part = c.part;
            continue;
        }
        ProbeNode(probe, instance, c.node, c.part, best);
    }
    if (!best.part)
        return false;
    out = CollisionContact();
    out.point = best.point;
    out.normal = best.normal;
    out.node = best.part->node;
    out.bodyPart = probe.precision >= PROBE_TRIANGLES ? ContactBodyPart : 0;
    out.distanceSquared = best.distance * best.distance;
    return true;
}
