#include "framework/tui/TerminalDisplay.h"

#include <langinfo.h>
#include <poll.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <cwchar>
#include <string>

#include "framework/tui/Curses.h"
#include "framework/tui/EscapeSequences.h"
#include "framework/tui/TerminalKeys.h"

namespace {

// Long enough for an escape sequence sent in one write (even over SSH they
// arrive together), short enough that Esc as the Back key feels immediate.
constexpr int kEscapeDelayMilliseconds = 25;
constexpr char kSgrMouseOn[] = "\x1b[?1006h";
constexpr char kSgrMouseOff[] = "\x1b[?1006l";

bool LocaleIsUtf8() {
  const char* codeset = nl_langinfo(CODESET);
  return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

// ncursesw reads and writes multi-byte text in the locale's encoding; without
// a UTF-8 locale every non-ASCII character would come out wrong.
void UseUtf8Locale() {
  if (std::setlocale(LC_CTYPE, "") && LocaleIsUtf8()) return;
  std::setlocale(LC_CTYPE, "C.UTF-8");
}

// A cell's character as it may reach the terminal. Anything that could act
// as a control sequence, or that would not take exactly one column (and so
// shift the rest of the row), becomes '?'.
wchar_t DrawableChar(wchar_t ch) {
  const auto code = static_cast<unsigned long>(ch);
  if (code < 0x20 || (code >= 0x7F && code < 0xA0)) return L'?';
  if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return L'?';
  if (code >= 0x80 && wcwidth(ch) != 1) return L'?';
  return ch;
}

// ncurses knows the key sequences terminfo lists, which assume the keypad's
// application mode. Terminals inside multiplexers, serial consoles and some
// emulators send the normal-mode forms regardless; accept those too.
void AcceptNormalModeKeys() {
  struct Sequence {
    const char* bytes;
    int key;
  };
  static constexpr Sequence kSequences[] = {
      {"\x1b[A", KEY_UP},   {"\x1b[B", KEY_DOWN},   {"\x1b[C", KEY_RIGHT},  {"\x1b[D", KEY_LEFT},
      {"\x1b[H", KEY_HOME}, {"\x1b[F", KEY_END},    {"\x1b[1~", KEY_HOME},  {"\x1b[4~", KEY_END},
      {"\x1b[7~", KEY_HOME}, {"\x1b[8~", KEY_END},  {"\x1b[3~", KEY_DC},    {"\x1b[Z", KEY_BTAB},
      {"\x1b[11~", KEY_F(1)}, {"\x1b[12~", KEY_F(2)}, {"\x1bOM", KEY_ENTER},
  };
  for (const Sequence& sequence : kSequences)
    if (key_defined(sequence.bytes) == 0) define_key(sequence.bytes, sequence.key);
}

}  // namespace

TerminalDisplay::TerminalDisplay(FILE* input, FILE* output, const char* terminalType) {
  UseUtf8Locale();
  // The window size from the terminal beats LINES/COLUMNS left in the
  // environment by a shell that was since resized.
  use_tioctl(TRUE);
  m_screen = newterm(terminalType, output, input);
  if (!m_screen) return;
  set_term(m_screen);
  raw();
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  AcceptNormalModeKeys();
  nodelay(stdscr, TRUE);
  leaveok(stdscr, TRUE);
  curs_set(0);
  set_escdelay(kEscapeDelayMilliseconds);
  // mousemask turns the terminal's mouse reports on. They are read here, not
  // by ncurses: it knows only the one report format terminfo names (SGR for
  // xterm, the older one inside tmux) and holds presses back; a report in
  // any other format would otherwise arrive as Esc (Back) and typed text.
  // SGR reports are asked for too: the older format cannot name a column
  // past 223, and terminals that do not know the mode ignore the request.
  m_mouse = mousemask(BUTTON1_CLICKED | BUTTON1_PRESSED | BUTTON1_RELEASED, nullptr) != 0;
  keyok(KEY_MOUSE, FALSE);
  if (m_mouse) putp(kSgrMouseOn);
  SetUpColors();
  m_inputFd = fileno(input);
  // Without the wake descriptor the loop still wakes for keys; only a resize
  // would wait for the next key.
  if (!m_wake.Start(m_inputFd)) m_wake.Stop();
}

TerminalDisplay::~TerminalDisplay() { Shutdown(); }

void TerminalDisplay::SetUpColors() {
  if (!has_colors() || start_color() != OK) return;
  m_defaultColors = use_default_colors() == OK;
  const bool directRgb = tigetflag("RGB") == 1 || tigetnum("RGB") == 8;
  m_depth = DepthFor(COLORS, directRgb);
}

int TerminalDisplay::InputFd() const {
  if (!m_screen) return -1;
  return m_wake.Fd() >= 0 ? m_wake.Fd() : m_inputFd;
}

void TerminalDisplay::CanvasSize(int& width, int& height) const {
  width = kScreenWidth;
  height = kScreenHeight;
  if (!m_screen) return;
  width = std::max(1, std::min(kScreenWidth, COLS));
  height = std::max(1, std::min(kScreenHeight, LINES));
}

int TerminalDisplay::PairFor(const Cell& cell) {
  if (m_depth == ColorDepth::None) return 0;
  int fg = TerminalColorNumber(cell.fg, m_depth);
  int bg = TerminalColorNumber(cell.bg, m_depth);
  if (fg < 0 && bg < 0) return 0;
  if (!m_defaultColors) {
    // Without default-colour support pair 0 is white on black; match it.
    if (fg < 0) fg = COLOR_WHITE;
    if (bg < 0) bg = COLOR_BLACK;
  }
  // alloc_pair keeps its own table of pairs and hands back the existing one.
  const int pair = alloc_pair(fg, bg);
  return pair < 0 ? 0 : pair;
}

void TerminalDisplay::DrawCell(int row, int col, const Cell& cell) {
  const wchar_t text[2] = {DrawableChar(cell.ch), L'\0'};
  attr_t attributes = A_NORMAL;
  if (cell.reverse) attributes |= A_REVERSE;
  if (cell.bold) attributes |= A_BOLD;
  if (cell.underline) attributes |= A_UNDERLINE;
  int pair = PairFor(cell);
  cchar_t drawn{};
  // The pair goes through the extended-pair pointer: numbers above 32767 fit.
  setcchar(&drawn, text, attributes, 0, &pair);
  // Writing the bottom-right cell reports ERR (the cursor cannot move on)
  // although the cell is stored; nothing to handle.
  mvwadd_wch(stdscr, row, col, &drawn);
}

void TerminalDisplay::Show(const Canvas& canvas, const ScreenInfo& /*info*/) {
  if (!m_screen) return;
  // Everything around the canvas is cleared each time; ncurses compares with
  // what the terminal shows and sends only the changes.
  werase(stdscr);
  if (COLS < kScreenWidth || LINES < kScreenHeight) {
    ShowTooSmall();
    return;
  }
  m_canvasLeft = std::max(0, (COLS - canvas.Width()) / 2);
  m_canvasTop = std::max(0, (LINES - canvas.Height()) / 2);
  m_canvasWidth = std::min(canvas.Width(), COLS - m_canvasLeft);
  m_canvasHeight = std::min(canvas.Height(), LINES - m_canvasTop);
  for (int y = 0; y < m_canvasHeight; ++y)
    for (int x = 0; x < m_canvasWidth; ++x) DrawCell(m_canvasTop + y, m_canvasLeft + x, canvas.At(x, y));
  wnoutrefresh(stdscr);
  doupdate();
}

// A clipped window would hide the status line and the soft keys; say what
// is needed instead. Clicks then hit nothing.
void TerminalDisplay::ShowTooSmall() {
  m_canvasWidth = m_canvasHeight = 0;
  const std::string text =
      "Window too small: " + std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + " needed";
  const int shown = std::min(static_cast<int>(text.size()), COLS);
  mvwaddnstr(stdscr, std::max(0, (LINES - 1) / 2), std::max(0, (COLS - shown) / 2), text.c_str(), shown);
  wnoutrefresh(stdscr);
  doupdate();
}


void TerminalDisplay::AddClick(int column, int row, std::vector<InputEvent>& events) const {
  const int x = column - m_canvasLeft;
  const int y = row - m_canvasTop;
  if (x < 0 || y < 0 || x >= m_canvasWidth || y >= m_canvasHeight) return;
  InputEvent event;
  event.kind = InputEvent::Kind::Click;
  event.x = x;
  event.y = y;
  events.push_back(event);
}

// A terminal that hung up (SSH connection lost, window closed) stays readable
// for ever while every read fails; without this the loop would spin. It says
// so by a hang-up on poll, or by being readable with nothing to read (a read
// would answer 0 or EIO, which ncurses reports as no key).
void TerminalDisplay::CheckHangUp(std::vector<InputEvent>& events) {
  pollfd input{m_inputFd, POLLIN, 0};
  if (poll(&input, 1, 0) != 1) return;
  bool gone = (input.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
  int waiting = 0;
  if (!gone && (input.revents & POLLIN)) gone = ioctl(m_inputFd, FIONREAD, &waiting) != 0 || waiting == 0;
  if (!gone) return;
  m_hungUp = true;
  m_wake.ForgetInput();
  InputEvent event;
  event.kind = InputEvent::Kind::Exit;
  events.push_back(event);
}

void TerminalDisplay::ReadInput(std::vector<InputEvent>& events) {
  if (!m_screen || m_hungUp) return;
  m_wake.Drain();
  if (m_wake.TakeExitSignal()) {
    InputEvent event;
    event.kind = InputEvent::Kind::Exit;
    events.push_back(event);
  }
  // Everything waiting is read first: an Esc means something else when
  // more characters came with it.
  std::vector<KeyCode> codes;
  for (;;) {
    wint_t code = 0;
    const int status = wget_wch(stdscr, &code);
    if (status == ERR) break;
    codes.push_back({status == KEY_CODE_YES ? KeyKind::FunctionKey : KeyKind::Character, static_cast<unsigned>(code)});
  }
  for (size_t at = 0; at < codes.size(); ++at) {
    const KeyCode& key = codes[at];
    if (key.kind == KeyKind::FunctionKey && key.code == KEY_RESIZE) {
      InputEvent event;
      event.kind = InputEvent::Kind::Resize;
      events.push_back(event);
    } else if (key.kind == KeyKind::Character && key.code == 0x1B) {
      EscapeMeaning meaning;
      at += InterpretEscape(codes, at, meaning) - 1;
      InputEvent event;
      if (meaning.kind == EscapeMeaning::Kind::Back && EventForKey(KeyKind::Character, 0x1B, event)) events.push_back(event);
      if (meaning.kind == EscapeMeaning::Kind::Click) AddClick(meaning.column, meaning.row, events);
    } else {
      InputEvent event;
      if (EventForKey(key.kind, key.code, event)) events.push_back(event);
    }
  }
  CheckHangUp(events);
}

void TerminalDisplay::Beep() {
  if (m_screen) beep();
}

void TerminalDisplay::Shutdown() {
  if (!m_screen) return;
  m_wake.Stop();
  if (m_mouse) putp(kSgrMouseOff);
  endwin();
  delscreen(m_screen);
  m_screen = nullptr;
}
