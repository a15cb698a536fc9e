// Whatever a caster answers: the classification, the stream-data offset and
// the status text must stay inside the counted bytes and agree with each other.
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/NtripReply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A heap copy of exactly `size` bytes: any read past the count is caught.
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string_view block(bytes);

  const NtripReply kind = ClassifyReply(block);
  const bool hasTable = block.find("SOURCETABLE") != std::string_view::npos;
  const bool hasRefusal = block.find("Unauthorized") != std::string_view::npos;
  const std::string_view firstLine = block.substr(0, block.find('\n'));
  const bool okInFirstLine = firstLine.find("OK") != std::string_view::npos;
  const bool statusLine = firstLine.starts_with("HTTP/") || firstLine.starts_with("ICY ");
  const int code = ReplyStatusCode(block);
  if (code < -1 || code > 999 || (code >= 0 && !statusLine)) __builtin_trap();
  const bool codeAccepts = statusLine ? code >= 200 && code <= 299 : true;
  const NtripReply expected = hasTable                       ? NtripReply::SourceTable
                              : hasRefusal                   ? NtripReply::Unauthorized
                              : okInFirstLine && codeAccepts ? NtripReply::Accepted
                                                             : NtripReply::Other;
  if (kind != expected) __builtin_trap();
  if (HasFirstLineEnd(block) != (firstLine.size() < block.size())) __builtin_trap();

  const std::size_t offset = StreamDataOffset(block);
  if (offset > block.size()) __builtin_trap();
  // The header never ends before the first line end.
  const std::size_t firstLineEnd = block.find('\n');
  if (firstLineEnd == std::string_view::npos ? offset != block.size() : offset <= firstLineEnd) __builtin_trap();

  const std::wstring status = OtherReplyStatusText(block);
  if (status.size() > block.size()) __builtin_trap();
  for (std::size_t i = 0; i < status.size(); ++i) {
    if (status[i] != static_cast<unsigned char>(block[i])) __builtin_trap();
  }
  return 0;
}
