#pragma once
// A pseudo-terminal for running the terminal display in a test: the display
// gets the slave as FILE*s, the test writes key bytes to the master and a
// reader thread collects everything the display sends.
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

namespace testing_support {

class PseudoTerminal {
 public:
  PseudoTerminal(int columns, int rows);
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  bool IsOpen() const { return m_input && m_output; }
  FILE* SlaveInput() const { return m_input; }
  FILE* SlaveOutput() const { return m_output; }

  // What the terminal user types.
  void Type(const std::string& bytes);
  // Changes the window size as a terminal emulator would (TIOCSWINSZ plus SIGWINCH).
  void Resize(int columns, int rows);
  // Hangs up: closes the master side.
  void HangUp();

  // Everything the display wrote so far.
  std::string Output() const;
  // True once the output contains `text` (waits up to the generous deadline).
  bool WaitForOutput(const std::string& text) const;
  void ClearOutput();

 private:
  void ReadLoop();

  int m_master = -1;
  FILE* m_input = nullptr;
  FILE* m_output = nullptr;
  int m_stopPipe[2] = {-1, -1};
  mutable std::mutex m_mutex;
  std::string m_received;
  std::thread m_reader;
};

}  // namespace testing_support
