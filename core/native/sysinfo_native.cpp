#include "core/sysinfo.h"

// Not Windows: no version to report, no system message, no symbol engine.
int GetWindowsVersion() {
    return 0;
}

std::string GetLastErrorText() {
    return std::string();
}

void SymbolEngineInit() {
}

void SymbolEngineCleanup() {
}
