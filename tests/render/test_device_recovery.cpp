// The Direct3D frame start's recovery from a lost device, over a scripted
// device whose render states are the headless back-end's.
#include <gtest/gtest.h>

#include <deque>

#include "render/backend.h"
#include "render/device_recovery.h"
#include "render/render_setup.h"

namespace {

// Answers the device tests and scene begins in turn (scenes begin when none
// is scripted); a reset leaves Direct3D's own states behind.
class ScriptedDevice : public CDeviceSteps {
public:
    std::deque<DeviceTest> tests;
    std::deque<bool> scenes;
    bool resetWorks = true;
    int resets = 0, waits = 0, defaults = 0;

    DeviceTest TestDevice() override {
        DeviceTest t = tests.empty() ? DEVICE_WORKS : tests.front();
        if (!tests.empty())
            tests.pop_front();
        return t;
    }
    bool ResetDevice() override {
        resets++;
        SetRenderSwitch(RS_LIGHTING, true);
        SetRenderSwitch(RS_BLEND, false);
        SetRenderSwitch(RS_ALPHA_TEST, false);
        return resetWorks;
    }
    bool BeginScene() override {
        bool ok = scenes.empty() || scenes.front();
        if (!scenes.empty())
            scenes.pop_front();
        return ok;
    }
    void ApplyDefaultStates() override {
        defaults++;
        SetDefaultRenderState();
    }
    void WaitBeforeRetry() override { waits++; }
};

int lostRuns = 0, resetRuns = 0;
void CountLost() { lostRuns++; }
void CountReset() { resetRuns++; }

class DeviceRecovery : public ::testing::Test {
protected:
    void SetUp() override {
        RenderSetup setup;
        ASSERT_TRUE(InitRenderer(&setup, nullptr));
        lostRuns = resetRuns = 0;
        RegisterDeviceLostCallback(CountLost);
        RegisterDeviceResetCallback(CountReset);
    }
    void TearDown() override {
        SetDeviceLost(false);
        UnregisterDeviceLostCallback(CountLost);
        UnregisterDeviceResetCallback(CountReset);
        ShutdownRenderer();
    }
    ScriptedDevice device;
    CDeviceRecovery recovery;
};

// The reset worked but its scene did not begin: the next frame that opens,
// though its device test finds nothing wrong, brings the defaults back.
TEST_F(DeviceRecovery, DefaultStatesFollowAResetWhicheverFrameOpensNext) {
    device.tests = {DEVICE_NOT_RESET};
    device.scenes = {false};
    EXPECT_EQ(recovery.OpenFrame(device, true), FRAME_SKIPPED);
    EXPECT_TRUE(IsDeviceLost());
    EXPECT_EQ(recovery.OpenFrame(device, true), FRAME_OPEN);
    EXPECT_FALSE(GetRenderSwitch(RS_LIGHTING));
    EXPECT_TRUE(GetRenderSwitch(RS_BLEND));
    EXPECT_TRUE(GetRenderSwitch(RS_ALPHA_TEST));
    EXPECT_EQ(resetRuns, 1);

    // Owed once: later frames leave the game's own states alone.
    SetRenderSwitch(RS_BLEND, false);
    EXPECT_EQ(recovery.OpenFrame(device, true), FRAME_OPEN);
    EXPECT_FALSE(GetRenderSwitch(RS_BLEND));
    EXPECT_EQ(device.defaults, 1);
}

// Lost frames wait and skip; a device that asks for its reset gets it only
// when resets are allowed; a failed reset owes nothing and is tried again;
// each list runs once for the whole loss.
TEST_F(DeviceRecovery, ALossIsWaitedOutAndResetOnlyWhenAllowed) {
    device.tests = {DEVICE_LOST, DEVICE_LOST, DEVICE_NOT_RESET, DEVICE_NOT_RESET, DEVICE_NOT_RESET};
    EXPECT_EQ(recovery.OpenFrame(device, true), FRAME_SKIPPED);
    EXPECT_EQ(recovery.OpenFrame(device, true), FRAME_SKIPPED);
    EXPECT_EQ(recovery.OpenFrame(device, false), FRAME_SKIPPED);
    EXPECT_EQ(device.resets, 0);
    device.resetWorks = false;
    EXPECT_EQ(recovery.OpenFrame(device, true), FRAME_SKIPPED);
    EXPECT_FALSE(recovery.StatesOwed());
    EXPECT_EQ(device.waits, 4);

    device.resetWorks = true;
    EXPECT_EQ(recovery.OpenFrame(device, true), FRAME_OPEN_AFTER_RESET);
    EXPECT_EQ(device.resets, 2);
    EXPECT_EQ(device.waits, 4);
    EXPECT_EQ(device.defaults, 1);
    EXPECT_FALSE(IsDeviceLost());
    EXPECT_EQ(lostRuns, 1);
    EXPECT_EQ(resetRuns, 1);
}

}  // namespace
