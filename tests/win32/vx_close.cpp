// Test tool: asks the game's window to close, as the user closing it would.
#include <windows.h>
#include <cstdio>

int main()
{
    HWND window = FindWindowA("VexmoorWindow", nullptr);
    if (!window) {
        std::printf("no window of class VexmoorWindow\n");
        return 1;
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}
