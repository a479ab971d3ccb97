#include "app/startup.h"

#include <string>

#include "app/camera_input.h"
#include "app/console.h"
#include "app/keyboard.h"
#include "app/main_loop.h"
#include "app/mouse.h"
#include "app/settings.h"
#include "app/shell.h"
#include "app/state_manager.h"
#include "core/files.h"
#include "game/stats.h"
#include "render/animation.h"
#include "render/backend.h"
#include "render/image.h"
#include "render/model.h"
#include "render/text.h"
#include "sound/sound_manager.h"
#include "ui/game.h"

StartupRecord g_startup;

// The program opens on the battle; the title is reached from its pause menu
// through the campaign.
CGameState* MakeFirstState() {
    return new CGame();
}

bool LoadGameData() {
    CreateDirectoryPath("gen\\data\\collision\\rar");
    StartupGdiplus();
    g_startup.gdiplus = true;
    LoadSettings();
    g_startup.settings = true;
    // The battle indexes fixed rows of every table: a set it cannot run on is
    // shown to the user after start-up and the game does not go on.
    g_startup.stats = LoadStatsTables(g_startup.statsMessage);
    CreateDebugConsole();
    InstallCameraInput();
    SoundManager::SetSoundEnabled(ConsoleSoundOn());
    CreateTextGlobals();
    g_startup.textGlobals = true;
    bool animations = LoadAnimationList();
    g_startup.gameData = true;
    return animations;
}

void ShutdownGlobals() {
    if (g_startup.textGlobals) {
        DestroyTextGlobals();
        g_startup.textGlobals = false;
    }
    DestroyDebugConsole();
    SoundManager::SetSoundEnabled(ConsoleSoundOn());
    if (g_startup.gameData) {
        ClearModelCache();
    }
    // Only a value that was loaded is written back over the user's file.
    if (g_startup.settings) {
        SaveSettings();
    }
    ReleaseFontShader();
    if (g_startup.gdiplus) {
        ShutdownGdiplus();
        g_startup.gdiplus = false;
    }
}

bool StartGame(void* instance) {
    g_startup = StartupRecord();
    g_running = true;
    g_quitCode = 0;
    g_instance = instance;
    SymbolEngineInit();
    g_startup.windowsVersion = GetWindowsVersion();
    GetCpuInfo(g_startup.cpu);

    g_window = CreateMainWindow();
    if (!g_window) {
        g_running = false;
        return false;
    }
    g_startup.window = true;
    ShowMainWindow(g_window);
    g_startup.sound = SoundManager::Init(g_window);

    RenderSetup setup;
    setup.adapter = 0;
    setup.fullScreen = true;
    setup.colour32 = true;
    setup.width = 800;
    setup.height = 600;
    setup.extraBackBuffer = false;
    setup.vertexProcessing = 1;
    setup.multithreaded = true;
    setup.verticalSync = true;
    setup.stencil = false;
    std::string warnings;
    bool fatalCaps = false;
    if (CheckRendererCaps(setup, warnings, fatalCaps)) {
        ShowMessage(g_window, warnings.c_str(), "warning");
    }
    g_startup.graphics = !fatalCaps && InitRenderer(&setup, g_window);
    g_running = g_startup.graphics;
    if (!g_startup.graphics) {
        ShowMessage(g_window, "Graphics init failed.\n _error.txt may contain details.", "error");
    } else {
        g_startup.keyboard = g_keyboard.Init(instance, false, g_window);
        g_running = g_startup.keyboard;
        if (g_startup.keyboard) {
            g_startup.mouse = g_mouse.Init(true);
        }
    }
    ShowSystemCursor();
    if (!g_running) {
        return false;
    }
    LoadGameData();
    if (!g_startup.stats) {
        ShowMessage(g_window, g_startup.statsMessage.c_str(), "error");
        g_running = false;
        return false;
    }
    CStateManager::Push(MakeFirstState());
    g_startup.firstState = true;
    g_startup.complete = true;
    return true;
}

int ShutdownGame() {
    g_window = nullptr;
    CStateManager::Shutdown();
    ShutdownGlobals();
    if (g_startup.keyboard) {
        g_keyboard.Release();
    }
    if (g_startup.mouse) {
        g_mouse.Release();
    }
    if (g_startup.graphics) {
        ShutdownRenderer();
    }
    SoundManager::Shutdown();
    ShowSystemCursor();
    SymbolEngineCleanup();
    return g_startup.complete ? g_quitCode : ExitStartupFailed;
}

int RunGame(void* instance) {
    if (!StartGame(instance) && !g_startup.window) {
        SymbolEngineCleanup();
        return ExitStartupFailed;
    }
    RunMainLoop();
    return ShutdownGame();
}
