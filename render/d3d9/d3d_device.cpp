// The Direct3D 9 device on the main window: the capability check, creation
// with its format choices, default states, the frame start with loss and
// reset recovery, clear and present, matrices and the viewport, shutdown.
#include <cstdint>
#include <cstring>

#include "core/error.h"
#include "core/lock.h"
#include "core/matrix.h"
#include "render/backend.h"
#include "render/d3d9/d3d_local.h"
#include "render/device_choices.h"
#include "render/device_recovery.h"
#include "render/render_maths.h"
#include "render/render_setup.h"

// The neutral format numbers are Direct3D's own.
static constexpr bool SameFormat(uint32_t neutral, D3DFORMAT d3dFormat) { return neutral == uint32_t(d3dFormat); }
static_assert(SameFormat(DFMT_A8R8G8B8, D3DFMT_A8R8G8B8) && SameFormat(DFMT_X8R8G8B8, D3DFMT_X8R8G8B8) &&
                  SameFormat(DFMT_R5G6B5, D3DFMT_R5G6B5) && SameFormat(DFMT_X1R5G5B5, D3DFMT_X1R5G5B5) &&
                  SameFormat(DFMT_A1R5G5B5, D3DFMT_A1R5G5B5) && SameFormat(DFMT_A4R4G4B4, D3DFMT_A4R4G4B4) &&
                  SameFormat(DFMT_A2R10G10B10, D3DFMT_A2R10G10B10) && SameFormat(DFMT_D32, D3DFMT_D32) &&
                  SameFormat(DFMT_D15S1, D3DFMT_D15S1) && SameFormat(DFMT_D24S8, D3DFMT_D24S8) &&
                  SameFormat(DFMT_D24X8, D3DFMT_D24X8) && SameFormat(DFMT_D16, D3DFMT_D16) &&
                  SameFormat(DFMT_DXT5, D3DFMT_DXT5),
              "device formats are Direct3D's");

IDirect3DDevice9* d3dDevice = nullptr;
bool d3dPixelShaders = true;
bool d3d3DTextures = true;
int d3dVertexShaderMajor = 0;

static IDirect3D9* d3d = nullptr;
static RenderSetup setupCopy;
static D3DPRESENT_PARAMETERS presentParams;
static bool deviceReady = false;
static bool sceneOpen = false;
static bool initialisationRefused = false;
static bool fatalCaps = false;
static bool forceReset = false;
static bool failNextScene = false;
static uint32_t keepLostAfter = UINT32_MAX;   // counted frames; never by default
static void (*onKeptLostFrame)() = nullptr;
static float frameTimeSum = 0.0f;
static uint32_t countedFrames = 0;
static Matrix4 world, view, projection;
static ViewportRect viewport;

bool DeviceUsable() { return d3dDevice && deviceReady && !IsDeviceLost(); }

bool ReportD3DFailure(const char* operation, HRESULT result) {
    char code[16];
    snprintf(code, sizeof(code), "%08lx", (unsigned long)result);
    ReportError("Error", std::string(operation) + "-Direct3D error 0x" + code);
    return false;
}

bool CheckDirect3DCaps(int& vertexProcessing, std::string& warnings) {
    DeviceCapsInfo info;
    D3DCAPS9 caps;
    IDirect3D9* object = Direct3DCreate9(D3D_SDK_VERSION);
    info.runtime = object != nullptr;
    info.capsRead = object && SUCCEEDED(object->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps));
    if (info.capsRead) {
        info.pixelShaderMajor = int(D3DSHADER_VERSION_MAJOR(caps.PixelShaderVersion));
        info.vertexShaderMajor = int(D3DSHADER_VERSION_MAJOR(caps.VertexShaderVersion));
        info.volumeTextures = (caps.TextureCaps & D3DPTEXTURECAPS_VOLUMEMAP) != 0;
        info.declTypes = caps.DeclTypes;
        d3dVertexShaderMajor = info.vertexShaderMajor;
    }
    if (object)
        object->Release();
    CapsVerdict verdict;
    bool warned = JudgeDeviceCaps(info, vertexProcessing, warnings, verdict);
    fatalCaps = verdict.fatal;
    d3dPixelShaders = verdict.pixelShaders;
    d3d3DTextures = verdict.textures3D;
    return warned;
}

bool IsFatalCaps() { return fatalCaps; }

bool CheckRendererCaps(RenderSetup& setup, std::string& warnings, bool& fatal) {
    int processing = setup.vertexProcessing;
    bool warned = CheckDirect3DCaps(processing, warnings);
    setup.vertexProcessing = processing;
    fatal = fatalCaps;
    return warned;
}

// The device's own capabilities, read again once it exists, so the flags
// hold even when the start-up check did not run.
static void ReadDeviceCaps() {
    D3DCAPS9 caps;
    if (FAILED(d3dDevice->GetDeviceCaps(&caps)))
        return;
    d3dPixelShaders = D3DSHADER_VERSION_MAJOR(caps.PixelShaderVersion) >= 1;
    d3dVertexShaderMajor = int(D3DSHADER_VERSION_MAJOR(caps.VertexShaderVersion));
    d3d3DTextures = (caps.TextureCaps & D3DPTEXTURECAPS_VOLUMEMAP) != 0;
}

bool TextureFormatSupported(D3DFORMAT format) {
    return d3d && SUCCEEDED(d3d->CheckDeviceFormat(UINT(setupCopy.adapter), D3DDEVTYPE_HAL,
                                                   presentParams.BackBufferFormat, 0, D3DRTYPE_TEXTURE, format));
}

static void ReleaseDevice() {
    ReleaseAllDeviceTextures();
    ReleaseAllDeviceBuffers();
    if (d3dDevice) {
        d3dDevice->Release();
        d3dDevice = nullptr;
    }
    if (d3d) {
        d3d->Release();
        d3d = nullptr;
    }
    deviceReady = false;
    sceneOpen = false;
}

static void FillPresentParameters(HWND window, D3DFORMAT backFormat, D3DFORMAT depthFormat) {
    memset(&presentParams, 0, sizeof(presentParams));
    presentParams.BackBufferWidth = UINT(setupCopy.width);
    presentParams.BackBufferHeight = UINT(setupCopy.height);
    presentParams.BackBufferFormat = backFormat;
    presentParams.BackBufferCount = setupCopy.extraBackBuffer ? 2 : 1;
    presentParams.MultiSampleType = D3DMULTISAMPLE_NONE;
    presentParams.SwapEffect = D3DSWAPEFFECT_DISCARD;
    presentParams.hDeviceWindow = window;
    presentParams.Windowed = setupCopy.fullScreen ? FALSE : TRUE;
    presentParams.EnableAutoDepthStencil = TRUE;
    presentParams.AutoDepthStencilFormat = depthFormat;
    presentParams.FullScreen_RefreshRateInHz = 0;
    presentParams.PresentationInterval =
        setupCopy.verticalSync ? D3DPRESENT_INTERVAL_ONE : D3DPRESENT_INTERVAL_IMMEDIATE;
}

// Three tries as asked, the third with a 16-bit depth buffer and no stencil;
// then a fourth in X8R8G8B8, since a 10-bit full-screen mode the device
// accepted may still not be settable.
static bool CreateTheDevice(HWND window, DWORD behaviour) {
    UINT adapter = UINT(setupCopy.adapter);
    for (int attempt = 0; attempt < 4; attempt++) {
        if (attempt == 2) {
            presentParams.AutoDepthStencilFormat = D3DFMT_D16;
            setupCopy.stencil = false;
        }
        if (attempt == 3)
            presentParams.BackBufferFormat = D3DFMT_X8R8G8B8;
        HRESULT hr = d3d->CreateDevice(adapter, D3DDEVTYPE_HAL, window, behaviour, &presentParams, &d3dDevice);
        if (SUCCEEDED(hr))
            return true;
        d3dDevice = nullptr;
        ReportD3DFailure("InitRenderer()-CreateDevice", hr);
    }
    return false;
}

bool InitRenderer(const RenderSetup* setup, void* windowHandle) {
    CAutoLock lock(&RenderLock());
    if (initialisationRefused)
        return false;
    initialisationRefused = true;
    HWND window = static_cast<HWND>(windowHandle);
    if (deviceReady || !window)
        return false;
    std::string error;
    if (!CheckRenderSetup(setup, error)) {
        ReportError("Error", "InitRenderer()-" + error);
        ReleaseDevice();
        return false;
    }
    setupCopy = *setup;
    if (!setupCopy.fullScreen) {
        HDC screen = GetDC(nullptr);
        setupCopy.colour32 = GetDeviceCaps(screen, BITSPIXEL) == 32;
        ReleaseDC(nullptr, screen);
    }
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d) {
        ReportError("Error", "InitRenderer()-Direct3DCreate9 failed");
        return false;
    }
    UINT adapter = UINT(setupCopy.adapter);
    BOOL windowed = setupCopy.fullScreen ? FALSE : TRUE;
    D3DFORMAT backFormat = D3DFORMAT(ChooseBackBufferFormat(setupCopy.colour32, [&](uint32_t f) {
        return SUCCEEDED(d3d->CheckDeviceType(adapter, D3DDEVTYPE_HAL, D3DFORMAT(f), D3DFORMAT(f), windowed));
    }));
    D3DFORMAT depthFormat = D3DFORMAT(ChooseDepthFormat(setupCopy.stencil, [&](uint32_t f) {
        return SUCCEEDED(d3d->CheckDeviceFormat(adapter, D3DDEVTYPE_HAL, backFormat, D3DUSAGE_DEPTHSTENCIL,
                                                D3DRTYPE_SURFACE, D3DFORMAT(f)));
    }));
    DWORD behaviour = setupCopy.multithreaded ? D3DCREATE_MULTITHREADED : 0;
    behaviour |= setupCopy.vertexProcessing == 2   ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                 : setupCopy.vertexProcessing == 1 ? D3DCREATE_MIXED_VERTEXPROCESSING
                                                   : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    FillPresentParameters(window, backFormat, depthFormat);
    if (!CreateTheDevice(window, behaviour)) {
        ReleaseDevice();
        return false;
    }
    ReadDeviceCaps();
    viewport = ViewportRect{0, 0, setupCopy.width, setupCopy.height};
    initialisationRefused = false;
    deviceReady = true;
    SetDefaultDeviceStates();
    return true;
}

void SetDefaultDeviceStates() {
    if (!DeviceUsable())
        return;
    d3dDevice->SetRenderState(D3DRS_CLIPPING, TRUE);
    d3dDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    d3dDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d3dDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d3dDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    d3dDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d3dDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    d3dDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    for (DWORD stage = 1; stage < 8; stage++) {
        d3dDevice->SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_DISABLE);
        d3dDevice->SetTextureStageState(stage, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    }
    ForgetDeviceBindings();
    SetDefaultRenderState();
}

// BeginFrame's device calls, with the test hooks in front of them.
class CD3DFrameSteps : public CDeviceSteps {
public:
    DeviceTest TestDevice() override {
        HRESULT hr = forceReset ? D3DERR_DEVICENOTRESET : d3dDevice->TestCooperativeLevel();
        if (countedFrames >= keepLostAfter) {
            hr = D3DERR_DEVICELOST;
            if (onKeptLostFrame)
                onKeptLostFrame();
        }
        return SUCCEEDED(hr) ? DEVICE_WORKS : hr == D3DERR_DEVICENOTRESET ? DEVICE_NOT_RESET : DEVICE_LOST;
    }

    bool ResetDevice() override {
        forceReset = false;
        ForgetDeviceBindings();
        HRESULT hr = d3dDevice->Reset(&presentParams);
        if (SUCCEEDED(hr))
            return true;
        if (hr == D3DERR_OUTOFVIDEOMEMORY || hr == D3DERR_DRIVERINTERNALERROR)
            initialisationRefused = true;
        return ReportD3DFailure("BeginFrame()-Reset", hr);
    }

    bool BeginScene() override {
        if (failNextScene) {
            failNextScene = false;
            return false;
        }
        return SUCCEEDED(d3dDevice->BeginScene());
    }

    void ApplyDefaultStates() override { SetDefaultDeviceStates(); }
    void WaitBeforeRetry() override { Sleep(100); }
};

static CDeviceRecovery recovery;

bool BeginFrame(float frameTime, bool countTime, bool mayReset) {
    if (!d3dDevice || !deviceReady)
        return false;
    if (sceneOpen) {
        ReportError("Error", "BeginFrame()-a scene is already open");
        return false;
    }
    CD3DFrameSteps steps;
    FrameStart start = recovery.OpenFrame(steps, mayReset);
    if (start == FRAME_SKIPPED)
        return false;
    sceneOpen = true;
    if (start == FRAME_OPEN && countTime) {
        frameTimeSum += frameTime;
        countedFrames++;
    }
    return true;
}

bool BeginDrawFrame(float frameTime) { return BeginFrame(frameTime, true, true); }

void EndFrame() {
    if (sceneOpen && d3dDevice)
        d3dDevice->EndScene();
    sceneOpen = false;
}

void ForceDeviceResetForTest() { forceReset = true; }
void FailNextSceneForTest() { failNextScene = true; }
void KeepDeviceLostForTest(uint32_t afterFrames, void (*onLostFrame)()) {
    keepLostAfter = afterFrames;
    onKeptLostFrame = onLostFrame;
}
bool IsDeviceReady() { return deviceReady; }
bool IsInitialisationRefused() { return initialisationRefused; }

void GetCountedFrameTime(float& sum, uint32_t& frames) {
    sum = frameTimeSum;
    frames = countedFrames;
}

void ShutdownRenderer() {
    RunShutdownCallbacks();
    CAutoLock lock(&RenderLock());
    EndFrame();
    ReleaseDevice();
}

// Covers an exit that skipped the normal shutdown.
struct ShutdownRendererAtExit {
    ~ShutdownRendererAtExit() {
        if (d3dDevice)
            ShutdownRenderer();
    }
};
static ShutdownRendererAtExit shutdownAtExit;

bool HasRenderContext() { return d3dDevice != nullptr; }
const RenderSetup* GetRenderSetup() { return &setupCopy; }
bool IsStencilEnabled() { return setupCopy.stencil; }
bool IsColour32() { return setupCopy.colour32; }
bool ShadersAvailable() { return d3dPixelShaders; }
bool Has3DTextures() { return d3d3DTextures; }

void ClearFrame(uint32_t colour, bool clearColour, bool clearDepth, bool clearStencil) {
    if (!DeviceUsable())
        return;
    DWORD flags = 0;
    if (clearColour)
        flags |= D3DCLEAR_TARGET;
    if (clearDepth)
        flags |= D3DCLEAR_ZBUFFER;
    if (clearStencil && setupCopy.stencil)
        flags |= D3DCLEAR_STENCIL;
    if (flags)
        d3dDevice->Clear(0, nullptr, flags, SwapRedBlue(colour), 1.0f, 0);
}

// Direct3D hands commands on by itself.
void FlushFrame() {}

void PresentFrame() {
    EndFrame();
    if (DeviceUsable())
        d3dDevice->Present(nullptr, nullptr, nullptr, nullptr);
}

// The device keeps row-vector matrices: the transpose of the game's Matrix4.
static void SetDeviceTransform(D3DTRANSFORMSTATETYPE which, const Matrix4& m, bool transpose) {
    if (!d3dDevice)
        return;
    Matrix4 t;
    if (transpose)
        Matrix4Transpose(t, m);
    else
        t = m;
    d3dDevice->SetTransform(which, reinterpret_cast<const D3DMATRIX*>(t.m));
}

void SetWorldMatrix(const Matrix4& m) {
    world = m;
    SetDeviceTransform(D3DTS_WORLD, m, true);
}

void SetViewMatrix(const Matrix4& m) {
    view = m;
    SetDeviceTransform(D3DTS_VIEW, m, true);
}

void GetWorldMatrix(Matrix4& out) { out = world; }
void GetViewMatrix(Matrix4& out) { out = view; }

// MakePerspectiveMatrix and the screen projection are already in the
// device's layout.
void SetProjectionMatrix(const Matrix4& m) {
    projection = m;
    SetDeviceTransform(D3DTS_PROJECTION, m, false);
}

void GetProjectionMatrix(Matrix4& out) { out = projection; }

void SetViewport(const ViewportRect& rect) {
    viewport = rect;
    if (!d3dDevice)
        return;
    D3DVIEWPORT9 vp = {DWORD(rect.x), DWORD(rect.y), DWORD(rect.width), DWORD(rect.height), 0.0f, 1.0f};
    d3dDevice->SetViewport(&vp);
}

void SetViewport(int x, int y, int width, int height) { SetViewport(ViewportRect{x, y, width, height}); }
void GetViewport(ViewportRect& out) { out = viewport; }
float PixelCentre() { return 0.0f; }
