#ifndef CORE_SYSINFO_H
#define CORE_SYSINFO_H

#include <string>

struct CpuInfo {
    char vendor[13];  // "Unknown" until read
    unsigned char hasMMX;
    unsigned char hasSSE;
    unsigned char hasSSE2;
};

// Windows version code: 0 unknown, 1 3.x or older, 2 NT 4.0, 3 95, 4 98, 5 Me,
// 6 2000, 7 XP, 8 Server 2003, 9 later.
int GetWindowsVersion();
int WindowsVersionCode(unsigned major, unsigned minor, unsigned platformId);

bool GetCpuInfo(CpuInfo& info);

// The system's text for the last error, without its trailing line end and full
// stop; empty when there is none.
std::string GetLastErrorText();
std::string TrimSystemMessage(const std::string& message);

// Symbol engine for crash reports: the entry function calls SymbolEngineInit
// once, early in start-up, and SymbolEngineCleanup at exit.
void SymbolEngineInit();
void SymbolEngineCleanup();

#endif
