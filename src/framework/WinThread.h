#pragma once
// CWinThread: a worker thread that does nothing but handle posted thread
// messages, one at a time, in the order they were posted.
//
// Life: CreateThread(suspended) starts the OS thread, which waits until
// ResumeThread; then InitInstance runs once and the message loop begins.
// Quit() posts WM_QUIT behind everything already queued and joins, so a
// thread ends after finishing the step it is in.
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <condition_variable>

#include "framework/MessageQueue.h"
#include "framework/Types.h"

class CWinThread {
 public:
  // A thread whose steps also wait on descriptors takes a queue that
  // poll() can watch (MessageWakeFd); posting to it costs a system call.
  explicit CWinThread(MessageQueue::Waiting waiting = MessageQueue::Waiting::InTake) : m_queue(waiting) {}
  virtual ~CWinThread();
  CWinThread(const CWinThread&) = delete;
  CWinThread& operator=(const CWinThread&) = delete;

  [[nodiscard]] bool CreateThread(bool suspended);
  void ResumeThread();
  // Any thread may post. False once the thread has been told to quit.
  bool PostThreadMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // Ends the thread after the messages already queued; idempotent.
  void Quit();
  bool IsRunning() const;

  virtual bool InitInstance() { return true; }
  virtual int ExitInstance() { return 0; }

  unsigned m_nThreadID = 0;
  int m_nPriority = 0;

 protected:
  using Handler = std::function<void(WPARAM, LPARAM)>;
  // The thread's message map: one handler per message number, registered by
  // the derived class's constructor.
  void OnThreadMessage(UINT message, Handler handler) { m_handlers[message] = std::move(handler); }
  // For a handler on this thread: its next step. Posting it and taking it at
  // once when nothing else waits costs a lock each way for every step, so
  // the loop runs it straight after the handler then; anything already
  // queued (a stop, another run's step, a quit) still goes first. One per
  // handler; it replaces a PostThreadMessage to this thread.
  void PostNextStep(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // Readable while a message waits for this thread; -1 for a queue made to
  // be waited on in Take.
  int MessageWakeFd() const { return m_queue.WakeFd(); }

 private:
  void Run();
  void Dispatch(const MSG& msg);

  MessageQueue m_queue;
  std::map<UINT, Handler> m_handlers;
  std::thread m_thread;
  mutable std::mutex m_stateMutex;
  std::condition_variable m_resumed;
  bool m_bResumed = false;
  bool m_bQuitPosted = false;
  // This thread's own: the step its running handler chose to run next.
  MSG m_nextStep{};
  bool m_bNextStep = false;
};

constexpr int THREAD_PRIORITY_NORMAL = 3;  // the handheld's value for "normal"
constexpr unsigned CREATE_SUSPENDED = 0x4;

// Creates a thread object of class T and its OS thread, as the framework's
// thread-start function does. The object lives until the caller deletes it.
template <class T>
T* AfxBeginThread(int priority = THREAD_PRIORITY_NORMAL, unsigned stackSize = 0, unsigned flags = 0) {
  (void)stackSize;
  auto* thread = new T();
  thread->m_nPriority = priority;
  if (!thread->CreateThread((flags & CREATE_SUSPENDED) != 0)) {
    delete thread;
    return nullptr;
  }
  return thread;
}
