#pragma once
// The one line a service prints when Start begins a run, so its log says
// what it was doing: the stream, the caster and where the bytes go.
#include <string>

struct StartFacts {
  std::wstring mountPoint;  // empty: the run fetches the source table
  std::wstring caster;      // host:port as configured
  bool toPort = false;      // false: output None
  int portNumber = 0;
  std::string device;       // empty: no device for the port
  int baud = 0;
  int dataBits = 0;
  int parity = 0;    // 0 none, 1 odd, 2 even
  int stopBits = 0;  // 0 one, 1 one and a half, 2 two
};

// "fieldcast: streaming MP from host:port to COM1 (/dev/ttyUSB0, 115200 8N1)".
// Texts from the settings file and the caster's table are shown escaped.
std::string StartLineText(const StartFacts& facts);
