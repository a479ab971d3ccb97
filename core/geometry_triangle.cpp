// Single triangles: normals, point tests, weights and clipping to boxes.
#include "core/geometry.h"

#include <cmath>

Triangle& TriangleComputeNormal(Triangle& tri) {
    Vector3 e1, e2, n;
    Vector3Subtract(e1, tri.corner[1], tri.corner[0]);
    Vector3Subtract(e2, tri.corner[2], tri.corner[0]);
    Vector3Cross(n, e1, e2);
    Vector3Normalize(tri.normal, n);
    return tri;
}

// Unit normal of (a, b, c); false when the three are collinear.
static bool UnitNormal(const Vector3& a, const Vector3& b, const Vector3& c, Vector3& out) {
    Vector3 e1, e2, n;
    Vector3Subtract(e1, b, a);
    Vector3Subtract(e2, c, a);
    Vector3Cross(n, e1, e2);
    float len = Vector3Length(n);
    if (!(len > 0.0f)) {
        return false;
    }
    Vector3Scale(out, n, 1.0f / len);
    return true;
}

static bool NormalsAgree(const Vector3& a, const Vector3& b) {
    return std::fabs(a.x - b.x) <= GeometryTolerance && std::fabs(a.y - b.y) <= GeometryTolerance &&
           std::fabs(a.z - b.z) <= GeometryTolerance;
}

bool PointInTriangle(const Triangle& tri, const Vector3& point) {
    // A point on an edge (or a corner) makes a degenerate sub-triangle with
    // no normal: not inside.
    Vector3 n0, n1, n2;
    if (!UnitNormal(point, tri.corner[0], tri.corner[1], n0) ||
        !UnitNormal(point, tri.corner[1], tri.corner[2], n1) ||
        !UnitNormal(point, tri.corner[2], tri.corner[0], n2)) {
        return false;
    }
    return NormalsAgree(n0, n1) && NormalsAgree(n0, n2);
}

// Distance from p to the line through a and b.
static float DistanceToLine(const Vector3& p, const Vector3& a, const Vector3& b) {
    Ray edge;
    RayFromSegment(edge, a, b);
    Vector3 rel, c;
    Vector3Subtract(rel, p, edge.origin);
    Vector3Cross(c, rel, edge.direction);
    float len = Vector3Length(edge.direction);
    return len > 0.0f ? Vector3Length(c) / len : Vector3Length(rel);
}

void TriangleEdgeWeights(const Triangle& tri, float outWeights[3], const Vector3& point) {
    float w[3];
    for (int i = 0; i < 3; i++) {
        w[i] = DistanceToLine(point, tri.corner[(i + 1) % 3], tri.corner[(i + 2) % 3]);
    }
    float sum = w[0] + w[1] + w[2];
    for (int i = 0; i < 3; i++) {
        // A triangle with no area gives equal weights rather than NaN.
        outWeights[i] = sum > 0.0f ? w[i] / sum : 1.0f / 3.0f;
    }
}

static Triangle Piece(const Triangle& source, const Vector3& a, const Vector3& b,
                      const Vector3& c) {
    Triangle t = source;
    t.corner[0] = a;
    t.corner[1] = b;
    t.corner[2] = c;
    return t;
}

int ClipTriangleByPlane(const Vector4& plane, const Triangle& tri, Triangle outPieces[2]) {
    float d[3];
    int kept = 0;
    for (int i = 0; i < 3; i++) {
        const Vector3& p = tri.corner[i];
        d[i] = plane.x * p.x + plane.y * p.y + plane.z * p.z + plane.w;
        kept += d[i] > 0.0f;
    }
    if (kept == 0) {
        return 0;
    }
    if (kept == 3) {
        outPieces[0] = tri;
        return 1;
    }
    // The crossing of an edge from a kept corner (d > 0) to a dropped one
    // (d <= 0) comes from the signed distances, which is always defined even
    // when the edge lies within the parallel tolerance of the plane.
    auto cross = [&](int from, int to) {
        float t = d[from] / (d[from] - d[to]);
        Vector3 e, p;
        Vector3Subtract(e, tri.corner[to], tri.corner[from]);
        return Vector3MultiplyAdd(p, tri.corner[from], e, t);
    };
    if (kept == 1) {
        int i = d[0] > 0.0f ? 0 : (d[1] > 0.0f ? 1 : 2);
        int j = (i + 1) % 3, k = (i + 2) % 3;
        outPieces[0] = Piece(tri, tri.corner[i], cross(i, j), cross(i, k));
        return 1;
    }
    int i = d[0] <= 0.0f ? 0 : (d[1] <= 0.0f ? 1 : 2); // the dropped corner
    int j = (i + 1) % 3, k = (i + 2) % 3;
    Vector3 xk = cross(k, i);
    outPieces[0] = Piece(tri, tri.corner[j], tri.corner[k], xk);
    outPieces[1] = Piece(tri, tri.corner[j], xk, cross(j, i));
    return 2;
}

static bool InBox(const AxisAlignedBox& box, const Vector3& p) {
    return p.x >= box.minimum.x && p.x <= box.maximum.x && p.y >= box.minimum.y &&
           p.y <= box.maximum.y && p.z >= box.minimum.z && p.z <= box.maximum.z;
}

bool TriangleIntersectAxisAlignedBox(std::vector<Triangle>* outPieces, const AxisAlignedBox& box,
                                     const Triangle& tri) {
    if (outPieces) {
        outPieces->clear();
    }
    bool in0 = InBox(box, tri.corner[0]);
    bool in1 = InBox(box, tri.corner[1]);
    bool in2 = InBox(box, tri.corner[2]);
    if (in0 && in1 && in2) {
        return true;
    }
    const Vector3& lo = box.minimum;
    const Vector3& hi = box.maximum;
    if (!outPieces) {
        if (in0 || in1 || in2) {
            return true;
        }
        for (int i = 0; i < 8; i++) {
            Vector3 c{(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z};
            if (PointInTriangle(tri, c)) {
                return true;
            }
        }
        return false;
    }
    const Vector4 planes[6] = {{1, 0, 0, -lo.x}, {-1, 0, 0, hi.x}, {0, 1, 0, -lo.y},
                               {0, -1, 0, hi.y}, {0, 0, 1, -lo.z}, {0, 0, -1, hi.z}};
    std::vector<Triangle> pieces(1, tri);
    std::vector<Triangle> next;
    for (const Vector4& plane : planes) {
        next.clear();
        for (const Triangle& p : pieces) {
            Triangle cut[2];
            int n = ClipTriangleByPlane(plane, p, cut);
            next.insert(next.end(), cut, cut + n);
        }
        if (next.empty()) {
            return false;
        }
        pieces.swap(next);
    }
    outPieces->swap(pieces);
    return true;
}
