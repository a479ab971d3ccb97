// Terrain-sized workloads for the geometry code: welding a segment's vertex
// list and clipping its triangles to a cell box.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "core/geometry.h"

namespace {

// A grid of quads as an unwelded triangle list (six vertices per quad).
void MakeGrid(int n, std::vector<PncVertex>& vertices, std::vector<uint16_t>& indices) {
    vertices.clear();
    indices.clear();
    auto add = [&](int x, int y) {
        PncVertex v;
        v.position = Vector3{x * 1.0f, y * 1.0f, (x * y % 7) * 0.1f};
        v.normal = Vector3{0, 0, 1};
        vertices.push_back(v);
        indices.push_back(static_cast<uint16_t>(indices.size()));
    };
    for (int y = 0; y < n; y++) {
        for (int x = 0; x < n; x++) {
            add(x, y);
            add(x + 1, y);
            add(x + 1, y + 1);
            add(x, y);
            add(x + 1, y + 1);
            add(x, y + 1);
        }
    }
}

void BM_WeldVertices(benchmark::State& state) {
    std::vector<PncVertex> v, outV;
    std::vector<uint16_t> i, outI;
    MakeGrid(static_cast<int>(state.range(0)), v, i);
    for (auto _ : state) {
        WeldVertices(int(v.size()), v.data(), int(i.size()), i.data(), outV, outI);
        benchmark::DoNotOptimize(outI.data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(v.size()));
}
BENCHMARK(BM_WeldVertices)->Arg(16)->Arg(32);

void BM_ClipTrianglesToCell(benchmark::State& state) {
    std::vector<PncVertex> v;
    std::vector<uint16_t> idx;
    MakeGrid(32, v, idx);
    AxisAlignedBox cell{{7.5f, 7.5f, -1000}, {15.5f, 15.5f, 1000}};
    std::vector<Triangle> pieces;
    for (auto _ : state) {
        size_t total = 0;
        for (size_t k = 0; k + 2 < idx.size(); k += 3) {
            Triangle t;
            t.corner[0] = v[idx[k]].position;
            t.corner[1] = v[idx[k + 1]].position;
            t.corner[2] = v[idx[k + 2]].position;
            if (TriangleIntersectAxisAlignedBox(&pieces, cell, t)) {
                total += pieces.size() + 1;
            }
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_ClipTrianglesToCell);

} // namespace
