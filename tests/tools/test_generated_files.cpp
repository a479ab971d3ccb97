// The generated files in the form the generator promises: RGBA images of
// power-of-two sizes, and mesh files whose identifier matches their content,
// whose indices stay in range and whose shapes are closed and wound outward.
// What the files mean to the game is checked by the content test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/content/content_list.h"
#include "tests/tools/data_files.h"
#include "tools/datagen/hash.h"

namespace {

void ExpectImage(const std::string& path) {
    SCOPED_TRACE(path);
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, bytes));
    PngHeader png;
    ASSERT_TRUE(ReadPngHeader(bytes, png));
    EXPECT_EQ(png.bitDepth, 8);
    EXPECT_EQ(png.colourType, 6);  // RGBA
    EXPECT_TRUE(PowerOfTwo(png.width) && PowerOfTwo(png.height)) << png.width << " x " << png.height;
}

// The mesh file and the images its meshes name.
void ExpectModelFile(const std::string& path) {
    SCOPED_TRACE(path);
    std::string text;
    MbmFile file;
    ASSERT_TRUE(ReadFileBytes(path, text));
    ASSERT_TRUE(ReadMbm(text, file));
    EXPECT_EQ(file.cacheId, std::to_string(MeshCacheId(file.rest)));
    std::string folder = path.substr(0, path.rfind('\\') + 1);
    for (const MbmMesh& m : file.meshes) {
        SCOPED_TRACE(m.name);
        ExpectImage(folder + m.texture);
        size_t count = m.vertices.size() / 8;
        ASSERT_LT(count, 65536u);
        ASSERT_EQ(m.indices.size() % 3, 0u);
        double volume = 0;
        int inward = 0;
        for (size_t t = 0; t < m.indices.size(); t += 3) {
            const float* v[3];
            for (int k = 0; k < 3; ++k) {
                ASSERT_LT((size_t)m.indices[t + k], count);
                v[k] = &m.vertices[m.indices[t + k] * 8];
            }
            double e1[3], e2[3], n[3];
            for (int i = 0; i < 3; ++i) e1[i] = v[1][i] - v[0][i], e2[i] = v[2][i] - v[0][i];
            n[0] = e1[1] * e2[2] - e1[2] * e2[1];
            n[1] = e1[2] * e2[0] - e1[0] * e2[2];
            n[2] = e1[0] * e2[1] - e1[1] * e2[0];
            // Front faces: (b - a) x (c - a) points the way the vertex normals do.
            double agree = 0;
            for (int k = 0; k < 3; ++k)
                for (int i = 0; i < 3; ++i) agree += n[i] * v[k][3 + i];
            if (agree <= 0) ++inward;
            volume += v[0][0] * (v[1][1] * v[2][2] - v[1][2] * v[2][1]) -
                      v[0][1] * (v[1][0] * v[2][2] - v[1][2] * v[2][0]) +
                      v[0][2] * (v[1][0] * v[2][1] - v[1][1] * v[2][0]);
        }
        EXPECT_EQ(inward, 0);
        EXPECT_GT(volume, 0.0);  // closed shapes wound outward enclose positive volume
    }
    for (const MbmBone& b : file.bones) {
        if (b.mesh.empty()) continue;
        bool found = false;
        for (const MbmMesh& m : file.meshes) found = found || m.name == b.mesh;
        EXPECT_TRUE(found) << b.name << " uses missing mesh " << b.mesh;
    }
}

}  // namespace

TEST(GeneratedFiles, ImagesAreRgbaWithPowerOfTwoSides) {
    std::string message;
    ASSERT_TRUE(LoadShippedStats(message)) << message;
    std::vector<std::string> images = StatsImages();
    for (const std::string& path : FixedImages())
        if (path.compare(path.size() - 4, 4, ".png") == 0) images.push_back(path);
    for (const std::string& path : images) ExpectImage(path);
}

TEST(GeneratedFiles, ModelsTheStatsNameAreClosedAndWoundOutward) {
    std::string message;
    ASSERT_TRUE(LoadShippedStats(message)) << message;
    std::vector<std::string> models = {"data\\models\\characters\\enemy_hero.mbm"};
    for (const SoldierType& s : g_soldierTypes) models.push_back(s.model);
    for (const WeaponType& w : g_weaponTypes) models.push_back(w.model);
    for (const GrenadeType& g : g_grenadeTypes) models.push_back(g.model);
    for (const ProjectileType& p : g_projectileTypes) models.push_back(p.model);
    for (const VehicleType& v : g_vehicleTypes) models.push_back(v.model);
    ASSERT_FALSE(g_vehicleTypes.empty());
    for (const std::string& path : models) ExpectModelFile(path);
    // A seat name past the row's count would be dropped without a word.
    for (const auto& row : ReadStatsRows("data\\stats\\vehicles.txt", "\t,()"))
        EXPECT_EQ(row.size(), 7u + std::atoi(row.at(6).c_str())) << row.at(0);
}
