// Mesh file text through the parser and the bone linker. Whatever the input,
// the parse ends, reads nothing out of bounds, and a tree it hands back
// survives the work a loaded model gets: caching, copying and drawing.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "render/mesh_cache.h"
#include "render/mesh_file.h"
#include "render/node.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string((const char*)data, size));
    MeshTokenReader reader(in);
    MeshLoadResult result;
    // Textures resolve into a folder that does not exist.
    bool weld = size > 0 && (data[0] & 1);
    if (!ParseMeshGroups(reader, "fuzz-none\\", weld, result))
        return 0;
    if (result.root) {
        std::vector<uint8_t> bytes;
        if (BuildMeshCacheBytes(result, bytes)) {
            MeshLoadResult back;
            if (!ReadMeshCacheRecords(bytes.data() + 4, bytes.size() - 4, true, back))
                __builtin_trap();   // what was written must read back
            delete back.root;
        }
        CNode copy(*result.root);
        copy.Draw(true);
    }
    delete result.root;
    return 0;
}
