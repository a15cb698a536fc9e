#include "tui/PseudoTerminal.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "support/WaitFor.h"

namespace {

void SetSize(int fd, int columns, int rows) {
  winsize size{};
  size.ws_col = static_cast<unsigned short>(columns);
  size.ws_row = static_cast<unsigned short>(rows);
  ioctl(fd, TIOCSWINSZ, &size);
}

}  // namespace

PseudoTerminal::PseudoTerminal(int columns, int rows) {
  m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) return;
  const char* name = ptsname(m_master);
  const int slave = name ? open(name, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
  if (slave < 0) return;
  SetSize(slave, columns, rows);
  // Two descriptors, so that each FILE* closes its own.
  m_input = fdopen(slave, "r");
  m_output = fdopen(dup(slave), "w");
}

PseudoTerminal::~PseudoTerminal() {
  if (m_input) fclose(m_input);
  if (m_output) fclose(m_output);
  HangUp();
}

void PseudoTerminal::Type(const std::string& bytes) {
  [[maybe_unused]] const ssize_t written = write(m_master, bytes.data(), bytes.size());
}

void PseudoTerminal::Resize(int columns, int rows) {
  SetSize(m_master, columns, rows);
  kill(getpid(), SIGWINCH);
}

void PseudoTerminal::HangUp() {
  if (m_master >= 0) close(m_master);
  m_master = -1;
}

bool PseudoTerminal::WaitForOutput(const std::string& text) {
  return testing_support::WaitFor([&] {
    char buffer[4096];
    for (ssize_t n; m_master >= 0 && (n = read(m_master, buffer, sizeof buffer)) > 0;)
      m_received.append(buffer, static_cast<size_t>(n));
    return m_received.find(text) != std::string::npos;
  });
}
