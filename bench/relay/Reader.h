#pragma once
// Reads the pty master on its own thread, stamps every read and hands the
// bytes to the verifier at once, so arrival times are the reads' times.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "Verifier.h"

namespace relay {

class Reader {
 public:
  explicit Reader(int master) : m_master(master) {}
  ~Reader() { Stop(); }
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  void Start();
  void Stop();  // the verifier is only safe to look at after this
  std::uint64_t Bytes() const { return m_bytes; }
  std::uint64_t LastReadNs() const { return m_lastReadNs; }
  // Waits until more than `seen` bytes have come or `wait` is over; the count now.
  std::uint64_t WaitBeyond(std::uint64_t seen, std::chrono::nanoseconds wait);
  Verifier& TheVerifier() { return m_verifier; }
  int ReadErrno() const { return m_errno; }

 private:
  void Loop();

  int m_master;
  std::thread m_thread;
  std::atomic<bool> m_stop{false};
  std::atomic<std::uint64_t> m_bytes{0};
  std::atomic<std::uint64_t> m_lastReadNs{0};
  std::atomic<int> m_errno{0};
  std::mutex m_mutex;
  std::condition_variable m_progress;
  Verifier m_verifier;
};

}  // namespace relay
