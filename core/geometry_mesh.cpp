// Rays against indexed triangle meshes. Triangle offsets and indices come
// from cache files that may be stale against the mesh, so every offset and
// index is checked against its array; a triangle that fails is skipped.
#include "core/geometry.h"
#include "core/geometry_hit.h"

#include <cstddef>

static const float BackFaceLimit = -0.00001f;
static const float FarAway = 3.4028235e38f;

// The triangle at a given offset, when it is in range, not culled and hit
// no farther than limit.
static bool MeshTriangleHit(const Ray& ray, const CollisionGeometry& mesh, int32_t offset,
                            bool backFace, float limit, float& distance, Vector3& point) {
    if (offset < 0 || static_cast<size_t>(offset) + 2 >= mesh.indices.size()) {
        return false;
    }
    const int32_t* idx = &mesh.indices[offset];
    for (int i = 0; i < 3; i++) {
        if (idx[i] < 0 || static_cast<size_t>(idx[i]) >= mesh.vertices.size()) {
            return false;
        }
    }
    if (backFace) {
        size_t tri = static_cast<size_t>(offset / 3);
        if (tri >= mesh.normals.size() ||
            Vector3Dot(mesh.normals[tri], ray.direction) > BackFaceLimit) {
            return false;
        }
    }
    return RayIntersectTriangle(mesh.vertices[idx[0]], mesh.vertices[idx[1]], mesh.vertices[idx[2]],
                                &distance, &point, ray) &&
           distance <= limit;
}

// First triangle of the list (or, without a list, of the whole index list)
// hit within limit.
static bool FirstMeshHit(const Ray& ray, const CollisionGeometry& mesh,
                         const std::vector<int32_t>* triangles, bool backFace, float limit,
                         float* outDistance, Vector3* outPoint, int* outTriangle) {
    size_t count = triangles ? triangles->size() : mesh.indices.size() / 3;
    for (size_t i = 0; i < count; i++) {
        int32_t offset = triangles ? (*triangles)[i] : static_cast<int32_t>(i * 3);
        float distance;
        Vector3 point;
        if (MeshTriangleHit(ray, mesh, offset, backFace, limit, distance, point)) {
            WriteHit(distance, point, outDistance, outPoint);
            if (outTriangle) {
                *outTriangle = offset / 3;
            }
            return true;
        }
    }
    return false;
}

bool RayIntersectMeshTriangles(Vector3* outPoint, const Ray& ray, const CollisionGeometry& mesh,
                               const std::vector<int32_t>& triangles, int* outTriangle,
                               bool backFace) {
    return FirstMeshHit(ray, mesh, &triangles, backFace, FarAway, nullptr, outPoint, outTriangle);
}

bool RayIntersectIndexedMesh(const Ray& ray, const CollisionGeometry& mesh, bool backFace,
                             float* outDistance, Vector3* outPoint, int* outTriangle) {
    return FirstMeshHit(ray, mesh, nullptr, backFace, FarAway, outDistance, outPoint, outTriangle);
}

// The segment forms take the first triangle in order that the segment itself
// reaches, so a farther triangle earlier in the list cannot hide a nearer one.
bool SegmentIntersectMeshTriangles(const Vector3& p0, const Vector3& p1,
                                   const CollisionGeometry& mesh,
                                   const std::vector<int32_t>& triangles, Vector3* outPoint,
                                   int* outTriangle, bool backFace) {
    Ray ray;
    float length;
    return SegmentRay(p0, p1, ray, length) &&
           FirstMeshHit(ray, mesh, &triangles, backFace, length, nullptr, outPoint, outTriangle);
}

bool SegmentIntersectIndexedMesh(const Vector3& p0, const Vector3& p1,
                                 const CollisionGeometry& mesh, bool backFace, float* outDistance,
                                 Vector3* outPoint, int* outTriangle) {
    Ray ray;
    float length;
    return SegmentRay(p0, p1, ray, length) &&
           FirstMeshHit(ray, mesh, nullptr, backFace, length, outDistance, outPoint, outTriangle);
}

bool RayIntersectIndexedTriangles(PncVertex* out, const PncVertex* vertices, int vertexCount,
                                  const uint16_t* indices, int indexCount, const Ray& ray) {
    for (int i = 0; i + 2 < indexCount; i += 3) {
        int ia = indices[i], ib = indices[i + 1], ic = indices[i + 2];
        if (ia >= vertexCount || ib >= vertexCount || ic >= vertexCount) {
            continue;
        }
        const PncVertex& a = vertices[ia];
        const PncVertex& b = vertices[ib];
        const PncVertex& c = vertices[ic];
        Vector3 point;
        if (!RayIntersectTriangle(a.position, b.position, c.position, nullptr, &point, ray)) {
            continue;
        }
        if (out) {
            Triangle tri;
            tri.corner[0] = a.position;
            tri.corner[1] = b.position;
            tri.corner[2] = c.position;
            float w[3];
            TriangleEdgeWeights(tri, w, point);
            PncVertex v;
            Vector3Scale(v.position, a.position, w[0]);
            Vector3MultiplyAdd(v.position, v.position, b.position, w[1]);
            Vector3MultiplyAdd(v.position, v.position, c.position, w[2]);
            Vector3Scale(v.normal, a.normal, w[0]);
            Vector3MultiplyAdd(v.normal, v.normal, b.normal, w[1]);
            Vector3MultiplyAdd(v.normal, v.normal, c.normal, w[2]);
            v.extra = a.extra * w[0] + b.extra * w[1] + c.extra * w[2];
            *out = v;
        }
        return true;
    }
    return false;
}
