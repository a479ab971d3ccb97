// The shipped images, menus, sounds and shader files through the game's own
// loaders: every image a file or the code names is a texture the loader
// takes, the menus read, the Ogg files open with the decoder the sound code
// uses, and every program the renderers load has its stage files.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/files.h"
#include "game/stats.h"
#include "render/backend.h"
#include "render/image.h"
#include "render/resources.h"
#include "tests/content/content_list.h"
#include "ui/menu.h"

namespace {

bool PowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

class ContentMedia : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RenderSetup setup;
        ASSERT_TRUE(InitRenderer(&setup, nullptr));
        std::string message;
        statsLoaded = LoadShippedStats(message);
    }
    static void TearDownTestSuite() { ShutdownRenderer(); }
    static bool statsLoaded;
};

bool ContentMedia::statsLoaded = false;

TEST_F(ContentMedia, EveryNamedImageIsAPowerOfTwoTexture) {
    ASSERT_TRUE(statsLoaded);
    std::vector<std::string> images = FixedImages();
    std::vector<std::string> named = StatsImages();
    images.insert(images.end(), named.begin(), named.end());
    for (const std::string& path : images) {
        CTexture texture;
        ASSERT_TRUE(LoadTexture(texture, path, false, 1, false)) << path;
        EXPECT_TRUE(PowerOfTwo(texture.GetWidth()) && PowerOfTwo(texture.GetHeight())) << path;
    }
    // The one exception: the dialogue box is centred by its 450-pixel width.
    CImage box;
    ASSERT_TRUE(box.LoadFromFile(DialogBoxImage));
    EXPECT_EQ(box.GetWidth(), DialogBoxWidth);
    EXPECT_TRUE(PowerOfTwo(box.GetHeight()));
}

TEST_F(ContentMedia, EveryMenuFileReads) {
    const char* files[] = {"CTitle",         "CCampaign_Profile", "CCampaign_Mission",
                           "CCampaign_Unit", "CGameUI_Regular",   "CGameUI_Pause",
                           "CGameUI_Gameover"};
    for (const char* name : files) {
        std::string path = std::string("data\\menu\\") + name + ".txt";
        CMenu menu;
        ASSERT_TRUE(menu.Load(path)) << path;
        EXPECT_GT(menu.GetButtonCount(), 0) << path;
    }
}

struct Decoded {
    int channels = 0;
    long rate = 0;
    long long pcmBytes = 0;   // as the sound code sizes its buffers
    std::vector<short> samples;   // the first channel, up to the limit
};

// Opens the file as the sound code does (fopen "rb", ov_open, ov_info,
// ov_pcm_total) and decodes up to maxFrames frames.
bool Decode(const std::string& path, long maxFrames, Decoded& out) {
    FILE* f = OpenFile(path, "rb");
    if (!f)
        return false;
    OggVorbis_File vf;
    if (ov_open(f, &vf, nullptr, 0) != 0) {
        fclose(f);
        return false;
    }
    vorbis_info* info = ov_info(&vf, -1);
    out.channels = info->channels;
    out.rate = info->rate;
    out.pcmBytes = (long long)ov_pcm_total(&vf, -1) * info->channels * 2;
    std::vector<short> pcm(4096);
    int section = 0;
    long got;
    while ((long)out.samples.size() < maxFrames &&
           (got = ov_read(&vf, (char*)pcm.data(), (int)(pcm.size() * 2), 0, 2, 1, &section)) > 0) {
        for (long i = 0; i < got / 2; i += info->channels)
            out.samples.push_back(pcm[i]);
    }
    ov_clear(&vf);
    return true;
}

int Peak(const std::vector<short>& s) {
    int peak = 0;
    for (short v : s)
        peak = std::max(peak, std::abs((int)v));
    return peak;
}

// Sign changes per sample: near 0.5 for white noise, far lower for tones.
double CrossingRate(const std::vector<short>& s) {
    long crossings = 0;
    for (size_t i = 1; i < s.size(); i++)
        crossings += (s[i - 1] < 0) != (s[i] < 0);
    return s.size() > 1 ? (double)crossings / (double)(s.size() - 1) : 0.0;
}

TEST_F(ContentMedia, SoundEffectsAreMonoAndAudible) {
    // Effects are played as one channel whatever the file holds.
    for (const char* path : {"data\\sound effects\\rifle_sound.ogg", "data\\sound effects\\type.ogg"}) {
        SCOPED_TRACE(path);
        Decoded d;
        ASSERT_TRUE(Decode(path, 44100 * 5, d));
        EXPECT_EQ(d.channels, 1);
        EXPECT_EQ(d.rate, 44100);
        EXPECT_GT(d.pcmBytes, 0);
        EXPECT_LT(d.pcmBytes, 44100 * 2 * 3);   // a shot or a key, not a tune
        EXPECT_GT(Peak(d.samples), 3000);
    }
}

TEST_F(ContentMedia, MusicStreamsAndSoundsLikeMusic) {
    for (const char* path : {"data\\music\\fieldbattle.ogg", "data\\music\\title0.ogg",
                             "data\\music\\automatic01.ogg"}) {
        SCOPED_TRACE(path);
        Decoded d;
        ASSERT_TRUE(Decode(path, 44100 * 8, d));
        EXPECT_EQ(d.rate, 44100);
        EXPECT_GE(d.channels, 1);
        // Several turns of the 100000-byte streaming ring before the loop.
        EXPECT_GT(d.pcmBytes, 10 * 100000);
        EXPECT_GT(Peak(d.samples), 3000);
        double rate = CrossingRate(d.samples);
        EXPECT_LT(rate, 0.15) << "crossing rate " << rate;
    }
}

TEST_F(ContentMedia, EveryProgramHasItsStageFiles) {
    std::string prefix = ReadWholeFile(false, "data\\shaders\\glsl_base.glsl");
    ASSERT_FALSE(prefix.empty());
    for (const ShippedProgram& p : ShippedPrograms()) {
        std::vector<std::string> stages;
        if (*p.vertexBase)
            stages.push_back(std::string(p.vertexBase) + ".glsl_v");
        if (*p.fragmentBase)
            stages.push_back(std::string(p.fragmentBase) + ".glsl_f");
        for (const std::string& file : stages) {
            SCOPED_TRACE(file);
            std::string text = ReadWholeFile(false, file);
            ASSERT_FALSE(text.empty());
            // Compiled behind the prefix: a version line would not come first,
            // and the prefix already declares the standard matrices.
            EXPECT_EQ(text.find("#version"), std::string::npos);
            EXPECT_EQ(text.find("uniform mat4 ModelMatrix"), std::string::npos);
            EXPECT_EQ(text.find("uniform mat4 ViewProjectionMatrix"), std::string::npos);
        }
    }
    // The uniforms the world renderer sets.
    EXPECT_NE(ReadWholeFile(false, "data\\shaders\\soldier_full.glsl_f").find("uniform vec3 camPos"),
              std::string::npos);
    EXPECT_NE(ReadWholeFile(false, "data\\shaders\\weapon_full.glsl_f").find("uniform float time"),
              std::string::npos);
}

// The Direct3D program loads the same programs from HLSL stages: the text
// program as a vertex stage only. Vertex stages read the "dx_" matrices.
TEST_F(ContentMedia, EveryProgramHasItsHlslStages) {
    for (const ShippedProgram& p : ShippedPrograms()) {
        std::string vertex = std::string(p.vertexBase) + ".hlsl_v";
        SCOPED_TRACE(vertex);
        std::string text = ReadWholeFile(false, vertex);
        ASSERT_FALSE(text.empty());
        EXPECT_NE(text.find("main("), std::string::npos);
        EXPECT_NE(text.find("float4x4 dx_ModelMatrix;"), std::string::npos);
        EXPECT_NE(text.find("float4x4 dx_ViewProjectionMatrix;"), std::string::npos);
        if (*p.fragmentBase && std::string(p.fragmentBase) != "data\\shaders\\gbfont") {
            EXPECT_NE(ReadWholeFile(false, std::string(p.fragmentBase) + ".hlsl_f").find("tex2D(colourMap"),
                      std::string::npos);
        }
    }
    EXPECT_NE(ReadWholeFile(false, "data\\shaders\\soldier_full.hlsl_f").find("float3 camPos;"), std::string::npos);
    EXPECT_NE(ReadWholeFile(false, "data\\shaders\\weapon_full.hlsl_f").find("float time;"), std::string::npos);
    // The constants the terrain and the particles set.
    EXPECT_NE(ReadWholeFile(false, "data\\shaders\\grass_full.hlsl_v").find("float angExtra;"), std::string::npos);
    std::string sphere = ReadWholeFile(false, "data\\shaders\\sphere.hlsl_v");
    EXPECT_NE(sphere.find("float scale;"), std::string::npos);
    EXPECT_NE(sphere.find("float4 color;"), std::string::npos);
}

}  // namespace
