#include "support/Tmux.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "support/WaitFor.h"

namespace testing_support {
namespace {

std::atomic<int> g_counter{0};

std::string ReadCommand(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  std::array<char, 4096> buffer{};
  size_t n = 0;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
  pclose(pipe);
  return out;
}

}  // namespace

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') quoted += "'\\''";
    else quoted.push_back(c);
  }
  return quoted + "'";
}

std::string ProgramPath() {
  const char* path = getenv("FIELDCAST_BINARY");
  return path != nullptr ? path : "fieldcast";
}

Tmux::Tmux(const std::string& command, int width, int height)
    : m_socket("fieldcast-test-" + std::to_string(getpid()) + "-" + std::to_string(g_counter++)) {
  // remain-on-exit keeps the pane after the program ends, so the test can
  // tell "ended" from "never started".
  Run("new-session -d -x " + std::to_string(width) + " -y " + std::to_string(height) + " " + ShellQuote(command) +
      " \\; set-option -g remain-on-exit on");
}

Tmux::~Tmux() { Run("kill-server"); }

std::string Tmux::Run(const std::string& arguments) const {
  return ReadCommand("TERM=xterm-256color tmux -L " + m_socket + " " + arguments + " 2>&1");
}

void Tmux::SendKeys(const std::vector<std::string>& keys) {
  std::string arguments = "send-keys -t 0";
  for (const std::string& key : keys) arguments += " " + ShellQuote(key);
  Run(arguments);
}

std::string Tmux::Capture(bool withEscapes) const { return Run(withEscapes ? "capture-pane -p -e -t 0" : "capture-pane -p -t 0"); }

bool Tmux::WaitForText(const std::string& text) const {
  return WaitFor([&] { return Capture().find(text) != std::string::npos; });
}

bool Tmux::Alive() const { return Run("display-message -p -t 0 '#{pane_dead}'").find('0') == 0; }

bool Tmux::WaitForExit() const {
  return WaitFor([&] { return !Alive(); });
}

void Tmux::KillServer() { Run("kill-server"); }

}  // namespace testing_support
