// What the Windows test programs share: an 800 x 600 window of the game's
// class "VexmoorWindow" (the one vx_close closes), the message pump, the
// renderer in that window, "CHECK" lines, back-buffer read-backs, and the
// frames shown until the script took its screenshot.
// Header only: every .cpp beside it is a program of its own.
#ifndef TESTS_WIN32_TEST_WINDOW_H
#define TESTS_WIN32_TEST_WINDOW_H

#include <windows.h>

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/files.h"
#include "render/backend.h"
#include "render/image.h"
#ifdef VEXMOOR_BACKEND_D3D9
#include "render/d3d9/d3d_local.h"
#endif

const int TestWidth = 800;
const int TestHeight = 600;
const uint32_t TestSky = 0xffcc7f00u;   // the clear colour: 0, 127, 204

inline int testFailures = 0;

// One "CHECK name OK|FAIL detail" line; failures are counted in testFailures.
inline void Check(const std::string& name, bool ok, const std::string& detail = "") {
    printf("CHECK %s %s %s\n", name.c_str(), ok ? "OK" : "FAIL", detail.c_str());
    fflush(stdout);
    if (!ok)
        testFailures++;
}

// The closing "ALL OK" or "FAILURES n" line; gives the program's exit code.
inline int FinishChecks() {
    printf(testFailures == 0 ? "ALL OK\n" : "FAILURES %d\n", testFailures);
    return testFailures == 0 ? 0 : 1;
}

// Set by a program that feeds window messages to the game's input code: a
// message it takes goes no further.
inline bool (*testMessageHook)(uint32_t message, uintptr_t wParam, intptr_t lParam) = nullptr;

inline LRESULT CALLBACK TestWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (testMessageHook && testMessageHook(m, wp, lp))
        return 0;
    if (m == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

// False once the window was closed (WM_QUIT came).
inline bool PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            return false;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

// A topmost popup over the whole screen, brought to the front: DirectInput
// reads the keyboard only while the window has the focus.
inline HWND OpenTestWindow(const char* title) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TestWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VexmoorWindow";
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, title, WS_POPUP | WS_VISIBLE, 0, 0,
                                  TestWidth, TestHeight, nullptr, nullptr, wc.hInstance, nullptr);
    if (window) {
        SetForegroundWindow(window);
        PumpMessages();
    }
    return window;
}

// The renderer in the test window, windowed.
inline bool StartTestRenderer(HWND window, bool stencil = false) {
    RenderSetup setup;
    setup.fullScreen = false;
    setup.stencil = stencil;
    return InitRenderer(&setup, window);
}

// The window with the renderer in it and GDI+ started (images decode
// through it); "CHECK init". Null when the renderer did not start.
inline HWND StartTestProgram(const char* title) {
    HWND window = OpenTestWindow(title);
    bool init = window && StartTestRenderer(window);
    Check("init", init);
    if (!init)
        return nullptr;
    StartupGdiplus();
    return window;
}

// Ends what StartTestProgram started; the program's exit code.
inline int EndTestProgram(HWND window) {
    ShutdownRenderer();
    ShutdownGdiplus();
    DestroyWindow(window);
    return FinishChecks();
}

// Direct3D draws only between the begin and end of a frame: the frame the
// test draws into. Nothing to do in OpenGL.
inline bool StartTestFrame() {
#ifdef VEXMOOR_BACKEND_D3D9
    return BeginFrame(0.0f, false, true);
#else
    return true;
#endif
}

// Closes the frame StartTestFrame opened; hands OpenGL's commands on.
inline void EndTestFrame() {
#ifdef VEXMOOR_BACKEND_D3D9
    EndFrame();
#else
    FlushFrame();
#endif
}

// No error pending on the device (OpenGL) or the device not lost (Direct3D).
inline bool NoDeviceError() {
#ifdef VEXMOOR_BACKEND_D3D9
    return d3dDevice && SUCCEEDED(d3dDevice->TestCooperativeLevel());
#else
    return glGetError() == GL_NO_ERROR;
#endif
}

// The back buffer as RGBA bytes, top row first (as the 2D projection counts rows).
inline void ReadFrame(std::vector<uint8_t>& rgba) {
    size_t stride = size_t(TestWidth) * 4;
    rgba.assign(stride * TestHeight, 0);
#ifdef VEXMOOR_BACKEND_D3D9
    // The back buffer is X8R8G8B8: B, G, R, X bytes.
    IDirect3DSurface9* back = nullptr;
    IDirect3DSurface9* copy = nullptr;
    D3DSURFACE_DESC desc;
    D3DLOCKED_RECT locked;
    bool ok = d3dDevice && SUCCEEDED(d3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back)) &&
              SUCCEEDED(back->GetDesc(&desc)) &&
              SUCCEEDED(d3dDevice->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                               D3DPOOL_SYSTEMMEM, &copy, nullptr)) &&
              SUCCEEDED(d3dDevice->GetRenderTargetData(back, copy)) &&
              SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY));
    if (ok) {
        for (int y = 0; y < TestHeight; y++) {
            const uint8_t* row = static_cast<const uint8_t*>(locked.pBits) + size_t(y) * size_t(locked.Pitch);
            for (int x = 0; x < TestWidth; x++) {
                uint8_t* p = &rgba[size_t(y) * stride + size_t(x) * 4];
                p[0] = row[x * 4 + 2];
                p[1] = row[x * 4 + 1];
                p[2] = row[x * 4];
                p[3] = 255;
            }
        }
        copy->UnlockRect();
    }
    if (copy)
        copy->Release();
    if (back)
        back->Release();
#else
    std::vector<uint8_t> rows(stride * TestHeight);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, TestWidth, TestHeight, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    for (int y = 0; y < TestHeight; y++)
        memcpy(&rgba[size_t(y) * stride], &rows[size_t(TestHeight - 1 - y) * stride], stride);
#endif
}

inline const uint8_t* FramePixel(const std::vector<uint8_t>& rgba, int x, int y) {
    return &rgba[(size_t(y) * TestWidth + x) * 4];
}

// The sky's colour within tolerance in every channel.
inline bool IsSky(const uint8_t* p, int tolerance = 7) {
    return abs(p[0] - 0) <= tolerance && abs(p[1] - 127) <= tolerance && abs(p[2] - 204) <= tolerance;
}

// A "CHECK" that the back buffer's pixel (x, y from the top left) is the
// colour within tolerance; the detail reads "(x,y)=r,g,b".
inline void CheckPixel(const std::string& name, int x, int y, int r, int g, int b, int tolerance = 3) {
    std::vector<uint8_t> frame;
    ReadFrame(frame);
    const uint8_t* p = FramePixel(frame, x, y);
    bool ok = abs(p[0] - r) <= tolerance && abs(p[1] - g) <= tolerance && abs(p[2] - b) <= tolerance;
    char text[64];
    snprintf(text, sizeof(text), "(%d,%d)=%d,%d,%d", x, y, p[0], p[1], p[2]);
    Check(name, ok, text);
}

// Presents the frame, says "SHOW name" and keeps it up (drawn again by
// redraw, when given) until the script signals it took its screenshot
// (vx_show: the file "next_frame.txt" in the working folder) or 30 s pass.
inline void ShowUntilSignalled(const std::string& name, const std::function<void()>& redraw = nullptr) {
    const char* signal = "next_frame.txt";
    DeleteFileA(signal);
    PresentFrame();
    printf("SHOW %s\n", name.c_str());
    fflush(stdout);
    for (int i = 0; i < 300 && GetFileAttributesA(signal) == INVALID_FILE_ATTRIBUTES; i++) {
        PumpMessages();
        if (redraw) {
            redraw();
            PresentFrame();
        }
        Sleep(100);
    }
    DeleteFileA(signal);
}

// Prints what the program's own error report file (SetErrorReportFile)
// holds, then removes it.
inline void PrintErrorReports(const char* file) {
    std::string reports = ReadWholeFile(false, file);
    if (!reports.empty())
        printf("error reports:\n%s\n", reports.c_str());
    DeleteFileA(file);
}

#endif
