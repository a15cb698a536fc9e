#pragma once
#include <cstdint>

namespace platform {

// The thread sleeps for the given milliseconds.
void Sleep(unsigned milliseconds);

// Wall-clock time in whole seconds (the program's "current time").
std::int64_t CurrentTimeSeconds();

// Monotonic milliseconds, for deadlines and timers.
std::int64_t MonotonicMilliseconds();

// Moves the monotonic clock forward, never back, so that a test reaches a
// limit of a minute or more without waiting for it.
void AdvanceMonotonicClock(std::int64_t milliseconds);

}  // namespace platform
