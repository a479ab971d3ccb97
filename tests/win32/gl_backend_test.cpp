// Exercises the OpenGL back-end on a real window: clear and read back, a
// textured sprite from a PNG decoded by GDI+, a GLSL program behind the
// common prefix, a vertex and index buffer, and the failure paths. Prints
// one "CHECK name OK|FAIL" line per check, then shows the last frame
// on screen for a screenshot; exit code 0 when every check passed.
#include <cstdlib>

#include "core/error.h"
#include "core/matrix.h"
#include "render/backend.h"
#include "render/image.h"
#include "render/render_setup.h"
#include "render/resources.h"
#include "render/shader.h"
#include "render/gl/gl_frame.h"
#include "render/gl/gl_local.h"

#include "tests/win32/test_files.h"
#include "tests/win32/test_drawing.h"
#include "tests/win32/test_window.h"

static const std::string folder = "gen\\gl_backend_test\\";

static int shutdownCalls = 0;
static void OnShutdown() { shutdownCalls++; }

static void TestFailurePaths() {
    CheckRefusedImages(folder);
    int reports = ErrorReportCount();
    WriteText(folder + "broken.glsl_v", "void main() { gl_Position = undeclaredThing; }\n");
    CShaderProgram broken;
    broken.Load(folder + "broken", "");
    broken.Bind();
    SetStandardMatrices();   // bound but not loaded: nothing to set
    Check("failing_shader", !broken.IsLoaded() && ErrorReportCount() > reports);
    UnbindShaderProgram();

    // Empty handles draw nothing and bind nothing.
    CTexture empty;
    DrawSprite(empty, 100, 100, 0, 1, 1);
    CVertexBuffer noBuffer;
    CVertexBufferLock lock(noBuffer);
    Check("empty_handles", lock.data == nullptr);
}

static GLint Integer(GLenum what) {
    GLint v = 0;
    glGetIntegerv(what, &v);
    return v;
}

// The back-end's own logic against what OpenGL reports: the neutral enum
// tables, the fall-backs for values past them, the extension list and the
// walk over a vertex layout.
static void TestBackendTables() {
    static const GLenum compares[8] = {GL_NEVER, GL_ALWAYS, GL_EQUAL, GL_NOTEQUAL,
                                       GL_LESS, GL_LEQUAL, GL_GREATER, GL_GEQUAL};
    bool ok = true;
    for (int f = 0; f < 8; f++) {
        SetDepthFunc(CompareFunc(f));
        ok &= Integer(GL_DEPTH_FUNC) == GLint(compares[f]) && GetDepthFunc() == CompareFunc(f);
        SetStencilFunc(1, CompareFunc(f));
        ok &= Integer(GL_STENCIL_FUNC) == GLint(compares[f]) && GetStencilFunc() == CompareFunc(f);
    }
    SetDepthFunc(CompareFunc(99));
    ok &= Integer(GL_DEPTH_FUNC) == GL_ALWAYS;
    SetDepthFunc(CMP_LESS_EQUAL);
    Check("compare_table", ok);

    static const GLenum blends[11] = {GL_ZERO, GL_ONE, GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR,
                                      GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_DST_ALPHA,
                                      GL_ONE_MINUS_DST_ALPHA, GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR,
                                      GL_SRC_ALPHA_SATURATE};
    ok = true;
    for (int f = 0; f < 11; f++) {
        SetBlendFunc(BlendFactor(f), BLEND_ZERO);
        ok &= Integer(GL_BLEND_SRC) == GLint(blends[f]) && Integer(GL_BLEND_DST) == GL_ZERO;
        if (f < 10) {   // saturate is a source factor only
            SetBlendFunc(BLEND_ONE, BlendFactor(f));
            ok &= Integer(GL_BLEND_DST) == GLint(blends[f]);
        }
    }
    SetBlendFunc(BLEND_SRC_ALPHA, BLEND_INV_SRC_ALPHA);
    Check("blend_table", ok);

    static const GLenum ops[6] = {GL_KEEP, GL_ZERO, GL_REPLACE, GL_INCR, GL_DECR, GL_INVERT};
    ok = true;
    for (int op = 0; op < 6; op++) {
        SetStencilOp(StencilOp(op), StencilOp((op + 1) % 6), StencilOp((op + 2) % 6));
        ok &= Integer(GL_STENCIL_FAIL) == GLint(ops[op]) && GetStencilFailOp() == StencilOp(op);
        ok &= Integer(GL_STENCIL_PASS_DEPTH_FAIL) == GLint(ops[(op + 1) % 6]);
        ok &= GetStencilPassOp() == StencilOp((op + 2) % 6);
    }
    SetStencilOp(StencilOp(99), STENCIL_KEEP, STENCIL_KEEP);
    ok &= Integer(GL_STENCIL_FAIL) == GL_KEEP;
    // Stencil is on only when the pixel format really has stencil bits.
    ok &= IsStencilEnabled() == (Integer(GL_STENCIL_BITS) > 0);
    Check("stencil_ops", ok, IsStencilEnabled() ? "stencil" : "no stencil bits");

    // Whole names only, any case.
    Check("extension_list", HasGLExtension("GL_ARB_multitexture") && HasGLExtension("gl_arb_MULTITEXTURE") &&
                                !HasGLExtension("GL_ARB_multi") && !HasGLExtension("ARB_multitexture") &&
                                !HasGLExtension(""));

    // Position, normal, colour and two texture coordinates: 12 + 12 + 4 + 8 + 8.
    VertexLayout layout = {{VET_FLOAT3, VU_POSITION}, {VET_FLOAT3, VU_NORMAL}, {VET_COLOUR, VU_COLOUR},
                           {VET_FLOAT2, VU_TEXCOORD}, {VET_FLOAT2, VU_TEXCOORD}};
    CVertexBuffer vb;
    ok = CreateVertexBuffer(vb, 44, 3, layout, false, false);
    if (ok) {
        BindVertexBuffer(vb);
        GLvoid* at = nullptr;
        auto Offset = [&](GLenum pointer) {
            glGetPointerv(pointer, &at);
            return (intptr_t)at;
        };
        ok &= Offset(GL_VERTEX_ARRAY_POINTER) == 0 && Integer(GL_VERTEX_ARRAY_STRIDE) == 44 &&
              Integer(GL_VERTEX_ARRAY_SIZE) == 3 && glIsEnabled(GL_VERTEX_ARRAY);
        ok &= Offset(GL_NORMAL_ARRAY_POINTER) == 12 && glIsEnabled(GL_NORMAL_ARRAY);
        ok &= Offset(GL_COLOR_ARRAY_POINTER) == 24 && Integer(GL_COLOR_ARRAY_SIZE) == 4 &&
              Integer(GL_COLOR_ARRAY_TYPE) == GL_UNSIGNED_BYTE && glIsEnabled(GL_COLOR_ARRAY);
        for (int unit = 0; unit < 2; unit++) {
            glClientActiveTextureARB_(GL_TEXTURE0_ARB + unit);
            ok &= Offset(GL_TEXTURE_COORD_ARRAY_POINTER) == 28 + 8 * unit &&
                  Integer(GL_TEXTURE_COORD_ARRAY_SIZE) == 2 && glIsEnabled(GL_TEXTURE_COORD_ARRAY);
        }
        glClientActiveTextureARB_(GL_TEXTURE2_ARB);
        ok &= !glIsEnabled(GL_TEXTURE_COORD_ARRAY);
        glClientActiveTextureARB_(GL_TEXTURE0_ARB);
        UnbindVertexBuffer();
    }
    Check("vertex_layout_walk", ok);
}

int main() {
    CreateDirectoryA("gen", nullptr);
    CreateDirectoryA("gen\\gl_backend_test", nullptr);
    StartupGdiplus();

    HWND window = OpenTestWindow("Vexmoor GL Backend");
    Check("window", window != nullptr);

    bool init = StartTestRenderer(window, true);
    Check("init", init && HasRenderContext());
    if (!init)
        return 1;
    printf("GL_VERSION %s\nshaders %d 3d %d stencil %d\n", (const char*)glGetString(GL_VERSION),
           ShadersAvailable(), Has3DTextures(), IsStencilEnabled());
    RegisterShutdownCallback(OnShutdown);

    ClearFrame(TestSky, true, true, true);
    CheckPixel("clear_sky", 400, 300, 0, 127, 204, 1);
    Check("default_state", DefaultStates());
    SetScreenProjection();

    WriteSprite(folder + "sprite.png");
    CImage decoded;
    bool decodedOk = decoded.LoadFromFile(folder + "sprite.png");
    Check("gdiplus_decode", decodedOk && decoded.GetWidth() == 64 && decoded.GetPixels()[0] == 0xFF000000u &&
                                decoded.GetPixels()[40] == 0xFFFF00FFu && decoded.GetPixels()[64 * 63] == 0xFFFFFF00u);
    CTexture sprite, shared;
    bool loaded = LoadTextureClamped(sprite, folder + "sprite.png");
    Check("sprite_load", loaded && sprite.GetWidth() == 64 && sprite.GetHeight() == 64);
    Check("sprite_shared", LoadTexture(shared, folder + "SPRITE.PNG", true, 1, false) &&
                               shared.GetRecord() == sprite.GetRecord());
    // The Direct3D program's device and texture questions have fixed answers here.
    Check("constant_queries", !IsInitialisationRefused() && IsSceneOpen() && TextureLevelCount(sprite) == 1 &&
                                  TextureBitsPerPixel(sprite) == 32 && !IsTextureLost(sprite) &&
                                  !SupportsCompressedTextures());
    DrawSprite(sprite, 200, 150, 0, 1, 1);   // covers 168..232 x 118..182
    CheckPixel("sprite_top", 210, 130, 255, 0, 255, 8);
    CheckPixel("sprite_bottom", 210, 170, 255, 255, 0, 8);
    CheckPixel("sprite_colour_key", 174, 124, 0, 127, 204, 8);
    CheckPixel("sprite_outside", 240, 150, 0, 127, 204, 1);

    // GLSL program behind the common prefix.
    if (ShadersAvailable()) {
        WriteText(folder + "tint.glsl_v",
                  "void main() { gl_Position = ViewProjectionMatrix * WorldPosition(gl_Vertex); }\n");
        WriteText(folder + "tint.glsl_f", "uniform vec4 tint;\nvoid main() { gl_FragColor = tint; }\n");
        CShaderProgram program;
        program.Load(folder + "tint", folder + "tint");
        Check("shader_load", program.IsLoaded());
        program.Bind();
        DisableTexturing();
        DrawTintedQuad(program);
        UnbindShaderProgram();
        CheckPixel("shader_draw", 440, 340, 255, 128, 0, 3);
        CheckPixel("shader_not_at_origin", 140, 340, 0, 127, 204, 1);
    } else {
        Check("shader_load", false, "no GLSL support");
    }

    // Vertex and index buffers: a cyan quad from two indexed triangles.
    CVertexBuffer vb;
    CIndexBuffer ib;
    Check("buffers_create", CreateVertexBuffer(vb, sizeof(ColourVertex), 4, ColourLayout(), false, true) &&
                                CreateIndexBuffer(ib, 6, false, true));
    Check("vertex_lock", FillColourQuad(vb, 500, 400, 0xFFFFFF00u));
    Check("index_lock", FillQuadIndices(ib));
    DisableTexturing();
    BindVertexBuffer(vb);
    BindIndexBuffer(ib);
    DrawIndexedTriangles(2);
    UnbindVertexBuffer();
    UnbindIndexBuffer();
    CheckPixel("buffers_draw", 550, 450, 0, 255, 255, 2);

    // Helpers: shaded rectangle centre and a 2D line keep the depth test.
    DrawShadedRect(650, 100, 100, 100, 0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0xFFFFFFFFu);
    CheckPixel("shaded_rect_centre", 700, 150, 127, 127, 127, 6);
    DrawLine2D(650, 250, 0xFF0000FFu, 750, 250, 0xFF0000FFu);
    Check("depth_restored", GetRenderSwitch(RS_DEPTH_TEST));

    TestBackendTables();

    Check("text_draw", DrawAndMeasureText());
    TestFailurePaths();

    bool glClean = glGetError() == GL_NO_ERROR;
    Check("no_gl_error", glClean);
    ShowUntilSignalled("frame");

    sprite.DropRecord();
    shared.DropRecord();
    ShutdownRenderer();
    Check("shutdown", !HasRenderContext() && shutdownCalls == 1);
    ShutdownGdiplus();
    DestroyWindow(window);
    for (const char* file : {"sprite.png", "junk.png", "odd.png", "broken.glsl_v", "tint.glsl_v", "tint.glsl_f"})
        DeleteFileA((folder + file).c_str());
    RemoveDirectoryA("gen\\gl_backend_test");
    return FinishChecks();
}
