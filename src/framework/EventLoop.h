#pragma once
// The user-interface thread's loop. It waits on three things at once -
// display input, posted messages and the nearest timer - so an idle program
// sleeps in poll() and uses no CPU. Each modal dialog runs a nested turn of
// this loop until it ends; input goes to the dialog on top, posted messages
// to whichever window they name.
//
// Threading: Post (and ::PostMessage) may be called from any thread;
// everything else from the user-interface thread only.
#include <cstdint>
#include <deque>
#include <vector>

#include "framework/Display.h"
#include "framework/MessageQueue.h"
#include "framework/Types.h"

class CDialog;

class EventLoop {
 public:
  static EventLoop& Instance();

  void SetDisplay(Display* display) { m_pDisplay = display; }
  Display* GetDisplay() const { return m_pDisplay; }
  MessageQueue& Queue() { return m_queue; }

  bool Post(const MSG& msg);
  void SetTimer(HWND hwnd, UINT id, unsigned milliseconds);
  void KillTimer(HWND hwnd, UINT id);
  bool HasTimer(HWND hwnd, UINT id) const;
  void Invalidate() { m_bInvalid = true; }

  // Runs until the dialog ends (its EndDialog was called).
  void RunModal(CDialog& dialog);
  // One turn: waits at most `timeoutMilliseconds` (-1: until something
  // happens) and handles what arrived. Tests drive the loop with this.
  void Turn(int timeoutMilliseconds);
  CDialog* TopDialog() const { return m_stack.empty() ? nullptr : m_stack.back(); }
  // Drops queued messages, timers and input (between tests).
  void Reset();

  // Waits on the user-interface thread without freezing the window: posted
  // messages, timers and repaints go on, and input that arrives meanwhile is
  // kept and handled in order once the wait is over. An Exit (a signal, a
  // hang-up) goes before the presses kept: the program is to end.
  void PauseHoldingInput(unsigned milliseconds);
  bool InputHeld() const { return m_nHolding > 0; }

 private:
  struct Timer {
    HWND hwnd;
    UINT id;
    unsigned period;
    std::int64_t due;
  };

  void DispatchPosted();
  void FireDueTimers();
  void Repaint();
  int NextTimeout(int requested) const;
  void HandleInput();
  void DeliverInput();
  void ForwardExit();

  MessageQueue m_queue{MessageQueue::Waiting::ByPoll};
  Display* m_pDisplay = nullptr;
  std::vector<CDialog*> m_stack;
  std::vector<Timer> m_timers;
  bool m_bInvalid = true;
  // Input is answered on the screen at once; repaints that posted messages
  // ask for (a stream's byte counter) come at most every kPaintInterval.
  bool m_bPaintNow = true;
  std::int64_t m_nLastPaintMs = 0;
  // Input read but not yet handled (kept during a pause, or behind a press
  // whose handler is still running).
  std::deque<InputEvent> m_input;
  int m_nHolding = 0;
  // An Exit came from the display: every dialog above the bottom one ends as
  // if cancelled, then the bottom one gets the Exit.
  bool m_bExitRequested = false;
  // The dialogs that got the Exit already: each gets it once.
  std::vector<CDialog*> m_exitDelivered;
};

// Posts a message to a window's queue (the user-interface thread's).
bool PostMessage(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
