#include <cmath>

#include "tests/core/maths_expect.h"

namespace {

const float Deg = 3.1415927f / 180.0f;

Matrix4 Affine() {
    // Rotation 30 degrees about z, scale 2 along x, translation (1, 2, 3).
    float c = std::cos(30 * Deg), s = std::sin(30 * Deg);
    return Matrix4{{2 * c, -s, 0, 1, 2 * s, c, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1}};
}

Vector3 Apply(const Matrix4& m, const Vector3& v) {
    Vector3 r;
    return Matrix4TransformPoint(r, m, v);
}

} // namespace

TEST(Matrix, ProductsAndTransforms) {
    Matrix4 a = Affine(), x, expected, m;
    Matrix4Transpose(x, Affine());
    EXPECT_EQ(x.m[12], 1.0f); // the translation moves to the bottom row
    // The output may alias either input.
    Matrix4Multiply(expected, a, x);
    m = a;
    EXPECT_MAT4(Matrix4Multiply(m, m, x), expected);
    Matrix4Multiply(expected, x, a);
    m = a;
    EXPECT_MAT4(Matrix4Multiply(m, x, m), expected);

    EXPECT_VEC3(Apply(a, Vector3{1, 0, 0}), 1 + 2 * std::cos(30 * Deg), 2 + 2 * std::sin(30 * Deg),
                3);
    Vector4 v;
    Matrix4TransformVector4(v, a, Vector4{1, 0, 0, 0}); // w = 0: no translation
    EXPECT_NEAR(v.x, 2 * std::cos(30 * Deg), MathsTolerance);
    EXPECT_EQ(v.w, 0.0f);
}

TEST(Matrix, InverseMendsAZeroPivotByAddingTheNextRow) {
    // 90 degrees about z: element 0 is 0.
    Matrix4 rz{{0, -1, 0, 5, 1, 0, 0, -2, 0, 0, 1, 7, 0, 0, 0, 1}};
    Matrix4 inv, product, identity;
    Matrix4Inverse(inv, rz);
    Matrix4Identity(identity);
    EXPECT_MAT4(Matrix4Multiply(product, rz, inv), identity);
    EXPECT_MAT4(Matrix4Multiply(product, inv, rz), identity);

    Matrix4 a = Affine();
    Matrix4Inverse(inv, a);
    EXPECT_VEC3(Apply(inv, Apply(a, Vector3{3, -4, 5})), 3, -4, 5);
    Matrix4Inverse(a, a); // aliased
    EXPECT_MAT4(a, inv);

    // Hand-computed: lower triangular.
    Matrix3 m{{2, 0, 0, 0, 4, 0, 1, 0, 1}}, i3;
    EXPECT_MAT3(Matrix3Inverse(i3, m), (Matrix3{{0.5f, 0, 0, 0, 0.25f, 0, -0.5f, 0, 1}}));
    Matrix3 swap{{0, 1, 0, 1, 0, 0, 0, 0, 1}};
    EXPECT_MAT3(Matrix3Inverse(i3, swap), swap);
}

TEST(Matrix, Determinants) {
    EXPECT_NEAR(Matrix3Determinant(Matrix3{{1, 2, 3, 0, 1, 4, 5, 6, 0}}), 1.0f, MathsTolerance);
    EXPECT_NEAR(Matrix4Determinant(Matrix4{{2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 5}}),
                120.0f, MathsTolerance);
    EXPECT_NEAR(Matrix4Determinant(Affine()), 2.0f, MathsTolerance);
}

TEST(Matrix, AxisRotationAndRotationYTurnOppositeWays) {
    Matrix3 m;
    Vector3 r;
    Matrix3RotationAxis(m, Vector3{0, 0, 3}, 90 * Deg); // axis normalised inside
    EXPECT_VEC3(Matrix3TransformVector3(r, m, Vector3{1, 0, 0}), 0, 1, 0);
    Matrix3RotationY(m, 0.3f);
    EXPECT_VEC3(Matrix3TransformVector3(r, m, Vector3{1, 0, 0}), std::cos(0.3f), 0, std::sin(0.3f));
    Matrix3RotationAxis(m, Vector3{0, 1, 0}, 0.3f);
    EXPECT_VEC3(Matrix3TransformVector3(r, m, Vector3{1, 0, 0}), std::cos(0.3f), 0,
                -std::sin(0.3f));
}

TEST(Matrix, FromDirectionTurnsXOntoTheDirection) {
    Matrix4 m;
    Matrix4FromDirection(Vector3{0, 1, 0}, m);
    EXPECT_MAT4(m, (Matrix4{{0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}));

    const float h = std::sqrt(0.5f);
    Matrix4FromDirection(Vector3{h, 0, h}, m); // heading 0, pitch +45
    EXPECT_VEC3(Apply(m, Vector3{1, 0, 0}), h, 0, h);
    EXPECT_VEC3(Apply(m, Vector3{0, 1, 0}), 0, 1, 0); // no roll
    EXPECT_VEC3(Apply(m, Vector3{0, 0, 1}), -h, 0, h);

    Matrix4FromDirection(Vector3{-0.48f, -0.64f, -0.6f}, m);
    EXPECT_VEC3(Apply(m, Vector3{1, 0, 0}), -0.48f, -0.64f, -0.6f);
    EXPECT_NEAR(Apply(m, Vector3{0, 1, 0}).z, 0.0f, MathsTolerance);

    // A vertical direction has no heading: heading 0 instead of NaN.
    Matrix4FromDirection(Vector3{0, 0, -1}, m);
    EXPECT_VEC3(Apply(m, Vector3{1, 0, 0}), 0, 0, -1);
}

TEST(Matrix, TurnTowardTakesTheShortWayRoundAndIsBounded) {
    Matrix4 m;
    Vector3 c{std::cos(170 * Deg), std::sin(170 * Deg), 0};
    Vector3 t{std::cos(-170 * Deg), std::sin(-170 * Deg), 0};
    Matrix4TurnToward(t, c, m, 1.0f, 100.0f); // +20 degrees through 180
    EXPECT_VEC3(Apply(m, c), t.x, t.y, 0);
    Matrix4TurnToward(t, c, m, 0.5f, 10 * Deg); // bounded to 5 degrees
    EXPECT_VEC3(Apply(m, c), std::cos(175 * Deg), std::sin(175 * Deg), 0);

    // Upward pitch of 0.1 rad toward a target 45 degrees up.
    const float h = std::sqrt(0.5f);
    Matrix4TurnToward(Vector3{h, 0, h}, Vector3{1, 0, 0}, m, 1.0f, 0.1f);
    EXPECT_VEC3(Apply(m, Vector3{1, 0, 0}), std::cos(0.1f), 0, std::sin(0.1f));
    Matrix4TurnToward(Vector3{h, 0, -h}, Vector3{1, 0, 0}, m, 1.0f, 0.1f);
    EXPECT_VEC3(Apply(m, Vector3{1, 0, 0}), std::cos(0.1f), 0, -std::sin(0.1f));
}

TEST(Matrix, TurnTowardPitchesAboutTheAxisOfTheOldDirection) {
    // Heading is applied first, then pitch about the old direction's axis,
    // so a large turn needs two calls: the first loses the pitch.
    const float h = std::sqrt(0.5f);
    Vector3 target{0, h, h}, c{1, 0, 0};
    Matrix4 m;
    Matrix4TurnToward(target, c, m, 1.0f, 10.0f);
    c = Apply(m, c);
    EXPECT_VEC3(c, 0, 1, 0);
    Matrix4TurnToward(target, c, m, 1.0f, 10.0f);
    EXPECT_VEC3(Apply(m, c), 0, h, h);
}

TEST(Matrix, TurnTowardStaysFiniteWhenRoundingPushesACosinePastOne) {
    Matrix4 m;
    Matrix4TurnToward(Vector3{1.0000001f, 0, 0}, Vector3{0, 1, 0}, m, 1.0f, 0.5f);
    Vector3 r = Apply(m, Vector3{0, 1, 0});
    EXPECT_VEC3(r, std::sin(0.5f), std::cos(0.5f), 0);
    // A vertical current direction still gets a usable pitch axis.
    Matrix4TurnToward(Vector3{0, 1, 0}, Vector3{0, 0, 1}, m, 1.0f, 0.25f);
    r = Apply(m, Vector3{0, 0, 1});
    EXPECT_VEC3(r, 0, std::sin(0.25f), std::cos(0.25f));
}

TEST(Matrix, EigenSymmetric3) {
    Matrix3 a{{2, 1, 0, 1, 2, 0, 0, 0, 3}};
    Vector3 values;
    Matrix3 vectors;
    ASSERT_TRUE(EigenSymmetric3(a, values, vectors));
    const float l[3] = {values.x, values.y, values.z};
    float sum = 0, product = 1;
    for (int i = 0; i < 3; i++) {
        Vector3 v{vectors.m[i], vectors.m[3 + i], vectors.m[6 + i]}, av;
        EXPECT_NEAR(Vector3Length(v), 1.0f, MathsTolerance);
        Matrix3TransformVector3(av, a, v);
        EXPECT_VEC3(av, l[i] * v.x, l[i] * v.y, l[i] * v.z);
        sum += l[i];
        product *= l[i];
    }
    EXPECT_NEAR(sum, 7.0f, 1e-4f); // eigenvalues 1, 3, 3
    EXPECT_NEAR(product, 9.0f, 1e-4f);
}
