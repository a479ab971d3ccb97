// Checks the Windows bodies of the core library: threads, critical sections,
// clocks, system information, the symbol engine, folders and backslash paths,
// error reports, and the shipped stats tables. Prints "CHECK name OK|FAIL"
// lines; exit 0 when all pass.
#include "core/clock.h"
#include "core/lock.h"
#include "core/sysinfo.h"
#include "core/thread.h"
#include "game/stats.h"
#include "tests/win32/test_window.h"

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
    delete poller;   // stops and joins the polling thread
    Check("thread_suspend", suspended);

    volatile LONG done = 0;
    DWORD t0 = TimeGetTime();
    delete new CThread(Slow, "slow", (void*)&done);
    Check("thread_wait", done == 1 && TimeGetTime() - t0 >= 100);

    Shared shared;
    {
        CThread a(Count, "a", &shared);
        CThread b(Count, "b", &shared);
    }
    Check("lock_exclusive", shared.counter == 40000);
    shared.section.Enter();
    bool reentered = shared.section.TryEnter();
    HANDLE other = CreateThread(NULL, 0, TryFromOtherThread, &shared.section, 0, NULL);
    WaitForSingleObject(other, INFINITE);
    DWORD otherGotIt = 1;
    GetExitCodeThread(other, &otherGotIt);
    CloseHandle(other);
    shared.section.Leave();
    shared.section.Leave();
    Check("lock_reentrant", reentered && otherGotIt == 0);

    long long c0 = QueryCounter();
    Sleep(20);
    long long c1 = QueryCounter();
    Check("clock", CounterFrequency() > 0 && c1 > c0);

    Check("windows_version", GetWindowsVersion() != 0);
    CpuInfo cpu;
    Check("cpu_info", GetCpuInfo(cpu) && strlen(cpu.vendor) == 12);
    SetLastError(ERROR_ACCESS_DENIED);
    std::string text = GetLastErrorText();
    Check("last_error_text", !text.empty() && text.back() != '.' && text.back() != '\n', "[" + text + "]");
    SymbolEngineInit();
    SymbolEngineCleanup();

    CreateDirectoryPath("gen\\core_check\\a\\b\\");
    DWORD attributes = GetFileAttributesA("gen\\core_check\\a\\b");
    Check("folders", attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    RemoveDirectoryA("gen\\core_check\\a\\b");
    RemoveDirectoryA("gen\\core_check\\a");
    RemoveDirectoryA("gen\\core_check");

    int reports = ErrorReportCount();
    ReportError("Error", "core_check()-test report");
    std::string log = ReadWholeFile(false, "_error.txt");
    Check("error_file",
          ErrorReportCount() == reports + 1 && log.find("Error: core_check()-test report\n") != std::string::npos);

    std::string message;
    Check("stats", LoadStatsTables(message), message);
    return FinishChecks();
}
