#include <unistd.h>

#include <cstdlib>

#include "framework/tui/TerminalDisplay.h"
#include "framework/tui/Curses.h"
// term.h defines capability names (lines, columns, ...) as macros: this file only.
#include <ncursesw/term.h>

bool TerminalTypeUsable(const char* terminalType) {
  if (!terminalType || !*terminalType) return false;
  // setupterm replaces the current terminal; put back whatever was there.
  TERMINAL* previous = cur_term;
  int status = 0;
  if (setupterm(terminalType, STDOUT_FILENO, &status) != OK) {
    set_curterm(previous);
    return false;
  }
  // A terminal that cannot place the cursor cannot show a screen.
  const char* cursorAddress = tigetstr("cup");
  const bool usable = cursorAddress != nullptr && cursorAddress != reinterpret_cast<char*>(-1);
  TERMINAL* probe = set_curterm(previous);
  del_curterm(probe);
  return usable;
}

bool TerminalAvailable() {
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) return false;
  return TerminalTypeUsable(std::getenv("TERM"));
}
