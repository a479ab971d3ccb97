#include "render/mesh_cache.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/error.h"
#include "core/files.h"
#include "core/random.h"
#include "core/strings.h"
#include "render/backend.h"
#include "render/mesh.h"
#include "render/node.h"

// ---- fields ------------------------------------------------------------------

void WriteU8(std::vector<uint8_t>& out, unsigned v) {
    out.push_back((uint8_t)v);
}

void WriteU16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back((uint8_t)v);
    out.push_back((uint8_t)(v >> 8));
}

void WriteI32(std::vector<uint8_t>& out, int32_t v) {
    uint32_t u = (uint32_t)v;
    for (int i = 0; i < 4; i++)
        out.push_back((uint8_t)(u >> (8 * i)));
}

void WriteF32(std::vector<uint8_t>& out, float v) {
    int32_t i;
    memcpy(&i, &v, 4);
    WriteI32(out, i);
}

bool WriteString(std::vector<uint8_t>& out, const std::string& s) {
    if (s.size() > 255)
        return false;
    out.push_back((uint8_t)s.size());
    out.insert(out.end(), s.begin(), s.end());
    return true;
}

bool ByteReader::Take(void* out, size_t n) {
    if (!ok || n > size - pos) {
        ok = false;
        memset(out, 0, n);
        return false;
    }
    memcpy(out, bytes + pos, n);
    pos += n;
    return true;
}

unsigned ByteReader::U8() {
    uint8_t b[1];
    Take(b, 1);
    return b[0];
}

unsigned ByteReader::U16() {
    uint8_t b[2];
    Take(b, 2);
    return (unsigned)b[0] | ((unsigned)b[1] << 8);
}

int32_t ByteReader::I32() {
    uint8_t b[4];
    Take(b, 4);
    return (int32_t)((uint32_t)b[0] | ((uint32_t)b[1] << 8) | ((uint32_t)b[2] << 16) |
                     ((uint32_t)b[3] << 24));
}

float ByteReader::F32() {
    int32_t i = I32();
    float f;
    memcpy(&f, &i, 4);
    return f;
}

std::string ByteReader::String() {
    unsigned n = U8();
    const uint8_t* p = Span(n);
    return p ? std::string((const char*)p, n) : std::string();
}

const uint8_t* ByteReader::Span(size_t n) {
    if (!ok || n > size - pos) {
        ok = false;
        return nullptr;
    }
    const uint8_t* p = bytes + pos;
    pos += n;
    return p;
}

// ---- mesh record ----------------------------------------------------------------

// "TextureC" in slot 0 and "TextureB" in slot 1 load the kinds the reader
// gives back.
bool MeshCacheKeepsTexture(const CTexture& t, int kind) {
    const TextureRecord* r = t.GetRecord();
    return !r || (r->kind == kind && !r->fileName.empty());
}

bool CMesh::Serialize(std::vector<uint8_t>& out) const {
    if (!record || !WriteString(out, record->name))
        return false;
    // Chunks without both buffers draw nothing and are left out.
    std::vector<MeshChunk*> drawable;
    for (MeshChunk& c : record->chunks) {
        if (!c.vertexBuffer.IsEmpty() && !c.indexBuffer.IsEmpty())
            drawable.push_back(&c);
    }
    if (drawable.empty()) {
        WriteU8(out, 0);
        return false;
    }
    if (drawable.size() > 255)
        return false;
    WriteU8(out, (unsigned)drawable.size());
    for (MeshChunk* c : drawable) {
        // Any other texture would come back as another one: not cached.
        if (!MeshCacheKeepsTexture(c->colourTexture, MeshCacheColourKind) ||
            !MeshCacheKeepsTexture(c->bumpTexture, MeshCacheBumpKind))
            return false;
        const TextureRecord* colour = c->colourTexture.GetRecord();
        const TextureRecord* bump = c->bumpTexture.GetRecord();
        if (!WriteString(out, colour ? colour->fileName : std::string()) ||
            !WriteString(out, bump ? bump->fileName : std::string()))
            return false;
        const VertexBufferRecord& vb = *c->vertexBuffer.GetRecord();
        if (vb.layout.size() * 8 > 255 || vb.vertexCount > 65535 || vb.vertexSize > 255)
            return false;
        WriteU8(out, (unsigned)vb.layout.size() * 8);
        for (const VertexElement& e : vb.layout) {
            WriteI32(out, e.type);
            WriteI32(out, e.usage);
        }
        WriteU16(out, (unsigned)vb.vertexCount);
        WriteU8(out, (unsigned)vb.vertexSize);
        {
            CVertexBufferLock lock(c->vertexBuffer);
            if (!lock.data)
                return false;
            // The cache keeps the game's packed colours whatever the device holds.
            const uint8_t* v = (const uint8_t*)lock.data;
            size_t start = out.size();
            out.insert(out.end(), v, v + (size_t)vb.vertexCount * vb.vertexSize);
            ConvertVertexColours(out.data() + start, vb.vertexCount, vb.vertexSize, vb.layout, ToDeviceColour);
        }
        int indexCount = c->indexBuffer.GetIndexCount();
        if (indexCount > 65535)
            return false;
        WriteU16(out, (unsigned)indexCount);
        CIndexBufferLock lock(c->indexBuffer);
        void* data = nullptr;
        if (!lock.GetData(data))
            return false;
        const uint16_t* in = (const uint16_t*)data;
        for (int i = 0; i < indexCount; i++)
            WriteU16(out, in[i]);
    }
    if (record->collisionPositions.size() > 65535 || record->collisionIndices.size() > 65535)
        return false;
    WriteU16(out, (unsigned)record->collisionPositions.size());
    for (const Vector3& p : record->collisionPositions) {
        WriteF32(out, p.x);
        WriteF32(out, p.y);
        WriteF32(out, p.z);
    }
    WriteU16(out, (unsigned)record->collisionIndices.size());
    for (uint16_t i : record->collisionIndices)
        WriteU16(out, i);
    return true;
}

namespace {

struct ChunkBytes {
    std::string colour, bump;
    VertexLayout layout;
    unsigned vertexCount = 0, vertexSize = 0, indexCount = 0;
    const uint8_t* vertices = nullptr;
    const uint8_t* indices = nullptr;
};

// Reads and checks one chunk; nothing is made yet.
bool ReadChunk(ByteReader& in, ChunkBytes& c) {
    c.colour = in.String();
    c.bump = in.String();
    // Texture names are opened as they stand: none may leave the game's folder.
    for (const std::string* name : {&c.colour, &c.bump}) {
        if (!name->empty() && !IsPathBelowFolder(*name))
            return false;
    }
    unsigned layoutBytes = in.U8();
    if (!in.ok || layoutBytes % 8 != 0)
        return false;
    for (unsigned i = 0; i < layoutBytes / 8; i++) {
        VertexElement e;
        e.type = in.I32();
        e.usage = in.I32();
        if (e.type < VET_FLOAT1 || e.type > VET_COLOUR || e.usage < VU_POSITION ||
            e.usage > VU_TEXCOORD)
            return false;
        c.layout.push_back(e);
    }
    c.vertexCount = in.U16();
    c.vertexSize = in.U8();
    if (!in.ok || (int)c.vertexSize < VertexLayoutSize(c.layout))
        return false;
    c.vertices = in.Span((size_t)c.vertexCount * c.vertexSize);
    c.indexCount = in.U16();
    c.indices = in.Span((size_t)c.indexCount * 2);
    if (!in.ok)
        return false;
    for (unsigned i = 0; i < c.indexCount; i++) {
        unsigned index = (unsigned)c.indices[2 * i] | ((unsigned)c.indices[2 * i + 1] << 8);
        if (index >= c.vertexCount)
            return false;
    }
    return true;
}

bool MakeChunk(const ChunkBytes& b, bool readable, MeshChunk& c) {
    if (!b.colour.empty())
        LoadTextureWithCallbacks(c.colourTexture, b.colour, false, MeshCacheColourKind, true);
    if (!b.bump.empty())
        LoadTextureWithCallbacks(c.bumpTexture, b.bump, false, MeshCacheBumpKind, true);
    if (!CreateVertexBuffer(c.vertexBuffer, (int)b.vertexSize, (int)b.vertexCount, b.layout,
                            false, !readable) ||
        !CreateIndexBuffer(c.indexBuffer, (int)b.indexCount, false, !readable))
        return false;
    {
        CVertexBufferLock lock(c.vertexBuffer);
        if (!lock.data)
            return false;
        memcpy(lock.data, b.vertices, (size_t)b.vertexCount * b.vertexSize);
        ConvertVertexColours(lock.data, (int)b.vertexCount, (int)b.vertexSize, b.layout, ToDeviceColour);
    }
    CIndexBufferLock lock(c.indexBuffer);
    void* data = nullptr;
    if (!lock.GetData(data))
        return false;
    uint16_t* out = (uint16_t*)data;
    for (unsigned i = 0; i < b.indexCount; i++)
        out[i] = (uint16_t)(b.indices[2 * i] | (b.indices[2 * i + 1] << 8));
    return true;
}

}  // namespace

size_t CMesh::Deserialize(const uint8_t* bytes, size_t size, bool readable) {
    if (!record)
        return 0;
    ByteReader in(bytes, size);
    std::string name = in.String();
    unsigned count = in.U8();
    std::vector<ChunkBytes> parts(count);
    for (ChunkBytes& c : parts) {
        if (!ReadChunk(in, c))
            return 0;
    }
    std::vector<Vector3> positions;
    std::vector<uint16_t> indices;
    if (count > 0) {
        positions.resize(in.U16());
        for (Vector3& p : positions) {
            p.x = in.F32();
            p.y = in.F32();
            p.z = in.F32();
        }
        indices.resize(in.U16());
        for (uint16_t& i : indices) {
            i = (uint16_t)in.U16();
            if (i >= positions.size())
                return 0;
        }
    }
    if (!in.ok)
        return 0;
    std::vector<MeshChunk> chunks(count);
    for (unsigned i = 0; i < count; i++) {
        if (!MakeChunk(parts[i], readable, chunks[i]))
            return 0;
    }
    record->name = name;
    record->chunks.swap(chunks);
    record->collisionPositions.swap(positions);
    record->collisionIndices.swap(indices);
    return in.pos;
}

// ---- whole file -------------------------------------------------------------------

std::string MeshCachePath(const std::string& meshPath) {
    std::string stem = StripExtension(meshPath);
    return IsPathBelowFolder(stem) ? "gen\\" + stem + ".bmbm" : std::string();
}

float ReadMeshCacheId(const std::string& cachePath, bool* cut) {
    FILE* f = OpenFile(cachePath, "rb");
    uint8_t b[4];
    if (f) {
        size_t n = fread(b, 1, 4, f);
        fclose(f);
        if (n == 4) {
            ByteReader in(b, 4);
            return in.F32();
        }
        if (cut)
            *cut = true;
    }
    return -((float)GameRand() / (float)GameRandMax);
}

bool WriteMeshCacheNode(std::vector<uint8_t>& out, const CNode* node) {
    if (!node)
        return true;
    for (const CNode* child : node->children) {
        if (!WriteMeshCacheNode(out, child))
            return false;
    }
    if (node->mesh.GetChunkCount() > 0) {
        WriteU8(out, 1);
        if (!node->mesh.Serialize(out))
            return false;
    }
    WriteU8(out, 2);
    return node->WriteToBytes(out);
}

bool BuildMeshCacheBytes(const MeshLoadResult& result, std::vector<uint8_t>& out) {
    out.clear();
    WriteF32(out, result.cacheId);
    if (!WriteMeshCacheNode(out, result.root))
        return false;
    WriteU8(out, 0);
    return true;
}

bool WriteMeshCache(const std::string& cachePath, const MeshLoadResult& result) {
    std::vector<uint8_t> bytes;
    if (!BuildMeshCacheBytes(result, bytes)) {
        ReportError("Error", "WriteMeshCache()-model does not fit the cache (a field too wide, or a "
                             "texture it would give back as another kind): " + cachePath);
        // Nor is an older file of the name kept: a damaged one would be
        // refused, and reported, at every load.
        std::remove(NativePath(cachePath).c_str());
        return false;
    }
    CreateDirectoryPath(cachePath);
    FILE* f = OpenFile(cachePath, "wb");
    if (!f) {
        ReportError("Error", "WriteMeshCache()-cannot open " + cachePath);
        return false;
    }
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = fclose(f) == 0 && ok;
    return ok;
}

bool LoadMeshCache(const std::string& cachePath, bool readable, MeshLoadResult& result) {
    // Read as raw bytes: the cache is full of zero bytes.
    FILE* f = OpenFile(cachePath, "rb");
    if (!f)
        return false;
    // Sized once from the file's length, then filled in 2048-byte blocks.
    std::vector<uint8_t> bytes;
    if (fseek(f, 0, SEEK_END) == 0) {
        long length = ftell(f);
        if (length > 0)
            bytes.reserve((size_t)length + 2048);
        fseek(f, 0, SEEK_SET);
    }
    size_t n;
    do {
        size_t at = bytes.size();
        bytes.resize(at + 2048);
        n = fread(bytes.data() + at, 1, 2048, f);
        bytes.resize(at + n);
    } while (n > 0);
    fclose(f);
    if (bytes.size() < 4)
        return false;
    return ReadMeshCacheRecords(bytes.data() + 4, bytes.size() - 4, readable, result);
}

namespace {

// A node read from the cache: the root of a subtree until it is attached.
struct ReadNode {
    CNode* node;
    int height;       // of its subtree
    int nextOfName;   // the next unattached node of the same name, or -1
    bool attached;
};

// The unattached nodes of each name, oldest first, as a chain through
// nextOfName. Open addressing over flat slots: a cache of many thousand
// nodes is read without a heap block per name.
class NameQueues {
public:
    NameQueues() : slots(64), used(0) {}

    // The oldest unattached node of the name, taken off its queue; -1 when none.
    int Take(const std::string& name, std::vector<ReadNode>& nodes) {
        Slot& s = Find(name, Hash(name), nodes);
        if (s.head < 0)
            return -1;
        int taken = s.head;
        s.head = nodes[(size_t)taken].nextOfName;
        if (s.head < 0)
            s.tail = -1;
        return taken;
    }
    // Puts a node (already in nodes) at the end of its name's queue.
    void Append(int index, std::vector<ReadNode>& nodes) {
        if (4 * (used + 1) > 3 * slots.size())
            Grow();
        const std::string& name = nodes[(size_t)index].node->name;
        Slot& s = Find(name, Hash(name), nodes);
        if (s.named < 0) {
            s.named = index;
            used++;
        }
        if (s.tail >= 0)
            nodes[(size_t)s.tail].nextOfName = index;
        else
            s.head = index;
        s.tail = index;
    }

private:
    // Small slots, so the table of a large tree stays in the cache.
    struct Slot {
        uint32_t hash = 0;
        int32_t named = -1;   // a node bearing the name; -1 for a free slot
        int32_t head = -1, tail = -1;
    };

    static uint32_t Hash(const std::string& name) {
        uint32_t h = 2166136261u;   // FNV-1a
        for (char c : name)
            h = (h ^ (uint8_t)c) * 16777619u;
        return h;
    }
    // The name's slot, or the free slot where it belongs (hash set).
    Slot& Find(const std::string& name, uint32_t hash, const std::vector<ReadNode>& nodes) {
        size_t mask = slots.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot& s = slots[i];
            if (s.named < 0) {
                s.hash = hash;
                return s;
            }
            if (s.hash == hash && nodes[(size_t)s.named].node->name == name)
                return s;
        }
    }
    void Grow() {
        std::vector<Slot> old(slots.size() * 2);
        old.swap(slots);
        size_t mask = slots.size() - 1;
        for (const Slot& s : old) {
            if (s.named < 0)
                continue;
            size_t i = s.hash & mask;
            while (slots[i].named >= 0)
                i = (i + 1) & mask;
            slots[i] = s;
        }
    }

    std::vector<Slot> slots;
    size_t used;
};

}  // namespace

bool ReadMeshCacheRecords(const uint8_t* bytes, size_t size, bool readable,
                          MeshLoadResult& result) {
    // Every node read, in order; deleting the unattached ones frees everything.
    std::vector<ReadNode> nodes;
    int unattached = 0;
    struct Guard {
        std::vector<ReadNode>& nodes;
        ~Guard() {
            for (ReadNode& n : nodes)
                if (!n.attached)
                    delete n.node;
        }
    } guard{nodes};
    NameQueues byName;
    std::unique_ptr<CMesh> held;
    std::vector<std::string> childNames;
    size_t pos = 0;
    for (;;) {
        if (pos >= size)
            return false;   // cut short before the end byte
        uint8_t tag = bytes[pos++];
        if (tag == 0)
            break;
        if (tag == 1) {
            held.reset(new CMesh);
            size_t used = held->Deserialize(bytes + pos, size - pos, readable);
            if (used == 0)
                return false;
            pos += used;
        } else if (tag == 2) {
            std::unique_ptr<CNode> made(new CNode);
            childNames.clear();
            size_t used = made->ReadFromBytes(bytes + pos, size - pos, childNames);
            if (used == 0)
                return false;
            pos += used;
            if (held && held->GetName() == made->mesh.GetName()) {
                made->mesh = *held;
                held.reset();
            }
            // Each child is the oldest unattached node of its name.
            int height = 1;
            for (const std::string& childName : childNames) {
                int taken = byName.Take(childName, nodes);
                if (taken < 0 || nodes[(size_t)taken].height >= MaxNodeDepth)
                    return false;
                ReadNode& child = nodes[(size_t)taken];
                height = std::max(height, child.height + 1);
                child.attached = true;
                unattached--;
                child.node->AttachTo(false, made.get(), true);
            }
            nodes.push_back(ReadNode{made.release(), height, -1, false});
            unattached++;
            byName.Append((int)nodes.size() - 1, nodes);
        } else {
            return false;
        }
    }
    if (unattached > 1)
        return false;
    result.root = nullptr;
    for (ReadNode& n : nodes) {
        if (!n.attached) {
            result.root = n.node;
            n.attached = true;   // handed over
        }
    }
    return true;
}
