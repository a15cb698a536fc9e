#include "SerialPortFixture.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/SerialDevices.h"

namespace serial_test {

void SerialPortTest::SetUp() {
  ASSERT_TRUE(m_pty.ok());
  for (int n = platform::kFirstSerialPort; n <= platform::kLastSerialPort; ++n) {
    MapPort(n, m_dir.File("absent-COM" + std::to_string(n)));
  }
  MapPort(1, m_pty.SlavePath());
}

void SerialPortTest::TearDown() {
  for (int n = platform::kFirstSerialPort; n <= platform::kLastSerialPort; ++n) {
    unsetenv(("FIELDCAST_COM" + std::to_string(n)).c_str());
  }
}

void SerialPortTest::MapPort(int n, const std::string& path) {
  setenv(("FIELDCAST_COM" + std::to_string(n)).c_str(), path.c_str(), 1);
}

void SerialPortTest::UseCom1(SerialPort& port, int baud, int dataBits, int parity, int stopBits) {
  port.SetParams(L"COM1", 1, baud, dataBits, parity, stopBits);
}

std::string SerialPortTest::Pattern(size_t start, size_t count) {
  // 251 is prime, so the pattern never lines up with the 500-byte blocks.
  std::string bytes(count, '\0');
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>((start + i) % 251);
  return bytes;
}

std::string SerialPortTest::FillPort(SerialPort& port) {
  std::string sent;
  // A pty takes some tens of kilobytes; the cap only stops a runaway loop.
  // It hands bytes on to its far side in the background, so on a busy
  // machine room comes back after a short write: it is full only once
  // writes a little apart take nothing.
  constexpr size_t kMostAPtyTakes = 1 << 20;
  for (int nothingTaken = 0; nothingTaken < 3 && sent.size() < kMostAPtyTakes;) {
    const std::string block = Pattern(sent.size(), SerialPort::kBufferSize);
    std::memcpy(port.m_buffer, block.data(), block.size());
    const int taken = port.WriteBlock(0, SerialPort::kBufferSize);
    sent += block.substr(0, static_cast<size_t>(std::max(taken, 0)));
    nothingTaken = taken > 0 ? 0 : nothingTaken + 1;
    if (taken < SerialPort::kBufferSize) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return sent;
}

}  // namespace serial_test
