// Exercises the Direct3D back-end on a real window: caps and device, the sky
// clear, managed and dynamic vertex and index buffers, a texture of each kind
// the game makes (plain, clamped, mipmapped, bump, made, volume) and the
// made kinds, HLSL programs (one the runtime compiles, one that samples and
// may fall back to the fixed pipeline), a reset whose scene fails to begin,
// and a forced device reset after which everything must draw again. Prints "CHECK name OK|FAIL" lines, then shows the frame
// on screen; exit code 0 when every check passed.
#include <cstdlib>

#include <d3dx9.h>

#include "core/error.h"
#include "core/matrix.h"
#include "render/backend.h"
#include "render/backend_shared.h"
#include "render/image.h"
#include "render/render_setup.h"
#include "render/resources.h"
#include "render/shader.h"
#include "render/world_render.h"
#include "tests/content/content_list.h"
#include "tests/win32/test_files.h"
#include "tests/win32/test_drawing.h"
#include "tests/win32/test_window.h"

static const std::string folder = "gen\\d3d_backend_test\\";

struct MeshVertex {
    float x, y, z, nx, ny, nz, u, v;
};

struct Scene {
    CVertexBuffer quad, dynamicQuad, meshQuad;
    CIndexBuffer indices;
    CTexture sprite, plain, bump, made, volume, opaque, withAlpha;
    CShaderProgram tint, sampling;
};

static bool MakeBuffers(Scene& s) {
    VertexLayout meshLayout = {{VET_FLOAT3, VU_POSITION}, {VET_FLOAT3, VU_NORMAL}, {VET_FLOAT2, VU_TEXCOORD}};
    bool made = CreateVertexBuffer(s.quad, sizeof(ColourVertex), 4, ColourLayout(), false, true) &&
                CreateVertexBuffer(s.dynamicQuad, sizeof(ColourVertex), 4, ColourLayout(), true, true) &&
                CreateVertexBuffer(s.meshQuad, sizeof(MeshVertex), 4, meshLayout, false, true) &&
                CreateIndexBuffer(s.indices, 6, false, true) &&
                FillColourQuad(s.quad, 500, 400, 0xFFFFFF00u) &&   // cyan, as the OpenGL test draws it
                FillQuadIndices(s.indices);
    CVertexBufferLock lock(s.meshQuad);
    const MeshVertex quad[4] = {{100, 450, 0, 0, 0, -1, 0, 0}, {180, 450, 0, 0, 0, -1, 1, 0},
                                {180, 530, 0, 0, 0, -1, 1, 1}, {100, 530, 0, 0, 0, -1, 0, 1}};
    if (made && lock.data)
        memcpy(lock.data, quad, sizeof(quad));
    return made && lock.data;
}

static void WriteSolidPng(const char* name, int w, int h, uint32_t argb) {
    WritePng(folder + name, w, h, std::vector<uint32_t>(size_t(w) * h, argb));
}

static void MakeTextures(Scene& s) {
    WriteSprite(folder + "sprite.png");
    Check("load_clamped", LoadTextureClamped(s.sprite, folder + "sprite.png") && s.sprite.GetWidth() == 64);

    WriteSolidPng("orange.png", 16, 16, 0xFFFF8000u);
    Check("load_mipmapped", LoadTextureWithCallbacks(s.plain, folder + "orange.png", false, 1, true));

    // A flat height image: the normal map points straight up, opaque.
    WriteSolidPng("height.png", 32, 32, 0xFF606060u);
    Check("load_bump", LoadTexture(s.bump, folder + "height.png", false, 5, true) && s.bump.GetRecord()->kind == 5);

    bool made = CreateTexture(s.made, 32, 32, 1, false);
    {
        CTextureLock lock(s.made, true);
        void* data = nullptr;
        int pitch, slice, bits, w, h, d;
        made = made && lock.GetData(data, pitch, slice, bits, w, h, d) && bits == 32;
        for (int i = 0; made && i < 32 * 32; i++)
            static_cast<uint32_t*>(data)[i] = 0xFF00C000u;   // green
    }
    Check("made_texture", made);

    // The same transparent red texels made opaque (kind 2) and with alpha
    // (kind 3): only the opaque one shows; other kinds are refused.
    CTexture refused;
    bool kinds = CreateTexture(s.opaque, 16, 16, 1, false, 2) && CreateTexture(s.withAlpha, 16, 16, 1, false, 3) &&
                 s.opaque.GetRecord()->kind == 2 && s.withAlpha.GetRecord()->kind == 3 &&
                 !CreateTexture(refused, 16, 16, 1, false, 7) && refused.IsEmpty();
    for (CTexture* t : {&s.opaque, &s.withAlpha}) {
        CTextureLock lock(*t, true);
        void* data = nullptr;
        int pitch, slice, bits, w, h, d;
        kinds = kinds && lock.GetData(data, pitch, slice, bits, w, h, d);
        for (int i = 0; kinds && i < 16 * 16; i++)
            static_cast<uint32_t*>(data)[i] = 0x00C00000u;
    }
    Check("made_texture_kinds", kinds);

    WriteSolidPng("slice_red.png", 8, 8, 0xFFFF0000u);
    WriteSolidPng("slice_blue.png", 8, 8, 0xFF0000FFu);
    WriteText(folder + "slices.t3d", "slice_red.png\nslice_blue.png\n");
    bool volume = LoadTexture(s.volume, folder + "slices.t3d", false, 1, false);
    Check("volume_texture", volume && s.volume.GetDepth() == 2, Has3DTextures() ? "" : "no 3D textures");
    SetTextureFilter(1, s.volume);
}

// One stage compiled as the loader compiles it, in the first of its
// profiles that gives code; "clean" when the runtime's text names no error.
struct StageCompile {
    bool compiled = false;
    bool clean = false;
    std::string profile, log;
};

static StageCompile CompileStage(const std::string& file, bool vertex) {
    StageCompile result;
    std::string source = ReadShaderStage(file);
    static const char* vertexProfiles[3] = {"vs_2_0", "vs_1_1", "vs_3_0"};
    static const char* pixelProfiles[1] = {"ps_2_0"};
    const char* const* profiles = vertex ? vertexProfiles : pixelProfiles;
    for (int i = 0; i < (vertex ? 3 : 1) && !source.empty(); i++) {
        ID3DXBuffer *code = nullptr, *errors = nullptr;
        HRESULT hr = D3DXCompileShader(source.data(), UINT(source.size()), nullptr, nullptr, "main", profiles[i],
                                       0, &code, &errors, nullptr);
        std::string log = errors ? std::string(static_cast<const char*>(errors->GetBufferPointer()),
                                               errors->GetBufferSize())
                                 : "";
        if (errors)
            errors->Release();
        if (code)
            code->Release();
        bool errorText = log.find("error") != std::string::npos || log.find(": E") != std::string::npos;
        if (SUCCEEDED(hr) && code && !result.compiled) {
            result = StageCompile{true, !errorText, profiles[i], log};
            if (result.clean)
                return result;
        } else if (!result.compiled) {
            result.log = log;
        }
    }
    return result;
}

// Every shipped stage compiles with no error in the runtime's text, or its
// program is refused and the game's fallback loads: the land's and the
// soldiers' vertex-only programs, the fixed pipeline for the rest. The
// vertex-only programs must load everywhere. A stage that compiles while
// its text names an error (Wine drops what it cannot build and says so) is
// refused, never drawn without its arithmetic.
static void CheckShippedStages() {
    bool agree = true, vertexOnly = true;
    for (const ShippedProgram& p : ShippedPrograms()) {
        bool wanted = true;
        for (int stage = 0; stage < 2; stage++) {
            std::string base = stage == 0 ? p.vertexBase : p.fragmentBase;
            if (base.empty())
                continue;
            if (stage == 1 && std::string(p.vertexBase) == "data\\shaders\\gbfont")
                continue;   // the text draws with its vertex stage only
            StageCompile c = CompileStage(base + (stage == 0 ? ".hlsl_v" : ".hlsl_f"), stage == 0);
            printf("STAGE %s%s compiled %d clean %d %s\n%s", base.c_str(), stage == 0 ? ".hlsl_v" : ".hlsl_f",
                   c.compiled, c.clean, c.profile.c_str(), c.log.c_str());
            wanted = wanted && c.compiled && c.clean;
        }
        CShaderProgram program;
        std::string fragment = std::string(p.vertexBase) == "data\\shaders\\gbfont" ? "" : p.fragmentBase;
        program.Load(p.vertexBase, fragment);
        printf("program %s loaded %d\n", p.vertexBase, program.IsLoaded());
        agree = agree && program.IsLoaded() == wanted;
        if (!*p.fragmentBase || fragment.empty())
            vertexOnly = vertexOnly && wanted && program.IsLoaded();
    }
    Check("shipped_stages_clean_or_refused", agree);
    Check("vertex_only_programs_load", vertexOnly);
    CShaderProgram soldier, land;
    soldier.Load(SoldierProgramPath, SoldierProgramPath);
    if (!soldier.IsLoaded())
        soldier.Load(SoldierFallbackPath, "");
    land.Load("data\\shaders\\land_full", "data\\shaders\\land_full");
    if (!land.IsLoaded())
        land.Load("data\\shaders\\land_bad", "");
    Check("fallbacks_load", soldier.IsLoaded() && land.IsLoaded());

    // A stage whose compile names an error in its text is refused, whatever
    // the result (runtimes without the dot intrinsic report success).
    WriteText(folder + "dropped.hlsl_v",
              "float4 main(float4 p : POSITION, float3 n : NORMAL) : POSITION\n"
              "{ return p * dot(n, float3(0.0, 0.0, 1.0)); }\n");
    StageCompile c = CompileStage(folder + "dropped.hlsl_v", true);
    CShaderProgram dropped;
    dropped.Load(folder + "dropped", "");
    Check("error_text_refused", dropped.IsLoaded() == (c.compiled && c.clean),
          c.clean ? "compiles cleanly here" : "error text here");
}

static void LoadPrograms(Scene& s) {
    WriteText(folder + "tint.hlsl_v",
              "float4x4 dx_ModelMatrix;\nfloat4x4 dx_ViewProjectionMatrix;\n"
              "float4 main(float3 p : POSITION) : POSITION\n"
              "{ return mul(dx_ViewProjectionMatrix, mul(float4(p, 1.0), dx_ModelMatrix)); }\n");
    WriteText(folder + "tint.hlsl_f", "float4 tint;\nfloat4 main() : COLOR { return tint; }\n");
    WriteText(folder + "sampling.hlsl_f",
              "sampler2D colourMap;\nfloat4 main(float2 uv : TEXCOORD0) : COLOR { return tex2D(colourMap, uv); }\n");
    WriteText(folder + "sampling.hlsl_v",
              "float4x4 dx_ModelViewProjectionMatrix;\n"
              "struct Out { float4 p : POSITION; float2 uv : TEXCOORD0; };\n"
              "Out main(float3 p : POSITION, float2 uv : TEXCOORD0)\n"
              "{ Out o; o.p = mul(dx_ModelViewProjectionMatrix, float4(p, 1.0)); o.uv = uv; return o; }\n");
    s.tint.Load(folder + "tint", folder + "tint");
    Check("shader_load", s.tint.IsLoaded());
    s.sampling.Load(folder + "sampling", folder + "sampling");
    printf("sampling program loaded %d\n", s.sampling.IsLoaded());
    CShaderProgram font;
    font.Load("data\\shaders\\gbfont", "");
    Check("font_program", font.IsLoaded());
    CheckShippedStages();
}

static void DrawScene(Scene& s) {
    ClearFrame(TestSky, true, true, true);
    SetScreenProjection();

    DrawSprite(s.sprite, 200, 150, 0, 1, 1);   // 168..232 x 118..182
    DrawTexture(s.made, 300, 150, 1);          // green at 300..332
    DrawTexture(s.bump, 400, 150, 1);          // normal map at 400..432
    DrawTexture(s.opaque, 300, 230, 1);        // red at 300..316
    DrawTexture(s.withAlpha, 340, 230, 1);     // nothing at 340..356
    if (!s.volume.IsEmpty()) {
        BindTexture(s.volume, 0);
        UnbindShaderProgram();
        BeginPrimitive(PRIM_TRIANGLE_FAN);
        const float corners[4][2] = {{500, 150}, {540, 150}, {540, 190}, {500, 190}};
        for (const auto& c : corners) {
            SetVertexTexCoord(0.5f, 0.5f, 0.75f);   // the centre of the second (blue) slice
            AddVertex(c[0], c[1]);
        }
        EndPrimitive();
    }

    // Tint program, moved right by the world matrix.
    s.tint.Bind();
    DisableTexturing();
    DrawTintedQuad(s.tint);

    // Textured mesh quad: through the sampling program, or the fixed pipeline when it did not load.
    s.sampling.Bind();
    SetStandardMatrices();
    BindTexture(s.plain, 0);
    BindVertexBuffer(s.meshQuad);
    BindIndexBuffer(s.indices);
    DrawIndexedTriangles(2);
    UnbindShaderProgram();

    // Vertex colours: the same packed colours as the OpenGL test.
    DisableTexturing();
    BindVertexBuffer(s.quad);
    BindIndexBuffer(s.indices);
    DrawIndexedTriangles(2);
    FillColourQuad(s.dynamicQuad, 650, 400, 0xFF0000FFu);   // red, refilled every frame
    BindVertexBuffer(s.dynamicQuad);
    DrawIndexedTriangles(2);
    UnbindVertexBuffer();
    UnbindIndexBuffer();
    DrawShadedRect(650, 100, 100, 100, 0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0xFFFFFFFFu);
}

static void CheckScene(const std::string& p) {
    CheckPixel(p + "clear_sky", 20, 580, 0, 127, 204, 1);
    CheckPixel(p + "sprite_top", 210, 130, 255, 0, 255, 8);
    CheckPixel(p + "sprite_bottom", 210, 170, 255, 255, 0, 8);
    CheckPixel(p + "sprite_colour_key", 172, 122, 0, 127, 204, 8);
    CheckPixel(p + "made_texture_draw", 316, 166, 0, 192, 0, 3);
    CheckPixel(p + "bump_draw", 416, 166, 128, 128, 255, 3);
    CheckPixel(p + "made_opaque_draw", 308, 238, 192, 0, 0, 3);
    CheckPixel(p + "made_alpha_draw", 348, 238, 0, 127, 204, 1);
    if (Has3DTextures())
        CheckPixel(p + "volume_draw", 520, 170, 0, 0, 255, 3);
    CheckPixel(p + "shader_draw", 440, 340, 255, 128, 0, 3);
    CheckPixel(p + "shader_not_at_origin", 140, 340, 0, 127, 204, 1);
    CheckPixel(p + "textured_mesh", 140, 490, 255, 128, 0, 3);
    CheckPixel(p + "buffers_draw", 550, 450, 0, 255, 255, 2);
    CheckPixel(p + "dynamic_buffer_draw", 700, 450, 255, 0, 0, 2);
    CheckPixel(p + "shaded_rect_centre", 700, 150, 127, 127, 127, 6);
    CheckPixel(p + "shaded_rect_red_corner", 654, 104, 245, 10, 10, 16);
}

// Stream 0 holds this handle's buffer, on the device and in the back-end's slot.
static bool StreamHolds(const CVertexBuffer& h) {
    IDirect3DVertexBuffer9* bound = nullptr;
    UINT offset = 0, stride = 0;
    d3dDevice->GetStreamSource(0, &bound, &offset, &stride);
    if (bound)
        bound->Release();
    return bound && GetStreamSourceRecord(0) == h.GetRecord();
}

// No stream holds a buffer, on the device or in the back-end's slots.
static bool StreamsFree() {
    for (int stream = 0; stream < 8; stream++) {
        IDirect3DVertexBuffer9* bound = nullptr;
        UINT offset = 0, stride = 0;
        d3dDevice->GetStreamSource(UINT(stream), &bound, &offset, &stride);
        if (bound)
            bound->Release();
        if (bound || GetStreamSourceRecord(stream))
            return false;
    }
    return true;
}

static int lostCalls = 0, resetCalls = 0;
static void OnLost() { lostCalls++; }
static void OnReset() { resetCalls++; }

static void TestFailurePaths() {
    CheckRefusedImages(folder);
    CTexture t;
    WriteSolidPng("kind.png", 8, 8, 0xFFFFFFFFu);
    Check("refused_kind", !LoadTexture(t, folder + "kind.png", false, 9, false) && t.IsEmpty());
    WriteText(folder + "broken.hlsl_v", "float4 main() : POSITION { return undeclaredThing; }\n");
    CShaderProgram broken;
    broken.Load(folder + "broken", "");
    Check("failing_shader", !broken.IsLoaded());
    VertexLayout bad = {{VET_FLOAT3, VU_POSITION}, {9, VU_NORMAL}};
    CVertexBuffer vb;
    Check("refused_layout", !CreateVertexBuffer(vb, 12, 4, bad, false, true) && vb.IsEmpty());

    // A buffer never filled through a lock is reported at its bind and bound
    // all the same.
    CVertexBuffer unfilled;
    bool made = CreateVertexBuffer(unfilled, sizeof(ColourVertex), 4, ColourLayout(), false, true);
    int reports = ErrorReportCount();
    BindVertexBuffer(unfilled);
    Check("unfilled_buffer_bound", made && StreamHolds(unfilled) && ErrorReportCount() == reports + 1 &&
                                       GetCurrentVertexBuffer() == unfilled.GetRecord());

    // Dropped and unbound while another handle keeps the record, the device
    // and the back-end's slots let go of it all the same, and the next bind
    // really binds; dropped by its last handle, likewise.
    CVertexBuffer kept = unfilled;
    CVertexBuffer::DropAndUnbind(unfilled);
    bool keptFree = unfilled.IsEmpty() && !kept.IsEmpty() && StreamsFree() && !GetCurrentVertexBuffer();
    BindVertexBuffer(kept);
    Check("drop_and_unbind_kept", keptFree && StreamHolds(kept));
    CVertexBuffer::DropAndUnbind(kept);
    Check("drop_and_unbind", kept.IsEmpty() && StreamsFree() && !GetCurrentVertexBuffer());
}

int main() {
    CreateDirectoryA("gen", nullptr);
    CreateDirectoryA("gen\\d3d_backend_test", nullptr);
    StartupGdiplus();   // slice lists are decoded as in the other program

    std::string warnings;
    int vertexProcessing = 1;
    bool warned = CheckDirect3DCaps(vertexProcessing, warnings);
    printf("caps warned %d fatal %d vertex processing %d\n%s", warned, IsFatalCaps(), vertexProcessing,
           warnings.c_str());
    Check("caps", !IsFatalCaps());

    HWND window = OpenTestWindow("Vexmoor D3D Backend");
    Check("window", window != nullptr);
    bool init = StartTestRenderer(window, true);
    Check("init", init && HasRenderContext() && IsDeviceReady());
    if (!init)
        return FinishChecks();
    printf("shaders %d 3d %d stencil %d vs %d\n", ShadersAvailable(), Has3DTextures(), IsStencilEnabled(),
           d3dVertexShaderMajor);
    RenderSetup again;
    again.fullScreen = false;
    IDirect3DDevice9* device = d3dDevice;
    Check("second_init_refused", !InitRenderer(&again, window) && d3dDevice == device);
    RegisterDeviceLostCallback(OnLost);
    RegisterDeviceResetCallback(OnReset);

    Scene& scene = *new Scene;
    Check("buffers_create", MakeBuffers(scene));
    MakeTextures(scene);
    LoadPrograms(scene);

    Check("begin_frame", BeginFrame(0.02f, true, true));
    Check("default_state", DefaultStates());
    Check("scene_already_open", !BeginFrame(0.02f, true, true));
    DrawScene(scene);
    CheckScene("");
    PresentFrame();

    // A reset whose scene then fails to begin: the next frame that opens
    // brings the default states back all the same.
    ForceDeviceResetForTest();
    FailNextSceneForTest();
    bool sceneFailed = !BeginFrame(0.02f, false, true);
    bool reopened = BeginFrame(0.02f, false, true);
    Check("states_after_failed_scene",
          sceneFailed && reopened && DefaultStates() && !GetRenderSwitch(RS_LIGHTING));
    PresentFrame();
    lostCalls = resetCalls = 0;

    // A device that needs a reset: not reset while mayReset is false, the
    // lost list runs once, then the reset brings everything back.
    ForceDeviceResetForTest();
    bool skipped = !BeginFrame(0.02f, true, false) && !BeginFrame(0.02f, true, false);
    Check("reset_waits", skipped && lostCalls == 1 && resetCalls == 0 && IsDeviceLost());
    bool reset = BeginFrame(0.02f, true, true);
    Check("reset", reset && lostCalls == 1 && resetCalls == 1 && !IsDeviceLost());
    float sum = 0;
    uint32_t frames = 0;
    GetCountedFrameTime(sum, frames);
    Check("frame_time_counted", frames == 1 && sum > 0.019f && sum < 0.021f);
    DrawScene(scene);
    CheckScene("after_reset_");
    Check("text_draw", DrawAndMeasureText());

    TestFailurePaths();
    ShowUntilSignalled("frame");

    delete &scene;   // the game lets its resources go before the device
    ShutdownRenderer();
    Check("shutdown", !HasRenderContext() && !IsDeviceReady() && VertexDeclarationCount() == 0);
    ShutdownGdiplus();
    DestroyWindow(window);
    return FinishChecks();
}
