#include "app/WorkerThreads.h"

void CStreamWorker::EnterStep(unsigned run) {
  std::lock_guard lock(m_stepMutex);
  m_bInStep = true;
  m_nStepRun = run;
}

// Steps end three times a block; only a new run ever waits for one.
void CStreamWorker::LeaveStep() {
  bool waited = false;
  {
    std::lock_guard lock(m_stepMutex);
    m_bInStep = false;
    waited = m_nWaiting > 0;
  }
  if (waited) m_stepLeft.notify_all();
}

// Run numbers only grow. The stopped run's step ends promptly: Stop closed
// the socket and the port, which wakes every wait inside a step.
void CStreamWorker::WaitUntilOutOfRunsBefore(unsigned run) {
  std::unique_lock lock(m_stepMutex);
  ++m_nWaiting;
  m_stepLeft.wait(lock, [&] { return !m_bInStep || m_nStepRun >= run; });
  --m_nWaiting;
}
