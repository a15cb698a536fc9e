#pragma once
// Which InputEvent a key read from ncurses stands for.
#include "framework/Display.h"

enum class KeyKind {
  Character,    // get_wch returned OK: `code` is a character
  FunctionKey,  // get_wch returned KEY_CODE_YES: `code` is a KEY_* value
};

// False when the key means nothing to a dialog (it is dropped). Mouse and
// resize keys are not handled here: they need the screen's state.
bool EventForKey(KeyKind kind, unsigned code, InputEvent& event);
