// Clicks reach a program in tmux only through a client's terminal: send-keys
// cannot make them. The client runs on a pseudo-terminal of its own.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "support/Tmux.h"

namespace testing_support {
namespace {

// Reads what the client draws until it has been quiet for `quiet`.
void DrainUntilQuiet(int master, std::chrono::milliseconds quiet) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  char buffer[4096];
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd entry{master, POLLIN, 0};
    if (poll(&entry, 1, static_cast<int>(quiet.count())) != 1) return;
    if (read(master, buffer, sizeof buffer) <= 0) return;
  }
}

}  // namespace

void Tmux::Click(int column, int row) {
  Run("set-option -g status off");
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
  const std::string slave = ptsname(master);
  winsize size{24, 80, 0, 0};
  ioctl(master, TIOCSWINSZ, &size);
  const pid_t pid = fork();
  if (pid == 0) {
    setsid();
    const int fd = open(slave.c_str(), O_RDWR);
    if (fd < 0) _exit(127);
    ioctl(fd, TIOCSCTTY, 0);
    dup2(fd, 0);
    dup2(fd, 1);
    dup2(fd, 2);
    setenv("TERM", "xterm-256color", 1);
    execlp("tmux", "tmux", "-L", m_socket.c_str(), "attach", "-t", "0", static_cast<char*>(nullptr));
    _exit(127);
  }
  DrainUntilQuiet(master, std::chrono::milliseconds(300));
  const std::string cell = std::to_string(column + 1) + ";" + std::to_string(row + 1);
  const std::string report = "\x1b[<0;" + cell + "M\x1b[<0;" + cell + "m";
  (void)!write(master, report.data(), report.size());
  DrainUntilQuiet(master, std::chrono::milliseconds(300));
  if (pid > 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  close(master);
}

}  // namespace testing_support
