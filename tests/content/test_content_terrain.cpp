// The shipped terrain mesh as the terrain reads it: the mesh of the root
// bone's first child, one chunk of position, normal and two texture
// coordinates with an unrotated bone, inside the heights the cells cut, the
// ground image beside it, and meadow where grass can grow.
#include <gtest/gtest.h>

#include "game/terrain/terrain.h"
#include "render/node.h"
#include "tests/content/content_fixture.h"

using ContentTerrain = ContentTest;

TEST_F(ContentTerrain, ValleyIsATerrainMeshWithMeadow) {
    CModel model;
    ASSERT_TRUE(LoadModel(model, "data\\models\\land\\valley.mbm", true, false));
    CNode* root = model.GetRoot();
    ASSERT_TRUE(root && !root->children.empty());
    CNode* node = root->children.front();
    for (int i = 0; i < 9; i++)
        EXPECT_EQ(node->rotation.m[i], i % 4 == 0 ? 1.0f : 0.0f);
    MeshRecord* mesh = node->mesh.GetRecord();
    ASSERT_EQ(mesh->chunks.size(), 1u);
    MeshChunk chunk = mesh->chunks[0];
    EXPECT_EQ(chunk.colourTexture.GetRecord()->fileName, "data\\models\\land\\prettygrass.jpg");
    ASSERT_EQ(chunk.vertexBuffer.GetVertexSize(), 32);
    int count = chunk.vertexBuffer.GetVertexCount();
    EXPECT_TRUE(count >= 1000 && count <= 2500) << count;
    CVertexBufferLock lock(chunk.vertexBuffer);
    const float* v = (const float*)lock.data;
    int meadow = 0;
    for (int i = 0; i < count; i++, v += 8) {
        EXPECT_TRUE(v[2] > -1000.0f && v[2] < 1000.0f);
        EXPECT_TRUE(v[6] >= 0.0f && v[6] <= 1.0f);
        meadow += v[6] >= 0.25f && v[6] <= 0.5f;
    }
    EXPECT_GT(meadow, count / 3);
}
