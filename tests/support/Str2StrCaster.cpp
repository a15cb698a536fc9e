#include "support/Str2StrCaster.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "support/WaitFor.h"

namespace testing_support {

namespace {

// A port picked free can be taken by another test before str2str binds it;
// five fresh picks make a repeated collision practically impossible.
constexpr int kStartAttempts = 5;
// str2str listens within milliseconds; 10 s allows for a loaded machine.
constexpr std::chrono::milliseconds kListenDeadline{10000};

int ConnectLoopback(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return fd;
  if (fd >= 0) close(fd);
  return -1;
}

}  // namespace

bool IsListening(int port) {
  std::ifstream table("/proc/net/tcp");
  std::string line;
  std::getline(table, line);  // header
  while (std::getline(table, line)) {
    unsigned localPort = 0, state = 0;
    char local[64] = {}, remote[64] = {};
    // "  1: 00000000:697A 00000000:0000 0A ..."
    if (std::sscanf(line.c_str(), "%*d: %63s %63s %x", local, remote, &state) != 3) continue;
    const char* colon = std::strchr(local, ':');
    if (colon && std::sscanf(colon + 1, "%x", &localPort) == 1 && static_cast<int>(localPort) == port &&
        state == 0x0A) {
      return true;
    }
  }
  return false;
}

Str2StrCaster::Str2StrCaster(Str2StrOptions options) : m_options(std::move(options)) {}

Str2StrCaster::~Str2StrCaster() {
  if (m_feeder >= 0) close(m_feeder);
}

bool Str2StrCaster::Start() {
  for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
    if (StartOnce()) return true;
  }
  return false;
}

void Str2StrCaster::Kill() {
  m_process.reset();
  if (m_feeder >= 0) close(m_feeder);
  m_feeder = -1;
}

bool Str2StrCaster::Restart() {
  Kill();
  // The ports may linger a moment after the old process; try until they bind.
  return WaitFor([&] { return Launch(); });
}

bool Str2StrCaster::StartOnce() {
  m_process.reset();
  m_inputPort = PickFreePort();
  m_casterPort = PickFreePort();
  if (m_inputPort == m_casterPort) return false;
  return Launch();
}

bool Str2StrCaster::Launch() {
  std::string out = "ntripc://";
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about
  // adding a literal to a temporary string in optimised builds.
  if (!m_options.user.empty()) out.append(m_options.user).append(":").append(m_options.password).append("@");
  out.append(":").append(std::to_string(m_casterPort)).append("/").append(m_options.mountPoint);
  if (!m_options.entry.empty()) out.append(":").append(m_options.entry);
  m_process = std::make_unique<Process>(
      std::vector<std::string>{"str2str", "-in", std::string("tcpsvr://:").append(std::to_string(m_inputPort)), "-out", out},
      std::vector<std::string>{}, m_dir.File("str2str.log"));
  return WaitFor([&] { return !m_process->Running() || (IsListening(m_inputPort) && IsListening(m_casterPort)); },
                 kListenDeadline) &&
         m_process->Running();
}

bool Str2StrCaster::Feed(std::string_view bytes) {
  if (m_feeder < 0 && !WaitFor([&] { return (m_feeder = ConnectLoopback(m_inputPort)) >= 0; }, kListenDeadline)) {
    return false;
  }
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = send(m_feeder, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

std::string Str2StrCaster::Log() const { return ReadFileBytes(m_dir.File("str2str.log")); }

}  // namespace testing_support
