#include "render/mesh_file.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <unordered_map>

#include "core/error.h"
#include "core/files.h"
#include "core/strings.h"
#include "core/value.h"
#include "render/backend.h"
#include "render/mesh.h"
#include "render/node.h"

// ---- token reader --------------------------------------------------------------

MeshTokenReader::MeshTokenReader(std::istream& stream) : error(false), in(stream), ended(false) {}

std::string MeshTokenReader::NextToken() {
    if (!held.empty()) {
        std::string token;
        token.swap(held);
        return token;
    }
    std::string token;
    if (!(in >> token) || token.empty()) {
        ended = true;
        token.clear();
    }
    return token;
}

int MeshTokenReader::ReadInt() {
    return CValue(NextToken()).AsInt();
}

float MeshTokenReader::ReadFloat() {
    return CValue(NextToken()).AsFloat();
}

Vector3 MeshTokenReader::ReadVector3() {
    Vector3 v;
    v.x = ReadFloat();
    v.y = ReadFloat();
    v.z = ReadFloat();
    return v;
}

Matrix3 MeshTokenReader::ReadMatrix3() {
    Matrix3 m;
    for (float& f : m.m)
        f = ReadFloat();
    return m;
}

bool MeshTokenReader::SkipToken() {
    NextToken();
    return true;
}

bool MeshTokenReader::SkipBlock() {
    int depth = 0;
    for (;;) {
        std::string token = NextToken();
        if (token.empty()) {
            error = true;   // cut short before the balancing brace
            return false;
        }
        if (token == "{") {
            depth++;
        } else if (token == "}") {
            if (depth == 0) {
                error = true;
                return false;
            }
            if (--depth == 0)
                return true;
        }
    }
}

void MeshTokenReader::SkipToBrace() {
    for (;;) {
        std::string token = NextToken();
        if (token.empty() || token == "{" || token == "}")
            return;
    }
}

const std::string& MeshTokenReader::PeekToken() {
    if (held.empty())
        held = NextToken();
    return held;
}

bool MeshTokenReader::PeekBrace() {
    const std::string& token = PeekToken();
    return token == "{" || token == "}";
}

bool MeshTokenReader::AtEnd() const {
    return held.empty() && (ended || in.eof());
}

// ---- parser ------------------------------------------------------------------------

namespace {

struct BoneEntry {
    bool attached = false;
    CNode* node = nullptr;
    std::vector<std::string> childNames;
    std::string meshName;
};

struct VertexFormat {
    const char* keyword;
    int size;
    int numbers;   // per vertex in the text
    VertexLayout layout;
};

const VertexFormat* FindVertexFormat(const std::string& keyword) {
    static const VertexFormat formats[] = {
        {"PNT2", 32, 8, {{VET_FLOAT3, VU_POSITION}, {VET_FLOAT3, VU_NORMAL}, {VET_FLOAT2, VU_TEXCOORD}}},
        {"PNC", 28, 10, {{VET_FLOAT3, VU_POSITION}, {VET_FLOAT3, VU_NORMAL}, {VET_COLOUR, VU_COLOUR}}},
    };
    for (const VertexFormat& f : formats) {
        if (keyword == f.keyword)
            return &f;
    }
    return nullptr;
}

class MeshTextParser {
public:
    MeshTextParser(MeshTokenReader& reader, const std::string& folder)
        : r(reader), folder(folder) {}
    // Whatever was not handed out is freed: every bone without a parent
    // takes its owned subtree with it.
    ~MeshTextParser() {
        std::vector<CNode*> roots;
        for (BoneEntry& b : bones) {
            if (b.node && !b.node->parent)
                roots.push_back(b.node);
        }
        for (CNode* n : roots)
            delete n;
    }

    bool Parse(bool weld, MeshLoadResult& result);

private:
    template <class Field>
    bool ReadFields(Field field);
    std::string ReadValueToken();
    bool ReadMesh();
    bool ReadChunk(MeshChunk& chunk);
    void ReadTexture(MeshChunk& chunk, int kind);
    void ReadIndices(MeshChunk& chunk);
    void ReadVertices(MeshChunk& chunk);
    void CheckIndices(MeshChunk& chunk);
    bool ReadBone();
    bool Link(CNode*& root);
    bool ShareMeshes();

    MeshTokenReader& r;
    std::string folder;
    std::vector<BoneEntry> bones;
    std::vector<CMesh> meshes;
};

// A group's fields up to its closing brace. Stops at the end of the input or
// on the error flag, so a cut file fails instead of spinning.
template <class Field>
bool MeshTextParser::ReadFields(Field field) {
    r.SkipToken();   // "{"
    for (;;) {
        if (r.error)
            return false;
        if (r.AtEnd()) {
            r.error = true;
            return false;
        }
        if (r.PeekBrace()) {
            r.SkipToken();
            return true;
        }
        field(r.ReadToken());
    }
}

std::string MeshTextParser::ReadValueToken() {
    r.SkipToken();
    std::string value = r.ReadToken();
    r.SkipToken();
    return value;
}

bool MeshTextParser::ReadMesh() {
    meshes.push_back(CMesh());
    CMesh& mesh = meshes.back();
    return ReadFields([&](const std::string& key) {
        if (key == "Name") {
            mesh.GetRecord()->name = ReadValueToken();
        } else if (key == "Chunk") {
            mesh.GetRecord()->chunks.push_back(MeshChunk());
            ReadChunk(mesh.GetRecord()->chunks.back());
        } else {
            r.SkipBlock();
        }
    });
}

bool MeshTextParser::ReadChunk(MeshChunk& chunk) {
    bool ok = ReadFields([&](const std::string& key) {
        if (key == "TextureC")
            ReadTexture(chunk, 1);
        else if (key == "TextureB")
            ReadTexture(chunk, 5);
        else if (key == "Indices")
            ReadIndices(chunk);
        else if (key == "Vertices")
            ReadVertices(chunk);
        else
            r.SkipBlock();
    });
    CheckIndices(chunk);
    return ok;
}

// The keyword picks the kind, the slot the place.
void MeshTextParser::ReadTexture(MeshChunk& chunk, int kind) {
    r.SkipToken();
    int slot = r.ReadInt();
    std::string file = r.ReadToken();
    r.SkipToken();
    // Named from the model's folder, and never outside it.
    if (!file.empty() && !IsPathBelowFolder(file)) {
        ReportError("Error", "LoadMeshFile()-texture " + file +
                                 " lies outside the model's folder, not loaded");
        return;
    }
    if (slot == 0)
        LoadTextureWithCallbacks(chunk.colourTexture, folder + file, false, kind, true);
    else if (slot == 1)
        LoadTextureWithCallbacks(chunk.bumpTexture, folder + file, false, kind, true);
}

void MeshTextParser::ReadIndices(MeshChunk& chunk) {
    r.SkipToken();
    int count = r.ReadInt();
    // 16-bit indices: a larger count cannot be held, nor addressed.
    if (count < 0 || count > 65535 || !CreateIndexBuffer(chunk.indexBuffer, count, false, false)) {
        ReportError("Error", "LoadMeshFile()-bad index count " + IntToString(count));
        chunk.indexBuffer.DropRecord();
        r.SkipToBrace();
        return;
    }
    CIndexBufferLock lock(chunk.indexBuffer);
    void* data = nullptr;
    if (!lock.GetData(data)) {
        lock.Unlock();
        chunk.indexBuffer.DropRecord();
        r.SkipToBrace();
        return;
    }
    uint16_t* out = (uint16_t*)data;
    bool fits = true;
    for (int i = 0; i < count && !r.AtEnd(); i++) {
        int v = r.ReadInt();
        if (v < 0 || v > 65535)
            fits = false;
        out[i] = (uint16_t)v;
    }
    lock.Unlock();
    if (!fits) {
        ReportError("Error", "LoadMeshFile()-index does not fit 16 bits");
        chunk.indexBuffer.DropRecord();
    }
    r.SkipToken();
}

void MeshTextParser::ReadVertices(MeshChunk& chunk) {
    r.SkipToken();
    const VertexFormat* format = FindVertexFormat(r.ReadToken());
    int count = r.ReadInt();
    if (!format || count < 0 || count > 65535 ||
        !CreateVertexBuffer(chunk.vertexBuffer, format->size, count, format->layout, false, false)) {
        ReportError("Error", "LoadMeshFile()-bad vertex format or count");
        chunk.vertexBuffer.DropRecord();
        r.SkipToBrace();
        return;
    }
    CVertexBufferLock lock(chunk.vertexBuffer);
    if (!lock.data) {
        lock.Unlock();
        chunk.vertexBuffer.DropRecord();
        r.SkipToBrace();
        return;
    }
    uint8_t* out = (uint8_t*)lock.data;
    for (int i = 0; i < count && !r.AtEnd(); i++) {
        float v[10];
        for (int k = 0; k < format->numbers; k++)
            v[k] = r.ReadFloat();
        uint8_t* vertex = out + (size_t)i * format->size;
        if (format->numbers == 8) {
            memcpy(vertex, v, 32);
        } else {
            uint32_t colour = ToDeviceColour(PackColour(v[6], v[7], v[8], v[9]));
            memcpy(vertex, v, 24);
            memcpy(vertex + 24, &colour, 4);
        }
    }
    lock.Unlock();
    r.SkipToken();
}

// An index past the vertices would be read past the buffer by the GPU and
// by the collision code: such a chunk loses its index buffer.
void MeshTextParser::CheckIndices(MeshChunk& chunk) {
    if (chunk.indexBuffer.IsEmpty())
        return;
    int vertexCount = chunk.vertexBuffer.GetVertexCount();
    CIndexBufferLock lock(chunk.indexBuffer);
    void* data = nullptr;
    bool bad = !lock.GetData(data);
    const uint16_t* in = (const uint16_t*)data;
    for (int i = 0; !bad && i < chunk.indexBuffer.GetIndexCount(); i++)
        bad = in[i] >= vertexCount;
    lock.Unlock();
    if (bad) {
        ReportError("Error", "LoadMeshFile()-index past the vertices, chunk not drawn");
        chunk.indexBuffer.DropRecord();
    }
}

bool MeshTextParser::ReadBone() {
    bones.push_back(BoneEntry());
    bones.back().node = new CNode;
    size_t at = bones.size() - 1;
    return ReadFields([&](const std::string& key) {
        BoneEntry& bone = bones[at];
        if (key == "Name") {
            bone.node->name = ReadValueToken();
        } else if (key == "Mesh") {
            bone.meshName = ReadValueToken();
        } else if (key == "Child") {
            bone.childNames.push_back(ReadValueToken());
        } else if (key == "ConnectPos") {
            r.SkipToken();
            bone.node->SetPosition(r.ReadVector3());
            r.SkipToken();
        } else if (key == "ConnectRot") {
            r.SkipToken();
            Matrix3 rows = r.ReadMatrix3(), rotation;
            r.SkipToken();
            Matrix3Transpose(rotation, rows);
            bone.node->SetRotation(rotation, true);
        } else {
            r.SkipBlock();
        }
    });
}

// Each bone takes its named children in order. An unknown child, a child
// already placed, a child that is this bone or above it, or a chain deeper
// than the tree walks allow, fails.
bool MeshTextParser::Link(CNode*& root) {
    std::unordered_map<const CNode*, int> height;   // levels in each subtree
    // The first two bones of each name: a bone's child is the first other
    // bone of that name.
    std::unordered_map<std::string, std::pair<size_t, size_t>> byName;
    for (size_t i = 0; i < bones.size(); i++) {
        height[bones[i].node] = 1;
        auto added = byName.emplace(bones[i].node->name, std::make_pair(i, bones.size()));
        if (!added.second && added.first->second.second == bones.size())
            added.first->second.second = i;
    }
    for (size_t i = 0; i < bones.size(); i++) {
        CNode* parent = bones[i].node;
        for (const std::string& childName : bones[i].childNames) {
            auto named = byName.find(childName);
            size_t j = bones.size();
            if (named != byName.end())
                j = named->second.first != i ? named->second.first : named->second.second;
            if (j == bones.size() || bones[j].attached) {
                ReportError("Error", "LoadMeshFile()-cannot link child " + childName);
                return false;
            }
            CNode* child = bones[j].node;
            int depth = 0;
            for (const CNode* a = parent; a; a = a->parent) {
                if (a == child || ++depth + height[child] > MaxNodeDepth) {
                    ReportError("Error", "LoadMeshFile()-bone loop or chain too deep at " + childName);
                    return false;
                }
            }
            child->AttachTo(false, parent, true);
            bones[j].attached = true;
            int h = height[child] + 1;
            for (const CNode* a = parent; a; a = a->parent, h++) {
                if (height[a] < h)
                    height[a] = h;
            }
        }
    }
    root = nullptr;
    for (const BoneEntry& b : bones) {
        if (b.node->parent)
            continue;
        if (root) {
            ReportError("Error", "LoadMeshFile()-more than one root bone");
            return false;
        }
        root = b.node;
    }
    return true;
}

bool MeshTextParser::ShareMeshes() {
    for (const CMesh& m : meshes) {
        if (m.GetName().empty()) {
            ReportError("Error", "LoadMeshFile()-mesh without a name");
            return false;
        }
    }
    std::unordered_map<std::string, size_t> meshByName;   // the first of each name
    for (size_t k = 0; k < meshes.size(); k++)
        meshByName.emplace(meshes[k].GetName(), k);
    for (BoneEntry& b : bones) {
        if (b.meshName.empty())
            continue;
        auto named = meshByName.find(b.meshName);
        size_t k = named != meshByName.end() ? named->second : meshes.size();
        if (k == meshes.size()) {
            ReportError("Error", "LoadMeshFile()-unknown mesh " + b.meshName);
            return false;
        }
        b.node->mesh = meshes[k];
    }
    return true;
}

bool MeshTextParser::Parse(bool weld, MeshLoadResult& result) {
    while (!r.AtEnd()) {
        std::string key = r.ReadToken();
        if (key.empty())
            break;
        if (key == "Mesh")
            ReadMesh();
        else if (key == "Bone")
            ReadBone();
        else
            r.SkipBlock();   // also a "RandomID" that is not the first group
        if (r.error)
            break;
    }
    CNode* root = nullptr;
    if (r.error || !Link(root) || !ShareMeshes())
        return false;
    for (CMesh& m : meshes) {
        if (weld)
            m.WeldVertices();
        m.BuildCollisionGeometry();
    }
    result.root = root;
    for (BoneEntry& b : bones)
        b.node = nullptr;   // the tree is the caller's now
    return true;
}

}  // namespace

bool ParseMeshGroups(MeshTokenReader& reader, const std::string& folder, bool weld,
                     MeshLoadResult& result) {
    MeshTextParser parser(reader, folder);
    return parser.Parse(weld, result);
}

bool LoadMeshFile(const std::string& path, bool readable, MeshLoadResult& result, bool weld) {
    result = MeshLoadResult();
    // A text without an identifier never matches a cache, not even one it wrote.
    result.cacheId = std::numeric_limits<float>::quiet_NaN();
    std::string cachePath = MeshCachePath(path);
    std::ifstream in;
    if (!OpenInputFile(in, path)) {
        ReportError("Error", "LoadMeshFile()-cannot open " + path);
        return false;
    }
    MeshTokenReader reader(in);
    if (reader.PeekToken() == "RandomID") {
        reader.SkipToken();   // the keyword
        reader.SkipToken();   // "{"
        result.cacheId = reader.ReadFloat();
        reader.SkipToken();
        if (!cachePath.empty()) {
            bool cut = false;
            bool current = ReadMeshCacheId(cachePath, &cut) == result.cacheId;
            if (current) {
                MeshLoadResult cached;
                cached.cacheId = result.cacheId;
                if (LoadMeshCache(cachePath, readable, cached)) {
                    result = cached;
                    return true;
                }
            }
            // One of another identifier is only out of date; one that is
            // there and cannot be read is damaged.
            if (current || cut)
                ReportError("Error", "LoadMeshFile()-rebuilding bad mesh cache " + cachePath);
        }
    }
    if (!ParseMeshGroups(reader, GetDirectoryPart(path), weld, result)) {
        ReportError("Error", "LoadMeshFile()-cannot parse " + path);
        result.root = nullptr;
        return false;
    }
    if (!cachePath.empty())
        WriteMeshCache(cachePath, result);
    return true;
}
