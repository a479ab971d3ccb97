// Mesh cache records over any bytes: refused or read, never read past the
// end, and a tree read back draws only what its buffers hold.
#include <cstddef>
#include <cstdint>

#include "render/backend.h"
#include "render/mesh_cache.h"
#include "render/node.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MeshLoadResult result;
    if (ReadMeshCacheRecords(data, size, true, result) && result.root) {
        result.root->Draw(true);
        delete result.root;
    }
    return 0;
}
