#include <chrono>

#include "core/clock.h"

unsigned PlatformTimeGetTime() {
    using namespace std::chrono;
    return (unsigned)duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

long long PlatformQueryCounter() {
    using namespace std::chrono;
    return (long long)duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

long long PlatformCounterFrequency() {
    return 1000000000LL;
}
