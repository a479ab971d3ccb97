// A terrain segment cache over any bytes, read and then loaded on as a
// battle loads it: collision instances from the segments, grass placed by
// rays, ray queries and grass fades. The input is the cache up to its
// 1,000,000-byte attribute grid; the harness appends the grid (every cell in
// the grass band) so that inputs of a few kilobytes can be whole caches.
// What is read writes back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "terrain_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnterScratchFolder();
    static CTerrain* terrain = new CTerrain;
    const size_t cells = (size_t)TerrainGridSize * TerrainGridSize;
    std::vector<uint8_t> bytes(size + cells * 4);
    if (size > 0)
        memcpy(bytes.data(), data, size);
    const float grass = 0.3f;
    for (size_t i = 0; i < cells; i++)
        memcpy(bytes.data() + size + 4 * i, &grass, 4);
    if (!terrain->DeserializeSegmentCache(bytes.data(), bytes.size()))
        return 0;
    std::vector<uint8_t> again;
    if (!terrain->SerializeSegmentCache(again) || again != bytes)
        __builtin_trap();
    FinishAndQuery(*terrain);
    return 0;
}
