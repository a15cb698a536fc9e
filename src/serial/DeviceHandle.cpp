#include "serial/DeviceHandle.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>

namespace serial {

bool DeviceHandle::Adopt(int fd) {
  std::lock_guard lock(m_mutex);
  if (m_fd >= 0 || fd < 0) {
    if (fd >= 0) close(fd);
    return false;
  }
  const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd < 0) {
    close(fd);
    return false;
  }
  m_fd = fd;
  m_wakeFd = wakeFd;
  return true;
}

void DeviceHandle::Close() {
  std::unique_lock lock(m_mutex);
  if (m_fd < 0 || m_closing) return;
  m_closing = true;
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t signalled = write(m_wakeFd, &one, sizeof one);
  m_idle.wait(lock, [this] { return m_users == 0; });
  close(m_fd);
  close(m_wakeFd);
  m_fd = -1;
  m_wakeFd = -1;
  m_closing = false;
}

DeviceHandle::Use::Use(DeviceHandle& handle) : m_handle(handle) {
  std::lock_guard lock(m_handle.m_mutex);
  if (m_handle.m_fd < 0 || m_handle.m_closing) return;
  ++m_handle.m_users;
  m_fd = m_handle.m_fd;
  m_wakeFd = m_handle.m_wakeFd;
}

DeviceHandle::Use::~Use() {
  if (m_fd < 0) return;
  std::lock_guard lock(m_handle.m_mutex);
  if (--m_handle.m_users == 0) m_handle.m_idle.notify_all();
}

DeviceHandle::Wait DeviceHandle::Use::PollUntil(short events, int other,
                                                std::optional<std::chrono::steady_clock::time_point> deadline) const {
  if (m_fd < 0) return Wait::Closed;
  pollfd fds[3] = {{m_wakeFd, POLLIN, 0}, {m_fd, events, 0}, {other, POLLIN, 0}};
  // Entries with nothing to watch are left out of the poll (a negative
  // descriptor is ignored by poll itself).
  if (events == 0) fds[1].fd = -1;
  for (;;) {
    int timeout = -1;
    if (deadline) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now());
      timeout = left.count() > 0 ? static_cast<int>(std::min<std::int64_t>(left.count(), INT_MAX)) : 0;
    }
    const int ready = poll(fds, 3, timeout);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return Wait::Failed;
    if (fds[0].revents != 0) return Wait::Closed;
    if (ready == 0) return Wait::TimedOut;
    // POLLERR/POLLHUP count as ready: the next call reports the error itself.
    if (fds[1].revents != 0) return Wait::Ready;
    return Wait::Woken;
  }
}

DeviceHandle::Wait DeviceHandle::Use::WaitFor(short events, std::chrono::milliseconds timeout) const {
  return PollUntil(events, -1, std::chrono::steady_clock::now() + timeout);
}

DeviceHandle::Wait DeviceHandle::Use::WaitFor(short events, int other, std::chrono::milliseconds timeout) const {
  if (timeout.count() < 0) return PollUntil(events, other, std::nullopt);
  return PollUntil(events, other, std::chrono::steady_clock::now() + timeout);
}

bool DeviceHandle::Use::Pause(std::chrono::milliseconds duration) const {
  return PollUntil(0, -1, std::chrono::steady_clock::now() + duration) == Wait::TimedOut;
}

}  // namespace serial

