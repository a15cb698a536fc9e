#pragma once
// Turns the bytes a caster sends after its reply head into payload, so that
// framing never reaches the receiver, the byte counter or the stored table.
// Fed in pieces of any size; a chunk's bytes are handed on only once the
// CR LF after it has arrived, so a damaged chunk is never written.
#include <cstdint>
#include <string>
#include <string_view>

class ReplyBody {
 public:
  enum class Framing {
    AsIs,          // everything until the caster closes
    Length,        // Content-Length bytes
    Chunked,       // Transfer-Encoding: chunked
    AfterIcyLine,  // as is, but a blank line or header lines up to a blank
                   // line right after "ICY 200 OK" are dropped
  };

  explicit ReplyBody(Framing framing = Framing::AsIs, std::uint64_t length = 0);

  // Appends the payload in `bytes` to `out`. False once the framing is
  // malformed; Problem() then says how.
  bool Feed(std::string_view bytes, std::string& out);
  // The body has ended (its length was reached, or the last chunk came).
  bool Ended() const { return m_state == State::Ended; }
  bool Failed() const { return m_state == State::Failed; }
  // Bytes after "ICY 200 OK" that may yet turn out to be header lines are
  // held; a caster that pauses there sent data after all: Release hands
  // them on untouched, so stream data waits a moment at most.
  bool HoldsPossibleHeader() const;
  void ReleaseHeld(std::string& out);
  const std::string& Problem() const { return m_problem; }

  // A chunk larger than this is handed on in pieces of this size.
  static constexpr std::size_t kMaxHeldChunkBytes = 64 * 1024;
  // Header lines after "ICY 200 OK" are only held this far; more is data.
  static constexpr std::size_t kMaxIcyHeaderBytes = 4096;
  // A header name is short; a longer run of letters is data (RTCM 2 bytes
  // are letters and signs, never a colon).
  static constexpr std::size_t kMaxIcyNameBytes = 64;
  static constexpr std::size_t kMaxChunkSizeDigits = 16;
  static constexpr std::size_t kMaxChunkLineBytes = 4096;

 private:
  enum class State {
    Pass, Length, Ended, Failed,
    ChunkSize, ChunkExtension, ChunkSizeLf, ChunkData, ChunkDataCr, ChunkDataLf,
    TrailerLineStart, TrailerLine, TrailerEndLf,
    IcyLineStart, IcyName, IcyValue, IcyValueLf, IcyBlankLf,
  };
  bool Fail(std::string problem);
  void FeedIcy(char c, std::string& out);
  bool FeedChunked(std::string_view bytes, std::size_t& i, std::string& out);

  State m_state;
  std::uint64_t m_left = 0;       // bytes left of the body or of the chunk
  std::size_t m_digits = 0;       // hex digits of the chunk size line so far
  std::size_t m_lineBytes = 0;    // bytes of the current size, trailer or header line
  std::string m_held;             // chunk bytes or header lines not yet handed on
  std::string m_problem;
};
