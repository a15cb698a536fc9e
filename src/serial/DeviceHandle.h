#pragma once
// One open device descriptor shared by several threads. Threads borrow the
// descriptor through a Use for the length of one call; Close marks the handle
// closing, wakes every borrower that waits in WaitFor or Pause, and releases
// the descriptor only after the last borrower returned. A descriptor number
// the system hands out again is thus never read or written by a late call.
// Close must not be called by a thread that holds a Use of the same handle.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace serial {

class DeviceHandle {
 public:
  DeviceHandle() = default;
  ~DeviceHandle() { Close(); }
  DeviceHandle(const DeviceHandle&) = delete;
  DeviceHandle& operator=(const DeviceHandle&) = delete;

  // Takes ownership of an open descriptor. False (and `fd` closed) when the
  // handle already holds one or the wake-up channel cannot be created.
  [[nodiscard]] bool Adopt(int fd);

  // Wakes and waits out every borrower, then closes the descriptor.
  // Nothing happens when no descriptor is held.
  void Close();

  // Woken: the other descriptor given to WaitFor became readable.
  enum class Wait { Ready, TimedOut, Closed, Failed, Woken };

  class Use {
   public:
    explicit Use(DeviceHandle& handle);
    ~Use();
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;

    // False when the handle was closed or closing: there is no descriptor to use.
    explicit operator bool() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

    // Waits up to `timeout` for `events` (poll flags) on the descriptor;
    // Closed as soon as the handle is being closed.
    Wait WaitFor(short events, std::chrono::milliseconds timeout) const;
    // The same, also ending (Woken) when `other` becomes readable: another
    // thread's wake-up. A negative timeout waits without limit.
    Wait WaitFor(short events, int other, std::chrono::milliseconds timeout) const;
    // Sleeps `duration`; false when Close cut the sleep short.
    bool Pause(std::chrono::milliseconds duration) const;

   private:
    Wait PollUntil(short events, int other, std::optional<std::chrono::steady_clock::time_point> deadline) const;

    DeviceHandle& m_handle;
    int m_fd = -1;
    int m_wakeFd = -1;
  };

 private:
  std::mutex m_mutex;
  std::condition_variable m_idle;
  int m_fd = -1;
  // eventfd that Close signals; it stays readable, so it wakes every waiter.
  int m_wakeFd = -1;
  int m_users = 0;
  bool m_closing = false;
};

}  // namespace serial
