#include "framework/WinThread.h"

#include <atomic>

namespace {
std::atomic<unsigned> g_nextThreadId{1};
}

CWinThread::~CWinThread() { Quit(); }

bool CWinThread::CreateThread(bool suspended) {
  std::lock_guard lock(m_stateMutex);
  if (m_thread.joinable()) return false;
  m_nThreadID = g_nextThreadId++;
  m_bResumed = !suspended;
  m_thread = std::thread([this] { Run(); });
  return true;
}

void CWinThread::ResumeThread() {
  {
    std::lock_guard lock(m_stateMutex);
    m_bResumed = true;
  }
  m_resumed.notify_all();
}

bool CWinThread::PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Checked and posted under one lock: a message must not land behind the
  // WM_QUIT of a concurrent Quit, where nobody takes it, while we answer true.
  std::lock_guard lock(m_stateMutex);
  if (m_bQuitPosted) return false;
  m_queue.Post(MSG{0, message, wParam, lParam});
  return true;
}

bool CWinThread::IsRunning() const {
  std::lock_guard lock(m_stateMutex);
  return m_thread.joinable() && !m_bQuitPosted;
}

void CWinThread::Quit() {
  std::thread thread;
  {
    std::lock_guard lock(m_stateMutex);
    if (!m_thread.joinable()) return;
    if (!m_bQuitPosted) {
      m_bQuitPosted = true;
      m_queue.Post(MSG{0, WM_QUIT, 0, 0});
    }
    m_bResumed = true;  // a suspended thread must wake to see the quit
    thread = std::move(m_thread);
  }
  m_resumed.notify_all();
  if (thread.get_id() != std::this_thread::get_id()) thread.join();
  else thread.detach();
}

void CWinThread::Run() {
  {
    std::unique_lock lock(m_stateMutex);
    m_resumed.wait(lock, [&] { return m_bResumed; });
  }
  if (!InitInstance()) {
    ExitInstance();
    return;
  }
  for (;;) {
    MSG msg = m_queue.Take();
    if (msg.message == WM_QUIT) break;
    Dispatch(msg);
    // Running the chosen step now is what posting it and taking it next
    // would do while the queue is empty; otherwise it queues up behind.
    while (m_bNextStep) {
      m_bNextStep = false;
      if (m_queue.Size() != 0) {
        (void)PostThreadMessage(m_nextStep.message, m_nextStep.wParam, m_nextStep.lParam);
        break;
      }
      const MSG next = m_nextStep;
      Dispatch(next);
    }
  }
  ExitInstance();
}

void CWinThread::Dispatch(const MSG& msg) {
  const auto handler = m_handlers.find(msg.message);
  if (handler != m_handlers.end()) handler->second(msg.wParam, msg.lParam);
}

void CWinThread::PostNextStep(UINT message, WPARAM wParam, LPARAM lParam) {
  m_nextStep = MSG{0, message, wParam, lParam};
  m_bNextStep = true;
}
