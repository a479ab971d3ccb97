// Triangulation of a set of coplanar points that bound a convex area.
#include "core/geometry.h"

#include <cmath>

static const float TwoPi = 6.2831855f;

bool TriangulatePointLoop(const std::vector<Vector3>& points, std::vector<Triangle>& outTriangles) {
    size_t n = points.size();
    if (n < 3) {
        return false;
    }
    // The plane's normal from the first three corners that are not collinear.
    Vector3 normal, e1, e2;
    bool haveNormal = false;
    for (size_t i = 2; i < n && !haveNormal; i++) {
        Vector3Cross(normal, Vector3Subtract(e1, points[1], points[0]),
                     Vector3Subtract(e2, points[i], points[0]));
        haveNormal = Vector3Length(normal) > GeometryTolerance;
    }
    if (!haveNormal) {
        return false;
    }
    Vector3NormalizeInPlace(normal);
    Vector3 centre;
    for (const Vector3& p : points) {
        Vector3Add(centre, centre, p);
    }
    Vector3Scale(centre, centre, 1.0f / float(n));

    // Angles about the centre in the plane, measured from an in-plane axis.
    Vector3 u, v;
    Vector3Subtract(u, points[1], points[0]);
    Vector3NormalizeInPlace(u);
    Vector3Cross(v, normal, u);
    std::vector<float> angle(n);
    for (size_t i = 0; i < n; i++) {
        Vector3 d;
        Vector3Subtract(d, points[i], centre);
        angle[i] = std::atan2(Vector3Dot(d, v), Vector3Dot(d, u));
    }

    // From each point the next is the unused one with the smallest angle
    // turning counter-clockwise about the normal.
    std::vector<size_t> loop(1, 0);
    std::vector<bool> used(n, false);
    used[0] = true;
    while (loop.size() < n) {
        size_t cur = loop.back();
        size_t best = n;
        float bestTurn = 0.0f;
        for (size_t i = 0; i < n; i++) {
            if (used[i]) {
                continue;
            }
            float turn = angle[i] - angle[cur];
            while (turn < 0.0f) {
                turn += TwoPi;
            }
            if (best == n || turn < bestTurn) {
                best = i;
                bestTurn = turn;
            }
        }
        used[best] = true;
        loop.push_back(best);
    }

    // Cut off one corner at a time; triangles with no area are left out.
    size_t made = 0;
    while (loop.size() >= 3) {
        Triangle t;
        t.corner[0] = points[loop[0]];
        t.corner[1] = points[loop[1]];
        t.corner[2] = points[loop[2]];
        Vector3 c;
        Vector3Cross(c, Vector3Subtract(e1, t.corner[1], t.corner[0]),
                     Vector3Subtract(e2, t.corner[2], t.corner[0]));
        if (Vector3Length(c) > 0.0f) {
            TriangleComputeNormal(t);
            outTriangles.push_back(t);
            made++;
        }
        loop.erase(loop.begin() + 1);
    }
    return made == n - 2;
}
