// Vertex and index buffer records, the bound-buffer cache, and the lock and
// bind bookkeeping that do not depend on the graphics library; the back-end
// maps, unmaps and selects its own objects.
#include "core/error.h"
#include "core/lock.h"
#include "render/backend.h"
#include "render/backend_shared.h"
#include "render/render_maths.h"

// Far above anything the game makes; keeps sizes inside a driver's signed sizes.
static const size_t MAX_BUFFER_BYTES = size_t(256) << 20;

// Keyed on the record and forgotten when that record is released, so a new
// record at a freed address is never taken for the current one.
static const VertexBufferRecord* currentVertexBuffer = nullptr;
static const IndexBufferRecord* currentIndexBuffer = nullptr;

bool CheckVertexBufferSize(int vertexSize, int vertexCount, size_t& bytes) {
    if (!CheckedSize(bytes, vertexSize, vertexCount, 1, 1, MAX_BUFFER_BYTES)) {
        ReportError("Error", "Error making Vertex Buffer:\nsize out of range");
        return false;
    }
    return true;
}

bool CheckIndexBufferCount(int indexCount) {
    if (indexCount < 0 || indexCount > 65535) {
        ReportError("Error", "Error making Index Buffer:count out of range");
        return false;
    }
    return true;
}

void ResetVertexBufferRecord(VertexBufferRecord& record) { ResetRecordFields(record); }
void ResetIndexBufferRecord(IndexBufferRecord& record) { ResetRecordFields(record); }

VertexBufferRecord* NewVertexBufferRecord(CVertexBuffer& h, int vertexSize, int vertexCount,
                                          const VertexLayout& layout, bool dynamic, bool writeOnly) {
    h.CreateRecord();
    VertexBufferRecord* r = h.GetRecord();
    ResetVertexBufferRecord(*r);
    r->dynamic = dynamic;
    r->layout = layout;
    r->vertexCount = vertexCount;
    r->vertexSize = vertexSize;
    r->writeOnly = writeOnly;
    return r;
}

IndexBufferRecord* NewIndexBufferRecord(CIndexBuffer& h, int indexCount, bool dynamic, bool writeOnly) {
    h.CreateRecord();
    IndexBufferRecord* r = h.GetRecord();
    ResetIndexBufferRecord(*r);
    r->indexCount = indexCount;
    r->dynamic = dynamic;
    r->writeOnly = writeOnly;
    return r;
}

void SetCurrentVertexBuffer(const VertexBufferRecord* r) { currentVertexBuffer = r; }
void SetCurrentIndexBuffer(const IndexBufferRecord* r) { currentIndexBuffer = r; }
const VertexBufferRecord* GetCurrentVertexBuffer() { return currentVertexBuffer; }
const IndexBufferRecord* GetCurrentIndexBuffer() { return currentIndexBuffer; }

void ForgetVertexBuffer(const VertexBufferRecord* r) {
    if (currentVertexBuffer == r)
        currentVertexBuffer = nullptr;
}

void ForgetIndexBuffer(const IndexBufferRecord* r) {
    if (currentIndexBuffer == r)
        currentIndexBuffer = nullptr;
}

// ---- locks and binds ----
// One body for both kinds of buffer. Mapping rebinds the buffer, so the bind
// cache is dropped whether or not the map worked.

template <class Record>
static Record* MapForLock(Record* r, void*& data, bool (*map)(Record*, void*&),
                          const Record*& current) {
    if (!r || !r->object)
        return nullptr;
    CAutoLock lock(&RenderLock());
    Record* locked = map(r, data) ? r : nullptr;
    current = nullptr;
    return locked;
}

// The handle may have let go of the record since it was locked.
template <class Handle, class Record>
static void UnmapForUnlock(const Handle* handle, Record*& locked, void*& data,
                           void (*unmap)(Record*), const Record*& current) {
    if (!locked)
        return;
    CAutoLock lock(&RenderLock());
    if (handle->GetRecord() == locked && locked->object)
        unmap(locked);
    locked = nullptr;
    data = nullptr;
    current = nullptr;
}

template <class Record>
static void BindRecord(const Record* r, const Record*& current, void (*select)(const Record*),
                       const char* report) {
    if (r && r == current)
        return;
    if (!r || !r->object) {
        ReportError("Error", report);
        return;
    }
    CAutoLock lock(&RenderLock());
    select(r);
    current = r;
}

CVertexBufferLock::CVertexBufferLock(CVertexBuffer& h)
    : data(nullptr), handle(&h), lockedRecord(nullptr) {
    lockedRecord = MapForLock(h.GetRecord(), data, MapVertexBuffer, currentVertexBuffer);
}

CVertexBufferLock::~CVertexBufferLock() { Unlock(); }

void CVertexBufferLock::Unlock() {
    UnmapForUnlock(handle, lockedRecord, data, UnmapVertexBuffer, currentVertexBuffer);
}

CIndexBufferLock::CIndexBufferLock(CIndexBuffer& h) : data(nullptr), handle(&h), lockedRecord(nullptr) {
    lockedRecord = MapForLock(h.GetRecord(), data, MapIndexBuffer, currentIndexBuffer);
}

CIndexBufferLock::~CIndexBufferLock() { Unlock(); }

void CIndexBufferLock::Unlock() {
    UnmapForUnlock(handle, lockedRecord, data, UnmapIndexBuffer, currentIndexBuffer);
}

bool CIndexBufferLock::GetData(void*& out) {
    out = data;
    if (data && handle->GetRecord())
        handle->GetRecord()->locked = true;
    return data != nullptr;
}

void CVertexBuffer::DropAndUnbind(CVertexBuffer& h) {
    const VertexBufferRecord* r = h.GetRecord();
    h.DropRecord();
    if (!r)
        return;
    CAutoLock lock(&RenderLock());
    ForgetVertexBuffer(r);
    UnbindVertexStreams(r);
}

void BindVertexBuffer(const CVertexBuffer& h) {
    BindRecord(h.GetRecord(), currentVertexBuffer, SelectVertexBuffer,
               "BindVertexBuffer()-no buffer to bind");
}

void BindIndexBuffer(const CIndexBuffer& h) {
    BindRecord(h.GetRecord(), currentIndexBuffer, SelectIndexBuffer,
               "BindIndexBuffer()-no buffer to bind");
}
