// The output thread's steps: open the port, then block by block receive
// and write the correction stream, watching each write's duration, and
// count each block once it went out.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "app/FailureReason.h"
#include "app/FieldcastDlg.h"
#include "app/Messages.h"
#include "app/WorkerThreads.h"
#include "framework/EventLoop.h"
#include "platform/Clock.h"

namespace {

// A block whose complete write takes longer than this means the port is
// far slower than the stream: the run stops instead of falling behind.
constexpr std::int64_t kTooSlowMilliseconds = 20'000;
constexpr unsigned kTooSlowPauseMilliseconds = 1000;
// The counter and progress bar are refreshed at most 20 times a second,
// the window's paint rate.
constexpr std::int64_t kRefreshIntervalMilliseconds = 50;
// The byte counter starts again from 0 past this count.
constexpr int kMaxTotalBytes = 999'999'999;

std::wstring WithPort(const wchar_t* pattern, const std::wstring& port) {
  std::wstring text = pattern;
  const size_t at = text.find(L"%s");
  if (at != std::wstring::npos) text.replace(at, 2, port);
  return text;
}

}  // namespace

std::wstring ByteCounterText(int totalBytes) {
  char text[32];
  if (totalBytes < 1000) std::snprintf(text, sizeof text, "%d", totalBytes);
  else if (totalBytes < 1000000) std::snprintf(text, sizeof text, "%1.3fk", static_cast<double>(totalBytes / 1000.0f));
  else std::snprintf(text, sizeof text, "%1.3fM", static_cast<double>(totalBytes / 1000000.0f));
  return std::wstring(text, text + std::strlen(text));
}

// Made again only when the port's name changed: most blocks need it.
const std::wstring& OutThread::WritingStatus(const SerialPort& port) {
  if (m_strWritingPort != port.m_strName || m_strWriting.empty()) {
    m_strWritingPort = port.m_strName;
    m_strWriting = WithPort(L"Writing data to %s...", port.m_strName);
  }
  return m_strWriting;
}

OutThread::OutThread() : m_refresh(kRefreshIntervalMilliseconds) {
  OnStep(TM_OPEN_PORT, &OutThread::OnOpenPort);
  OnStep(TM_RECEIVE, &OutThread::OnReceive);
  OnStep(TM_DISPATCH, &OutThread::OnDispatch);
  OnStep(TM_NO_OUTPUT, &OutThread::OnNoOutput);
  OnStep(TM_WRITE_PORT, &OutThread::OnWritePort);
}

void OutThread::OnOpenPort(unsigned run) {
  if (!m_pDlg->IsCurrentRun(run)) return;
  CSingleLock lock(&m_pDlg->m_serialPort.m_mutex, true);
  if (!m_pDlg->m_serialPort.Open()) {
    if (m_pDlg->SetRunStatus(run, WithPort(L"ERROR#5: Failed to set up %s", m_pDlg->m_serialPort.m_strName)))
      ReportFailureReason(PortDevice(m_pDlg->m_serialPort.m_nPortNo) + ": " + m_pDlg->m_serialPort.OpenProblem());
    m_pDlg->PostRunMessage(run, WM_STREAM_STOP);
    return;
  }
  InThread* in = m_pDlg->m_pInThread;
  if (in == nullptr) return;
  // A position given on the command line needs no capture.
  if (m_pDlg->m_bSendNmea && m_pDlg->m_bStreamSelected && !m_pDlg->m_ggaOptions.hasFixedPosition)
    in->PostThreadMessage(TM_CAPTURE_GGA, run);
  else in->PostThreadMessage(TM_CONNECT, run);
}

// Bytes that came with the reply's header go out before anything else.
bool OutThread::TakePendingBlock() {
  std::string pending = m_pDlg->m_strPendingStreamData.Get();
  if (pending.empty()) return false;
  TCPSocket& socket = m_pDlg->m_socket;
  const size_t count = std::min(pending.size(), sizeof socket.m_buffer - 1);
  CSingleLock lock(&socket.m_mutex, true);
  std::memcpy(socket.m_buffer, pending.data(), count);
  socket.m_buffer[count] = '\0';
  socket.m_len = static_cast<int>(count);
  m_pDlg->m_strPendingStreamData.Set(pending.substr(count));
  return true;
}

void OutThread::OnReceive(unsigned run) {
  if (!m_pDlg->IsCurrentRun(run)) return;
  if (!m_pDlg->m_socket.m_bConnected) {
    m_pDlg->PostRunMessage(run, WM_STREAM_STOP);
    return;
  }
  if (!TakePendingBlock()) {
    // A counter refresh held back goes out when the stream pauses for the
    // rest of its interval, so the window shows the last count.
    if (const std::int64_t held = m_refresh.HeldFor(platform::MonotonicMilliseconds()); held >= 0) {
      if (!m_pDlg->m_socket.WaitForData(std::chrono::milliseconds(held))) PostRefresh(run);
    }
    if (!m_pDlg->m_socket.recvMsg()) {
      LostConnection(run);
      return;
    }
  }
  PostNextStep(TM_DISPATCH, run);
}

void OutThread::LostConnection(unsigned run) {
  if (!m_pDlg->IsCurrentRun(run)) return;  // Stop cut the connection
  {
    CSingleLock lock(&m_pDlg->m_socket.m_mutex, true);
    m_pDlg->m_socket.Close();
  }
  m_pDlg->m_health.OnDisconnected();
  if (!m_pDlg->SetRunStatus(run, L"ERROR: Connection to Server failed.")) return;
  // Broken framing is no passing trouble: the run ends, and the damaged
  // chunk never reached the receiver.
  if (const std::string problem = m_pDlg->m_socket.BodyProblem(); !problem.empty()) {
    ReportFailureReason(CasterNamed(m_pDlg->m_szHost.Get(), m_pDlg->m_nPort) + ": malformed reply, " + problem);
    m_pDlg->PostRunMessage(run, WM_STREAM_STOP);
    return;
  }
  const int error = m_pDlg->m_socket.m_nLastError;
  ReportFailureReason(CasterNamed(m_pDlg->m_szHost.Get(), m_pDlg->m_nPort) + ": stream lost, " +
                      (error == ETIMEDOUT ? std::string("no data for 20 s") : SystemReason(error)));
  m_pDlg->NoteAttemptEnded(platform::MonotonicMilliseconds() - m_pDlg->m_nStreamStartMs);
  --m_pDlg->m_nAttemptsLeft;
  m_pDlg->Reconnect(run);
}

// Counted once the block went out (or was read, without output), under the
// socket's lock: Stop resets the counters only after taking that lock, so
// a block of the stopped run is never counted after the reset.
void OutThread::CountBlock(unsigned run, int count) {
  if (!m_pDlg->IsCurrentRun(run)) return;
  int total = m_pDlg->m_nTotalBytes += count;
  m_pDlg->m_nProgressPos = total % m_pDlg->m_nProgressMax;
  if (total > kMaxTotalBytes) m_pDlg->m_nTotalBytes = total = 0;
  m_bCounted = true;
}

// After the lock: the window hears of the count at most every interval, and
// a display that shows no counter (a service's log) never does.
void OutThread::AfterCount(unsigned run) {
  if (!m_bCounted || !m_pDlg->m_bCounterShown) return;
  m_bCounted = false;
  if (m_refresh.Changed(platform::MonotonicMilliseconds())) PostRefresh(run);
}

void OutThread::PostRefresh(unsigned run) {
  if (!m_pDlg->IsCurrentRun(run)) return;  // Stop has reset the counter
  // The text is made only for the window, not for every block.
  m_pDlg->m_strBytes.Set(ByteCounterText(m_pDlg->m_nTotalBytes));
  m_refresh.Told(platform::MonotonicMilliseconds());
  // One message for counter and bar: a second post would wake the window's
  // thread again while it is already taking the first. A refresh that still
  // waits in the window's queue takes this one in (the queue coalesces).
  ::PostMessage(m_hWndMain, WM_STATUS_REFRESH);
}

void OutThread::OnDispatch(unsigned run) {
  if (!m_pDlg->IsCurrentRun(run)) return;
  const int output = m_pDlg->m_settingsDlg.m_nOutputStored;
  if (output == 0) PostNextStep(TM_WRITE_PORT, run);
  else if (output == 1) PostNextStep(TM_NO_OUTPUT, run);
}

void OutThread::OnNoOutput(unsigned run) {
  if (!m_pDlg->SetRunStatus(run, L"Reading data stream...")) return;
  int count = 0;
  {
    CSingleLock lock(&m_pDlg->m_socket.m_mutex, true);
    count = std::clamp(m_pDlg->m_socket.m_len, 0, static_cast<int>(sizeof m_relayed));
    std::memcpy(m_relayed, m_pDlg->m_socket.m_buffer, static_cast<size_t>(count));
    CountBlock(run, count);
  }
  AfterCount(run);
  AfterRelay(count);
  PostNextStep(TM_RECEIVE, run);
}

void OutThread::AfterRelay(int count) {
  if (count <= 0) return;
  m_pDlg->m_health.OnBlockWritten(m_relayed, static_cast<size_t>(count), platform::MonotonicMilliseconds());
  if (!m_bRecorderReady) {
    m_recorder.SetPath(m_pDlg->m_healthOptions.recordFile);
    m_bRecorderReady = true;
  }
  if (!m_recorder.Append(m_relayed, static_cast<size_t>(count))) m_pDlg->m_health.OnRecordingEnded(m_recorder.Problem());
}

void OutThread::OnWritePort(unsigned run) {
  SerialPort& port = m_pDlg->m_serialPort;
  if (!m_pDlg->IsCurrentRun(run) || !port.m_bOpen) return;
  int count = 0;
  int written = 0;
  std::int64_t elapsed = 0;
  int error = 0;
  {
    CSingleLock portLock(&port.m_mutex, true);
    CSingleLock socketLock(&m_pDlg->m_socket.m_mutex, true);
    TCPSocket& socket = m_pDlg->m_socket;
    count = std::clamp(socket.m_len, 0, static_cast<int>(sizeof port.m_buffer));
    std::memcpy(port.m_buffer, socket.m_buffer, static_cast<size_t>(count));
    port.m_count = count;
    const std::int64_t started = platform::MonotonicMilliseconds();
    errno = 0;
    written = port.WriteAll();
    error = errno;
    elapsed = platform::MonotonicMilliseconds() - started;
    std::memcpy(m_relayed, port.m_buffer, static_cast<size_t>(std::clamp(written, 0, count)));
    CountBlock(run, count);
  }
  AfterCount(run);
  // The watch sees what reached the port, only after it did.
  AfterRelay(std::clamp(written, 0, count));
  const auto writtenOf = [&] { return std::to_string(written) + " of " + std::to_string(count) + " bytes written"; };
  // A receiver that stops reading (or holds its flow control) takes nothing
  // for as long as WriteAll waits: that port is too slow, whether or not it
  // took part of the block first. A write that ends short within the limit
  // failed: the port reported an error or went away.
  if (written < count && elapsed <= kTooSlowMilliseconds) {
    if (m_pDlg->SetRunStatus(run, WithPort(L"ERROR: Failed send data to %s", port.m_strName))) {
      ReportFailureReason(PortDevice(port.m_nPortNo) + ": " + (error != 0 ? SystemReason(error) : "write failed") +
                          ", " + writtenOf());
      m_pDlg->PostRunMessage(run, WM_STREAM_STOP);
    }
    return;
  }
  if (elapsed <= kTooSlowMilliseconds) {
    if (m_pDlg->SetRunStatus(run, WritingStatus(port))) PostNextStep(TM_RECEIVE, run);
    return;
  }
  if (!m_pDlg->SetRunStatus(run, L"COM-Port too slow. Adjust Settings")) return;
  ReportFailureReason(PortDevice(port.m_nPortNo) + ": one block took " + std::to_string(elapsed / 1000) + " s, " +
                      writtenOf());
  platform::Sleep(kTooSlowPauseMilliseconds);
  m_pDlg->PostRunMessage(run, WM_STREAM_STOP);
}
