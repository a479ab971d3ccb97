// Rays and segments against single triangles.
#include "core/geometry.h"
#include "core/geometry_hit.h"

#include <cmath>

static const float ParallelDeterminant = 0.00001f;

// Moller-Trumbore without back-face culling; t is the distance along the
// ray (unclamped).
static bool MollerTrumbore(const Vector3& a, const Vector3& b, const Vector3& c, const Ray& ray,
                           float& t) {
    Vector3 e1, e2, p, s, q;
    Vector3Subtract(e1, b, a);
    Vector3Subtract(e2, c, a);
    Vector3Cross(p, ray.direction, e2);
    float det = Vector3Dot(e1, p);
    if (std::fabs(det) < ParallelDeterminant) {
        return false;
    }
    float inv = 1.0f / det;
    Vector3Subtract(s, ray.origin, a);
    float u = Vector3Dot(s, p) * inv;
    if (u < 0.0f || u > 1.0f) {
        return false;
    }
    Vector3Cross(q, s, e1);
    float v = Vector3Dot(ray.direction, q) * inv;
    if (v < 0.0f || u + v > 1.0f) {
        return false;
    }
    t = Vector3Dot(e2, q) * inv;
    return true;
}

bool RayIntersectTriangle(const Vector3& a, const Vector3& b, const Vector3& c, float* outDistance,
                          Vector3* outPoint, const Ray& ray) {
    float t;
    if (!MollerTrumbore(a, b, c, ray, t) || t < 0.0f) {
        return false;
    }
    Vector3 point;
    WriteHit(t, Vector3MultiplyAdd(point, ray.origin, ray.direction, t), outDistance, outPoint);
    return true;
}

bool RayHitsTriangle(const Ray& ray, const Vector3& a, const Vector3& b, const Vector3& c) {
    float t;
    return MollerTrumbore(a, b, c, ray, t);
}

bool SegmentIntersectTriangle(const Vector3& p0, const Vector3& p1, const Vector3& a,
                              const Vector3& b, const Vector3& c, Vector3* outPoint,
                              float* outDistance) {
    Ray ray;
    float length, dist;
    Vector3 point;
    if (!SegmentRay(p0, p1, ray, length) || !RayIntersectTriangle(a, b, c, &dist, &point, ray) ||
        dist > length) {
        return false;
    }
    WriteHit(dist, point, outDistance, outPoint);
    return true;
}

bool SegmentIntersectTriangle(const Vector3& p0, const Vector3& p1,
                              const std::vector<Triangle>& triangles, Vector3* outPoint,
                              float* outDistance, int* outIndex) {
    for (size_t i = 0; i < triangles.size(); i++) {
        const Triangle& t = triangles[i];
        if (SegmentIntersectTriangle(p0, p1, t.corner[0], t.corner[1], t.corner[2], outPoint,
                                     outDistance)) {
            if (outIndex) {
                *outIndex = static_cast<int>(i);
            }
            return true;
        }
    }
    return false;
}

int SegmentClassifyTriangle(const Vector3& p0, const Vector3& p1, const Triangle& tri) {
    float d = -Vector3Dot(tri.normal, tri.corner[0]);
    float d0 = Vector3Dot(tri.normal, p0) + d;
    float d1 = Vector3Dot(tri.normal, p1) + d;
    bool on0 = std::fabs(d0) <= GeometryTolerance;
    bool on1 = std::fabs(d1) <= GeometryTolerance;
    if (on0 && on1) {
        return 2;
    }
    if (on0 || on1 || (d0 > 0.0f) != (d1 > 0.0f)) {
        return 1;
    }
    return 0;
}
