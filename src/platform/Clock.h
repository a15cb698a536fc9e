#pragma once
#include <cstdint>

namespace platform {

// The thread sleeps for the given milliseconds of the monotonic clock below.
void Sleep(unsigned milliseconds);

// Wall-clock time in whole seconds (the program's "current time").
std::int64_t CurrentTimeSeconds();

// Monotonic milliseconds, for deadlines and timers.
std::int64_t MonotonicMilliseconds();

// Moves the monotonic clock forward, never back, so that a test reaches a
// limit of a minute or more without waiting for it. Threads in WaitUntil
// (and Sleep) wake and measure their deadline against the new time.
void AdvanceMonotonicClock(std::int64_t milliseconds);

// Waits until `fd` is ready for `events` or MonotonicMilliseconds() reaches
// `deadline`. True when `fd` is ready, or when poll itself failed, so that
// the caller's next call on `fd` reports the error; false when time ran
// out. A negative `fd` only waits.
bool WaitUntil(int fd, short events, std::int64_t deadline);

}  // namespace platform
