#pragma once
// The display for services and benchmarks: no terminal. Every change of the
// status line is printed to standard output with a timestamp; SIGINT,
// SIGTERM and SIGHUP arrive (through a signalfd) as the Exit event.
//
// Construct it on the main thread before any other thread starts, so the
// signals are blocked in every thread and only the signalfd sees them.
#include <cstdio>
#include <string>

#include "framework/Display.h"

class HeadlessDisplay : public Display {
 public:
  explicit HeadlessDisplay(std::FILE* out = stdout);
  ~HeadlessDisplay() override;

  int InputFd() const override { return m_signalFd; }
  void ReadInput(std::vector<InputEvent>& events) override;
  void CanvasSize(int& width, int& height) const override;
  void Show(const Canvas& canvas, const ScreenInfo& info) override;
  bool Interactive() const override { return false; }
  bool NeedsCanvas() const override { return false; }
  void Message(const std::wstring& text) override;

 private:
  void PrintLine(const std::wstring& text);

  std::FILE* m_out;
  int m_signalFd = -1;
  std::wstring m_lastStatus;
  bool m_bShownOnce = false;
};
