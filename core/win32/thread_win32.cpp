#include <windows.h>

#include "core/thread.h"

static DWORD WINAPI ThreadEntry(LPVOID parameter) {
    ThreadStartRoutine((ThreadStart*)parameter);
    return 0;
}

void* PlatformStartThread(ThreadStart* start) {
    DWORD id;
    HANDLE h = CreateThread(NULL, 0, ThreadEntry, start, CREATE_SUSPENDED, &id);
    if (!h) {
        return nullptr;
    }
    ResumeThread(h);
    return h;
}

void PlatformResumeThread(void* handle) {
    ResumeThread((HANDLE)handle);
}

void PlatformSuspendThread(void* handle) {
    SuspendThread((HANDLE)handle);
}

void PlatformSetThreadPriority(void* handle, int priority) {
    SetThreadPriority((HANDLE)handle, priority);
}

bool PlatformWaitThread(void* handle, unsigned milliseconds) {
    return WaitForSingleObject((HANDLE)handle, milliseconds) == WAIT_OBJECT_0;
}

void PlatformCloseThread(void* handle) {
    CloseHandle((HANDLE)handle);
}
