// Frame gating and the main loop over the stand-in window system and a
// stopped clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frame_timer.h"
#include "app/game_state.h"
#include "app/main_loop.h"
#include "app/native/shell_stand_in.h"
#include "app/shell.h"
#include "app/state_manager.h"
#include "app/typed_keys.h"
#include "core/clock.h"
#include "render/null/null_backend.h"
#include "tests/ui/test_menu_input.h"

namespace {

TEST(FrameTimer, RunsAFrameOnlyPastTheThresholdWithTheWholeTimeSinceTheLast) {
    const long long freq = 1000000;   // microseconds
    CFrameTimer timer;
    timer.Start(0, freq);
    float dt = -1.0f;
    EXPECT_FALSE(timer.Poll(400, dt));
    EXPECT_FALSE(timer.Poll(504, dt));    // 0.000504 s is not more than the threshold
    EXPECT_EQ(dt, -1.0f);
    EXPECT_TRUE(timer.Poll(800, dt));     // two short passes add up
    EXPECT_FLOAT_EQ(dt, 0.0008f);
    EXPECT_FALSE(timer.Poll(1100, dt));   // measured from the frame just run
    EXPECT_TRUE(timer.Poll(2000, dt));
    EXPECT_FLOAT_EQ(dt, 0.0012f);
}

// What a counting state saw; outlives the state, which the stack deletes.
struct FrameLog {
    std::vector<float> times;
    int draws = 0;
    bool typedSeen = false;
};

// Logs its frames; pops itself after stopAfter updates (never when 0).
class CountingState : public CGameState {
public:
    CountingState(FrameLog* log, int stopAfter = 0) : log(log), stopAfter(stopAfter) {}
    void Update(float dt) override {
        log->times.push_back(dt);
        log->typedSeen = !g_typedKeys.IsEmpty();
        if (stopAfter && (int)log->times.size() == stopAfter) {
            CStateManager::Pop();
        }
    }
    void Draw() override { log->draws++; }

    FrameLog* log;
    int stopAfter;
};

class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetShellStandIn();
        CStateManager::ResetForTests();
        SetClockOverride(1000000);
        NullResetCounters();
        g_typedKeys.Clear();
        g_running = true;
    }
    void TearDown() override {
        CStateManager::ResetForTests();
        ClearClockOverride();
        ResetShellStandIn();
    }
    void PushCountingState(int stopAfter = 0) { CStateManager::Push(new CountingState(&log, stopAfter)); }

    FrameLog log;
};

TEST_F(MainLoopTest, FrameOrderDrawsFirstAndDropsUntakenKeysAfterTheDriver) {
    PushCountingState();
    g_typedKeys.Push('a');
    RunFrame(0.02f);
    EXPECT_EQ(log.draws, 1);
    ASSERT_EQ(log.times.size(), 1u);
    EXPECT_TRUE(log.typedSeen);             // queued before the frame, seen by its update
    EXPECT_TRUE(g_typedKeys.IsEmpty());    // and dropped at its end
    EXPECT_EQ(NullRenderCounters().presents, 1);
}

const int EscapeKey = 0x01;

// What the state sees of the input in one frame.
struct InputSeen {
    bool escapePressed, escapeDown, leftDown, leftBefore, wheelMoved, typed;
    bool operator==(const InputSeen& o) const {
        return escapePressed == o.escapePressed && escapeDown == o.escapeDown && leftDown == o.leftDown &&
               leftBefore == o.leftBefore && wheelMoved == o.wheelMoved && typed == o.typed;
    }
};

// Logs its frames as CountingState does, and the input it saw.
class InputState : public CountingState {
public:
    InputState(FrameLog* log, std::vector<InputSeen>* seen) : CountingState(log), seen(seen) {}
    void Update(float dt) override {
        CountingState::Update(dt);
        seen->push_back(InputSeen{g_keyboard.IsKeyPressed(EscapeKey), g_keyboard.IsKeyDown(EscapeKey),
                                  g_mouse.IsLeftDown(), g_mouse.WasLeftDown(),
                                  g_mouse.GetWheel() != g_mouse.GetPreviousWheel(), !g_typedKeys.IsEmpty()});
    }
    std::vector<InputSeen>* seen;
};

// While the device is lost only the driver runs, with every key and button
// up and nothing typed: the last drawn frame's presses (Escape toggling the
// pause menu, a held trigger) must not repeat in each skipped frame.
TEST_F(MainLoopTest, ALostDeviceFrameRunsOnlyTheDriverWithAllInputReleased) {
    MenuInput input;
    std::vector<InputSeen> seen;
    CStateManager::Push(new InputState(&log, &seen));
    RunFrame(0.02f);   // the push's own frame
    input.Key(EscapeKey, true);
    input.script.left = true;
    input.script.dz = 120;
    g_typedKeys.Push('a');
    RunFrame(0.02f);
    const InputSeen pressed{true, true, true, false, true, true}, released{};
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], pressed);

    NullSetFrameRefused(true);
    g_typedKeys.Push('b');   // typed before the loss began
    for (int i = 0; i < 3; i++) {
        RunFrame(0.03f);
        EXPECT_EQ(seen.back(), released) << "skipped frame " << i;
    }
    // Nothing drawn or shown; game time went on.
    EXPECT_EQ(log.draws, 2);
    EXPECT_EQ(NullRenderCounters().presents, 2);
    ASSERT_EQ(log.times.size(), 5u);
    EXPECT_FLOAT_EQ(log.times[4], 0.03f);
    EXPECT_EQ(g_typedKeys.Pop(), 0);

    // Back: a fresh poll. Escape still held is one new press; the button let
    // go during the loss leaves no edge.
    NullSetFrameRefused(false);
    input.script.left = false;
    RunFrame(0.01f);
    EXPECT_EQ(seen.back(), (InputSeen{true, true, false, false, false, false}));
    RunFrame(0.01f);
    EXPECT_EQ(seen.back(), (InputSeen{false, true, false, false, false, false}));
    EXPECT_EQ(log.draws, 4);
    EXPECT_EQ(NullRenderCounters().presents, 4);
}

// Every pass finds a message: the clock runs, but no frame does.
TEST_F(MainLoopTest, AMessageEveryPassStarvesTheFrame) {
    PushCountingState();
    GetShellStandIn().onPump = [] {
        ShellStandIn& shell = GetShellStandIn();
        AdvanceClockOverride(1000);
        if (shell.messagesTaken < 50) {
            shell.queue.push_back(0x0200);
        } else {
            shell.queue.push_back(StandInQuitMessage);
        }
    };
    RunMainLoop();
    EXPECT_FALSE(g_running);
    EXPECT_EQ(GetShellStandIn().messagesTaken, 51);
    EXPECT_EQ(GetShellStandIn().idlePasses, 0);
    EXPECT_TRUE(log.times.empty());
    EXPECT_EQ(NullRenderCounters().presents, 0);
}

// Idle passes 0.0004 s apart: a frame every second pass, with the time of both.
TEST_F(MainLoopTest, IdlePassesYieldAndFramesGetTheTimeSinceTheLastFrame) {
    PushCountingState(5);
    GetShellStandIn().onPump = [] { AdvanceClockOverride(400); };
    RunMainLoop();
    EXPECT_FALSE(g_running);   // the stack emptied itself
    // 5 frames of the state plus the frame that found the stack empty.
    EXPECT_EQ(NullRenderCounters().presents, 6);
    EXPECT_EQ(GetShellStandIn().idlePasses, 12);
    ASSERT_EQ(log.times.size(), 5u);
    EXPECT_EQ(log.times[0], 0.0f);   // its first update after the push
    for (size_t i = 1; i < log.times.size(); i++) {
        EXPECT_FLOAT_EQ(log.times[i], 0.0008f);
    }
}

TEST_F(MainLoopTest, QuitMessageEndsTheLoopWithItsCode) {
    PushCountingState();
    GetShellStandIn().queue.push_back(0x0100);
    GetShellStandIn().queue.push_back(StandInQuitMessage);
    GetShellStandIn().quitCode = 0;
    g_quitCode = 77;
    RunMainLoop();
    EXPECT_EQ(g_quitCode, 0);
    EXPECT_EQ(GetShellStandIn().messagesTaken, 2);
    EXPECT_EQ(NullRenderCounters().presents, 0);
}

}  // namespace
