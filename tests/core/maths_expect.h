// Comparisons for the maths tests: float results to about 1e-5.
#ifndef TESTS_CORE_MATHS_EXPECT_H
#define TESTS_CORE_MATHS_EXPECT_H

#include <gtest/gtest.h>

#include <cmath>

#include "core/matrix.h"
#include "core/quaternion.h"
#include "core/vector.h"

const float MathsTolerance = 1e-5f;

inline ::testing::AssertionResult FloatsNear(const float* a, const float* b, int n,
                                             float tolerance) {
    for (int i = 0; i < n; i++) {
        if (!(std::fabs(a[i] - b[i]) <= tolerance)) {
            return ::testing::AssertionFailure()
                   << "element " << i << ": " << a[i] << " vs " << b[i];
        }
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult Near3(const Vector3& a, const Vector3& b) {
    const float x[3] = {a.x, a.y, a.z}, y[3] = {b.x, b.y, b.z};
    return FloatsNear(x, y, 3, MathsTolerance);
}

inline ::testing::AssertionResult NearQ(const Quaternion& a, const Quaternion& b) {
    const float x[4] = {a.w, a.x, a.y, a.z}, y[4] = {b.w, b.x, b.y, b.z};
    return FloatsNear(x, y, 4, MathsTolerance);
}

#define EXPECT_VEC3(v, ex, ey, ez) EXPECT_TRUE(Near3((v), Vector3{(ex), (ey), (ez)}))
#define EXPECT_QUAT(q, ew, ex, ey, ez) EXPECT_TRUE(NearQ((q), Quaternion{(ew), (ex), (ey), (ez)}))
#define EXPECT_MAT4(a, b) EXPECT_TRUE(FloatsNear((a).m, (b).m, 16, MathsTolerance))
#define EXPECT_MAT3(a, b) EXPECT_TRUE(FloatsNear((a).m, (b).m, 9, MathsTolerance))

#endif
