#pragma once
// GNSS.ini as the program writes it, for tests that start the program or
// its window on a prepared folder; each value can be set by name.
#include <string>

namespace testing_support {

inline std::string LocalCaster(int port) { return "127.0.0.1:" + std::to_string(port); }

struct SettingsIni {
  std::string caster = "127.0.0.1:9";
  std::string credentials = "";
  int attempts = 10;
  int time = 1;
  int output = 1;  // 0: the COM port, 1: none
  std::string baud = "115200";
  std::string mountPoint = "";
  std::string design = "";

  std::string Text() const {
    return "[NtripCaster]\nIP Port=" + caster + "\nPassword=" + credentials + "\nAttemps=" + std::to_string(attempts) +
           "\nTime=" + std::to_string(time) + "\n[Settings]\nOutput=" + std::to_string(output) +
           "\n[COM-Port]\nCOM-Port=COM1\nBaudrate=" + baud +
           "\nDatabits=8 data bits\nParity=no parity\nStop Bits=1 stop bit\n[GNSS]\nMount Point=" + mountPoint +
           "\nNetwork=All\n[Design]\nColour=" + design + "\n";
  }
};

}  // namespace testing_support
