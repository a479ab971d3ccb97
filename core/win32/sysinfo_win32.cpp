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

static bool symbolsReady = false;

void SymbolEngineInit() {
    if (symbolsReady) {
        return;
    }
    // The process's modules are listed now; their symbols are read only when
    // a report asks for them. Reading them all took most of every start.
    SymSetOptions(SymGetOptions() | SYMOPT_UNDNAME | SYMOPT_DEFERRED_LOADS);
    symbolsReady = SymInitialize(GetCurrentProcess(), NULL, TRUE) != 0;
}

void SymbolEngineCleanup() {
    if (symbolsReady) {
        SymCleanup(GetCurrentProcess());
        symbolsReady = false;
    }
}
