#include "support/ListeningSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace testing_support {

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point end) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

bool WaitReadable(int fd, Clock::time_point end) {
  pollfd entry{fd, POLLIN, 0};
  return poll(&entry, 1, MillisecondsLeft(end)) > 0;
}

}  // namespace

ListeningSocket::ListeningSocket(bool ipv6) : ListeningSocket() {
  if (!ipv6) return;
  if (m_listener >= 0) close(m_listener);
  m_port = 0;
  m_listener = socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in6 addr{};
  addr.sin6_family = AF_INET6;
  addr.sin6_addr = in6addr_loopback;
  socklen_t size = sizeof addr;
  if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      listen(m_listener, 4) != 0 || getsockname(m_listener, reinterpret_cast<sockaddr*>(&addr), &size) != 0) {
    return;
  }
  m_port = ntohs(addr.sin6_port);
}

ListeningSocket::ListeningSocket() {
  m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof addr;
  if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      listen(m_listener, 4) != 0 || getsockname(m_listener, reinterpret_cast<sockaddr*>(&addr), &size) != 0) {
    return;
  }
  m_port = ntohs(addr.sin_port);
}

ListeningSocket::~ListeningSocket() {
  CloseClient();
  if (m_listener >= 0) close(m_listener);
}

bool ListeningSocket::Accept(std::chrono::milliseconds deadline) {
  CloseClient();
  if (!WaitReadable(m_listener, Clock::now() + deadline)) return false;
  m_client = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
  return m_client >= 0;
}

std::string ListeningSocket::ReceiveUntil(std::string_view terminator, std::chrono::milliseconds deadline) {
  const auto end = Clock::now() + deadline;
  std::string got = std::move(m_pending);
  m_pending.clear();
  char chunk[4096];
  while (m_client >= 0 && (terminator.empty() || got.find(terminator) == std::string::npos)) {
    if (!WaitReadable(m_client, end)) break;
    const ssize_t n = recv(m_client, chunk, sizeof chunk, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got.append(chunk, static_cast<size_t>(n));
  }
  const std::size_t at = terminator.empty() ? std::string::npos : got.find(terminator);
  if (at != std::string::npos) {
    m_pending = got.substr(at + terminator.size());
    got.resize(at + terminator.size());
  }
  return got;
}

std::string ListeningSocket::ReceiveAll(std::chrono::milliseconds deadline) { return ReceiveUntil({}, deadline); }

bool ListeningSocket::Send(std::string_view bytes) {
  std::size_t sent = 0;
  while (m_client >= 0 && sent < bytes.size()) {
    const ssize_t n = send(m_client, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return m_client >= 0;
}

void ListeningSocket::CloseClient() {
  if (m_client >= 0) close(m_client);
  m_client = -1;
  m_pending.clear();
}

}  // namespace testing_support
