// Meshes: a named list of drawable chunks plus a merged copy of their
// positions and triangles for collision. Shared through CMesh handles; a new
// CMesh always holds a new empty record.
#ifndef RENDER_MESH_H
#define RENDER_MESH_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/vector.h"
#include "render/resources.h"

// One drawable part. Copying shares all four records.
struct MeshChunk {
    CVertexBuffer vertexBuffer;
    CIndexBuffer indexBuffer;    // 16-bit indices
    CTexture colourTexture;
    CTexture bumpTexture;
};

struct MeshRecord : ResourceRecord {
    std::string name;
    std::vector<MeshChunk> chunks;
    std::vector<Vector3> collisionPositions;
    std::vector<uint16_t> collisionIndices;   // three per triangle
};

class CMesh : public TResourceHandle<MeshRecord> {
public:
    CMesh() { CreateRecord(); }
    CMesh(const CMesh&) = default;
    CMesh& operator=(const CMesh&) = default;
    ~CMesh() override { DropRecord(); }
    // The chunks' buffers and textures are handles of their own.
    void Release() override {}

    // Chunks lacking a vertex or index buffer are skipped.
    void Draw();
    // Merges byte-identical vertices of every chunk with readable buffers.
    void WeldVertices();
    // Gathers every chunk's positions and triangles, welded. A write-only
    // chunk stops the gathering and keeps the old data.
    void BuildCollisionGeometry();
    // A copy with new buffers filled from this mesh's (write-only unless
    // readable) sharing the textures; null when a source buffer is write-only.
    CMesh* Clone(bool readable) const;

    // The cache's mesh record. Serialize fails when there is no drawable
    // chunk or a count does not fit its field; Deserialize gives the bytes
    // used, 0 for a record that is cut short, malformed or cannot be made.
    bool Serialize(std::vector<uint8_t>& out) const;
    size_t Deserialize(const uint8_t* bytes, size_t size, bool readable);

    int GetChunkCount() const { return record ? (int)record->chunks.size() : 0; }
    const std::string& GetName() const;
};

inline RecordList& MeshRegistry() { return RecordRegistry<MeshRecord>(); }

// Merges vertices whose bytes are equal. The output vertices are the first
// occurrences in input order; every index is remapped to its vertex's first
// occurrence. Indices outside the vertex range are kept as they are.
void WeldVertexData(int indexCount, const void* vertices, int vertexCount, int vertexSize,
                    const uint16_t* indices, std::vector<uint8_t>& outVertices,
                    std::vector<uint16_t>& outIndices);
// The same over positions read with the given stride (12 for packed
// positions); 32-bit indices so gathered meshes cannot wrap.
void WeldPositions(int indexCount, const void* positions, int positionCount, int stride,
                   const uint32_t* indices, std::vector<Vector3>& outPositions,
                   std::vector<uint32_t>& outIndices);

#endif
