// Vertex and index buffers as Direct3D 9 buffers, vertex declarations built
// from layouts, and the draws over the bound buffers.
//
// Every buffer lives in the managed pool, dynamic ones too: the device
// refuses a reset while any default-pool resource exists, and the game
// rewrites its dynamic buffers whole, so nothing is lost by it.
#include <vector>

#include "core/error.h"
#include "core/lock.h"
#include "render/backend.h"
#include "render/backend_shared.h"
#include "render/d3d9/d3d_local.h"
#include "render/device_choices.h"
#include "render/render_setup.h"

struct VertexBufferObject {
    IDirect3DVertexBuffer9* buffer = nullptr;   // null for an empty buffer
    IDirect3DVertexDeclaration9* declaration = nullptr;   // owned by the cache
    bool mapped = false;
};

struct IndexBufferObject {
    IDirect3DIndexBuffer9* buffer = nullptr;
    bool mapped = false;
};

struct DeclarationEntry {
    VertexLayout layout;
    IDirect3DVertexDeclaration9* declaration;
};

static std::vector<DeclarationEntry> declarations;

// The records whose buffers were last set on streams 0 to 7 (only compared:
// the record may be gone).
static const VertexBufferRecord* streamSources[8];

// Managed buffers survive a reset by themselves: their callbacks do nothing.
static void KeepBuffersOverLoss() {}

// Once per run for each kind of buffer; the declarations, which vertex
// buffers and the immediate mode share, go with the shutdown list.
static void RegisterBufferCallbacks(bool vertexBuffers) {
    static bool registered[2] = {false, false};
    if (registered[vertexBuffers])
        return;
    registered[vertexBuffers] = true;
    RegisterDeviceLostCallback(KeepBuffersOverLoss);
    RegisterDeviceResetCallback(KeepBuffersOverLoss);
    if (vertexBuffers)
        RegisterShutdownCallback(ReleaseVertexDeclarations);
}

IDirect3DVertexDeclaration9* FindVertexDeclaration(const VertexLayout& layout) {
    RegisterBufferCallbacks(true);
    for (const DeclarationEntry& e : declarations)
        if (VertexLayoutsEqual(e.layout, layout))
            return e.declaration;
    std::vector<DeclElement> elements;
    int stride = 0;
    if (!d3dDevice || !BuildDeclElements(layout, elements, stride)) {
        ReportError("Error", "CreateVertexDeclaration()-layout has no Direct3D form");
        return nullptr;
    }
    std::vector<D3DVERTEXELEMENT9> d3dElements;
    for (const DeclElement& e : elements)
        d3dElements.push_back(D3DVERTEXELEMENT9{0, WORD(e.offset), BYTE(e.type), D3DDECLMETHOD_DEFAULT,
                                                BYTE(e.usage), BYTE(e.usageIndex)});
    d3dElements.push_back(D3DVERTEXELEMENT9(D3DDECL_END()));
    IDirect3DVertexDeclaration9* declaration = nullptr;
    HRESULT hr = d3dDevice->CreateVertexDeclaration(d3dElements.data(), &declaration);
    if (FAILED(hr)) {
        ReportD3DFailure("CreateVertexDeclaration()", hr);
        return nullptr;
    }
    declarations.push_back(DeclarationEntry{layout, declaration});
    return declaration;
}

void ReleaseVertexDeclarations() {
    CAutoLock lock(&RenderLock());
    for (DeclarationEntry& e : declarations)
        e.declaration->Release();
    declarations.clear();
}

int VertexDeclarationCount() { return int(declarations.size()); }

// Buffers still held when the device goes keep their records, emptied.
void ReleaseAllDeviceBuffers() {
    for (ResourceRecord* record : VertexBufferRegistry()) {
        VertexBufferObject* o = static_cast<VertexBufferRecord*>(record)->object;
        if (o && o->buffer) {
            o->buffer->Release();
            o->buffer = nullptr;
        }
    }
    for (ResourceRecord* record : IndexBufferRegistry()) {
        IndexBufferObject* o = static_cast<IndexBufferRecord*>(record)->object;
        if (o && o->buffer) {
            o->buffer->Release();
            o->buffer = nullptr;
        }
    }
    ForgetDeviceBindings();
}

void ForgetDeviceBindings() {
    for (const VertexBufferRecord*& source : streamSources)
        source = nullptr;
    SetCurrentVertexBuffer(nullptr);
    SetCurrentIndexBuffer(nullptr);
}

const VertexBufferRecord* GetStreamSourceRecord(int stream) {
    return stream >= 0 && stream < 8 ? streamSources[stream] : nullptr;
}

static DWORD Usage(bool writeOnly) { return writeOnly ? D3DUSAGE_WRITEONLY : 0; }

bool CreateVertexBuffer(CVertexBuffer& h, int vertexSize, int vertexCount, const VertexLayout& layout,
                        bool dynamic, bool writeOnly) {
    RegisterBufferCallbacks(true);
    CAutoLock lock(&RenderLock());
    CVertexBuffer::DropAndUnbind(h);
    size_t bytes = 0;
    if (!d3dDevice || !CheckVertexBufferSize(vertexSize, vertexCount, bytes))
        return false;
    IDirect3DVertexDeclaration9* declaration = FindVertexDeclaration(layout);
    if (!declaration)
        return false;
    IDirect3DVertexBuffer9* buffer = nullptr;
    if (bytes > 0) {
        HRESULT hr = d3dDevice->CreateVertexBuffer(UINT(bytes), Usage(writeOnly), 0, D3DPOOL_MANAGED, &buffer,
                                                   nullptr);
        if (FAILED(hr))
            return ReportD3DFailure("Error making Vertex Buffer", hr);
    }
    VertexBufferRecord* r = NewVertexBufferRecord(h, vertexSize, vertexCount, layout, dynamic, writeOnly);
    r->object = new VertexBufferObject;
    r->object->buffer = buffer;
    r->object->declaration = declaration;
    return true;
}

bool CreateIndexBuffer(CIndexBuffer& h, int indexCount, bool dynamic, bool writeOnly) {
    RegisterBufferCallbacks(false);
    CAutoLock lock(&RenderLock());
    h.DropRecord();
    if (!d3dDevice || !CheckIndexBufferCount(indexCount))
        return false;
    IDirect3DIndexBuffer9* buffer = nullptr;
    if (indexCount > 0) {
        HRESULT hr = d3dDevice->CreateIndexBuffer(UINT(indexCount) * 2, Usage(writeOnly), D3DFMT_INDEX16,
                                                  D3DPOOL_MANAGED, &buffer, nullptr);
        if (FAILED(hr))
            return ReportD3DFailure("Error making Index Buffer", hr);
    }
    IndexBufferRecord* r = NewIndexBufferRecord(h, indexCount, dynamic, writeOnly);
    r->object = new IndexBufferObject;
    r->object->buffer = buffer;
    return true;
}

template <class Object>
static void DeleteBuffer(Object*& object) {
    if (!object)
        return;
    if (object->buffer)
        object->buffer->Release();
    delete object;
    object = nullptr;
}

void CVertexBuffer::Release() {
    CAutoLock lock(&RenderLock());
    ForgetVertexBuffer(record);
    DeleteBuffer(record->object);
}

void CIndexBuffer::Release() {
    CAutoLock lock(&RenderLock());
    ForgetIndexBuffer(record);
    DeleteBuffer(record->object);
}

// Managed buffers are locked whole without DISCARD (which only the default
// pool takes).
template <class Object>
static bool Map(Object* object, void*& data) {
    if (object->mapped)
        return false;
    data = nullptr;
    if (object->buffer) {
        HRESULT hr = object->buffer->Lock(0, 0, &data, 0);
        if (FAILED(hr)) {
            data = nullptr;
            return ReportD3DFailure("Lock()", hr);
        }
    }
    object->mapped = true;
    return true;
}

template <class Object>
static void Unmap(Object* object) {
    if (object->buffer)
        object->buffer->Unlock();
    object->mapped = false;
}

// A lock that handed out data marks the buffer as filled (its locked flag).
bool MapVertexBuffer(VertexBufferRecord* r, void*& data) {
    if (!Map(r->object, data))
        return false;
    if (data)
        r->locked = true;
    return true;
}

void UnmapVertexBuffer(VertexBufferRecord* r) { Unmap(r->object); }
bool MapIndexBuffer(IndexBufferRecord* r, void*& data) { return Map(r->object, data); }
void UnmapIndexBuffer(IndexBufferRecord* r) { Unmap(r->object); }

// A buffer never filled through a lock draws whatever the driver gave it:
// reported, and bound all the same.
void SelectVertexBuffer(const VertexBufferRecord* r) {
    if (!r->locked)
        ReportError("Error", "BindVertexBuffer()-buffer was never filled through a lock");
    if (!d3dDevice)
        return;
    d3dDevice->SetStreamSource(0, r->object->buffer, 0, UINT(r->vertexSize));
    d3dDevice->SetVertexDeclaration(r->object->declaration);
    streamSources[0] = r;
}

void UnbindVertexStreams(const VertexBufferRecord* r) {
    for (UINT stream = 0; stream < 8; stream++) {
        if (streamSources[stream] != r)
            continue;
        if (d3dDevice)
            d3dDevice->SetStreamSource(stream, nullptr, 0, 0);
        streamSources[stream] = nullptr;
    }
}

void SelectIndexBuffer(const IndexBufferRecord* r) {
    if (d3dDevice)
        d3dDevice->SetIndices(r->object->buffer);
}

void UnbindVertexBuffer() {
    if (d3dDevice)
        d3dDevice->SetStreamSource(0, nullptr, 0, 0);
    streamSources[0] = nullptr;
    SetCurrentVertexBuffer(nullptr);
}

void UnbindIndexBuffer() {
    if (d3dDevice)
        d3dDevice->SetIndices(nullptr);
    SetCurrentIndexBuffer(nullptr);
}

// ---- draws over the bound buffers ----

static bool CanDraw() {
    const VertexBufferRecord* r = GetCurrentVertexBuffer();
    if (!DeviceUsable() || !r || !r->object || !r->object->buffer || r->object->mapped) {
        ReportError("Error", "Draw()-no vertex buffer to draw from");
        return false;
    }
    return true;
}

void DrawPoints(int count) {
    if (CanDraw() && count > 0)
        d3dDevice->DrawPrimitive(D3DPT_POINTLIST, 0, UINT(count));
}

void DrawLines(int lineCount) {
    if (CanDraw() && lineCount > 0)
        d3dDevice->DrawPrimitive(D3DPT_LINELIST, 0, UINT(lineCount));
}

void DrawTriangles(int firstVertex, int triangleCount) {
    if (CanDraw() && triangleCount > 0)
        d3dDevice->DrawPrimitive(D3DPT_TRIANGLELIST, UINT(firstVertex), UINT(triangleCount));
}

void DrawIndexedTriangles(int triangleCount) {
    const IndexBufferRecord* indices = GetCurrentIndexBuffer();
    if (!CanDraw() || triangleCount <= 0 || !indices || !indices->object || !indices->object->buffer)
        return;
    d3dDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, UINT(GetCurrentVertexBuffer()->vertexCount), 0,
                                    UINT(triangleCount));
}
