#pragma once
// One TLS session over a connected, non-blocking descriptor. The peer's
// certificate must chain to a trusted CA (the system's, or those the
// standard SSL_CERT_FILE / SSL_CERT_DIR name, plus the --ca-file one) and
// name the host or IP address asked for; nothing below TLS 1.2 is spoken.
//
// Reads and writes may come from two threads (the stream and the position
// upload): every call into the session takes its mutex, and none of them
// blocks, so a reader waiting for data never holds a writer up.
#include <cstdint>
#include <mutex>
#include <string>

struct ssl_st;

namespace tls {

struct OpenSsl;

// An extra CA certificate file for a private caster ("" for none).
void SetExtraCaFile(const std::string& path);

class Session {
 public:
  enum Result { kWantRead = -2, kWantWrite = -3, kError = -1, kClosed = 0 };

  Session() = default;
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Handshakes on `fd` by `deadline` (in MonotonicMilliseconds). `host` is
  // the name or address the user gave. False with `problem` saying which
  // check failed.
  bool Handshake(int fd, const std::string& host, std::int64_t deadline, std::string& problem);
  // Bytes read or written (> 0), or one of Result.
  int Read(char* bytes, int size);
  int Write(const char* bytes, int size);
  // Whether data already read from the descriptor waits in the session, so
  // that the next Read needs no wait for the descriptor.
  bool HasPending();

 private:
  std::mutex m_mutex;
  const OpenSsl* m_api = nullptr;  // set with m_ssl
  ssl_st* m_ssl = nullptr;
  // SIGPIPE ignored by the process when the session began: its calls then
  // need not hold the signal back (four system calls each).
  bool m_bSigpipeIgnored = false;
};

}  // namespace tls
