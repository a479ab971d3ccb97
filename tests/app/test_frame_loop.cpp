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

// While the device is lost only the driver runs: no draw, no present, and a
// key typed meanwhile waits for the first drawn frame.
TEST_F(MainLoopTest, ALostDeviceFrameRunsOnlyTheDriver) {
    PushCountingState();
    g_typedKeys.Push('a');
    NullSetFrameRefused(true);
    RunFrame(0.02f);
    RunFrame(0.03f);
    NullSetFrameRefused(false);
    EXPECT_EQ(log.draws, 0);
    EXPECT_EQ(NullRenderCounters().presents, 0);
    ASSERT_EQ(log.times.size(), 2u);
    EXPECT_FLOAT_EQ(log.times[1], 0.03f);
    // A long loss keeps only the first keys typed.
    for (int i = 0; i < 1000; i++)
        g_typedKeys.Push('b');
    EXPECT_EQ(g_typedKeys.Pop(), 'a');
    int kept = 0;
    while (!g_typedKeys.IsEmpty() && kept < 1000) {
        g_typedKeys.Pop();
        kept++;
    }
    EXPECT_EQ(kept, int(CTypedKeyQueue::Limit) - 1);
    g_typedKeys.Push('a');
    RunFrame(0.01f);
    EXPECT_EQ(log.draws, 1);
    EXPECT_EQ(NullRenderCounters().presents, 1);
    EXPECT_TRUE(g_typedKeys.IsEmpty());
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
