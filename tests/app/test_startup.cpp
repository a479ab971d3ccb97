// Start-up and shutdown: what runs, in which case, and the exit codes. The
// native build has no keyboard device, so its start-up stops at the keyboard.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "app/console.h"
#include "app/native/input_stand_in.h"
#include "app/native/shell_stand_in.h"
#include "app/settings.h"
#include "app/shell.h"
#include "app/startup.h"
#include "app/state_manager.h"
#include "core/files.h"
#include "render/backend.h"
#include "sound/native/sound_stand_in.h"
#include "sound/sound_manager.h"
#include "tests/ui/test_menu_input.h"
#include "ui/game.h"

namespace {

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetShellStandIn();
        ResetSoundStandIn();
        CStateManager::ResetForTests();
        std::remove(NativePath(GetSettingsPath()).c_str());
        SettingsValue = 0;
        g_startup = StartupRecord();
    }
    void TearDown() override {
        std::remove(NativePath(GetSettingsPath()).c_str());
        ResetShellStandIn();
        g_startup = StartupRecord();
    }
    static void StoreSettings(int32_t value) {
        SettingsValue = value;
        SaveSettings();
        SettingsValue = 0;
    }
    static int32_t StoredSettings() {
        int32_t saved = SettingsValue;
        LoadSettings();
        int32_t stored = SettingsValue;
        SettingsValue = saved;
        return stored;
    }
};

TEST_F(StartupTest, NoWindowExitsWithOneAndStartsNothing) {
    GetShellStandIn().failWindow = true;
    EXPECT_EQ(RunGame(nullptr), ExitStartupFailed);
    EXPECT_FALSE(SoundManager::IsAvailable());
    EXPECT_EQ(GetSoundStandIn().liveReferences, 0);
    EXPECT_FALSE(HasRenderContext());
    EXPECT_EQ(GetShellStandIn().cursorShows, 0);
    EXPECT_TRUE(GetShellStandIn().messageBoxes.empty());
}

// The keyboard fails: no data, no state, no loop, and the user's stored value
// is neither read nor overwritten; what did start is shut down again.
TEST_F(StartupTest, FailedStartUpKeepsTheSettingsAndShutsDownWhatRan) {
    StoreSettings(7);
    EXPECT_EQ(RunGame(nullptr), ExitStartupFailed);
    EXPECT_TRUE(g_startup.window && g_startup.sound && g_startup.graphics);
    EXPECT_FALSE(g_startup.keyboard || g_startup.gameData || g_startup.settings || g_startup.complete);
    EXPECT_EQ(StoredSettings(), 7);
    EXPECT_EQ(g_debugConsole, nullptr);
    EXPECT_EQ(CStateManager::StackSize(), 0);
    EXPECT_FALSE(g_running);
    EXPECT_EQ(g_window, nullptr);
    EXPECT_FALSE(SoundManager::IsAvailable());
    EXPECT_EQ(GetSoundStandIn().liveReferences, 0);
    EXPECT_FALSE(HasRenderContext());
    EXPECT_EQ(GetShellStandIn().windowsShown, 1);
    EXPECT_EQ(GetShellStandIn().cursorShows, 2);
    EXPECT_TRUE(GetShellStandIn().messageBoxes.empty());
}

// Without a sound device the start goes on silent (the keyboard still stops
// it here), and a failed start writes no settings file.
TEST_F(StartupTest, StartUpGoesOnSilentWithoutASoundDevice) {
    GetSoundStandIn().failCreateDevice = true;
    EXPECT_EQ(RunGame(nullptr), ExitStartupFailed);
    EXPECT_FALSE(g_startup.sound);
    EXPECT_TRUE(g_startup.graphics);
    EXPECT_FALSE(std::ifstream(NativePath(GetSettingsPath())).good());
}

TEST_F(StartupTest, GameDataLoadsTheSettingsAndShutdownSavesThemBack) {
    StoreSettings(3);
    ShutdownGlobals();   // without game data: the file is left alone
    EXPECT_EQ(StoredSettings(), 3);
    StoreSettings(11);
    LoadGameData();
    EXPECT_TRUE(g_startup.gameData);
    EXPECT_EQ(SettingsValue, 11);
    EXPECT_NE(g_debugConsole, nullptr);
    EXPECT_TRUE(SoundManager::IsSoundEnabled());

    SettingsValue = 12;
    ShutdownGlobals();
    EXPECT_EQ(g_debugConsole, nullptr);
    EXPECT_EQ(StoredSettings(), 12);
}

// A whole run with devices: the battle is the first state, the loop runs
// until the quit message, and shutdown gives back the message's code.
TEST_F(StartupTest, WholeRunOpensTheBattleAndEndsWithTheQuitCode) {
    static InputScript script;
    SetNativeInputDevices([]() -> CKeyboardDevice* { return new ScriptKeyboard(&script); },
                          []() -> CMouseDevice* { return new ScriptMouse(&script); });
    StoreSettings(5);
    static int pumps;
    static std::string firstState;
    pumps = 0;
    firstState.clear();
    GetShellStandIn().onPump = [] {
        if (++pumps == 3) {
            CStateManager::GetCurrentName(firstState);
        }
        if (pumps == 6) {
            GetShellStandIn().queue.push_back(StandInQuitMessage);
        }
    };
    int code = RunGame(nullptr);
    SetNativeInputDevices(nullptr, nullptr);
    EXPECT_EQ(code, ExitNormal);
    EXPECT_TRUE(g_startup.complete);
    EXPECT_EQ(firstState, "CGame");
    EXPECT_EQ(CStateManager::StackSize(), 0);
    EXPECT_EQ(g_gameCameras, nullptr);
    EXPECT_EQ(StoredSettings(), 5);
    EXPECT_EQ(g_debugConsole, nullptr);
}

}  // namespace
