// Rays and segments against oriented boxes and spheres.
#include "core/geometry.h"
#include "core/geometry_hit.h"

#include <cmath>

static const float SlabParallel = 0.00001f;
static const float FarAway = 3.4028235e38f;

Ray& RayFromSegment(Ray& out, const Vector3& p0, const Vector3& p1) {
    Vector3 d;
    Vector3Subtract(d, p1, p0);
    float len = Vector3Length(d);
    // A zero-length segment gets a zero direction rather than NaN; the
    // segment tests report no hit for it.
    if (len > 0.0f) {
        Vector3Scale(d, d, 1.0f / len);
    }
    out = Ray{p0, d};
    return out;
}

bool RayIntersectOrientedBoxAt(const OrientedBox& box, const Ray& ray, float* outDistance,
                               Vector3* outPoint) {
    float nearT = -FarAway;
    float farT = FarAway;
    Vector3 toCentre;
    Vector3Subtract(toCentre, box.centre, ray.origin);
    for (int i = 0; i < 3; i++) {
        float l = Vector3Dot(ray.direction, box.axis[i]);
        float m = Vector3Dot(toCentre, box.axis[i]);
        float e = box.halfExtent[i];
        if (std::fabs(l) > SlabParallel) {
            float t1 = (m + e) / l;
            float t2 = (m - e) / l;
            if (t1 > t2) {
                float t = t1;
                t1 = t2;
                t2 = t;
            }
            if (t1 > nearT) {
                nearT = t1;
            }
            if (t2 < farT) {
                farT = t2;
            }
            if (nearT > farT || farT < 0.0f) {
                return false;
            }
        } else if (m < -e || m > e) {
            return false;
        }
    }
    float dist = nearT > 0.0f ? nearT : farT;
    Vector3 point;
    WriteHit(dist, Vector3MultiplyAdd(point, ray.origin, ray.direction, dist), outDistance,
             outPoint);
    return true;
}

bool RayIntersectOrientedBox(const Ray& ray, const OrientedBox& box) {
    return RayIntersectOrientedBoxAt(box, ray, nullptr, nullptr);
}

bool RayIntersectSphereAt(const Ray& ray, const Sphere& sphere, Vector3* outPoint,
                          float* outDistance) {
    Vector3 toCentre;
    Vector3Subtract(toCentre, sphere.centre, ray.origin);
    float l = Vector3Dot(toCentre, ray.direction);
    float h = Vector3Dot(toCentre, toCentre);
    float r2 = sphere.radius * sphere.radius;
    if ((l < 0.0f && h > r2) || h - l * l > r2) {
        return false;
    }
    float m = std::sqrt(r2 - (h - l * l));
    float dist = h > r2 ? l - m : l + m;
    Vector3 point;
    WriteHit(dist, Vector3MultiplyAdd(point, ray.origin, ray.direction, dist), outDistance,
             outPoint);
    return true;
}

bool RayIntersectSphere(const Ray& ray, const Sphere& sphere) {
    return RayIntersectSphereAt(ray, sphere, nullptr, nullptr);
}

bool SegmentIntersectOrientedBox(const Vector3& p0, const Vector3& p1, const OrientedBox& box,
                                 float* outDistance, Vector3* outPoint) {
    Ray ray;
    float length, dist;
    Vector3 point;
    if (!SegmentRay(p0, p1, ray, length) || !RayIntersectOrientedBoxAt(box, ray, &dist, &point) ||
        dist > length) {
        return false;
    }
    WriteHit(dist, point, outDistance, outPoint);
    return true;
}

bool SegmentIntersectSphere(const Vector3& p0, const Vector3& p1, const Sphere& sphere,
                            Vector3* outPoint, float* outDistance) {
    Ray ray;
    float length, dist;
    Vector3 point;
    if (!SegmentRay(p0, p1, ray, length) || !RayIntersectSphereAt(ray, sphere, &point, &dist) ||
        dist > length) {
        return false;
    }
    WriteHit(dist, point, outDistance, outPoint);
    return true;
}
