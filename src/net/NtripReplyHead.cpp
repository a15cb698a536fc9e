#include "net/NtripReplyHead.h"

#include <chrono>
#include <string_view>

#include "net/NtripReply.h"

bool ReceiveReplyHead(TCPSocket& socket, int waitSeconds) {
  using Clock = std::chrono::steady_clock;
  // The pieces share the one wait the first block had.
  const auto end = Clock::now() + std::chrono::seconds(waitSeconds);
  if (!socket.recvMsg(waitSeconds)) return false;
  while (!HasFirstLineEnd(std::string_view(socket.m_buffer, static_cast<size_t>(socket.m_len)))) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    if (left.count() <= 0 || !socket.recvMore(left)) break;
  }
  return true;
}
