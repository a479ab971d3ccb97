#include <cmath>

#include "core/geometry.h"
#include "tests/core/maths_expect.h"

namespace {

OrientedBox Box(Vector3 centre, float ex, float ey, float ez) {
    return OrientedBox{centre, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {ex, ey, ez}};
}

OrientedBox Turned(OrientedBox b, float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    b.axis[0] = Vector3{c, s, 0};
    b.axis[1] = Vector3{-s, c, 0};
    return b;
}

const Ray AlongX{{-5, 0, 0}, {1, 0, 0}};

} // namespace

TEST(GeometryRay, OrientedBoxSlabs) {
    OrientedBox box = Box(Vector3{0, 0, 0}, 1, 2, 3);
    float d = -1;
    Vector3 p;
    ASSERT_TRUE(RayIntersectOrientedBoxAt(box, AlongX, &d, &p));
    EXPECT_FLOAT_EQ(d, 4.0f);
    EXPECT_VEC3(p, -1, 0, 0);
    // From inside: the exit distance.
    ASSERT_TRUE(RayIntersectOrientedBoxAt(box, Ray{{0, 0, 0}, {1, 0, 0}}, &d, &p));
    EXPECT_FLOAT_EQ(d, 1.0f);
    EXPECT_VEC3(p, 1, 0, 0);
    // Parallel to the y slab: outside it misses, inside the other axes decide.
    EXPECT_FALSE(RayIntersectOrientedBox(Ray{{-5, 3, 0}, {1, 0, 0}}, box));
    EXPECT_TRUE(RayIntersectOrientedBox(Ray{{-5, 1.5f, 0}, {1, 0, 0}}, box));
    EXPECT_FALSE(RayIntersectOrientedBox(Ray{{5, 0, 0}, {1, 0, 0}}, box)); // behind
    ASSERT_TRUE(RayIntersectOrientedBoxAt(Turned(Box(Vector3{0, 0, 0}, 1, 1, 1), 0.7853982f),
                                          AlongX, &d, nullptr));
    EXPECT_NEAR(d, 5.0f - std::sqrt(2.0f), MathsTolerance);
}

TEST(GeometryRay, Spheres) {
    Sphere s{{0, 0, 0}, 1};
    float d = -1;
    Vector3 p;
    ASSERT_TRUE(RayIntersectSphereAt(AlongX, s, &p, &d));
    EXPECT_FLOAT_EQ(d, 4.0f);
    EXPECT_FALSE(RayIntersectSphere(Ray{{-5, 1.5f, 0}, {1, 0, 0}}, s));
    // Pointing away with the centre behind: a miss from outside, the far
    // root from inside.
    EXPECT_FALSE(RayIntersectSphere(Ray{{5, 0, 0}, {1, 0, 0}}, s));
    ASSERT_TRUE(RayIntersectSphereAt(Ray{{0.5f, 0, 0}, {1, 0, 0}}, s, &p, &d));
    EXPECT_FLOAT_EQ(d, 0.5f);
    EXPECT_VEC3(p, 1, 0, 0);
}

TEST(GeometryRay, SegmentsHitOnlyWithinTheirLength) {
    OrientedBox box = Box(Vector3{0, 0, 0}, 1, 1, 1);
    Sphere s{{0, 0, 0}, 1};
    float d = -1;
    EXPECT_TRUE(SegmentIntersectOrientedBox(Vector3{-3, 0, 0}, Vector3{-1, 0, 0}, box, &d));
    EXPECT_FLOAT_EQ(d, 2.0f);
    EXPECT_FALSE(SegmentIntersectOrientedBox(Vector3{-3, 0, 0}, Vector3{-1.5f, 0, 0}, box));
    Vector3 p;
    EXPECT_TRUE(SegmentIntersectSphere(Vector3{0, 0, -3}, Vector3{0, 0, 3}, s, &p, &d));
    EXPECT_VEC3(p, 0, 0, -1);
    EXPECT_FALSE(SegmentIntersectSphere(Vector3{0, 0, -3}, Vector3{0, 0, -2}, s));
    // A segment of no length is no hit, even inside the shape.
    EXPECT_FALSE(SegmentIntersectSphere(Vector3{0, 0, 0}, Vector3{0, 0, 0}, s));
    EXPECT_FALSE(SegmentIntersectOrientedBox(Vector3{0, 0, 0}, Vector3{0, 0, 0}, box));
}

TEST(GeometryRay, PlanesAndPoints) {
    const Vector4 ground{0, 0, 1, 0};
    Vector3 p{9, 9, 9};
    // Short of the plane: true, point untouched.
    EXPECT_TRUE(SegmentIntersectPlane(ground, &p, Vector3{0, 0, 2}, Vector3{0, 0, 1}));
    EXPECT_VEC3(p, 9, 9, 9);
    EXPECT_TRUE(SegmentIntersectPlane(ground, &p, Vector3{1, 2, 1}, Vector3{1, 2, -3}));
    EXPECT_VEC3(p, 1, 2, 0);
    EXPECT_FALSE(SegmentIntersectPlane(ground, &p, Vector3{0, 0, 1}, Vector3{5, 0, 1}));
    float d = -1;
    EXPECT_TRUE(RayIntersectPlane(Ray{{0, 0, 4}, {0, 0, -1}}, ground, &d));
    EXPECT_FLOAT_EQ(d, 4.0f);
    EXPECT_FALSE(RayIntersectPlane(Ray{{0, 0, 4}, {0, 0, 1}}, ground, &d));
    EXPECT_FLOAT_EQ(PointPlaneDistance(Vector3{0, 0, -3}, Vector4{0, 0, 2, 2}), 2.0f);

    // Axes the ray does not move along must match; the others agree on t.
    Ray diag{{1, 1, 1}, {0, 0.6f, 0.8f}};
    EXPECT_TRUE(PointOnRay(diag, Vector3{1, 4, 5}, &d));
    EXPECT_FLOAT_EQ(d, 5.0f);
    EXPECT_FALSE(PointOnRay(diag, Vector3{1.1f, 4, 5}, &d));
    EXPECT_FALSE(PointOnRay(diag, Vector3{1, -2, -3}, &d)); // behind
    EXPECT_TRUE(
        AxisAlignedBoxContainsPoint(AxisAlignedBox{{1, 1, 1}, {-1, -1, -1}}, Vector3{1, 0, -1}));
    EXPECT_TRUE(SphereIntersectSphere(Sphere{{0, 0, 0}, 1}, Sphere{{3, 0, 0}, 2})); // touching
}

TEST(GeometryBox, SphereOverlapAndFaceNormal) {
    OrientedBox box = Box(Vector3{0, 0, 0}, 1, 1, 1);
    EXPECT_TRUE(OrientedBoxIntersectSphere(box, Sphere{{2, 0, 0}, 1})); // touching
    EXPECT_FALSE(OrientedBoxIntersectSphere(box, Sphere{{2, 2, 0}, 1.4f}));
    EXPECT_TRUE(OrientedBoxIntersectSphere(box, Sphere{{2, 2, 0}, 1.5f}));
    EXPECT_TRUE(OrientedBoxIntersectSphere(Turned(box, 0.7853982f), Sphere{{2, 0, 0}, 0.6f}));

    Vector3 n;
    EXPECT_VEC3(OrientedBoxFaceNormalToward(box, Vector3{-3, 0.5f, 0}, n), -1, 0, 0);
    EXPECT_VEC3(OrientedBoxFaceNormalToward(box, Vector3{1, 1, 0}, n), 0, 1, 0); // tie: later axis
    // The raw offset decides, not the offset over the half-extent: on a long
    // box a point beside the long face still picks the end face's axis.
    OrientedBox rod = Box(Vector3{0, 0, 0}, 10, 1, 1);
    EXPECT_VEC3(OrientedBoxFaceNormalToward(rod, Vector3{5, 2, 0}, n), 1, 0, 0);
}

TEST(GeometryBox, OrientedBoxPairs) {
    OrientedBox a = Box(Vector3{0, 0, 0}, 1, 1, 1);
    EXPECT_TRUE(OrientedBoxIntersectOrientedBox(a, Box(Vector3{1.5f, 0, 0}, 1, 1, 1)));
    EXPECT_FALSE(OrientedBoxIntersectOrientedBox(a, Box(Vector3{2.5f, 0, 0}, 1, 1, 1)));
    // Turned 45 degrees: its corner reaches 2.3 - sqrt 2 < 1.
    EXPECT_TRUE(
        OrientedBoxIntersectOrientedBox(a, Turned(Box(Vector3{2.3f, 0, 0}, 1, 1, 1), 0.7853982f)));
    EXPECT_FALSE(
        OrientedBoxIntersectOrientedBox(a, Turned(Box(Vector3{2.5f, 0, 0}, 1, 1, 1), 0.7853982f)));

    // Edge against edge: b's edge along (1, -1, 0) passes the corner edge of a
    // along z; only the cross-product axis (1, 1, 0) separates them.
    OrientedBox b;
    const float h = std::sqrt(0.5f);
    b.axis[0] = Vector3{h, -h, 0};
    b.axis[1] = Vector3{0.5f, 0.5f, h};
    b.axis[2] = Vector3{0.5f, 0.5f, -h};
    b.halfExtent[0] = 5;
    b.halfExtent[1] = b.halfExtent[2] = 0.5f;
    float reach = 0.5f * h + 0.5f * h; // b's extent along (1, 1, 0)/sqrt 2
    float corner = std::sqrt(2.0f);    // a's extent along it
    float gap = corner + reach;
    b.centre = Vector3{(gap + 0.05f) * h, (gap + 0.05f) * h, 0};
    EXPECT_FALSE(OrientedBoxIntersectOrientedBox(a, b));
    EXPECT_FALSE(OrientedBoxIntersectOrientedBox(b, a));
    b.centre = Vector3{(gap - 0.05f) * h, (gap - 0.05f) * h, 0};
    EXPECT_TRUE(OrientedBoxIntersectOrientedBox(a, b));
}
