// Headless vertex and index buffers: the storage is CPU memory, and a lock
// hands out that memory itself.
#include <vector>

#include "core/lock.h"
#include "render/backend.h"
#include "render/backend_shared.h"
#include "render/null/null_backend.h"
#include "render/resources.h"

struct VertexBufferObject {
    std::vector<uint8_t> bytes;
    bool mapped = false;
};

struct IndexBufferObject {
    std::vector<uint16_t> indices;
    bool mapped = false;
};

bool CreateVertexBuffer(CVertexBuffer& h, int vertexSize, int vertexCount,
                        const VertexLayout& layout, bool dynamic, bool writeOnly) {
    CAutoLock lock(&RenderLock());
    h.DropRecord();
    SetCurrentVertexBuffer(nullptr);
    size_t bytes = 0;
    if (!CheckVertexBufferSize(vertexSize, vertexCount, bytes))
        return false;
    VertexBufferRecord* r = NewVertexBufferRecord(h, vertexSize, vertexCount, layout, dynamic, writeOnly);
    r->object = new VertexBufferObject;
    r->object->bytes.assign(bytes, 0);
    return true;
}

bool CreateIndexBuffer(CIndexBuffer& h, int indexCount, bool dynamic, bool writeOnly) {
    h.DropRecord();
    SetCurrentIndexBuffer(nullptr);
    if (!CheckIndexBufferCount(indexCount))
        return false;
    CAutoLock lock(&RenderLock());
    IndexBufferRecord* r = NewIndexBufferRecord(h, indexCount, dynamic, writeOnly);
    r->object = new IndexBufferObject;
    r->object->indices.assign(size_t(indexCount), 0);
    return true;
}

void CVertexBuffer::Release() {
    CAutoLock lock(&RenderLock());
    ForgetVertexBuffer(record);
    delete record->object;
    record->object = nullptr;
}

void CIndexBuffer::Release() {
    CAutoLock lock(&RenderLock());
    ForgetIndexBuffer(record);
    delete record->object;
    record->object = nullptr;
}

// The lock hands out the storage itself; an empty buffer maps with no data.
template <class Object>
static bool Map(Object* object, void* storage, void*& data) {
    if (object->mapped)
        return false;
    object->mapped = true;
    data = storage;
    return true;
}

bool MapVertexBuffer(VertexBufferRecord* r, void*& data) {
    std::vector<uint8_t>& bytes = r->object->bytes;
    return Map(r->object, bytes.empty() ? nullptr : bytes.data(), data);
}

bool MapIndexBuffer(IndexBufferRecord* r, void*& data) {
    std::vector<uint16_t>& indices = r->object->indices;
    return Map(r->object, indices.empty() ? nullptr : indices.data(), data);
}

void UnmapVertexBuffer(VertexBufferRecord* r) { r->object->mapped = false; }
void UnmapIndexBuffer(IndexBufferRecord* r) { r->object->mapped = false; }

void SelectVertexBuffer(const VertexBufferRecord*) { NullRenderCounters().vertexBufferBinds++; }
void SelectIndexBuffer(const IndexBufferRecord*) { NullRenderCounters().indexBufferBinds++; }
void UnbindVertexStreams(const VertexBufferRecord*) {}
void UnbindVertexBuffer() { SetCurrentVertexBuffer(nullptr); }
void UnbindIndexBuffer() { SetCurrentIndexBuffer(nullptr); }

bool NullCheckVertexDraw(int64_t vertexEnd) {
    const VertexBufferRecord* v = GetCurrentVertexBuffer();
    return v && v->object && !v->object->mapped && vertexEnd <= v->vertexCount;
}

bool NullCheckIndexedDraw(int indexCount) {
    const IndexBufferRecord* ib = GetCurrentIndexBuffer();
    const VertexBufferRecord* v = GetCurrentVertexBuffer();
    if (!ib || !ib->object || ib->object->mapped || !v || !v->object || v->object->mapped)
        return false;
    if (indexCount > ib->indexCount)
        return false;
    for (int i = 0; i < indexCount; i++)
        if (ib->object->indices[size_t(i)] >= v->vertexCount)
            return false;
    return true;
}
