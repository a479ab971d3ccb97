// The shell's globals and the few window-system calls the neutral start-up,
// main loop and state stack need. The calls live in app/win32 (Win32) and
// app/native (a stand-in the tests drive).
#ifndef APP_SHELL_H
#define APP_SHELL_H

#include <cstdint>

extern bool g_running;           // the main loop runs while set
extern void* g_window;           // HWND of the main window; cleared when the loop ends
extern void* g_instance;         // HINSTANCE given to the entry
extern uint8_t g_windowActive;   // set while the window is active
extern int32_t g_windowMouseX;   // last WM_MOUSEMOVE position, client pixels
extern int32_t g_windowMouseY;
extern int g_quitCode;           // wParam of the WM_QUIT that ended the loop

// Registers the window class and makes the 800 x 600 top-most popup; null on failure.
void* CreateMainWindow();
void ShowMainWindow(void* window);
// A message box with an OK button.
void ShowMessage(void* window, const char* text, const char* title);
void ShowSystemCursor();
// Takes one waiting message and dispatches it; WM_QUIT clears g_running and
// sets g_quitCode. False when no message was waiting.
bool PumpWindowMessage();
// Gives up the rest of the time slice (Sleep(0)).
void YieldTimeSlice();

#endif
