#include "net/NtripReply.h"

#include "net/NtripProtocol.h"
#include "platform/Text.h"

NtripReply ClassifyReply(std::string_view block) {
  if (block.find(ntrip::kSourceTableWord) != std::string_view::npos) return NtripReply::SourceTable;
  if (block.find(ntrip::kUnauthorizedWord) != std::string_view::npos) return NtripReply::Unauthorized;
  if (block.find(ntrip::kAcceptedWord) != std::string_view::npos) return NtripReply::Accepted;
  return NtripReply::Other;
}

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
