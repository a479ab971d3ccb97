// The game-state stack and the frame driver, with fake states.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "app/console.h"
#include "app/game_state.h"
#include "app/shell.h"
#include "app/state_manager.h"
#include "core/lock.h"
#include "render/backend.h"
#include "app/frame_time.h"
#include "render/render_setup.h"
#include "render/text.h"

namespace {

std::vector<std::string> events;

class FakeState : public CGameState {
public:
    explicit FakeState(const std::string& name, std::function<void(FakeState*)> onUpdate = nullptr)
        : name(name), onUpdate(onUpdate) {}
    ~FakeState() override { events.push_back(name + " deleted"); }

    void Update(float dt) override {
        times.push_back(dt);
        events.push_back(name + " update");
        if (onUpdate) {
            onUpdate(this);
        }
        // Touches the state after the callback: a state that popped or
        // switched itself away must still be alive here.
        updates++;
    }
    void Draw() override {
        events.push_back(name + " draw");
        wireframeWhileDrawn = GetRenderSwitch(RS_WIREFRAME);
        // Loader threads must wait while a state draws.
        std::thread other([this] {
            lockFreeWhileDrawn = RenderLock().TryEnter();
            if (lockFreeWhileDrawn) {
                RenderLock().Leave();
            }
        });
        other.join();
    }
    void Enter() override { events.push_back(name + " enter"); }
    void Exit() override { events.push_back(name + " exit"); }
    void OnGraphicsLost() override { events.push_back(name + " lost"); }
    void OnGraphicsRestored() override { events.push_back(name + " restored"); }
    void GetName(std::string& out) override { out = name; }

    std::string name;
    std::function<void(FakeState*)> onUpdate;
    std::vector<float> times;
    int updates = 0;
    bool wireframeWhileDrawn = false;
    bool lockFreeWhileDrawn = true;
};

bool Happened(const std::string& event) {
    return std::find(events.begin(), events.end(), event) != events.end();
}

class StateManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        CStateManager::ResetForTests();
        events.clear();
        g_running = true;
        FrameTime = 0.0f;
    }
    void TearDown() override {
        CStateManager::ResetForTests();
        DestroyDebugConsole();
        if (HasRenderContext()) {
            ShutdownRenderer();
        }
    }
    // Pushes a state and spends its zero-time first frame.
    FakeState* PushSettled(const std::string& name, std::function<void(FakeState*)> onUpdate = nullptr) {
        FakeState* s = new FakeState(name, onUpdate);
        CStateManager::Push(s);
        CStateManager::Update(0.01f);
        events.clear();
        return s;
    }
};

TEST_F(StateManagerTest, PushPopAndTheEnterExitHooks) {
    CStateManager::Push(nullptr);
    CStateManager::Pop();
    EXPECT_EQ(CStateManager::StackSize(), 0);
    EXPECT_EQ(CStateManager::PendingCount(), 0);

    FakeState* a = new FakeState("A");
    FakeState* b = new FakeState("B");
    CStateManager::Push(a);
    CStateManager::Push(b);
    EXPECT_EQ(events, (std::vector<std::string>{"A enter", "A exit", "B enter"}));
    EXPECT_EQ(CStateManager::Top(), b);
    std::string name;
    CStateManager::GetCurrentName(name);
    EXPECT_EQ(name, "B");

    events.clear();
    CStateManager::Pop();   // A is uncovered and gets no call
    EXPECT_EQ(events, (std::vector<std::string>{"B exit"}));
    EXPECT_EQ(CStateManager::Top(), a);
    EXPECT_EQ(CStateManager::PendingCount(), 1);
    CStateManager::DeletePending();
    EXPECT_TRUE(Happened("B deleted"));

    CStateManager::PopAll();
    CStateManager::GetCurrentName(name);
    EXPECT_EQ(name, "none");
}

TEST_F(StateManagerTest, PushedStateFirstSeesZeroTimeWithoutTheConsoleStep) {
    CreateDebugConsole();
    g_debugConsole->fastFlag = 1;
    FrameTime = 0.125f;
    FakeState* s = new FakeState("S");
    CStateManager::Push(s);
    CStateManager::Update(0.1f);
    ASSERT_EQ(s->times.size(), 1u);
    EXPECT_EQ(s->times[0], 0.0f);
    EXPECT_EQ(FrameTime, 0.125f);   // not published on that frame
    CStateManager::Update(0.1f);
    EXPECT_FLOAT_EQ(s->times[1], 0.4f);
    EXPECT_FLOAT_EQ(FrameTime, 0.1f);
}

// Real time is clamped to 0.25 s and published; the game gets that, four
// times it when fast, and none when time is off, fast or not.
TEST_F(StateManagerTest, GameTimeIsClampedAndScaledByTheConsoleFlags) {
    FakeState* s = PushSettled("S");
    const struct {
        bool console;
        uint8_t fast, time;
        float dt, game;
    } frames[] = {{false, 0, 1, 0.03f, 0.03f}, {true, 0, 1, 0.6f, 0.25f}, {true, 1, 1, 0.6f, 1.0f},
                  {true, 1, 1, 0.02f, 0.08f},  {true, 1, 0, 0.02f, 0.0f},  {true, 0, 0, 0.02f, 0.0f}};
    for (const auto& f : frames) {
        if (f.console) {
            CreateDebugConsole();
            g_debugConsole->fastFlag = f.fast;
            g_debugConsole->timeFlag = f.time;
        }
        CStateManager::Update(f.dt);
        EXPECT_FLOAT_EQ(s->times.back(), f.game) << f.dt << " fast " << int(f.fast) << " time " << int(f.time);
        EXPECT_FLOAT_EQ(FrameTime, std::min(f.dt, 0.25f));
    }
}

TEST_F(StateManagerTest, StatePoppedInItsOwnUpdateIsDeletedAtTheEndOfTheFrame) {
    FakeState* below = PushSettled("below");
    PushSettled("top", [](FakeState* self) {
        if (self->updates == 0) {
            return;   // the zero-time first frame
        }
        CStateManager::Pop();
        EXPECT_EQ(CStateManager::PendingCount(), 1);
        EXPECT_FALSE(Happened("top deleted"));
    });
    CStateManager::Update(0.01f);
    EXPECT_TRUE(Happened("top deleted"));
    EXPECT_EQ(CStateManager::Top(), below);
    EXPECT_EQ(CStateManager::PendingCount(), 0);
    // The uncovered state is updated normally the next frame, not with zero.
    CStateManager::Update(0.01f);
    EXPECT_FLOAT_EQ(below->times.back(), 0.01f);
}

TEST_F(StateManagerTest, SwitchDuringUpdateAccountsTheNewStateAndDeletesTheOldOne) {
    FakeState* next = nullptr;
    PushSettled("menu", [&next](FakeState* self) {
        if (self->updates == 1) {
            next = new FakeState("battle");
            CStateManager::SwitchTo(next);
        }
    });
    CStateManager::Update(0.05f);
    EXPECT_TRUE(Happened("menu deleted"));
    EXPECT_EQ(CStateManager::Top(), next);
    EXPECT_EQ(CStateManager::StackSize(), 1);

    const std::list<StateTiming>& timing = CStateManager::GetTiming();
    auto battle = std::find_if(timing.begin(), timing.end(), [](const StateTiming& t) { return t.name == "battle"; });
    ASSERT_NE(battle, timing.end());
    EXPECT_EQ(battle->frames, 1);
    EXPECT_FLOAT_EQ(battle->total, 0.05f);

    CStateManager::Update(0.05f);   // the switched-to state's first frame
    ASSERT_EQ(next->times.size(), 1u);
    EXPECT_EQ(next->times[0], 0.0f);
}

TEST_F(StateManagerTest, AccountingCollectsClampedTimePerNameUntilPopAll) {
    PushSettled("A");
    CStateManager::Update(0.5f);
    CStateManager::Update(0.1f);
    const std::list<StateTiming>& timing = CStateManager::GetTiming();
    ASSERT_EQ(timing.size(), 1u);
    EXPECT_EQ(timing.front().name, "A");
    EXPECT_EQ(timing.front().frames, 2);
    EXPECT_FLOAT_EQ(timing.front().total, 0.35f);

    CStateManager::PopAll();
    PushSettled("B");
    CStateManager::Update(0.1f);
    EXPECT_EQ(CStateManager::GetTiming().size(), 1u);
    EXPECT_EQ(CStateManager::GetTiming().front().frames, 2);
}

TEST_F(StateManagerTest, EmptyStackEndsTheProgramAfterDeletingPoppedStates) {
    CStateManager::Push(new FakeState("last"));
    CStateManager::PopAll();
    EXPECT_TRUE(g_running);
    CStateManager::Update(0.01f);
    EXPECT_FALSE(g_running);
    EXPECT_TRUE(Happened("last deleted"));
}

TEST_F(StateManagerTest, FrameRateTextExistsOnlyWithADevice) {
    CStateManager::Update(0.01f);
    EXPECT_EQ(CStateManager::GetFpsText(), nullptr);

    RenderSetup setup;
    ASSERT_TRUE(InitRenderer(&setup, nullptr));
    PushSettled("S");
    CStateManager::Update(0.6f);
    CText* text = CStateManager::GetFpsText();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetX(), 5.0f);
    EXPECT_EQ(text->GetY(), 5.0f);
    EXPECT_EQ(text->GetString().substr(0, 8), "FPS: 1\nF");

    // Five frames of 0.01 s: the average of the last five rates is 100.
    for (int i = 0; i < 5; i++) {
        CStateManager::Update(0.01f);
    }
    EXPECT_EQ(text->GetString(), "FPS: 100\nFPS (last 5 avg): 100");

    CStateManager::Update(0.0f);   // no frame time at all must not overflow
    EXPECT_EQ(text->GetString().substr(0, 7), "FPS: 0\n");

    // A device loss drops the text; the next frame makes a new one.
    SetDeviceLost(true);
    EXPECT_EQ(CStateManager::GetFpsText(), nullptr);
    EXPECT_TRUE(Happened("S lost"));
    SetDeviceLost(false);
    EXPECT_TRUE(Happened("S restored"));
    CStateManager::Update(0.01f);
    EXPECT_NE(CStateManager::GetFpsText(), nullptr);
}

TEST_F(StateManagerTest, DrawPassDrawsTheTopStateInWireframeWhenAsked) {
    CreateDebugConsole();
    FakeState* below = PushSettled("below");
    FakeState* top = PushSettled("top");
    CStateManager::Draw();
    EXPECT_EQ(events, (std::vector<std::string>{"top draw"}));
    EXPECT_FALSE(top->wireframeWhileDrawn);
    EXPECT_FALSE(top->lockFreeWhileDrawn);   // the draw pass holds the render lock

    g_debugConsole->wireframeFlag = 1;
    CStateManager::Draw();
    EXPECT_TRUE(top->wireframeWhileDrawn);
    EXPECT_FALSE(GetRenderSwitch(RS_WIREFRAME));
    EXPECT_FALSE(below->wireframeWhileDrawn);

    CStateManager::PopAll();
    CStateManager::Draw();   // nothing on the stack: only the text and console
}

TEST_F(StateManagerTest, RateAndNumberTextTests) {
    EXPECT_EQ(RateToInt(1.0f / 0.6f), 1);
    EXPECT_EQ(RateToInt(std::numeric_limits<float>::infinity()), 1000000000);
    for (float undefined : {0.0f, std::nanf(""), -5.0f}) EXPECT_EQ(RateToInt(undefined), 0) << undefined;
    EXPECT_FALSE(CStateManager::HasNonNumberChar("-1.5e3"));
    EXPECT_TRUE(CStateManager::HasNonNumberChar("1.5E3"));
    EXPECT_FALSE(CStateManager::HasNonIntegerChar("-42"));
    EXPECT_TRUE(CStateManager::HasNonIntegerChar("4.2"));
}

}  // namespace
