// The native build's stand-in for the window system: a message queue and
// hooks that tests fill and watch.
#ifndef APP_NATIVE_SHELL_STAND_IN_H
#define APP_NATIVE_SHELL_STAND_IN_H

#include <deque>
#include <string>
#include <vector>

const int StandInQuitMessage = 0x0012;   // WM_QUIT; any other value is dispatched to no one

struct ShellStandIn {
    bool failWindow = false;
    int windowsMade = 0;
    int windowsShown = 0;
    int cursorShows = 0;
    std::vector<std::string> messageBoxes;   // "title: text"
    std::deque<int> queue;                   // waiting messages
    int quitCode = 0;                        // wParam of a queued quit message
    int messagesTaken = 0;
    int idlePasses = 0;                      // yields
    void (*onPump)() = nullptr;              // called before every look at the queue
};

ShellStandIn& GetShellStandIn();
void ResetShellStandIn();

#endif
