#include "core/clock.h"

#include <atomic>

namespace {

std::atomic<bool> overridden(false);
std::atomic<long long> overrideMicroseconds(0);

}  // namespace

unsigned TimeGetTime() {
    if (overridden.load()) {
        return (unsigned)(overrideMicroseconds.load() / 1000);
    }
    return PlatformTimeGetTime();
}

long long CounterFrequency() {
    return PlatformCounterFrequency();
}

long long QueryCounter() {
    if (overridden.load()) {
        // Split the product so that long test runs cannot overflow it.
        long long us = overrideMicroseconds.load();
        long long freq = PlatformCounterFrequency();
        return us / 1000000 * freq + us % 1000000 * freq / 1000000;
    }
    return PlatformQueryCounter();
}

void SetClockOverride(long long microseconds) {
    overrideMicroseconds.store(microseconds);
    overridden.store(true);
}

void AdvanceClockOverride(long long microseconds) {
    overrideMicroseconds.fetch_add(microseconds);
}

void ClearClockOverride() {
    overridden.store(false);
}

bool ClockOverridden() {
    return overridden.load();
}
