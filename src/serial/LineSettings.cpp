#include "serial/LineSettings.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/Trace.h"

namespace serial {
namespace {

struct BaudEntry {
  int baud;
  speed_t speed;
};

// Every rate Linux termios names; the settings dialog offers only 50..38400,
// but the settings file may hold any of these.
constexpr BaudEntry kBaudTable[] = {
    {50, B50},         {75, B75},           {110, B110},         {134, B134},
    {150, B150},       {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},     {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},     {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000}, {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool DataBitsFlag(int dataBits, tcflag_t& flag) {
  switch (dataBits) {
    case 5: flag = CS5; return true;
    case 6: flag = CS6; return true;
    case 7: flag = CS7; return true;
    case 8: flag = CS8; return true;
    default: return false;
  }
}

bool ParityFlags(int parity, tcflag_t& flags) {
  switch (parity) {
    case kParityNone: flags = 0; return true;
    case kParityOdd: flags = PARENB | PARODD; return true;
    case kParityEven: flags = PARENB; return true;
    default: return false;
  }
}

// Linux can send one or two stop bits; 1.5 exists only on hardware that
// drives 5-bit characters and has no termios flag.
bool StopBitsFlag(int stopBits, tcflag_t& flag) {
  switch (stopBits) {
    case kStopBitsOne: flag = 0; return true;
    case kStopBitsTwo: flag = CSTOPB; return true;
    default: return false;
  }
}

void TraceFailure(const char* call) {
  platform::Trace(std::string("SerialPort: ") + call + " failed: " + std::strerror(errno) + "\n");
}

}  // namespace

bool BaudToSpeed(int baud, speed_t& speed) {
  for (const auto& entry : kBaudTable) {
    if (entry.baud == baud) {
      speed = entry.speed;
      return true;
    }
  }
  return false;
}

bool MakeRawAttributes(termios& attributes, const LineSettings& settings) {
  speed_t speed = B0;
  tcflag_t size = 0, parity = 0, stop = 0;
  if (!BaudToSpeed(settings.baud, speed) || !DataBitsFlag(settings.dataBits, size) ||
      !ParityFlags(settings.parity, parity) || !StopBitsFlag(settings.stopBits, stop)) {
    return false;
  }
  cfmakeraw(&attributes);
  attributes.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB);
  // CREAD to receive the receiver's NMEA output; CLOCAL because receiver
  // cables often carry no carrier-detect line, whose absence would otherwise
  // hang up the port. Hardware flow control stays as the driver had it.
  attributes.c_cflag |= size | parity | stop | CREAD | CLOCAL;
  // Reads never block in the driver: the port is non-blocking and waits with poll.
  attributes.c_cc[VMIN] = 0;
  attributes.c_cc[VTIME] = 0;
  return cfsetispeed(&attributes, speed) == 0 && cfsetospeed(&attributes, speed) == 0;
}

bool ApplyLineSettings(int fd, const LineSettings& settings) {
  termios attributes{};
  if (tcgetattr(fd, &attributes) != 0) {
    TraceFailure("tcgetattr");
    return false;
  }
  if (!MakeRawAttributes(attributes, settings)) {
    platform::Trace("SerialPort: line settings " + std::to_string(settings.baud) + " baud, " +
                    std::to_string(settings.dataBits) + " data bits, parity code " +
                    std::to_string(settings.parity) + ", stop-bits code " +
                    std::to_string(settings.stopBits) + " cannot be set on Linux\n");
    return false;
  }
  if (tcsetattr(fd, TCSANOW, &attributes) != 0) {
    TraceFailure("tcsetattr");
    return false;
  }
  // tcsetattr succeeds when any part was taken; a driver that cannot do the
  // rate keeps another one, which would garble every byte.
  termios applied{};
  if (tcgetattr(fd, &applied) != 0 || cfgetospeed(&applied) != cfgetospeed(&attributes)) {
    platform::Trace("SerialPort: the driver did not take " + std::to_string(settings.baud) +
                    " baud\n");
    return false;
  }
  return true;
}

}  // namespace serial
