#include "net/TCPSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/Trace.h"

namespace {

constexpr std::string_view kCreateSocketError = "ERROR: CreateSocket TCPSocket.\n";
constexpr std::string_view kReceiveError = "Error with recvMsg TCPSocket.\n";

bool SetBlocking(int fd, bool blocking) {
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0) return false;
  return fcntl(fd, F_SETFL, blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK)) == 0;
}

// poll until ready or `wait` has passed, restarting after signals with
// the time that is left. An error of poll itself counts as ready: the receive
// or connect check that follows reports it.
bool PollFor(int fd, short events, std::chrono::milliseconds wait) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + wait;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    pollfd entry{fd, events, 0};
    const int rc = poll(&entry, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
    if (rc < 0 && errno == EINTR && Clock::now() < end) continue;
    return rc != 0;
  }
}

bool PollFor(int fd, short events, int seconds) { return PollFor(fd, events, std::chrono::seconds(seconds)); }

}  // namespace

// Owns one descriptor; closing it waits for the last holder, so no call that
// still holds the handle can ever see the number reused by another socket.
class TCPSocket::Handle {
 public:
  explicit Handle(int fd) : m_fd(fd) {}
  ~Handle() { close(m_fd); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  int fd() const { return m_fd; }

 private:
  int m_fd;
};

TCPSocket::~TCPSocket() { Close(); }

std::shared_ptr<TCPSocket::Handle> TCPSocket::CurrentHandle() {
  std::lock_guard<std::mutex> guard(m_handleMutex);
  return m_hSocket;
}

bool TCPSocket::CreateSocket(const char* host, int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (fd < 0) {
    platform::Trace(kCreateSocketError);
    return false;
  }
  std::memset(&m_addr, 0, sizeof m_addr);
  m_addr.sin_family = AF_INET;
  m_addr.sin_addr.s_addr = inet_addr(host);  // INADDR_NONE for anything but dotted text
  m_addr.sin_port = htons(static_cast<std::uint16_t>(port));
  auto handle = std::make_shared<Handle>(fd);
  std::lock_guard<std::mutex> guard(m_handleMutex);
  if (m_hSocket) shutdown(m_hSocket->fd(), SHUT_RDWR);
  m_hSocket = std::move(handle);
  return true;
}

bool TCPSocket::Connect(const char* host, int port) {
  Close();
  if (!CreateSocket(host, port)) {
    platform::Trace(kCreateSocketError);
    return false;
  }
  const auto handle = CurrentHandle();
  if (!handle) return false;  // closed by another thread meanwhile
  // Connect without blocking so that the 10-second wait really bounds it.
  if (!SetBlocking(handle->fd(), false)) return false;
  const auto* address = reinterpret_cast<const sockaddr*>(&m_addr);
  if (connect(handle->fd(), address, sizeof m_addr) != 0 && errno != EINPROGRESS) {
    m_nLastError = errno;
    return false;
  }
  if (!PollFor(handle->fd(), POLLIN | POLLOUT, kConnectWaitSeconds)) {
    m_nLastError = ETIMEDOUT;
    return false;
  }
  int error = 0;
  socklen_t size = sizeof error;
  sockaddr_in peer{};
  socklen_t peerSize = sizeof peer;
  if (getsockopt(handle->fd(), SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0 ||
      getpeername(handle->fd(), reinterpret_cast<sockaddr*>(&peer), &peerSize) != 0) {
    m_nLastError = error != 0 ? error : errno;
    return false;
  }
  // Receives and sends block from here on; Close wakes them with shutdown.
  if (!SetBlocking(handle->fd(), true)) return false;
  std::lock_guard<std::mutex> guard(m_handleMutex);
  if (m_hSocket != handle) return false;  // Close came first
  m_bConnected = true;
  return true;
}

void TCPSocket::Close() {
  std::lock_guard<std::mutex> guard(m_handleMutex);
  if (m_hSocket) {
    // Wakes any thread waiting on the socket; the descriptor itself is
    // closed when that thread lets go of the handle.
    shutdown(m_hSocket->fd(), SHUT_RDWR);
    m_hSocket.reset();
  }
  m_bConnected = false;
}

void TCPSocket::Shutdown() {
  std::lock_guard<std::mutex> guard(m_handleMutex);
  if (m_hSocket) shutdown(m_hSocket->fd(), SHUT_RDWR);
}

bool TCPSocket::recvMsg(int waitSeconds) {
  const auto handle = CurrentHandle();
  if (handle && !PollFor(handle->fd(), POLLIN, waitSeconds)) {
    m_nLastError = ETIMEDOUT;
    return false;
  }
  m_buffer[0] = 0;
  ssize_t received = -1;
  if (handle) {
    do {
      received = recv(handle->fd(), m_buffer, kBufferSize, 0);
    } while (received < 0 && errno == EINTR);
  }
  if (received <= 0) {
    m_nLastError = received == 0 ? 0 : errno;
    // A receive that Close woke (a Stop) is no error worth a line.
    if (handle && CurrentHandle() == handle) platform::Trace(kReceiveError);
    m_len = 0;  // a failed receive never leaves a count behind
    return false;
  }
  m_buffer[received] = 0;
  m_len = static_cast<std::int32_t>(received);
  return true;
}

bool TCPSocket::recvMore(std::chrono::milliseconds wait) {
  const auto handle = CurrentHandle();
  const int room = kBufferSize - m_len;
  if (!handle || room <= 0 || m_len < 0 || !PollFor(handle->fd(), POLLIN, wait)) return false;
  ssize_t received = -1;
  do {
    received = recv(handle->fd(), m_buffer + m_len, static_cast<size_t>(room), 0);
  } while (received < 0 && errno == EINTR);
  if (received <= 0) return false;
  m_len += static_cast<std::int32_t>(received);
  m_buffer[m_len] = 0;
  return true;
}

bool TCPSocket::SendAll(const char* bytes, int length) {
  const auto handle = CurrentHandle();
  if (!handle || length < 0) return false;
  int sent = 0;
  while (sent < length) {
    // MSG_NOSIGNAL: a caster that went away is a failed send, not SIGPIPE.
    const ssize_t n = send(handle->fd(), bytes + sent, static_cast<size_t>(length - sent), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<int>(n);
  }
  return true;
}

bool TCPSocket::sendMsg() {
  if (m_len > kBufferSize) return false;
  return SendAll(m_buffer, m_len);
}

bool TCPSocket::Send(const char* bytes, int length) { return SendAll(bytes, length); }

bool TCPSocket::WaitReadable(int seconds) { return Wait(POLLIN, seconds); }

bool TCPSocket::WaitReadWrite(int seconds) { return Wait(POLLIN | POLLOUT, seconds); }

bool TCPSocket::Wait(short events, int seconds) {
  const auto handle = CurrentHandle();
  return !handle || PollFor(handle->fd(), events, seconds);
}
