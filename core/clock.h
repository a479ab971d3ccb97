#ifndef CORE_CLOCK_H
#define CORE_CLOCK_H

// The game's clocks: the millisecond clock (timeGetTime) and the high-resolution
// counter. Tests can stop the clock at a chosen time and step it by hand.
unsigned TimeGetTime();
long long QueryCounter();
long long CounterFrequency();

// Test seams: while overridden both clocks stand at the given time (microseconds)
// and move only by AdvanceClockOverride.
void SetClockOverride(long long microseconds);
void AdvanceClockOverride(long long microseconds);
void ClearClockOverride();
bool ClockOverridden();

// Platform bodies (core/win32, core/native).
unsigned PlatformTimeGetTime();
long long PlatformQueryCounter();
long long PlatformCounterFrequency();

#endif
