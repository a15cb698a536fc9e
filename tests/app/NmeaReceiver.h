#pragma once
// Plays a GNSS receiver on the master side of a pseudo-terminal: writes a
// real NMEA capture epoch by epoch, one epoch a second as the receiver did,
// from the start again when it reaches the end.
#include <atomic>
#include <chrono>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/PtyPair.h"
#include "support/TempDir.h"

class NmeaReceiver {
 public:
  // The capture's epochs (its header dropped), each the lines from one
  // sentence of the first line's kind to the next, line ends kept. Lines
  // `keep` refuses are left out; epochs stay.
  static std::vector<std::string> Epochs(const std::string& captureName,
                                         const std::function<bool(const std::string&)>& keep = nullptr) {
    std::istringstream in(testing_support::ReadFileBytes(testing_support::TestDataPath("nmea/" + captureName)));
    std::vector<std::string> epochs;
    std::string first;
    for (std::string line; std::getline(in, line);) {
      if (line.empty() || line[0] != '$') continue;
      const std::string kind = line.substr(0, line.find(','));
      if (first.empty()) first = kind;
      if (kind == first || epochs.empty()) epochs.emplace_back();
      if (!keep || keep(line)) epochs.back() += line + "\n";
    }
    return epochs;
  }

  NmeaReceiver(testing_support::PtyPair& pty, std::vector<std::string> epochs,
               std::chrono::milliseconds period = std::chrono::seconds(1))
      : m_pty(pty), m_epochs(std::move(epochs)), m_period(period), m_thread([this] { Run(); }) {}
  ~NmeaReceiver() {
    m_stop = true;
    m_thread.join();
  }
  // Everything written so far.
  std::string Sent() const {
    std::lock_guard lock(m_mutex);
    return m_sent;
  }

 private:
  void Run() {
    for (size_t i = 0; !m_stop && !m_epochs.empty(); i = (i + 1) % m_epochs.size()) {
      (void)m_pty.WriteMaster(m_epochs[i], std::chrono::seconds(2));
      {
        std::lock_guard lock(m_mutex);
        m_sent += m_epochs[i];
      }
      const auto next = std::chrono::steady_clock::now() + m_period;
      while (!m_stop && std::chrono::steady_clock::now() < next) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  testing_support::PtyPair& m_pty;
  std::vector<std::string> m_epochs;
  std::chrono::milliseconds m_period;
  mutable std::mutex m_mutex;
  std::string m_sent;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};
