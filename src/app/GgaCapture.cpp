// The reception thread's GGA capture: before the first connection of a run
// whose stream wants the client's position, read the receiver's NMEA output
// until a complete GGA sentence has come, for at most a minute.
#include "app/FieldcastDlg.h"
#include "app/Messages.h"
#include "app/WorkerThreads.h"
#include "platform/Clock.h"
#include "platform/Text.h"
#include "platform/Trace.h"

namespace {

// Fewer bytes than this cannot hold a GGA sentence worth reading for.
constexpr int kMinimumBytes = 51;
constexpr unsigned kPollMilliseconds = 100;
constexpr std::int64_t kCaptureSeconds = 60;

}  // namespace

void InThread::OnCaptureGga(unsigned run) {
  if (!m_pDlg->IsCurrentRun(run)) return;
  SerialPort& port = m_pDlg->m_serialPort;
  const std::wstring& name = port.m_strName;
  const std::int64_t started = platform::MonotonicMilliseconds() / 1000;
  m_pDlg->m_strGGA.Set(L"");
  m_gga.SetTalkers(m_pDlg->m_ggaOptions.talkers);
  m_gga.ForgetUnfinished();
  bool hintGiven = false;
  {
    CSingleLock lock(&port.m_mutex, true);
    if (!port.PurgeInput()) return;
  }
  while (m_pDlg->m_strGGA.Get().empty() && port.m_bOpen && m_pDlg->IsCurrentRun(run)) {
    if (port.BytesWaiting() < kMinimumBytes) {
      m_pDlg->SetRunStatus(run, L"Waiting for NMEA data on " + name + L"...");
    } else {
      m_pDlg->SetRunStatus(run, L"Reading NMEA data...");
      CSingleLock lock(&port.m_mutex, true);
      const int count = port.Read(port.m_buffer, SerialPort::kBufferSize);
      port.m_count = count;
      if (count == 0) {
        // The port failed: the stop ends the run, and no connection may
        // start meanwhile with a sentence from an earlier run.
        m_pDlg->SetRunStatus(run, L"ERROR: Failed read data from " + name);
        m_pDlg->PostRunMessage(run, WM_STREAM_STOP);
        return;
      }
      const std::wstring text = platform::Widen(std::string_view(port.m_buffer, static_cast<size_t>(count)));
      m_pDlg->m_strGGA.Set(m_gga.ExtractGGA(text));
      if (!m_pDlg->m_strGGA.Get().empty()) {
        PostThreadMessage(TM_CONNECT, run);
        return;
      }
    }
    // A receiver that names itself differently is the usual reason for the
    // error below; the trace says which talker it uses.
    if (!hintGiven && !m_gga.IgnoredTalker().empty()) {
      hintGiven = true;
      platform::Trace(L"GGA capture: the receiver sends $" + m_gga.IgnoredTalker() +
                      L"GGA, which is not accepted; start with --gga-talkers GP," + m_gga.IgnoredTalker() +
                      L" to use it\n");
    }
    if (platform::MonotonicMilliseconds() / 1000 - started > kCaptureSeconds) {
      m_pDlg->SetRunStatus(run, L"ERROR: Failed read data from " + name);
      m_pDlg->PostRunMessage(run, WM_STREAM_STOP);
      return;
    }
    platform::Sleep(kPollMilliseconds);
  }
}
