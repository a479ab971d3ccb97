// Mesh file text: grammar, bone linking and its failures, hostile counts and
// indices, and cut files.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "core/error.h"
#include "render/mesh_file.h"
#include "render/node.h"
#include "test_mesh_util.h"

namespace {

const char* TriangleMesh =
    "Mesh {\n"
    "  Name { tri }\n"
    "  Chunk {\n"
    "    Vertices { PNC 3\n"
    "      0 0 0  0 0 1  1 0 0 1\n"
    "      1 0 0  0 0 1  0 1 0 1\n"
    "      0 1 0  0 0 1  0 0 1 1 }\n"
    "    Indices { 3 0 1 2 }\n"
    "  }\n"
    "}\n";

class MeshFile : public MeshFilesTest {
protected:
    MeshFile() : MeshFilesTest("meshes_test_file") {}

    // Parses text without a cache; the root (or null) is kept for the test.
    bool Parse(const std::string& text) {
        delete root;
        root = nullptr;
        std::istringstream in(text);
        MeshTokenReader reader(in);
        MeshLoadResult result;
        bool ok = ParseMeshGroups(reader, Dir(), false, result);
        root = result.root;
        if (!ok) {
            EXPECT_EQ(root, nullptr);
        }
        return ok;
    }
    void TearDown() override {
        delete root;
        MeshFilesTest::TearDown();
    }
    MeshChunk& Chunk(int i = 0) { return root->mesh.GetRecord()->chunks[(size_t)i]; }

    CNode* root = nullptr;
};

TEST_F(MeshFile, TokenReaderHoldsPeekedTokens) {
    std::istringstream in("a { b }");
    MeshTokenReader r(in);
    EXPECT_FALSE(r.PeekBrace());
    EXPECT_EQ(r.ReadToken(), "a");
    EXPECT_TRUE(r.PeekBrace());
    EXPECT_TRUE(r.SkipToken());
    EXPECT_EQ(r.ReadToken(), "b");
    EXPECT_TRUE(r.PeekBrace());
    EXPECT_FALSE(r.AtEnd());   // the last token is held, though the stream is done
    EXPECT_EQ(r.ReadToken(), "}");
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(r.ReadToken(), "");

    std::istringstream cut("x { a { b }");
    MeshTokenReader c(cut);
    EXPECT_FALSE(c.SkipBlock());
    EXPECT_TRUE(c.error);
}

TEST_F(MeshFile, BoneTreeMeshesAndTransforms) {
    ASSERT_TRUE(Parse(std::string(TriangleMesh) +
                      "Bone { Name { Hip } Mesh { tri } Child { LLeg } Child { RLeg }\n"
                      "  ConnectPos { 1 2 3 } ConnectRot { 0 1 0 -1 0 0 0 0 1 } Extra { 9 { 9 } } }\n"
                      "Bone { Name { RLeg } Mesh { tri } }\n"
                      "Bone { Name { LLeg } }\n"
                      "Unknown { anything { nested } }\n"));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->name, "Hip");
    ASSERT_EQ(root->children.size(), 2u);
    EXPECT_EQ(root->children.front()->name, "LLeg");
    EXPECT_EQ(root->children.back()->name, "RLeg");
    EXPECT_EQ(root->children.back()->mesh.GetRecord(), root->mesh.GetRecord());   // shared
    EXPECT_EQ(root->children.front()->mesh.GetChunkCount(), 0);
    EXPECT_FLOAT_EQ(root->position.z, 3);
    // The rows are stored transposed: first row (0, -1, 0).
    EXPECT_FLOAT_EQ(root->rotation.m[0], 0);
    EXPECT_FLOAT_EQ(root->rotation.m[1], -1);
    EXPECT_FLOAT_EQ(root->rotation.m[3], 1);
    EXPECT_FLOAT_EQ(root->bindRotation.m[1], -1);

    MeshChunk& c = Chunk();
    EXPECT_EQ(c.vertexBuffer.GetVertexSize(), 28);
    std::vector<uint8_t> v = VertexBytes(c.vertexBuffer);
    uint32_t colour;
    memcpy(&colour, &v[28 + 24], 4);
    EXPECT_EQ(colour, 0xFF00FF00u);
    EXPECT_EQ(IndexValues(c.indexBuffer), (std::vector<uint16_t>{0, 1, 2}));
    EXPECT_EQ(root->mesh.GetRecord()->collisionPositions.size(), 3u);
}

TEST_F(MeshFile, TexturesByKeywordAndSlot) {
    WritePng("skin.png", 4, 4);
    WritePng("bump.png", 4, 4);
    ASSERT_TRUE(Parse("Mesh { Name { m } Chunk { TextureB { 0 bump.png } TextureC { 1 skin.png } }\n"
                      "  Chunk { TextureC { 2 skin.png } } }\n"
                      "Bone { Name { b } Mesh { m } }"));
    EXPECT_EQ(Chunk(0).colourTexture.GetRecord()->fileName, Path("bump.png"));
    EXPECT_EQ(Chunk(0).bumpTexture.GetRecord()->fileName, Path("skin.png"));
    EXPECT_TRUE(Chunk(1).colourTexture.IsEmpty());
    EXPECT_TRUE(Chunk(1).bumpTexture.IsEmpty());

    // A name that climbs out of the model's folder is refused, even one
    // that comes back into it.
    ASSERT_TRUE(Parse("Mesh { Name { m } Chunk { TextureC { 0 ..\\" + folder + "\\skin.png } } }\n"
                      "Bone { Name { b } Mesh { m } }"));
    EXPECT_TRUE(Chunk(0).colourTexture.IsEmpty());
    EXPECT_NE(LastErrorReport().find("skin.png lies outside the model's folder, not loaded"),
              std::string::npos) << LastErrorReport();
}

TEST_F(MeshFile, LinkFailuresFailCleanly) {
    const char* bad[] = {
        "Bone { Name { a } Child { nobody } }",
        "Bone { Name { a } Child { c } } Bone { Name { b } Child { c } } Bone { Name { c } }",
        "Bone { Name { a } } Bone { Name { b } }",                              // two roots
        "Bone { Name { a } Child { b } } Bone { Name { b } Child { a } }",      // a loop
        "Bone { Name { a } Child { b } } Bone { Name { b } Child { c } } Bone { Name { c } Child { a } }",
        "Bone { Name { a } Child { a } }",                                      // itself
        "Mesh { Chunk { } } Bone { Name { a } }",                               // mesh without a name
        "Bone { Name { a } Mesh { nothing } }",
    };
    for (const char* text : bad)
        EXPECT_FALSE(Parse(text)) << text;

    // Meshes without any bone: a null root, not a failure.
    EXPECT_TRUE(Parse(TriangleMesh));
    EXPECT_EQ(root, nullptr);
}

TEST_F(MeshFile, DeepChainsAreRefused) {
    std::string ok, tooDeep;
    for (int i = 0; i < MaxNodeDepth + 1; i++) {
        std::string bone = "Bone { Name { b" + std::to_string(i) + " } Child { b" + std::to_string(i + 1) + " } }\n";
        if (i < MaxNodeDepth - 1)
            ok += bone;
        tooDeep += bone;
    }
    ok += "Bone { Name { b" + std::to_string(MaxNodeDepth - 1) + " } }";
    tooDeep += "Bone { Name { b" + std::to_string(MaxNodeDepth + 1) + " } }";
    ASSERT_TRUE(Parse(ok));
    // The deepest allowed chain still walks: world matrix, copy and delete.
    CNode* leaf = root;
    while (!leaf->children.empty())
        leaf = leaf->children.front();
    root->SetPosition(Vector3{1, 0, 0});
    EXPECT_FLOAT_EQ(leaf->GetWorldMatrix().m[3], 1);
    delete new CNode(*root);
    EXPECT_FALSE(Parse(tooDeep));
}

TEST_F(MeshFile, HostileCountsAndIndicesLoseTheirBuffer) {
    struct Case {
        const char* chunk;
        bool vertices, indices;
    } cases[] = {
        {"Vertices { PNT2 1 0 0 0 0 0 1 0 0 } Indices { 70000 0 0 0 }", true, false},
        {"Vertices { PNT2 1 0 0 0 0 0 1 0 0 } Indices { -3 0 0 0 }", true, false},
        {"Vertices { PNT2 1 0 0 0 0 0 1 0 0 } Indices { 3 0 0 65536 }", true, false},
        {"Vertices { PNT2 1 0 0 0 0 0 1 0 0 } Indices { 3 0 0 1 }", true, false},   // past the vertices
        {"Vertices { XYZ 1 0 0 0 } Indices { 3 0 0 0 }", false, false},
        {"Vertices { PNT2 99999999999 0 0 0 } Indices { 3 0 0 0 }", false, false},
        {"Vertices { PNT2 1 0 0 0 0 0 1 0 0 } Indices { 3 0 0 0 }", true, true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Parse(std::string("Mesh { Name { m } Chunk { ") + c.chunk + " } }\n"
                          "Bone { Name { b } Mesh { m } }")) << c.chunk;
        EXPECT_EQ(!Chunk().vertexBuffer.IsEmpty(), c.vertices) << c.chunk;
        EXPECT_EQ(!Chunk().indexBuffer.IsEmpty(), c.indices) << c.chunk;
        root->mesh.Draw();
    }
    EXPECT_EQ(NullRenderCounters().drawErrors, 0);
}

TEST_F(MeshFile, MalformedAndCutTextFailsWithoutHanging) {
    EXPECT_FALSE(Parse("}"));
    EXPECT_FALSE(Parse("Mesh { Name { m } Chunk { Oops } } } }"));
    std::string text = std::string("RandomID { 3 }\n") + TriangleMesh +
                       "Bone { Name { Hip } Mesh { tri } Child { Leg } ConnectPos { 1 2 3 } }\n"
                       "Bone { Name { Leg } ConnectRot { 1 0 0 0 1 0 0 0 1 } }\n";
    for (size_t cut = 0; cut < text.size(); cut++) {
        std::string part = text.substr(0, cut);
        bool ok = Parse(part);
        // A cut may only succeed where a group has just been closed.
        if (ok) {
            size_t end = part.find_last_not_of(" \n");
            EXPECT_TRUE(end == std::string::npos || part[end] == '}') << cut;
        }
    }
    ASSERT_TRUE(Parse(text));
    EXPECT_EQ(root->name, "Hip");
}

TEST_F(MeshFile, MissingFileFails) {
    MeshLoadResult result;
    EXPECT_FALSE(LoadMeshFile(Path("none.mbm"), false, result, true));
    EXPECT_EQ(result.root, nullptr);
}

}  // namespace
