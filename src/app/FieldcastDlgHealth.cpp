// The main window's side of stream health: the GGA to upload, the status
// file and the service's health lines once a second, and the F3 page.
#include <sys/stat.h>

#include <ctime>

#include "app/FailureReason.h"
#include "app/FieldcastDlg.h"
#include "app/Messages.h"
#include "app/StreamHealthDlg.h"
#include "app/WorkerThreads.h"
#include "framework/EventLoop.h"
#include "framework/TemporaryFile.h"
#include "health/HealthTexts.h"
#include "platform/Clock.h"
#include "platform/Text.h"

std::string CFieldcastDlg::GgaToUpload() const {
  if (m_ggaOptions.hasFixedPosition) return BuildGga(m_ggaOptions.fixedPosition, std::time(nullptr));
  return platform::Narrow(m_strGGA.Get());
}

void CFieldcastDlg::StartHealthReporting() {
  if (m_healthOptions.statusFile.empty() && m_healthOptions.intervalSeconds <= 0) return;
  m_health.WantReceiver();
  m_nLastHealthLineMs = platform::MonotonicMilliseconds();
  WriteStatusFile();
  SetTimer(HEALTH_TIMER_ID, 1000);
}

void CFieldcastDlg::OnHealthTick() {
  WriteStatusFile();
  const std::int64_t now = platform::MonotonicMilliseconds();
  if (m_healthOptions.intervalSeconds <= 0 || now - m_nLastHealthLineMs < m_healthOptions.intervalSeconds * 1000LL) return;
  m_nLastHealthLineMs = now;
  // A service's log hears about the stream while one runs, not while idle.
  if (!m_bRunning) return;
  if (Display* display = EventLoop::Instance().GetDisplay())
    display->Message(platform::Widen(HealthLine(m_health.Take(now))));
}

// Monitoring tools poll the file: it is always whole, never half written.
// It is replaced every second, so it is not forced to the disk each time:
// a second's fsync would cost a service more than everything else it does.
void CFieldcastDlg::WriteStatusFile() {
  if (m_healthOptions.statusFile.empty()) return;
  const std::string json =
      HealthJson(m_health.Take(platform::MonotonicMilliseconds()), platform::EncodeUtf8(m_strStatus.Get()));
  TemporaryFile file(platform::WidenLocal(m_healthOptions.statusFile), 0644, TemporaryFile::Flush::Lazily);
  const bool written = file.Write(json.data(), json.size()) && file.Commit();
  static std::wstring lastProblem;
  // One reason line per new problem, not one a second.
  const std::wstring problem = written ? std::wstring() : file.ErrorText();
  if (!problem.empty() && problem != lastProblem)
    ReportFailureReason("status file " + m_healthOptions.statusFile + " not written: " + platform::NarrowLocal(problem));
  lastProblem = problem;
}

void CFieldcastDlg::OnStreamHealthPage() {
  m_health.WantReceiver();
  if (m_bRunning && m_pInThread != nullptr) m_pInThread->PostThreadMessage(TM_FOLLOW_WANTED, CurrentRun());
  CStreamHealthDlg page(m_health, [this] { return m_strStatus.Get(); });
  page.DoModal();
}
