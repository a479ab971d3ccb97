#include "app/win32/window.h"

#include "app/shell.h"
#include "app/state_manager.h"
#include "app/typed_keys.h"

namespace {

const char* const WindowClassName = "VexmoorWindow";
const char* const WindowTitle = "Vexmoor Game";

// System commands the game swallows: no resizing, scrolling, menu key, screen
// saver or monitor power-down while it runs. Compared exactly, as sent.
bool SwallowedSysCommand(WPARAM command) {
    switch (command) {
    case SC_SIZE:
    case SC_MAXIMIZE:
    case SC_VSCROLL:
    case SC_HSCROLL:
    case SC_KEYMENU:
    case SC_SCREENSAVE:
    case SC_HOTKEY:
    case SC_MONITORPOWER:
    case SC_CONTEXTHELP:
        return true;
    default:
        return false;
    }
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (HandleInputMessage(message, wParam, lParam)) {
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_DESTROY:
        CStateManager::PopAll();
        PostQuitMessage(0);
        return 0;
    case WM_ACTIVATE:
        switch (LOWORD(wParam)) {
        case WA_INACTIVE:
            g_windowActive = 0;
            SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
            break;
        case WA_ACTIVE:
        case WA_CLICKACTIVE:
            g_windowActive = 1;
            SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
            break;
        default:
            break;
        }
        return 0;
    case WM_PAINT:
        ValidateRect(window, NULL);
        return 0;
    case WM_SYSCOMMAND:
        if (SwallowedSysCommand(wParam)) {
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        g_windowMouseX = LOWORD(lParam);
        g_windowMouseY = HIWORD(lParam);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void* CreateMainWindow() {
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.style = CS_CLASSDC;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = (HINSTANCE)g_instance;
    wc.lpszClassName = WindowClassName;
    if (!RegisterClassA(&wc)) {
        return nullptr;
    }
    return CreateWindowExA(WS_EX_TOPMOST, WindowClassName, WindowTitle, WS_POPUP, 0, 0, 800, 600, NULL, NULL,
                           (HINSTANCE)g_instance, NULL);
}

void ShowMainWindow(void* window) {
    ShowWindow((HWND)window, SW_SHOW);
}

void ShowMessage(void* window, const char* text, const char* title) {
    MessageBoxA((HWND)window, text, title, MB_OK);
}

void ShowSystemCursor() {
    ShowCursor(TRUE);
}

bool PumpWindowMessage() {
    MSG msg;
    if (!PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        return false;
    }
    if (msg.message == WM_QUIT) {
        g_running = false;
        g_quitCode = (int)msg.wParam;
    } else {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

void YieldTimeSlice() {
    Sleep(0);
}
