// Bytes through the port in both directions, and the port's answers when it
// holds nothing or is closed.
#include <cstring>
#include <string>

#include "SerialPortFixture.h"
#include "support/WaitFor.h"

namespace serial_test {
namespace {

std::string AllByteValues() {
  std::string bytes(256, '\0');
  for (int i = 0; i < 256; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>(i);
  return bytes;
}

// CR, LF, XON/XOFF, DEL and 0xFF are all plain data: any line processing
// left switched on would change, drop or add bytes here.
TEST_F(SerialPortTest, EveryByteValuePassesUnchangedBothWays) {
  SerialPort& port = OpenedCom1();

  const std::string block = AllByteValues() + AllByteValues().substr(0, 244);
  std::memcpy(port.m_buffer, block.data(), block.size());
  port.m_count = static_cast<int>(block.size());
  EXPECT_EQ(port.WriteAll(), 500);
  EXPECT_EQ(m_pty.ReadMaster(block.size()), block);

  ASSERT_TRUE(m_pty.WriteMaster(AllByteValues()));
  ASSERT_TRUE(testing_support::WaitFor([&] { return port.BytesWaiting() == 256; }));
  char received[SerialPort::kBufferSize];
  ASSERT_EQ(port.Read(received, SerialPort::kBufferSize), 256);
  EXPECT_EQ(std::string(received, 256), AllByteValues());
  EXPECT_TRUE(m_pty.ReadMasterAvailable().empty()) << "nothing was echoed back";
}

TEST_F(SerialPortTest, ReadTakesWhatWaitsUpToTheLimitWithoutBlocking) {
  SerialPort& port = OpenedCom1();
  char received[SerialPort::kBufferSize];
  EXPECT_EQ(port.Read(received, SerialPort::kBufferSize), 0) << "nothing waits";

  ASSERT_TRUE(m_pty.WriteMaster("$GPGGA,1,2,3*4F\r\nxyz"));
  ASSERT_TRUE(testing_support::WaitFor([&] { return port.BytesWaiting() == 20; }));
  EXPECT_EQ(port.Read(received, 5), 5);
  EXPECT_EQ(std::string(received, 5), "$GPGG");
  EXPECT_EQ(port.Read(nullptr, 500), 0);
  EXPECT_EQ(port.Read(received, 0), 0);
  EXPECT_EQ(port.Read(received, -1), 0);
  EXPECT_EQ(port.Read(received, SerialPort::kBufferSize), 15);
  EXPECT_EQ(std::string(received, 15), "A,1,2,3*4F\r\nxyz");
  EXPECT_EQ(port.Read(received, SerialPort::kBufferSize), 0);
}

TEST_F(SerialPortTest, PurgeInputDropsWhatWaits) {
  SerialPort& port = OpenedCom1();
  ASSERT_TRUE(m_pty.WriteMaster("stale NMEA"));
  ASSERT_TRUE(testing_support::WaitFor([&] { return port.BytesWaiting() == 10; }));
  EXPECT_TRUE(port.PurgeInput());
  EXPECT_EQ(port.BytesWaiting(), 0);
}

TEST_F(SerialPortTest, ClosedPortAnswersNothingAndClosesHarmlessly) {
  SerialPort port;
  UseCom1(port);
  char received[16];
  port.m_count = 10;
  EXPECT_EQ(port.WriteAll(), 0);
  EXPECT_EQ(port.WriteBlock(0, 10), 0);
  EXPECT_EQ(port.BytesWaiting(), 0);
  EXPECT_EQ(port.Read(received, sizeof received), 0);
  EXPECT_FALSE(port.PurgeInput());
  EXPECT_TRUE(port.Close());

  ASSERT_TRUE(port.Open());
  EXPECT_TRUE(port.Close());
  EXPECT_TRUE(port.Close());
  EXPECT_FALSE(port.m_bOpen);
  EXPECT_EQ(port.WriteAll(), 0);
}

// Offsets and lengths come from callers' arithmetic; a wrong one must not
// write from outside the 500-byte buffer.
TEST_F(SerialPortTest, WriteOutsideTheBufferIsRefused) {
  SerialPort& port = OpenedCom1();
  const struct {
    int offset, length;
  } outside[] = {{-1, 10}, {0, 501}, {490, 11}, {501, 0}, {0, -5}, {1, 0x7fffffff}};
  for (const auto& range : outside) {
    EXPECT_EQ(port.WriteBlock(range.offset, range.length), 0)
        << range.offset << "+" << range.length;
  }
  for (int count : {-1, 501}) {
    port.m_count = count;
    EXPECT_EQ(port.WriteAll(), 0) << count;
  }
  EXPECT_TRUE(m_pty.ReadMasterAvailable().empty());
  std::memcpy(port.m_buffer + 490, "0123456789", 10);
  EXPECT_EQ(port.WriteBlock(490, 10), 10);
  EXPECT_EQ(m_pty.ReadMaster(10), "0123456789");
}

}  // namespace
}  // namespace serial_test
