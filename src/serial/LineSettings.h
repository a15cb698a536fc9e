#pragma once
// Line settings of the receiver port in termios terms. A serial driver refuses
// settings it cannot do; termios silently adjusts instead, so everything it
// cannot express is refused here, before the port is touched.
#include <termios.h>

namespace serial {

// The program's codes, as the COM-port settings produce them.
enum ParityCode { kParityNone = 0, kParityOdd = 1, kParityEven = 2 };
enum StopBitsCode { kStopBitsOne = 0, kStopBitsOneAndHalf = 1, kStopBitsTwo = 2 };

struct LineSettings {
  int baud = 4800;
  int dataBits = 8;
  int parity = kParityNone;
  int stopBits = kStopBitsOne;
};

// The termios speed constant for a baud rate; false when termios has none
// (for example 14400, which an edited settings file may hold).
[[nodiscard]] bool BaudToSpeed(int baud, speed_t& speed);

// Makes `attributes` raw (no echo, no line editing, no character
// translation: the correction stream is binary) with the given line settings.
// False, leaving `attributes` unspecified, for anything termios cannot
// express: an unknown baud rate, data bits outside 5..8, a parity code other
// than none/odd/even, or 1.5 stop bits.
[[nodiscard]] bool MakeRawAttributes(termios& attributes, const LineSettings& settings);

// Reads the port's attributes, makes them raw with the settings and writes
// them back; false (with a trace line naming the failing call and errno)
// when a call fails or the driver did not take the speed.
[[nodiscard]] bool ApplyLineSettings(int fd, const LineSettings& settings);

}  // namespace serial
