#include <cmath>

#include "core/geometry.h"
#include "tests/core/maths_expect.h"

namespace {

Triangle Tri(Vector3 a, Vector3 b, Vector3 c) {
    Triangle t{{a, b, c}, {}};
    return TriangleComputeNormal(t);
}

float Area(const Triangle& t) {
    Vector3 e1, e2, c;
    Vector3Cross(c, Vector3Subtract(e1, t.corner[1], t.corner[0]),
                 Vector3Subtract(e2, t.corner[2], t.corner[0]));
    return 0.5f * Vector3Length(c);
}

const Triangle Right = Tri(Vector3{0, 0, 0}, Vector3{2, 0, 0}, Vector3{0, 2, 0});

} // namespace

TEST(GeometryTriangle, RayIntersectTriangleBothFacesAndEdges) {
    const Vector3& a = Right.corner[0];
    const Vector3& b = Right.corner[1];
    const Vector3& c = Right.corner[2];
    float d = -1;
    Vector3 p;
    ASSERT_TRUE(RayIntersectTriangle(a, b, c, &d, &p, Ray{{0.5f, 0.5f, 1}, {0, 0, -1}}));
    EXPECT_FLOAT_EQ(d, 1.0f);
    EXPECT_VEC3(p, 0.5f, 0.5f, 0);
    EXPECT_TRUE(RayIntersectTriangle(a, b, c, nullptr, nullptr, Ray{{0.5f, 0.5f, -1}, {0, 0, 1}}));
    EXPECT_TRUE(
        RayIntersectTriangle(a, b, c, nullptr, nullptr, Ray{{1, 0, 1}, {0, 0, -1}})); // edge
    EXPECT_FALSE(RayIntersectTriangle(a, b, c, nullptr, nullptr, Ray{{0.5f, 0.5f, 1}, {0, 0, 1}}));
    EXPECT_TRUE(RayHitsTriangle(Ray{{0.5f, 0.5f, 1}, {0, 0, 1}}, a, b, c));  // no distance test
    EXPECT_FALSE(RayHitsTriangle(Ray{{0.5f, 0.5f, 1}, {1, 0, 0}}, a, b, c)); // parallel
    EXPECT_TRUE(
        SegmentIntersectTriangle(Vector3{0.5f, 0.5f, 1}, Vector3{0.5f, 0.5f, -1}, a, b, c, &p, &d));
    EXPECT_FALSE(SegmentIntersectTriangle(Vector3{0.5f, 0.5f, 1}, Vector3{0.5f, 0.5f, 0.1f}, a, b,
                                          c, &p, &d));
}

TEST(GeometryTriangle, PointTestsAndEdgeWeights) {
    EXPECT_TRUE(PointInTriangle(Right, Vector3{0.5f, 0.5f, 0}));
    EXPECT_FALSE(PointInTriangle(Right, Vector3{1.5f, 1.5f, 0}));
    EXPECT_FALSE(PointInTriangle(Right, Vector3{1, 0, 0})); // on an edge
    EXPECT_EQ(SegmentClassifyTriangle(Vector3{0, 0, 1}, Vector3{0, 0, 2}, Right), 0);
    EXPECT_EQ(SegmentClassifyTriangle(Vector3{0, 0, 1}, Vector3{0, 0, -2}, Right), 1);
    EXPECT_EQ(SegmentClassifyTriangle(Vector3{0, 0, 0}, Vector3{0, 0, -2}, Right), 1);
    EXPECT_EQ(SegmentClassifyTriangle(Vector3{5, 0, 0}, Vector3{0, 7, 0}, Right), 2);

    // Distances to the opposite edges, normalised: not barycentric.
    float w[3];
    TriangleEdgeWeights(Right, w, Vector3{1, 0, 0});
    EXPECT_NEAR(w[0], 0.41421356f, MathsTolerance);
    EXPECT_NEAR(w[1], 0.58578644f, MathsTolerance);
    EXPECT_NEAR(w[2], 0.0f, MathsTolerance);
    TriangleEdgeWeights(Right, w, Vector3{0, 2, 0});
    EXPECT_NEAR(w[2], 1.0f, MathsTolerance);
    Triangle flat = Tri(Vector3{0, 0, 0}, Vector3{1, 0, 0}, Vector3{2, 0, 0});
    TriangleEdgeWeights(flat, w, Vector3{0, 0, 0});
    EXPECT_TRUE(std::isfinite(w[0]) && std::isfinite(w[1]) && std::isfinite(w[2]));
}

TEST(GeometryTriangle, ClipByPlaneKeepsThePositiveSide) {
    Triangle pieces[2];
    EXPECT_EQ(ClipTriangleByPlane(Vector4{0, 0, 1, 1}, Right, pieces), 1); // all kept
    EXPECT_EQ(ClipTriangleByPlane(Vector4{0, 0, 1, 0}, Right, pieces), 0); // n.p + d > 0 only
    // x <= 1 keeps corners 0 and 2: two pieces of area 1.5 in all.
    ASSERT_EQ(ClipTriangleByPlane(Vector4{-1, 0, 0, 1}, Right, pieces), 2);
    EXPECT_NEAR(Area(pieces[0]) + Area(pieces[1]), 1.5f, MathsTolerance);
    for (const Triangle& t : pieces) {
        EXPECT_LE(std::fmax(t.corner[0].x, std::fmax(t.corner[1].x, t.corner[2].x)),
                  1.0f + MathsTolerance);
    }
    ASSERT_EQ(ClipTriangleByPlane(Vector4{1, 0, 0, -1}, Right, pieces), 1);
    EXPECT_NEAR(Area(pieces[0]), 0.5f, MathsTolerance);
}

TEST(GeometryTriangle, ClipGetsACrossingForAnEdgeWithinTheParallelTolerance) {
    // The kept corner lies 5e-6 inside x >= 0 and the dropped ones 5e-6
    // outside: the edges straddle the plane by less than the tolerance.
    Triangle t = Tri(Vector3{5e-6f, 0, 0}, Vector3{-5e-6f, 1, 0}, Vector3{-5e-6f, 0, 1});
    Triangle pieces[2];
    ASSERT_EQ(ClipTriangleByPlane(Vector4{1, 0, 0, 0}, t, pieces), 1);
    EXPECT_VEC3(pieces[0].corner[0], 5e-6f, 0, 0);
    EXPECT_VEC3(pieces[0].corner[1], 0, 0.5f, 0);
    EXPECT_VEC3(pieces[0].corner[2], 0, 0, 0.5f);

    std::vector<Triangle> out;
    ASSERT_TRUE(TriangleIntersectAxisAlignedBox(&out, AxisAlignedBox{{0, -5, -5}, {5, 5, 5}}, t));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NEAR(Area(out[0]), 0.125f, MathsTolerance);
}

TEST(GeometryTriangle, TriangleAgainstAxisAlignedBox) {
    AxisAlignedBox box{{0, 0, 0}, {1, 1, 1}};
    std::vector<Triangle> out{Right};
    Triangle inside = Tri(Vector3{0, 0, 0}, Vector3{1, 0, 1}, Vector3{0, 1, 0.5f});
    EXPECT_TRUE(TriangleIntersectAxisAlignedBox(&out, box, inside)); // bounds included
    EXPECT_TRUE(out.empty());

    // Passing through the box with no corner inside: the list form finds the
    // unit square, the quick form does not.
    Triangle big = Tri(Vector3{-10, -10, 0.5f}, Vector3{10, -10, 0.5f}, Vector3{0, 10, 0.5f});
    EXPECT_FALSE(TriangleIntersectAxisAlignedBox(nullptr, box, big));
    ASSERT_TRUE(TriangleIntersectAxisAlignedBox(&out, box, big));
    float area = 0;
    for (const Triangle& t : out) {
        area += Area(t);
        for (const Vector3& p : t.corner) {
            EXPECT_TRUE(AxisAlignedBoxContainsPoint(
                AxisAlignedBox{{-1e-5f, -1e-5f, 0}, {1.00001f, 1.00001f, 1}}, p));
        }
    }
    EXPECT_NEAR(area, 1.0f, MathsTolerance);

    // The quick form: a corner in the box, or a box corner in the triangle.
    EXPECT_TRUE(TriangleIntersectAxisAlignedBox(
        nullptr, box, Tri(Vector3{0.5f, 0.5f, 0.5f}, Vector3{5, 0, 0}, Vector3{0, 5, 0})));
    EXPECT_TRUE(TriangleIntersectAxisAlignedBox(
        nullptr, box, Tri(Vector3{-1, -1, 1}, Vector3{3, -1, 1}, Vector3{-1, 3, 1})));
    Triangle away = Tri(Vector3{5, 5, 5}, Vector3{6, 5, 5}, Vector3{5, 6, 5});
    EXPECT_FALSE(TriangleIntersectAxisAlignedBox(nullptr, box, away));
    EXPECT_FALSE(TriangleIntersectAxisAlignedBox(&out, box, away));
    EXPECT_TRUE(out.empty());
}

TEST(GeometryTriangle, TrianglePairs) {
    Triangle crossing = Tri(Vector3{0.5f, 0.5f, -1}, Vector3{0.5f, 0.5f, 1}, Vector3{0.5f, -3, 0});
    EXPECT_TRUE(TriangleIntersectTriangle(Right, crossing));
    bool coplanar = true;
    Vector3 seg[2];
    ASSERT_TRUE(TriangleIntersectTriangleSegment(Right, crossing, &coplanar, seg));
    EXPECT_FALSE(coplanar);
    for (const Vector3& p : seg) {
        EXPECT_NEAR(p.z, 0.0f, MathsTolerance);
        EXPECT_NEAR(p.x, 0.5f, MathsTolerance);
    }
    EXPECT_NEAR(std::fabs(seg[1].y - seg[0].y), 0.5f, MathsTolerance); // y from 0 to 0.5

    Triangle above = Tri(Vector3{0, 0, 1}, Vector3{1, 0, 2}, Vector3{0, 1, 1});
    EXPECT_FALSE(TriangleIntersectTriangle(Right, above));

    Triangle overlap = Tri(Vector3{0.5f, 0.5f, 0}, Vector3{3, 0.5f, 0}, Vector3{0.5f, 3, 0});
    ASSERT_TRUE(TriangleIntersectTriangleSegment(Right, overlap, &coplanar, seg));
    EXPECT_TRUE(coplanar);
    Triangle nested = Tri(Vector3{0.2f, 0.2f, 0}, Vector3{0.4f, 0.2f, 0}, Vector3{0.2f, 0.4f, 0});
    EXPECT_TRUE(TrianglesIntersectCoplanar(Right.normal, Right, nested)); // no edges cross
    Triangle apart = Tri(Vector3{3, 3, 0}, Vector3{4, 3, 0}, Vector3{3, 4, 0});
    EXPECT_FALSE(TriangleIntersectTriangle(Right, apart));
}

TEST(GeometryTriangle, TriangulatePointLoop) {
    // The corners of a unit square out of order, in a tilted plane.
    std::vector<Vector3> points{{0, 0, 0}, {1, 1, 1}, {1, 0, 0}, {0, 1, 1}};
    std::vector<Triangle> out;
    ASSERT_TRUE(TriangulatePointLoop(points, out));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_NEAR(Area(out[0]) + Area(out[1]), std::sqrt(2.0f), MathsTolerance);
    EXPECT_VEC3(out[1].normal, out[0].normal.x, out[0].normal.y, out[0].normal.z);
    out.clear();
    EXPECT_FALSE(TriangulatePointLoop(std::vector<Vector3>{{0, 0, 0}, {1, 0, 0}}, out));
    EXPECT_FALSE(TriangulatePointLoop(std::vector<Vector3>{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, out));
}
