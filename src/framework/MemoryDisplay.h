#pragma once
// The test display: an in-memory screen and a scripted input source, so a
// dialog can be opened, keyed and inspected in a unit test without a
// terminal. Steps are taken one per loop turn, in order; a step may wait
// for a condition (work done by other threads) before the next one runs.
//
// Threading: script and inspect from the user-interface thread (the test's
// own thread, which runs DoModal).
#include <chrono>
#include <deque>
#include <functional>
#include <string>

#include "framework/Display.h"

class MemoryDisplay : public Display {
 public:
  MemoryDisplay(int width = 40, int height = 16) : m_width(width), m_height(height), m_canvas(width, height) {}

  // --- the script ---------------------------------------------------------
  MemoryDisplay& Key(UINT key, bool shift = false);
  MemoryDisplay& Type(const std::wstring& text);
  MemoryDisplay& Click(int x, int y);
  MemoryDisplay& Exit();
  // Runs an action on the user-interface thread at this point of the script.
  MemoryDisplay& Do(std::function<void()> action);
  // Holds the script until the condition is true (checked every few
  // milliseconds, on the user-interface thread). A wait that lasts longer
  // than the deadline gives up, is counted, and the script goes on, so a
  // broken test fails instead of hanging.
  MemoryDisplay& WaitUntil(std::function<bool()> condition,
                           std::chrono::milliseconds deadline = std::chrono::seconds(60));
  int TimedOutWaits() const { return m_nTimedOut; }
  bool ScriptDone() const { return m_script.empty(); }

  // --- what was shown ----------------------------------------------------
  const Canvas& Screen() const { return m_canvas; }
  std::wstring ScreenText() const { return m_canvas.ToText(); }
  const ScreenInfo& Info() const { return m_info; }
  const std::vector<std::wstring>& Messages() const { return m_messages; }
  int Shows() const { return m_nShows; }

  // --- Display ---------------------------------------------------------------
  int InputFd() const override { return -1; }
  void ReadInput(std::vector<InputEvent>& events) override;
  void CanvasSize(int& width, int& height) const override;
  void Show(const Canvas& canvas, const ScreenInfo& info) override;
  int WakeAfterMilliseconds() const override;
  void Beep() override { ++m_nBeeps; }
  void Message(const std::wstring& text) override { m_messages.push_back(text); }

  int m_nBeeps = 0;

 private:
  struct Step {
    std::function<bool()> waitFor;  // may be empty
    std::chrono::milliseconds deadline{0};
    std::chrono::steady_clock::time_point waitingSince{};
    std::function<void()> action;   // may be empty
    bool hasEvent = false;
    InputEvent event;
  };
  MemoryDisplay& PushEvent(const InputEvent& event);

  int m_width;
  int m_height;
  Canvas m_canvas;
  ScreenInfo m_info;
  std::deque<Step> m_script;
  std::vector<std::wstring> m_messages;
  int m_nShows = 0;
  int m_nTimedOut = 0;
};
