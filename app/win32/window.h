// The main window's procedure. The window itself is made by CreateMainWindow
// (app/shell.h).
#ifndef APP_WIN32_WINDOW_H
#define APP_WIN32_WINDOW_H

#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
