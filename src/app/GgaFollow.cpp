// Following the receiver while a stream runs: the reception thread, idle
// once the stream flows, reads the receiver's NMEA output for the health
// view (any talker) and, with --gga-interval, uploads the newest GGA
// sentence every interval.
//
// The port is full duplex: reads take the port's lock only for one
// non-blocking read into a buffer of their own, so the output thread's
// writes are neither delayed nor reordered. Each chain of steps belongs to
// one accepted connection and ends when that connection or the run ends.
#include <algorithm>

#include "app/FieldcastDlg.h"
#include "app/GgaOptions.h"
#include "app/WorkerThreads.h"
#include "platform/Clock.h"
#include "platform/Text.h"
#include "platform/Trace.h"

namespace {

// Receivers send a position every second or faster; at most five reads a
// second keep the uploaded one fresh without busy reading.
constexpr unsigned kFollowPollMilliseconds = 200;

}  // namespace

void InThread::StartFollowingGga(unsigned run) {
  m_nUnfollowedRun = 0;
  if (!m_pDlg->m_serialPort.m_bOpen || !m_pDlg->IsCurrentRun(run) || !m_pDlg->m_socket.m_bConnected) return;
  // Polling the receiver for nobody would wake the program five times a
  // second for the whole stream: the window asks when a health view opens.
  const bool uploads = m_pDlg->m_ggaOptions.intervalSeconds > 0 && m_pDlg->m_bSendNmea;
  if (!uploads && !m_pDlg->m_health.WantsReceiver()) {
    m_nUnfollowedRun = run;
    return;
  }
  m_nLastGgaUploadMs = platform::MonotonicMilliseconds();
  PostThreadMessage(TM_FOLLOW_GGA, run, static_cast<LPARAM>(++m_nFollowChain));
}

void InThread::OnFollowGga(unsigned run, unsigned chain) {
  TCPSocket& socket = m_pDlg->m_socket;
  SerialPort& port = m_pDlg->m_serialPort;
  if (chain != m_nFollowChain) return;
  if (!m_pDlg->IsCurrentRun(run) || !socket.m_bConnected || !port.m_bOpen) {
    ++m_nFollowChain;  // a reconnection starts its own chain
    return;
  }
  const GgaOptions& options = m_pDlg->m_ggaOptions;
  const bool uploads = options.intervalSeconds > 0 && m_pDlg->m_bSendNmea;
  const bool followsReceiver = uploads && !options.hasFixedPosition;
  // Without a health view or an interval nothing is read: the receiver's
  // output stays unread, as in a run without either.
  const bool readsReceiver = followsReceiver || m_pDlg->m_health.WantsReceiver();
  if (readsReceiver) {
    char bytes[SerialPort::kBufferSize];
    int count = 0;
    {
      CSingleLock lock(&port.m_mutex, true);
      count = port.Read(bytes, sizeof bytes);
    }
    if (count > 0) m_pDlg->m_health.OnReceiverText(bytes, static_cast<size_t>(count), platform::MonotonicMilliseconds());
    // Only the interval's uploads take the receiver's newest sentence: a
    // health view alone never changes the sentence kept for later runs.
    if (followsReceiver) {
      const std::wstring newest =
          m_gga.ExtractNewestGGA(platform::Widen(std::string_view(bytes, static_cast<size_t>(std::max(count, 0)))));
      if (!newest.empty()) m_pDlg->m_strGGA.Set(newest);
    }
  }
  const std::int64_t now = platform::MonotonicMilliseconds();
  if (uploads && now - m_nLastGgaUploadMs >= options.intervalSeconds * std::int64_t{1000}) {
    m_nLastGgaUploadMs = now;
    const std::string gga = m_pDlg->GgaToUpload();
    // Without the socket's lock: the output thread holds it for a whole
    // port write, and Send uses nothing of the socket but its connection.
    const bool sent = gga.empty() || socket.Send(gga.data(), static_cast<int>(gga.size()));
    if (!sent) {
      // The output thread's receive then fails and runs the reconnection.
      platform::Trace("GGA upload failed; the connection is given up\n");
      socket.Shutdown();
      ++m_nFollowChain;
      return;
    }
    if (!gga.empty()) m_pDlg->m_health.OnGgaUploaded();
  }
  platform::Sleep(kFollowPollMilliseconds);
  // Then the chain sleeps until the receiver sends, the next upload is due
  // or another step waits for this thread (a reconnection, a Stop): a
  // receiver that says nothing costs no wake-up at all.
  std::chrono::milliseconds wait{-1};
  if (uploads) wait = std::chrono::milliseconds(std::max<std::int64_t>(
                   0, m_nLastGgaUploadMs + options.intervalSeconds * std::int64_t{1000} - platform::MonotonicMilliseconds()));
  if (readsReceiver) port.WaitForInput(MessageWakeFd(), wait);
  else port.WaitForWake(MessageWakeFd(), wait);
  PostThreadMessage(TM_FOLLOW_GGA, run, static_cast<LPARAM>(chain));
}
