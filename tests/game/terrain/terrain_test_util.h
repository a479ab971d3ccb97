// Small terrains made in memory, and the renderer the terrain needs.
#ifndef TESTS_GAME_TERRAIN_TERRAIN_TEST_UTIL_H
#define TESTS_GAME_TERRAIN_TERRAIN_TEST_UTIL_H

#include <gtest/gtest.h>

#include <functional>

#include "game/terrain/terrain.h"
#include "render/backend.h"
#include "render/null/null_backend.h"

// A heightfield of (nx + 1) x (ny + 1) vertices over [x0, x1] x [y0, y1];
// height and attribute are functions of x and y, normals point up.
inline void MakeHeightfield(int nx, int ny, float x0, float y0, float x1, float y1,
                            const std::function<float(float, float)>& height,
                            const std::function<float(float, float)>& attribute,
                            std::vector<TerrainVertex>& vertices, std::vector<uint16_t>& indices) {
    vertices.clear();
    indices.clear();
    for (int j = 0; j <= ny; j++) {
        for (int i = 0; i <= nx; i++) {
            TerrainVertex v;
            v.position.x = x0 + (x1 - x0) * i / nx;
            v.position.y = y0 + (y1 - y0) * j / ny;
            v.position.z = height(v.position.x, v.position.y);
            v.normal = Vector3{0, 0, 1};
            v.extra = attribute(v.position.x, v.position.y);
            vertices.push_back(v);
        }
    }
    for (int j = 0; j < ny; j++) {
        for (int i = 0; i < nx; i++) {
            uint16_t a = (uint16_t)(j * (nx + 1) + i), b = (uint16_t)(a + 1);
            uint16_t c = (uint16_t)(b + nx + 1), d = (uint16_t)(a + nx + 1);
            indices.insert(indices.end(), {a, b, c, a, c, d});
        }
    }
}

inline void BuildFlat(CTerrain& terrain, float half, float attribute, int cells = 4) {
    std::vector<TerrainVertex> v;
    std::vector<uint16_t> i;
    MakeHeightfield(cells, cells, -half, -half, half, half, [](float, float) { return 0.0f; },
                    [=](float, float) { return attribute; }, v, i);
    terrain.BuildFromVertices(v, i, CTexture(), "flat");
}

class TerrainTest : public ::testing::Test {
protected:
    void SetUp() override {
        RenderSetup setup;
        ASSERT_TRUE(InitRenderer(&setup, nullptr));
        NullResetCounters();   // draws counted from zero whatever ran before
    }
    void TearDown() override { ShutdownRenderer(); }
};

#endif
