// Checks the Windows bodies of the core library: threads, critical sections,
// clocks, system information, the symbol engine, folders and backslash paths,
// error reports, and the shipped stats tables. One line per check; exit 0 when
// all pass.
#include <windows.h>

#include <cstdio>
#include <string>

#include "core/clock.h"
#include "core/error.h"
#include "core/files.h"
#include "core/lock.h"
#include "core/sysinfo.h"
#include "core/thread.h"
#include "game/stats.h"

static int failures = 0;

static void Check(bool ok, const char* name) {
    printf("%s %s\n", name, ok ? "OK" : "FAILED");
    fflush(stdout);
    if (!ok) {
        failures++;
    }
}

static void Poll(CThread* thread, void* argument) {
    volatile LONG* rounds = (volatile LONG*)argument;
    while (!thread->StopRequested()) {
        InterlockedIncrement(rounds);
        Sleep(1);
    }
}

static void Slow(CThread*, void* argument) {
    Sleep(120);
    *(volatile LONG*)argument = 1;
}

struct Shared {
    CCriticalSection section;
    int counter = 0;
};

static void Count(CThread*, void* argument) {
    Shared* shared = (Shared*)argument;
    for (int i = 0; i < 20000; i++) {
        CAutoLock outer(&shared->section);
        CAutoLock inner(&shared->section);
        shared->counter++;
    }
}

static DWORD WINAPI TryFromOtherThread(LPVOID argument) {
    CCriticalSection* section = (CCriticalSection*)argument;
    if (section->TryEnter()) {
        section->Leave();
        return 1;
    }
    return 0;
}

int main() {
    volatile LONG rounds = 0;
    CThread* poller = new CThread(Poll, "poller", (void*)&rounds);
    poller->SetPriority(ThreadPriorityAboveNormal);
    while (rounds < 3) {
        Sleep(1);
    }
    poller->Suspend();
    LONG frozen = rounds;
    Sleep(30);
    bool suspended = rounds == frozen;
    poller->Resume();
    delete poller;
    Check(suspended, "THREAD SUSPEND");
    Check(true, "THREAD STOP");

    volatile LONG done = 0;
    DWORD t0 = TimeGetTime();
    delete new CThread(Slow, "slow", (void*)&done);
    Check(done == 1 && TimeGetTime() - t0 >= 100, "THREAD WAIT");

    Shared shared;
    {
        CThread a(Count, "a", &shared);
        CThread b(Count, "b", &shared);
    }
    Check(shared.counter == 40000, "LOCK EXCLUSIVE");
    shared.section.Enter();
    bool reentered = shared.section.TryEnter();
    HANDLE other = CreateThread(NULL, 0, TryFromOtherThread, &shared.section, 0, NULL);
    WaitForSingleObject(other, INFINITE);
    DWORD otherGotIt = 1;
    GetExitCodeThread(other, &otherGotIt);
    CloseHandle(other);
    shared.section.Leave();
    shared.section.Leave();
    Check(reentered && otherGotIt == 0, "LOCK REENTRANT");

    long long c0 = QueryCounter();
    Sleep(20);
    long long c1 = QueryCounter();
    Check(CounterFrequency() > 0 && c1 > c0, "CLOCK");

    Check(GetWindowsVersion() != 0, "WINDOWS VERSION");
    CpuInfo cpu;
    Check(GetCpuInfo(cpu) && strlen(cpu.vendor) == 12, "CPU INFO");
    SetLastError(ERROR_ACCESS_DENIED);
    std::string text = GetLastErrorText();
    printf("  last error text: [%s]\n", text.c_str());
    Check(!text.empty() && text.back() != '.' && text.back() != '\n', "LAST ERROR TEXT");
    SymbolEngineInit();
    SymbolEngineCleanup();
    Check(true, "SYMBOL ENGINE");

    CreateDirectoryPath("gen\\core_check\\a\\b\\");
    DWORD attributes = GetFileAttributesA("gen\\core_check\\a\\b");
    Check(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY), "FOLDERS");
    RemoveDirectoryA("gen\\core_check\\a\\b");
    RemoveDirectoryA("gen\\core_check\\a");
    RemoveDirectoryA("gen\\core_check");

    int reports = ErrorReportCount();
    ReportError("Error", "core_check()-test report");
    std::string log = ReadWholeFile(false, "_error.txt");
    Check(ErrorReportCount() == reports + 1 && log.find("Error: core_check()-test report\n") != std::string::npos,
          "ERROR FILE");

    std::string message;
    Check(LoadStatsTables(message), "STATS");
    if (!message.empty()) {
        printf("  %s\n", message.c_str());
    }

    printf(failures ? "CORE CHECK FAILED\n" : "CORE CHECK PASSED\n");
    return failures ? 1 : 0;
}
