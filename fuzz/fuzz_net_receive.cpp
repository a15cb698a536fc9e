// Whatever a peer sends, in whatever pieces: recvMsg hands it on byte for
// byte, never counts more than its buffer, always terminates the block, and a
// peer that closes is a failed read with no bytes.
//
// Input: byte 0 seeds the piece sizes, byte 1 bit 0 says whether the peer
// closes at the end; the rest is what the peer sends. One loopback connection
// serves input after input until a peer closes it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "net/NtripReply.h"
#include "net/TCPSocket.h"
#include "platform/Trace.h"

namespace {

// Pieces up to 1000 bytes: small enough that one piece always fits the
// socket buffers while the same thread sends and then receives it.
constexpr std::size_t kLargestPiece = 1000;

struct Loopback {
  int listener = -1;
  int peer = -1;
  TCPSocket socket;
};

bool Open(Loopback& loop) {
  if (loop.listener < 0) {
    loop.listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(loop.listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(loop.listener, 1) != 0) {
      return false;
    }
  }
  sockaddr_in addr{};
  socklen_t size = sizeof addr;
  getsockname(loop.listener, reinterpret_cast<sockaddr*>(&addr), &size);
  if (!loop.socket.Connect("127.0.0.1", ntohs(addr.sin_port))) return false;
  loop.peer = accept4(loop.listener, nullptr, nullptr, SOCK_CLOEXEC);
  return loop.peer >= 0;
}

void SendPiece(int fd, const char* bytes, std::size_t size) {
  for (std::size_t sent = 0; sent < size;) {
    const ssize_t n = send(fd, bytes + sent, size - sent, MSG_NOSIGNAL);
    if (n <= 0) abort();
    sent += static_cast<std::size_t>(n);
  }
}

// Receives until `expected` bytes came; checks every block on the way.
std::string ReceivePiece(TCPSocket& socket, std::size_t expected) {
  std::string got;
  while (got.size() < expected) {
    if (!socket.recvMsg(5)) abort();
    if (socket.m_len <= 0 || socket.m_len > TCPSocket::kBufferSize) abort();
    if (socket.m_buffer[socket.m_len] != '\0') abort();
    const std::string_view block(socket.m_buffer, static_cast<std::size_t>(socket.m_len));
    (void)ClassifyReply(block);  // as the reception thread does with its first block
    if (StreamDataOffset(block) > block.size()) abort();
    got.append(block);
  }
  return got;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Loopback loop;
  if (size < 2) return 0;
  if (loop.peer < 0 && !Open(loop)) abort();
  std::minstd_rand random(data[0]);
  const bool peerCloses = (data[1] & 1) != 0;
  const char* payload = reinterpret_cast<const char*>(data + 2);
  const std::size_t length = size - 2;

  for (std::size_t at = 0; at < length;) {
    const std::size_t piece = std::min<std::size_t>(length - at, 1 + random() % kLargestPiece);
    SendPiece(loop.peer, payload + at, piece);
    if (ReceivePiece(loop.socket, piece) != std::string_view(payload + at, piece)) abort();
    at += piece;
  }
  if (peerCloses) {
    close(loop.peer);
    loop.peer = -1;
    if (loop.socket.recvMsg(5) || loop.socket.m_len != 0 || loop.socket.m_buffer[0] != '\0') abort();
  }
  return 0;
}
