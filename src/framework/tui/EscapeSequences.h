#pragma once
// What an Esc and the characters right after it stand for. ncurses turns the
// key sequences terminfo lists into keys; everything else starting with Esc
// arrives here one character at a time: Alt+key (Esc, then the key), mouse
// reports the terminal type does not announce (SGR "Esc [ < b ; x ; y M",
// as tmux and most terminals send them), and sequences nobody knows. Only
// an Esc with nothing after it in the same read is the Back key.
#include <cstddef>
#include <vector>

#include "framework/tui/TerminalKeys.h"

struct KeyCode {
  KeyKind kind;
  unsigned code;
};

struct EscapeMeaning {
  enum class Kind {
    Back,    // a lone Esc
    Ignore,  // Alt+key, a mouse report that is no click, an unknown sequence
    Click,   // a press of the first mouse button at screen cell (column, row), from 0
  };
  Kind kind = Kind::Ignore;
  int column = 0;
  int row = 0;
};

// `codes[at]` is an Esc. Answers how many codes the Esc and what belongs
// to it take (at least 1) and what they mean.
size_t InterpretEscape(const std::vector<KeyCode>& codes, size_t at, EscapeMeaning& meaning);
