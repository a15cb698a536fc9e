// The COMn -> device mapping, on a made-up /dev and /sys tree.
#include "platform/SerialDevices.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace {

class SerialDevicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearEnvironment();
    std::filesystem::create_directories(m_dir.File("dev"));
    // ttyS2 stands for a node without a UART, as the kernel creates many.
    for (const char* name : {"ttyS1", "ttyS0", "ttyS2", "ttyUSB10", "ttyUSB2", "ttyACM0",
                             "ttyUSB", "ttyUSBx", "tty5", "ttyAMA0"}) {
      m_dir.Write(std::string("dev/") + name, "");
    }
    for (const char* type : {"ttyS0=4", "ttyS2=0"}) {
      const std::string entry(type);
      const std::string name = entry.substr(0, entry.find('='));
      std::filesystem::create_directories(m_dir.File("sys/" + name));
      m_dir.Write("sys/" + name + "/type", entry.substr(entry.find('=') + 1) + "\n");
    }
    m_roots = {m_dir.File("dev"), m_dir.File("sys")};
  }
  void TearDown() override { ClearEnvironment(); }

  static void ClearEnvironment() {
    for (int n = platform::kFirstSerialPort; n <= platform::kLastSerialPort; ++n) {
      unsetenv(("FIELDCAST_COM" + std::to_string(n)).c_str());
    }
  }
  std::string Dev(const std::string& name) const { return m_dir.File("dev/" + name); }

  testing_support::TempDir m_dir;
  platform::SerialDeviceRoots m_roots;
};

// USB first, then ACM, AMA, S; 2 before 10; nodes without a UART and names
// that are not a family plus a number are left out.
TEST_F(SerialDevicesTest, PresentDevicesInFamilyThenNumericOrder) {
  const std::vector<std::string> expected = {Dev("ttyUSB2"), Dev("ttyUSB10"), Dev("ttyACM0"),
                                             Dev("ttyAMA0"), Dev("ttyS0"),    Dev("ttyS1")};
  EXPECT_EQ(platform::PresentSerialDevices(m_roots), expected);
}

TEST_F(SerialDevicesTest, EnvironmentOverridesOnlyItsOwnNumber) {
  setenv("FIELDCAST_COM2", "/tmp/receiver", 1);
  EXPECT_EQ(platform::SerialDevicePath(1, m_roots), Dev("ttyUSB2"));
  EXPECT_EQ(platform::SerialDevicePath(2, m_roots), "/tmp/receiver");
  EXPECT_EQ(platform::SerialDevicePath(3, m_roots), Dev("ttyACM0"));
  EXPECT_EQ(platform::SerialDevicePath(7, m_roots), "");
  EXPECT_EQ(platform::SerialDevicePath(0, m_roots), "");
  EXPECT_EQ(platform::ResolveSerialDevice(L"COM2:", m_roots), "/tmp/receiver");
  EXPECT_EQ(platform::ResolveSerialDevice(L"/dev/ttyX", m_roots), "/dev/ttyX");
  EXPECT_EQ(platform::ResolveSerialDevice(L"LPT1:", m_roots), "");
}

TEST_F(SerialDevicesTest, NoDeviceDirectoryMeansNoPorts) {
  m_roots.devDirectory = m_dir.File("missing");
  EXPECT_TRUE(platform::PresentSerialDevices(m_roots).empty());
  EXPECT_EQ(platform::SerialDevicePath(1, m_roots), "");
}

TEST_F(SerialDevicesTest, PortNumberFromName) {
  const struct {
    const wchar_t* name;
    int number;
  } rows[] = {{L"COM1:", 1}, {L"COM1", 1},     {L"com12:", 12}, {L"COM999:", 999},
              {L"COM0:", 0}, {L"COM1000:", 0}, {L"COM:", 0},    {L"COM", 0},
              {L"COMx:", 0}, {L"COM1::", 0},   {L"LPT1:", 0},   {L"", 0},
              {L"COM-1:", 0}, {L"COM１:", 0}};
  for (const auto& row : rows) {
    EXPECT_EQ(platform::SerialPortNumber(row.name), row.number);
  }
}

TEST_F(SerialDevicesTest, MappingListsTwelvePortsAndTheirSource) {
  setenv("FIELDCAST_COM3", "/tmp/pts-3", 1);
  const std::string expected = "COM1: " + Dev("ttyUSB2") + "\nCOM2: " + Dev("ttyUSB10") +
                               "\nCOM3: /tmp/pts-3 (FIELDCAST_COM3)\nCOM4: " + Dev("ttyAMA0") +
                               "\nCOM5: " + Dev("ttyS0") + "\nCOM6: " + Dev("ttyS1") +
                               "\nCOM7: -\nCOM8: -\nCOM9: -\nCOM10: -\nCOM11: -\nCOM12: -\n";
  EXPECT_EQ(platform::SerialPortMapping(m_roots), expected);
}

}  // namespace
