#include "framework/tui/InputWake.h"

#include <fcntl.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <iterator>

namespace {

// The handler sees only these: a signal handler cannot reach an object.
// The pipe lives as long as the process: a handler running on another thread
// while a display shuts down must never write into a descriptor number that
// has meanwhile been closed and reused.
std::atomic<int> s_wakeFd{-1};
int s_pipeRead = -1;
struct sigaction s_previous {};
// The signals that end the program as Exit does, and their handlers before.
constexpr int kExitSignals[] = {SIGHUP, SIGTERM, SIGINT};
struct sigaction s_previousExit[std::size(kExitSignals)] {};
std::atomic<bool> s_exitSignalled{false};

bool OpenPipeOnce() {
  if (s_pipeRead >= 0) return true;
  int ends[2];
  if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0) return false;
  s_pipeRead = ends[0];
  s_wakeFd.store(ends[1]);
  return true;
}

void WakeTheLoop() {
  const int fd = s_wakeFd.load();
  if (fd >= 0) {
    const char byte = 1;
    // A full pipe already holds a wake-up; nothing is lost by dropping this one.
    [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
  }
}

void OnWindowChange(int signal, siginfo_t* info, void* context) {
  const int savedErrno = errno;
  WakeTheLoop();
  if (s_previous.sa_flags & SA_SIGINFO) {
    if (s_previous.sa_sigaction) s_previous.sa_sigaction(signal, info, context);
  } else if (s_previous.sa_handler != SIG_DFL && s_previous.sa_handler != SIG_IGN) {
    s_previous.sa_handler(signal);
  }
  errno = savedErrno;
}

// SIGHUP (the SSH session dropped), SIGTERM (a shutdown) and SIGINT must end
// the program the way Exit does, the stream stopped and the settings saved,
// instead of killing it: the loop sees the flag on waking.
void OnExitSignal(int) {
  const int savedErrno = errno;
  s_exitSignalled.store(true);
  WakeTheLoop();
  errno = savedErrno;
}

bool Watch(int epollFd, int fd) {
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.fd = fd;
  return epoll_ctl(epollFd, EPOLL_CTL_ADD, fd, &event) == 0;
}

}  // namespace

bool InputWake::Start(int inputFd) {
  Stop();
  if (!OpenPipeOnce()) return false;
  m_epollFd = epoll_create1(EPOLL_CLOEXEC);
  if (m_epollFd < 0 || !Watch(m_epollFd, inputFd) || !Watch(m_epollFd, s_pipeRead)) {
    Stop();
    return false;
  }
  m_inputFd = inputFd;
  Drain();
  struct sigaction action {};
  action.sa_sigaction = OnWindowChange;
  action.sa_flags = SA_SIGINFO | SA_RESTART;
  sigemptyset(&action.sa_mask);
  if (sigaction(SIGWINCH, &action, &s_previous) != 0) {
    Stop();
    return false;
  }
  m_handlerInstalled = true;
  struct sigaction exitAction {};
  exitAction.sa_handler = OnExitSignal;
  exitAction.sa_flags = SA_RESTART;
  sigemptyset(&exitAction.sa_mask);
  for (size_t i = 0; i < std::size(kExitSignals); ++i) sigaction(kExitSignals[i], &exitAction, &s_previousExit[i]);
  m_exitHandlersInstalled = true;
  return true;
}

bool InputWake::TakeExitSignal() { return s_exitSignalled.exchange(false); }

void InputWake::Stop() {
  if (m_handlerInstalled) sigaction(SIGWINCH, &s_previous, nullptr);
  m_handlerInstalled = false;
  if (m_exitHandlersInstalled)
    for (size_t i = 0; i < std::size(kExitSignals); ++i) sigaction(kExitSignals[i], &s_previousExit[i], nullptr);
  m_exitHandlersInstalled = false;
  if (m_epollFd >= 0) close(m_epollFd);
  m_epollFd = -1;
  m_inputFd = -1;
}

void InputWake::ForgetInput() {
  if (m_epollFd >= 0 && m_inputFd >= 0) epoll_ctl(m_epollFd, EPOLL_CTL_DEL, m_inputFd, nullptr);
  m_inputFd = -1;
}

void InputWake::Drain() {
  if (s_pipeRead < 0) return;
  char buffer[64];
  while (read(s_pipeRead, buffer, sizeof buffer) > 0) {
  }
}
