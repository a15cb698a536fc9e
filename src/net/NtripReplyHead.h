#pragma once
// Receiving the caster's first reply block. A caster may send its status line
// a few bytes at a time; the block is classified only once its first line has
// ended, the buffer is full, the caster closed, or the reply wait is over.
#include <chrono>
#include <string>
#include <string_view>

#include "net/ReplyBody.h"
#include "net/TCPSocket.h"

// Receives into the socket's buffer. False when nothing at all arrived: then
// m_len is 0 if the caster closed, and the buffer is untouched (it still holds
// the request) if the wait ran out.
[[nodiscard]] bool ReceiveReplyHead(TCPSocket& socket, int waitSeconds = TCPSocket::kReceiveWaitSeconds);

// An "HTTP/" head may be longer than one block: `received` (the first block)
// grows until the blank line that ends the head, the caster stops sending
// within `wait`, or kMaxHeadBytes. False when the head did not end.
inline constexpr std::size_t kMaxHeadBytes = 16 * 1024;
[[nodiscard]] bool ReceiveHttpHead(TCPSocket& socket, std::string& received,
                                   std::chrono::milliseconds wait = std::chrono::seconds(TCPSocket::kReceiveWaitSeconds));

// How the body after an accepted reply's head is framed, and where it starts
// in `received`: after "ICY 200 OK" the data follows (a blank line or header
// lines up to one are dropped); after an "HTTP/" head its fields say; after
// any other first line the data follows it as it is.
struct ReplyBodyStart {
  ReplyBody body;
  std::size_t offset = 0;
};
ReplyBodyStart BodyStartOf(std::string_view received);
