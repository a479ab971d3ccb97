// The collision model of the largest shipped mesh (most collision
// triangles over every model under data\models): built from the mesh
// against read from its ".col" cache. Run from the installation folder.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/files.h"
#include "game/collision/collision_cache.h"
#include "game/collision/collision_model.h"
#include "render/backend.h"
#include "render/mesh_file.h"
#include "render/node.h"

namespace {

namespace fs = std::filesystem;

struct LargestMesh {
    std::string name;
    std::vector<Vector3> positions;
    std::vector<uint16_t> indices;
};

void Collect(CNode* node, LargestMesh& best) {
    MeshRecord* r = node->mesh.GetRecord();
    if (r && r->collisionIndices.size() > best.indices.size()) {
        best.name = r->name;
        best.positions = r->collisionPositions;
        best.indices = r->collisionIndices;
    }
    for (CNode* child : node->children)
        Collect(child, best);
}

const LargestMesh& Largest() {
    static LargestMesh best;
    static bool searched = false;
    if (searched)
        return best;
    searched = true;
    RenderSetup setup;
    InitRenderer(&setup, nullptr);
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator("data/models", ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_regular_file() || it->path().extension() != ".mbm")
            continue;
        std::string path = it->path().generic_string();
        for (char& c : path) {
            if (c == '/')
                c = '\\';
        }
        MeshLoadResult result;
        if (LoadMeshFile(path, false, result, true) && result.root)
            Collect(result.root, best);
        delete result.root;
    }
    return best;
}

bool Setup(benchmark::State& state, const LargestMesh*& mesh) {
    mesh = &Largest();
    if (mesh->indices.empty()) {
        state.SkipWithError("no mesh under data\\models: run from the installation folder");
        return false;
    }
    state.SetLabel(mesh->name + ", " + std::to_string(mesh->indices.size() / 3) + " triangles");
    return true;
}

void BM_CollisionBuild(benchmark::State& state) {
    const LargestMesh* mesh;
    if (!Setup(state, mesh))
        return;
    for (auto _ : state) {
        CCollisionModel model;
        if (!BuildCollisionModel(mesh->positions, mesh->indices, false, model))
            state.SkipWithError("no model built");
        benchmark::DoNotOptimize(model.root);
    }
}
BENCHMARK(BM_CollisionBuild)->Unit(benchmark::kMicrosecond);

void BM_CollisionReadCache(benchmark::State& state) {
    const LargestMesh* mesh;
    if (!Setup(state, mesh))
        return;
    CreateDirectoryPath("gen\\data\\collision\\");
    std::string path = CollisionModelPath("bench_collision", mesh->name);
    CCollisionModel built;
    BuildCollisionModel(mesh->positions, mesh->indices, false, built);
    if (!WriteCollisionModelFile(path, built)) {
        state.SkipWithError("cannot write the cache");
        return;
    }
    for (auto _ : state) {
        CCollisionModel model;
        if (ReadCollisionModelFile(path, model) != CollisionCacheGood)
            state.SkipWithError("the cache did not read");
        benchmark::DoNotOptimize(model.root);
    }
    fs::remove(NativePath(path));
}
BENCHMARK(BM_CollisionReadCache)->Unit(benchmark::kMicrosecond);

}  // namespace
