// Planes, points and the simple containment tests.
#include "core/geometry.h"

#include <cmath>

static float PlaneSide(const Vector4& plane, const Vector3& p) {
    return plane.x * p.x + plane.y * p.y + plane.z * p.z + plane.w;
}

static float NormalDot(const Vector4& plane, const Vector3& v) {
    return plane.x * v.x + plane.y * v.y + plane.z * v.z;
}

bool SegmentIntersectPlane(const Vector4& plane, Vector3* outPoint, const Vector3& p0,
                           const Vector3& p1) {
    Vector3 d;
    Vector3Subtract(d, p1, p0);
    float denom = NormalDot(plane, d);
    if (!(std::fabs(denom) > GeometryTolerance)) {
        return false;
    }
    float t = -PlaneSide(plane, p0) / denom;
    if (outPoint && t >= 0.0f && t <= 1.0f) {
        Vector3MultiplyAdd(*outPoint, p0, d, t);
    }
    return true;
}

float PointPlaneDistance(const Vector3& point, const Vector4& plane) {
    float len = std::sqrt(plane.x * plane.x + plane.y * plane.y + plane.z * plane.z);
    if (len == 0.0f) {
        return 0.0f;
    }
    return std::fabs(PlaneSide(plane, point)) / len;
}

bool RayPlaneParallel(const Ray& ray, const Vector4& plane) {
    return std::fabs(NormalDot(plane, ray.direction)) < GeometryTolerance;
}

bool RayIntersectPlane(const Ray& ray, const Vector4& plane, float* outDistance) {
    if (RayPlaneParallel(ray, plane)) {
        return false;
    }
    float t = -PlaneSide(plane, ray.origin) / NormalDot(plane, ray.direction);
    if (t < 0.0f) {
        return false;
    }
    if (outDistance) {
        *outDistance = t;
    }
    return true;
}

bool PointOnRay(const Ray& ray, const Vector3& point, float* outT) {
    const float p[3] = {point.x - ray.origin.x, point.y - ray.origin.y, point.z - ray.origin.z};
    const float d[3] = {ray.direction.x, ray.direction.y, ray.direction.z};
    // Axes the ray does not move along must already match; the others each
    // give a t, and all of those must agree.
    bool haveT = false;
    float t = 0.0f;
    for (int i = 0; i < 3; i++) {
        if (std::fabs(d[i]) <= GeometryTolerance) {
            if (std::fabs(p[i]) > GeometryTolerance) {
                return false;
            }
            continue;
        }
        float ti = p[i] / d[i];
        if (haveT && std::fabs(ti - t) > GeometryTolerance) {
            return false;
        }
        t = ti;
        haveT = true;
    }
    if (!haveT || t < GeometryTolerance) {
        return false;
    }
    if (outT) {
        *outT = t;
    }
    return true;
}

bool AxisAlignedBoxContainsPoint(const AxisAlignedBox& box, const Vector3& point) {
    const float lo[3] = {box.minimum.x, box.minimum.y, box.minimum.z};
    const float hi[3] = {box.maximum.x, box.maximum.y, box.maximum.z};
    const float p[3] = {point.x, point.y, point.z};
    for (int i = 0; i < 3; i++) {
        float a = lo[i] < hi[i] ? lo[i] : hi[i];
        float b = lo[i] < hi[i] ? hi[i] : lo[i];
        if (p[i] < a || p[i] > b) {
            return false;
        }
    }
    return true;
}

bool SphereIntersectSphere(const Sphere& a, const Sphere& b) {
    Vector3 d;
    Vector3Subtract(d, a.centre, b.centre);
    float r = a.radius + b.radius;
    return Vector3Dot(d, d) <= r * r;
}
