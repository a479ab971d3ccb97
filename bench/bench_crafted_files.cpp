// Loading time of crafted files must grow linearly with their size: a mesh
// text of many bones, a mesh cache of many nodes and a text of many colour
// runs. Each runs at two sizes; Google Benchmark fits the growth (the
// "BigO" line should read N, not N^2).
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

#include "render/backend.h"
#include "render/mesh_cache.h"
#include "render/mesh_file.h"
#include "render/node.h"
#include "render/text.h"

namespace {

void EnsureRenderer() {
    static bool renderer = false;
    if (!renderer) {
        RenderSetup setup;
        renderer = InitRenderer(&setup, nullptr);
    }
}

// A root bone over n / 100 groups of 100 leaves (a node holds at most 255
// children in the cache), each bone named after its place.
std::string WideBoneTree(int n) {
    int groups = n / 100;
    std::string text = "Bone { Name { Root } ";
    for (int g = 0; g < groups; g++)
        text += "Child { g" + std::to_string(g) + " } ";
    text += "}\n";
    for (int g = 0; g < groups; g++) {
        std::string group = "Bone { Name { g" + std::to_string(g) + " } ";
        for (int i = 0; i < 100; i++) {
            std::string leaf = "l" + std::to_string(g) + "_" + std::to_string(i);
            group += "Child { " + leaf + " } ";
            text += "Bone { Name { " + leaf + " } }\n";
        }
        text += group + "}\n";
    }
    return text;
}

bool ParseTree(const std::string& text, MeshLoadResult& result) {
    std::istringstream in(text);
    MeshTokenReader reader(in);
    return ParseMeshGroups(reader, "bench-none\\", false, result);
}

void BM_MeshTextManyBones(benchmark::State& state) {
    EnsureRenderer();
    std::string text = WideBoneTree((int)state.range(0));
    for (auto _ : state) {
        MeshLoadResult result;
        if (!ParseTree(text, result))
            state.SkipWithError("the bones did not link");
        delete result.root;
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_MeshTextManyBones)->Arg(2000)->Arg(20000)->Complexity()->Unit(benchmark::kMillisecond);

void BM_MeshCacheManyNodes(benchmark::State& state) {
    EnsureRenderer();
    MeshLoadResult tree;
    std::vector<uint8_t> bytes;
    if (!ParseTree(WideBoneTree((int)state.range(0)), tree) || !BuildMeshCacheBytes(tree, bytes)) {
        state.SkipWithError("no cache bytes");
        return;
    }
    delete tree.root;
    for (auto _ : state) {
        MeshLoadResult result;
        if (!ReadMeshCacheRecords(bytes.data() + 4, bytes.size() - 4, true, result))
            state.SkipWithError("the cache did not read");
        delete result.root;
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_MeshCacheManyNodes)->Arg(2000)->Arg(20000)->Complexity()->Unit(benchmark::kMillisecond);

// n characters, each in its own colour, wrapped to one glyph per line.
void BM_TextLayoutManyRuns(benchmark::State& state) {
    EnsureRenderer();
    CText text;
    for (int i = 0; i < state.range(0); i++) {
        text.AddColour(0xFF000000u | (uint32_t)i);
        text += CText("a");
    }
    text.SetWrapWidth(1.0f);
    for (auto _ : state) {
        float l, t, r, b;
        text.GetBounds(l, t, r, b);
        benchmark::DoNotOptimize(b);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_TextLayoutManyRuns)->Arg(2000)->Arg(20000)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace
