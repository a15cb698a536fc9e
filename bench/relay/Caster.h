#pragma once
// A one-mount-point NTRIP caster on 127.0.0.1 with one event loop thread.
// It answers requests (stream or source table) and reads what a streaming
// client uploads; the stream itself is sent by the feeder straight on the
// client's socket, so nothing sits between the send stamp and the wire.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace relay {

class Caster {
 public:
  Caster() = default;
  ~Caster() { Stop(); }
  Caster(const Caster&) = delete;
  Caster& operator=(const Caster&) = delete;

  // Listens on 127.0.0.1 at a free port; `table` is the source table body.
  bool Start(const std::string& mountpoint, const std::string& table);
  void Stop();
  int Port() const { return m_port; }

  // The socket of the client that asked for the mount point (blocking,
  // TCP_NODELAY), or -1 when none came within `wait`.
  int WaitForStream(std::chrono::milliseconds wait);

  std::uint64_t StreamRequests() const { return m_streamRequests; }
  std::uint64_t TableRequests() const { return m_tableRequests; }
  std::uint64_t UploadedBytes() const { return m_uploaded; }

 private:
  struct Peer {
    int fd = -1;
    std::string request;
    bool streaming = false;
  };
  void Loop();
  // Returns false when the peer is done and its socket can go.
  bool OnReadable(Peer& peer);
  bool Answer(Peer& peer);

  std::string m_mountpoint;
  std::string m_table;
  int m_listen = -1;
  int m_wake[2] = {-1, -1};
  int m_port = 0;
  std::thread m_thread;
  std::vector<Peer> m_peers;
  std::vector<int> m_retired;  // shut down, closed at Stop: the feeder may still hold them
  std::mutex m_mutex;
  std::condition_variable m_streamReady;
  int m_streamFd = -1;
  std::atomic<std::uint64_t> m_streamRequests{0};
  std::atomic<std::uint64_t> m_tableRequests{0};
  std::atomic<std::uint64_t> m_uploaded{0};
};

}  // namespace relay
