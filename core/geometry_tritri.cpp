// Triangle against triangle: the interval test on the line where the two
// planes meet, with coplanar triangles tested in 2D.
#include "core/geometry.h"

#include <cmath>

namespace {

// Signed distances of a triangle's corners to the plane of another.
struct PlaneDistances {
    float d[3];
};

PlaneDistances DistancesToPlane(const Triangle& t, const Vector3& n, float planeD) {
    PlaneDistances r;
    for (int i = 0; i < 3; i++) {
        float v = Vector3Dot(n, t.corner[i]) + planeD;
        r.d[i] = std::fabs(v) < GeometryTolerance ? 0.0f : v;
    }
    return r;
}

bool AllOneSide(const PlaneDistances& p) {
    return (p.d[0] > 0.0f && p.d[1] > 0.0f && p.d[2] > 0.0f) ||
           (p.d[0] < 0.0f && p.d[1] < 0.0f && p.d[2] < 0.0f);
}

// Where a triangle crosses the other's plane: an interval [t0, t1] on the
// line's dominant axis, with its 3D end points.
struct Interval {
    float t[2];
    Vector3 p[2];
};

float Component(const Vector3& v, int axis) {
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

// False when the corners all lie in the plane.
bool CrossingInterval(const Triangle& tri, const PlaneDistances& pd, int axis, Interval& out) {
    const float* d = pd.d;
    int lone;
    if (d[0] * d[1] > 0.0f) {
        lone = 2;
    } else if (d[0] * d[2] > 0.0f) {
        lone = 1;
    } else if (d[1] * d[2] > 0.0f || d[0] != 0.0f) {
        lone = 0;
    } else if (d[1] != 0.0f) {
        lone = 1;
    } else if (d[2] != 0.0f) {
        lone = 2;
    } else {
        return false;
    }
    const Vector3& a = tri.corner[lone];
    for (int e = 0; e < 2; e++) {
        int other = (lone + 1 + e) % 3;
        float denom = d[lone] - d[other];
        float s = denom != 0.0f ? d[lone] / denom : 0.0f;
        Vector3 dir;
        Vector3Subtract(dir, tri.corner[other], a);
        Vector3MultiplyAdd(out.p[e], a, dir, s);
        out.t[e] = Component(out.p[e], axis);
    }
    if (out.t[0] > out.t[1]) {
        float t = out.t[0];
        out.t[0] = out.t[1];
        out.t[1] = t;
        Vector3 p = out.p[0];
        out.p[0] = out.p[1];
        out.p[1] = p;
    }
    return true;
}

struct Projected {
    float u, v;
};

Projected Project(const Vector3& p, int i0, int i1) {
    return Projected{Component(p, i0), Component(p, i1)};
}

float Orient(const Projected& a, const Projected& b, const Projected& c) {
    Vector2 ab{b.u - a.u, b.v - a.v};
    Vector2 ac{c.u - a.u, c.v - a.v};
    return Vector2Cross(ab, ac);
}

bool SegmentsCross2D(const Projected& a, const Projected& b, const Projected& c,
                     const Projected& d) {
    float o1 = Orient(a, b, c), o2 = Orient(a, b, d);
    float o3 = Orient(c, d, a), o4 = Orient(c, d, b);
    return ((o1 >= 0.0f && o2 <= 0.0f) || (o1 <= 0.0f && o2 >= 0.0f)) &&
           ((o3 >= 0.0f && o4 <= 0.0f) || (o3 <= 0.0f && o4 >= 0.0f)) &&
           !(o1 == 0.0f && o2 == 0.0f && o3 == 0.0f && o4 == 0.0f);
}

bool PointInside2D(const Projected& p, const Projected t[3]) {
    float o0 = Orient(t[0], t[1], p), o1 = Orient(t[1], t[2], p), o2 = Orient(t[2], t[0], p);
    return (o0 >= 0.0f && o1 >= 0.0f && o2 >= 0.0f) || (o0 <= 0.0f && o1 <= 0.0f && o2 <= 0.0f);
}

bool Intersect(const Triangle& t1, const Triangle& t2, bool* outCoplanar, Vector3* outSegment) {
    Vector3 n1, n2, e1, e2;
    Vector3Cross(n1, Vector3Subtract(e1, t1.corner[1], t1.corner[0]),
                 Vector3Subtract(e2, t1.corner[2], t1.corner[0]));
    Vector3Cross(n2, Vector3Subtract(e1, t2.corner[1], t2.corner[0]),
                 Vector3Subtract(e2, t2.corner[2], t2.corner[0]));
    PlaneDistances d1 = DistancesToPlane(t1, n2, -Vector3Dot(n2, t2.corner[0]));
    if (AllOneSide(d1)) {
        return false;
    }
    PlaneDistances d2 = DistancesToPlane(t2, n1, -Vector3Dot(n1, t1.corner[0]));
    if (AllOneSide(d2)) {
        return false;
    }
    Vector3 line;
    Vector3Cross(line, n1, n2);
    float ax = std::fabs(line.x), ay = std::fabs(line.y), az = std::fabs(line.z);
    int axis = (ax >= ay && ax >= az) ? 0 : (ay >= az ? 1 : 2);
    Interval i1, i2;
    if (!CrossingInterval(t1, d1, axis, i1) || !CrossingInterval(t2, d2, axis, i2)) {
        if (!TrianglesIntersectCoplanar(n1, t1, t2)) {
            return false;
        }
        if (outCoplanar) {
            *outCoplanar = true;
        }
        return true;
    }
    if (i1.t[1] < i2.t[0] || i2.t[1] < i1.t[0]) {
        return false;
    }
    if (outCoplanar) {
        *outCoplanar = false;
    }
    if (outSegment) {
        outSegment[0] = i1.t[0] > i2.t[0] ? i1.p[0] : i2.p[0];
        outSegment[1] = i1.t[1] < i2.t[1] ? i1.p[1] : i2.p[1];
    }
    return true;
}

} // namespace

bool TrianglesIntersectCoplanar(const Vector3& n, const Triangle& t1, const Triangle& t2) {
    float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    int i0, i1;
    if (ax > ay && ax > az) {
        i0 = 1;
        i1 = 2;
    } else if (ay > az) {
        i0 = 0;
        i1 = 2;
    } else {
        i0 = 0;
        i1 = 1;
    }
    Projected a[3], b[3];
    for (int i = 0; i < 3; i++) {
        a[i] = Project(t1.corner[i], i0, i1);
        b[i] = Project(t2.corner[i], i0, i1);
    }
    for (int i = 0; i < 3; i++) {
        for (int j = 0; j < 3; j++) {
            if (SegmentsCross2D(a[i], a[(i + 1) % 3], b[j], b[(j + 1) % 3])) {
                return true;
            }
        }
    }
    return PointInside2D(a[0], b) || PointInside2D(b[0], a);
}

bool TriangleIntersectTriangle(const Triangle& t1, const Triangle& t2) {
    return Intersect(t1, t2, nullptr, nullptr);
}

bool TriangleIntersectTriangleSegment(const Triangle& t1, const Triangle& t2, bool* outCoplanar,
                                      Vector3* outSegment) {
    return Intersect(t1, t2, outCoplanar, outSegment);
}
