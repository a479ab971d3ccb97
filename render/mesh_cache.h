// The binary mesh cache (".bmbm" under "gen\\"): a float identifier copied
// from the text's "RandomID", then tagged records (1 mesh, 2 node) with the
// children before their parent, then a 0 byte. Little-endian, no padding;
// strings are a length byte and the bytes.
#ifndef RENDER_MESH_CACHE_H
#define RENDER_MESH_CACHE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CNode;
class CTexture;

// What a mesh file loads to: the root (owned by the caller, null for a file
// without bones) and the cache identifier.
struct MeshLoadResult {
    CNode* root = nullptr;
    float cacheId = 0.0f;
};

// "gen\\" + the path without its extension + ".bmbm"; empty for a path that
// would put the cache outside "gen\\" (a drive, a root, a ".." or the like).
std::string MeshCachePath(const std::string& meshPath);
// The file's first four bytes as a float; when it cannot be read, a negative
// chance value that a text's identifier will not normally match. cut, when
// given, is set for a file that is there but shorter than the identifier.
float ReadMeshCacheId(const std::string& cachePath, bool* cut = nullptr);
// Reads the whole file as bytes. On any failure nothing is kept.
bool LoadMeshCache(const std::string& cachePath, bool readable, MeshLoadResult& result);
// The records after the identifier; on failure every node and mesh made is freed.
bool ReadMeshCacheRecords(const uint8_t* bytes, size_t size, bool readable,
                          MeshLoadResult& result);
// Nothing is written when a record does not fit the layout or holds a
// texture the reader would load as another kind (the layout keeps names
// only); an older file of the name is removed then.
bool WriteMeshCache(const std::string& cachePath, const MeshLoadResult& result);
bool WriteMeshCacheNode(std::vector<uint8_t>& out, const CNode* node);
// The whole file image (identifier, records, end byte) for the tests.
bool BuildMeshCacheBytes(const MeshLoadResult& result, std::vector<uint8_t>& out);

// The layout keeps a chunk's texture names, not their kinds: the reader
// loads the colour place as kind 1 and the bump place as kind 5. True when
// the texture would come back as it is: empty, or named and of that kind.
const int MeshCacheColourKind = 1;
const int MeshCacheBumpKind = 5;
bool MeshCacheKeepsTexture(const CTexture& texture, int kind);

// Record fields. The writers append; WriteString fails on more than 255 bytes.
void WriteU8(std::vector<uint8_t>& out, unsigned v);
void WriteU16(std::vector<uint8_t>& out, unsigned v);
void WriteI32(std::vector<uint8_t>& out, int32_t v);
void WriteF32(std::vector<uint8_t>& out, float v);
bool WriteString(std::vector<uint8_t>& out, const std::string& s);

// Bounds-checked reading: a read past the end leaves ok false and gives 0.
struct ByteReader {
    const uint8_t* bytes;
    size_t size;
    size_t pos = 0;
    bool ok = true;

    ByteReader(const uint8_t* b, size_t n) : bytes(b), size(n) {}
    bool Take(void* out, size_t n);
    unsigned U8();
    unsigned U16();
    int32_t I32();
    float F32();
    std::string String();
    // Points at n bytes and skips them; null when fewer are left.
    const uint8_t* Span(size_t n);
};

#endif
