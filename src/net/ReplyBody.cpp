#include "net/ReplyBody.h"

#include <algorithm>

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A character of a header name.
bool IsTokenChar(char c) {
  if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

}  // namespace

ReplyBody::ReplyBody(Framing framing, std::uint64_t length) {
  switch (framing) {
    case Framing::AsIs: m_state = State::Pass; break;
    case Framing::Length:
      m_state = length == 0 ? State::Ended : State::Length;
      m_left = length;
      break;
    case Framing::Chunked: m_state = State::ChunkSize; break;
    case Framing::AfterIcyLine: m_state = State::IcyLineStart; break;
  }
}

bool ReplyBody::Fail(std::string problem) {
  m_state = State::Failed;
  m_problem = std::move(problem);
  m_held.clear();
  return false;
}

bool ReplyBody::Feed(std::string_view bytes, std::string& out) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    switch (m_state) {
      case State::Pass:
        out.append(bytes.substr(i));
        return true;
      case State::Length: {
        const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(m_left, bytes.size() - i));
        out.append(bytes.substr(i, take));
        m_left -= take;
        i += take;
        if (m_left == 0) m_state = State::Ended;
        break;
      }
      case State::Ended:
        return true;  // whatever follows the body is not payload
      case State::Failed:
        return false;
      case State::IcyLineStart:
      case State::IcyName:
      case State::IcyValue:
      case State::IcyValueLf:
      case State::IcyBlankLf:
        FeedIcy(bytes[i++], out);
        break;
      default:
        if (!FeedChunked(bytes, i, out)) return false;
        break;
    }
  }
  return m_state != State::Failed;
}

// Header lines are held until a blank line ends them; the first byte that
// cannot belong to them hands everything held on as data, untouched.
void ReplyBody::FeedIcy(char c, std::string& out) {
  auto release = [&] {
    out += m_held;
    out += c;
    m_held.clear();
    m_state = State::Pass;
  };
  if (m_held.size() >= kMaxIcyHeaderBytes) return release();
  switch (m_state) {
    case State::IcyLineStart:
      m_lineBytes = 1;
      if (c == '\r') m_state = State::IcyBlankLf;
      else if (IsTokenChar(c)) m_state = State::IcyName;
      else return release();
      break;
    case State::IcyName:
      if (c == ':') m_state = State::IcyValue;
      else if (!IsTokenChar(c) || ++m_lineBytes > kMaxIcyNameBytes) return release();
      break;
    case State::IcyValue:
      if (c == '\r') m_state = State::IcyValueLf;
      else if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return release();
      break;
    case State::IcyValueLf:
      if (c != '\n') return release();
      m_state = State::IcyLineStart;
      break;
    case State::IcyBlankLf:
      if (c != '\n') return release();
      m_held.clear();  // the blank line ends the header lines: all dropped
      m_state = State::Pass;
      return;
    default:
      break;
  }
  m_held += c;
}

bool ReplyBody::HoldsPossibleHeader() const {
  switch (m_state) {
    case State::IcyLineStart:
    case State::IcyName:
    case State::IcyValue:
    case State::IcyValueLf:
    case State::IcyBlankLf:
      return !m_held.empty();
    default:
      return false;
  }
}

void ReplyBody::ReleaseHeld(std::string& out) {
  if (!HoldsPossibleHeader()) return;
  out += m_held;
  m_held.clear();
  m_state = State::Pass;
}

bool ReplyBody::FeedChunked(std::string_view bytes, std::size_t& i, std::string& out) {
  const char c = bytes[i];
  switch (m_state) {
    case State::ChunkSize: {
      const int digit = HexValue(c);
      if (digit >= 0) {
        if (++m_digits > kMaxChunkSizeDigits) return Fail("chunk size line over 16 hex digits");
        m_left = (m_left << 4) | static_cast<unsigned>(digit);
        break;
      }
      if (m_digits == 0) return Fail("chunk size line without a size");
      if (c == ';' || c == ' ' || c == '\t') m_state = State::ChunkExtension;
      else if (c == '\r') m_state = State::ChunkSizeLf;
      else return Fail("malformed chunk size line");
      break;
    }
    case State::ChunkExtension:
      if (++m_lineBytes > kMaxChunkLineBytes) return Fail("chunk size line too long");
      if (c == '\r') m_state = State::ChunkSizeLf;
      else if (c == '\n') return Fail("malformed chunk size line");
      break;
    case State::ChunkSizeLf:
      if (c != '\n') return Fail("malformed chunk size line");
      m_digits = 0;
      m_lineBytes = 0;
      m_state = m_left == 0 ? State::TrailerLineStart : State::ChunkData;
      break;
    case State::ChunkData: {
      const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(m_left, bytes.size() - i));
      m_held.append(bytes.substr(i, take));
      m_left -= take;
      i += take;
      if (m_left == 0) m_state = State::ChunkDataCr;
      if (m_held.size() >= kMaxHeldChunkBytes) {
        out += m_held;
        m_held.clear();
      }
      return true;
    }
    case State::ChunkDataCr:
      if (c != '\r') return Fail("missing CR LF after a chunk");
      m_state = State::ChunkDataLf;
      break;
    case State::ChunkDataLf:
      if (c != '\n') return Fail("missing CR LF after a chunk");
      out += m_held;
      m_held.clear();
      m_state = State::ChunkSize;
      break;
    case State::TrailerLineStart:
      if (c == '\r') {
        m_state = State::TrailerEndLf;
        break;
      }
      m_state = State::TrailerLine;
      [[fallthrough]];
    case State::TrailerLine:
      if (++m_lineBytes > kMaxChunkLineBytes) return Fail("chunk trailer too long");
      if (c == '\n') m_state = State::TrailerLineStart;
      break;
    case State::TrailerEndLf:
      if (c != '\n') return Fail("malformed chunk trailer");
      m_state = State::Ended;
      break;
    default:
      break;
  }
  ++i;
  return true;
}
