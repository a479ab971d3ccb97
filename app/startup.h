// Program start-up and shutdown. The entry runs the start-up steps in a fixed
// order, the main loop, and then a shutdown that undoes only the steps that
// ran: a start-up that failed early neither saves settings it never loaded
// nor shuts down what never started.
#ifndef APP_STARTUP_H
#define APP_STARTUP_H

#include <string>

#include "core/sysinfo.h"

class CGameState;

// Which steps ran (and worked, where a step can fail).
struct StartupRecord {
    bool window = false;
    bool sound = false;          // a failed sound start-up leaves the game silent
    bool graphics = false;
    bool keyboard = false;
    bool mouse = false;
    bool gdiplus = false;
    bool settings = false;
    bool stats = false;          // the stats tables hold every row the battle uses
    std::string statsMessage;
    bool textGlobals = false;
    bool gameData = false;
    bool firstState = false;
    bool complete = false;       // every step up to the main loop
    int windowsVersion = 0;
    CpuInfo cpu = {};
};

extern StartupRecord g_startup;

const int ExitNormal = 0;
const int ExitStartupFailed = 1;

// The whole program: start-up, the main loop, shutdown. Returns the exit code:
// 0 after a normal end, 1 when start-up failed.
int RunGame(void* instance);

// Start-up steps up to the main loop; false when the loop must not run.
bool StartGame(void* instance);
// Shutdown of whatever StartGame started; returns the exit code.
int ShutdownGame();

// The game's global data: caches folder, image decoder, settings, stats
// tables, console, text globals, animation list. Returns the animation
// list's result.
bool LoadGameData();
// Releases what LoadGameData made and saves the settings it loaded.
void ShutdownGlobals();

// The state the program starts in.
CGameState* MakeFirstState();

#endif
