// The parts of the device that do not depend on the graphics library.
#include "render/backend.h"

#include "core/lock.h"

CCriticalSection& RenderLock() {
    static CCriticalSection& lock = *new CCriticalSection;
    return lock;
}

// Created before the entry function runs, as the other start-up objects are.
[[maybe_unused]] static CCriticalSection& renderLockAtStart = RenderLock();

bool CheckRenderSetup(const RenderSetup* setup, std::string& error) {
    if (!setup) {
        error = "Invalid pointer passed for Setup struct.";
        return false;
    }
    error.clear();
    return true;
}
