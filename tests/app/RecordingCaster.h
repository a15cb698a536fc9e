#pragma once
// A caster that accepts every request for a stream ("ICY 200 OK" and its
// line end, as an NTRIP 1 caster answers), sends the correction bytes given
// to it at a steady pace, and records every byte its client uploads, line
// by line with the time each line arrived.
#include <poll.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/ListeningSocket.h"

class RecordingCaster {
 public:
  struct Line {
    std::string text;  // with its CR LF
    int connection;    // 1 for the first accepted client
    std::chrono::steady_clock::time_point when;
  };

  // `stream`: sent in pieces of `pieceBytes` every `pause` to each client.
  explicit RecordingCaster(std::string stream = {}, size_t pieceBytes = 200,
                           std::chrono::milliseconds pause = std::chrono::milliseconds(50))
      : m_stream(std::move(stream)), m_nPiece(pieceBytes), m_pause(pause), m_thread([this] { Run(); }) {}
  ~RecordingCaster() {
    m_stop = true;
    m_thread.join();
  }
  int port() const { return m_socket.port(); }
  int Connections() const { return m_nConnections; }
  std::vector<Line> Lines() const {
    std::lock_guard lock(m_mutex);
    return m_lines;
  }
  // What a client sent after its request, all connections in order.
  std::string Uploaded() const {
    std::string all;
    for (const Line& line : Lines()) all += line.text;
    return all;
  }

 private:
  void Run() {
    while (!m_stop) {
      if (!m_socket.Accept(std::chrono::milliseconds(50))) continue;
      const int connection = ++m_nConnections;
      (void)m_socket.ReceiveUntil("\r\n\r\n");
      if (!m_socket.Send("ICY 200 OK\r\n")) continue;  // as str2str answers
      Serve(connection);
      m_socket.CloseClient();
    }
  }
  void Serve(int connection) {
    size_t sent = 0;
    std::string partial;
    auto nextPiece = std::chrono::steady_clock::now();
    while (!m_stop) {
      if (sent < m_stream.size() && std::chrono::steady_clock::now() >= nextPiece) {
        const size_t n = std::min(m_nPiece, m_stream.size() - sent);
        if (!m_socket.Send(std::string_view(m_stream).substr(sent, n))) return;
        sent += n;
        nextPiece += m_pause;
      }
      pollfd client{m_socket.clientFd(), POLLIN, 0};
      if (poll(&client, 1, 10) <= 0) continue;
      char bytes[512];
      const ssize_t got = recv(m_socket.clientFd(), bytes, sizeof bytes, 0);
      if (got <= 0) return;  // the client went away
      partial.append(bytes, static_cast<size_t>(got));
      for (size_t end = partial.find("\r\n"); end != std::string::npos; end = partial.find("\r\n")) {
        std::lock_guard lock(m_mutex);
        m_lines.push_back({partial.substr(0, end + 2), connection, std::chrono::steady_clock::now()});
        partial.erase(0, end + 2);
      }
    }
  }

  testing_support::ListeningSocket m_socket;
  std::string m_stream;
  size_t m_nPiece;
  std::chrono::milliseconds m_pause;
  mutable std::mutex m_mutex;
  std::vector<Line> m_lines;
  std::atomic<int> m_nConnections{0};
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};
