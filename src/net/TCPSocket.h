#pragma once
// The one TCP connection of the program: the connection to the caster.
//
// Threading: the reception thread, the output thread and the user-interface
// thread all use the one instance. `m_mutex` is for the callers, who take it
// around whole steps; the class itself only guards its descriptor. `Close` may
// be called from any thread while another waits in `recvMsg`: it wakes the
// waiter at once (shutdown) and the descriptor is released only when the
// last call using it has returned, so a reused descriptor number is never
// read or written by a call that started on the old connection. A TLS
// session belongs to the connection the same way, and its reads wait in
// poll like plain ones, so Close wakes them and the deadlines hold.
#include <netinet/in.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Mutex.h"
#include "net/ReplyBody.h"

class TCPSocket {
 public:
  // One receive block and the request being built share this buffer; 500
  // bytes is the largest block the output thread hands to the port at once.
  static constexpr int kBufferSize = 500;
  // A caster that has not accepted the connection within 10 s is treated as
  // unreachable; 20 s of silence on an open stream means it is gone.
  static constexpr int kConnectWaitSeconds = 10;
  static constexpr int kReceiveWaitSeconds = 20;

  TCPSocket() = default;
  virtual ~TCPSocket();
  TCPSocket(const TCPSocket&) = delete;
  TCPSocket& operator=(const TCPSocket&) = delete;

  // A fresh stream socket for `host` (an IPv4 or IPv6 address as text;
  // anything else gives the "none" address, whose connect then fails) and `port`.
  [[nodiscard]] bool CreateSocket(const char* host, int port);
  // Close, CreateSocket, connect, wait up to kConnectWaitSeconds.
  [[nodiscard]] bool Connect(const char* host, int port);
  // Tries each address in turn until one accepts; all of them share the
  // one kConnectWaitSeconds.
  [[nodiscard]] bool ConnectAny(const std::vector<std::string>& hosts, int port);
  // Speaks TLS on the open connection, checking the certificate against
  // `host`, within kConnectWaitSeconds. False with the failed check in
  // `problem`; the connection is then closed.
  [[nodiscard]] bool StartTls(const std::string& host, std::string& problem);
  // From here on receives hand on only the body's payload: framing is
  // removed and the end of the body reads as a closed connection.
  // `afterHead` is what came with the reply head; its payload is answered.
  std::string BeginBody(ReplyBody body, std::string_view afterHead);
  // Why the last receive ended the body early ("" when the framing was sound).
  const std::string& BodyProblem() const { return m_strBodyProblem; }
  // Appends what arrives within `wait` to `out`, up to kBufferSize bytes,
  // unframed. False when nothing came or the peer closed.
  [[nodiscard]] bool recvAppend(std::string& out, std::chrono::milliseconds wait);
  void Close();
  // Ends the connection but keeps it as the current one: a thread waiting
  // in recvMsg wakes with a failed receive and handles the loss itself.
  void Shutdown();
  // Waits up to `waitSeconds` for data, then receives up to kBufferSize bytes
  // into m_buffer (zero-terminated, count in m_len). Nothing within the wait:
  // false, buffer and count untouched. Peer closed or error: false, m_len 0.
  [[nodiscard]] bool recvMsg(int waitSeconds = kReceiveWaitSeconds);
  // Waits up to `wait` for more data and appends it to m_buffer after m_len,
  // as much as the buffer has room for. False when nothing came, the peer
  // closed or the buffer is full; what the buffer held stays.
  [[nodiscard]] bool recvMore(std::chrono::milliseconds wait);
  // Sends the first m_len bytes of m_buffer; true when all were sent.
  [[nodiscard]] bool sendMsg();
  [[nodiscard]] bool Send(const char* bytes, int length);
  // True when the socket became ready (or the wait itself failed, so that the
  // following receive or connect check decides); false when time ran out.
  [[nodiscard]] bool WaitReadable(int seconds);
  // True at once when received data waits to be handed on (decoded payload,
  // TLS records read ahead), else when the socket becomes readable within
  // `wait`. Also true without a connection: the receive that follows says so.
  [[nodiscard]] bool WaitForData(std::chrono::milliseconds wait);
  [[nodiscard]] bool WaitReadWrite(int seconds);

  // Members in the order the program's other parts know them. The socket
  // handle is shared with the calls that use it: its descriptor is closed
  // when the last of them lets go.
 private:
  class Handle;
  std::shared_ptr<Handle> m_hSocket;  // guarded by m_handleMutex

 public:
  sockaddr_storage m_addr{};
  char m_buffer[kBufferSize + 1] = {};
  std::int32_t m_len = 0;
  std::atomic<bool> m_bConnected{false};
  CMutex m_mutex;
  // Why the last Connect or recvMsg failed, for the log: the system's error
  // number (ETIMEDOUT when the wait ran out), 0 when the caster closed.
  std::atomic<int> m_nLastError{0};

 private:
  std::shared_ptr<Handle> CurrentHandle();
  bool Wait(short events, int seconds);
  bool SendAll(const char* bytes, int length);
  bool ConnectOne(const char* host, int port, std::int64_t deadline);
  // Bytes read (> 0), 0 when the peer closed, -1 on an error, -2 when
  // nothing came by `deadline`.
  // `deadline` is in MonotonicMilliseconds.
  static int ReadSome(Handle& handle, char* bytes, int size, std::int64_t deadline, int& error);

  std::string m_strBodyProblem;  // the receiving thread's

  std::mutex m_handleMutex;
};
