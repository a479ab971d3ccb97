// Platform smoke test: a window, an OpenGL context whose cleared pixel reads
// back, a DirectSound device, and a DirectInput keyboard that sees a key the
// test script injects (space). Prints one line per check; exit 0 when all pass.
#include "tests/win32/test_window.h"

#include <mmsystem.h>
#include <dsound.h>
#define DIRECTINPUT_VERSION 0x0800
#include <dinput.h>

static bool CheckOpenGL(HWND window)
{
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 24;
    int format = ChoosePixelFormat(dc, &pfd);
    if (!format || !SetPixelFormat(dc, format, &pfd)) return false;
    HGLRC rc = wglCreateContext(dc);
    if (!rc || !wglMakeCurrent(dc, rc)) return false;
    std::printf("GL_VERSION %s\n", reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    glClearColor(0.0f, 127.0f / 255.0f, 204.0f / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    int pixel[3];
    std::string text = ReadPixel(400, 299, pixel);
    SwapBuffers(dc);
    std::printf("GL pixel %s\n", text.c_str());
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(rc);
    ReleaseDC(window, dc);
    return pixel[0] == 0 && pixel[1] == 127 && pixel[2] == 204;
}

static bool CheckSound(HWND window)
{
    IDirectSound8* sound = nullptr;
    if (FAILED(DirectSoundCreate8(nullptr, &sound, nullptr))) return false;
    bool ok = SUCCEEDED(sound->SetCooperativeLevel(window, DSSCL_PRIORITY));
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = 44100 * 4;
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwBufferBytes = 44100 * 4;
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer* buffer = nullptr;
    ok = ok && SUCCEEDED(sound->CreateSoundBuffer(&desc, &buffer, nullptr));
    if (buffer) buffer->Release();
    sound->Release();
    return ok;
}

static bool CheckKeyboard(HWND window)
{
    IDirectInput8A* input = nullptr;
    if (FAILED(DirectInput8Create(GetModuleHandleA(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                  reinterpret_cast<void**>(&input), nullptr)))
        return false;
    IDirectInputDevice8A* keyboard = nullptr;
    bool seen = false;
    if (SUCCEEDED(input->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr)) &&
        SUCCEEDED(keyboard->SetDataFormat(&c_dfDIKeyboard)) &&
        SUCCEEDED(keyboard->SetCooperativeLevel(window, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE))) {
        std::printf("KEYBOARD READY\n");
        std::fflush(stdout);
        // The script focuses the window and presses space until we exit.
        for (int i = 0; i < 2000 && !seen; ++i) {
            PumpMessages();
            unsigned char keys[256] = {};
            if (FAILED(keyboard->GetDeviceState(sizeof(keys), keys))) keyboard->Acquire();
            else seen = (keys[DIK_SPACE] & 0x80) != 0;
            Sleep(10);
        }
        keyboard->Unacquire();
    }
    if (keyboard) keyboard->Release();
    input->Release();
    return seen;
}

int main()
{
    HWND window = OpenTestWindow("Vexmoor Smoke");
    if (!window) { std::printf("WINDOW FAILED\n"); return 1; }
    std::printf("WINDOW OK\n");

    bool gl = CheckOpenGL(window);
    std::printf("OPENGL %s\n", gl ? "OK" : "FAILED");
    bool sound = CheckSound(window);
    std::printf("DIRECTSOUND %s\n", sound ? "OK" : "FAILED");
    std::fflush(stdout);
    bool key = CheckKeyboard(window);
    std::printf("DIRECTINPUT %s\n", key ? "OK" : "FAILED");
    DestroyWindow(window);
    return gl && sound && key ? 0 : 1;
}
