#pragma once
// A caster that plays one script per connection: the first connection gets
// the first script, the second the second, and so on; connections past the
// end get the last one. A script is the reply pieces (sent apart, without
// Nagle's delay, so they arrive as separate reads), then close or hold.
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/ListeningSocket.h"

struct CasterScript {
  std::vector<std::string> pieces;  // none: accept, then close without a word
  bool hold = false;                // keep the connection open after the pieces
};

class ScriptedCaster {
 public:
  explicit ScriptedCaster(std::vector<CasterScript> scripts) : m_scripts(std::move(scripts)), m_thread([this] { Run(); }) {}
  ~ScriptedCaster() {
    m_stop = true;
    m_thread.join();
  }
  int port() const { return m_socket.port(); }
  int Connections() const { return m_connections; }
  std::vector<std::string> Requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
  }

 private:
  void Run() {
    while (!m_stop) {
      if (!m_socket.Accept(std::chrono::milliseconds(50))) continue;
      const int one = 1;
      (void)setsockopt(m_socket.clientFd(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      const CasterScript& script = m_scripts[std::min<size_t>(m_connections, m_scripts.size() - 1)];
      std::string request = m_socket.ReceiveUntil("\r\n\r\n");
      {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(std::move(request));
      }
      ++m_connections;
      for (const std::string& piece : script.pieces) {
        if (!m_socket.Send(piece)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
      while (script.hold && !m_stop) std::this_thread::sleep_for(std::chrono::milliseconds(20));
      m_socket.CloseClient();
    }
  }

  testing_support::ListeningSocket m_socket;
  std::vector<CasterScript> m_scripts;
  std::atomic<int> m_connections{0};
  mutable std::mutex m_mutex;
  std::vector<std::string> m_requests;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};
