// Against a real caster: str2str on 127.0.0.1.
#include <gtest/gtest.h>

#include "net/Base64.h"
#include "net/NtripReply.h"
#include "net/NtripRequest.h"
#include "net/TCPSocket.h"
#include "support/Str2StrCaster.h"
#include "support/TempDir.h"

namespace {

using testing_support::Str2StrCaster;

struct RealCaster : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(caster.Start()) << caster.Log(); }

  // Connects, sends the request and receives the first reply block.
  std::string Request(const std::wstring& mountPoint, const std::wstring& credentials) {
    EXPECT_TRUE(socket.Connect("127.0.0.1", caster.casterPort()));
    std::wstring error;
    EXPECT_TRUE(BuildNtripRequest(socket, mountPoint, Base64Encode(std::wstring_view(credentials)), error));
    EXPECT_TRUE(socket.sendMsg());
    EXPECT_TRUE(socket.recvMsg());
    return std::string(socket.m_buffer, static_cast<size_t>(socket.m_len));
  }

  Str2StrCaster caster{{.user = "user", .password = "pass", .mountPoint = "MP1", .entry = {}}};
  TCPSocket socket;
};

TEST_F(RealCaster, RepliesAreClassified) {
  const struct {
    const wchar_t* mountPoint;
    const wchar_t* credentials;
    NtripReply expected;
  } cases[] = {
      {L"", L"user:pass", NtripReply::SourceTable},  // "SOURCETABLE 200 OK"
      {L"", L"", NtripReply::SourceTable},
      {L"MP2", L"user:pass", NtripReply::SourceTable},  // unknown mount: the table instead
      {L"MP1", L"user:wrong", NtripReply::Unauthorized},
      {L"MP1", L"", NtripReply::Unauthorized},
      {L"MP1", L"user:pass", NtripReply::Accepted},  // "ICY 200 OK"
  };
  for (const auto& c : cases) {
    const std::string reply = Request(c.mountPoint, c.credentials);
    EXPECT_EQ(ClassifyReply(reply), c.expected) << reply;
  }
}

TEST_F(RealCaster, StreamBurstArrivesByteForByteOverSeveralReceives) {
  const std::string reply = Request(L"MP1", L"user:pass");
  ASSERT_EQ(ClassifyReply(reply), NtripReply::Accepted) << reply;
  std::string got = reply.substr(StreamDataOffset(reply));

  const std::string burst = testing_support::ReadFileBytes(
      testing_support::TestDataPath("rtcm/caster-stream-raw-rtcm3-msm7.pygnssutils.bin"));
  ASSERT_GT(burst.size(), 3u * TCPSocket::kBufferSize);
  ASSERT_TRUE(caster.Feed(burst));
  int receives = 0;
  while (got.size() < burst.size() && socket.recvMsg()) {
    ASSERT_LE(socket.m_len, TCPSocket::kBufferSize);
    ASSERT_EQ(socket.m_buffer[socket.m_len], '\0');
    got.append(socket.m_buffer, static_cast<size_t>(socket.m_len));
    ++receives;
  }
  EXPECT_GE(receives, 3);
  EXPECT_TRUE(got == burst) << "got " << got.size() << " of " << burst.size() << " bytes";
}

}  // namespace
