#include <windows.h>
#include <dbghelp.h>

#include "core/sysinfo.h"

int GetWindowsVersion() {
    OSVERSIONINFOA info;
    memset(&info, 0, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info)) {
        return 0;
    }
    return WindowsVersionCode(info.dwMajorVersion, info.dwMinorVersion, info.dwPlatformId);
}

std::string GetLastErrorText() {
    char buffer[1001];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                             GetLastError(), 0x800, buffer, 1000, NULL);
    if (n == 0) {
        return std::string();
    }
    return TrimSystemMessage(std::string(buffer, n));
}

// Listing the process's modules for the symbol engine takes most of a
// second under some systems. It runs on a thread of its own beside the rest
// of the start-up (nothing asks for symbols before a report), and module
// symbols are read only when asked for. Only that thread and the clean-up,
// after it has ended, call the engine, which is single-threaded.
static HANDLE symbolThread = NULL;
static bool symbolsReady = false;

static DWORD WINAPI StartSymbolEngine(LPVOID) {
    SymSetOptions(SymGetOptions() | SYMOPT_UNDNAME | SYMOPT_DEFERRED_LOADS);
    symbolsReady = SymInitialize(GetCurrentProcess(), NULL, TRUE) != 0;
    return 0;
}

void SymbolEngineInit() {
    if (symbolThread || symbolsReady) {
        return;
    }
    symbolThread = CreateThread(NULL, 0, StartSymbolEngine, NULL, 0, NULL);
    if (!symbolThread) {
        StartSymbolEngine(NULL);
    }
}

void SymbolEngineCleanup() {
    if (symbolThread) {
        WaitForSingleObject(symbolThread, INFINITE);
        CloseHandle(symbolThread);
        symbolThread = NULL;
    }
    if (symbolsReady) {
        SymCleanup(GetCurrentProcess());
        symbolsReady = false;
    }
}
