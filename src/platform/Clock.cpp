#include "platform/Clock.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <memory>
#include <mutex>

namespace platform {
namespace {

std::atomic<std::int64_t> g_advancedMilliseconds{0};

// Waiters also watch the read end of a pipe; moving the clock closes its
// write end, which wakes every one of them at once, and a fresh pipe serves
// the waits that start afterwards. The program itself never moves the
// clock, so its waits see an idle pipe and cost nothing more.
struct ClockWake {
  int read = -1;
  int write = -1;
  ClockWake() {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) == 0) {
      read = ends[0];
      write = ends[1];
    }
  }
  ~ClockWake() {
    if (read >= 0) close(read);
    if (write >= 0) close(write);
  }
  ClockWake(const ClockWake&) = delete;
  ClockWake& operator=(const ClockWake&) = delete;
};

std::mutex g_wakeMutex;
std::shared_ptr<ClockWake> g_wake;  // guarded by g_wakeMutex

std::shared_ptr<ClockWake> CurrentWake() {
  std::lock_guard lock(g_wakeMutex);
  if (!g_wake) g_wake = std::make_shared<ClockWake>();
  return g_wake;
}

}  // namespace

void Sleep(unsigned milliseconds) { (void)WaitUntil(-1, 0, MonotonicMilliseconds() + milliseconds); }

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
  if (milliseconds <= 0) return;
  g_advancedMilliseconds += milliseconds;
  std::shared_ptr<ClockWake> old;
  {
    std::lock_guard lock(g_wakeMutex);
    old.swap(g_wake);
  }
  // Waiters still hold the old pipe; its read end closes with the last one.
  if (old && old->write >= 0) {
    close(old->write);
    old->write = -1;
  }
}

bool WaitUntil(int fd, short events, std::int64_t deadline) {
  for (;;) {
    // The pipe is taken before the time is read, so a move of the clock in
    // between is either already counted or wakes this wait.
    const std::shared_ptr<ClockWake> wake = CurrentWake();
    const std::int64_t left = deadline - MonotonicMilliseconds();
    if (left <= 0 && fd < 0) return false;
    pollfd entries[2] = {{fd, events, 0}, {wake->read, POLLIN, 0}};
    const int rc = poll(entries, 2, static_cast<int>(std::clamp<std::int64_t>(left, 0, INT_MAX)));
    if (rc < 0 && errno == EINTR) continue;
    if (rc < 0) return true;
    if (fd >= 0 && entries[0].revents != 0) return true;
    if (left <= 0 || (rc == 0 && MonotonicMilliseconds() >= deadline)) return false;
  }
}

}  // namespace platform
