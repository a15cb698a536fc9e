#pragma once
// A pseudo-terminal for running the terminal display in a test: the display
// gets the slave as FILE*s, the test types into the master and reads back
// what the display sent.
#include <cstdio>
#include <string>

class PseudoTerminal {
 public:
  PseudoTerminal(int columns, int rows);
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  bool IsOpen() const { return m_master >= 0 && m_input && m_output; }
  FILE* SlaveInput() const { return m_input; }
  FILE* SlaveOutput() const { return m_output; }

  void Type(const std::string& bytes);
  // As a terminal emulator does: TIOCSWINSZ, then SIGWINCH (the test is not
  // the terminal's session, so the kernel signals nobody).
  void Resize(int columns, int rows);
  void HangUp();

  // True once the display's output contains `text` (generous deadline).
  bool WaitForOutput(const std::string& text);
  const std::string& Output() const { return m_received; }

 private:
  int m_master = -1;
  FILE* m_input = nullptr;
  FILE* m_output = nullptr;
  std::string m_received;
};
