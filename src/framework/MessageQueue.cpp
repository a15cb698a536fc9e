#include "framework/MessageQueue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

MessageQueue::MessageQueue(Waiting waiting)
    : m_wakeFd(waiting == Waiting::ByPoll ? eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK) : -1) {}

MessageQueue::~MessageQueue() {
  if (m_wakeFd >= 0) close(m_wakeFd);
}

void MessageQueue::SetCoalescing(UINT message) {
  std::lock_guard lock(m_mutex);
  m_coalescing.insert(message);
}

void MessageQueue::Post(const MSG& msg) {
  {
    std::lock_guard lock(m_mutex);
    if (m_coalescing.count(msg.message) != 0) {
      const bool pending = std::any_of(m_messages.begin(), m_messages.end(), [&](const MSG& m) {
        return m.hwnd == msg.hwnd && m.message == msg.message && m.wParam == msg.wParam && m.lParam == msg.lParam;
      });
      if (pending) return;
    }
    m_messages.push_back(msg);
    UpdateWakeLocked();
  }
  m_ready.notify_one();
}

// The eventfd mirrors "the queue is not empty", so poll() never reports a
// wake-up for a queue that was already drained.
void MessageQueue::UpdateWakeLocked() {
  const bool want = !m_messages.empty();
  if (want == m_wakeSignalled || m_wakeFd < 0) return;
  if (want) {
    const std::uint64_t one = 1;
    (void)!write(m_wakeFd, &one, sizeof one);
  } else {
    std::uint64_t value = 0;
    (void)!read(m_wakeFd, &value, sizeof value);
  }
  m_wakeSignalled = want;
}

bool MessageQueue::TryTake(MSG& msg) {
  std::lock_guard lock(m_mutex);
  if (m_messages.empty()) return false;
  msg = m_messages.front();
  m_messages.pop_front();
  UpdateWakeLocked();
  return true;
}

MSG MessageQueue::Take() {
  std::unique_lock lock(m_mutex);
  m_ready.wait(lock, [&] { return !m_messages.empty(); });
  MSG msg = m_messages.front();
  m_messages.pop_front();
  UpdateWakeLocked();
  return msg;
}

size_t MessageQueue::Size() const {
  std::lock_guard lock(m_mutex);
  return m_messages.size();
}

void MessageQueue::Clear() {
  std::lock_guard lock(m_mutex);
  m_messages.clear();
  UpdateWakeLocked();
}
