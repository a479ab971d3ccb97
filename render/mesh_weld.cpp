// Vertex welding. The kept vertices are unique, so a map from a vertex's bytes
// to its kept position finds the one match a search of the kept list would,
// and one remapping pass over the indices gives the same list as rewriting it
// per vertex: a replaced index is never larger than the vertex being visited.
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "render/mesh.h"

namespace {

// remap[i] = kept position of input vertex i; returns the kept count.
int BuildWeldMap(const uint8_t* data, int count, int stride, int size, std::vector<int>& remap,
                 std::vector<int>& kept) {
    std::unordered_map<std::string_view, int> seen;
    seen.reserve((size_t)count);
    remap.resize((size_t)count);
    kept.clear();
    for (int i = 0; i < count; i++) {
        std::string_view key((const char*)data + (size_t)i * stride, (size_t)size);
        auto found = seen.emplace(key, (int)kept.size());
        if (found.second)
            kept.push_back(i);
        remap[(size_t)i] = found.first->second;
    }
    return (int)kept.size();
}

template <class Index>
void RemapIndices(int indexCount, const Index* indices, const std::vector<int>& remap,
                  std::vector<Index>& out) {
    out.resize((size_t)indexCount);
    for (int i = 0; i < indexCount; i++) {
        Index v = indices[i];
        out[(size_t)i] = v < remap.size() ? (Index)remap[v] : v;
    }
}

}  // namespace

void WeldVertexData(int indexCount, const void* vertices, int vertexCount, int vertexSize,
                    const uint16_t* indices, std::vector<uint8_t>& outVertices,
                    std::vector<uint16_t>& outIndices) {
    if (indexCount < 0)
        indexCount = 0;
    if (vertexCount < 0 || vertexSize <= 0)
        vertexCount = 0;
    std::vector<int> remap, kept;
    const uint8_t* data = (const uint8_t*)vertices;
    int n = BuildWeldMap(data, vertexCount, vertexSize, vertexSize, remap, kept);
    std::vector<uint8_t> welded((size_t)n * vertexSize);
    for (int k = 0; k < n; k++)
        memcpy(&welded[(size_t)k * vertexSize], data + (size_t)kept[k] * vertexSize, vertexSize);
    std::vector<uint16_t> remapped;
    RemapIndices(indexCount, indices, remap, remapped);
    outVertices.swap(welded);
    outIndices.swap(remapped);
}

void WeldPositions(int indexCount, const void* positions, int positionCount, int stride,
                   const uint32_t* indices, std::vector<Vector3>& outPositions,
                   std::vector<uint32_t>& outIndices) {
    if (indexCount < 0)
        indexCount = 0;
    if (positionCount < 0 || stride < 12)
        positionCount = 0;
    std::vector<int> remap, kept;
    const uint8_t* data = (const uint8_t*)positions;
    int n = BuildWeldMap(data, positionCount, stride, 12, remap, kept);
    std::vector<Vector3> welded((size_t)n);
    for (int k = 0; k < n; k++)
        memcpy(&welded[(size_t)k], data + (size_t)kept[k] * stride, 12);
    std::vector<uint32_t> remapped;
    RemapIndices(indexCount, indices, remap, remapped);
    outPositions.swap(welded);
    outIndices.swap(remapped);
}
