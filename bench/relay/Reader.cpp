#include "Reader.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace relay {

void Reader::Start() {
  m_stop = false;
  m_thread = std::thread([this] { Loop(); });
}

void Reader::Stop() {
  m_stop = true;
  if (m_thread.joinable()) m_thread.join();
}

std::uint64_t Reader::WaitBeyond(std::uint64_t seen, std::chrono::nanoseconds wait) {
  std::unique_lock lock(m_mutex);
  m_progress.wait_for(lock, wait, [&] { return m_bytes > seen; });
  return m_bytes;
}

void Reader::Loop() {
  std::vector<std::uint8_t> buffer(1 << 16);
  while (!m_stop) {
    pollfd entry{m_master, POLLIN, 0};
    // The time-out only bounds how long Stop waits.
    const int ready = poll(&entry, 1, 50);
    if (ready == 0 || (ready < 0 && errno == EINTR)) continue;
    const ssize_t n = ready > 0 ? read(m_master, buffer.data(), buffer.size()) : -1;
    const std::uint64_t now = MonotonicNs();
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      m_errno = errno;  // EIO: no slave open; should not happen, we hold one
      return;
    }
    if (n == 0) continue;
    m_verifier.Feed({buffer.data(), static_cast<std::size_t>(n)}, now);
    {
      std::lock_guard lock(m_mutex);
      m_lastReadNs = now;
      m_bytes += static_cast<std::uint64_t>(n);
    }
    m_progress.notify_all();
  }
}

}  // namespace relay
