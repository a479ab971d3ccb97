// The shipped images, menus and shader files through the game's own loaders:
// every image a file or the code names is a texture the loader takes, the
// menus read, and every program the renderers load has its stage files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/files.h"
#include "render/image.h"
#include "render/resources.h"
#include "tests/content/content_fixture.h"
#include "ui/menu.h"

namespace {

using ContentMedia = ContentTest;

TEST_F(ContentMedia, EveryNamedImageIsAPowerOfTwoTexture) {
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
    for (const char* name : {"CTitle", "CCampaign_Profile", "CCampaign_Mission", "CCampaign_Unit",
                             "CGameUI_Regular", "CGameUI_Pause", "CGameUI_Gameover"}) {
        std::string path = std::string("data\\menu\\") + name + ".txt";
        CMenu menu;
        ASSERT_TRUE(menu.Load(path)) << path;
        EXPECT_GT(menu.GetButtonCount(), 0) << path;
    }
}

// GLSL stages are compiled behind the common prefix: a version line would
// not come first, and the prefix already declares the standard matrices.
// The Direct3D program loads the same programs from HLSL stages (the text
// program as a vertex stage only), whose vertex stages read the "dx_" matrices.
TEST_F(ContentMedia, EveryProgramHasItsGlslAndHlslStages) {
    ASSERT_FALSE(ReadWholeFile(false, "data\\shaders\\glsl_base.glsl").empty());
    for (const ShippedProgram& p : ShippedPrograms()) {
        std::vector<std::string> glsl;
        if (*p.vertexBase)
            glsl.push_back(std::string(p.vertexBase) + ".glsl_v");
        if (*p.fragmentBase)
            glsl.push_back(std::string(p.fragmentBase) + ".glsl_f");
        for (const std::string& file : glsl) {
            SCOPED_TRACE(file);
            std::string text = ReadWholeFile(false, file);
            ASSERT_FALSE(text.empty());
            EXPECT_EQ(text.find("#version"), std::string::npos);
            EXPECT_EQ(text.find("uniform mat4 ModelMatrix"), std::string::npos);
            EXPECT_EQ(text.find("uniform mat4 ViewProjectionMatrix"), std::string::npos);
        }
        std::string vertex = std::string(p.vertexBase) + ".hlsl_v";
        SCOPED_TRACE(vertex);
        std::string text = ReadWholeFile(false, vertex);
        ASSERT_FALSE(text.empty());
        for (const char* part : {"main(", "float4x4 dx_ModelMatrix;", "float4x4 dx_ViewProjectionMatrix;"})
            EXPECT_NE(text.find(part), std::string::npos) << part;
        if (*p.fragmentBase && std::string(p.fragmentBase) != "data\\shaders\\gbfont") {
            EXPECT_NE(ReadWholeFile(false, std::string(p.fragmentBase) + ".hlsl_f").find("tex2D(colourMap"),
                      std::string::npos);
        }
    }
    // The uniforms and constants the world renderer, the terrain and the particles set.
    const struct {
        const char *file, *declaration;
    } uniforms[] = {
        {"soldier_full.glsl_f", "uniform vec3 camPos"}, {"weapon_full.glsl_f", "uniform float time"},
        {"soldier_full.hlsl_f", "float3 camPos;"},      {"weapon_full.hlsl_f", "float time;"},
        {"grass_full.hlsl_v", "float angExtra;"},       {"sphere.hlsl_v", "float scale;"},
        {"sphere.hlsl_v", "float4 color;"},
    };
    for (const auto& u : uniforms) {
        EXPECT_NE(ReadWholeFile(false, std::string("data\\shaders\\") + u.file).find(u.declaration),
                  std::string::npos)
            << u.file << ": " << u.declaration;
    }
}

}  // namespace
