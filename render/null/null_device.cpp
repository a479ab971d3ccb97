// Headless device: the set-up copy, the matrices and the viewport, all kept
// in memory; clears and presents only count.
#include <cstdio>
#include <cstring>

#include "core/lock.h"
#include "core/matrix.h"
#include "render/backend.h"
#include "render/null/null_backend.h"
#include "render/render_maths.h"
#include "render/render_setup.h"

static RenderSetup setupCopy;
static bool hasContext = false;
static bool shadersAvailable = true;
static bool frameRefused = false;
static float worldGL[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
static float viewGL[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
static float modelView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
static Matrix4 projection;
static ViewportRect viewport;
static uint32_t lastClearColour = 0;

bool InitRenderer(const RenderSetup* setup, void*) {
    if (!setup)
        return false;
    setupCopy = *setup;
    hasContext = true;
    SetRenderSwitch(RS_BLEND, true);
    SetDefaultRenderState();
    return true;
}

void ShutdownRenderer() {
    RunShutdownCallbacks();
    CAutoLock lock(&RenderLock());
    hasContext = false;
}

bool HasRenderContext() { return hasContext; }
const RenderSetup* GetRenderSetup() { return &setupCopy; }
bool IsStencilEnabled() { return setupCopy.stencil; }
bool IsColour32() { return setupCopy.colour32; }
bool ShadersAvailable() { return shadersAvailable; }
bool Has3DTextures() { return true; }
void NullSetShadersAvailable(bool available) { shadersAvailable = available; }

void ClearFrame(uint32_t colour, bool clearColour, bool clearDepth, bool clearStencil) {
    if (clearColour)
        lastClearColour = colour;
    NullRenderCounters().clears++;
    char text[64];
    snprintf(text, sizeof text, "clear %08x%s%s%s", unsigned(colour), clearColour ? " colour" : "",
             clearDepth ? " depth" : "", clearStencil ? " stencil" : "");
    NullRecord(text);
}

uint32_t NullLastClearColour() { return lastClearColour; }
bool CheckRendererCaps(RenderSetup&, std::string&, bool& fatal) {
    fatal = false;
    return false;
}

bool BeginDrawFrame(float) {
    NullRenderCounters().frameBegins++;
    return !frameRefused;
}

void NullSetFrameRefused(bool refused) { frameRefused = refused; }
void FlushFrame() {}
void PresentFrame() { NullRenderCounters().presents++; }

void SetWorldMatrix(const Matrix4& world) {
    char text[96];
    snprintf(text, sizeof text, "world %g %g %g", world.m[3], world.m[7], world.m[11]);
    NullRecord(text);
    MatrixToGLOrder(worldGL, world);
    MakeModelView(modelView, viewGL, worldGL);
}

void SetViewMatrix(const Matrix4& view) {
    MatrixToGLOrder(viewGL, view);
    MakeModelView(modelView, viewGL, worldGL);
}

void GetWorldMatrix(Matrix4& out) { MatrixFromGLOrder(out, worldGL); }
void GetViewMatrix(Matrix4& out) { MatrixFromGLOrder(out, viewGL); }
void SetProjectionMatrix(const Matrix4& m) { projection = m; }
void GetProjectionMatrix(Matrix4& out) { out = projection; }

void SetViewport(const ViewportRect& rect) { viewport = rect; }
void SetViewport(int x, int y, int width, int height) { SetViewport(ViewportRect{x, y, width, height}); }
void GetViewport(ViewportRect& out) { out = viewport; }
float PixelCentre() { return 0.5f; }
