#pragma once
// A real NTRIP caster for tests: RTKLIB's str2str on 127.0.0.1,
//   str2str -in tcpsvr://:IN -out ntripc://[user:pass@]:PORT/MOUNT[:entry]
// The test feeds stream bytes into IN; clients connect to PORT. str2str cannot
// bind port 0, so free ports are picked and the start is retried when one of
// them was taken meanwhile. The process is killed with its group at the end.
#include <memory>
#include <string>
#include <string_view>

#include "support/Process.h"
#include "support/TempDir.h"

namespace testing_support {

struct Str2StrOptions {
  std::string user;      // empty: no credentials asked
  std::string password;
  std::string mountPoint = "MP1";
  std::string entry;     // text after "STR;MOUNT;" in the source table, optional
};

// The stream most tests serve: RTCM 3 relayed under MP1, no position wanted.
inline constexpr char kRelayEntry[] = "relay;RTCM 3.2;1004(1);2;GPS+GLO;TEST;XXX;50.00;8.00;0;0;gen;none;N;N;9600;test";
inline Str2StrOptions RelayOptions(std::string user = {}, std::string password = {}) {
  return {std::move(user), std::move(password), "MP1", kRelayEntry};
}
// A source table of one stream.
inline std::string OneStreamTable(const std::string& entry = kRelayEntry, const std::string& mountPoint = "MP1") {
  return "STR;" + mountPoint + ";" + entry + "\r\nENDSOURCETABLE\r\n";
}

class Str2StrCaster {
 public:
  explicit Str2StrCaster(Str2StrOptions options = {});
  ~Str2StrCaster();
  Str2StrCaster(const Str2StrCaster&) = delete;
  Str2StrCaster& operator=(const Str2StrCaster&) = delete;

  // Starts str2str and waits until both ports listen.
  bool Start();
  int casterPort() const { return m_casterPort; }
  int inputPort() const { return m_inputPort; }
  // Kills the caster (its clients lose their connection) and starts it again
  // on the same ports, as a caster that goes down and comes back.
  void Kill();
  bool Restart();
  // Writes bytes into IN over one feeder connection kept open between calls.
  bool Feed(std::string_view bytes);
  // str2str's own output, for failure messages.
  std::string Log() const;

 private:
  bool StartOnce();
  bool Launch();

  Str2StrOptions m_options;
  TempDir m_dir;
  std::unique_ptr<Process> m_process;
  int m_casterPort = 0;
  int m_inputPort = 0;
  int m_feeder = -1;
};

// True when a TCP socket listens on `port` (any local address), from
// /proc/net/tcp, so probing never opens a connection the server would see.
bool IsListening(int port);

}  // namespace testing_support
