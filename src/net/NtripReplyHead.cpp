#include "net/NtripReplyHead.h"

#include <chrono>
#include <string_view>

#include "net/HttpReplyHead.h"
#include "net/NtripProtocol.h"
#include "net/NtripReply.h"
#include "platform/Clock.h"

bool ReceiveReplyHead(TCPSocket& socket, int waitSeconds) {
  // The pieces share the one wait the first block had.
  const std::int64_t end = platform::MonotonicMilliseconds() + waitSeconds * 1000;
  if (!socket.recvMsg(waitSeconds)) return false;
  while (!HasFirstLineEnd(std::string_view(socket.m_buffer, static_cast<size_t>(socket.m_len)))) {
    const std::chrono::milliseconds left(end - platform::MonotonicMilliseconds());
    if (left.count() <= 0 || !socket.recvMore(left)) break;
  }
  return true;
}

bool ReceiveHttpHead(TCPSocket& socket, std::string& received, std::chrono::milliseconds wait) {
  const std::int64_t end = platform::MonotonicMilliseconds() + wait.count();
  while (!ParseHttpReplyHead(received).complete) {
    const std::chrono::milliseconds left(end - platform::MonotonicMilliseconds());
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
