#include "Caster.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace relay {
namespace {

constexpr std::size_t kMaxRequest = 8192;

bool SendAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool Caster::Start(const std::string& mountpoint, const std::string& table) {
  m_mountpoint = mountpoint;
  m_table = table;
  m_listen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (m_listen < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (bind(m_listen, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(m_listen, 8) != 0 ||
      getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &size) != 0 || pipe2(m_wake, O_CLOEXEC) != 0) {
    return false;
  }
  m_port = ntohs(address.sin_port);
  m_thread = std::thread([this] { Loop(); });
  return true;
}

void Caster::Stop() {
  if (m_thread.joinable()) {
    const char stop = 0;
    (void)!write(m_wake[1], &stop, 1);
    m_thread.join();
  }
  for (Peer& peer : m_peers) close(peer.fd);
  m_peers.clear();
  for (int fd : m_retired) close(fd);
  m_retired.clear();
  for (int* fd : {&m_listen, &m_wake[0], &m_wake[1]}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
}

int Caster::WaitForStream(std::chrono::milliseconds wait) {
  std::unique_lock lock(m_mutex);
  m_streamReady.wait_for(lock, wait, [this] { return m_streamFd >= 0; });
  return m_streamFd;
}

void Caster::Loop() {
  std::vector<pollfd> fds;
  for (;;) {
    fds.clear();
    fds.push_back({m_wake[0], POLLIN, 0});
    fds.push_back({m_listen, POLLIN, 0});
    for (const Peer& peer : m_peers) fds.push_back({peer.fd, POLLIN, 0});
    // No time-out: the loop sleeps until something happens.
    if (poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[0].revents != 0) return;
    // Handle the peers first: accepting below changes m_peers.
    std::vector<Peer> kept;
    for (std::size_t i = 0; i < m_peers.size(); ++i) {
      Peer& peer = m_peers[i];
      if (fds[i + 2].revents == 0 || OnReadable(peer)) {
        kept.push_back(peer);
        continue;
      }
      shutdown(peer.fd, SHUT_RDWR);
      if (peer.streaming) m_retired.push_back(peer.fd);
      else close(peer.fd);
    }
    m_peers.swap(kept);
    if (fds[1].revents & POLLIN) {
      const int fd = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd >= 0) {
        const int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        m_peers.push_back({fd, {}, false});
      }
    }
  }
}

bool Caster::OnReadable(Peer& peer) {
  char buffer[4096];
  const ssize_t n = recv(peer.fd, buffer, sizeof buffer, 0);
  if (n < 0 && errno == EINTR) return true;
  if (n <= 0) return false;
  if (peer.streaming) {
    m_uploaded += static_cast<std::uint64_t>(n);  // a GGA sentence, say
    return true;
  }
  peer.request.append(buffer, static_cast<std::size_t>(n));
  if (peer.request.find("\r\n\r\n") == std::string::npos) return peer.request.size() < kMaxRequest;
  return Answer(peer);
}

bool Caster::Answer(Peer& peer) {
  // "GET /MP HTTP/1.x": anything but our mount point gets the source table.
  const std::string& r = peer.request;
  const std::size_t path = r.find(' ');
  const std::size_t end = path == std::string::npos ? path : r.find(' ', path + 1);
  std::string mount;
  if (end != std::string::npos && r.compare(0, 4, "GET ") == 0 && r[path + 1] == '/') mount = r.substr(path + 2, end - path - 2);
  if (!mount.empty() && mount == m_mountpoint) {
    if (!SendAll(peer.fd, "ICY 200 OK\r\n")) return false;
    peer.streaming = true;
    ++m_streamRequests;
    std::lock_guard lock(m_mutex);
    m_streamFd = peer.fd;  // a reconnecting client takes over the stream
    m_streamReady.notify_all();
    return true;
  }
  ++m_tableRequests;
  SendAll(peer.fd, "SOURCETABLE 200 OK\r\nServer: bench_relay\r\nContent-Type: text/plain\r\nContent-Length: " +
                       std::to_string(m_table.size()) + "\r\nConnection: close\r\n\r\n" + m_table);
  return false;
}

}  // namespace relay
