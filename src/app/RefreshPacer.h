#pragma once
// When the output thread tells the window that the byte counter changed.
// Every post wakes the window's thread, and at a fast stream's rate those
// wake-ups would cost more than the stream itself: the window hears at most
// once per interval, and a change held back meanwhile is told once the
// interval is over, or at the latest when the stream pauses.
#include <cstdint>

class RefreshPacer {
 public:
  explicit RefreshPacer(std::int64_t intervalMs) : m_nIntervalMs(intervalMs) {}

  // The counter changed at `nowMs`: true when the window is to hear it now.
  bool Changed(std::int64_t nowMs);
  // How long a change held back may still wait (0: tell it now); -1 when
  // nothing is held back.
  std::int64_t HeldFor(std::int64_t nowMs) const;
  // The window was told at `nowMs`.
  void Told(std::int64_t nowMs);

 private:
  std::int64_t m_nIntervalMs;
  std::int64_t m_nLastToldMs = INT64_MIN / 2;
  bool m_bHeld = false;
};
