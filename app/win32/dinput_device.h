// Shared by the DirectInput keyboard and mouse: the window and instance the
// keyboard was made for (the mouse is made after it, for the same window).
#ifndef APP_WIN32_DINPUT_DEVICE_H
#define APP_WIN32_DINPUT_DEVICE_H

#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
#include <dinput.h>

extern HINSTANCE g_inputInstance;
extern HWND g_inputWindow;

// Releases the device (unacquired) and its DirectInput object; either may be null.
void ReleaseDirectInput(IDirectInputDevice8A*& device, IDirectInput8A*& input);

#endif
