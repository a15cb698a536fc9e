#pragma once
// SerialPort: the one COM port to which the GNSS receiver is attached. The
// output thread writes the correction stream through it, the GGA capture reads
// NMEA text through it. Every transfer goes through the 500-byte m_buffer.
//
// Threading: the object takes no lock for its users; they hold m_mutex around
// opening, a read step, a write step and closing. BytesWaiting and m_bOpen are
// used without the lock, and Close may come from another thread while a write
// waits: every call borrows the descriptor (DeviceHandle), so a closed port's
// descriptor is never used again, and a waiting write returns at once.
#include <atomic>
#include <chrono>
#include <string>

#include "framework/Mutex.h"
#include "serial/DeviceHandle.h"

class SerialPort {
 public:
  // A stream block is at most 500 bytes, so one block always fits.
  static constexpr int kBufferSize = 500;
  // How long one write waits for the port to take more (milliseconds).
  static constexpr std::chrono::milliseconds kWriteWait{500};
  // Pause between the attempts of WriteAll to finish a block (milliseconds).
  static constexpr std::chrono::milliseconds kRetryPause{1000};
  // WriteAll gives up after this many attempts in a row that took no byte.
  // Each costs at least the one-second pause, so a stalled port is given up
  // after 20 to 30 seconds: past the output thread's 20-second limit per
  // block, which then reports the port as too slow.
  static constexpr int kStalledRetries = 20;

  SerialPort() = default;
  ~SerialPort() { Close(); }
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Stores the settings for the next Open; an open port keeps its settings.
  void SetParams(const std::wstring& name, int portNo, int baud, int dataBits, int parity,
                 int stopBits);
  // Takes the first of COM1..COM12 that opens as m_strName ("COMn:") and
  // m_nPortNo, then sets 4800 baud, 8 data bits, no parity, one stop bit
  // whether or not one was found. Always true.
  bool FindDefaultPort();
  // True when the device ("COMn:" or an absolute path) opens exclusively as a
  // terminal; its queues are discarded and it is closed again.
  [[nodiscard]] bool Probe(const std::wstring& deviceName);
  // Opens "COMn:" with n = m_nPortNo exclusively, raw, with the line
  // settings. True at once when already open; false when the device is
  // missing or busy or a setting cannot be done (unknown baud, 1.5 stop bits).
  [[nodiscard]] bool Open();
  // Why the last Open or Probe failed, for a person: "No such file or
  // directory", "not a serial device", "in use by process 812 (minicom)"...
  const std::string& OpenProblem() const { return m_strOpenProblem; }
  // Closes the port (waking a write that waits on it). Always true.
  bool Close();
  // Bytes in the driver's input queue; 0 when closed or on failure.
  [[nodiscard]] int BytesWaiting();
  // Reads min(limit, waiting) bytes into `destination` without blocking;
  // the count read, 0 when nothing waits, the port is closed or the read fails.
  [[nodiscard]] int Read(char* destination, int limit);
  // Waits without the lock until the receiver sent something, `wake` (another
  // thread's wake-up descriptor, -1: none) is readable, the port closes or
  // `timeout` passed (negative: no limit).
  void WaitForInput(int wake, std::chrono::milliseconds timeout);
  // The same without watching the input: `wake`, the close or the timeout.
  void WaitForWake(int wake, std::chrono::milliseconds timeout);
  // Writes `length` bytes of m_buffer from `offset`, waiting up to
  // kWriteWait for the port to take them; the count it took (0 for a range
  // outside m_buffer, a closed port or a failed write).
  [[nodiscard]] int WriteBlock(int offset, int length);
  // Writes the m_count bytes of m_buffer completely, pausing kRetryPause
  // between attempts. Returns m_count when done; fewer (possibly 0) when the
  // port took nothing for m_nStalledRetries attempts in a row, a write failed,
  // the port was closed meanwhile or m_count lies outside 0..500. 0 when the
  // port is not open. Callers compare the result with m_count.
  [[nodiscard]] int WriteAll();
  // Discards the driver's input queue; false when closed or on failure.
  bool PurgeInput();

  CMutex m_mutex;
  char m_buffer[kBufferSize] = {};
  int m_count = 0;
  std::wstring m_strName;
  int m_nPortNo = 0;
  int m_nBaud = 0;
  int m_nDataBits = 0;
  int m_nParity = 0;    // 0 none, 1 odd, 2 even
  int m_nStopBits = 0;  // 0 one, 1 one and a half (refused on Linux), 2 two
  // Read by other threads without the lock.
  std::atomic<bool> m_bOpen{false};
  // WriteAll's patience with a port that takes nothing (kStalledRetries);
  // a caller that wants a shorter bound lowers it before writing.
  int m_nStalledRetries = kStalledRetries;

 private:
  struct WriteResult {
    int accepted = 0;
    bool failed = false;  // the port reported an error, waiting more is pointless
  };
  WriteResult WriteRange(int offset, int length);

  std::string m_strOpenProblem;
  // The open device (the descriptor and what wakes its waiters).
  serial::DeviceHandle m_hPort;
};
