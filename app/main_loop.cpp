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

void RunFrame(float dt) {
    // A lost device draws nothing and reads no input: only game time goes on.
    if (!BeginDrawFrame(dt)) {
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
