// Geometric records and intersection tests: rays, segments, spheres, boxes,
// triangles, triangle lists and vertex welding.
//
// Tests return a success flag and write their outputs (distance, point,
// index) only on a hit and only where the caller passed a non-null pointer.
// Mind the irregular argument orders below; they are kept as the callers use
// them.
#ifndef CORE_GEOMETRY_H
#define CORE_GEOMETRY_H

#include <cstdint>
#include <vector>

#include "core/ballistic.h"
#include "core/vector.h"

// Plane and point tests compare against this.
constexpr float GeometryTolerance = 0.00001f;

struct Ray {
    Vector3 origin;
    Vector3 direction; // unit
};

struct Sphere {
    Vector3 centre;
    float radius = 0.0f;
};

// Stored as 15 floats: centre, x axis, y axis, z axis, half-extents.
struct OrientedBox {
    Vector3 centre;
    Vector3 axis[3]; // unit
    float halfExtent[3] = {};
};

struct AxisAlignedBox {
    Vector3 minimum;
    Vector3 maximum;
};

struct Triangle {
    Vector3 corner[3];
    Vector3 normal; // unit, from TriangleComputeNormal
};

// The 28-byte mesh vertex: position, normal and one further 32-bit word,
// which these tests treat as a float (the terrain's attribute).
struct PncVertex {
    Vector3 position;
    Vector3 normal;
    float extra = 0.0f;
};

// Welded triangles of a collision model: three indices per triangle, the
// vertices and one face normal per triangle.
struct CollisionGeometry {
    std::vector<int32_t> indices;
    std::vector<Vector3> vertices;
    std::vector<Vector3> normals;
};

static_assert(sizeof(OrientedBox) == 60, "OrientedBox is 15 packed floats");
static_assert(sizeof(PncVertex) == 28, "PncVertex is 28 bytes");

// normalise((b - a) x (c - a)) into tri.normal.
Triangle& TriangleComputeNormal(Triangle& tri);
// origin = p0, direction = normalised p1 - p0 (zero when p0 == p1).
Ray& RayFromSegment(Ray& out, const Vector3& p0, const Vector3& p1);

// --- rays and segments against boxes and spheres (geometry_ray.cpp)
bool RayIntersectOrientedBox(const Ray& ray, const OrientedBox& box);
// Entry distance, or exit distance when the origin is inside.
bool RayIntersectOrientedBoxAt(const OrientedBox& box, const Ray& ray, float* outDistance,
                               Vector3* outPoint);
bool RayIntersectSphere(const Ray& ray, const Sphere& sphere);
// Note: point before distance. Far root when the origin is inside.
bool RayIntersectSphereAt(const Ray& ray, const Sphere& sphere, Vector3* outPoint,
                          float* outDistance);
bool SegmentIntersectOrientedBox(const Vector3& p0, const Vector3& p1, const OrientedBox& box,
                                 float* outDistance = nullptr, Vector3* outPoint = nullptr);
bool SegmentIntersectSphere(const Vector3& p0, const Vector3& p1, const Sphere& sphere,
                            Vector3* outPoint = nullptr, float* outDistance = nullptr);

// --- planes (geometry_plane.cpp)
// False when the segment is parallel to the plane; otherwise true whatever
// the crossing parameter t, with the point written only when 0 <= t <= 1.
bool SegmentIntersectPlane(const Vector4& plane, Vector3* outPoint, const Vector3& p0,
                           const Vector3& p1);
float PointPlaneDistance(const Vector3& point, const Vector4& plane);
bool RayPlaneParallel(const Ray& ray, const Vector4& plane);
// Distance along the ray to the plane; false when parallel or behind.
bool RayIntersectPlane(const Ray& ray, const Vector4& plane, float* outDistance);
bool PointOnRay(const Ray& ray, const Vector3& point, float* outT);
bool AxisAlignedBoxContainsPoint(const AxisAlignedBox& box, const Vector3& point);
bool SphereIntersectSphere(const Sphere& a, const Sphere& b);

// --- boxes (geometry_box.cpp)
bool OrientedBoxIntersectSphere(const OrientedBox& box, const Sphere& sphere);
// The axis with the largest raw offset of the point from the centre (ties to
// the later axis), negated when that offset is negative.
Vector3& OrientedBoxFaceNormalToward(const OrientedBox& box, const Vector3& point, Vector3& out);
bool OrientedBoxIntersectOrientedBox(const OrientedBox& a, const OrientedBox& b);

// --- rays against triangles (geometry_raytri.cpp)
// Moller-Trumbore, both faces; hit when t >= 0. Note the argument order.
bool RayIntersectTriangle(const Vector3& a, const Vector3& b, const Vector3& c, float* outDistance,
                          Vector3* outPoint, const Ray& ray);
// The same test with no outputs and no distance test.
bool RayHitsTriangle(const Ray& ray, const Vector3& a, const Vector3& b, const Vector3& c);
bool SegmentIntersectTriangle(const Vector3& p0, const Vector3& p1, const Vector3& a,
                              const Vector3& b, const Vector3& c, Vector3* outPoint,
                              float* outDistance);
// First hit in list order; outIndex is the triangle's position in the list.
bool SegmentIntersectTriangle(const Vector3& p0, const Vector3& p1,
                              const std::vector<Triangle>& triangles, Vector3* outPoint,
                              float* outDistance, int* outIndex = nullptr);
// 0: the segment stays on one side of the triangle's plane; 1: it reaches or
// crosses the plane; 2: it lies in the plane.
int SegmentClassifyTriangle(const Vector3& p0, const Vector3& p1, const Triangle& tri);

// --- rays against triangle meshes (geometry_mesh.cpp)
// Triangle offsets (multiples of 3) into mesh.indices; the first hit in list
// order wins. With backFace, triangles whose face normal . direction >
// -0.00001 are skipped. Offsets or indices out of range are skipped.
bool RayIntersectMeshTriangles(Vector3* outPoint, const Ray& ray, const CollisionGeometry& mesh,
                               const std::vector<int32_t>& triangles, int* outTriangle,
                               bool backFace);
// The segment forms take the first triangle in order that the segment
// itself reaches.
bool SegmentIntersectMeshTriangles(const Vector3& p0, const Vector3& p1,
                                   const CollisionGeometry& mesh,
                                   const std::vector<int32_t>& triangles, Vector3* outPoint,
                                   int* outTriangle, bool backFace);
// Every triangle of the mesh's index list, first hit in order.
bool RayIntersectIndexedMesh(const Ray& ray, const CollisionGeometry& mesh, bool backFace,
                             float* outDistance, Vector3* outPoint, int* outTriangle);
bool SegmentIntersectIndexedMesh(const Vector3& p0, const Vector3& p1,
                                 const CollisionGeometry& mesh, bool backFace, float* outDistance,
                                 Vector3* outPoint, int* outTriangle);
// First triangle hit in list order; out = its corners' weighted sum (all
// seven fields) with the TriangleEdgeWeights of the hit point. Triangles
// with an index past vertexCount are skipped.
bool RayIntersectIndexedTriangles(PncVertex* out, const PncVertex* vertices, int vertexCount,
                                  const uint16_t* indices, int indexCount, const Ray& ray);

// --- triangles (geometry_triangle.cpp)
// Unit normals of the point with each edge agree within GeometryTolerance.
// Only meaningful for points in the triangle's plane; false on an edge.
bool PointInTriangle(const Triangle& tri, const Vector3& point);
// Each corner's weight is the point's distance to the opposite edge's line,
// divided by the sum of the three. Not barycentric.
void TriangleEdgeWeights(const Triangle& tri, float outWeights[3], const Vector3& point);
// Keeps the side n.p + d > 0; returns the number of pieces (0, 1 or 2).
int ClipTriangleByPlane(const Vector4& plane, const Triangle& tri, Triangle outPieces[2]);
// With a list: the triangle clipped to the box; true with an empty list means
// the whole triangle lies inside. Without a list: an approximate test (a
// corner in the box, or a box corner in the triangle).
bool TriangleIntersectAxisAlignedBox(std::vector<Triangle>* outPieces, const AxisAlignedBox& box,
                                     const Triangle& tri);

// --- triangle pairs (geometry_tritri.cpp)
bool TriangleIntersectTriangle(const Triangle& t1, const Triangle& t2);
// outSegment receives two points.
bool TriangleIntersectTriangleSegment(const Triangle& t1, const Triangle& t2, bool* outCoplanar,
                                      Vector3* outSegment);
bool TrianglesIntersectCoplanar(const Vector3& n, const Triangle& t1, const Triangle& t2);
// Orders coplanar points into a loop and cuts it into triangles, appended
// with their normals; true when it made (points - 2) triangles.
bool TriangulatePointLoop(const std::vector<Vector3>& points, std::vector<Triangle>& outTriangles);

// --- welding (geometry_weld.cpp)
bool VerticesEqual(const PncVertex& a, const PncVertex& b);
// Merges equal vertices (VerticesEqual, searched from the last output vertex
// back) and remaps the indices. False, with empty outputs, when an index is
// not below vertexCount.
bool WeldVertices(int vertexCount, const PncVertex* vertices, int indexCount,
                  const uint16_t* indices, std::vector<PncVertex>& outVertices,
                  std::vector<uint16_t>& outIndices);

#endif
