#pragma once
// The caster's first reply block: what kind of answer it is, where stream data
// starts in it, and how to show an answer the program does not understand.
// All functions take counted bytes: a zero byte inside a block is data, not
// an end, and nothing past the count is read.
#include <cstddef>
#include <string>
#include <string_view>

enum class NtripReply {
  SourceTable,   // contains "SOURCETABLE" (tested first: "SOURCETABLE 200 OK")
  Unauthorized,  // else contains "Unauthorized"
  Accepted,      // else the first line contains "OK" ("ICY 200 OK", "HTTP/1.0 200 OK"),
                 // unless it is an "HTTP/" or "ICY " status line without a 2xx code
  Other,         // anything else
};

NtripReply ClassifyReply(std::string_view block);

// The code of an "HTTP/..." or "ICY ..." status line at the block's start
// (404 for "HTTP/1.1 404 Not Found"), or -1 when there is none.
int ReplyStatusCode(std::string_view block);

// Whether the reply's first line has ended in the block, so it can be
// classified: a header that arrives in pieces is read on until it has.
bool HasFirstLineEnd(std::string_view block);

// For an accepted reply: the offset of the first stream byte after the reply
// header. "ICY ..." is one status line and the data follows it; "HTTP/..."
// brings header lines up to an empty line. Any other status line counts up to
// its line end. A header whose end is not in the block takes the whole block,
// so header bytes never reach the receiver.
std::size_t StreamDataOffset(std::string_view block);

// The status text for an "other" reply: the block as received, one character
// per byte, up to its first zero byte (as far as the text is readable).
std::wstring OtherReplyStatusText(std::string_view block);
