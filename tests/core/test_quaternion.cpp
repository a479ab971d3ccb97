#include <cmath>

#include "tests/core/maths_expect.h"

namespace {
const float Deg = 3.1415927f / 180.0f;
}

TEST(Quaternion, ProductInverseAndNormalize) {
    Quaternion q;
    EXPECT_QUAT(QuaternionMultiply(q, Quaternion{0, 1, 0, 0}, Quaternion{0, 0, 1, 0}), 0, 0, 0, 1);
    EXPECT_QUAT(QuaternionMultiply(q, Quaternion{0, 0, 1, 0}, Quaternion{0, 1, 0, 0}), 0, 0, 0, -1);
    Quaternion a{1, 1, 1, 1};
    EXPECT_QUAT(QuaternionInverse(q, a), 0.25f, -0.25f, -0.25f, -0.25f);
    EXPECT_QUAT(QuaternionMultiply(q, a, q), 1, 0, 0, 0);
    EXPECT_QUAT(QuaternionNormalize(a, a), 0.5f, 0.5f, 0.5f, 0.5f);
}

TEST(Quaternion, LogAndExpAreInverses) {
    Vector3 v{1, 1, 1};
    EXPECT_VEC3(QuaternionToAxisAngle(Quaternion{1, 0, 0, 0}, v), 0, 0, 0);
    Quaternion q{0, 1, 1, 1};
    EXPECT_QUAT(QuaternionFromRotationVector(Vector3{0, 0, 0}, q), 1, 0, 0, 0);

    // The rotation vector holds the half angle.
    Quaternion r{std::cos(0.3f), 0, 0.6f * std::sin(0.3f), 0.8f * std::sin(0.3f)};
    EXPECT_VEC3(QuaternionToAxisAngle(r, v), 0, 0.18f, 0.24f);
    EXPECT_QUAT(QuaternionFromRotationVector(v, q), r.w, r.x, r.y, r.z);
}

TEST(Quaternion, FromRotationMatrices) {
    Matrix3 rz{{0, -1, 0, 1, 0, 0, 0, 0, 1}};
    Quaternion q;
    const float h = std::sqrt(0.5f);
    EXPECT_QUAT(QuaternionFromMatrix3(q, rz), h, 0, 0, h);
    Matrix4 rz4;
    EXPECT_QUAT(QuaternionFromMatrix4(q, Matrix4FromMatrix3(rz4, rz)), h, 0, 0, h);

    // Half turns take the diagonal branches.
    EXPECT_QUAT(QuaternionFromMatrix3(q, Matrix3{{1, 0, 0, 0, -1, 0, 0, 0, -1}}), 0, 1, 0, 0);
    EXPECT_QUAT(QuaternionFromMatrix3(q, Matrix3{{-1, 0, 0, 0, 1, 0, 0, 0, -1}}), 0, 0, 1, 0);
    EXPECT_QUAT(QuaternionFromMatrix3(q, Matrix3{{-1, 0, 0, 0, -1, 0, 0, 0, 1}}), 0, 0, 0, 1);
    // A tie between m00 and m11 picks different branches; both give the
    // half turn about (1, 1, 0).
    Matrix3 tie{{0, 1, 0, 1, 0, 0, 0, 0, -1}};
    EXPECT_QUAT(QuaternionFromMatrix3(q, tie), 0, h, h, 0);
    EXPECT_QUAT(QuaternionFromMatrix4(q, Matrix4FromMatrix3(rz4, tie)), 0, h, h, 0);
}

TEST(Quaternion, InterpolateFollowsTheRelativeRotation) {
    Quaternion id{1, 0, 0, 0};
    Quaternion z90{std::cos(45 * Deg), 0, 0, std::sin(45 * Deg)};
    Quaternion q;
    EXPECT_QUAT(QuaternionInterpolate(q, id, z90, 0.5f), std::cos(22.5f * Deg), 0, 0,
                std::sin(22.5f * Deg));
    EXPECT_QUAT(QuaternionInterpolate(q, z90, id, 0.0f), z90.w, 0, 0, z90.z);
    EXPECT_QUAT(QuaternionInterpolate(q, z90, id, 1.0f), 1, 0, 0, 0);
    Quaternion from = z90;
    QuaternionInterpolate(from, from, id, 0.5f); // aliased
    EXPECT_QUAT(from, std::cos(22.5f * Deg), 0, 0, std::sin(22.5f * Deg));
}

TEST(Quaternion, InterpolateTakesTheLongWayUnlessAskedForTheShortest) {
    // 'to' is the 20-degree turn about z with its sign flipped.
    Quaternion id{1, 0, 0, 0};
    Quaternion to{-std::cos(10 * Deg), 0, 0, -std::sin(10 * Deg)};
    Quaternion q;
    EXPECT_QUAT(QuaternionInterpolate(q, id, to, 0.5f), std::cos(85 * Deg), 0, 0,
                -std::sin(85 * Deg));
    EXPECT_QUAT(QuaternionInterpolateShortest(q, id, to, 0.5f), -std::cos(5 * Deg), 0, 0,
                -std::sin(5 * Deg));
}
