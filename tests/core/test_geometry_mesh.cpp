#include <cmath>
#include <random>

#include "core/geometry.h"
#include "tests/core/maths_expect.h"

namespace {

// Two unit squares facing +z, at z = 0 and z = -1, as four triangles.
CollisionGeometry TwoFloors() {
    CollisionGeometry g;
    g.vertices = {{0, 0, 0},  {1, 0, 0},  {1, 1, 0},  {0, 1, 0},
                  {0, 0, -1}, {1, 0, -1}, {1, 1, -1}, {0, 1, -1}};
    g.indices = {4, 5, 6, 4, 6, 7, 0, 1, 2, 0, 2, 3};
    g.normals.assign(4, Vector3{0, 0, 1});
    return g;
}

const Ray Down{{0.7f, 0.2f, 5}, {0, 0, -1}};

PncVertex Vertex(float x, float y, float z, float extra) {
    return PncVertex{{x, y, z}, {0, 0, 1}, extra};
}

} // namespace

TEST(GeometryMesh, MeshTrianglesFirstHitInListOrder) {
    CollisionGeometry g = TwoFloors();
    Vector3 p;
    int tri = -1;
    // The lower floor comes first in the list, so it wins although it is farther.
    ASSERT_TRUE(
        RayIntersectMeshTriangles(&p, Down, g, std::vector<int32_t>{0, 3, 6, 9}, &tri, false));
    EXPECT_EQ(tri, 0);
    EXPECT_VEC3(p, 0.7f, 0.2f, -1);
    // Back faces: seen from below every face points away.
    Ray up{{0.7f, 0.2f, -5}, {0, 0, 1}};
    EXPECT_TRUE(RayIntersectMeshTriangles(nullptr, up, g, std::vector<int32_t>{6}, nullptr, false));
    EXPECT_FALSE(RayIntersectMeshTriangles(nullptr, up, g, std::vector<int32_t>{6}, nullptr, true));

    float d = -1;
    ASSERT_TRUE(RayIntersectIndexedMesh(Down, g, true, &d, &p, &tri));
    EXPECT_FLOAT_EQ(d, 6.0f);
    // The lower floor comes first but lies past the segment's end: the upper
    // one, which the segment does reach, is the hit.
    ASSERT_TRUE(SegmentIntersectIndexedMesh(Vector3{0.7f, 0.2f, 1}, Vector3{0.7f, 0.2f, -0.5f}, g,
                                            false, &d, &p, &tri));
    EXPECT_EQ(tri, 2);
    EXPECT_FLOAT_EQ(d, 1.0f);
    ASSERT_TRUE(SegmentIntersectMeshTriangles(Vector3{0.7f, 0.2f, 1}, Vector3{0.7f, 0.2f, -0.5f}, g,
                                              std::vector<int32_t>{0, 6}, &p, &tri, true));
    EXPECT_EQ(tri, 2);
}

TEST(GeometryMesh, StaleTriangleListsAreSkippedNotRead) {
    // A cached triangle list from an older, larger mesh.
    CollisionGeometry g = TwoFloors();
    std::vector<int32_t> stale{300, -3, 10, 6};
    int tri = -1;
    ASSERT_TRUE(RayIntersectMeshTriangles(nullptr, Down, g, stale, &tri, true));
    EXPECT_EQ(tri, 2);
    g.indices[6] = 99; // vertex past the end
    EXPECT_FALSE(RayIntersectMeshTriangles(nullptr, Down, g, std::vector<int32_t>{6}, &tri, false));
    // No face normal for the last triangle: skipped when back faces are culled.
    g.normals.resize(3);
    Ray other{{0.2f, 0.7f, 5}, {0, 0, -1}};
    EXPECT_FALSE(RayIntersectMeshTriangles(nullptr, other, g, std::vector<int32_t>{9}, &tri, true));
    EXPECT_TRUE(RayIntersectMeshTriangles(nullptr, other, g, std::vector<int32_t>{9}, &tri, false));
    EXPECT_EQ(tri, 3);
}

TEST(GeometryMesh, IndexedTrianglesInterpolateTheHitVertex) {
    std::vector<PncVertex> v{Vertex(0, 0, 0, 1),  Vertex(2, 0, 0, 2),  Vertex(0, 2, 0, 3),
                             Vertex(0, 0, -1, 7), Vertex(2, 0, -1, 7), Vertex(0, 2, -1, 7)};
    // The first triangle has an index past the end and is skipped; the lower
    // triangle comes before the upper one.
    std::vector<uint16_t> idx{0, 1, 9, 3, 4, 5, 0, 1, 2};
    PncVertex out;
    ASSERT_TRUE(
        RayIntersectIndexedTriangles(&out, v.data(), 6, idx.data(), 9, Ray{{1, 0, 5}, {0, 0, -1}}));
    EXPECT_NEAR(out.position.z, -1.0f, MathsTolerance);
    EXPECT_NEAR(out.extra, 7.0f, MathsTolerance);

    // Edge weights at the midpoint of a leg: 0.414 / 0.586 / 0. They are not
    // barycentric, so even the position moves off the hit point.
    ASSERT_TRUE(RayIntersectIndexedTriangles(&out, v.data(), 6, idx.data() + 6, 3,
                                             Ray{{1, 0, 5}, {0, 0, -1}}));
    EXPECT_VEC3(out.position, 2 * 0.58578644f, 0, 0);
    EXPECT_NEAR(out.extra, 0.41421356f * 1 + 0.58578644f * 2, MathsTolerance);
    EXPECT_VEC3(out.normal, 0, 0, 1);
    EXPECT_FALSE(
        RayIntersectIndexedTriangles(&out, v.data(), 6, idx.data(), 9, Ray{{5, 5, 5}, {0, 0, -1}}));
}

namespace {

// The weld as first written: remap every index equal to i after vertex i.
void LiteralWeld(const std::vector<PncVertex>& v, const std::vector<uint16_t>& idx,
                 std::vector<PncVertex>& outV, std::vector<uint16_t>& outI) {
    outV.clear();
    outI = idx;
    for (size_t i = 0; i < v.size(); i++) {
        size_t k = outV.size();
        while (k > 0 && !VerticesEqual(outV[k - 1], v[i])) {
            k--;
        }
        size_t n = k > 0 ? k - 1 : outV.size();
        if (k == 0) {
            outV.push_back(v[i]);
        }
        if (n != i) {
            for (uint16_t& x : outI) {
                if (x == i) {
                    x = static_cast<uint16_t>(n);
                }
            }
        }
    }
}

} // namespace

TEST(GeometryMesh, WeldMergesNearVerticesLikeTheLiteralRemap) {
    // 0.001 in position and 0.004 in normal and extra weld; 0.002 does not.
    std::vector<PncVertex> v{Vertex(0, 0, 0, 0), Vertex(1, 0, 0, 0), Vertex(0.001f, 0, 0, 0.004f),
                             Vertex(1, 0.002f, 0, 0)};
    v[2].normal.y = 0.004f;
    std::vector<uint16_t> idx{0, 1, 2, 2, 3, 0};
    std::vector<PncVertex> outV;
    std::vector<uint16_t> outI;
    ASSERT_TRUE(WeldVertices(4, v.data(), 6, idx.data(), outV, outI));
    EXPECT_EQ(outV.size(), 3u);
    EXPECT_EQ(outI, (std::vector<uint16_t>{0, 1, 0, 0, 2, 0}));

    // Random meshes on a coarse grid, so many vertices weld.
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> cell(0, 3);
    for (int round = 0; round < 20; round++) {
        std::vector<PncVertex> rv(60);
        for (PncVertex& x : rv) {
            x = Vertex(cell(rng) * 0.0008f, cell(rng) * 0.0008f, 0, cell(rng) * 0.003f);
        }
        std::vector<uint16_t> ri(90);
        for (uint16_t& i : ri) {
            i = static_cast<uint16_t>(rng() % rv.size());
        }
        std::vector<PncVertex> lv;
        std::vector<uint16_t> li;
        LiteralWeld(rv, ri, lv, li);
        ASSERT_TRUE(WeldVertices(int(rv.size()), rv.data(), int(ri.size()), ri.data(), outV, outI));
        ASSERT_EQ(outV.size(), lv.size());
        EXPECT_EQ(outI, li);
    }

    // An index past the vertex list is refused, not followed.
    idx[4] = 4;
    EXPECT_FALSE(WeldVertices(4, v.data(), 6, idx.data(), outV, outI));
    EXPECT_TRUE(outV.empty() && outI.empty());
}

TEST(GeometryBallistic, Integrate) {
    BallisticBody b;
    b.position = Vector3{1, 2, 3};
    b.direction = Vector3{0, 1, 0};
    b.speed = 10;
    b.acceleration = 5;
    b.Integrate(0.1f); // no drag, no gravity: only the speed changes
    EXPECT_VEC3(b.previous, 1, 2, 3);
    EXPECT_EQ(b.firstStep, 0);
    EXPECT_FLOAT_EQ(b.speed, 10.5f);
    EXPECT_VEC3(b.direction, 0, 1, 0);
    EXPECT_VEC3(b.position, 1, 3.05f, 3);

    BallisticBody thrown;
    thrown.direction = Vector3{1, 0, 0};
    thrown.speed = 10;
    thrown.gravity = 1;
    thrown.Integrate(0.1f);
    EXPECT_NEAR(thrown.speed, std::sqrt(100.0f + 0.98f * 0.98f), MathsTolerance);
    EXPECT_LT(thrown.direction.z, 0.0f);
    EXPECT_VEC3(thrown.position, 1, 0, -0.098f);

    BallisticBody dragged;
    dragged.direction = Vector3{0, 0, 1};
    dragged.speed = 10;
    dragged.mass = 2;
    dragged.drag = 1;
    dragged.Integrate(0.1f); // a = -(1 * 100 * 0.09 / 2) = -4.5
    EXPECT_NEAR(dragged.speed, 9.55f, MathsTolerance);

    // A body at rest keeps its direction instead of a NaN one.
    BallisticBody rest;
    rest.direction = Vector3{0, 1, 0};
    rest.drag = 1;
    rest.Integrate(0.1f);
    EXPECT_VEC3(rest.direction, 0, 1, 0);
    EXPECT_VEC3(rest.position, 0, 0, 0);
    rest.frozen = 1;
    rest.speed = 1;
    rest.Integrate(1.0f);
    EXPECT_VEC3(rest.position, 0, 0, 0);
}
