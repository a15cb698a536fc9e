#include "net/HttpReplyHead.h"

#include <cctype>
#include <string>

#include "net/NtripProtocol.h"

namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

void TakeField(std::string_view line, HttpReplyHead& head) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return;
  const std::string name = Lower(Trim(line.substr(0, colon)));
  const std::string value = Lower(Trim(line.substr(colon + 1)));
  if (name == "transfer-encoding") {
    if (value.find("chunked") != std::string::npos) head.framing = ReplyBody::Framing::Chunked;
  } else if (name == "content-length") {
    std::uint64_t length = 0;
    bool ok = !value.empty() && value.size() <= 18;
    for (const char c : value) ok = ok && std::isdigit(static_cast<unsigned char>(c));
    if (!ok) {
      head.badLength = true;
      return;
    }
    for (const char c : value) length = length * 10 + static_cast<unsigned>(c - '0');
    head.contentLength = length;
    if (head.framing != ReplyBody::Framing::Chunked) head.framing = ReplyBody::Framing::Length;
  } else if (name == "content-type") {
    head.sourceTable = value.starts_with("gnss/sourcetable");
  }
}

}  // namespace

bool IsHttpReply(std::string_view bytes) { return bytes.starts_with(ntrip::kHttpStatusStart); }

HttpReplyHead ParseHttpReplyHead(std::string_view bytes) {
  HttpReplyHead head;
  std::size_t from = bytes.find('\n');
  if (from == std::string_view::npos) return head;
  ++from;
  while (from < bytes.size()) {
    const std::size_t end = bytes.find('\n', from);
    if (end == std::string_view::npos) return head;
    const std::string_view line = bytes.substr(from, end - from);
    from = end + 1;
    if (line.empty() || line == "\r") {
      head.complete = true;
      head.bodyOffset = from;
      return head;
    }
    TakeField(line, head);
  }
  return head;
}
