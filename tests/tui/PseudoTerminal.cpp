#include "tui/PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "support/WaitFor.h"

namespace testing_support {

namespace {

void SetSize(int fd, int columns, int rows) {
  winsize size{};
  size.ws_col = static_cast<unsigned short>(columns);
  size.ws_row = static_cast<unsigned short>(rows);
  ioctl(fd, TIOCSWINSZ, &size);
}

}  // namespace

PseudoTerminal::PseudoTerminal(int columns, int rows) {
  m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) return;
  const char* name = ptsname(m_master);
  if (!name) return;
  const int slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave < 0) return;
  SetSize(slave, columns, rows);
  // Two descriptors, so each FILE* can be closed on its own.
  m_input = fdopen(slave, "r");
  m_output = fdopen(dup(slave), "w");
  if (pipe2(m_stopPipe, O_CLOEXEC) != 0) return;
  m_reader = std::thread([this] { ReadLoop(); });
}

PseudoTerminal::~PseudoTerminal() {
  if (m_reader.joinable()) {
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = write(m_stopPipe[1], &byte, 1);
    m_reader.join();
  }
  for (int fd : m_stopPipe)
    if (fd >= 0) close(fd);
  if (m_input) fclose(m_input);
  if (m_output) fclose(m_output);
  if (m_master >= 0) close(m_master);
}

void PseudoTerminal::ReadLoop() {
  for (;;) {
    pollfd fds[2] = {{m_master, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents) return;
    if (!(fds[0].revents & POLLIN)) {
      if (fds[0].revents) return;  // hung up
      continue;
    }
    char buffer[4096];
    const ssize_t n = read(m_master, buffer, sizeof buffer);
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      return;
    }
    std::lock_guard lock(m_mutex);
    m_received.append(buffer, static_cast<size_t>(n));
  }
}

void PseudoTerminal::Type(const std::string& bytes) {
  [[maybe_unused]] const ssize_t written = write(m_master, bytes.data(), bytes.size());
}

void PseudoTerminal::Resize(int columns, int rows) {
  SetSize(m_master, columns, rows);
  // The test is not the terminal's session, so the kernel signals nobody.
  kill(getpid(), SIGWINCH);
}

void PseudoTerminal::HangUp() {
  if (m_reader.joinable()) {
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = write(m_stopPipe[1], &byte, 1);
    m_reader.join();
  }
  close(m_master);
  m_master = -1;
}

std::string PseudoTerminal::Output() const {
  std::lock_guard lock(m_mutex);
  return m_received;
}

bool PseudoTerminal::WaitForOutput(const std::string& text) const {
  return WaitFor([&] { return Output().find(text) != std::string::npos; });
}

void PseudoTerminal::ClearOutput() {
  std::lock_guard lock(m_mutex);
  m_received.clear();
}

}  // namespace testing_support
