#include <gtest/gtest.h>

#include "net/NtripReply.h"

namespace {

using namespace std::string_literals;

TEST(NtripReply, ClassifiesInTheOrderSourceTableUnauthorizedOk) {
  const struct {
    std::string block;
    NtripReply expected;
  } cases[] = {
      {"SOURCETABLE 200 OK\r\nServer: x\r\n\r\nSTR;MP1;\r\n", NtripReply::SourceTable},
      {"HTTP/1.0 401 Unauthorized\r\n", NtripReply::Unauthorized},
      {"HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"OK\"\r\n", NtripReply::Unauthorized},
      {"ICY 200 OK\r\n", NtripReply::Accepted},
      {"HTTP/1.0 200 OK\r\nContent-Type: gnss/data\r\n\r\n\xD3\x00"s, NtripReply::Accepted},
      {"HTTP/1.0 404 Not Found\r\n", NtripReply::Other},
      {"", NtripReply::Other},
      {"sourcetable 200 ok\r\n", NtripReply::Other},  // the words are case-sensitive
      // Counted bytes: a zero byte does not hide what follows it.
      {"\0ICY 200 OK\r\n"s, NtripReply::Accepted},
      {"ICY 200 \0OK"s, NtripReply::Accepted},
      {"HTTP/1.0 200 OK\0SOURCETABLE"s, NtripReply::SourceTable},
      // "OK" counts only in the first line, and never beside an error code.
      {"HTTP/1.1 404 Not Found\r\nServer: OKCaster\r\n\r\n<html>OK</html>", NtripReply::Other},
      {"HTTP/1.0 503 Service Unavailable OK\r\n", NtripReply::Other},
      {"HTTP/1.0 302 OK\r\nLocation: x\r\n", NtripReply::Other},
      {"HTTP/1.0 OK\r\n", NtripReply::Other},
      {"ICY 404 OK\r\n", NtripReply::Other},
      {"HTTP/1.1 2000 OK\r\n", NtripReply::Other},
      {"Server busy\r\nICY 200 OK\r\n", NtripReply::Other},
      {"HTTP/1.1 204 OK\r\n", NtripReply::Accepted},
      {"HTTP/1.1 401 Unauthorized\r\nServer: OKCaster\r\n", NtripReply::Unauthorized},
      {"HTTP/1.1 404 Not Found\r\n\r\nSOURCETABLE", NtripReply::SourceTable},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifyReply(c.block), c.expected) << c.block;
}

TEST(NtripReply, ReadsTheStatusCodeOfTheFirstLine) {
  const struct {
    std::string block;
    int code;
  } cases[] = {
      {"HTTP/1.1 404 Not Found\r\n", 404}, {"ICY 200 OK\r\n", 200}, {"HTTP/1.0 503", 503},
      {"HTTP/1.0 50", -1},                {"HTTP/1.0\r\n500", -1},  {"SOURCETABLE 200 OK\r\n", -1},
      {"HTTP/1.0 5x3 OK", -1},            {"", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(ReplyStatusCode(c.block), c.code) << c.block;
}

TEST(NtripReply, WordCutAtTheCountIsNotFound) {
  const std::string block = "ICY 200 OK";
  EXPECT_EQ(ClassifyReply(std::string_view(block).substr(0, 9)), NtripReply::Other);
}

TEST(NtripReply, StreamDataStartsAfterTheReplyHeader) {
  const struct {
    std::string block;
    std::string data;
  } cases[] = {
      {"ICY 200 OK\r\n", ""},
      {"ICY 200 OK\r\n\xD3\x00\x13"s, "\xD3\x00\x13"s},
      {"ICY 200 OK\r\n\r\n\xD3", "\r\n\xD3"},  // NTRIP 1: the data follows the status line at once
      {"HTTP/1.0 200 OK\r\nServer: c\r\nContent-Type: gnss/data\r\n\r\n\xD3\x00"s, "\xD3\x00"s},
      {"HTTP/1.1 200 OK\nServer: c\n\n\xD3", "\xD3"},
      {"HTTP/1.0 200 OK\r\nServer: c\r\n", ""},  // header continues beyond the block
      {"ICY 200 OK", ""},                        // status line not complete
      {"200 OK\r\n\xD3", "\xD3"},
      {"ICY 200 OK\r\n\0\0\xD3"s, "\0\0\xD3"s},
  };
  for (const auto& c : cases) {
    const std::size_t offset = StreamDataOffset(c.block);
    ASSERT_LE(offset, c.block.size()) << c.block;
    EXPECT_EQ(c.block.substr(offset), c.data) << c.block;
  }
}

TEST(NtripReply, OtherReplyIsShownAsReceivedUpToAZeroByte) {
  EXPECT_EQ(OtherReplyStatusText("HTTP/1.0 404 Not Found\r\n"), L"HTTP/1.0 404 Not Found\r\n");
  EXPECT_EQ(OtherReplyStatusText("Fehler \xE4\0hidden"s), L"Fehler \u00e4");  // one character per byte
  EXPECT_EQ(OtherReplyStatusText(""), L"");
}

}  // namespace
