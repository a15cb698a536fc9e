#pragma once
// A hostile caster on 127.0.0.1: after each request it runs the test's
// script, which may trickle, flood or fall silent, or replays a recorded
// reply in pieces, then closes. It keeps every request and tells whether it
// is still sending, so a test can see that the client gave up before the
// caster did.
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/ListeningSocket.h"

namespace testing_support {

// A reply as pieces sent apart (each arrives as a read of its own), then a
// close or, with hold, an open connection that says no more.
struct CasterScript {
  std::vector<std::string> pieces;  // none: accept, then close without a word
  bool hold = false;
};

class ScriptedCaster {
 public:
  // What a script may do with its client.
  class Client {
   public:
    explicit Client(ScriptedCaster& caster) : m_caster(caster) {}
    // 0 for the first connection, 1 for the second, ...
    int Connection() const { return m_caster.m_connections - 1; }
    // False once the client has gone or the caster is being destroyed.
    bool Send(std::string_view bytes) { return !m_caster.m_stop && m_caster.m_socket.Send(bytes); }
    // Waits, but returns early (false) when the caster is being destroyed.
    bool Pause(std::chrono::milliseconds wait) {
      const auto end = std::chrono::steady_clock::now() + wait;
      while (!m_caster.m_stop && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      return !m_caster.m_stop;
    }
    // Says nothing until the client hangs up (or the deadline passes).
    void AwaitHangUp(std::chrono::milliseconds deadline) { (void)m_caster.m_socket.ReceiveAll(deadline); }
    // Ends the connection with a reset, as a caster that crashes does.
    void Reset() {
      const linger abort{1, 0};
      (void)setsockopt(m_caster.m_socket.clientFd(), SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
      m_caster.m_socket.CloseClient();
    }

   private:
    ScriptedCaster& m_caster;
  };
  using Script = std::function<void(Client&)>;

  explicit ScriptedCaster(Script script) : m_script(std::move(script)), m_thread([this] { Run(); }) {}
  // Listening on ::1 instead of 127.0.0.1.
  ScriptedCaster(Script script, bool ipv6)
      : m_socket(ipv6), m_script(std::move(script)), m_thread([this] { Run(); }) {}
  // One reply per connection, in order; connections past the end get the last.
  explicit ScriptedCaster(std::vector<CasterScript> replies) : ScriptedCaster(Play(std::move(replies))) {}
  ~ScriptedCaster() {
    m_stop = true;
    m_thread.join();
  }
  ScriptedCaster(const ScriptedCaster&) = delete;
  ScriptedCaster& operator=(const ScriptedCaster&) = delete;

  int port() const { return m_socket.port(); }
  // A version 2 reply: the head, then `body` in chunks of random sizes up
  // to `maxChunk`, each written in pieces so that chunks are split across
  // TCP segments. False once the client has gone.
  static bool SendChunked(Client& client, std::string_view body, std::size_t maxChunk, unsigned seed = 1) {
    if (!client.Send("HTTP/1.1 200 OK\r\nContent-Type: gnss/data\r\nTransfer-Encoding: chunked\r\n\r\n"))
      return false;
    std::mt19937 random(seed);
    for (std::size_t at = 0; at < body.size();) {
      const std::size_t size = std::min<std::size_t>(1 + random() % maxChunk, body.size() - at);
      char line[32];
      std::snprintf(line, sizeof line, "%zx\r\n", size);
      const std::string chunk = line + std::string(body.substr(at, size)) + "\r\n";
      const std::size_t cut = random() % (chunk.size() + 1);
      if (!client.Send(std::string_view(chunk).substr(0, cut)) ||
          !client.Pause(std::chrono::milliseconds(random() % 3)) || !client.Send(std::string_view(chunk).substr(cut)))
        return false;
      at += size;
    }
    return true;
  }

  int Connections() const { return m_connections; }
  std::vector<std::string> Requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
  }
  // Whether a script is running for a client right now.
  bool Sending() const { return m_sending; }
  // Whether a script ran to its end (or its client went away) at least once.
  bool Finished() const { return m_finished; }

 private:
  static Script Play(std::vector<CasterScript> replies) {
    return [replies = std::move(replies)](Client& client) {
      const CasterScript& reply = replies[std::min<size_t>(client.Connection(), replies.size() - 1)];
      for (const std::string& piece : reply.pieces)
        if (!client.Send(piece) || !client.Pause(std::chrono::milliseconds(50))) return;
      while (reply.hold && client.Pause(std::chrono::milliseconds(20))) {
      }
    };
  }

  void Run() {
    while (!m_stop) {
      if (!m_socket.Accept(std::chrono::milliseconds(50))) continue;
      const int one = 1;  // no Nagle delay: pieces sent apart arrive apart
      (void)setsockopt(m_socket.clientFd(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      const std::string request = m_socket.ReceiveUntil("\r\n\r\n");
      {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
      }
      ++m_connections;
      m_sending = true;
      Client client(*this);
      m_script(client);
      m_socket.CloseClient();
      m_sending = false;
      m_finished = true;
    }
  }

  ListeningSocket m_socket;
  Script m_script;
  mutable std::mutex m_mutex;
  std::vector<std::string> m_requests;
  std::atomic<int> m_connections{0};
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_sending{false};
  std::atomic<bool> m_finished{false};
  std::thread m_thread;
};

}  // namespace testing_support
