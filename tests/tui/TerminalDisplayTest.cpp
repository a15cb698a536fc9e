// The terminal display on a real pseudo-terminal: what it draws, what keys
// and clicks become, resizing, hanging up.
#include "framework/tui/TerminalDisplay.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/WaitFor.h"
#include "tui/PseudoTerminal.h"

namespace {

using Kind = InputEvent::Kind;

const CellColor kDefault = CellColor::Default();

// Reads events until `count` arrived or the generous deadline passed.
std::vector<InputEvent> ReadEvents(TerminalDisplay& display, size_t count) {
  std::vector<InputEvent> events;
  testing_support::WaitFor([&] {
    pollfd input{display.InputFd(), POLLIN, 0};
    if (poll(&input, 1, 50) == 1) display.ReadInput(events);
    return events.size() >= count;
  });
  return events;
}

std::string Describe(const InputEvent& e) {
  return "kind " + std::to_string(static_cast<int>(e.kind)) + " key " + std::to_string(e.key) + " ch " +
         std::to_string(e.ch) + " shift " + std::to_string(e.shift) + " at " + std::to_string(e.x) + "," +
         std::to_string(e.y);
}

InputEvent Key(UINT key, bool shift = false) { return {Kind::Key, key, 0, shift, 0, 0}; }
InputEvent Char(wchar_t ch) { return {Kind::Char, 0, ch, false, 0, 0}; }

class TerminalDisplayTest : public ::testing::Test {
 protected:
  void Open(const char* terminalType = "xterm-256color") {
    ASSERT_TRUE(pty.IsOpen());
    display = std::make_unique<TerminalDisplay>(pty.SlaveInput(), pty.SlaveOutput(), terminalType);
    ASSERT_TRUE(display->IsOpen());
  }
  void TearDown() override {
    if (display) display->Shutdown();
  }

  PseudoTerminal pty{80, 24};
  std::unique_ptr<TerminalDisplay> display;
};

TEST_F(TerminalDisplayTest, DrawsCanvasTextAndNeverSendsControlCharactersRaw) {
  Open();
  Canvas canvas(40, 16);
  canvas.Text(2, 1, L"Caster ready", 30, kDefault, kDefault);
  canvas.Text(2, 2, L"Réseau", 30, kDefault, kDefault);
  // Put bypasses the visible form Text gives: the display must still never
  // pass ESC, BEL or a C1 CSI through.
  const std::wstring hostile = L"A\x1b" L"B\x07" L"C\x9b" L"D\x7f" L"E";
  for (size_t i = 0; i < hostile.size(); ++i) canvas.Put(2 + static_cast<int>(i), 3, hostile[i], kDefault, kDefault);
  // A double-width or combining character would shift the rest of the row.
  canvas.Text(2, 4, L"F\u4e2dG\u0301H", 30, kDefault, kDefault);
  display->Show(canvas, {});

  EXPECT_TRUE(pty.WaitForOutput("Caster ready")) << pty.Output();
  EXPECT_TRUE(pty.WaitForOutput("R\xc3\xa9seau")) << "UTF-8 on the wire";
  EXPECT_TRUE(pty.WaitForOutput("A?B?C?D?E"));
  EXPECT_TRUE(pty.WaitForOutput("F?G?H"));
  const std::string output = pty.Output();
  EXPECT_EQ(output.find('\x07'), std::string::npos);
  EXPECT_EQ(output.find("\xc2\x9b"), std::string::npos);

  display->Shutdown();
  display->Shutdown();  // a second call (and the destructor's) must be harmless
  EXPECT_TRUE(pty.WaitForOutput("\x1b[?1049l")) << "the terminal's own screen is back";
}

TEST_F(TerminalDisplayTest, KeysBecomeEvents) {
  Open();
  struct Row {
    const char* legend;
    std::string bytes;
    InputEvent expected;
  } rows[] = {
      {"up (application mode)", "\x1bOA", Key(VK_UP)},
      {"up (normal mode)", "\x1b[A", Key(VK_UP)},
      {"down", "\x1b[B", Key(VK_DOWN)},
      {"right", "\x1b[C", Key(VK_RIGHT)},
      {"left", "\x1bOD", Key(VK_LEFT)},
      {"F1", "\x1bOP", Key(VK_F1)},
      {"F2", "\x1bOQ", Key(VK_F2)},
      {"Esc alone", "\x1b", Key(VK_ESCAPE)},
      {"Backspace", "\x7f", Key(VK_BACK)},
      {"Ctrl-H", "\x08", Key(VK_BACK)},
      {"Tab", "\t", Key(VK_TAB)},
      {"Shift-Tab", "\x1b[Z", Key(VK_TAB, true)},
      {"Enter", "\r", Key(VK_RETURN)},
      {"Space is only a key", " ", Key(VK_SPACE)},
      {"Home", "\x1bOH", Key(VK_HOME)},
      {"End", "\x1bOF", Key(VK_END)},
      {"Delete", "\x1b[3~", Key(VK_DELETE)},
      {"printable", "x", Char(L'x')},
      {"UTF-8", "\xc3\xa9", Char(L'\u00e9')},
      {"Ctrl-C in raw mode", "\x03", {Kind::Exit}},
  };
  for (const Row& row : rows) {
    pty.Type(row.bytes);
    const std::vector<InputEvent> events = ReadEvents(*display, 1);
    ASSERT_EQ(events.size(), 1u) << row.legend;
    EXPECT_EQ(Describe(events[0]), Describe(row.expected)) << row.legend;
  }
}

TEST_F(TerminalDisplayTest, ClicksAreCanvasCellsAndOutsideClicksAreIgnored) {
  Open();
  // A 40x16 canvas centred on 80x24 starts at column 20, row 4.
  display->Show(Canvas(40, 16), {});
  // SGR mouse reports count from 1: press and release at column 26, row 7.
  pty.Type("\x1b[<0;26;7M\x1b[<0;26;7m");
  std::vector<InputEvent> events = ReadEvents(*display, 1);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(Describe(events[0]), Describe({Kind::Click, 0, 0, false, 5, 2}));

  // Outside the canvas (left margin, below it): nothing; the key after it arrives alone.
  pty.Type("\x1b[<0;3;3M\x1b[<0;3;3m\x1b[<0;30;22M\x1b[<0;30;22mq");
  events = ReadEvents(*display, 1);
  ASSERT_EQ(events.size(), 1u) << Describe(events[0]);
  EXPECT_EQ(events[0].kind, Kind::Char);
}

// Only a lone Esc is Back: Alt+key and sequences nobody announced are not,
// and a mouse report the terminal type does not list (SGR inside tmux) is
// still a click. Each row ends with "q" so a dropped row shows as just that.
TEST_F(TerminalDisplayTest, OnlyALoneEscIsBackAndUnlistedMouseReportsStillClick) {
  struct Row {
    const char* legend;
    std::string bytes;
    std::vector<InputEvent> expected;
  };
  const InputEvent q = Char(L'q');
  const InputEvent click = {Kind::Click, 0, 0, false, 5, 2};
  const Row rows[] = {
      {"Alt+x", "\x1bxq", {q}},
      {"Alt+Up", "\x1b\x1b[Aq", {q}},
      {"unknown CSI sequence", "\x1b[99;5~q", {q}},
      {"unknown SS3 key", "\x1bOzq", {q}},
      {"SGR press and release", "\x1b[<0;26;7M\x1b[<0;26;7mq", {click, q}},
      {"SGR wheel and right button", "\x1b[<64;26;7M\x1b[<2;26;7Mq", {q}},
      {"malformed SGR report", "\x1b[<0;;7Mq", {q}},
      {"bracketed paste marker", "\x1b[200~q", {q}},
      {"X10 press", std::string("\x1b[M") + char(32) + char(33 + 25) + char(33 + 6) + "q", {click, q}},
      {"lone Esc", "\x1b", {Key(VK_ESCAPE)}},
  };
  for (const char* type : {"xterm-256color", "tmux-256color", "screen"}) {
    if (!TerminalTypeUsable(type)) continue;
    Open(type);
    display->Show(Canvas(40, 16), {});
    for (const Row& row : rows) {
      pty.Type(row.bytes);
      const std::vector<InputEvent> events = ReadEvents(*display, row.expected.size());
      std::string got, want;
      for (const InputEvent& e : events) got += Describe(e) + "; ";
      for (const InputEvent& e : row.expected) want += Describe(e) + "; ";
      EXPECT_EQ(got, want) << type << ": " << row.legend;
    }
    display->Shutdown();
  }
}

// The window needs 40x16 cells: one column or one row less says so instead
// of a clipped window that would hide the status line and the soft keys.
TEST(TerminalDisplaySize, TheWindowIsDrawnFromFortyBySixteenCellsOn) {
  const struct {
    int columns, rows;
    bool drawn;
  } sizes[] = {{40, 16, true}, {39, 16, false}, {40, 15, false}, {30, 10, false}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size.columns) + "x" + std::to_string(size.rows));
    PseudoTerminal pty{size.columns, size.rows};
    TerminalDisplay display(pty.SlaveInput(), pty.SlaveOutput(), "xterm-256color");
    Canvas canvas(size.columns, size.rows);
    canvas.Text(0, size.rows - 1, L"status", 6, kDefault, kDefault);
    display.Show(canvas, {});
    const char* shown = size.drawn ? "status" : "Window too small: 40x16 needed";
    EXPECT_TRUE(pty.WaitForOutput(shown)) << pty.Output();
    EXPECT_EQ(pty.Output().find(size.drawn ? "too small" : "status"), std::string::npos);
    display.Shutdown();
  }
}

TEST_F(TerminalDisplayTest, ResizeWakesTheLoopAndShrinksTheCanvas) {
  Open();
  int width = 0, height = 0;
  display->CanvasSize(width, height);
  EXPECT_EQ(width, 40);
  EXPECT_EQ(height, 16);

  pty.Resize(30, 10);
  // The descriptor itself must become readable: a loop asleep in poll() has
  // nothing else to wake it.
  const std::vector<InputEvent> events = ReadEvents(*display, 1);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, Kind::Resize);
  display->CanvasSize(width, height);
  EXPECT_EQ(width, 30);
  EXPECT_EQ(height, 10);
}

TEST_F(TerminalDisplayTest, HangUpEndsTheProgramInsteadOfSpinning) {
  Open();
  pty.HangUp();
  const std::vector<InputEvent> events = ReadEvents(*display, 1);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, Kind::Exit);
  pollfd input{display->InputFd(), POLLIN, 0};
  EXPECT_EQ(poll(&input, 1, 0), 0) << "a dead terminal must not keep the loop awake";
}

TEST_F(TerminalDisplayTest, ColoursUseThePaletteOr24Bit) {
  Canvas canvas(40, 16);
  canvas.Text(0, 0, L"hot", 3, CellColor::Of(RGB(255, 0, 0)), CellColor::Of(RGB(0, 0, 128)));
  canvas.Text(0, 1, L"exact", 5, CellColor::Of(RGB(0x12, 0x34, 0x56)), kDefault);

  Open("xterm-256color");
  EXPECT_EQ(display->Colors(), ColorDepth::Palette256);
  display->Show(canvas, {});
  EXPECT_TRUE(pty.WaitForOutput("38;5;196")) << pty.Output();
  EXPECT_TRUE(pty.WaitForOutput("48;5;18"));
  display->Shutdown();

  if (!TerminalTypeUsable("xterm-direct")) GTEST_SKIP() << "no xterm-direct terminfo (package ncurses-term)";
  Open("xterm-direct");
  EXPECT_EQ(display->Colors(), ColorDepth::Direct);
  display->Show(canvas, {});
  EXPECT_TRUE(pty.WaitForOutput("38:2::18:52:86")) << pty.Output();
}

TEST(TerminalType, KnownAndAbleToPlaceTheCursor) {
  EXPECT_TRUE(TerminalTypeUsable("xterm-256color"));
  EXPECT_FALSE(TerminalTypeUsable("dumb")) << "cannot place the cursor";
  EXPECT_FALSE(TerminalTypeUsable("no-such-terminal-type"));
  EXPECT_FALSE(TerminalTypeUsable(""));
  EXPECT_FALSE(TerminalTypeUsable(nullptr));
}

}  // namespace
