#include <windows.h>
#include <mmsystem.h>

#include "core/clock.h"

unsigned PlatformTimeGetTime() {
    return timeGetTime();
}

long long PlatformQueryCounter() {
    LARGE_INTEGER value;
    QueryPerformanceCounter(&value);
    return value.QuadPart;
}

long long PlatformCounterFrequency() {
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    return value.QuadPart;
}
