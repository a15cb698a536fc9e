// The reply head and the body decoder against anything a caster may send:
// no read outside the bytes, the head's body offset inside them, never more
// payload than input, and the same payload however the bytes are split.
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/HttpReplyHead.h"
#include "net/NtripReplyHead.h"
#include "net/ReplyBody.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first byte picks the framing, the second the piece size.
  const auto framing = static_cast<ReplyBody::Framing>(data[0] % 4);
  const std::size_t piece = 1 + data[1] % 64;
  const std::string bytes(reinterpret_cast<const char*>(data + 2), size - 2);

  const HttpReplyHead head = ParseHttpReplyHead(bytes);
  if (head.complete && (head.bodyOffset > bytes.size() || head.bodyOffset == 0)) __builtin_trap();
  const ReplyBodyStart start = BodyStartOf(bytes);
  if (start.offset > bytes.size()) __builtin_trap();

  ReplyBody whole(framing, data[1]);
  std::string once;
  const bool okOnce = whole.Feed(bytes, once);
  ReplyBody pieces(framing, data[1]);
  std::string split;
  bool okSplit = true;
  for (std::size_t at = 0; at < bytes.size(); at += piece) okSplit = pieces.Feed(bytes.substr(at, piece), split) && okSplit;
  if (once.size() > bytes.size() || once != split || okOnce != okSplit) __builtin_trap();
  if (whole.Failed() != !okOnce || whole.Ended() != pieces.Ended() || (whole.Failed() && whole.Problem().empty()))
    __builtin_trap();
  whole.ReleaseHeld(once);
  if (once.size() > bytes.size()) __builtin_trap();
  return 0;
}
