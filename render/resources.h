// Vertex buffers, index buffers and textures: the shared records behind their
// handles and the back-end operations on them. The graphics object each record
// points at is the back-end's own (an OpenGL name, Direct3D interfaces, or
// CPU memory in the headless build).
#ifndef RENDER_RESOURCES_H
#define RENDER_RESOURCES_H

#include <cstdint>
#include <string>
#include <vector>

#include "render/handles.h"

// ---- vertex layouts -----------------------------------------------------------

// Values equal Direct3D's declaration types FLOAT1..FLOAT4 and D3DCOLOR.
enum VertexElementType {
    VET_FLOAT1 = 0,
    VET_FLOAT2 = 1,
    VET_FLOAT3 = 2,
    VET_FLOAT4 = 3,
    VET_COLOUR = 4   // four unsigned bytes
};

enum VertexUsage {
    VU_POSITION = 0,
    VU_NORMAL = 1,
    VU_COLOUR = 2,
    VU_TEXCOORD = 3
};

struct VertexElement {
    int32_t type;    // VertexElementType
    int32_t usage;   // VertexUsage
};

// Elements follow each other without gaps.
typedef std::vector<VertexElement> VertexLayout;

int VertexElementSize(int type);                 // 0 for an unknown type
int VertexLayoutSize(const VertexLayout& layout);
bool VertexLayoutsEqual(const VertexLayout& a, const VertexLayout& b);
// Applies convert to every colour element of count vertices of size bytes
// laid out as layout; elements that would reach past a vertex are left alone.
void ConvertVertexColours(void* vertices, int count, int size, const VertexLayout& layout,
                          uint32_t (*convert)(uint32_t));
// Text vertices: Float2 position, Colour, Float2 texture coordinate.
VertexLayout MakeTextVertexLayout();

// ---- records -------------------------------------------------------------------

struct VertexBufferObject;   // defined by the back-end
struct IndexBufferObject;
struct TextureObject;

struct VertexBufferRecord : ResourceRecord {
    int32_t vertexCount = 0;
    int32_t vertexSize = 0;      // stride in bytes
    VertexLayout layout;
    bool dynamic = false;
    bool writeOnly = true;
    bool locked = false;
    VertexBufferObject* object = nullptr;
};

struct IndexBufferRecord : ResourceRecord {
    int32_t indexCount = 0;      // 16-bit indices
    bool dynamic = false;
    bool writeOnly = true;
    bool locked = false;
    IndexBufferObject* object = nullptr;
};

struct TextureRecord : ResourceRecord {
    int32_t kind = 0;            // as loaded; made textures 3 (Direct3D: 2 or 3, as asked)
    std::string fileName;        // empty for made textures: never shared
    int32_t width = 0;           // as asked
    int32_t height = 0;
    int32_t textureWidth = 0;    // as made
    int32_t textureHeight = 0;
    int32_t depth = 1;
    bool mipmap = false;
    TextureObject* object = nullptr;
};

// ---- handles -------------------------------------------------------------------

class CVertexBuffer : public TResourceHandle<VertexBufferRecord> {
public:
    CVertexBuffer() {}
    CVertexBuffer(const CVertexBuffer&) = default;
    CVertexBuffer& operator=(const CVertexBuffer&) = default;
    ~CVertexBuffer() override { DropRecord(); }
    void Release() override;
    // Drops h's record, then unbinds it wherever it is still bound (the
    // current buffer, Direct3D's stream sources), so the device lets go too.
    static void DropAndUnbind(CVertexBuffer& h);

    int GetVertexCount() const { return record ? record->vertexCount : 0; }
    int GetVertexSize() const { return record ? record->vertexSize : 0; }
};

class CIndexBuffer : public TResourceHandle<IndexBufferRecord> {
public:
    CIndexBuffer() {}
    CIndexBuffer(const CIndexBuffer&) = default;
    CIndexBuffer& operator=(const CIndexBuffer&) = default;
    ~CIndexBuffer() override { DropRecord(); }
    void Release() override;

    int GetIndexCount() const { return record ? record->indexCount : 0; }
};

class CTexture : public TResourceHandle<TextureRecord> {
public:
    CTexture() {}
    CTexture(const CTexture&) = default;
    CTexture& operator=(const CTexture&) = default;
    ~CTexture() override { DropRecord(); }
    void Release() override;

    int GetWidth() const { return record ? record->textureWidth : 0; }
    int GetHeight() const { return record ? record->textureHeight : 0; }
    int GetDepth() const { return record ? record->depth : 0; }
};

// Back to the reset state (counts 0, empty layout and name, not dynamic,
// write-only, not locked, made as kind 0). The back-end object is forgotten,
// not freed: release it first.
void ResetVertexBufferRecord(VertexBufferRecord& record);
void ResetIndexBufferRecord(IndexBufferRecord& record);
void ResetTextureRecord(TextureRecord& record);

inline RecordList& VertexBufferRegistry() { return RecordRegistry<VertexBufferRecord>(); }
inline RecordList& IndexBufferRegistry() { return RecordRegistry<IndexBufferRecord>(); }
inline RecordList& TextureRegistry() { return RecordRegistry<TextureRecord>(); }

// Newest live texture whose non-empty name equals name, ignoring ASCII case.
TextureRecord* FindTextureRecord(const std::string& name);

// ---- buffers -------------------------------------------------------------------

// Both drop the handle's record first, so a failed create leaves it empty.
// vertexSize x vertexCount must fit the back-end's size limit.
bool CreateVertexBuffer(CVertexBuffer& h, int vertexSize, int vertexCount,
                        const VertexLayout& layout, bool dynamic, bool writeOnly);
// Indices are 16-bit: counts outside 0..65535 are refused, not truncated.
bool CreateIndexBuffer(CIndexBuffer& h, int indexCount, bool dynamic, bool writeOnly);

// Maps the buffer for the CPU; data is null when the handle is empty or the
// map failed. Unlocks in the destructor if still mapped.
class CVertexBufferLock {
public:
    explicit CVertexBufferLock(CVertexBuffer& h);
    ~CVertexBufferLock();
    void Unlock();

    void* data;

private:
    CVertexBufferLock(const CVertexBufferLock&) = delete;
    CVertexBufferLock& operator=(const CVertexBufferLock&) = delete;

    CVertexBuffer* handle;
    VertexBufferRecord* lockedRecord;
};

class CIndexBufferLock {
public:
    explicit CIndexBufferLock(CIndexBuffer& h);
    ~CIndexBufferLock();
    void Unlock();
    bool GetData(void*& out);

    void* data;

private:
    CIndexBufferLock(const CIndexBufferLock&) = delete;
    CIndexBufferLock& operator=(const CIndexBufferLock&) = delete;

    CIndexBuffer* handle;
    IndexBufferRecord* lockedRecord;
};

// Binding the buffer already current does nothing; the cache is keyed on the
// record and forgotten when that record is released.
void BindVertexBuffer(const CVertexBuffer& h);
void BindIndexBuffer(const CIndexBuffer& h);
void UnbindVertexBuffer();
void UnbindIndexBuffer();
const VertexBufferRecord* GetCurrentVertexBuffer();
const IndexBufferRecord* GetCurrentIndexBuffer();

// ---- textures ------------------------------------------------------------------

// Width, height and depth must be powers of two; depth > 1 needs 3D textures.
bool CreateTexture(CTexture& h, int width, int height, int depth, bool mipmap);
// Kinds: 1 plain image, 5 bump map (made a normal map by Direct3D); 0 fails.
// Shared by file name (ignoring case) and kind with any live texture of both.
// "t3d" names are slice lists for 3D textures. filtered is read by Direct3D only.
bool LoadTexture(CTexture& h, const std::string& fileName, bool colourKey, int kind,
                 bool mipmap, bool filtered = true);
// LoadTexture after registering the back-end's device-loss callbacks for
// its textures (Direct3D's pair; nothing in the other back-ends).
bool LoadTextureWithCallbacks(CTexture& h, const std::string& fileName, bool colourKey, int kind,
                              bool mipmap, bool filtered = true);
// Colour-keyed, kind 1, no mipmaps, S and T clamped.
bool LoadTextureClamped(CTexture& h, const std::string& fileName);
bool LoadVolumeTexture(CTexture& h, const std::string& listFile);

// The CPU copy of the pixels: 32-bit, blue in the lowest byte, then green,
// red, alpha. With writeBack, Unlock uploads the copy. Unlock is idempotent
// and runs in the destructor.
class CTextureLock {
public:
    CTextureLock(CTexture& h, bool writeBack);
    ~CTextureLock();
    void Unlock();
    bool GetData(void*& out, int& pitch, int& sliceSize, int& bitsPerPixel, int& width,
                 int& height, int& depth);

private:
    CTextureLock(const CTextureLock&) = delete;
    CTextureLock& operator=(const CTextureLock&) = delete;

    void* data;
    int pitch;
    int sliceSize;
    int bitsPerPixel;
    bool writeBack;
    CTexture* handle;
    TextureRecord* lockedRecord;
};

void BindTexture(const CTexture& h, int unit);
void UnbindTexture(int unit);
void SetTextureWrap(CTexture& h, bool repeatS, bool repeatT, bool repeatR);
// Modes 2 and 3 linear, others nearest.
void SetTextureFilter(int mode, CTexture& h);
// No texture on unit 0 (2D and 3D texturing off).
void DisableTexturing();

#endif
