#pragma once
// A receiver on COM1: a pseudo-terminal pair reached through FIELDCAST_COM1.
// Every other COM number points at a missing file in the test's own
// directory, so the machine's real serial ports never take part.
#include <gtest/gtest.h>

#include <string>

#include "serial/SerialPort.h"
#include "support/PtyPair.h"
#include "support/TempDir.h"

namespace serial_test {

class SerialPortTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Points COMn at `path` for this test.
  static void MapPort(int n, const std::string& path);
  // Settings for COM1 at the given line settings.
  void UseCom1(SerialPort& port, int baud = 19200, int dataBits = 8, int parity = 0,
               int stopBits = 0);
  // COM1 (the pty) at the default line settings, opened for this test.
  SerialPort& OpenedCom1() {
    UseCom1(m_com1);
    EXPECT_TRUE(m_com1.Open());
    return m_com1;
  }
  // Writes blocks until the pty's buffer is full (writes a little apart
  // take nothing); answers the bytes it took, in order. The test
  // stream is a counting pattern so order and losses show when it is read back.
  std::string FillPort(SerialPort& port);
  // The next `count` bytes of the counting pattern after `sent`.
  static std::string Pattern(size_t start, size_t count);

  testing_support::TempDir m_dir;
  testing_support::PtyPair m_pty;
  SerialPort m_com1;  // closed before the pty goes
};

}  // namespace serial_test
