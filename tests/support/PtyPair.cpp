#include "support/PtyPair.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace testing_support {
namespace {

int MillisecondsUntil(std::chrono::steady_clock::time_point end) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

PtyPair::PtyPair() {
  m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m_master < 0) return;
  char name[128];
  if (grantpt(m_master) != 0 || unlockpt(m_master) != 0 ||
      ptsname_r(m_master, name, sizeof name) != 0) {
    CloseMaster();
    return;
  }
  fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
  m_slavePath = name;
  m_slave = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (m_slave >= 0) {
    // Raw from the start, so bytes the test writes before the program
    // configured the port are not echoed or translated.
    termios attributes{};
    tcgetattr(m_slave, &attributes);
    cfmakeraw(&attributes);
    tcsetattr(m_slave, TCSANOW, &attributes);
  }
}

PtyPair::~PtyPair() {
  CloseSlave();
  CloseMaster();
}

bool PtyPair::WriteMaster(std::string_view bytes, std::chrono::milliseconds deadline) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!bytes.empty()) {
    const ssize_t n = write(m_master, bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
    pollfd fd{m_master, POLLOUT, 0};
    if (poll(&fd, 1, MillisecondsUntil(end)) == 0) return false;
  }
  return true;
}

std::string PtyPair::ReadMaster(size_t count, std::chrono::milliseconds deadline) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  std::string got;
  while (got.size() < count) {
    char chunk[4096];
    const size_t want = std::min(sizeof chunk, count - got.size());
    const ssize_t n = read(m_master, chunk, want);
    if (n > 0) {
      got.append(chunk, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) break;
    pollfd fd{m_master, POLLIN, 0};
    if (poll(&fd, 1, MillisecondsUntil(end)) == 0) break;
  }
  return got;
}

std::string PtyPair::ReadMasterAvailable() {
  std::string got;
  char chunk[4096];
  ssize_t n;
  while ((n = read(m_master, chunk, sizeof chunk)) > 0) got.append(chunk, static_cast<size_t>(n));
  return got;
}

void PtyPair::CloseMaster() {
  if (m_master >= 0) close(m_master);
  m_master = -1;
}

void PtyPair::StopTakingBytes() {
  if (m_slave >= 0) tcflow(m_slave, TCOOFF);
}

void PtyPair::CloseSlave() {
  if (m_slave >= 0) close(m_slave);
  m_slave = -1;
}

}  // namespace testing_support
