// The binary mesh cache: exact layout, round trips against the text, when
// it is read and when it is rebuilt, and refusal of cut or garbled files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "core/error.h"
#include "render/mesh_cache.h"
#include "render/mesh_file.h"
#include "render/node.h"
#include "test_mesh_util.h"

namespace {

const char* OneBoneText =
    "RandomID { 12.5 }\n"
    "Mesh { Name { box } Chunk {\n"
    "  Vertices { PNC 3\n"
    "    0 0 0  0 0 1  1 0 0 1\n"
    "    1 0 0  0 0 1  0 1 0 1\n"
    "    0 1 0  0 0 1  0 0 1 1 }\n"
    "  Indices { 3 0 1 2 } } }\n"
    "Bone { Name { Root } Mesh { box } ConnectPos { 1 2 3 } ConnectRot { 0 1 0 -1 0 0 0 0 1 } }\n";

// Two chunks (one textured), three bones, a shared mesh and a bone without one.
const char* TreeText =
    "RandomID { 0.25 }\n"
    "Mesh { Name { body } Chunk {\n"
    "  TextureC { 0 skin.png } TextureB { 1 bump.png }\n"
    "  Vertices { PNT2 4  0 0 0 0 0 1 0 0  1 0 0 0 0 1 1 0  1 1 0 0 0 1 1 1  0 0 0 0 0 1 0 0 }\n"
    "  Indices { 6 0 1 2 2 3 0 } }\n"
    "  Chunk { Vertices { PNC 3  0 0 2 0 0 1 1 1 1 1  1 0 2 0 0 1 1 1 1 1  0 1 2 0 0 1 1 1 1 1 }\n"
    "  Indices { 3 2 1 0 } } }\n"
    "Mesh { Name { limb } Chunk { Vertices { PNC 3  0 0 0 1 0 0 0 0 0 1  0 0 1 1 0 0 0 0 0 1  0 1 1 1 0 0 0 0 0 1 }\n"
    "  Indices { 3 0 1 2 } } }\n"
    "Bone { Name { Hip } Mesh { body } Child { LLeg } Child { Marker } ConnectPos { 0 0 1 } }\n"
    "Bone { Name { LLeg } Mesh { limb } Child { LFoot } ConnectPos { 0.5 0 -0.5 }\n"
    "  ConnectRot { 0 1 0 -1 0 0 0 0 1 } }\n"
    "Bone { Name { LFoot } Mesh { limb } ConnectPos { 0 0 -0.5 } }\n"
    "Bone { Name { Marker } ConnectPos { 2 0 0 } }\n";

class MeshCache : public MeshFilesTest {
protected:
    MeshCache() : MeshFilesTest("meshes_test_cache") {}
    void TearDown() override {
        delete a.root;
        delete b.root;
        MeshFilesTest::TearDown();
    }
    std::string CacheOf(const std::string& name) { return MeshCachePath(Path(name)); }
    // Loads path again into b; a refused cache is rebuilt from the text.
    void Reload(const std::string& path, const std::string& what) {
        delete b.root;
        b = MeshLoadResult();
        ASSERT_TRUE(LoadMeshFile(path, true, b, false)) << what;
        ExpectSameTree(a.root, b.root);
    }
    // The two files the tree's first chunk names.
    void WriteTreeTextures() {
        WritePng("skin.png", 8, 8);
        WritePng("bump.png", 8, 8);
    }

    MeshLoadResult a, b;
};

TEST_F(MeshCache, GoldenBytesOfOneBoneOneChunk) {
    std::string path = Write("one.mbm", OneBoneText);
    ASSERT_TRUE(LoadMeshFile(path, true, a, false));
    const std::vector<uint8_t> expected = {
        0x00, 0x00, 0x48, 0x41,                                // identifier 12.5
        0x01,                                                  // mesh record
        0x03, 'b', 'o', 'x', 0x01,                             // name, one chunk
        0x00, 0x00,                                            // no textures
        0x18,                                                  // three elements
        0x02, 0, 0, 0, 0x00, 0, 0, 0,                          // Float3 position
        0x02, 0, 0, 0, 0x01, 0, 0, 0,                          // Float3 normal
        0x04, 0, 0, 0, 0x02, 0, 0, 0,                          // Colour colour
        0x03, 0x00, 0x1C,                                      // 3 vertices of 28 bytes
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                    // 0 0 0
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x3F,              // 0 0 1
        0xFF, 0x00, 0x00, 0xFF,                                // red
        0, 0, 0x80, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0,              // 1 0 0
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x3F,
        0x00, 0xFF, 0x00, 0xFF,                                // green
        0, 0, 0, 0, 0, 0, 0x80, 0x3F, 0, 0, 0, 0,              // 0 1 0
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x3F,
        0x00, 0x00, 0xFF, 0xFF,                                // blue
        0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00,        // indices
        0x03, 0x00,                                            // collision positions
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        0, 0, 0x80, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 0x80, 0x3F, 0, 0, 0, 0,
        0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00,        // collision indices
        0x02,                                                  // node record
        0x00, 0x00, 0x00, 0x00,                                // word
        0x04, 'R', 'o', 'o', 't', 0x03, 'b', 'o', 'x', 0x00,   // names, no children
        0, 0, 0x80, 0x3F, 0, 0, 0, 0x40, 0, 0, 0x40, 0x40,     // position 1 2 3
        0, 0, 0, 0, 0, 0, 0x80, 0xBF, 0, 0, 0, 0,              // rows transposed:
        0, 0, 0x80, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0,              // 0 -1 0, 1 0 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x3F,              // 0 0 1
        0x00,                                                  // end
    };
    EXPECT_EQ(ReadBytes(CacheOf("one.mbm")), expected);
    EXPECT_EQ(CacheOf("one.mbm"), "gen\\meshes_test_cache\\one.bmbm");
}

// Little-endian bytes of the cache layout, written field by field.
struct Bytes {
    std::vector<uint8_t> b;
    Bytes& U8(int v) { b.push_back(uint8_t(v)); return *this; }
    Bytes& U16(int v) { return U8(v & 0xFF).U8((v >> 8) & 0xFF); }
    Bytes& I32(int32_t v) { for (int i = 0; i < 4; i++) U8(int((uint32_t)v >> (8 * i)) & 0xFF); return *this; }
    Bytes& F32(float f) { uint32_t u; memcpy(&u, &f, 4); return I32((int32_t)u); }
    Bytes& Str(const std::string& s) { U8((int)s.size()); b.insert(b.end(), s.begin(), s.end()); return *this; }
    Bytes& Floats(std::initializer_list<float> fs) { for (float f : fs) F32(f); return *this; }
    Bytes& Element(int type, int usage) { return I32(type).I32(usage); }
    Bytes& Collision(const MeshRecord& r) {
        U16((int)r.collisionPositions.size());
        for (const Vector3& p : r.collisionPositions) Floats({p.x, p.y, p.z});
        U16((int)r.collisionIndices.size());
        for (auto i : r.collisionIndices) U16((int)i);
        return *this;
    }
    Bytes& Node(const std::string& name, const std::string& mesh, std::initializer_list<std::string> children,
                std::initializer_list<float> position, bool turned) {
        U8(2).I32(0).Str(name).Str(mesh).U8((int)children.size());
        for (const std::string& c : children) Str(c);
        Floats(position);
        // ConnectRot (0 1 0, -1 0 0, 0 0 1) is stored transposed.
        return turned ? Floats({0, -1, 0, 1, 0, 0, 0, 0, 1}) : Floats({1, 0, 0, 0, 1, 0, 0, 0, 1});
    }
    // The limb: one PNC chunk of three black vertices facing x.
    Bytes& Limb(const MeshRecord& r) {
        U8(1).Str("limb").U8(1).Str("").Str("").U8(24);
        Element(2, 0).Element(2, 1).Element(4, 2).U16(3).U8(28);
        Floats({0, 0, 0, 1, 0, 0}).U8(0).U8(0).U8(0).U8(0xFF);
        Floats({0, 0, 1, 1, 0, 0}).U8(0).U8(0).U8(0).U8(0xFF);
        Floats({0, 1, 1, 1, 0, 0}).U8(0).U8(0).U8(0).U8(0xFF);
        U16(3).U16(0).U16(1).U16(2);
        return Collision(r);
    }
};

TEST_F(MeshCache, GoldenBytesOfATreeWithTexturesAndBothLayouts) {
    WriteTreeTextures();
    std::string path = Write("tree.mbm", TreeText);
    ASSERT_TRUE(LoadMeshFile(path, true, a, false));
    CNode* leg = a.root->children.front();
    const MeshRecord& body = *a.root->mesh.GetRecord();
    const MeshRecord& limb = *leg->mesh.GetRecord();
    ASSERT_EQ(body.chunks.size(), 2u);

    Bytes e;
    e.Floats({0.25f});
    // Children before their parent, in child order; the root comes last.
    e.Limb(limb).Node("LFoot", "limb", {}, {0, 0, -0.5f}, false);
    e.Limb(limb).Node("LLeg", "limb", {"LFoot"}, {0.5f, 0, -0.5f}, true);
    e.Node("Marker", "", {}, {2, 0, 0}, false);   // no mesh, no mesh record
    e.U8(1).Str("body").U8(2);
    e.Str(body.chunks[0].colourTexture.GetRecord()->fileName);
    e.Str(body.chunks[0].bumpTexture.GetRecord()->fileName);
    EXPECT_NE(body.chunks[0].colourTexture.GetRecord()->fileName.find("skin.png"), std::string::npos);
    e.U8(24).Element(2, 0).Element(2, 1).Element(1, 3).U16(4).U8(32);
    e.Floats({0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 1, 0, 0});
    e.U16(6).U16(0).U16(1).U16(2).U16(2).U16(3).U16(0);
    e.Str("").Str("").U8(24).Element(2, 0).Element(2, 1).Element(4, 2).U16(3).U8(28);
    for (Vector3 p : {Vector3{0, 0, 2}, Vector3{1, 0, 2}, Vector3{0, 1, 2}})
        e.Floats({p.x, p.y, p.z, 0, 0, 1}).U8(0xFF).U8(0xFF).U8(0xFF).U8(0xFF);   // white
    e.U16(3).U16(2).U16(1).U16(0);
    e.Collision(body);
    e.Node("Hip", "body", {"LLeg", "Marker"}, {0, 0, 1}, false);
    e.U8(0);
    EXPECT_EQ(ReadBytes(CacheOf("tree.mbm")), e.b);
}

TEST_F(MeshCache, TextAndCacheGiveTheSameTree) {
    WriteTreeTextures();
    std::string path = Write("tree.mbm", TreeText);
    ASSERT_TRUE(LoadMeshFile(path, true, a, false));
    EXPECT_FLOAT_EQ(a.cacheId, 0.25f);
    ASSERT_TRUE(Exists(CacheOf("tree.mbm")));
    ASSERT_TRUE(LoadMeshFile(path, true, b, false));   // now from the cache
    ExpectSameTree(a.root, b.root);
    EXPECT_FLOAT_EQ(b.cacheId, 0.25f);
    // The parse shares one mesh between two bones; the cache gives each its own.
    CNode* leg = a.root->children.front();
    EXPECT_EQ(leg->mesh.GetRecord(), leg->children.front()->mesh.GetRecord());
    CNode* cachedLeg = b.root->children.front();
    EXPECT_NE(cachedLeg->mesh.GetRecord(), cachedLeg->children.front()->mesh.GetRecord());

    // Parsed buffers are readable; cached ones write-only unless asked.
    MeshLoadResult c;
    ASSERT_TRUE(LoadMeshFile(path, false, c, false));
    EXPECT_TRUE(c.root->mesh.GetRecord()->chunks[0].vertexBuffer.GetRecord()->writeOnly);
    EXPECT_FALSE(b.root->mesh.GetRecord()->chunks[0].vertexBuffer.GetRecord()->writeOnly);
    delete c.root;
}

// The cache keeps texture names only; its reader loads the colour place as
// kind 1 and the bump place as kind 5. A model whose keywords put other
// kinds there is parsed on every load, so every load binds what the first
// did. A damaged cache in the way is reported once and goes.
TEST_F(MeshCache, EveryLoadBindsTheTextureKindsOfTheText) {
    WriteTreeTextures();
    struct Model {
        const char* textures;
        int colourKind, bumpKind;
        bool cached;
    } models[] = {
        {"TextureC { 0 skin.png } TextureB { 1 bump.png }", 1, 5, true},
        {"TextureC { 0 skin.png } TextureC { 1 bump.png }", 1, 1, false},
        {"TextureB { 0 skin.png } TextureB { 1 bump.png }", 5, 5, false},
    };
    int n = 0;
    for (const Model& m : models) {
        std::string name = "kinds" + std::to_string(n++) + ".mbm";
        std::string path = Write(name, std::string("RandomID { 3 }\nMesh { Name { m } Chunk { ") +
                                           m.textures + " Vertices { PNT2 3  0 0 0 0 0 1 0 0"
                                           "  1 0 0 0 0 1 1 0  0 1 0 0 0 1 0 1 }"
                                           " Indices { 3 0 1 2 } } }\nBone { Name { Root } Mesh { m } }\n");
        CreateDirectoryPath(CacheOf(name));
        WriteBytes(CacheOf(name), {0x00, 0x00, 0x40, 0x40, 0x07});   // identifier 3, unknown tag
        delete a.root;
        delete b.root;
        a = b = MeshLoadResult();
        // The damaged file once; a model the cache cannot hold is refused at each load.
        int refusals = m.cached ? 0 : 1;
        int reports = ErrorReportCount();
        ASSERT_TRUE(LoadMeshFile(path, false, a, false)) << m.textures;
        EXPECT_EQ(ErrorReportCount(), reports + 1 + refusals) << m.textures;
        EXPECT_EQ(Exists(CacheOf(name)), m.cached) << m.textures;
        reports = ErrorReportCount();
        ASSERT_TRUE(LoadMeshFile(path, false, b, false)) << m.textures;
        EXPECT_EQ(ErrorReportCount(), reports + refusals) << m.textures;
        ExpectSameTree(a.root, b.root);
        for (const MeshLoadResult* r : {&a, &b}) {
            const MeshChunk& c = r->root->mesh.GetRecord()->chunks[0];
            EXPECT_EQ(c.colourTexture.GetRecord()->kind, m.colourKind) << m.textures;
            EXPECT_EQ(c.bumpTexture.GetRecord()->kind, m.bumpKind) << m.textures;
        }
    }
}

// Children are found by name: two parents with a child of the same name
// each get their own back.
TEST_F(MeshCache, ChildrenOfOneNameUnderTwoParentsKeepTheirPlaces) {
    a.root = Bone("Hip", nullptr);
    float x = 0;
    for (const char* side : {"Left", "Right"}) {
        CNode* leg = Bone(side, a.root);
        leg->SetPosition(Vector3{x += 1, 0, 0});
        Bone("Foot", leg)->SetPosition(Vector3{0, x, 0});
        Bone("Toe", leg->children.front())->SetPosition(Vector3{0, 0, x});
    }
    ASSERT_TRUE(WriteMeshCache(CacheOf("twins.mbm"), a));
    ASSERT_TRUE(LoadMeshCache(CacheOf("twins.mbm"), false, b));
    ExpectSameTree(a.root, b.root);
}

TEST_F(MeshCache, MatchingIdentifierReadsNoFurtherText) {
    std::string path = Write("id.mbm", OneBoneText);
    ASSERT_TRUE(LoadMeshFile(path, true, a, false));
    // The same identifier followed by text that could not be parsed.
    Write("id.mbm", "RandomID { 12.5 } } } garbage {");
    Reload(path, "garbage after the identifier");

    // Another identifier: the text is parsed and the cache rewritten.
    delete b.root;
    b = MeshLoadResult();
    std::string changed = OneBoneText;
    changed.replace(changed.find("12.5"), 4, "13.5");
    changed.replace(changed.find("1 2 3"), 5, "4 5 6");
    Write("id.mbm", changed);
    int reports = ErrorReportCount();   // out of date, not damaged
    ASSERT_TRUE(LoadMeshFile(path, true, b, false));
    EXPECT_EQ(ErrorReportCount(), reports);
    EXPECT_FLOAT_EQ(b.root->position.x, 4);
    EXPECT_EQ(ReadMeshCacheId(CacheOf("id.mbm")), 13.5f);
}

TEST_F(MeshCache, IdentifierOnlyCountsAsTheFirstGroup) {
    std::string text = OneBoneText;
    text = text.substr(text.find('\n') + 1) + "RandomID { 12.5 }\n";
    std::string path = Write("late.mbm", text);
    ASSERT_TRUE(LoadMeshFile(path, true, a, false));
    // A cache is written, but its identifier never matches a text.
    Write("late.mbm", "RandomID { 12.5 } }");
    EXPECT_FALSE(LoadMeshFile(path, true, b, false));
    EXPECT_EQ(b.root, nullptr);
}

TEST_F(MeshCache, CutCachesAreRefusedAndTheTextIsUsed) {
    WriteTreeTextures();
    std::string path = Write("cut.mbm", TreeText);
    ASSERT_TRUE(LoadMeshFile(path, true, a, false));
    std::vector<uint8_t> whole = ReadBytes(CacheOf("cut.mbm"));
    ASSERT_GT(whole.size(), 100u);
    for (size_t cut = 4; cut < whole.size(); cut++) {
        MeshLoadResult r;
        ASSERT_FALSE(ReadMeshCacheRecords(whole.data() + 4, cut - 4, true, r)) << cut;
        ASSERT_EQ(r.root, nullptr);
    }
    // Through the loader: reported, the text parsed and the cache made whole again.
    for (size_t cut : {size_t(0), size_t(2), size_t(4), size_t(5), whole.size() / 2, whole.size() - 1}) {
        WriteBytes(CacheOf("cut.mbm"), std::vector<uint8_t>(whole.begin(), whole.begin() + cut));
        int reports = ErrorReportCount();
        Reload(path, std::to_string(cut));
        EXPECT_EQ(ErrorReportCount(), reports + 1) << cut;
        EXPECT_EQ(LastErrorReport(), "Error: LoadMeshFile()-rebuilding bad mesh cache " + CacheOf("cut.mbm"));
        EXPECT_EQ(ReadBytes(CacheOf("cut.mbm")), whole);
    }
}

TEST_F(MeshCache, GarbledCachesAreRefused) {
    std::string path = Write("bad.mbm", OneBoneText);
    ASSERT_TRUE(LoadMeshFile(path, true, a, false));
    const std::vector<uint8_t> good = ReadBytes(CacheOf("bad.mbm"));
    // Offsets in the golden layout above.
    const size_t layoutSize = 12, firstType = 13, vertexSize = 39, firstIndex = 126,
                 collisionIndex = 172;
    struct Garble {
        size_t at;
        uint8_t value;
        const char* what;
    } garbles[] = {
        {firstIndex, 3, "index equal to the vertex count"},
        {vertexSize, 27, "vertex size below the layout's"},
        {layoutSize, 0x17, "layout not whole elements"},
        {firstType, 9, "unknown element type"},
        {collisionIndex, 3, "collision index past the positions"},
        {4, 7, "unknown tag"},
    };
    for (const Garble& g : garbles) {
        std::vector<uint8_t> bytes = good;
        ASSERT_LT(g.at, bytes.size());
        bytes[g.at] = g.value;
        MeshLoadResult r;
        EXPECT_FALSE(ReadMeshCacheRecords(bytes.data() + 4, bytes.size() - 4, true, r)) << g.what;
        WriteBytes(CacheOf("bad.mbm"), bytes);
        Reload(path, g.what);
    }

    // Two node records that nothing joins.
    std::vector<uint8_t> two(good.begin() + 4, good.end() - 1);
    size_t node = two.size() - 63;   // the last node record with its tag
    ASSERT_EQ(two[node], 2);
    two.insert(two.end(), two.begin() + (long)node, two.end());
    two.push_back(0);
    MeshLoadResult r;
    EXPECT_FALSE(ReadMeshCacheRecords(two.data(), two.size(), true, r));
}

// Cached texture names are opened as they stand: a colour or bump texture
// name that climbs out of the game's folder refuses the cache, and the text
// is parsed instead.
TEST_F(MeshCache, ATextureNameThatClimbsOutRefusesTheCache) {
    WriteTreeTextures();
    std::string path = Write("climb.mbm", TreeText);
    ASSERT_TRUE(LoadMeshFile(path, true, a, false));
    const std::vector<uint8_t> good = ReadBytes(CacheOf("climb.mbm"));
    for (const char* texture : {"skin.png", "bump.png"}) {
        std::vector<uint8_t> bytes = good;
        const std::string name = Path(texture);
        auto at = std::search(bytes.begin(), bytes.end(), name.begin(), name.end());
        ASSERT_NE(at, bytes.end());
        std::copy_n("..\\", 3, at);   // the same length: only the name is wrong
        MeshLoadResult r;
        EXPECT_FALSE(ReadMeshCacheRecords(bytes.data() + 4, bytes.size() - 4, true, r)) << texture;
        WriteBytes(CacheOf("climb.mbm"), bytes);
        Reload(path, texture);
        EXPECT_EQ(ReadBytes(CacheOf("climb.mbm")), good) << texture;
    }
}

TEST_F(MeshCache, ModelsBeyondTheFieldsAreNotCached) {
    std::string name(300, 'n');
    std::string path = Write("wide.mbm", std::string("RandomID { 1 }\nBone { Name { ") + name + " } }\n");
    ASSERT_TRUE(LoadMeshFile(path, true, a, false));
    EXPECT_FALSE(Exists(CacheOf("wide.mbm")));

    CNode* wide = new CNode;
    for (int i = 0; i < 256; i++)
        (new CNode)->AttachTo(false, wide, true);
    MeshLoadResult many;
    many.root = wide;
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(BuildMeshCacheBytes(many, bytes));
    EXPECT_FALSE(WriteMeshCache(CacheOf("many.mbm"), many));
    EXPECT_FALSE(Exists(CacheOf("many.mbm")));
    delete wide;
}

TEST_F(MeshCache, PathsThatClimbOutOfTheFolderAreNotCached) {
    for (const char* climbing : {"..\\..\\x.mbm", "data\\..\\..\\x.mbm", "data/../../x.mbm", "C:\\x.mbm",
                                 "\\x.mbm", "data\\con\\x.mbm"})
        EXPECT_EQ(MeshCachePath(climbing), "") << climbing;
    // The same file reached through "..": it loads, and nothing is written
    // where "gen\\..\\" would lead.
    Write("one.mbm", OneBoneText);
    std::string here = std::filesystem::current_path().filename().string();
    ASSERT_TRUE(LoadMeshFile("..\\" + here + "\\" + Path("one.mbm"), true, a, false));
    ASSERT_NE(a.root, nullptr);
    EXPECT_FALSE(std::filesystem::exists(here));
}

TEST_F(MeshCache, MissingCacheIdentifierIsNegativeChance) {
    float id = ReadMeshCacheId(CacheOf("nothing.mbm"));
    EXPECT_LE(id, 0.0f);
    EXPECT_GE(id, -1.0f);
    MeshLoadResult r;
    EXPECT_FALSE(LoadMeshCache(CacheOf("nothing.mbm"), true, r));
}

}  // namespace
