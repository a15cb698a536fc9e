#pragma once
// Waiting for a condition with a generous deadline instead of sleeping a
// fixed time: tests must hold on a busy two-core machine.
#include <chrono>
#include <functional>
#include <thread>

namespace testing_support {

constexpr std::chrono::milliseconds kGenerousDeadline{30000};

// Polls `condition` every few milliseconds; true as soon as it holds,
// false when the deadline passed without it.
inline bool WaitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds deadline = kGenerousDeadline) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return condition();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace testing_support
