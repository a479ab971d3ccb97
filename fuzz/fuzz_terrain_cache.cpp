// Terrain segment caches over any bytes: refused whole or read whole, never
// read past the end; a cache read back can be written again.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/terrain/terrain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CTerrain* terrain = new CTerrain;
    if (terrain->DeserializeSegmentCache(data, size)) {
        std::vector<uint8_t> again;
        terrain->SerializeSegmentCache(again);
        terrain->SampleGrid(terrain->GetMinX(), terrain->GetMaxY());
    }
    return 0;
}
