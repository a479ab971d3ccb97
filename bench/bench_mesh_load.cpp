// Loading the largest shipped model: parsing its text (with welding,
// collision geometry and the cache write) against reading its ".bmbm"
// cache. Run from the installation folder; the cache must win tenfold.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "core/files.h"
#include "render/backend.h"
#include "render/mesh_cache.h"
#include "render/mesh_file.h"
#include "render/node.h"

namespace {

namespace fs = std::filesystem;

// The game path ("data\\models\\...") of the biggest ".mbm" under data/models.
std::string LargestModel() {
    std::string best;
    uintmax_t bestSize = 0;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator("data/models", ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_regular_file() || it->path().extension() != ".mbm")
            continue;
        if (it->file_size() > bestSize) {
            bestSize = it->file_size();
            best = it->path().generic_string();
        }
    }
    for (char& c : best) {
        if (c == '/')
            c = '\\';
    }
    return best;
}

// Both loads share textures already in use, as models loaded after the first
// do, so the timings compare the mesh work the cache saves.
bool Setup(benchmark::State& state, std::string& path) {
    static bool renderer = false;
    static MeshLoadResult keeper;
    if (!renderer) {
        RenderSetup setup;
        renderer = InitRenderer(&setup, nullptr);
    }
    path = LargestModel();
    if (path.empty()) {
        state.SkipWithError("no model under data\\models: run from the installation folder");
        return false;
    }
    if (!keeper.root && !LoadMeshFile(path, false, keeper, true)) {
        state.SkipWithError("the model did not load");
        return false;
    }
    state.SetLabel(path);
    return true;
}

void BM_MeshLoadText(benchmark::State& state) {
    std::string path;
    if (!Setup(state, path))
        return;
    std::string cache = NativePath(MeshCachePath(path));
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(cache);   // a missing cache is simply rebuilt
        state.ResumeTiming();
        MeshLoadResult result;
        if (!LoadMeshFile(path, false, result, true))
            state.SkipWithError("the model did not load");
        delete result.root;
    }
}
BENCHMARK(BM_MeshLoadText)->Unit(benchmark::kMicrosecond);

void BM_MeshLoadCache(benchmark::State& state) {
    std::string path;
    if (!Setup(state, path))
        return;
    MeshLoadResult first;
    LoadMeshFile(path, false, first, true);   // makes sure the cache is there
    delete first.root;
    for (auto _ : state) {
        MeshLoadResult result;
        if (!LoadMeshFile(path, false, result, true))
            state.SkipWithError("the model did not load");
        delete result.root;
    }
}
BENCHMARK(BM_MeshLoadCache)->Unit(benchmark::kMicrosecond);

}  // namespace
