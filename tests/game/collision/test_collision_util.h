// Shared helpers of the collision tests: meshes of boxes built in memory,
// and a fixture whose caches under "gen\\data\\collision\\" carry names of
// their own ("coltest...") and are removed afterwards.
#ifndef TESTS_GAME_TEST_COLLISION_UTIL_H
#define TESTS_GAME_TEST_COLLISION_UTIL_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/files.h"
#include "game/collision/collision_body.h"
#include "game/collision/collision_cache.h"
#include "game/collision/collision_model.h"
#include "render/mesh.h"

// Appends a closed axis-aligned box: 8 corners, 12 triangles.
inline void AddBox(MeshRecord& mesh, const Vector3& lo, const Vector3& hi) {
    uint16_t base = (uint16_t)mesh.collisionPositions.size();
    for (int i = 0; i < 8; i++) {
        mesh.collisionPositions.push_back(
            Vector3{(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z});
    }
    const uint16_t faces[36] = {0, 2, 1, 1, 2, 3, 4, 5, 6, 5, 7, 6, 0, 1, 4, 1, 5, 4,
                                2, 6, 3, 3, 6, 7, 0, 4, 2, 2, 4, 6, 1, 3, 5, 3, 7, 5};
    for (uint16_t f : faces)
        mesh.collisionIndices.push_back((uint16_t)(base + f));
}

inline CMesh MakeMesh(const std::string& name) {
    CMesh mesh;
    mesh.GetRecord()->name = name;
    return mesh;
}

inline CMesh BoxMesh(const std::string& name, const Vector3& lo, const Vector3& hi) {
    CMesh mesh = MakeMesh(name);
    AddBox(*mesh.GetRecord(), lo, hi);
    return mesh;
}

// Unit boxes at x 0..1 and 3..4.
inline CMesh TwoBoxMesh(const std::string& name) {
    CMesh mesh = MakeMesh(name);
    AddBox(*mesh.GetRecord(), Vector3{0, 0, 0}, Vector3{1, 1, 1});
    AddBox(*mesh.GetRecord(), Vector3{3, 0, 0}, Vector3{4, 1, 1});
    return mesh;
}

// Within what six significant digits keep.
inline void ExpectClose(float a, float b) {
    EXPECT_NEAR(a, b, 1e-5f * std::max(1.0f, std::fabs(b)));
}

inline void ExpectNear3(const Vector3& a, const Vector3& b) {
    ExpectClose(a.x, b.x);
    ExpectClose(a.y, b.y);
    ExpectClose(a.z, b.z);
}

// Same structure and lists; floats within what six digits keep.
inline void ExpectSameNode(const CCollisionNode& a, const CCollisionNode& b) {
    ExpectNear3(a.box.centre, b.box.centre);
    for (int i = 0; i < 3; i++) {
        ExpectNear3(a.box.axis[i], b.box.axis[i]);
        ExpectClose(a.box.halfExtent[i], b.box.halfExtent[i]);
    }
    EXPECT_EQ(a.triangles, b.triangles);
    EXPECT_EQ(a.indices, b.indices);
    ASSERT_EQ(a.children.size(), b.children.size());
    for (size_t i = 0; i < a.children.size(); i++)
        ExpectSameNode(*a.children[i], *b.children[i]);
}

inline void ExpectSameModel(const CCollisionModel& a, const CCollisionModel& b) {
    ExpectClose(a.sphere.radius, b.sphere.radius);
    ExpectNear3(a.sphere.centre, b.sphere.centre);
    ASSERT_TRUE(a.root && b.root);
    ExpectSameNode(*a.root, *b.root);
    EXPECT_EQ(a.geometry.indices, b.geometry.indices);
    ASSERT_EQ(a.geometry.vertices.size(), b.geometry.vertices.size());
    for (size_t i = 0; i < a.geometry.vertices.size(); i++)
        ExpectNear3(a.geometry.vertices[i], b.geometry.vertices[i]);
    ASSERT_EQ(a.geometry.normals.size(), b.geometry.normals.size());
    for (size_t i = 0; i < a.geometry.normals.size(); i++)
        ExpectNear3(a.geometry.normals[i], b.geometry.normals[i]);
}

class CollisionTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryPath("gen\\data\\collision\\");
        RemoveTestCaches();
        nodesBefore = CollisionNodeCount;
        ASSERT_TRUE(CollisionModelList().empty());
        ASSERT_TRUE(BoundingSphereList().empty());
    }
    void TearDown() override {
        RemoveTestCaches();
        // Every test lets go of what it attached.
        EXPECT_TRUE(CollisionModelList().empty());
        EXPECT_TRUE(BoundingSphereList().empty());
        EXPECT_EQ(CollisionNodeCount, nodesBefore);
    }
    static void RemoveTestCaches() {
        std::error_code ec;
        for (auto& entry : std::filesystem::directory_iterator("gen/data/collision", ec)) {
            if (entry.path().filename().string().rfind("coltest", 0) == 0)
                std::filesystem::remove(entry.path(), ec);
        }
    }
    static std::string ReadText(const std::string& path) {
        std::ifstream in(NativePath(path), std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }
    static void WriteText(const std::string& path, const std::string& text) {
        std::ofstream out(NativePath(path), std::ios::binary);
        out << text;
    }
    static bool Exists(const std::string& path) {
        return std::filesystem::exists(NativePath(path));
    }
    // The model a fresh build of the mesh gives.
    static void Build(const CMesh& mesh, CCollisionModel& out) {
        const MeshRecord& r = *mesh.GetRecord();
        ASSERT_TRUE(BuildCollisionModel(r.collisionPositions, r.collisionIndices, false, out));
    }

    int nodesBefore = 0;
};

#endif
