#include "net/NtripReplyHead.h"

#include <chrono>
#include <string_view>

#include "net/HttpReplyHead.h"
#include "net/NtripProtocol.h"
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

bool ReceiveHttpHead(TCPSocket& socket, std::string& received, std::chrono::milliseconds wait) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + wait;
  while (!ParseHttpReplyHead(received).complete) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    if (received.size() >= kMaxHeadBytes || left.count() <= 0 || !socket.recvAppend(received, left)) return false;
  }
  return true;
}

ReplyBodyStart BodyStartOf(std::string_view received) {
  const std::size_t lineEnd = received.find('\n');
  const std::size_t afterLine = lineEnd == std::string_view::npos ? received.size() : lineEnd + 1;
  if (received.starts_with(ntrip::kIcyStatusStart)) return {ReplyBody(ReplyBody::Framing::AfterIcyLine), afterLine};
  if (!IsHttpReply(received)) return {ReplyBody(), afterLine};
  const HttpReplyHead head = ParseHttpReplyHead(received);
  // Without its end the whole head is taken, so none of it is payload.
  if (!head.complete) return {ReplyBody(), received.size()};
  return {ReplyBody(head.framing, head.contentLength), head.bodyOffset};
}
