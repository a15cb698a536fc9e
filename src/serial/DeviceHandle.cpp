#include "serial/DeviceHandle.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
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

DeviceHandle::Wait DeviceHandle::Use::PollUntil(short events,
                                                std::chrono::steady_clock::time_point deadline) const {
  if (m_fd < 0) return Wait::Closed;
  pollfd fds[2] = {{m_wakeFd, POLLIN, 0}, {m_fd, events, 0}};
  const nfds_t count = events == 0 ? 1 : 2;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    const int timeout = left.count() > 0 ? static_cast<int>(left.count()) : 0;
    const int ready = poll(fds, count, timeout);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return Wait::Failed;
    if (fds[0].revents != 0) return Wait::Closed;
    if (ready == 0) return Wait::TimedOut;
    // POLLERR/POLLHUP count as ready: the next call reports the error itself.
    return Wait::Ready;
  }
}

DeviceHandle::Wait DeviceHandle::Use::WaitFor(short events, std::chrono::milliseconds timeout) const {
  return PollUntil(events, std::chrono::steady_clock::now() + timeout);
}

bool DeviceHandle::Use::Pause(std::chrono::milliseconds duration) const {
  return PollUntil(0, std::chrono::steady_clock::now() + duration) == Wait::TimedOut;
}

}  // namespace serial

