#include "support/Process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace testing_support {

Process::Process(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                 const std::string& logPath) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  m_pid = fork();
  if (m_pid < 0) throw std::runtime_error("fork failed");
  if (m_pid == 0) {
    setpgid(0, 0);
    for (const auto& e : env) putenv(const_cast<char*>(e.c_str()));
    const int devnull = open("/dev/null", O_RDONLY);
    if (devnull >= 0) dup2(devnull, 0);
    if (!logPath.empty()) {
      const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
      if (log >= 0) {
        dup2(log, 1);
        dup2(log, 2);
      }
    }
    execvp(args[0], args.data());
    _exit(127);
  }
  setpgid(m_pid, m_pid);
}

Process::~Process() { Kill(); }

bool Process::Running() {
  if (m_reaped) return false;
  const pid_t r = waitpid(m_pid, &m_status, WNOHANG);
  if (r == m_pid) m_reaped = true;
  return !m_reaped;
}

void Process::Signal(int signal) {
  if (!m_reaped) kill(-m_pid, signal);
}

int Process::WaitExit(int deadlineMilliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadlineMilliseconds);
  while (Running()) {
    if (std::chrono::steady_clock::now() >= end) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFEXITED(m_status)) return WEXITSTATUS(m_status);
  if (WIFSIGNALED(m_status)) return 128 + WTERMSIG(m_status);
  return -1;
}

void Process::Kill() {
  if (m_pid <= 0 || m_reaped) return;
  kill(-m_pid, SIGKILL);
  kill(m_pid, SIGKILL);
  waitpid(m_pid, &m_status, 0);
  m_reaped = true;
}

int PickFreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t len = sizeof addr;
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    close(fd);
    throw std::runtime_error("cannot pick a free port");
  }
  close(fd);
  return ntohs(addr.sin_port);
}

}  // namespace testing_support
