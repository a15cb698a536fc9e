#pragma once
// The serial device behind a port name "COMn:". The program thinks in COM
// numbers (the settings file stores "COM1"); on Linux each number maps to a
// device path: the path in the environment variable FIELDCAST_COMn when it is
// set, otherwise the n-th present device of /dev/ttyUSB*, /dev/ttyACM*,
// /dev/ttyAMA*, /dev/ttyS* (families in that order, numeric order within
// each). The lookup is done at every open, so a receiver plugged in after
// start-up is found. Not for concurrent use with setenv.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The port numbers the program probes and --list-ports shows.
constexpr int kFirstSerialPort = 1;
constexpr int kLastSerialPort = 12;

// Where the devices are looked up; tests point these at a temporary tree.
struct SerialDeviceRoots {
  std::string devDirectory = "/dev";
  // Kernel view of the tty nodes: tells which ttyS nodes have a UART behind them.
  std::string sysTtyDirectory = "/sys/class/tty";
};

// The present devices in COM order (full paths).
std::vector<std::string> PresentSerialDevices(const SerialDeviceRoots& roots = {});

// The device path for COMn; empty when there is none.
std::string SerialDevicePath(int portNumber, const SerialDeviceRoots& roots = {});

// n of a port name "COMn:" or "COMn" (as the settings store it), 1..999;
// 0 when the text is no such name.
int SerialPortNumber(std::wstring_view name);

// The device path for a port name "COMn:", or the name itself when it is
// already an absolute path; empty when it resolves to nothing.
std::string ResolveSerialDevice(std::wstring_view name, const SerialDeviceRoots& roots = {});

// The --list-ports text: one line per port from COM1 to COM12, for example
// "COM1: /dev/ttyUSB0" or "COM2: /tmp/pts (FIELDCAST_COM2)" or "COM3: -".
std::string SerialPortMapping(const SerialDeviceRoots& roots = {});

// Writes SerialPortMapping() to standard output (the --list-ports option).
void PrintSerialPortMapping();

}  // namespace platform
