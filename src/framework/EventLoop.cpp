#include "framework/EventLoop.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>

#include "framework/Dialog.h"
#include "platform/Clock.h"

namespace {

// A window that is gone, or a dialog whose run is over (its controls are
// destroyed), takes no more posted messages or timer ticks: a worker's late
// message must not reach handlers that expect the controls to exist.
CWnd* LiveWindow(HWND hwnd) {
  CWnd* window = CWnd::FromHandle(hwnd);
  const auto* dialog = dynamic_cast<const CDialog*>(window);
  if (dialog != nullptr && !dialog->IsRunning()) return nullptr;
  return window;
}

}  // namespace

namespace {
// At most 20 repaints a second for what posted messages change: a fast
// stream's counter stays live (10 a second is the least we promise) and the
// window never falls behind it.
constexpr std::int64_t kPaintIntervalMilliseconds = 50;
}  // namespace

EventLoop& EventLoop::Instance() {
  static EventLoop loop;
  return loop;
}

bool PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return EventLoop::Instance().Post(MSG{hwnd, message, wParam, lParam});
}

bool EventLoop::Post(const MSG& msg) {
  m_queue.Post(msg);
  return true;
}

void EventLoop::SetTimer(HWND hwnd, UINT id, unsigned milliseconds) {
  KillTimer(hwnd, id);
  const unsigned period = std::max(milliseconds, 1u);
  m_timers.push_back(Timer{hwnd, id, period, platform::MonotonicMilliseconds() + period});
}

void EventLoop::KillTimer(HWND hwnd, UINT id) {
  std::erase_if(m_timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
}

bool EventLoop::HasTimer(HWND hwnd, UINT id) const {
  return std::any_of(m_timers.begin(), m_timers.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
}

void EventLoop::Reset() {
  m_queue.Clear();
  m_timers.clear();
  m_input.clear();
  m_bExitRequested = false;
  m_exitDelivered.clear();
}

void EventLoop::RunModal(CDialog& dialog) {
  m_stack.push_back(&dialog);
  m_bInvalid = true;
  m_bPaintNow = true;
  while (!dialog.IsEnding()) Turn(-1);
  m_stack.pop_back();
  std::erase(m_exitDelivered, &dialog);
  // The bottom dialog is the program's window: with it ends what an Exit
  // asked for, and the input meant for it.
  if (m_stack.empty()) {
    m_bExitRequested = false;
    m_input.clear();
  }
  // The run is over: its timers die with it, as a window's do.
  std::erase_if(m_timers, [&](const Timer& t) { return t.hwnd == dialog.GetSafeHwnd(); });
  m_bInvalid = true;
}

// Handles the messages that were waiting when the turn began; messages
// posted meanwhile wait for the next turn, so input is never starved.
void EventLoop::DispatchPosted() {
  size_t budget = m_queue.Size();
  MSG msg;
  while (budget-- > 0 && m_queue.TryTake(msg)) {
    if (CWnd* window = LiveWindow(msg.hwnd)) window->WindowProc(msg.message, msg.wParam, msg.lParam);
  }
}

void EventLoop::FireDueTimers() {
  // Timers of windows that are gone would wake the loop for nothing, forever.
  std::erase_if(m_timers, [](const Timer& t) { return LiveWindow(t.hwnd) == nullptr; });
  const std::int64_t now = platform::MonotonicMilliseconds();
  std::vector<Timer> due;
  for (Timer& t : m_timers) {
    if (t.due <= now) {
      due.push_back(t);
      t.due = now + t.period;
    }
  }
  for (const Timer& t : due) {
    // A handler may have killed this timer while an earlier one fired.
    if (!HasTimer(t.hwnd, t.id)) continue;
    if (CWnd* window = LiveWindow(t.hwnd)) window->WindowProc(WM_TIMER, t.id, 0);
  }
}

void EventLoop::Repaint() {
  if (!m_bInvalid || m_pDisplay == nullptr || m_stack.empty()) return;
  const std::int64_t now = platform::MonotonicMilliseconds();
  // A display of texts only (headless) costs nothing to update and reports
  // every change of the status line, so it is never held back.
  const bool throttled = m_pDisplay->NeedsCanvas() && !m_bPaintNow && !m_stack.back()->IsEnding();
  if (throttled && now - m_nLastPaintMs < kPaintIntervalMilliseconds) return;
  m_bInvalid = false;
  m_bPaintNow = false;
  m_nLastPaintMs = now;
  ScreenInfo info;
  if (!m_pDisplay->NeedsCanvas()) {
    m_stack.back()->FillScreenInfo(info);
    m_pDisplay->Show(Canvas(1, 1), info);
    return;
  }
  int width = 0;
  int height = 0;
  m_pDisplay->CanvasSize(width, height);
  Canvas canvas(width, height);
  m_stack.back()->PaintScreen(canvas, info);
  m_pDisplay->Show(canvas, info);
}

int EventLoop::NextTimeout(int requested) const {
  if (m_queue.Size() > 0) return 0;
  std::int64_t timeout = requested;
  const std::int64_t now = platform::MonotonicMilliseconds();
  if (m_bInvalid && m_pDisplay != nullptr && m_pDisplay->NeedsCanvas() && !m_stack.empty()) {
    const std::int64_t paint = std::max<std::int64_t>(m_nLastPaintMs + kPaintIntervalMilliseconds - now, 0);
    if (timeout < 0 || paint < timeout) timeout = paint;
  }
  for (const Timer& t : m_timers) {
    const std::int64_t wait = std::max<std::int64_t>(t.due - now, 0);
    if (timeout < 0 || wait < timeout) timeout = wait;
  }
  // While input is held the display's own wake-ups (a test script's next
  // step) have nothing to do.
  if (m_pDisplay != nullptr && m_nHolding == 0) {
    const int wake = m_pDisplay->WakeAfterMilliseconds();
    if (wake >= 0 && (timeout < 0 || wake < timeout)) timeout = wake;
  }
  return static_cast<int>(timeout);
}

void EventLoop::HandleInput() {
  if (m_pDisplay == nullptr) return;
  std::vector<InputEvent> events;
  m_pDisplay->ReadInput(events);
  for (const InputEvent& event : events) {
    // The program is ending: nothing typed now has anywhere to go.
    if (m_bExitRequested) break;
    // A signal does not wait behind a burst of presses kept during a pause.
    if (event.kind == InputEvent::Kind::Exit && m_nHolding > 0) m_input.clear();
    m_input.push_back(event);
  }
  DeliverInput();
  m_bPaintNow = true;
}

// Hands kept input to the dialog on top, oldest first. A handler may run a
// nested loop (a dialog, a pause) that delivers what comes after it.
void EventLoop::DeliverInput() {
  while (m_nHolding == 0 && !m_input.empty() && !m_bExitRequested) {
    if (m_stack.empty()) return;
    CDialog* top = m_stack.back();
    if (top->IsEnding()) {
      m_input.clear();
      return;
    }
    const InputEvent event = m_input.front();
    m_input.pop_front();
    if (event.kind == InputEvent::Kind::Exit) {
      m_bExitRequested = true;
      m_input.clear();
      break;
    }
    top->HandleInput(event);
    m_bInvalid = true;
    // A burst of keys (held down, pasted, typed ahead) whose handlers take
    // time must not freeze the window until the last one is done: between
    // two keys it is brought up to date at the usual paint rate.
    if (platform::MonotonicMilliseconds() - m_nLastPaintMs >= kPaintIntervalMilliseconds) {
      DispatchPosted();
      Repaint();
    }
  }
  ForwardExit();
}

// A dialog above the bottom one could keep the program from ending (and
// the session is gone: nobody will answer it), so it ends as if cancelled;
// the bottom dialog then acts on the Exit as on its soft key.
void EventLoop::ForwardExit() {
  if (!m_bExitRequested || m_nHolding > 0 || m_stack.empty()) return;
  CDialog* top = m_stack.back();
  if (top->IsEnding() || std::find(m_exitDelivered.begin(), m_exitDelivered.end(), top) != m_exitDelivered.end())
    return;
  m_exitDelivered.push_back(top);
  m_bInvalid = true;
  if (m_stack.size() > 1) {
    top->OnCancel();
    if (!top->IsEnding()) top->EndDialog(IDCANCEL);
    return;
  }
  InputEvent exit;
  exit.kind = InputEvent::Kind::Exit;
  top->HandleInput(exit);
}

void EventLoop::PauseHoldingInput(unsigned milliseconds) {
  const std::int64_t end = platform::MonotonicMilliseconds() + milliseconds;
  ++m_nHolding;
  for (std::int64_t left = milliseconds; left > 0; left = end - platform::MonotonicMilliseconds())
    Turn(static_cast<int>(left));
  --m_nHolding;
}

void EventLoop::Turn(int timeoutMilliseconds) {
  DispatchPosted();
  FireDueTimers();
  // Input kept during a pause that a message or timer began; and a dialog
  // that ended under an Exit hands it on to the one below.
  DeliverInput();
  Repaint();
  if (!m_stack.empty() && m_stack.back()->IsEnding()) {
    // A pause must not spin while the dialog on top winds down.
    if (m_nHolding > 0 && timeoutMilliseconds > 0) poll(nullptr, 0, timeoutMilliseconds);
    return;
  }

  pollfd fds[2] = {{m_queue.WakeFd(), POLLIN, 0}, {-1, POLLIN, 0}};
  nfds_t count = 1;
  if (m_pDisplay != nullptr && m_pDisplay->InputFd() >= 0) {
    fds[1].fd = m_pDisplay->InputFd();
    count = 2;
  }
  const int ready = poll(fds, count, NextTimeout(timeoutMilliseconds));
  if (ready < 0 && errno != EINTR) return;
  // Displays without a descriptor (tests) are asked every turn.
  if (count == 1 || (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0) HandleInput();
  DispatchPosted();
  FireDueTimers();
  Repaint();
}
