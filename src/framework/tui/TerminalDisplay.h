#pragma once
// The terminal display: shows each painted dialog as a phone-sized screen
// centred in the terminal and turns keys and mouse clicks into InputEvents.
// Only this folder includes ncurses.
//
// Threading: like every display, used from the user-interface thread only.
// One TerminalDisplay at a time per process (ncurses keeps global state).
#include <cstdio>
#include <vector>

#include "framework/Display.h"
#include "framework/tui/InputWake.h"
#include "framework/tui/TerminalColor.h"

// ncurses' screen type, kept out of this header so that only the .cpp files
// of this folder see curses.h and its macros.
struct screen;

// True when standard input and output are terminals and TERM names a known
// terminal that can place the cursor.
bool TerminalAvailable();
// True when `terminalType` is known to terminfo and can place the cursor.
bool TerminalTypeUsable(const char* terminalType);

class TerminalDisplay : public Display {
 public:
  // The phone-like screen the dialogs are laid out for.
  static constexpr int kScreenWidth = 40;
  static constexpr int kScreenHeight = 16;

  // Starts ncurses on the given streams; `terminalType` null means $TERM.
  // The streams stay owned by the caller and must outlive the display.
  explicit TerminalDisplay(FILE* input = stdin, FILE* output = stdout, const char* terminalType = nullptr);
  ~TerminalDisplay() override;
  TerminalDisplay(const TerminalDisplay&) = delete;
  TerminalDisplay& operator=(const TerminalDisplay&) = delete;

  // False when the terminal could not be started (unknown type, not a
  // terminal); every other call then does nothing.
  bool IsOpen() const { return m_screen != nullptr; }
  ColorDepth Colors() const { return m_depth; }

  int InputFd() const override;
  void ReadInput(std::vector<InputEvent>& events) override;
  void CanvasSize(int& width, int& height) const override;
  void Show(const Canvas& canvas, const ScreenInfo& info) override;
  void Beep() override;
  void Shutdown() override;

 private:
  void SetUpColors();
  int PairFor(const Cell& cell);
  void DrawCell(int row, int col, const Cell& cell);
  void ShowTooSmall();
  // A click at a terminal cell, if it falls on the canvas.
  void AddClick(int column, int row, std::vector<InputEvent>& events) const;
  void CheckHangUp(std::vector<InputEvent>& events);

  screen* m_screen = nullptr;
  int m_inputFd = -1;
  InputWake m_wake;
  ColorDepth m_depth = ColorDepth::None;
  bool m_defaultColors = false;  // -1 works as "the terminal's own colour"
  bool m_hungUp = false;
  bool m_mouse = false;  // the terminal reports the mouse
  // Where the last canvas was drawn, to turn clicks into canvas cells.
  int m_canvasLeft = 0, m_canvasTop = 0, m_canvasWidth = 0, m_canvasHeight = 0;
};
