// Welding of 28-byte vertices: near-equal vertices are merged and the index
// list is remapped.
#include "core/geometry.h"

#include <cmath>

bool VerticesEqual(const PncVertex& a, const PncVertex& b) {
    const float PositionLimit = 0.0012f;
    const float NormalLimit = 0.005f;
    const float ExtraLimit = 0.005f;
    return std::fabs(a.position.x - b.position.x) <= PositionLimit &&
           std::fabs(a.position.y - b.position.y) <= PositionLimit &&
           std::fabs(a.position.z - b.position.z) <= PositionLimit &&
           std::fabs(a.normal.x - b.normal.x) <= NormalLimit &&
           std::fabs(a.normal.y - b.normal.y) <= NormalLimit &&
           std::fabs(a.normal.z - b.normal.z) <= NormalLimit &&
           std::fabs(a.extra - b.extra) < ExtraLimit;
}

// Each input vertex maps to the last equal output vertex, or is appended.
// Remapping every index equal to i right after vertex i is the same as one
// pass through a table, since each new position is at most i.
bool WeldVertices(int vertexCount, const PncVertex* vertices, int indexCount,
                  const uint16_t* indices, std::vector<PncVertex>& outVertices,
                  std::vector<uint16_t>& outIndices) {
    outVertices.clear();
    outIndices.clear();
    if (vertexCount < 0) {
        vertexCount = 0;
    }
    if (indexCount < 0) {
        indexCount = 0;
    }
    for (int i = 0; i < indexCount; i++) {
        if (indices[i] >= vertexCount) {
            return false;
        }
    }
    std::vector<uint16_t> remap(static_cast<size_t>(vertexCount));
    outVertices.reserve(static_cast<size_t>(vertexCount));
    for (int i = 0; i < vertexCount; i++) {
        size_t k = outVertices.size();
        while (k > 0 && !VerticesEqual(outVertices[k - 1], vertices[i])) {
            k--;
        }
        if (k > 0) {
            remap[i] = static_cast<uint16_t>(k - 1);
        } else {
            remap[i] = static_cast<uint16_t>(outVertices.size());
            outVertices.push_back(vertices[i]);
        }
    }
    outIndices.resize(static_cast<size_t>(indexCount));
    for (int i = 0; i < indexCount; i++) {
        outIndices[i] = remap[indices[i]];
    }
    return true;
}
