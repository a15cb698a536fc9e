#include "framework/tui/TerminalKeys.h"

#include "framework/tui/Curses.h"

namespace {

InputEvent Key(UINT key, bool shift = false) {
  InputEvent event;
  event.kind = InputEvent::Kind::Key;
  event.key = key;
  event.shift = shift;
  return event;
}

bool EventForCharacter(unsigned code, InputEvent& event) {
  switch (code) {
    case '\r':
    case '\n': event = Key(VK_RETURN); return true;
    // Space is a key: the focused control decides whether it presses or types.
    case ' ': event = Key(VK_SPACE); return true;
    case '\t': event = Key(VK_TAB); return true;
    case 0x7F:
    case 0x08: event = Key(VK_BACK); return true;
    case 0x1B: event = Key(VK_ESCAPE); return true;
    // In raw mode Ctrl-C arrives as a byte instead of SIGINT.
    case 0x03: event.kind = InputEvent::Kind::Exit; return true;
    default: break;
  }
  // Other control characters, C1 controls and stray surrogates type nothing.
  if (code < 0x20 || (code >= 0x7F && code < 0xA0) || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
    return false;
  event.kind = InputEvent::Kind::Char;
  event.ch = static_cast<wchar_t>(code);
  return true;
}

bool EventForFunctionKey(unsigned code, InputEvent& event) {
  switch (code) {
    case KEY_LEFT: event = Key(VK_LEFT); return true;
    case KEY_RIGHT: event = Key(VK_RIGHT); return true;
    case KEY_UP: event = Key(VK_UP); return true;
    case KEY_DOWN: event = Key(VK_DOWN); return true;
    case KEY_ENTER: event = Key(VK_RETURN); return true;
    case KEY_BACKSPACE: event = Key(VK_BACK); return true;
    case KEY_BTAB: event = Key(VK_TAB, true); return true;
    case KEY_HOME: event = Key(VK_HOME); return true;
    case KEY_END: event = Key(VK_END); return true;
    case KEY_DC: event = Key(VK_DELETE); return true;
    case KEY_PPAGE: event = Key(VK_PRIOR); return true;
    case KEY_NPAGE: event = Key(VK_NEXT); return true;
    default: break;
  }
  if (code == static_cast<unsigned>(KEY_F(1))) {
    event = Key(VK_F1);
    return true;
  }
  if (code == static_cast<unsigned>(KEY_F(2))) {
    event = Key(VK_F2);
    return true;
  }
  if (code == static_cast<unsigned>(KEY_F(3))) {
    event = Key(VK_F3);
    return true;
  }
  return false;
}

}  // namespace

bool EventForKey(KeyKind kind, unsigned code, InputEvent& event) {
  return kind == KeyKind::Character ? EventForCharacter(code, event) : EventForFunctionKey(code, event);
}
