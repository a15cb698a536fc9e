#include "platform/Clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {
namespace {

std::atomic<std::int64_t> g_advancedMilliseconds{0};

}  // namespace

void Sleep(unsigned milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

std::int64_t CurrentTimeSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::int64_t MonotonicMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
             .count() +
         g_advancedMilliseconds.load();
}

void AdvanceMonotonicClock(std::int64_t milliseconds) {
  if (milliseconds > 0) g_advancedMilliseconds += milliseconds;
}

}  // namespace platform
