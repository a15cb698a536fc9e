#include "framework/MemoryDisplay.h"

#include "framework/EventLoop.h"

MemoryDisplay& MemoryDisplay::PushEvent(const InputEvent& event) {
  Step step;
  step.hasEvent = true;
  step.event = event;
  m_script.push_back(std::move(step));
  return *this;
}

MemoryDisplay& MemoryDisplay::Key(UINT key, bool shift) {
  InputEvent event;
  event.kind = InputEvent::Kind::Key;
  event.key = key;
  event.shift = shift;
  return PushEvent(event);
}

MemoryDisplay& MemoryDisplay::Type(const std::wstring& text) {
  for (wchar_t ch : text) {
    InputEvent event;
    event.kind = InputEvent::Kind::Char;
    event.ch = ch;
    PushEvent(event);
  }
  return *this;
}

MemoryDisplay& MemoryDisplay::Click(int x, int y) {
  InputEvent event;
  event.kind = InputEvent::Kind::Click;
  event.x = x;
  event.y = y;
  return PushEvent(event);
}

MemoryDisplay& MemoryDisplay::Exit() {
  InputEvent event;
  event.kind = InputEvent::Kind::Exit;
  return PushEvent(event);
}

MemoryDisplay& MemoryDisplay::Do(std::function<void()> action) {
  Step step;
  step.action = std::move(action);
  m_script.push_back(std::move(step));
  return *this;
}

MemoryDisplay& MemoryDisplay::WaitUntil(std::function<bool()> condition, std::chrono::milliseconds deadline) {
  Step step;
  step.waitFor = std::move(condition);
  step.deadline = deadline;
  m_script.push_back(std::move(step));
  return *this;
}

// One step per call, so the dialog handles the messages each step causes
// before the next step runs, as it would between a person's key presses.
// While the window holds its input (a pause), the script waits as well: its
// actions would otherwise run inside the pause, before the press they follow
// has finished.
void MemoryDisplay::ReadInput(std::vector<InputEvent>& events) {
  if (m_script.empty() || EventLoop::Instance().InputHeld()) return;
  Step& step = m_script.front();
  if (step.waitFor && !step.waitFor()) {
    const auto now = std::chrono::steady_clock::now();
    if (step.waitingSince == std::chrono::steady_clock::time_point()) step.waitingSince = now;
    if (now - step.waitingSince < step.deadline) return;
    ++m_nTimedOut;
  }
  Step current = std::move(step);
  m_script.pop_front();
  if (current.action) current.action();
  if (current.hasEvent) events.push_back(current.event);
}

void MemoryDisplay::CanvasSize(int& width, int& height) const {
  width = m_width;
  height = m_height;
}

void MemoryDisplay::Show(const Canvas& canvas, const ScreenInfo& info) {
  m_canvas = canvas;
  m_info = info;
  ++m_nShows;
}

// While a step waits for a condition, the loop must look again soon; when
// the next step is ready, at once.
int MemoryDisplay::WakeAfterMilliseconds() const {
  if (m_script.empty()) return -1;
  return m_script.front().waitFor ? 5 : 0;
}
