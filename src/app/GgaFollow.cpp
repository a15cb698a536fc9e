// Following the receiver's position while a stream runs (--gga-interval):
// the reception thread, idle once the stream flows, reads the receiver's
// NMEA output and uploads its newest GGA sentence every interval.
//
// The port is full duplex: reads take the port's lock only for one
// non-blocking read into a buffer of their own, so the output thread's
// writes are neither delayed nor reordered. Each chain of steps belongs to
// one accepted connection and ends when that connection or the run ends.
#include "app/FieldcastDlg.h"
#include "app/GgaOptions.h"
#include "app/WorkerThreads.h"
#include "platform/Clock.h"
#include "platform/Text.h"
#include "platform/Trace.h"

namespace {

// Receivers send a position every second or faster; five looks a second
// keep the uploaded one fresh without busy reading.
constexpr unsigned kFollowPollMilliseconds = 200;

}  // namespace

void InThread::StartFollowingGga(unsigned run) {
  const int interval = m_pDlg->m_ggaOptions.intervalSeconds;
  if (interval <= 0 || !m_pDlg->m_serialPort.m_bOpen) return;
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
  char bytes[SerialPort::kBufferSize];
  int count = 0;
  {
    CSingleLock lock(&port.m_mutex, true);
    count = port.Read(bytes, sizeof bytes);
  }
  const std::wstring newest = m_gga.ExtractNewestGGA(platform::Widen(std::string_view(bytes, static_cast<size_t>(count))));
  if (!newest.empty()) m_pDlg->m_strGGA.Set(newest);
  const std::int64_t now = platform::MonotonicMilliseconds();
  if (now - m_nLastGgaUploadMs >= m_pDlg->m_ggaOptions.intervalSeconds * std::int64_t{1000}) {
    m_nLastGgaUploadMs = now;
    const std::string gga = platform::Narrow(m_pDlg->m_strGGA.Get());
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
  }
  platform::Sleep(kFollowPollMilliseconds);
  PostThreadMessage(TM_FOLLOW_GGA, run, static_cast<LPARAM>(chain));
}
