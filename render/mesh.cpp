#include "render/mesh.h"

#include <cstring>

#include "core/error.h"
#include "render/backend.h"

namespace {

bool HasBuffers(const MeshChunk& c) {
    return !c.vertexBuffer.IsEmpty() && !c.indexBuffer.IsEmpty();
}

bool IsWriteOnly(const MeshChunk& c) {
    return c.vertexBuffer.GetRecord()->writeOnly || c.indexBuffer.GetRecord()->writeOnly;
}

// New buffers of the source's format holding the given data.
bool MakeBuffers(int vertexSize, const VertexLayout& layout, const void* vertices, int vertexCount,
                 const uint16_t* indices, int indexCount, bool writeOnly, CVertexBuffer& vb,
                 CIndexBuffer& ib) {
    if (!CreateVertexBuffer(vb, vertexSize, vertexCount, layout, false, writeOnly) ||
        !CreateIndexBuffer(ib, indexCount, false, writeOnly))
        return false;
    CVertexBufferLock vl(vb);
    CIndexBufferLock il(ib);
    void* idata = nullptr;
    if (!vl.data || !il.GetData(idata))
        return false;
    memcpy(vl.data, vertices, (size_t)vertexCount * vertexSize);
    memcpy(idata, indices, (size_t)indexCount * 2);
    return true;
}

}  // namespace

const std::string& CMesh::GetName() const {
    static const std::string none;
    return record ? record->name : none;
}

void CMesh::Draw() {
    if (!record)
        return;
    for (MeshChunk& c : record->chunks) {
        // An empty handle would leave the previous chunk's buffer bound.
        if (!HasBuffers(c))
            continue;
        BindVertexBuffer(c.vertexBuffer);
        BindIndexBuffer(c.indexBuffer);
        if (!c.colourTexture.IsEmpty())
            BindTexture(c.colourTexture, 0);
        else
            DisableTexturing();
        // The bump texture, when present, is the one in effect on unit 0.
        if (!c.bumpTexture.IsEmpty())
            BindTexture(c.bumpTexture, 0);
        DrawIndexedTriangles(c.indexBuffer.GetIndexCount() / 3);
    }
}

void CMesh::WeldVertices() {
    if (!record)
        return;
    for (MeshChunk& c : record->chunks) {
        if (!HasBuffers(c))
            continue;
        if (IsWriteOnly(c)) {
            ReportError("Error", "CMesh::WeldVertices()-write-only buffer, chunk skipped");
            continue;
        }
        const VertexBufferRecord& source = *c.vertexBuffer.GetRecord();
        int vertexSize = source.vertexSize;
        VertexLayout layout = source.layout;
        bool writeOnly = source.writeOnly;
        std::vector<uint8_t> vertices;
        std::vector<uint16_t> indices;
        {
            CVertexBufferLock vl(c.vertexBuffer);
            CIndexBufferLock il(c.indexBuffer);
            void* idata = nullptr;
            if (!vl.data || !il.GetData(idata))
                continue;
            WeldVertexData(c.indexBuffer.GetIndexCount(), vl.data, source.vertexCount, vertexSize,
                           (const uint16_t*)idata, vertices, indices);
        }
        if (vertexSize <= 0)
            continue;
        int count = (int)(vertices.size() / (size_t)vertexSize);
        CVertexBuffer vb;
        CIndexBuffer ib;
        // Both or neither: welded vertices with the old indices draw garbage.
        if (!MakeBuffers(vertexSize, layout, vertices.data(), count, indices.data(),
                         (int)indices.size(), writeOnly, vb, ib)) {
            ReportError("Error", "CMesh::WeldVertices()-could not remake the buffers");
            continue;
        }
        c.vertexBuffer = vb;
        c.indexBuffer = ib;
    }
}

void CMesh::BuildCollisionGeometry() {
    if (!record)
        return;
    std::vector<uint8_t> positions;   // packed x, y, z
    std::vector<uint32_t> indices;    // 32-bit: many chunks may pass 65535 vertices
    for (MeshChunk& c : record->chunks) {
        if (!HasBuffers(c))
            continue;
        if (IsWriteOnly(c)) {
            ReportError("Error", "CMesh::BuildCollisionGeometry()-write-only buffer");
            return;
        }
        int vertexCount = c.vertexBuffer.GetVertexCount();
        int vertexSize = c.vertexBuffer.GetVertexSize();
        int indexCount = c.indexBuffer.GetIndexCount();
        if (vertexSize < 12) {
            ReportError("Error", "CMesh::BuildCollisionGeometry()-vertex without a position");
            continue;
        }
        CVertexBufferLock vl(c.vertexBuffer);
        CIndexBufferLock il(c.indexBuffer);
        void* idata = nullptr;
        if (!vl.data || !il.GetData(idata)) {
            ReportError("Error", "CMesh::BuildCollisionGeometry()-could not lock a chunk");
            return;
        }
        uint32_t base = (uint32_t)(positions.size() / 12);
        const uint16_t* in = (const uint16_t*)idata;
        for (int i = 0; i < indexCount; i++) {
            if (in[i] >= vertexCount) {
                ReportError("Error", "CMesh::BuildCollisionGeometry()-index out of range");
                return;
            }
            indices.push_back(base + in[i]);
        }
        const uint8_t* v = (const uint8_t*)vl.data;
        for (int i = 0; i < vertexCount; i++)
            positions.insert(positions.end(), v + (size_t)i * vertexSize, v + (size_t)i * vertexSize + 12);
    }
    std::vector<Vector3> welded;
    std::vector<uint32_t> weldedIndices;
    WeldPositions((int)indices.size(), positions.data(), (int)(positions.size() / 12), 12,
                  indices.data(), welded, weldedIndices);
    record->collisionPositions.clear();
    record->collisionIndices.clear();
    if (welded.size() > 65535) {
        ReportError("Error", "CMesh::BuildCollisionGeometry()-more than 65535 positions");
        return;
    }
    record->collisionPositions.swap(welded);
    record->collisionIndices.assign(weldedIndices.begin(), weldedIndices.end());
}

CMesh* CMesh::Clone(bool readable) const {
    if (!record)
        return nullptr;
    CMesh* copy = new CMesh;
    for (const MeshChunk& c : record->chunks) {
        MeshChunk out;
        out.colourTexture = c.colourTexture;
        out.bumpTexture = c.bumpTexture;
        if (HasBuffers(c)) {
            if (IsWriteOnly(c)) {
                delete copy;
                return nullptr;
            }
            MeshChunk& src = const_cast<MeshChunk&>(c);
            const VertexBufferRecord& source = *src.vertexBuffer.GetRecord();
            CVertexBufferLock vl(src.vertexBuffer);
            CIndexBufferLock il(src.indexBuffer);
            void* idata = nullptr;
            if (!vl.data || !il.GetData(idata) ||
                !MakeBuffers(source.vertexSize, source.layout, vl.data, source.vertexCount,
                             (const uint16_t*)idata,
                             src.indexBuffer.GetIndexCount(), !readable, out.vertexBuffer,
                             out.indexBuffer)) {
                delete copy;
                return nullptr;
            }
        }
        copy->record->chunks.push_back(out);
    }
    return copy;
}
