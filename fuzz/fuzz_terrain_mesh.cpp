// Mesh file text built into a terrain: conversion, bounds, the reduced
// levels, the attribute grid and the cutting into cells. A terrain the build
// caches must read back from its cache whole and write the same bytes again;
// the rest of a load (collision, grass, ray queries) then runs on what was
// read.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "render/mesh_file.h"
#include "render/node.h"
#include "terrain_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnterScratchFolder();
    std::istringstream in(std::string((const char*)data, size));
    MeshTokenReader reader(in);
    MeshLoadResult result;
    if (!ParseMeshGroups(reader, "fuzz-none\\", false, result))
        return 0;
    std::unique_ptr<CNode> root(result.root);
    static CTerrain* built = new CTerrain;
    static CTerrain* read = new CTerrain;
    if (!built->BuildFromModel(root.get(), "fuzz.mbm", "fuzz") || built->GetLevelMeshes(0).empty())
        return 0;
    std::vector<uint8_t> bytes, again;
    if (!built->SerializeSegmentCache(bytes)) {
        FinishAndQuery(*built);   // too large to cache: used for this run only
        return 0;
    }
    if (!read->DeserializeSegmentCache(bytes.data(), bytes.size()) ||
        !read->SerializeSegmentCache(again) || again != bytes)
        __builtin_trap();
    FinishAndQuery(*read);
    return 0;
}
