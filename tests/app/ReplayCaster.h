#pragma once
// A caster that answers every request with a recorded reply, sent in the
// pieces the test chooses (TCP_NODELAY, a pause between pieces so they
// arrive as separate reads), then closes or keeps the connection open.
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/ListeningSocket.h"

class ReplayCaster {
 public:
  enum class After { Close, Hold };
  ReplayCaster(std::vector<std::string> pieces, After after = After::Close)
      : m_pieces(std::move(pieces)), m_after(after), m_thread([this] { Run(); }) {}
  ~ReplayCaster() {
    m_stop = true;
    m_thread.join();
  }
  int port() const { return m_socket.port(); }
  std::string LastRequest() const { return m_request; }

 private:
  void Run() {
    while (!m_stop) {
      if (!m_socket.Accept(std::chrono::milliseconds(50))) continue;
      m_request = m_socket.ReceiveUntil("\r\n\r\n");
      for (const std::string& piece : m_pieces) {
        if (!m_socket.Send(piece)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
      }
      while (m_after == After::Hold && !m_stop) std::this_thread::sleep_for(std::chrono::milliseconds(20));
      m_socket.CloseClient();
    }
  }

  testing_support::ListeningSocket m_socket;
  std::vector<std::string> m_pieces;
  After m_after;
  std::string m_request;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};
