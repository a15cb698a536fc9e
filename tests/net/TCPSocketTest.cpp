#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <random>
#include <thread>

#include <sys/resource.h>
#include <unistd.h>

#include "net/TCPSocket.h"
#include "platform/Trace.h"
#include "support/ListeningSocket.h"
#include "support/Process.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"

namespace {

using testing_support::ListeningSocket;
using testing_support::WaitFor;

// Well below the 20 s receive wait: a Close that did not wake the receiver
// would miss it by far, while a busy machine still has ample time.
constexpr std::chrono::milliseconds kWakeDeadline{10000};

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  return bytes;
}

// Collects `size` bytes over as many receives as the pieces need, checking
// after every one that the block stays inside the buffer and is terminated.
std::string ReceiveAll(TCPSocket& socket, std::size_t size) {
  std::string got;
  while (got.size() < size && socket.recvMsg(5)) {
    EXPECT_GT(socket.m_len, 0);
    EXPECT_LE(socket.m_len, TCPSocket::kBufferSize);
    EXPECT_EQ(socket.m_buffer[socket.m_len], '\0');
    got.append(socket.m_buffer, static_cast<size_t>(socket.m_len));
  }
  return got;
}

struct Connected : ::testing::Test {
  void SetUp() override {
    ASSERT_NE(listener.port(), 0);
    ASSERT_TRUE(socket.Connect("127.0.0.1", listener.port()));
    ASSERT_TRUE(socket.m_bConnected);
    ASSERT_TRUE(listener.Accept());
  }
  ListeningSocket listener;
  TCPSocket socket;
};

TEST_F(Connected, ABurstArrivesByteForByteHoweverThePeerSplitsIt) {
  const std::string burst = Pattern(1700);
  std::mt19937 random(4711);
  for (const char* split : {"whole", "random pieces", "one byte at a time"}) {
    std::thread peer([&] {
      for (std::size_t at = 0; at < burst.size();) {
        std::size_t piece = burst.size() - at;
        if (std::strcmp(split, "random pieces") == 0) piece = std::min<std::size_t>(piece, 1 + random() % 700);
        if (std::strcmp(split, "one byte at a time") == 0) piece = 1;
        ASSERT_TRUE(listener.Send(std::string_view(burst).substr(at, piece)));
        at += piece;
      }
    });
    EXPECT_EQ(ReceiveAll(socket, burst.size()), burst) << split;
    peer.join();
  }
}

TEST_F(Connected, AFullBlockIsReceivedWholeAndTerminated) {
  ASSERT_TRUE(listener.Send(Pattern(TCPSocket::kBufferSize) + "next"));
  // One send on loopback arrives as one segment: the first receive sees all 504 bytes.
  ASSERT_TRUE(socket.recvMsg(5));
  EXPECT_EQ(socket.m_len, TCPSocket::kBufferSize);
  EXPECT_EQ(std::string(socket.m_buffer, TCPSocket::kBufferSize), Pattern(TCPSocket::kBufferSize));
  EXPECT_EQ(socket.m_buffer[TCPSocket::kBufferSize], '\0');
  ASSERT_TRUE(socket.recvMsg(5));
  EXPECT_STREQ(socket.m_buffer, "next");
}

// Short waits poll; long ones (a stream's) wait in the receive itself, with
// the socket's receive timeout: silence is a timeout either way, and data
// after it still arrives.
TEST_F(Connected, SilenceLeavesTheBufferAsItWas) {
  for (const int seconds : {1, 3}) {
    std::memcpy(socket.m_buffer, "GET / HTTP/1.0\r\n", 17);
    socket.m_len = 16;
    EXPECT_FALSE(socket.recvMsg(seconds)) << seconds;
    EXPECT_EQ(socket.m_nLastError, ETIMEDOUT) << seconds;
    EXPECT_EQ(socket.m_len, 16) << seconds;
    EXPECT_STREQ(socket.m_buffer, "GET / HTTP/1.0\r\n") << seconds;
    ASSERT_TRUE(listener.Send("late"));
    ASSERT_TRUE(socket.recvMsg(seconds)) << seconds;
    EXPECT_STREQ(socket.m_buffer, "late") << seconds;
  }
}

TEST_F(Connected, PeerClosingIsAFailedReadWithNoBytes) {
  ASSERT_TRUE(listener.Send("ICY 200 OK\r\n"));
  ASSERT_TRUE(socket.recvMsg(5));
  listener.CloseClient();
  EXPECT_FALSE(socket.recvMsg(5));
  EXPECT_EQ(socket.m_len, 0);
  EXPECT_EQ(socket.m_buffer[0], '\0');
}

TEST_F(Connected, SendAndSendMsgDeliverExactly) {
  const char gga[] = "$GPGGA,1\r\n";
  EXPECT_TRUE(socket.Send(gga, 10));
  std::memcpy(socket.m_buffer, "abc\0def", 7);
  socket.m_len = 7;
  EXPECT_TRUE(socket.sendMsg());
  EXPECT_EQ(listener.ReceiveUntil("def"), std::string("$GPGGA,1\r\nabc\0def", 17));
}

TEST_F(Connected, CloseFromAnotherThreadEndsAWaitingReceiveAtOnce) {
  std::atomic<bool> done{false};
  std::atomic<bool> result{true};
  std::thread receiver([&] {
    result = socket.recvMsg();  // the full 20-second wait
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // let it enter the wait
  socket.Close();
  EXPECT_TRUE(WaitFor([&] { return done.load(); }, kWakeDeadline));
  receiver.join();
  EXPECT_FALSE(result);
  EXPECT_FALSE(socket.m_bConnected);
  EXPECT_FALSE(socket.Send("x", 1));
}

TEST_F(Connected, ReconnectingWhileAnotherThreadReceivesIsRaceFree) {
  ListeningSocket second;
  std::atomic<bool> done{false};
  std::thread receiver([&] {
    for (int i = 0; i < 50 && !done; ++i) {
      (void)socket.recvMsg(1);
    }
    done = true;
  });
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(socket.Connect("127.0.0.1", second.port()));
    ASSERT_TRUE(second.Accept());
  }
  socket.Close();
  done = true;
  receiver.join();
}

TEST(TCPSocket, ConnectWhereNothingListensFailsAndASecondConnectWorks) {
  TCPSocket socket;
  const int port = testing_support::PickFreePort();
  EXPECT_FALSE(socket.Connect("127.0.0.1", port));
  EXPECT_FALSE(socket.m_bConnected);
  ListeningSocket listener;
  EXPECT_TRUE(socket.Connect("127.0.0.1", listener.port()));
  EXPECT_TRUE(socket.m_bConnected);
  EXPECT_TRUE(listener.Accept());
}

TEST(TCPSocket, HostThatIsNotDottedTextFailsToConnect) {
  TCPSocket socket;
  for (const char* host : {"caster.example", "", "256.1.1.1"}) {
    EXPECT_FALSE(socket.Connect(host, 2101)) << host;
    EXPECT_FALSE(socket.m_bConnected);
  }
}

// The debug trace gets the class's two texts, each on a line of its own.
TEST(TCPSocket, FailuresWriteTheirDiagnosticTexts) {
  testing_support::TempDir dir;
  ASSERT_TRUE(platform::SetTraceTarget(platform::TraceTarget::File, dir.File("trace.log")));
  {
    // No descriptor left: the socket cannot be created.
    const int lowestFree = dup(0);
    ASSERT_GE(lowestFree, 0);
    close(lowestFree);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(lowestFree);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    TCPSocket socket;
    const bool connected = socket.Connect("127.0.0.1", 2101);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
    EXPECT_FALSE(connected);
  }
  {
    ListeningSocket listener;
    TCPSocket socket;
    ASSERT_TRUE(socket.Connect("127.0.0.1", listener.port()));
    ASSERT_TRUE(listener.Accept());
    listener.CloseClient();
    EXPECT_FALSE(socket.recvMsg(5));
  }
  platform::SetTraceTarget(platform::TraceTarget::StandardError);
  EXPECT_EQ(dir.Read("trace.log"),
            "ERROR: CreateSocket TCPSocket.\nERROR: CreateSocket TCPSocket.\nError with recvMsg TCPSocket.\n");
}

TEST(TCPSocket, OperationsWithoutASocketFail) {
  TCPSocket socket;
  EXPECT_FALSE(socket.recvMsg(1));
  EXPECT_EQ(socket.m_len, 0);
  EXPECT_FALSE(socket.Send("x", 1));
  EXPECT_FALSE(socket.sendMsg());
  socket.Close();  // closing twice is harmless
  socket.Close();
}

}  // namespace
