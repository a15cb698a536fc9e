// Only payload leaves the body decoder: chunk lines, extensions, trailers,
// bytes past a length and header lines after "ICY 200 OK" never do, and
// broken framing is told, not passed on.
#include <gtest/gtest.h>

#include <random>

#include "net/NtripReplyHead.h"
#include "net/ReplyBody.h"
#include "support/TempDir.h"

namespace {

using F = ReplyBody::Framing;

struct Decoded {
  std::string payload;
  bool ok = true;
  bool ended = false;
  std::string problem;
};

// Feeds `bytes` in pieces of 1..maxPiece bytes (all at once for 0).
Decoded Decode(F framing, std::string_view bytes, std::size_t maxPiece = 0, std::uint64_t length = 0) {
  ReplyBody body(framing, length);
  Decoded d;
  std::mt19937 random(7);
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t piece = maxPiece == 0 ? bytes.size() : 1 + random() % maxPiece;
    d.ok = body.Feed(bytes.substr(at, piece), d.payload) && d.ok;
    at += piece;
  }
  d.ended = body.Ended();
  d.problem = body.Problem();
  return d;
}

TEST(ReplyBody, ChunkedFramingNeverReachesThePayload) {
  const struct {
    const char* legend;
    std::string bytes;
    std::string payload;
    bool ended;
  } cases[] = {
      {"two chunks and the end", "4\r\nDATA\r\n3\r\nabc\r\n0\r\n\r\n", "DATAabc", true},
      {"upper and lower hex", "a\r\n0123456789\r\nA\r\n0123456789\r\n0\r\n\r\n", "01234567890123456789", true},
      {"extensions are skipped", "4;name=value\r\nDATA\r\n0;x\r\n\r\n", "DATA", true},
      {"trailers are skipped", "4\r\nDATA\r\n0\r\nExpires: never\r\nX: y\r\n\r\n", "DATA", true},
      {"sixteen digits are a size", "0000000000000004\r\nDATA\r\n", "DATA", false},
      {"a chunk that has not ended is held", "4\r\nDATA\r\n8\r\nPART", "DATA", false},
      {"CR LF inside a chunk is data", "4\r\n\r\n\r\n\r\n", "\r\n\r\n", false},
      {"bytes after the end are not payload", "1\r\nX\r\n0\r\n\r\nGARBAGE", "X", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    for (const std::size_t piece : {std::size_t{0}, std::size_t{1}, std::size_t{3}}) {
      const Decoded d = Decode(F::Chunked, c.bytes, piece);
      EXPECT_TRUE(d.ok) << d.problem;
      EXPECT_EQ(d.payload, c.payload);
      EXPECT_EQ(d.ended, c.ended);
    }
  }
}

TEST(ReplyBody, MalformedChunksAreToldAndTheDamagedChunkIsNotPassedOn) {
  const struct {
    const char* legend;
    std::string bytes;
    std::string payload;  // what came before the damage
    const char* problem;
  } cases[] = {
      {"seventeen digits", "00000000000000004\r\nDATA\r\n", "", "chunk size line over 16 hex digits"},
      {"no size", "\r\nDATA\r\n", "", "chunk size line without a size"},
      {"not hex", "1\r\nA\r\nzz\r\n", "A", "chunk size line without a size"},
      {"bare LF after the size", "4\nDATA\r\n", "", "malformed chunk size line"},
      {"chunk longer than its size", "1\r\nA\r\n2\r\nBCD\r\n", "A", "missing CR LF after a chunk"},
      {"LF without CR after a chunk", "2\r\nAB\n", "", "missing CR LF after a chunk"},
      {"endless extension", "4;" + std::string(5000, 'x'), "", "chunk size line too long"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    const Decoded d = Decode(F::Chunked, c.bytes, 2);
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.payload, c.payload);
    EXPECT_EQ(d.problem, c.problem);
  }
}

TEST(ReplyBody, LengthBodiesEndAtTheirLength) {
  EXPECT_EQ(Decode(F::Length, "ABCDEF", 1, 4).payload, "ABCD");
  EXPECT_TRUE(Decode(F::Length, "ABCDEF", 1, 4).ended);
  EXPECT_FALSE(Decode(F::Length, "ABC", 1, 4).ended);
  EXPECT_TRUE(Decode(F::Length, "", 0, 0).ended);
  EXPECT_EQ(Decode(F::AsIs, "4\r\nAB", 1).payload, "4\r\nAB");
}

// After "ICY 200 OK" a blank line, or header lines up to one, are dropped;
// anything else (RTCM 3 starts with 0xD3, RTCM 2 bytes are never ':' or a
// line end) goes on untouched.
TEST(ReplyBody, HeaderLinesAfterIcyAreDroppedOnlyWhenTheyEndInABlankLine) {
  const std::string rtcm3 = "\xD3\x00\x13\x3E\xD0";
  const struct {
    const char* legend;
    std::string bytes;
    std::string payload;
  } cases[] = {
      {"data right away", rtcm3, rtcm3},
      {"a blank line first", "\r\n" + rtcm3, rtcm3},
      {"two header lines", "Server: NTRIP Caster\r\nContent-Type: gnss/data\r\n\r\n" + rtcm3, rtcm3},
      {"header lines without a blank line are data", "Server: X\r\n" + rtcm3, "Server: X\r\n" + rtcm3},
      {"RTCM 2 letters without a colon", "fY@[MzK", "fY@[MzK"},
      {"a lone CR", "\r" + rtcm3, "\r" + rtcm3},
      {"LF alone is data", "\n" + rtcm3, "\n" + rtcm3},
      {"only the first blank line goes", "\r\n\r\nX", "\r\nX"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    for (const std::size_t piece : {std::size_t{0}, std::size_t{1}}) EXPECT_EQ(Decode(F::AfterIcyLine, c.bytes, piece).payload, c.payload);
  }
  // Header lines beyond the limit are no header: all of it is data.
  const std::string endless = "X: " + std::string(ReplyBody::kMaxIcyHeaderBytes, 'v');
  EXPECT_EQ(Decode(F::AfterIcyLine, endless, 100).payload, endless);
}

TEST(ReplyBody, RealChunkedCapturesDecodeToTheirPayload) {
  using testing_support::ReadFileBytes;
  using testing_support::TestDataPath;
  const std::string chunked = ReadFileBytes(TestDataPath("rtcm/caster-stream-http-chunked-rtcm3.pygnssutils.bin"));
  ASSERT_EQ(chunked.size(), 23950u);
  // The capture was cut inside its last size line: the payload before it
  // is whole, and the cut is told.
  const Decoded d = Decode(F::Chunked, chunked, 700);
  EXPECT_EQ(d.payload.size(), 22469u);
  EXPECT_FALSE(d.ok);

  const std::string raw = ReadFileBytes(TestDataPath("rtcm/caster-stream-raw-rtcm3-msm7.pygnssutils.bin"));
  const std::string rechunked =
      ReadFileBytes(TestDataPath("rtcm/caster-stream-rechunked-one-frame-per-chunk.pygnssutils.bin"));
  const Decoded r = Decode(F::Chunked, rechunked, 500);
  EXPECT_TRUE(r.ok) << r.problem;
  EXPECT_EQ(r.payload, raw.substr(420));
}

TEST(ReplyBody, BodyStartFollowsTheStatusLine) {
  const struct {
    const char* received;
    std::size_t offset;
    F framing;
  } cases[] = {
      {"ICY 200 OK\r\nDATA", 12, F::AfterIcyLine},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\n", 47, F::Chunked},
      {"HTTP/1.1 200 OK\r\nServer: x", 26, F::AsIs},  // a head that never ended: none of it is data
      {"OK\r\nDATA", 4, F::AsIs},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.received);
    ReplyBodyStart start = BodyStartOf(c.received);
    EXPECT_EQ(start.offset, c.offset);
    std::string out;
    (void)start.body.Feed("\r\n", out);
    // Only the framing shows: ICY drops a blank line, chunked finds no size.
    EXPECT_EQ(out.empty(), c.framing != F::AsIs);
  }
}

}  // namespace
