#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <random>
#include <thread>

#include <sys/resource.h>
#include <unistd.h>

#include "net/TCPSocket.h"
#include "platform/Clock.h"
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

// A block is at most 500 bytes: 500 arrive whole and terminated, the 501st
// byte on comes with the next receive.
TEST_F(Connected, AFullBlockIsReceivedWholeAndTerminated) {
  ASSERT_TRUE(listener.Send(Pattern(500) + "next"));
  // One send on loopback arrives as one segment: the first receive sees all 504 bytes.
  ASSERT_TRUE(socket.recvMsg(5));
  EXPECT_EQ(socket.m_len, 500);
  EXPECT_EQ(std::string(socket.m_buffer, 500), Pattern(500));
  EXPECT_EQ(socket.m_buffer[500], '\0');
  ASSERT_TRUE(socket.recvMsg(5));
  EXPECT_STREQ(socket.m_buffer, "next");
}

// recvMsg with its full 20-second wait on a thread of its own, begun once
// the thread sleeps in the kernel: its deadline is set by then.
struct WaitingReceive {
  explicit WaitingReceive(TCPSocket& socket) : thread([this, &socket] {
    tid = gettid();
    result = socket.recvMsg();
    done = true;
  }) {
    EXPECT_TRUE(WaitFor([&] {
      std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/stat");
      std::string line;
      std::getline(stat, line);
      const std::size_t name = line.rfind(')');  // the state follows the thread's name
      return tid != 0 && name != std::string::npos && line.size() > name + 2 && line[name + 2] == 'S';
    }));
  }
  ~WaitingReceive() { thread.join(); }
  bool EndsWithin(std::chrono::milliseconds wait) { return WaitFor([&] { return done.load(); }, wait); }
  std::atomic<pid_t> tid{0};
  std::atomic<bool> done{false}, result{true};
  std::thread thread;
};

// Silence on a stream runs on the program's clock: 19 s leave the receive
// waiting, 20 s end it at once, and the buffer keeps what it held. (Real
// time passes too, hence the short looks in between.)
TEST_F(Connected, TwentySecondsOfSilenceEndAReceiveAndNineteenDoNot) {
  std::memcpy(socket.m_buffer, "GET / HTTP/1.0\r\n", 17);
  socket.m_len = 16;
  WaitingReceive receive(socket);
  platform::AdvanceMonotonicClock(19'000);
  EXPECT_FALSE(receive.EndsWithin(std::chrono::milliseconds(300)));
  platform::AdvanceMonotonicClock(1'000);
  EXPECT_TRUE(receive.EndsWithin(std::chrono::seconds(2)));
  EXPECT_FALSE(receive.result);
  EXPECT_EQ(socket.m_nLastError, ETIMEDOUT);
  EXPECT_EQ(socket.m_len, 16);
  EXPECT_STREQ(socket.m_buffer, "GET / HTTP/1.0\r\n");
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
  WaitingReceive receive(socket);
  socket.Close();
  EXPECT_TRUE(receive.EndsWithin(kWakeDeadline));
  EXPECT_FALSE(receive.result);
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

// Without a connection every call fails harmlessly, and a failed connect
// (nothing listens, or a host that is not numeric text) leaves a socket the
// next connect still uses.
TEST(TCPSocket, FailedOrMissingConnectionsLeaveTheSocketUsable) {
  TCPSocket socket;
  EXPECT_FALSE(socket.recvMsg(1));
  EXPECT_EQ(socket.m_len, 0);
  EXPECT_FALSE(socket.Send("x", 1));
  EXPECT_FALSE(socket.sendMsg());
  socket.Close();  // closing twice is harmless
  socket.Close();
  for (const char* host : {"caster.example", "", "256.1.1.1"}) EXPECT_FALSE(socket.Connect(host, 2101)) << host;
  EXPECT_FALSE(socket.Connect("127.0.0.1", testing_support::PickFreePort()));
  EXPECT_FALSE(socket.m_bConnected);
  ListeningSocket listener;
  EXPECT_TRUE(socket.Connect("127.0.0.1", listener.port()));
  EXPECT_TRUE(socket.m_bConnected);
  EXPECT_TRUE(listener.Accept());
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

}  // namespace
