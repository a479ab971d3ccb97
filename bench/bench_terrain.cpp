// The shipped terrain: building it from its mesh against loading it from its
// segment cache (with the triangles each level draws), and the fast vertex
// collapse against the all-pairs search on the shipped level-0 vertices. Run
// from the installation folder.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "core/files.h"
#include "game/terrain/terrain.h"
#include "render/backend.h"
#include "tests/game/terrain/collapse_reference.h"
#include "tests/game/terrain/level_triangles.h"

namespace {

const char* const ValleyMesh = "data\\models\\land\\valley.mbm";

bool Renderer() {
    static bool ready = false;
    if (!ready) {
        RenderSetup setup;
        ready = InitRenderer(&setup, nullptr);
    }
    return ready;
}

void RemoveCache() {
    std::remove(NativePath(CTerrain::SegmentCachePath(ValleyMesh)).c_str());
}

void BM_TerrainBuildFromMesh(benchmark::State& state) {
    if (!Renderer())
        return state.SkipWithError("no renderer");
    for (auto _ : state) {
        state.PauseTiming();
        RemoveCache();
        std::unique_ptr<CTerrain> terrain(new CTerrain);
        state.ResumeTiming();
        if (!terrain->Load(ValleyMesh) || terrain->GetSegments().empty())
            return state.SkipWithError("valley.mbm did not load");
        state.PauseTiming();
        for (int level = 0; level < 3; level++)
            state.counters["level" + std::to_string(level) + "_triangles"] = LevelTriangles(*terrain, level);
        terrain.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TerrainBuildFromMesh)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TerrainLoadFromCache(benchmark::State& state) {
    if (!Renderer())
        return state.SkipWithError("no renderer");
    {
        CTerrain first;
        first.Load(ValleyMesh);
    }
    for (auto _ : state) {
        CTerrain terrain;
        if (!terrain.Load(ValleyMesh) || terrain.GetSegments().empty())
            return state.SkipWithError("valley.mbm did not load");
    }
}
BENCHMARK(BM_TerrainLoadFromCache)->Unit(benchmark::kMillisecond);

const std::vector<TerrainVertex>& ShippedVertices() {
    static std::vector<TerrainVertex> vertices;
    if (vertices.empty() && Renderer()) {
        CTerrain terrain;
        terrain.Load(ValleyMesh);
        vertices = terrain.GetLevelVertices(0);
    }
    return vertices;
}

template <bool Fast>
void BM_TerrainCollapse(benchmark::State& state) {
    if (ShippedVertices().empty())
        return state.SkipWithError("valley.mbm did not load");
    for (auto _ : state) {
        std::vector<TerrainVertex> v = ShippedVertices();
        std::vector<uint16_t> indices;
        bool merged = Fast ? CollapseStep(v, indices, 0.7f) : ReferenceCollapseStep(v, indices, 0.7f);
        benchmark::DoNotOptimize(merged);
    }
}
BENCHMARK_TEMPLATE(BM_TerrainCollapse, true)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_TerrainCollapse, false)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
