#include <cmath>
#include <limits>

#include "tests/core/maths_expect.h"

TEST(Vector, ArithmeticAllowsTheOutputToAliasAnInput) {
    Vector3 a{1, 2, 3};
    Vector3Add(a, a, Vector3{10, 20, 30});
    EXPECT_VEC3(a, 11, 22, 33);
    Vector3Subtract(a, Vector3{0, 0, 0}, a);
    EXPECT_VEC3(a, -11, -22, -33);
    Vector3 n{3, 4, 0};
    EXPECT_VEC3(Vector3NormalizeInPlace(n), 0.6f, 0.8f, 0);
    EXPECT_FLOAT_EQ(Vector2Cross(Vector2{2, 3}, Vector2{5, 7}), 2 * 7 - 3 * 5);
}

TEST(Vector, AngleBetweenHandlesZeroAndOppositeVectors) {
    EXPECT_EQ(Vector3AngleBetween(Vector3{0, 0, 0}, Vector3{1, 2, 3}), 0.0f);
    EXPECT_EQ(Vector3AngleBetween(Vector3{1, 2, 3}, Vector3{0, 0, 0}), 0.0f);
    // Rounding can put the cosine just past -1; it is clamped.
    Vector3 u{0.6f, 0.8f, 0};
    EXPECT_NEAR(Vector3AngleBetween(u, Vector3{-0.6f, -0.8f, 0}), 3.1415927f, MathsTolerance);
    EXPECT_NEAR(Vector3AngleBetween(Vector3{2, 0, 0}, Vector3{0, 0, 5}), 1.5707964f,
                MathsTolerance);
}

TEST(Vector, ReflectMirrorsAboutTheAxis) {
    // 2 (n.v) n - v: the mirror image about n, not a bounce off a surface.
    Vector3 r;
    EXPECT_VEC3(Vector3Reflect(r, Vector3{1, 1, 0}, Vector3{1, 0, 0}), 1, -1, 0);
    Vector4 q;
    ReflectVector4(q, Vector4{1, 0, 0, 0}, Vector4{0.5f, 0.5f, 0.5f, 0.5f});
    EXPECT_FLOAT_EQ(q.x, 0.5f);
    EXPECT_FLOAT_EQ(q.y, -0.5f);
    EXPECT_FLOAT_EQ(q.w, -0.5f);
}

TEST(Vector, PackColourTruncatesAndKeepsChannelsApart) {
    EXPECT_EQ(PackColour(1, 0, 0, 1), 0xFF0000FFu);
    EXPECT_EQ(PackColour(0.5f, 0.5f, 0.5f, 0.5f), 0x7F7F7F7Fu);
    EXPECT_EQ(PackColour(0, 0.8f, 0.5f, 1), 0xFF7FCC00u);
    // Out-of-range components (a colour written as 0..255, a negative one)
    // clamp instead of spilling into the neighbouring channel or alpha.
    EXPECT_EQ(PackColour(255.0f, 0, -1.0f, 1), 0xFF0000FFu);
    EXPECT_EQ(PackColour(0, 0, -0.5f, 0.5f), 0x7F000000u);
    EXPECT_EQ(PackColour(std::numeric_limits<float>::quiet_NaN(), 1, 0, 0), 0x0000FF00u);
}

TEST(Vector, PlaneNormalizeScalesTheDistanceToo) {
    Vector4 p{0, 0, 2, 4};
    PlaneNormalize(p);
    EXPECT_FLOAT_EQ(p.z, 1.0f);
    EXPECT_FLOAT_EQ(p.w, 2.0f);
}
