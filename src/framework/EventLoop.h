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
  // Drops queued messages and timers (between tests).
  void Reset();

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

  MessageQueue m_queue{MessageQueue::Waiting::ByPoll};
  Display* m_pDisplay = nullptr;
  std::vector<CDialog*> m_stack;
  std::vector<Timer> m_timers;
  bool m_bInvalid = true;
  // Input is answered on the screen at once; repaints that posted messages
  // ask for (a stream's byte counter) come at most every kPaintInterval.
  bool m_bPaintNow = true;
  std::int64_t m_nLastPaintMs = 0;
};

// Posts a message to a window's queue (the user-interface thread's).
bool PostMessage(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
