#pragma once
// Drives a program in a private tmux server, as a person at a terminal
// would: send keys, read the screen. Each instance has its own server
// socket, so tests can run side by side; the destructor kills the server.
#include <string>
#include <vector>

namespace testing_support {

class Tmux {
 public:
  // Starts `command` (run by the shell) in an 80x24 window.
  explicit Tmux(const std::string& command, int width = 80, int height = 24);
  ~Tmux();
  Tmux(const Tmux&) = delete;
  Tmux& operator=(const Tmux&) = delete;

  // tmux key names ("F1", "Escape", "Down", "Enter") or literal text.
  void SendKeys(const std::vector<std::string>& keys);
  // The visible screen as text; with escapes, colours are included.
  std::string Capture(bool withEscapes = false) const;
  // A left click at the window's cell (column, row), counted from 0, as a
  // terminal reports it: an attached tmux client gets the terminal's SGR
  // mouse report and passes it on in whatever form the program asked for.
  void Click(int column, int row);
  // Waits (generously) until the screen shows the text.
  bool WaitForText(const std::string& text) const;
  // Whether the program in the window is still running.
  bool Alive() const;
  bool WaitForExit() const;
  // The terminal goes away, as when its window is closed: the program is
  // left without one.
  void KillServer();

 private:
  std::string Run(const std::string& arguments) const;
  std::string m_socket;
};

// Single-quotes a text for the shell.
std::string ShellQuote(const std::string& text);

// The built program (set by the test runner).
std::string ProgramPath();

}  // namespace testing_support
