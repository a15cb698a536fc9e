// The three ways to write a caster, the version 2 request and the head of an
// HTTP reply: the texts and fields that decide how the program talks.
#include <gtest/gtest.h>

#include "net/CasterEndpoint.h"
#include "net/HttpReplyHead.h"
#include "net/NtripRequest.h"
#include "net/TCPSocket.h"

namespace {

TEST(CasterForms, TheTextSaysProtocolHostAndPort) {
  using P = CasterProtocol;
  const struct {
    const wchar_t* text;
    P protocol;
    const wchar_t* host;
    int port;
  } cases[] = {
      {L"caster.example:2101", P::Ntrip1, L"caster.example", 2101},
      {L"127.0.0.1:2101", P::Ntrip1, L"127.0.0.1", 2101},
      {L"caster.example", P::Ntrip1, L"caster.example", 0},  // no port and no default, as before
      {L"caster.example:21x", P::Ntrip1, L"caster.example", 21},
      {L"caster.example:65535", P::Ntrip1, L"caster.example", 65535},
      {L"caster.example:65536", P::Ntrip1, L"caster.example", 0},  // no TCP port
      {L"http://caster.example:2102", P::Ntrip2, L"caster.example", 2102},
      {L"http://caster.example", P::Ntrip2, L"caster.example", 2101},
      {L"HTTP://caster.example/", P::Ntrip2, L"caster.example", 2101},
      {L"https://caster.example", P::Ntrip2Tls, L"caster.example", 443},
      {L"https://caster.example:8443/", P::Ntrip2Tls, L"caster.example", 8443},
      {L"[::1]:2101", P::Ntrip1, L"::1", 2101},
      {L"[2001:db8::1]", P::Ntrip1, L"2001:db8::1", 0},
      {L"http://[2001:db8::1]", P::Ntrip2, L"2001:db8::1", 2101},
      {L"https://[::1]:4433", P::Ntrip2Tls, L"::1", 4433},
      {L"", P::Ntrip1, L"", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
    const CasterEndpoint endpoint = ParseCasterText(c.text);
    EXPECT_EQ(endpoint.protocol, c.protocol);
    EXPECT_EQ(endpoint.host, c.host);
    EXPECT_EQ(endpoint.port, c.port);
  }
  EXPECT_EQ(HostAndPort("::1", 2101), "[::1]:2101");
  EXPECT_EQ(HostAndPort("caster.example", 443), "caster.example:443");
}

TEST(CasterForms, Version2RequestCarriesHostVersionAndPosition) {
  const std::string gga = "$GPGGA,1*00";
  EXPECT_EQ(Ntrip2RequestBytes(L"MP1", "dXNlcjpwYXNz", "caster.example", gga),
            "GET /MP1 HTTP/1.1\r\n"
            "Host: caster.example\r\n"
            "Ntrip-Version: Ntrip/2.0\r\n"
            "User-Agent: NTRIP Fieldcast Pocket PC/1.0.0\r\n"
            "Authorization: Basic dXNlcjpwYXNz\r\n"
            "Ntrip-GGA: $GPGGA,1*00\r\n"
            "Connection: close\r\n\r\n");
  // The table request, no credentials, no position; a line end in the
  // position never splits the head.
  EXPECT_EQ(Ntrip2RequestBytes(L"", "", "[::1]:2102", ""),
            "GET / HTTP/1.1\r\nHost: [::1]:2102\r\nNtrip-Version: Ntrip/2.0\r\n"
            "User-Agent: NTRIP Fieldcast Pocket PC/1.0.0\r\nConnection: close\r\n\r\n");
  EXPECT_NE(Ntrip2RequestBytes(L"MP1", "", "h", "$GPGGA\r\nX: y").find("Ntrip-GGA: $GPGGAX: y\r\n"), std::string::npos);
  // What a request line cannot carry is percent-encoded, after UTF-8.
  EXPECT_EQ(Ntrip2RequestBytes(L"M\u00fcn chen%", "", "h", "").substr(0, 30), "GET /M%C3%BCn%20chen%25 HTTP/1");
  EXPECT_EQ(HostHeaderValue("caster.example", 2101, 2101), "caster.example");
  EXPECT_EQ(HostHeaderValue("caster.example", 2102, 2101), "caster.example:2102");
  EXPECT_EQ(HostHeaderValue("::1", 443, 443), "[::1]");
}

TEST(CasterForms, Version2RequestThatWouldNotFitLeavesThePositionOut) {
  TCPSocket socket;
  std::wstring error;
  const std::string longGga(200, 'G');
  const std::string credentials(300, 'c');
  ASSERT_TRUE(BuildNtrip2Request(socket, L"MP1", credentials, "h", longGga, error));
  EXPECT_EQ(std::string(socket.m_buffer, static_cast<size_t>(socket.m_len)).find("Ntrip-GGA"), std::string::npos);
  EXPECT_FALSE(BuildNtrip2Request(socket, L"MP1", std::string(480, 'c'), "h", "", error));
  EXPECT_EQ(error, L"ERROR: Mount point or credentials too long for the request.");
  EXPECT_FALSE(BuildNtrip2Request(socket, L"MP1\r\nX: y", "", "h", "", error));
}

TEST(CasterForms, HttpHeadSaysWhereTheBodyStartsAndHowItIsFramed) {
  using F = ReplyBody::Framing;
  const struct {
    const char* head;
    bool complete;
    F framing;
    std::uint64_t length;
    bool sourceTable;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nX", true, F::Chunked, 0, false},
      {"HTTP/1.1 200 OK\r\ntransfer-encoding:  Chunked \r\n\r\n", true, F::Chunked, 0, false},
      {"HTTP/1.1 200 OK\r\nContent-Length: 42\r\n\r\n", true, F::Length, 42, false},
      {"HTTP/1.1 200 OK\r\nContent-Length: 42\r\nTransfer-Encoding: chunked\r\n\r\n", true, F::Chunked, 42, false},
      {"HTTP/1.1 200 OK\r\nContent-Type: gnss/sourcetable\r\n\r\n", true, F::AsIs, 0, true},
      {"HTTP/1.1 200 OK\r\nContent-Type: GNSS/Sourcetable; x\r\n\r\n", true, F::AsIs, 0, true},
      {"HTTP/1.1 200 OK\r\nContent-Type: gnss/data\r\n\r\n", true, F::AsIs, 0, false},
      {"HTTP/1.0 200 OK\n\n", true, F::AsIs, 0, false},
      {"HTTP/1.1 200 OK\r\nContent-Length: 4x\r\n\r\n", true, F::AsIs, 0, false},
      {"HTTP/1.1 200 OK\r\nServer: x\r\n", false, F::AsIs, 0, false},
      {"HTTP/1.1 200 OK", false, F::AsIs, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.head);
    const HttpReplyHead head = ParseHttpReplyHead(c.head);
    EXPECT_EQ(head.complete, c.complete);
    EXPECT_EQ(head.framing, c.framing);
    EXPECT_EQ(head.contentLength, c.length);
    EXPECT_EQ(head.sourceTable, c.sourceTable);
    if (c.complete) {
      EXPECT_EQ(std::string_view(c.head).substr(head.bodyOffset), std::string_view(c.head).ends_with("X") ? "X" : "");
    }
  }
}

}  // namespace
