// The Direct3D back-end's device-free pieces: format tables, declarations
// from layouts, mip counts, the capability verdict, the CPU normal map, the
// immediate-mode batch and the standard matrices.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "core/matrix.h"
#include "render/backend.h"
#include "render/device_choices.h"
#include "render/immediate_batch.h"
#include "render/normal_map.h"

namespace {

FormatTest Passing(std::set<uint32_t> formats) {
    return [formats](uint32_t f) { return formats.count(f) != 0; };
}

TEST(DeviceChoices, BackBufferAndDepthFormatsFollowTheirOrderAndFallBacks) {
    EXPECT_EQ(ChooseBackBufferFormat(true, Passing({DFMT_X8R8G8B8, DFMT_A2R10G10B10})), DFMT_A2R10G10B10);
    EXPECT_EQ(ChooseBackBufferFormat(true, Passing({DFMT_X8R8G8B8, DFMT_R5G6B5})), DFMT_X8R8G8B8);
    EXPECT_EQ(ChooseBackBufferFormat(false, Passing({DFMT_X1R5G5B5, DFMT_X8R8G8B8})), DFMT_X1R5G5B5);
    EXPECT_EQ(ChooseBackBufferFormat(false, Passing({})), DFMT_X8R8G8B8);

    bool stencil = true;
    EXPECT_EQ(ChooseDepthFormat(stencil, Passing({DFMT_D15S1, DFMT_D32})), DFMT_D15S1);
    EXPECT_TRUE(stencil);
    // No stencil format: the request is dropped and D24S8 is not tried again first.
    EXPECT_EQ(ChooseDepthFormat(stencil, Passing({DFMT_D16, DFMT_D24X8})), DFMT_D24X8);
    EXPECT_FALSE(stencil);
    stencil = false;
    EXPECT_EQ(ChooseDepthFormat(stencil, Passing({DFMT_D24S8})), DFMT_D24S8);
    EXPECT_EQ(ChooseDepthFormat(stencil, Passing({})), DFMT_D16);
}

// Texts as the runtimes write them: Wine's compiler reports success for the
// first one while it dropped the expressions it names.
TEST(DeviceChoices, CompileLogErrorsAreFoundAndWarningsAreNot) {
    for (const char* error : {
             "<anonymous>:18:12: E5017: Aborting due to not yet implemented feature: SM1 \"dot\" expression.\n",
             "<anonymous>:4:11: E5005: Function \"tex2D\" is not defined.",
             "C:\\game\\land.hlsl_v(12,5): error X3004: undeclared identifier 'n'",
             "warning X3206: implicit truncation\nERROR: compilation failed", "error"})
        EXPECT_TRUE(CompileLogReportsError(error)) << error;
    // Only whole words and four-digit codes.
    for (const char* clean : {"", "land.hlsl_v(3,1): warning X3206: implicit truncation of vector type",
                              "<anonymous>:7:2: W5300: Implicit truncation of float4 to float3.",
                              "terrors of the deep; errorless; E501: E50170: XE5017:"})
        EXPECT_FALSE(CompileLogReportsError(clean)) << clean;
}

TEST(DeviceChoices, TextureFormatByKind) {
    // Kind, 32-bit display, the formats the device takes, the choice.
    struct { int kind; bool deep; std::set<uint32_t> passing; uint32_t format; } cases[] = {
        {1, true, {}, DFMT_UNKNOWN},   // the file's own
        {2, true, {}, DFMT_X8R8G8B8}, {2, false, {DFMT_R5G6B5}, DFMT_R5G6B5}, {2, false, {}, DFMT_X1R5G5B5},
        {3, true, {}, DFMT_A8R8G8B8},
        {3, false, {}, DFMT_A1R5G5B5},   // 16-bit display without A4R4G4B4
        {4, false, {}, DFMT_DXT5},
        {5, false, {}, DFMT_X8R8G8B8},   // heights; the normal map is made from them
    };
    for (const auto& c : cases) {
        uint32_t f = 1;
        EXPECT_TRUE(ChooseTextureFormat(c.kind, c.deep, Passing(c.passing), f)) << c.kind;
        EXPECT_EQ(f, c.format) << c.kind << c.deep;
    }
    uint32_t f = 1;
    EXPECT_FALSE(ChooseTextureFormat(0, true, Passing({}), f));
    EXPECT_FALSE(ChooseTextureFormat(6, true, Passing({}), f));

    // Made textures: opaque or with alpha, whatever the display.
    EXPECT_TRUE(ChooseMadeTextureFormat(2, f) && f == DFMT_X8R8G8B8);
    EXPECT_TRUE(ChooseMadeTextureFormat(3, f) && f == DFMT_A8R8G8B8);
    for (int kind : {0, 1, 4, 5})
        EXPECT_FALSE(ChooseMadeTextureFormat(kind, f)) << kind;
}

TEST(DeviceChoices, MipLevelsComeFromTheSmallerSide) {
    struct { int w, h; bool mipmapped; int levels; } cases[] = {
        {512, 128, true, 5}, {128, 512, true, 5}, {4, 4, true, 1}, {8, 8, true, 1}, {16, 1024, true, 2},
        {512, 512, false, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(MipLevelCount(c.w, c.h, c.mipmapped), c.levels) << c.w << "x" << c.h;
}

TEST(DeviceChoices, BitsPerPixelOfEveryFormatTheGameChooses) {
    for (uint32_t f : {DFMT_A8R8G8B8, DFMT_X8R8G8B8, DFMT_A2R10G10B10, DFMT_D32, DFMT_D24S8, DFMT_D24X8})
        EXPECT_EQ(FormatBitsPerPixel(f), 32) << f;
    for (uint32_t f : {DFMT_R5G6B5, DFMT_X1R5G5B5, DFMT_A1R5G5B5, DFMT_A4R4G4B4, DFMT_D15S1, DFMT_D16})
        EXPECT_EQ(FormatBitsPerPixel(f), 16) << f;
    EXPECT_EQ(FormatBitsPerPixel(DFMT_DXT5), 8);
    EXPECT_EQ(FormatBitsPerPixel(DFMT_UNKNOWN), 0);
}

// The CPU copies move rows of width words: every way a level can fall short
// of that is refused on its own.
TEST(DeviceChoices, CopiesTakeOnlyLevelsOfFourByteTexelsAtTheirSize) {
    const LockedLevel flat = {DFMT_X8R8G8B8, 64, 32, 1, 256, 0}, volume = {DFMT_A8R8G8B8, 8, 8, 4, 32, 256};
    EXPECT_TRUE(TakesWordTexels(flat, 64, 32, 1));
    EXPECT_TRUE(TakesWordTexels(volume, 8, 8, 4));
    LockedLevel padded = flat;
    padded.rowPitch = 512;
    EXPECT_TRUE(TakesWordTexels(padded, 64, 32, 1));
    for (uint32_t f : {DFMT_R5G6B5, DFMT_A4R4G4B4, DFMT_A2R10G10B10, DFMT_DXT5, DFMT_UNKNOWN}) {
        LockedLevel other = flat;
        other.format = f;
        EXPECT_FALSE(TakesWordTexels(other, 64, 32, 1)) << f;
    }
    LockedLevel narrow = flat, shallow = flat, thin = volume, shortRows = flat, shortSlices = volume;
    narrow.width = 32;
    shallow.height = 16;
    thin.depth = 2;
    shortRows.rowPitch = 128;   // 16-bit rows
    shortSlices.slicePitch = 128;
    EXPECT_FALSE(TakesWordTexels(narrow, 64, 32, 1));
    EXPECT_FALSE(TakesWordTexels(shallow, 64, 32, 1));
    EXPECT_FALSE(TakesWordTexels(thin, 8, 8, 4));
    EXPECT_FALSE(TakesWordTexels(shortRows, 64, 32, 1));
    EXPECT_FALSE(TakesWordTexels(shortSlices, 8, 8, 4));
}

TEST(DeviceChoices, DeclarationsFromLayouts) {
    std::vector<DeclElement> e;
    int stride = 0;
    ASSERT_TRUE(BuildDeclElements({{VET_FLOAT3, VU_POSITION}, {VET_FLOAT2, VU_TEXCOORD}}, e, stride));
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(stride, 20);
    EXPECT_EQ(e[1].offset, 12);
    EXPECT_EQ(e[1].type, VET_FLOAT2);
    EXPECT_EQ(e[1].usage, DECL_TEXCOORD);

    // The text layout and two texture coordinates, which take successive indices.
    ASSERT_TRUE(BuildDeclElements(MakeTextVertexLayout(), e, stride));
    EXPECT_EQ(stride, 20);
    EXPECT_EQ(e[1].usage, DECL_COLOR);
    EXPECT_EQ(e[1].type, VET_COLOUR);
    EXPECT_EQ(e[2].offset, 12);
    ASSERT_TRUE(BuildDeclElements({{VET_FLOAT3, VU_POSITION}, {VET_FLOAT3, VU_NORMAL}, {VET_FLOAT2, VU_TEXCOORD},
                                   {VET_FLOAT2, VU_TEXCOORD}},
                                  e, stride));
    EXPECT_EQ(e[1].usage, DECL_NORMAL);
    EXPECT_EQ(e[2].usageIndex, 0);
    EXPECT_EQ(e[3].usageIndex, 1);
    EXPECT_EQ(e[3].offset, 32);

    ASSERT_TRUE(BuildDeclElements(MakeImmediateVertexLayout(), e, stride));
    EXPECT_EQ(stride, int(sizeof(ImmediateVertex)));

    EXPECT_FALSE(BuildDeclElements({{VET_FLOAT3, VU_POSITION}, {7, VU_NORMAL}}, e, stride));
    EXPECT_FALSE(BuildDeclElements({{VET_FLOAT3, 9}}, e, stride));
    EXPECT_FALSE(BuildDeclElements({}, e, stride));
}

TEST(DeviceChoices, CapabilityWarningsAndVertexProcessing) {
    DeviceCapsInfo caps;
    caps.pixelShaderMajor = 2;
    caps.vertexShaderMajor = 3;
    caps.volumeTextures = true;
    caps.declTypes = 0x3FF;
    std::string text;
    int vp = 1;
    CapsVerdict v;
    EXPECT_FALSE(JudgeDeviceCaps(caps, vp, text, v));
    EXPECT_EQ(vp, 2);
    EXPECT_TRUE(v.pixelShaders && v.textures3D && !v.fatal);
    EXPECT_EQ(text, "");

    caps.pixelShaderMajor = 0;
    caps.vertexShaderMajor = 1;
    caps.volumeTextures = false;
    EXPECT_TRUE(JudgeDeviceCaps(caps, vp, text, v));
    EXPECT_EQ(vp, 1);
    EXPECT_FALSE(v.pixelShaders);
    EXPECT_FALSE(v.textures3D);
    EXPECT_EQ(text, "Graphics Card does NOT support pixel shaders.\n Most of the graphics will be greatly "
                    "diminished on this computer\n\nYour graphics card does NOT support 3D textures.  Land will "
                    "look bad...\n");

    // A card without declaration types gets software processing whatever its shaders.
    caps.pixelShaderMajor = 3;
    caps.volumeTextures = true;
    caps.declTypes = 0;
    text.clear();
    EXPECT_FALSE(JudgeDeviceCaps(caps, vp, text, v));
    EXPECT_EQ(vp, 0);
    EXPECT_TRUE(v.pixelShaders);

    // Unreadable caps leave everything as it was; no runtime is fatal.
    caps.capsRead = false;
    vp = 1;
    CapsVerdict fresh;
    EXPECT_FALSE(JudgeDeviceCaps(caps, vp, text, fresh));
    EXPECT_TRUE(vp == 1 && fresh.pixelShaders && fresh.textures3D);
    caps.runtime = false;
    EXPECT_TRUE(JudgeDeviceCaps(caps, vp, text, fresh));
    EXPECT_TRUE(fresh.fatal);
    EXPECT_EQ(text.rfind("DirectX9.0c or greater is required to run this program.\nOlder versions of DirectX "
                         "(including DirectX9.0b) will not work.\n",
                         0),
              0u);
    EXPECT_EQ(text.substr(text.size() - 2), "\n\n");
}

TEST(DeviceChoices, PackedColourSwapsRedAndBlueOnly) {
    EXPECT_EQ(SwapRedBlue(0xffcc7f00u), 0xff007fccu);   // the sky as the device clears it
    EXPECT_EQ(SwapRedBlue(0x80FF0000u), 0x800000FFu);
    EXPECT_EQ(SwapRedBlue(SwapRedBlue(0x12345678u)), 0x12345678u);

    // Only the colour elements of vertex data change (PNC: 24 bytes of floats, then the colour).
    VertexLayout pnc = {{VET_FLOAT3, VU_POSITION}, {VET_FLOAT3, VU_NORMAL}, {VET_COLOUR, VU_COLOUR}};
    std::vector<uint32_t> words(14, 0x11223344u);
    words[6] = 0xFF0000FFu;
    words[13] = 0x80FF0000u;
    ConvertVertexColours(words.data(), 2, 28, pnc, SwapRedBlue);
    EXPECT_EQ(words[6], 0xFFFF0000u);
    EXPECT_EQ(words[13], 0x800000FFu);
    EXPECT_EQ(words[5], 0x11223344u);
    EXPECT_EQ(words[7], 0x11223344u);
    // A layout longer than the vertex (a bad cache) writes nothing past it.
    std::vector<uint32_t> one(6, 7u);
    ConvertVertexColours(one.data(), 1, 24, pnc, SwapRedBlue);
    EXPECT_EQ(one, std::vector<uint32_t>(6, 7u));
}

// Heights in the red channel of ARGB words.
uint32_t Height(int red) { return 0xFF000000u | uint32_t(red) << 16 | 0x00ABCD; }

TEST(NormalMap, FlatRampAndWrappedEdges) {
    // Flat: straight up, opaque.
    std::vector<uint32_t> flat(4 * 4, Height(100)), out(16);
    ComputeNormalMap(flat.data(), 4, 4, 1.0f, out.data());
    for (uint32_t p : out)
        EXPECT_EQ(p, 0xFF8080FFu);

    // A ramp in x of 0, 51, 102, 153 (0, 0.2, 0.4, 0.6): inner slope 0.2 per
    // texel; the edges wrap, so column 0 sees (51 - 153) / 2 = -0.2.
    std::vector<uint32_t> ramp(4 * 2);
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 4; x++)
            ramp[size_t(y) * 4 + x] = Height(51 * x);
    std::vector<uint32_t> normals(8);
    ComputeNormalMap(ramp.data(), 4, 2, 1.0f, normals.data());
    // Inner columns: n = (-0.2, 0, 1) / sqrt(1.04) = (-0.19612, 0, 0.98058): red
    // 102.99 -> 102, green 128, blue 253.02 -> 253. Column 0 wraps to
    // (0.2 - 0.6) / 2 and column 3 to (0 - 0.4) / 2: the mirrored slope.
    EXPECT_EQ(normals, (std::vector<uint32_t>{0xFF9980FDu, 0xFF6680FDu, 0xFF6680FDu, 0xFF9980FDu,
                                              0xFF9980FDu, 0xFF6680FDu, 0xFF6680FDu, 0xFF9980FDu}));

    // The amplitude scales the slope: twice the amplitude tilts further.
    ComputeNormalMap(ramp.data(), 4, 2, 2.0f, normals.data());
    EXPECT_LT(normals[1] >> 16 & 0xFF, 102u);
}

TEST(ImmediateBatch, PrimitiveCountsColoursAndRefusals) {
    CImmediateBatch batch;
    std::vector<ImmediateVertex> v;
    int type = -1, count = -1;

    // A fan of six draws four triangles; unset colours are opaque white.
    EXPECT_TRUE(batch.Begin(PRIM_TRIANGLE_FAN));
    EXPECT_FALSE(batch.Begin(PRIM_LINES));   // the first primitive is kept
    for (int i = 0; i < 6; i++) {
        if (i == 3)
            batch.SetColour(0xFF0000FFu);
        batch.Add(float(i), 0, 0);
    }
    ASSERT_TRUE(batch.End(type, count, v));
    EXPECT_EQ(type, PRIM_TRIANGLE_FAN);
    EXPECT_EQ(count, 4);
    ASSERT_EQ(v.size(), 6u);
    EXPECT_EQ(v[0].colour, 0xFFFFFFFFu);
    EXPECT_EQ(v[5].colour, 0xFF0000FFu);
    EXPECT_EQ(v[5].position[0], 5.0f);

    // Begin resets the colour and texture coordinate set before it.
    batch.SetColour(0xFF00FF00u);
    batch.SetTexCoord(1, 1, 1, 1);
    batch.Begin(PRIM_TRIANGLES);
    for (int i = 0; i < 7; i++)
        batch.Add(0, 0, 0);
    batch.End(type, count, v);
    EXPECT_EQ(count, 2);   // the odd vertex makes nothing
    EXPECT_EQ(v[0].colour, 0xFFFFFFFFu);
    EXPECT_EQ(v[0].texCoord[0], 0.0f);

    batch.Begin(PRIM_LINES);
    batch.Add(0, 0, 0);
    batch.End(type, count, v);
    EXPECT_EQ(count, 0);

    // An unknown type begins nothing: its vertices are dropped and End has nothing to end.
    EXPECT_FALSE(batch.Begin(4));
    batch.Add(1, 2, 3);
    EXPECT_FALSE(batch.End(type, count, v));
    EXPECT_TRUE(batch.Begin(PRIM_POINTS));
    batch.Add(1, 2, 3);
    batch.End(type, count, v);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(v.size(), 1u);
}

// p as a row vector times m.
void RowTimes(float out[4], const float p[4], const float m[16]) {
    for (int c = 0; c < 4; c++)
        out[c] = p[0] * m[c] + p[1] * m[4 + c] + p[2] * m[8 + c] + p[3] * m[12 + c];
}

TEST(StandardMatrices, ProductsAgainstHandComputedOnes) {
    Matrix4 world, view, projection;
    Matrix4Identity(world);
    Matrix4Identity(view);
    world.m[3] = 3.0f;    // world moves x by 3
    view.m[11] = 5.0f;    // view moves z by 5
    MakePerspectiveMatrix(projection, 1.5707964f, 1.0f, 1.0f, 3.0f);
    StandardMatrices m;
    MakeStandardMatrices(m, world, view, projection.m);

    // HLSL sees each matrix transposed: mul(M, p) is p (as a row) times the
    // matrix handed over. (1, 2, 0) -> world (4, 2, 0) -> view (4, 2, 5) ->
    // clip (4, 2, 5 x 1.5 - 1.5, 5).
    const float p[4] = {1, 2, 0, 1};
    float clip[4];
    RowTimes(clip, p, m.modelViewProjection);
    const float expected[4] = {4, 2, 6, 5};
    for (int i = 0; i < 4; i++)
        EXPECT_NEAR(clip[i], expected[i], 1e-5f) << i;
    const float inWorld[4] = {4, 2, 0, 1};
    RowTimes(clip, inWorld, m.viewProjection);
    for (int i = 0; i < 4; i++)
        EXPECT_NEAR(clip[i], expected[i], 1e-5f) << i;

    // Model and model-view are read as mul(p, M): M p in the game's form.
    EXPECT_EQ(m.model[3], 3.0f);
    EXPECT_EQ(m.modelView[3], 3.0f);
    EXPECT_EQ(m.modelView[11], 5.0f);
    EXPECT_EQ(m.projection[11], 1.0f);
    EXPECT_NEAR(m.projection[14], -1.5f, 1e-6f);
}

}  // namespace
