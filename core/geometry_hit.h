// Shared steps of the segment tests: the ray along a segment, and writing a
// hit's outputs where the caller passed them.
#ifndef CORE_GEOMETRY_HIT_H
#define CORE_GEOMETRY_HIT_H

#include "core/geometry.h"

// False for a segment of no length, which never hits.
inline bool SegmentRay(const Vector3& p0, const Vector3& p1, Ray& ray, float& length) {
    length = Vector3Distance(p0, p1);
    if (!(length > 0.0f)) {
        return false;
    }
    RayFromSegment(ray, p0, p1);
    return true;
}

inline void WriteHit(float distance, const Vector3& point, float* outDistance, Vector3* outPoint) {
    if (outDistance) {
        *outDistance = distance;
    }
    if (outPoint) {
        *outPoint = point;
    }
}

#endif
