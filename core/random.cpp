#include "core/random.h"

#include <atomic>

#include "core/clock.h"

namespace {

// Starts at 1 as the C runtime does before the first seed.
std::atomic<unsigned> randState(1);

// Seeded once at start-up from the millisecond clock.
struct ClockSeedInit {
    ClockSeedInit() { GameSrand(TimeGetTime()); }
};
ClockSeedInit clockSeedInit;

}  // namespace

int GameRand() {
    unsigned state = randState.load(std::memory_order_relaxed) * 214013u + 2531011u;
    randState.store(state, std::memory_order_relaxed);
    return (int)((state >> 16) & 0x7FFF);
}

void GameSrand(unsigned seed) {
    randState.store(seed, std::memory_order_relaxed);
}
