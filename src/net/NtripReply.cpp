#include "net/NtripReply.h"

#include "net/NtripProtocol.h"
#include "platform/Text.h"

namespace {

// The reply's first line, without its line end; the whole block when no line
// end has arrived.
std::string_view FirstLine(std::string_view block) { return block.substr(0, block.find('\n')); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The three-digit code after the protocol word of "HTTP/1.1 404 Not Found" or
// "ICY 200 OK"; -1 when the line does not carry one there.
int StatusCode(std::string_view line) {
  if (!line.starts_with(ntrip::kHttpStatusStart) && !line.starts_with(ntrip::kIcyStatusStart)) return -1;
  const std::size_t space = line.find(' ');
  if (space == std::string_view::npos) return -1;
  const std::string_view code = line.substr(space + 1, 3);
  if (code.size() < 3 || !IsDigit(code[0]) || !IsDigit(code[1]) || !IsDigit(code[2])) return -1;
  if (line.size() > space + 4 && IsDigit(line[space + 4])) return -1;
  return (code[0] - '0') * 100 + (code[1] - '0') * 10 + (code[2] - '0');
}

}  // namespace

int ReplyStatusCode(std::string_view block) { return StatusCode(FirstLine(block)); }

NtripReply ClassifyReply(std::string_view block) {
  if (block.find(ntrip::kSourceTableWord) != std::string_view::npos) return NtripReply::SourceTable;
  if (block.find(ntrip::kUnauthorizedWord) != std::string_view::npos) return NtripReply::Unauthorized;
  // A header line or an error page may say "OK" too ("Server: OKCaster"):
  // only the status line accepts, and never with an error code.
  const std::string_view first = FirstLine(block);
  if (first.find(ntrip::kAcceptedWord) == std::string_view::npos) return NtripReply::Other;
  const bool statusLine = first.starts_with(ntrip::kHttpStatusStart) || first.starts_with(ntrip::kIcyStatusStart);
  const int code = StatusCode(first);
  if (statusLine && (code < 200 || code > 299)) return NtripReply::Other;
  return NtripReply::Accepted;
}

bool HasFirstLineEnd(std::string_view block) { return block.find('\n') != std::string_view::npos; }

namespace {

// The offset after the line that starts at `from`, or npos without a line end.
std::size_t NextLine(std::string_view block, std::size_t from) {
  const std::size_t end = block.find('\n', from);
  return end == std::string_view::npos ? end : end + 1;
}

bool IsEmptyLine(std::string_view block, std::size_t from, std::size_t next) {
  const std::size_t length = next - from;
  return length == 1 || (length == 2 && block[from] == '\r');
}

}  // namespace

std::size_t StreamDataOffset(std::string_view block) {
  std::size_t next = NextLine(block, 0);
  if (next == std::string_view::npos) return block.size();
  if (block.starts_with(ntrip::kIcyStatusStart)) return next;
  if (!block.starts_with(ntrip::kHttpStatusStart)) return next;
  for (;;) {
    const std::size_t from = next;
    next = NextLine(block, from);
    if (next == std::string_view::npos) return block.size();
    if (IsEmptyLine(block, from, next)) return next;
  }
}

std::wstring OtherReplyStatusText(std::string_view block) {
  return platform::Widen(block.substr(0, block.find('\0')));
}
