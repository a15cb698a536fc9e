#include "net/TCPSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <algorithm>
#include <cstring>

#include "net/TlsSession.h"
#include "platform/Clock.h"
#include "platform/Trace.h"

namespace {

constexpr std::string_view kCreateSocketError = "ERROR: CreateSocket TCPSocket.\n";
constexpr std::string_view kReceiveError = "Error with recvMsg TCPSocket.\n";
// How long bytes that may be header lines after "ICY 200 OK" wait for the
// rest of the line before they count as stream data.
constexpr std::chrono::milliseconds kHeldDataWait{300};

bool SetBlocking(int fd, bool blocking) {
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0) return false;
  return fcntl(fd, F_SETFL, blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK)) == 0;
}

// Deadlines are on the program's monotonic clock, so a test can move the
// 20-second silence and the 10-second connect wait instead of waiting.
std::int64_t DeadlineIn(std::chrono::milliseconds wait) { return platform::MonotonicMilliseconds() + wait.count(); }

bool PollFor(int fd, short events, std::chrono::milliseconds wait) {
  return platform::WaitUntil(fd, events, DeadlineIn(wait));
}

bool PollFor(int fd, short events, int seconds) { return PollFor(fd, events, std::chrono::seconds(seconds)); }

bool Passed(std::int64_t deadline) { return platform::MonotonicMilliseconds() >= deadline; }

// The numeric address `host` stands for: IPv4 or IPv6 text, never a name.
// Anything else gives an IPv4 "none" address, whose connect fails.
void FillAddress(const char* host, int port, sockaddr_storage& address, socklen_t& size) {
  std::memset(&address, 0, sizeof address);
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
  if (inet_pton(AF_INET6, host, &v6->sin6_addr) == 1) {
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(static_cast<std::uint16_t>(port));
    size = sizeof *v6;
    return;
  }
  auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
  v4->sin_family = AF_INET;
  if (inet_pton(AF_INET, host, &v4->sin_addr) != 1) v4->sin_addr.s_addr = INADDR_NONE;
  v4->sin_port = htons(static_cast<std::uint16_t>(port));
  size = sizeof *v4;
}

}  // namespace

// Owns one descriptor; closing it waits for the last holder, so no call that
// still holds the handle can ever see the number reused by another socket.
// The TLS session and the body decoding belong to the connection too: a
// new connection starts with neither.
class TCPSocket::Handle {
 public:
  explicit Handle(int fd) : m_fd(fd) {}
  ~Handle() {
    tls.reset();
    close(m_fd);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  int fd() const { return m_fd; }

  // Set on the connecting thread before any other thread reads through it.
  std::unique_ptr<tls::Session> tls;
  // Used only by the thread that receives (the reception thread for the
  // head and a table, then the output thread, handed over by a message).
  std::unique_ptr<ReplyBody> body;
  std::string decoded;

 private:
  int m_fd;
};

TCPSocket::~TCPSocket() { Close(); }

std::shared_ptr<TCPSocket::Handle> TCPSocket::CurrentHandle() {
  std::lock_guard<std::mutex> guard(m_handleMutex);
  return m_hSocket;
}

bool TCPSocket::CreateSocket(const char* host, int port) {
  socklen_t size = 0;
  FillAddress(host, port, m_addr, size);
  const int fd = socket(m_addr.ss_family, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (fd < 0) {
    platform::Trace(kCreateSocketError);
    return false;
  }
  auto handle = std::make_shared<Handle>(fd);
  std::lock_guard<std::mutex> guard(m_handleMutex);
  if (m_hSocket) shutdown(m_hSocket->fd(), SHUT_RDWR);
  m_hSocket = std::move(handle);
  return true;
}

bool TCPSocket::Connect(const char* host, int port) {
  return ConnectAny({std::string(host)}, port);
}

bool TCPSocket::ConnectAny(const std::vector<std::string>& hosts, int port) {
  const std::int64_t deadline = DeadlineIn(std::chrono::seconds(kConnectWaitSeconds));
  for (const std::string& host : hosts) {
    if (ConnectOne(host.c_str(), port, deadline)) return true;
    if (Passed(deadline)) break;
  }
  return false;
}

bool TCPSocket::ConnectOne(const char* host, int port, std::int64_t deadline) {
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
  const socklen_t addressSize = m_addr.ss_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
  if (connect(handle->fd(), address, addressSize) != 0 && errno != EINPROGRESS) {
    m_nLastError = errno;
    return false;
  }
  if (!platform::WaitUntil(handle->fd(), POLLIN | POLLOUT, deadline)) {
    m_nLastError = ETIMEDOUT;
    return false;
  }
  int error = 0;
  socklen_t size = sizeof error;
  sockaddr_storage peer{};
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

bool TCPSocket::StartTls(const std::string& host, std::string& problem) {
  const auto handle = CurrentHandle();
  if (!handle) {
    problem = "connection closed";
    return false;
  }
  // TLS waits in poll, never in a blocking call, so its reads keep to the
  // deadlines and a writer is never held up by a waiting reader.
  auto session = std::make_unique<tls::Session>();
  const std::int64_t deadline = DeadlineIn(std::chrono::seconds(kConnectWaitSeconds));
  if (!SetBlocking(handle->fd(), false) || !session->Handshake(handle->fd(), host, deadline, problem)) {
    Close();
    return false;
  }
  handle->tls = std::move(session);
  return true;
}

std::string TCPSocket::BeginBody(ReplyBody body, std::string_view afterHead) {
  const auto handle = CurrentHandle();
  m_strBodyProblem.clear();
  if (!handle) return {};
  handle->body = std::make_unique<ReplyBody>(body);
  (void)handle->body->Feed(afterHead, handle->decoded);
  std::string payload;
  payload.swap(handle->decoded);
  return payload;
}

int TCPSocket::ReadSome(Handle& handle, char* bytes, int size, std::int64_t deadline, int& error) {
  if (!handle.tls) {
    if (!platform::WaitUntil(handle.fd(), POLLIN, deadline)) return -2;
    ssize_t received = -1;
    do {
      received = recv(handle.fd(), bytes, static_cast<size_t>(size), 0);
    } while (received < 0 && errno == EINTR);
    error = received < 0 ? errno : 0;
    return received < 0 ? -1 : static_cast<int>(received);
  }
  // Unless the session holds data already, a read now would mostly find
  // nothing: one wasted system call per block.
  if (!handle.tls->HasPending() && !platform::WaitUntil(handle.fd(), POLLIN, deadline)) return -2;
  for (;;) {
    const int rc = handle.tls->Read(bytes, size);
    if (rc > 0) return rc;
    if (rc == tls::Session::kClosed || rc == tls::Session::kError) {
      error = rc == tls::Session::kError ? EPROTO : 0;
      return rc == tls::Session::kClosed ? 0 : -1;
    }
    // A shutdown by Close makes the descriptor ready; the read then fails.
    if (!platform::WaitUntil(handle.fd(), rc == tls::Session::kWantWrite ? POLLOUT : POLLIN, deadline)) return -2;
    if (Passed(deadline)) {
      // Ready at the very end: one more try, then the wait is over.
      const int last = handle.tls->Read(bytes, size);
      if (last > 0) return last;
      if (last == tls::Session::kWantRead || last == tls::Session::kWantWrite) return -2;
      error = last == tls::Session::kError ? EPROTO : 0;
      return last == tls::Session::kClosed ? 0 : -1;
    }
  }
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
  const std::int64_t deadline = DeadlineIn(std::chrono::seconds(waitSeconds));
  int received = -1;
  int error = EBADF;
  char raw[kBufferSize];
  while (handle) {
    if (handle->body) {
      // Payload decoded earlier goes first; a body that has ended reads as
      // a caster that closed, broken framing as a failed receive.
      if (!handle->decoded.empty()) {
        const std::size_t count = std::min(handle->decoded.size(), static_cast<std::size_t>(kBufferSize));
        std::memcpy(m_buffer, handle->decoded.data(), count);
        m_buffer[count] = 0;
        m_len = static_cast<std::int32_t>(count);
        handle->decoded.erase(0, count);
        return true;
      }
      if (handle->body->Ended() || handle->body->Failed()) {
        received = handle->body->Ended() ? 0 : -1;
        error = handle->body->Ended() ? 0 : EBADMSG;
        if (handle->body->Failed()) m_strBodyProblem = handle->body->Problem();
        break;
      }
    }
    char* target = handle->body ? raw : m_buffer;
    const bool holding = handle->body && handle->body->HoldsPossibleHeader();
    const std::int64_t until = holding ? std::min(deadline, DeadlineIn(kHeldDataWait)) : deadline;
    received = ReadSome(*handle, target, kBufferSize, until, error);
    // A pause or the caster's end shows that held bytes were data after all.
    if (holding && received <= 0) {
      handle->body->ReleaseHeld(handle->decoded);
      if (received == -2 || !handle->decoded.empty()) continue;
    }
    if (received == -2) {
      m_nLastError = ETIMEDOUT;
      return false;
    }
    if (received <= 0) break;
    if (!handle->body) {
      m_buffer[received] = 0;
      m_len = static_cast<std::int32_t>(received);
      return true;
    }
    (void)handle->body->Feed(std::string_view(raw, static_cast<std::size_t>(received)), handle->decoded);
  }
  m_buffer[0] = 0;
  m_nLastError = error;
  // A receive that Close woke (a Stop) is no error worth a line.
  if (handle && CurrentHandle() == handle) platform::Trace(kReceiveError);
  m_len = 0;  // a failed receive never leaves a count behind
  return false;
}

bool TCPSocket::recvMore(std::chrono::milliseconds wait) {
  const auto handle = CurrentHandle();
  const int room = kBufferSize - m_len;
  if (!handle || room <= 0 || m_len < 0) return false;
  int error = 0;
  const int received = ReadSome(*handle, m_buffer + m_len, room, DeadlineIn(wait), error);
  if (received <= 0) return false;
  m_len += static_cast<std::int32_t>(received);
  m_buffer[m_len] = 0;
  return true;
}

bool TCPSocket::recvAppend(std::string& out, std::chrono::milliseconds wait) {
  const auto handle = CurrentHandle();
  if (!handle) return false;
  char raw[kBufferSize];
  int error = 0;
  const int received = ReadSome(*handle, raw, kBufferSize, DeadlineIn(wait), error);
  if (received <= 0) return false;
  out.append(raw, static_cast<std::size_t>(received));
  return true;
}

bool TCPSocket::SendAll(const char* bytes, int length) {
  const auto handle = CurrentHandle();
  if (!handle || length < 0) return false;
  int sent = 0;
  while (handle->tls && sent < length) {
    const int n = handle->tls->Write(bytes + sent, length - sent);
    if (n > 0) {
      sent += n;
      continue;
    }
    if (n != tls::Session::kWantRead && n != tls::Session::kWantWrite) return false;
    // Bounded like a receive: a caster that takes nothing for that long is gone.
    if (!PollFor(handle->fd(), n == tls::Session::kWantRead ? POLLIN : POLLOUT, kReceiveWaitSeconds)) return false;
  }
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

bool TCPSocket::WaitForData(std::chrono::milliseconds wait) {
  const auto handle = CurrentHandle();
  if (!handle) return true;
  if (handle->body && !handle->decoded.empty()) return true;
  if (handle->tls && handle->tls->HasPending()) return true;
  return PollFor(handle->fd(), POLLIN, wait);
}

bool TCPSocket::Wait(short events, int seconds) {
  const auto handle = CurrentHandle();
  return !handle || PollFor(handle->fd(), events, seconds);
}
