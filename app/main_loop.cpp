#include "app/main_loop.h"

#include "app/frame_timer.h"
#include "app/keyboard.h"
#include "app/mouse.h"
#include "app/shell.h"
#include "app/state_manager.h"
#include "app/typed_keys.h"
#include "core/clock.h"
#include "render/backend.h"
#include "render/render_setup.h"

// A frame that cannot be drawn reads no input. The game sees every key and
// button up and nothing typed, or the last drawn frame's presses would be
// acted on again in every skipped frame; the first drawn frame polls afresh.
static void ReleaseInput() {
    g_keyboard.ClearKeys();
    g_mouse.ClearButtons();
    g_typedKeys.Clear();
}

void RunFrame(float dt) {
    // A lost device draws nothing and reads no input: only game time goes on.
    if (!BeginDrawFrame(dt)) {
        ReleaseInput();
        CStateManager::Update(dt);
        return;
    }
    CStateManager::Draw();
    SetScreenProjection();
    if (g_mouse.IsReady() && g_mouse.GetCursorTexture()) {
        DrawSprite(*g_mouse.GetCursorTexture(), (float)g_mouse.GetX(), (float)g_mouse.GetY(), 0.0f, 1.0f,
                   1.0f);
    }
    FlushFrame();
    g_keyboard.Poll();
    g_mouse.Update(dt);
    CStateManager::Update(dt);
    // Characters no one took this frame are dropped.
    g_typedKeys.Clear();
    PresentFrame();
}

void RunMainLoop() {
    CFrameTimer timer;
    timer.Start(QueryCounter(), CounterFrequency());
    while (g_running) {
        if (PumpWindowMessage()) {
            continue;
        }
        float dt;
        if (timer.Poll(QueryCounter(), dt)) {
            RunFrame(dt);
        }
        YieldTimeSlice();
    }
}
