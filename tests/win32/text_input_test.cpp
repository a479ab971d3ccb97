// Text drawn with the GDI-built font through the OpenGL back-end, and the
// DirectInput keyboard and typed-key queue fed by a real window. Prints the
// text's bounds and one line per check; the script presses 'a' (a DirectInput
// key) and types 'q' (a character message), then closes the window. Exit 0
// when the text shows inside its bounds only, the key was seen and the
// character queued.
#include "app/keyboard.h"
#include "app/typed_keys.h"
#include "render/backend.h"
#include "render/font.h"
#include "render/render_setup.h"
#include "render/shader.h"
#include "render/text.h"
#include "tests/win32/test_window.h"

static const char* Message = "Vexmoor 42";
static const float TextX = 200.0f, TextY = 250.0f, TextSize = 32.0f;
static const int DIK_A_ = 0x1E;

static void DrawFrame() {
    ClearFrame(0xFF000000, true, true, false);
    SetScreenProjection();
    DrawString(Message, TextX, TextY, 0xFFFFFFFF, TextSize, "");
    FlushFrame();
}

// Lit pixels of the back buffer inside the rectangle (grown by margin) and outside it.
static void CountLit(int l, int t, int r, int b, int margin, int& inside, int& outside) {
    std::vector<uint8_t> frame;
    ReadFrame(frame);
    inside = outside = 0;
    for (int row = 0; row < 600; row++) {
        for (int col = 0; col < 800; col++) {
            const uint8_t* p = FramePixel(frame, col, row);
            if (p[0] < 40 && p[1] < 40 && p[2] < 40)
                continue;
            bool in = col >= l - margin && col <= r + margin && row >= t - margin && row <= b + margin;
            (in ? inside : outside)++;
        }
    }
}

int main() {
    testMessageHook = HandleInputMessage;
    HWND window = OpenTestWindow("Vexmoor Text Test");
    if (!window) {
        printf("WINDOW FAILED\n");
        return 1;
    }

    if (!StartTestRenderer(window)) {
        printf("DEVICE FAILED\n");
        return 1;
    }
    bool keyboard = g_keyboard.Init(GetModuleHandleA(nullptr), false, window);
    printf("KEYBOARD %s\n", keyboard ? "OK" : "FAILED");

    CText measure(Message);
    measure.SetSize(TextSize);
    measure.SetPosition(TextX, TextY);
    float l, t, r, b;
    measure.GetBounds(l, t, r, b);
    CFont* font = measure.GetCurrentFont();
    printf("FONT %s widths a=%d V=%d\n", font ? "OK" : "FAILED", font ? font->widths['a'] : 0,
           font ? font->widths['V'] : 0);
    printf("TEXT BOUNDS %d %d %d %d\n", (int)l, (int)t, (int)r, (int)b);

    DrawFrame();
    int inside, outside;
    CountLit((int)l, (int)t, (int)r, (int)b, 2, inside, outside);
    PresentFrame();
    printf("TEXT PIXELS inside %d outside %d\n", inside, outside);
    // Shaders are optional: without them the text draws through the fixed pipeline.
    printf("FONT PROGRAM %s\n", FontShader && FontShader->IsLoaded() ? "loaded" : "not loaded");
    bool textOk = font && r - l > 60 && inside > 100 && outside == 0;
    printf("TEXT %s\n", textOk ? "OK" : "FAILED");
    printf("FRAME READY\n");
    fflush(stdout);

    bool keySeen = false, typedSeen = false;
    DWORD start = GetTickCount();
    while (PumpMessages() && GetTickCount() - start < 120000) {
        DrawFrame();
        PresentFrame();
        g_keyboard.Poll();
        if (!keySeen && g_keyboard.IsKeyPressed(DIK_A_)) {
            keySeen = true;
            printf("KEY A PRESSED\n");
        }
        while (!g_typedKeys.IsEmpty()) {
            int code = g_typedKeys.Pop();
            printf("TYPED %d\n", code);
            if (code == 'q')
                typedSeen = true;
        }
        fflush(stdout);
        Sleep(10);
    }
    g_keyboard.Release();
    ShutdownRenderer();
    DestroyWindow(window);
    bool passed = textOk && keyboard && keySeen && typedSeen;
    printf("TEXT INPUT CHECK %s\n", passed ? "PASSED" : "FAILED");
    return passed ? 0 : 1;
}
