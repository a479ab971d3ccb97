// The OpenGL device on the main window: pixel format, context, extensions,
// clear and present, the world/view/projection matrices and the viewport.
#include <cstring>

#include "core/error.h"
#include "core/lock.h"
#include "core/matrix.h"
#include "render/backend.h"
#include "render/gl/gl_frame.h"
#include "render/gl/gl_local.h"
#include "render/render_maths.h"
#include "render/render_setup.h"

static RenderSetup setupCopy;
static HWND window = nullptr;
static HDC deviceContext = nullptr;
static HGLRC renderContext = nullptr;
static float worldGL[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
static float viewGL[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
static Matrix4 projection;
static ViewportRect viewport;

static bool ChoosePixelFormatFor(const RenderSetup& setup, int desktopBits) {
    PIXELFORMATDESCRIPTOR pfd;
    memset(&pfd, 0, sizeof(pfd));
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = BYTE(setup.fullScreen ? (setup.colour32 ? 32 : 16) : desktopBits);
    pfd.cDepthBits = 32;
    pfd.cStencilBits = setup.stencil ? 8 : 0;
    pfd.iLayerType = PFD_MAIN_PLANE;
    int format = ChoosePixelFormat(deviceContext, &pfd);
    if (format == 0)
        return false;
    DescribePixelFormat(deviceContext, format, sizeof(pfd), &pfd);
    if (setupCopy.stencil && pfd.cStencilBits == 0)
        setupCopy.stencil = false;
    return SetPixelFormat(deviceContext, format, &pfd) != FALSE;
}

static bool MakeDevice(const RenderSetup& setup) {
    int desktopBits = GetDeviceCaps(deviceContext, BITSPIXEL);
    if (setup.fullScreen) {
        DEVMODEA mode;
        memset(&mode, 0, sizeof(mode));
        mode.dmSize = sizeof(mode);
        EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
        mode.dmPelsWidth = DWORD(setup.width);
        mode.dmPelsHeight = DWORD(setup.height);
        mode.dmBitsPerPel = setup.colour32 ? 32 : 16;
        mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
            ReportError("Error", "InitRenderer()-could not change the display mode");
            return false;
        }
    }
    if (!ChoosePixelFormatFor(setup, desktopBits)) {
        ReportError("Error", "InitRenderer()-no matching pixel format");
        return false;
    }
    renderContext = wglCreateContext(deviceContext);
    if (!renderContext || !wglMakeCurrent(deviceContext, renderContext)) {
        ReportError("Error", "InitRenderer()-could not make the OpenGL context");
        return false;
    }
    CheckGLError(true, "OpenGL Init Errors (will ignore and try anyways:");
    if (!LoadGLExtensions()) {
        ReportError("Error", "InitRenderer()-buffer objects, multitexture or cube maps missing");
        return false;
    }
    if (wglSwapIntervalEXT_)
        wglSwapIntervalEXT_(setup.fullScreen ? 1 : 0);
    glEnable(GL_BLEND);
    SetDefaultRenderState();
    return true;
}

bool InitRenderer(const RenderSetup* setup, void* windowHandle) {
    if (!setup)
        return false;
    setupCopy = *setup;
    window = static_cast<HWND>(windowHandle);
    deviceContext = GetDC(window);
    if (!deviceContext || !MakeDevice(setupCopy)) {
        ShutdownRenderer();
        return false;
    }
    return true;
}

void ShutdownRenderer() {
    RunShutdownCallbacks();
    CAutoLock lock(&RenderLock());
    wglMakeCurrent(nullptr, nullptr);
    if (renderContext) {
        wglDeleteContext(renderContext);
        renderContext = nullptr;
    }
    ChangeDisplaySettingsA(nullptr, 0);
    if (deviceContext) {
        ReleaseDC(window, deviceContext);
        deviceContext = nullptr;
    }
}

// Covers an exit that skipped the normal shutdown. The lock and the callback
// lists it uses are never destroyed, so the order of static destruction
// does not matter.
struct ShutdownRendererAtExit {
    ~ShutdownRendererAtExit() {
        if (renderContext)
            ShutdownRenderer();
    }
};
static ShutdownRendererAtExit shutdownAtExit;

bool HasRenderContext() { return renderContext != nullptr; }
const RenderSetup* GetRenderSetup() { return &setupCopy; }
bool IsStencilEnabled() { return setupCopy.stencil; }
bool IsColour32() { return setupCopy.colour32; }
bool ShadersAvailable() { return glShadersAvailable; }
bool IsInitialisationRefused() { return false; }
bool IsSceneOpen() { return true; }
bool Has3DTextures() { return gl3DTextures; }

void ClearFrame(uint32_t colour, bool clearColour, bool clearDepth, bool clearStencil) {
    float c[4];
    UnpackColour(colour, c);
    glClearColor(c[0], c[1], c[2], c[3]);
    GLbitfield mask = 0;
    if (clearColour)
        mask |= GL_COLOR_BUFFER_BIT;
    if (clearDepth) {
        glClearDepth(1.0);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (clearStencil && setupCopy.stencil) {
        glClearStencil(0);
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    glClear(mask);
}

// OpenGL has no capability check of its own before the context exists and
// no device to lose.
bool CheckRendererCaps(RenderSetup&, std::string&, bool& fatal) {
    fatal = false;
    return false;
}

bool BeginDrawFrame(float) { return true; }

void FlushFrame() { glFlush(); }

void PresentFrame() {
    if (deviceContext)
        SwapBuffers(deviceContext);
}

static void LoadModelView() {
    float modelView[16];
    MakeModelView(modelView, viewGL, worldGL);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(modelView);
}

void SetWorldMatrix(const Matrix4& world) {
    MatrixToGLOrder(worldGL, world);
    LoadModelView();
}

void SetViewMatrix(const Matrix4& view) {
    MatrixToGLOrder(viewGL, view);
    LoadModelView();
}

void GetWorldMatrix(Matrix4& out) { MatrixFromGLOrder(out, worldGL); }
void GetViewMatrix(Matrix4& out) { MatrixFromGLOrder(out, viewGL); }

void SetProjectionMatrix(const Matrix4& m) {
    projection = m;
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(m.m);
    glMatrixMode(GL_MODELVIEW);
}

void GetProjectionMatrix(Matrix4& out) { out = projection; }

void SetViewport(const ViewportRect& rect) {
    viewport = rect;
    ViewportRect gl = FlipViewport(rect, setupCopy.height);
    glViewport(gl.x, gl.y, gl.width, gl.height);
}

void SetViewport(int x, int y, int width, int height) { SetViewport(ViewportRect{x, y, width, height}); }
void GetViewport(ViewportRect& out) { out = viewport; }
float PixelCentre() { return 0.5f; }
