#include "serial/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/SerialDevices.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "serial/LineSettings.h"
#include "serial/PortHolders.h"

namespace {

void TraceFailure(const std::string& what) {
  platform::Trace("SerialPort: " + what + " failed: " + std::strerror(errno) + "\n");
}

std::string ErrorText(int error) {
  char buffer[128];
  // The GNU strerror_r answers a pointer that need not be the buffer.
  return strerror_r(error, buffer, sizeof buffer);
}

// The device refused us because someone else has it.
bool MeansInUse(int error) { return error == EBUSY || error == EWOULDBLOCK; }

// Opens a terminal device for reading and writing, as the one user: flock
// keeps out a second opener of this program even when it runs as root, and
// TIOCEXCL keeps out other programs that do not use flock. -1 on failure,
// with `problem` saying why for the reason line.
//
// Whatever the path names is first opened only for reading and without
// becoming our controlling terminal, and must be a terminal: a file or a
// device that is no serial port is never opened for writing.
int OpenExclusive(const std::string& path, std::string& problem) {
  if (path.empty()) {
    problem = ErrorText(ENOENT);
    return -1;
  }
  auto fail = [&](const std::string& what, int error) {
    platform::Trace("SerialPort: " + what + " " + path + " failed: " + ErrorText(error) + "\n");
    problem = MeansInUse(error) ? serial::InUseReason(path) : ErrorText(error);
    return -1;
  };
  const int probe = open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (probe < 0) return fail("open", errno);
  struct stat probed {};
  if (!isatty(probe) || fstat(probe, &probed) != 0) {
    platform::Trace("SerialPort: " + path + " is not a serial device\n");
    close(probe);
    problem = "not a serial device";
    return -1;
  }
  // Another program's exclusive hold does not stop root from opening; honour
  // it anyway, and never clear it later with our own TIOCNXCL.
  int heldExclusively = 0;
  if (ioctl(probe, TIOCGEXCL, &heldExclusively) == 0 && heldExclusively != 0) {
    platform::Trace("SerialPort: " + path + " is in use\n");
    close(probe);
    problem = serial::InUseReason(path);
    return -1;
  }
  // The probe stays open meanwhile, so the line is not hung up in between.
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  const int openError = errno;
  close(probe);
  if (fd < 0) return fail("open for writing", openError);
  struct stat opened {};
  if (fstat(fd, &opened) != 0 || opened.st_dev != probed.st_dev || opened.st_ino != probed.st_ino) {
    platform::Trace("SerialPort: " + path + " was replaced while it was opened\n");
    close(fd);
    problem = "not a serial device";
    return -1;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0) {
    const int error = errno;
    close(fd);
    return fail("exclusive use of", error);
  }
  return fd;
}

// Lets others open the device again once we close it (the exclusive flag
// belongs to the device, not to our descriptor).
void CloseExclusive(int fd) {
  ioctl(fd, TIOCNXCL);
  close(fd);
}

}  // namespace

void SerialPort::SetParams(const std::wstring& name, int portNo, int baud, int dataBits,
                           int parity, int stopBits) {
  m_strName = name;
  m_nPortNo = portNo;
  m_nBaud = baud;
  m_nDataBits = dataBits;
  m_nParity = parity;
  m_nStopBits = stopBits;
}

bool SerialPort::FindDefaultPort() {
  for (int n = platform::kFirstSerialPort; n <= platform::kLastSerialPort; ++n) {
    const std::wstring name = L"COM" + std::to_wstring(n) + L":";
    if (Probe(name)) {
      m_strName = name;
      m_nPortNo = n;
      break;
    }
  }
  m_nBaud = 4800;
  m_nDataBits = 8;
  m_nParity = serial::kParityNone;
  m_nStopBits = serial::kStopBitsOne;
  return true;
}

bool SerialPort::Probe(const std::wstring& deviceName) {
  const int fd = OpenExclusive(platform::ResolveSerialDevice(deviceName), m_strOpenProblem);
  if (fd < 0) return false;
  tcflush(fd, TCIOFLUSH);
  CloseExclusive(fd);
  return true;
}

bool SerialPort::Open() {
  if (m_bOpen) return true;
  m_strOpenProblem.clear();
  const std::string path = platform::SerialDevicePath(m_nPortNo);
  if (path.empty()) {
    platform::Trace("SerialPort: no device for COM" + std::to_string(m_nPortNo) + "\n");
    m_strOpenProblem = ErrorText(ENOENT);
    return false;
  }
  const int fd = OpenExclusive(path, m_strOpenProblem);
  if (fd < 0) return false;
  // The driver's queue sizes are fixed on Linux (several kilobytes), so the
  // 500-byte queue request has nothing to set.
  const serial::LineSettings settings{m_nBaud, m_nDataBits, m_nParity, m_nStopBits};
  errno = 0;
  if (!serial::ApplyLineSettings(fd, settings)) {
    m_strOpenProblem = errno != 0 ? ErrorText(errno) : "the line settings cannot be set on this device";
    CloseExclusive(fd);
    return false;
  }
  tcflush(fd, TCIOFLUSH);
  if (!m_hPort.Adopt(fd)) {
    TraceFailure("taking the descriptor of " + path);
    m_strOpenProblem = "no descriptor left for " + path;
    return false;
  }
  m_bOpen = true;
  return true;
}

bool SerialPort::Close() {
  if (!m_bOpen.exchange(false)) return true;
  {
    serial::DeviceHandle::Use use(m_hPort);
    if (use) ioctl(use.fd(), TIOCNXCL);
  }
  m_hPort.Close();
  return true;
}

int SerialPort::BytesWaiting() {
  serial::DeviceHandle::Use use(m_hPort);
  if (!use) return 0;
  int waiting = 0;
  if (ioctl(use.fd(), FIONREAD, &waiting) != 0 || waiting < 0) return 0;
  return waiting;
}

int SerialPort::Read(char* destination, int limit) {
  if (destination == nullptr || limit <= 0) return 0;
  serial::DeviceHandle::Use use(m_hPort);
  if (!use) return 0;
  int waiting = 0;
  if (ioctl(use.fd(), FIONREAD, &waiting) != 0 || waiting <= 0) return 0;
  const ssize_t got = read(use.fd(), destination, static_cast<size_t>(std::min(limit, waiting)));
  if (got < 0) {
    // A failed read is nothing read: the caller must not take the
    // destination's old contents for data.
    TraceFailure("read");
    return 0;
  }
  return static_cast<int>(got);
}

void SerialPort::WaitForInput(int wake, std::chrono::milliseconds timeout) {
  serial::DeviceHandle::Use use(m_hPort);
  if (use) (void)use.WaitFor(POLLIN, wake, timeout);
}

void SerialPort::WaitForWake(int wake, std::chrono::milliseconds timeout) {
  serial::DeviceHandle::Use use(m_hPort);
  if (use) (void)use.WaitFor(0, wake, timeout);
}

SerialPort::WriteResult SerialPort::WriteRange(int offset, int length) {
  WriteResult result;
  if (offset < 0 || length <= 0 || offset > kBufferSize || length > kBufferSize - offset) {
    return result;
  }
  serial::DeviceHandle::Use use(m_hPort);
  if (!use) return result;
  const auto deadline = std::chrono::steady_clock::now() + kWriteWait;
  while (result.accepted < length) {
    const ssize_t n = write(use.fd(), m_buffer + offset + result.accepted,
                            static_cast<size_t>(length - result.accepted));
    if (n > 0) {
      result.accepted += static_cast<int>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) {
      TraceFailure("write");
      result.failed = true;
      break;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    if (use.WaitFor(POLLOUT, left) != serial::DeviceHandle::Wait::Ready) break;
  }
  return result;
}

int SerialPort::WriteBlock(int offset, int length) { return WriteRange(offset, length).accepted; }

int SerialPort::WriteAll() {
  if (!m_bOpen) return 0;
  if (m_count < 0 || m_count > kBufferSize) {
    platform::Trace("SerialPort: block of " + std::to_string(m_count) + " bytes not written\n");
    return 0;
  }
  WriteResult last = WriteRange(0, m_count);
  int written = last.accepted;
  int stalled = 0;
  while (written < m_count && !last.failed) {
    {
      serial::DeviceHandle::Use use(m_hPort);
      if (!use || !use.Pause(kRetryPause)) break;  // closed meanwhile
    }
    last = WriteRange(written, m_count - written);
    written += last.accepted;
    stalled = last.accepted == 0 ? stalled + 1 : 0;
    if (stalled >= m_nStalledRetries) {
      platform::Trace("SerialPort: the port took nothing for " + std::to_string(stalled) +
                      " attempts; " + std::to_string(written) + " of " +
                      std::to_string(m_count) + " bytes written\n");
      break;
    }
  }
  return written;
}

bool SerialPort::PurgeInput() {
  serial::DeviceHandle::Use use(m_hPort);
  return use && tcflush(use.fd(), TCIFLUSH) == 0;
}
