#pragma once
// A plain TCP listener on 127.0.0.1 with an ephemeral port: stands in for a
// caster when a test wants to see exactly what a client sends, or to answer
// with bytes of its own choosing. One client at a time.
#include <chrono>
#include <string>
#include <string_view>

#include "support/WaitFor.h"

namespace testing_support {

class ListeningSocket {
 public:
  ListeningSocket();  // binds 127.0.0.1 port 0 and listens; port() is 0 on failure
  // On ::1 instead when `ipv6` is set.
  explicit ListeningSocket(bool ipv6);
  ~ListeningSocket();
  ListeningSocket(const ListeningSocket&) = delete;
  ListeningSocket& operator=(const ListeningSocket&) = delete;

  int port() const { return m_port; }
  // Waits for the next client (dropping any previous one).
  bool Accept(std::chrono::milliseconds deadline = kGenerousDeadline);
  // Reads from the client until what arrived contains `terminator`, the
  // client closes, or the deadline passes; answers everything read so far.
  std::string ReceiveUntil(std::string_view terminator,
                           std::chrono::milliseconds deadline = kGenerousDeadline);
  // Reads until the client closes (or the deadline passes).
  std::string ReceiveAll(std::chrono::milliseconds deadline = kGenerousDeadline);
  bool Send(std::string_view bytes);
  void CloseClient();
  int clientFd() const { return m_client; }

 private:
  int m_listener = -1;
  int m_client = -1;
  int m_port = 0;
  std::string m_pending;  // read past a terminator, handed out next time
};

}  // namespace testing_support
