// Building a collision model from a mesh: welding, the root box and the
// box tree.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

#include "game/collision/collision_model.h"

namespace {

const float WeldTolerance = 0.00001f;
// Cell size of the weld grid; much larger than the tolerance, so a corner's
// matches lie in at most two cells per axis.
const double WeldCellSize = 0.01;
const int SplitSteps = 120;
const int SplitFirstStep = 5;
const int SplitLastStep = 114;
const float SplitMaxScore = 0.25f;

bool IsFinite(const Vector3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool WithinTolerance(const Vector3& a, const Vector3& b) {
    return std::fabs(a.x - b.x) <= WeldTolerance && std::fabs(a.y - b.y) <= WeldTolerance &&
           std::fabs(a.z - b.z) <= WeldTolerance;
}

// The welded vertices hashed by grid cell. Lookups give the first vertex in
// list order within the tolerance, as a scan of the whole list would.
class WeldGrid {
public:
    explicit WeldGrid(const std::vector<Vector3>& list) : vertices(list) {}

    int Find(const Vector3& p) const {
        int64_t lo[3], hi[3];
        CellRange(p, lo, hi);
        int best = -1;
        for (int64_t x = lo[0]; x <= hi[0]; x++) {
            for (int64_t y = lo[1]; y <= hi[1]; y++) {
                for (int64_t z = lo[2]; z <= hi[2]; z++) {
                    auto it = cells.find(Key(x, y, z));
                    if (it == cells.end())
                        continue;
                    for (int n : it->second) {
                        if ((best < 0 || n < best) && WithinTolerance(vertices[n], p))
                            best = n;
                    }
                }
            }
        }
        return best;
    }

    void Insert(int n) {
        const Vector3& p = vertices[n];
        cells[Key(Cell(p.x), Cell(p.y), Cell(p.z))].push_back(n);
    }

private:
    // Far-out coordinates share the outermost cells rather than overflow.
    static int64_t Cell(double v) {
        double c = std::floor(v / WeldCellSize);
        return (int64_t)std::max(-1e15, std::min(1e15, c));
    }
    static uint64_t Key(int64_t x, int64_t y, int64_t z) {
        uint64_t h = (uint64_t)x * 0x9E3779B97F4A7C15ull;
        h ^= (uint64_t)y * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
        h ^= (uint64_t)z * 0x165667B19E3779F9ull + (h << 6) + (h >> 2);
        return h;
    }
    // Twice the tolerance either side covers float rounding of the test.
    static void CellRange(const Vector3& p, int64_t lo[3], int64_t hi[3]) {
        const float c[3] = {p.x, p.y, p.z};
        for (int i = 0; i < 3; i++) {
            lo[i] = Cell((double)c[i] - 2.0 * WeldTolerance);
            hi[i] = Cell((double)c[i] + 2.0 * WeldTolerance);
        }
    }

    const std::vector<Vector3>& vertices;
    // Keys are hashes, so a bucket may hold vertices of other cells; the
    // tolerance test sorts them out.
    std::unordered_map<uint64_t, std::vector<int>> cells;
};

// Unit face normal; false when the triangle has no area worth the name.
bool FaceNormal(const Vector3& a, const Vector3& b, const Vector3& c, Vector3& out) {
    Vector3 ab, ac, bc, cross;
    Vector3Subtract(ab, b, a);
    Vector3Subtract(ac, c, a);
    Vector3Subtract(bc, c, b);
    Vector3Cross(cross, ab, ac);
    float length = Vector3Length(cross);
    float longest = std::max(Vector3LengthSquared(ab),
                             std::max(Vector3LengthSquared(ac), Vector3LengthSquared(bc)));
    // Collinear within float precision: the normal would be noise or NaN.
    if (!(length > 1e-6f * longest))
        return false;
    Vector3Scale(out, cross, 1.0f / length);
    return IsFinite(out);
}

float AxisCoordinate(const Vector3& v, const OrientedBox& box, int axis) {
    Vector3 d;
    return Vector3Dot(Vector3Subtract(d, v, box.centre), box.axis[axis]);
}

CCollisionNode* MakeHalf(const CCollisionNode& node, int axis, float lowOffset, float highOffset) {
    CCollisionNode* half = new CCollisionNode;
    half->box = node.box;
    float h = (highOffset - lowOffset) * 0.5f;
    Vector3MultiplyAdd(half->box.centre, node.box.centre, node.box.axis[axis], lowOffset + h);
    half->box.halfExtent[axis] = h;
    return half;
}

// Splits every node of the list along the axis; a node that splits is
// replaced in place by its two halves.
void SplitAll(std::vector<CCollisionNode*>& nodes, const CollisionGeometry& geometry, int axis) {
    std::vector<CCollisionNode*> result;
    for (CCollisionNode* node : nodes) {
        CCollisionNode *low, *high;
        if (SplitCollisionNode(*node, geometry, axis, low, high)) {
            result.push_back(low);
            result.push_back(high);
            delete node;
        } else {
            result.push_back(node);
        }
    }
    nodes.swap(result);
}

} // namespace

void WeldCollisionGeometry(const std::vector<Vector3>& positions,
                           const std::vector<uint16_t>& indices, CollisionGeometry& out) {
    out.indices.clear();
    out.vertices.clear();
    out.normals.clear();
    WeldGrid grid(out.vertices);
    size_t count = positions.size();
    for (size_t t = 0; t + 2 < indices.size(); t += 3) {
        const uint16_t* tri = &indices[t];
        if (tri[0] >= count || tri[1] >= count || tri[2] >= count)
            continue;
        if (tri[0] == tri[1] || tri[1] == tri[2] || tri[0] == tri[2])
            continue;
        const Vector3* corner[3] = {&positions[tri[0]], &positions[tri[1]], &positions[tri[2]]};
        if (!IsFinite(*corner[0]) || !IsFinite(*corner[1]) || !IsFinite(*corner[2]))
            continue;
        Vector3 normal;
        if (!FaceNormal(*corner[0], *corner[1], *corner[2], normal))
            continue;
        // Weld the corners in order without touching the list yet: a corner
        // matches a listed vertex first, else a new corner before it.
        int number[3];
        int fresh = 0;
        for (int k = 0; k < 3; k++) {
            number[k] = grid.Find(*corner[k]);
            if (number[k] >= 0)
                continue;
            for (int j = 0; j < k && number[k] < 0; j++) {
                if (number[j] >= (int)out.vertices.size() && WithinTolerance(*corner[j], *corner[k]))
                    number[k] = number[j];
            }
            if (number[k] < 0)
                number[k] = (int)out.vertices.size() + fresh++;
        }
        if (number[0] == number[1] || number[1] == number[2] || number[0] == number[2])
            continue;
        for (int k = 0; k < 3; k++) {
            if (number[k] == (int)out.vertices.size()) {
                out.vertices.push_back(*corner[k]);
                grid.Insert(number[k]);
            }
            out.indices.push_back(number[k]);
        }
        out.normals.push_back(normal);
    }
}

void RebuildNodeIndices(CCollisionNode& node, const CollisionGeometry& geometry) {
    node.indices.clear();
    for (int32_t offset : node.triangles) {
        for (int k = 0; k < 3; k++)
            node.indices.push_back(geometry.indices[offset + k]);
    }
    std::sort(node.indices.begin(), node.indices.end());
    node.indices.erase(std::unique(node.indices.begin(), node.indices.end()), node.indices.end());
}

float SplitPlaneScore(int front, int back, int total) {
    float t = (float)total;
    return (3.0f * (float)std::abs(front - back) / t + 4.0f * (float)(front + back - total) / t) /
           7.0f;
}

bool SplitCollisionNode(const CCollisionNode& node, const CollisionGeometry& geometry, int axis,
                        CCollisionNode*& outLow, CCollisionNode*& outHigh) {
    int total = (int)node.triangles.size();
    if (total < CollisionSplitMinTriangles)
        return false;
    // Each triangle's corner coordinates along the axis, from the centre.
    std::vector<float> lowest(total), highest(total);
    for (int i = 0; i < total; i++) {
        const int32_t* tri = &geometry.indices[node.triangles[i]];
        float lo = AxisCoordinate(geometry.vertices[tri[0]], node.box, axis);
        float hi = lo;
        for (int k = 1; k < 3; k++) {
            float c = AxisCoordinate(geometry.vertices[tri[k]], node.box, axis);
            lo = std::min(lo, c);
            hi = std::max(hi, c);
        }
        lowest[i] = lo;
        highest[i] = hi;
    }
    float half = node.box.halfExtent[axis];
    float step = 2.0f * half / (float)SplitSteps;
    float bestScore = 1.0f;
    float bestPlane = 0.0f;
    bool found = false;
    for (int s = SplitFirstStep; s <= SplitLastStep; s++) {
        float plane = -half + step * (float)s;
        int front = 0, back = 0;   // a straddling triangle counts in both
        for (int i = 0; i < total; i++) {
            if (highest[i] > plane)
                front++;
            if (lowest[i] <= plane)
                back++;
        }
        if (front == 0 || back == 0)
            continue;
        float score = SplitPlaneScore(front, back, total);
        if (score < bestScore) {
            bestScore = score;
            bestPlane = plane;
            found = true;
        }
    }
    if (!found || bestScore > SplitMaxScore)
        return false;
    outLow = MakeHalf(node, axis, -half, bestPlane);
    outHigh = MakeHalf(node, axis, bestPlane, half);
    for (int i = 0; i < total; i++) {
        if (lowest[i] <= bestPlane)
            outLow->triangles.push_back(node.triangles[i]);
        if (highest[i] > bestPlane)
            outHigh->triangles.push_back(node.triangles[i]);
    }
    RebuildNodeIndices(*outLow, geometry);
    RebuildNodeIndices(*outHigh, geometry);
    return true;
}

void BuildCollisionTree(CCollisionNode& root, const CollisionGeometry& geometry) {
    // Axes by half-length, largest first; a tie keeps the first axis.
    int order[3] = {0, 1, 2};
    std::stable_sort(order, order + 3, [&root](int a, int b) {
        return root.box.halfExtent[a] > root.box.halfExtent[b];
    });
    // The first axis that splits the root splits it; the halves then split
    // along the following axes in turn, so every leaf hangs off the root.
    for (int first = 0; first < 3; first++) {
        CCollisionNode *low, *high;
        if (!SplitCollisionNode(root, geometry, order[first], low, high))
            continue;
        std::vector<CCollisionNode*> leaves = {low, high};
        for (int next = first + 1; next < 3; next++)
            SplitAll(leaves, geometry, order[next]);
        for (CCollisionNode* leaf : leaves)
            root.AddChild(leaf);
        return;
    }
}

bool BuildCollisionModel(const std::vector<Vector3>& positions,
                         const std::vector<uint16_t>& indices, bool noTree, CCollisionModel& out) {
    CollisionGeometry geometry;
    WeldCollisionGeometry(positions, indices, geometry);
    if (geometry.normals.empty())
        return false;
    Vector3 lo = geometry.vertices[0], hi = geometry.vertices[0];
    for (const Vector3& v : geometry.vertices) {
        lo = Vector3{std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
        hi = Vector3{std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
    }
    CCollisionNode* root = new CCollisionNode;
    const float l[3] = {lo.x, lo.y, lo.z};
    const float h[3] = {hi.x, hi.y, hi.z};
    float centre[3];
    for (int i = 0; i < 3; i++) {
        root->box.halfExtent[i] = (h[i] - l[i]) * 0.5f;
        centre[i] = l[i] + root->box.halfExtent[i];
    }
    root->box.centre = Vector3{centre[0], centre[1], centre[2]};
    root->box.axis[0] = Vector3{1, 0, 0};
    root->box.axis[1] = Vector3{0, 1, 0};
    root->box.axis[2] = Vector3{0, 0, 1};
    for (size_t t = 0; t < geometry.normals.size(); t++)
        root->triangles.push_back((int32_t)(3 * t));
    RebuildNodeIndices(*root, geometry);
    if (!noTree)
        BuildCollisionTree(*root, geometry);

    delete out.root;
    out.root = root;
    out.sphere.centre = root->box.centre;
    out.sphere.radius = Vector3Length(
        Vector3{root->box.halfExtent[0], root->box.halfExtent[1], root->box.halfExtent[2]});
    out.geometry = std::move(geometry);
    return true;
}
