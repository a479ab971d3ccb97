// The generated data the game opens: every file is there, with a valid header,
// and the models, clips and stats agree with each other.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "core/files.h"
#include "tests/tools/data_files.h"
#include "tools/datagen/hash.h"

namespace {

bool PowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

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

// Reads a mesh file and checks what every model must satisfy.
void CheckModelFile(const std::string& path, MbmFile& file) {
  SCOPED_TRACE(path);
  std::string text;
  EXPECT_TRUE(ReadFileBytes(path, text));
  EXPECT_TRUE(ReadMbm(text, file));
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

MbmFile LoadModelFile(const std::string& path) {
  MbmFile file;
  CheckModelFile(path, file);
  return file;
}

const char* const SoldierBones[] = {"Hip", "Chest", "Head", "RUpperArm", "RForearm", "RHand",
                                    "LUpperArm", "LForearm", "LHand", "RThigh", "RShin", "RFoot",
                                    "LThigh", "LShin", "LFoot"};

}  // namespace

TEST(GeneratedFiles, ScreenImagesArePowerOfTwoRgba) {
  for (const char* name : {"ui\\target.png", "debug\\paneBG.png", "debug\\paneDot.png", "ui\\avatar.png",
                           "ui\\radar.png", "ui\\health_bar.png", "ui\\item_block.png", "ui\\group_icon.png",
                           "ui\\grenade_pic.png", "ui\\red_dot.png", "ui\\yellow_dot.png",
                           "ui\\green_dot.png", "ui\\spin0.png"})
    ExpectImage(std::string("data\\") + name);
  // The dialogue box is laid out by its width, 450 pixels.
  std::string bytes;
  PngHeader png;
  ASSERT_TRUE(ReadFileBytes("data\\ui\\dialog_box.png", bytes));
  ASSERT_TRUE(ReadPngHeader(bytes, png));
  EXPECT_EQ(png.width, 450);
}

TEST(GeneratedFiles, SoundsAreVorbisAt44100AndMusicIsLongEnoughToStream) {
  struct Sound {
    const char* path;
    int channels;
    long minimumPcmBytes;
  };
  const Sound sounds[] = {{"data\\sound effects\\rifle_sound.ogg", 1, 1000},
                          {"data\\sound effects\\type.ogg", 1, 1000},
                          {"data\\music\\fieldbattle.ogg", 2, 1000000},
                          {"data\\music\\title0.ogg", 2, 1000000},
                          {"data\\music\\automatic01.ogg", 2, 1000000}};
  for (const Sound& s : sounds) {
    SCOPED_TRACE(s.path);
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(s.path, bytes));
    VorbisHeader header;
    ASSERT_TRUE(ReadVorbisHeader(bytes, header));
    EXPECT_EQ(header.rate, 44100);
    EXPECT_EQ(header.channels, s.channels);
    FILE* f = OpenFile(s.path, "rb");
    ASSERT_NE(f, nullptr);
    OggVorbis_File vf;
    ASSERT_EQ(ov_open(f, &vf, nullptr, 0), 0);
    EXPECT_GT(ov_pcm_total(&vf, -1) * s.channels * 2, s.minimumPcmBytes);
    // The whole stream decodes.
    char pcm[4096];
    int section = 0;
    long got, total = 0;
    while ((got = ov_read(&vf, pcm, sizeof pcm, 0, 2, 1, &section)) > 0) total += got;
    EXPECT_EQ(got, 0);
    EXPECT_EQ(total, ov_pcm_total(&vf, -1) * s.channels * 2);
    ov_clear(&vf);
  }
}

TEST(GeneratedFiles, SoldierModelsHaveEveryBoneTheSoldierCodeUses) {
  std::vector<std::string> models = {"data\\models\\characters\\enemy_hero.mbm"};
  for (const auto& row : ReadStatsRows("data\\stats\\soldiers.txt", "\t"))
    models.push_back("data\\models\\characters\\" + row.at(1));
  ASSERT_GE(models.size(), 2u);
  for (const std::string& path : models) {
    SCOPED_TRACE(path);
    MbmFile file = LoadModelFile(path);
    for (const char* name : SoldierBones) {
      const MbmBone* bone = file.FindBone(name);
      ASSERT_NE(bone, nullptr) << name;
      // Every limb draws its own mesh, so a torn-off limb takes its part with it.
      EXPECT_FALSE(bone->mesh.empty()) << name;
    }
    EXPECT_NE(file.FindBone("chest"), nullptr);  // where the soldier AI aims
  }
}

TEST(GeneratedFiles, StatsNameOnlyFilesThatExist) {
  for (const auto& row : ReadStatsRows("data\\stats\\weapons.txt", "\t")) {
    ExpectImage("data\\ui\\" + row.at(1));
    MbmFile file = LoadModelFile("data\\models\\weapons\\" + row.at(2));
    EXPECT_NE(file.FindBone("FPoint"), nullptr) << row.at(2);
  }
  for (const auto& row : ReadStatsRows("data\\stats\\grenades.txt", "\t")) {
    ExpectImage("data\\ui\\" + row.at(1));
    LoadModelFile("data\\models\\projectiles\\" + row.at(2));
  }
  for (const auto& row : ReadStatsRows("data\\stats\\projectiles.txt", "\t")) {
    if (row.at(1)[0] != '0') ExpectImage("data\\ui\\" + row.at(1));
    LoadModelFile("data\\models\\projectiles\\" + row.at(2));
  }
  auto vehicles = ReadStatsRows("data\\stats\\vehicles.txt", "\t,()");
  ASSERT_FALSE(vehicles.empty());
  for (const auto& row : vehicles) {
    MbmFile file = LoadModelFile("data\\models\\vehicles\\" + row.at(1));
    for (const char* wheel : {"Bone_F_R_Wheel_2", "Bone_F_L_Wheel_2", "Bone_B_R_Wheel_2", "Bone_B_L_Wheel_2"})
      EXPECT_NE(file.FindBone(wheel), nullptr) << wheel;
    int seats = std::atoi(row.at(6).c_str());
    ASSERT_EQ(row.size(), 7u + seats);
    for (int s = 0; s < seats; ++s) EXPECT_NE(file.FindBone(row[7 + s]), nullptr) << row[7 + s];
  }
}

TEST(GeneratedFiles, ClipsMatchTheirAliasesAndTheSoldierBones) {
  std::string list;
  ASSERT_TRUE(ReadFileBytes("data\\animations\\list.txt", list));
  std::istringstream in(list);
  std::string label, alias, path;
  size_t count = 0;
  in >> label >> count >> label;
  std::vector<std::string> aliases;
  MbmFile soldier = LoadModelFile("data\\models\\characters\\enemy_hero.mbm");
  for (size_t i = 0; i < count && in >> alias >> path; ++i) {
    SCOPED_TRACE(alias);
    aliases.push_back(alias);
    std::string text;
    ASSERT_TRUE(ReadFileBytes(path, text));
    ClipFile clip;
    ASSERT_TRUE(ReadClip(text, clip));
    EXPECT_EQ(clip.name, alias);  // clips are found by the name stored in the file
    EXPECT_GE(clip.length, 0.3f);
    EXPECT_FALSE(clip.tracks.empty());
    for (const auto& track : clip.tracks) {
      EXPECT_NE(soldier.FindBone(track.first), nullptr) << track.first;
      ASSERT_FALSE(track.second.empty());
      EXPECT_GT(track.second[0][4], 0.0f);  // playback starts on the wrap to the first key
      float previous = 0;
      for (const auto& key : track.second) {
        EXPECT_GT(key[4], previous);
        previous = key[4];
        EXPECT_NEAR(std::sqrt(key[0] * key[0] + key[1] * key[1] + key[2] * key[2] + key[3] * key[3]), 1.0f,
                    1e-4f);
      }
      EXPECT_LE(previous, clip.length + 1e-4f);
    }
  }
  EXPECT_EQ(aliases.size(), count);
  for (const char* name : {"run_f", "run_b", "strafe_l", "strafe_r", "hold_mg", "fire_mg", "throw_g"})
    EXPECT_NE(std::find(aliases.begin(), aliases.end(), name), aliases.end()) << name;
}
