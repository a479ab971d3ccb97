// Oriented boxes against spheres and against each other.
#include "core/geometry.h"

#include <cmath>

bool OrientedBoxIntersectSphere(const OrientedBox& box, const Sphere& sphere) {
    Vector3 d;
    Vector3Subtract(d, sphere.centre, box.centre);
    float sum = 0.0f;
    for (int i = 0; i < 3; i++) {
        float excess = std::fabs(Vector3Dot(d, box.axis[i])) - box.halfExtent[i];
        if (excess > 0.0f) {
            sum += excess * excess;
        }
    }
    return sum <= sphere.radius * sphere.radius;
}

Vector3& OrientedBoxFaceNormalToward(const OrientedBox& box, const Vector3& point, Vector3& out) {
    Vector3 d;
    Vector3Subtract(d, point, box.centre);
    int best = 0;
    float bestOffset = Vector3Dot(d, box.axis[0]);
    for (int i = 1; i < 3; i++) {
        float o = Vector3Dot(d, box.axis[i]);
        if (std::fabs(o) >= std::fabs(bestOffset)) {
            best = i;
            bestOffset = o;
        }
    }
    return Vector3Scale(out, box.axis[best], bestOffset < 0.0f ? -1.0f : 1.0f);
}

// Separating axes: the three axes of each box, then the nine cross products,
// which are skipped when two axes are nearly parallel (their cross products
// degenerate and the face axes already decide).
bool OrientedBoxIntersectOrientedBox(const OrientedBox& a, const OrientedBox& b) {
    float R[3][3], AR[3][3];
    bool parallel = false;
    for (int i = 0; i < 3; i++) {
        for (int j = 0; j < 3; j++) {
            R[i][j] = Vector3Dot(a.axis[i], b.axis[j]);
            AR[i][j] = std::fabs(R[i][j]);
            if (AR[i][j] >= 0.99999f) {
                parallel = true;
            }
        }
    }
    Vector3 d;
    Vector3Subtract(d, b.centre, a.centre);
    float T[3] = {Vector3Dot(d, a.axis[0]), Vector3Dot(d, a.axis[1]), Vector3Dot(d, a.axis[2])};
    const float* ea = a.halfExtent;
    const float* eb = b.halfExtent;

    for (int i = 0; i < 3; i++) {
        float rb = eb[0] * AR[i][0] + eb[1] * AR[i][1] + eb[2] * AR[i][2];
        if (std::fabs(T[i]) > ea[i] + rb) {
            return false;
        }
    }
    for (int j = 0; j < 3; j++) {
        float ra = ea[0] * AR[0][j] + ea[1] * AR[1][j] + ea[2] * AR[2][j];
        float t = T[0] * R[0][j] + T[1] * R[1][j] + T[2] * R[2][j];
        if (std::fabs(t) > ra + eb[j]) {
            return false;
        }
    }
    if (parallel) {
        return true;
    }
    // Axis a_i x b_j, with (i1, i2) and (j1, j2) the other two indices.
    for (int i = 0; i < 3; i++) {
        int i1 = (i + 1) % 3, i2 = (i + 2) % 3;
        for (int j = 0; j < 3; j++) {
            int j1 = (j + 1) % 3, j2 = (j + 2) % 3;
            float ra = ea[i1] * AR[i2][j] + ea[i2] * AR[i1][j];
            float rb = eb[j1] * AR[i][j2] + eb[j2] * AR[i][j1];
            float t = T[i2] * R[i1][j] - T[i1] * R[i2][j];
            if (std::fabs(t) > ra + rb) {
                return false;
            }
        }
    }
    return true;
}
