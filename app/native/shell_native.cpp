// Stand-in window system for the native build.
#include "app/native/shell_stand_in.h"
#include "app/shell.h"

namespace {

ShellStandIn standIn;
int windowObject;   // its address serves as the window handle

}  // namespace

ShellStandIn& GetShellStandIn() {
    return standIn;
}

void ResetShellStandIn() {
    standIn = ShellStandIn();
}

void* CreateMainWindow() {
    if (standIn.failWindow) {
        return nullptr;
    }
    standIn.windowsMade++;
    return &windowObject;
}

void ShowMainWindow(void*) {
    standIn.windowsShown++;
}

void ShowMessage(void*, const char* text, const char* title) {
    standIn.messageBoxes.push_back(std::string(title) + ": " + text);
}

void ShowSystemCursor() {
    standIn.cursorShows++;
}

bool PumpWindowMessage() {
    if (standIn.onPump) {
        standIn.onPump();
    }
    if (standIn.queue.empty()) {
        return false;
    }
    int message = standIn.queue.front();
    standIn.queue.pop_front();
    standIn.messagesTaken++;
    if (message == StandInQuitMessage) {
        g_running = false;
        g_quitCode = standIn.quitCode;
    }
    return true;
}

void YieldTimeSlice() {
    standIn.idlePasses++;
}
