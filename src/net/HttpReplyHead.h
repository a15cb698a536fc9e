#pragma once
// The head of an "HTTP/1.x" reply: where it ends and how its body is framed.
// Version 1 replies ("ICY 200 OK", "SOURCETABLE 200 OK") have no head of
// this kind; their data follows the status line.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "net/ReplyBody.h"

struct HttpReplyHead {
  bool complete = false;           // the blank line that ends the head has arrived
  std::size_t bodyOffset = 0;      // first byte after that blank line
  ReplyBody::Framing framing = ReplyBody::Framing::AsIs;
  std::uint64_t contentLength = 0;
  bool sourceTable = false;        // Content-Type: gnss/sourcetable
  bool badLength = false;          // a Content-Length that is no number
};

// Reads the head at the start of `bytes`. Names and the values compared are
// matched without regard to case; a chunked transfer coding wins over a
// length.
HttpReplyHead ParseHttpReplyHead(std::string_view bytes);

// Whether `bytes` starts with an "HTTP/" status line.
bool IsHttpReply(std::string_view bytes);
