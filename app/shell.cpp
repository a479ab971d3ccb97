#include "app/shell.h"

bool g_running = false;
void* g_window = nullptr;
void* g_instance = nullptr;
uint8_t g_windowActive = 0;
int32_t g_windowMouseX = 0;
int32_t g_windowMouseY = 0;
int g_quitCode = 0;
