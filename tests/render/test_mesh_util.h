// Shared helpers of the render tests: files written in folders of their own
// beside data\ in the test's working folder (never inside data\, which test
// processes share), small meshes built in memory and named bones.
#ifndef TESTS_RENDER_TEST_MESH_UTIL_H
#define TESTS_RENDER_TEST_MESH_UTIL_H

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/files.h"
#include "render/backend.h"
#include "render/mesh.h"
#include "render/node.h"
#include "render/null/null_backend.h"

// Creates <folder>\ for one test's files and removes it and the caches made
// from them (gen\<folder>\) afterwards.
class MeshFilesTest : public ::testing::Test {
protected:
    explicit MeshFilesTest(const std::string& folderName) : folder(folderName) {}
    void SetUp() override {
        RenderSetup setup;
        ASSERT_TRUE(InitRenderer(&setup, nullptr));
        NullResetCounters();
        Cleanup();
        std::filesystem::create_directories(NativePath(Dir()));
    }
    void TearDown() override {
        Cleanup();
        ShutdownRenderer();
    }
    void Cleanup() {
        std::filesystem::remove_all(NativePath(folder));
        std::filesystem::remove_all(NativePath("gen\\" + folder));
    }
    std::string Dir() const { return folder + "\\"; }
    // The game path of a file in the test's folder.
    std::string Path(const std::string& name) const { return Dir() + name; }
    std::string Write(const std::string& name, const std::string& text) {
        std::ofstream out(NativePath(Path(name)), std::ios::binary);
        out << text;
        return Path(name);
    }
    static std::vector<uint8_t> ReadBytes(const std::string& path) {
        std::ifstream in(NativePath(path), std::ios::binary);
        return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    }
    static void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
        std::ofstream out(NativePath(path), std::ios::binary);
        out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
    }
    static bool Exists(const std::string& path) {
        return std::filesystem::exists(NativePath(path));
    }
    // The start of a PNG: enough for the headless back-end to size it.
    std::string WritePng(const std::string& name, int w, int h) {
        std::vector<uint8_t> b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13,
                                  'I',  'H', 'D', 'R'};
        for (int v : {w, h}) {
            for (int i = 3; i >= 0; i--)
                b.push_back((uint8_t)(v >> (8 * i)));
        }
        b.insert(b.end(), {8, 6, 0, 0, 0, 0, 0, 0, 0});
        WriteBytes(Path(name), b);
        return Path(name);
    }

    std::string folder;
};

inline Matrix3 RotationZ(float angle) {
    Matrix3 m;
    Matrix3RotationAxis(m, Vector3{0, 0, 1}, angle);
    return m;
}

// A named bone, owned by its parent when it has one.
inline CNode* Bone(const char* name, CNode* parent) {
    CNode* n = new CNode;
    n->name = name;
    if (parent)
        n->AttachTo(false, parent, true);
    return n;
}

// A chunk of PNC-sized vertices (28 bytes) filled from positions, with the
// given indices; buffers readable unless writeOnly.
inline MeshChunk MakeChunk(const std::vector<Vector3>& positions, const std::vector<uint16_t>& indices,
                           bool writeOnly = false) {
    MeshChunk c;
    VertexLayout layout = {{VET_FLOAT3, VU_POSITION}, {VET_FLOAT3, VU_NORMAL}, {VET_COLOUR, VU_COLOUR}};
    EXPECT_TRUE(CreateVertexBuffer(c.vertexBuffer, 28, (int)positions.size(), layout, false, writeOnly));
    EXPECT_TRUE(CreateIndexBuffer(c.indexBuffer, (int)indices.size(), false, writeOnly));
    {
        CVertexBufferLock lock(c.vertexBuffer);
        uint8_t* v = (uint8_t*)lock.data;
        memset(v, 0, positions.size() * 28);
        for (size_t i = 0; i < positions.size(); i++)
            memcpy(v + i * 28, &positions[i], 12);
    }
    CIndexBufferLock lock(c.indexBuffer);
    void* data = nullptr;
    lock.GetData(data);
    if (!indices.empty())
        memcpy(data, indices.data(), indices.size() * 2);
    return c;
}

inline std::vector<uint8_t> VertexBytes(CVertexBuffer& vb) {
    CVertexBufferLock lock(vb);
    const uint8_t* v = (const uint8_t*)lock.data;
    if (!v)
        return {};
    return std::vector<uint8_t>(v, v + (size_t)vb.GetVertexCount() * vb.GetVertexSize());
}

inline std::vector<uint16_t> IndexValues(CIndexBuffer& ib) {
    CIndexBufferLock lock(ib);
    void* data = nullptr;
    if (!lock.GetData(data))
        return {};
    const uint16_t* p = (const uint16_t*)data;
    return std::vector<uint16_t>(p, p + ib.GetIndexCount());
}

// Everything the cache must carry, node by node.
inline void ExpectSameTree(CNode* x, CNode* y) {
    ASSERT_NE(x, nullptr);
    ASSERT_NE(y, nullptr);
    EXPECT_EQ(x->name, y->name);
    EXPECT_EQ(x->word, y->word);
    EXPECT_EQ(memcmp(&x->GetWorldMatrix(), &y->GetWorldMatrix(), sizeof(Matrix4)), 0) << x->name;
    EXPECT_EQ(memcmp(&x->bindRotation, &y->bindRotation, sizeof(Matrix3)), 0) << x->name;
    EXPECT_EQ(x->mesh.GetName(), y->mesh.GetName());
    MeshRecord& mx = *x->mesh.GetRecord();
    MeshRecord& my = *y->mesh.GetRecord();
    ASSERT_EQ(mx.chunks.size(), my.chunks.size()) << x->name;
    for (size_t i = 0; i < mx.chunks.size(); i++) {
        MeshChunk& cx = mx.chunks[i];
        MeshChunk& cy = my.chunks[i];
        // Shared by name and kind: the same record is the same texture.
        EXPECT_EQ(cx.colourTexture.GetRecord(), cy.colourTexture.GetRecord()) << x->name;
        EXPECT_EQ(cx.bumpTexture.GetRecord(), cy.bumpTexture.GetRecord()) << x->name;
        EXPECT_TRUE(VertexLayoutsEqual(cx.vertexBuffer.GetRecord()->layout, cy.vertexBuffer.GetRecord()->layout));
        EXPECT_EQ(VertexBytes(cx.vertexBuffer), VertexBytes(cy.vertexBuffer));
        EXPECT_EQ(IndexValues(cx.indexBuffer), IndexValues(cy.indexBuffer));
    }
    EXPECT_EQ(mx.collisionIndices, my.collisionIndices);
    ASSERT_EQ(mx.collisionPositions.size(), my.collisionPositions.size());
    for (size_t i = 0; i < mx.collisionPositions.size(); i++)
        EXPECT_EQ(memcmp(&mx.collisionPositions[i], &my.collisionPositions[i], sizeof(Vector3)), 0);
    ASSERT_EQ(x->children.size(), y->children.size());
    auto ix = x->children.begin();
    for (CNode* cy : y->children)
        ExpectSameTree(*ix++, cy);
}

#endif
