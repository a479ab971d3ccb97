// A terrain segment cache over any bytes, read and then loaded on as a
// battle loads it: collision instances from the segments, grass placed by
// rays, ray queries and grass fades. The input is the cache up to its
// attribute grid; the harness appends the grid (every cell in the grass
// band) so that inputs of a few kilobytes can be whole caches. What is read
// writes back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "terrain_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnterScratchFolder();
    static CTerrain* terrain = new CTerrain;
    // The grid is made once; each input is copied in front of it.
    static const std::vector<uint8_t> grid = [] {
        std::vector<uint8_t> cells((size_t)TerrainGridSize * TerrainGridSize * 4);
        const float grass = 0.3f;
        for (size_t at = 0; at < cells.size(); at += 4)
            memcpy(cells.data() + at, &grass, 4);
        return cells;
    }();
    // Exactly as long as the cache, so ASan sees any read past its end.
    std::vector<uint8_t> bytes;
    bytes.reserve(size + grid.size());
    bytes.assign(data, data + size);
    bytes.insert(bytes.end(), grid.begin(), grid.end());
    if (!terrain->DeserializeSegmentCache(bytes.data(), bytes.size()))
        return 0;
    std::vector<uint8_t> again;
    if (!terrain->SerializeSegmentCache(again) || again != bytes)
        __builtin_trap();
    FinishAndQuery(*terrain);
    return 0;
}
