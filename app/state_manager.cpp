#include "app/state_manager.h"

#include "app/console.h"
#include "app/game_state.h"
#include "app/shell.h"
#include "core/lock.h"
#include "render/backend.h"
#include "app/frame_time.h"
#include "render/render_setup.h"
#include "render/shader.h"
#include "render/text.h"
#include "sound/sound_manager.h"

namespace {

const float MaxFrameTime = 0.25f;   // longer frames are clamped to this
const float FastTimeScale = 4.0f;

// Made on first use, so no other file's static initialiser sees it half-built.
struct StateStack {
    std::list<CGameState*> stack;      // top at the front
    std::list<CGameState*> pending;    // popped, deleted at the end of the frame
    bool stateChanged = false;
    bool callbacksRegistered = false;
    CText* fpsText = nullptr;
    float fpsHistory[4] = {0, 0, 0, 0};   // oldest first
    std::list<StateTiming> timing;
    bool timingClosed = false;
};

StateStack& Stack() {
    static StateStack s;
    return s;
}

void UpdateFpsText(StateStack& s, float dt) {
    if (!s.fpsText && HasRenderContext()) {
        s.fpsText = new CText();
    }
    if (!s.fpsText) {
        return;
    }
    s.fpsText->SetPosition(5.0f, 5.0f);
    // The loop only runs frames after a positive time, but a frame of 0 must
    // not turn into an infinite rate.
    float rate = dt > 0.0f ? 1.0f / dt : 0.0f;
    float average = (rate + s.fpsHistory[0] + s.fpsHistory[1] + s.fpsHistory[2] + s.fpsHistory[3]) * 0.2f;
    *s.fpsText = "FPS: " + std::to_string(RateToInt(rate)) + "\nFPS (last 5 avg): " +
                 std::to_string(RateToInt(average));
    s.fpsHistory[0] = s.fpsHistory[1];
    s.fpsHistory[1] = s.fpsHistory[2];
    s.fpsHistory[2] = s.fpsHistory[3];
    s.fpsHistory[3] = rate;
}

void Account(StateStack& s, float dt) {
    if (s.timingClosed || s.stack.empty()) {
        return;
    }
    std::string name;
    s.stack.front()->GetName(name);
    for (StateTiming& entry : s.timing) {
        if (entry.name == name) {
            entry.frames++;
            entry.total += dt;
            return;
        }
    }
    s.timing.push_back(StateTiming{name, 1, dt});
}

}  // namespace

int RateToInt(float rate) {
    if (!(rate > 0.0f)) {
        return 0;
    }
    if (rate >= 1e9f) {
        return 1000000000;
    }
    return (int)rate;
}

void CStateManager::Push(CGameState* state) {
    StateStack& s = Stack();
    if (!s.callbacksRegistered) {
        RegisterDeviceLostCallback(&CStateManager::OnGraphicsLost);
        RegisterDeviceResetCallback(&CStateManager::OnGraphicsRestored);
        s.callbacksRegistered = true;
    }
    if (!state) {
        return;
    }
    if (!s.stack.empty()) {
        s.stack.front()->Exit();
    }
    s.stack.push_front(state);
    state->Enter();
    s.stateChanged = true;
}

void CStateManager::Pop() {
    StateStack& s = Stack();
    if (s.stack.empty()) {
        return;
    }
    CGameState* top = s.stack.front();
    top->Exit();
    s.pending.push_back(top);
    s.stack.pop_front();
}

void CStateManager::PopAll() {
    StateStack& s = Stack();
    while (!s.stack.empty()) {
        Pop();
    }
    s.timingClosed = true;
}

void CStateManager::SwitchTo(CGameState* state) {
    while (!Stack().stack.empty()) {
        Pop();
    }
    Push(state);
}

void CStateManager::DeletePending() {
    StateStack& s = Stack();
    while (!s.pending.empty()) {
        CGameState* state = s.pending.front();
        s.pending.pop_front();
        delete state;
    }
}

void CStateManager::GetCurrentName(std::string& out) {
    StateStack& s = Stack();
    if (s.stack.empty()) {
        out = "none";
        return;
    }
    s.stack.front()->GetName(out);
}

void CStateManager::Shutdown() {
    PopAll();
    DeletePending();
    StateStack& s = Stack();
    delete s.fpsText;
    s.fpsText = nullptr;
}

void CStateManager::OnGraphicsLost() {
    StateStack& s = Stack();
    for (CGameState* state : s.stack) {
        state->OnGraphicsLost();
    }
    // The next frame driver call makes a new one on the new device.
    delete s.fpsText;
    s.fpsText = nullptr;
}

void CStateManager::OnGraphicsRestored() {
    for (CGameState* state : Stack().stack) {
        state->OnGraphicsRestored();
    }
}

void CStateManager::Update(float dt) {
    StateStack& s = Stack();
    UpdateFpsText(s, dt);

    if (s.stack.empty()) {
        DeletePending();
        g_running = false;
        return;
    }
    if (dt > MaxFrameTime) {
        dt = MaxFrameTime;
    }
    if (s.stateChanged) {
        // A state's first update sees no time pass; the console waits a frame.
        s.stateChanged = false;
        s.stack.front()->Update(0.0f);
        DeletePending();
        return;
    }

    FrameTime = dt;
    if (g_debugConsole) {
        g_debugConsole->Update();
    }
    // The Sound Thread reads this copy, never the console object.
    SoundManager::SetSoundEnabled(ConsoleSoundOn());

    float t = ConsoleTimeOn() ? dt : 0.0f;
    if (ConsoleFastOn()) {
        t *= FastTimeScale;
    }
    s.stack.front()->Update(t);
    Account(s, dt);
    DeletePending();
}

void CStateManager::Draw() {
    StateStack& s = Stack();
    CAutoLock lock(&RenderLock());
    bool wireframe = ConsoleWireframeOn();
    if (wireframe) {
        SetRenderSwitch(RS_WIREFRAME, true);
    }
    if (!s.stack.empty()) {
        s.stack.front()->Draw();
    }
    if (wireframe) {
        SetRenderSwitch(RS_WIREFRAME, false);
    }
    if (s.fpsText) {
        UnbindShaderProgram();
        SetScreenProjection();
        s.fpsText->Draw();
    }
    if (g_debugConsole) {
        g_debugConsole->Draw();
    }
}

CGameState* CStateManager::Top() {
    StateStack& s = Stack();
    return s.stack.empty() ? nullptr : s.stack.front();
}

int CStateManager::StackSize() {
    return (int)Stack().stack.size();
}

int CStateManager::PendingCount() {
    return (int)Stack().pending.size();
}

CText* CStateManager::GetFpsText() {
    return Stack().fpsText;
}

const std::list<StateTiming>& CStateManager::GetTiming() {
    return Stack().timing;
}

void CStateManager::ResetForTests() {
    Shutdown();
    StateStack& s = Stack();
    s.stateChanged = false;
    s.timing.clear();
    s.timingClosed = false;
    for (float& f : s.fpsHistory) {
        f = 0.0f;
    }
}

bool CStateManager::HasNonNumberChar(const std::string& text) {
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || c == '-' || c == '.' || c == 'e')) {
            return true;
        }
    }
    return false;
}

bool CStateManager::HasNonIntegerChar(const std::string& text) {
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || c == '-')) {
            return true;
        }
    }
    return false;
}
