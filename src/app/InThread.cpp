// The reception thread's steps: connect, send the request and classify the
// reply, upload the GGA sentence. Each step posts the next one.
#include "app/FailureReason.h"
#include "app/FieldcastDlg.h"
#include "app/GgaOptions.h"
#include "app/Messages.h"
#include "app/WorkerThreads.h"
#include "framework/EventLoop.h"
#include "net/HttpReplyHead.h"
#include "net/NtripProtocol.h"
#include "net/NtripReply.h"
#include "net/NtripReplyHead.h"
#include "net/NtripRequest.h"
#include "platform/Clock.h"
#include "platform/ConnectionManager.h"
#include "platform/HostLookup.h"
#include "platform/Text.h"

namespace {

// The handheld waited this long after asking for a data connection; it also
// spaces a storm of attempts a little apart.
constexpr unsigned kAfterConnectionManagerMilliseconds = 100;
// Lets the caster take the position in before the stream is read.
constexpr unsigned kAfterGgaMilliseconds = 250;
constexpr wchar_t kConnecting[] = L"Connecting to Server";
constexpr wchar_t kConnected[] = L"Connected to Server";
constexpr wchar_t kConnectionFailed[] = L"ERROR: Connection to Server failed.";
constexpr wchar_t kGgaFailed[] = L"ERROR: Closed Server Socket: Failed NMEA write operation";
constexpr wchar_t kClosedWithoutReply[] = L"ERROR: Server closed the connection without a reply.";

std::string CasterOf(const CFieldcastDlg& dlg) { return CasterNamed(dlg.m_szHost.Get(), dlg.m_nPort); }

// A host that is still a name after the address preparation was not found.
void ReportConnectFailure(const CFieldcastDlg& dlg) {
  if (!platform::IsNumericAddress(dlg.m_szHost.Get()))
    ReportFailureReason("caster host " + CasterAddress(dlg.m_szHost.Get(), dlg.m_nPort) + ": name not found");
  else
    ReportFailureReason(CasterOf(dlg) + ": " + SystemReason(dlg.m_socket.m_nLastError));
}

}  // namespace

// Its queue can be polled: following the receiver waits for the receiver's
// output and for this thread's next message at once.
InThread::InThread() : CStreamWorker(MessageQueue::Waiting::ByPoll) {
  OnStep(TM_CONNECT, &InThread::OnConnect);
  OnStep(TM_SEND_REQUEST, &InThread::OnSendRequest);
  OnStep(TM_SEND_GGA, &InThread::OnSendGga);
  OnStep(TM_CAPTURE_GGA, &InThread::OnCaptureGga);
  OnThreadMessage(TM_FOLLOW_GGA, [this](WPARAM run, LPARAM chain) {
    OnFollowGga(static_cast<unsigned>(run), static_cast<unsigned>(chain));
  });
  OnThreadMessage(TM_FOLLOW_WANTED, [this](WPARAM run, LPARAM) {
    if (static_cast<unsigned>(run) == m_nUnfollowedRun) StartFollowingGga(m_nUnfollowedRun);
  });
}

void InThread::PostToOutput(UINT message, unsigned run) {
  if (m_pDlg->m_pOutThread != nullptr) m_pDlg->m_pOutThread->PostThreadMessage(message, run);
}

void InThread::OnConnect(unsigned run) {
  if (!m_pDlg->IsCurrentRun(run)) return;
  // A stopped run's receive may still be on its way out of the socket.
  if (m_pDlg->m_pOutThread != nullptr) m_pDlg->m_pOutThread->WaitUntilOutOfRunsBefore(run);
  ++m_nFollowChain;  // a new connection is not followed before it is accepted
  m_nUnfollowedRun = 0;
  (void)platform::EstablishDataConnection();  // its answer does not decide anything
  platform::Sleep(kAfterConnectionManagerMilliseconds);
  m_pDlg->PrepareCasterAddress(run);
  m_pDlg->SetRunStatus(run, kConnecting);
  bool connected = false;
  {
    CSingleLock lock(&m_pDlg->m_socket.m_mutex, true);
    // A Stop that came meanwhile must not find a fresh connection it did not close.
    if (m_pDlg->IsCurrentRun(run)) connected = m_pDlg->m_socket.ConnectAny(m_pDlg->m_hostAddresses.Get(), m_pDlg->m_nPort);
    if (connected && !m_pDlg->IsCurrentRun(run)) {
      m_pDlg->m_socket.Close();  // stopped while connecting
      return;
    }
  }
  if (connected && m_pDlg->m_casterEndpoint.Get().protocol == CasterProtocol::Ntrip2Tls && !StartTls(run)) return;
  if (connected) {
    m_pDlg->SetRunStatus(run, kConnected);
    PostThreadMessage(TM_SEND_REQUEST, run);
    return;
  }
  if (!m_pDlg->IsCurrentRun(run)) return;
  ReportConnectFailure(*m_pDlg);
  FailedAttempt(run, kConnectionFailed);
}

// A caster that fails a TLS check is not tried again, and never in plain
// text: the check will fail the same way until someone changes something.
bool InThread::StartTls(unsigned run) {
  std::string problem;
  bool secured = false;
  {
    CSingleLock lock(&m_pDlg->m_socket.m_mutex, true);
    if (m_pDlg->IsCurrentRun(run))
      secured = m_pDlg->m_socket.StartTls(platform::EncodeUtf8(m_pDlg->m_casterEndpoint.Get().host), problem);
  }
  if (secured) return true;
  if (m_pDlg->SetRunStatus(run, kConnectionFailed)) ReportFailureReason(CasterOf(*m_pDlg) + ": " + problem);
  m_pDlg->PostRunMessage(run, WM_STREAM_STOP);
  return false;
}

bool InThread::BuildRequest() {
  TCPSocket& socket = m_pDlg->m_socket;
  const CasterEndpoint endpoint = m_pDlg->m_casterEndpoint.Get();
  if (endpoint.protocol == CasterProtocol::Ntrip1)
    return BuildNtripRequest(socket, m_pDlg->m_strMountPoint.Get(), m_pDlg->m_szCredentials.Get(), m_strProblem);
  const int defaultPort = endpoint.protocol == CasterProtocol::Ntrip2Tls ? kDefaultTlsPort : kDefaultNtrip2Port;
  // A position already known (a reconnection) also goes in the head.
  const std::string gga = m_pDlg->m_bSendNmea ? platform::Narrow(m_pDlg->m_strGGA.Get()) : std::string();
  return BuildNtrip2Request(socket, m_pDlg->m_strMountPoint.Get(), m_pDlg->m_szCredentials.Get(),
                            HostHeaderValue(platform::EncodeUtf8(endpoint.host), endpoint.port, defaultPort), gga,
                            m_strProblem);
}

// A first connection that fails ends the run; during a reconnection the
// attempt is counted and the countdown goes on.
void InThread::FailedAttempt(unsigned run, std::wstring_view status) {
  {
    CSingleLock lock(&m_pDlg->m_socket.m_mutex, true);
    if (m_pDlg->IsCurrentRun(run)) m_pDlg->m_socket.Close();  // a newer run's connection is not ours
  }
  if (!m_pDlg->SetRunStatus(run, std::wstring(status))) return;
  m_pDlg->NoteAttemptEnded(0);
  const int attempts = m_pDlg->m_nAttemptsLeft;
  if (attempts == m_pDlg->ActiveCasterDlg().m_nAttempts || attempts < 1) {
    m_pDlg->PostRunMessage(run, WM_STREAM_STOP);
    return;
  }
  --m_pDlg->m_nAttemptsLeft;
  m_pDlg->Reconnect(run);
}

void InThread::OnSendRequest(unsigned run) {
  if (!m_pDlg->IsCurrentRun(run)) return;
  TCPSocket& socket = m_pDlg->m_socket;
  if (!BuildRequest()) {
    m_pDlg->SetRunStatus(run, m_strProblem);
    m_pDlg->PostRunMessage(run, WM_STREAM_STOP);
    return;
  }
  {
    CSingleLock lock(&socket.m_mutex, true);
    (void)socket.sendMsg();
  }
  if (!ReceiveReplyHead(socket)) {
    // A caster that restarts accepts and drops connections for a while.
    if (socket.m_len == 0) {
      if (m_pDlg->IsCurrentRun(run)) ReportFailureReason(CasterOf(*m_pDlg) + ": no reply, " + SystemReason(socket.m_nLastError));
      return FailedAttempt(run, kClosedWithoutReply);
    }
    // Without a reply the buffer still holds the request; say what happened
    // instead of showing it. A caster that hangs while it restarts is in
    // passing trouble, like one that drops the connection.
    if (m_pDlg->IsCurrentRun(run)) ReportFailureReason(CasterOf(*m_pDlg) + ": no reply within 20 s");
    return FailedAttempt(run, ntrip::kNoReplyStatus);
  }
  m_strReply.assign(socket.m_buffer, static_cast<size_t>(socket.m_len));
  // An accepted HTTP reply's head is read whole, however many blocks it takes.
  const int code = ReplyStatusCode(m_strReply);
  if (IsHttpReply(m_strReply) && code / 100 == 2 && !ReceiveHttpHead(socket, m_strReply)) {
    if (m_pDlg->SetRunStatus(run, OtherReplyStatusText(m_strReply.substr(0, m_strReply.find('\n')))))
      ReportFailureReason(CasterOf(*m_pDlg) + " answered: " + FirstReplyLine(m_strReply) + ", but its head did not end");
    m_pDlg->PostRunMessage(run, WM_STREAM_STOP);
    return;
  }
  OnReply(run);
}

void InThread::OnReply(unsigned run) {
  TCPSocket& socket = m_pDlg->m_socket;
  const std::string_view block(socket.m_buffer, static_cast<size_t>(socket.m_len));
  NtripReply kind = ClassifyReply(block);
  // A version 2 caster says by the content type that it sends its table.
  if (IsHttpReply(m_strReply) && ReplyStatusCode(m_strReply) / 100 == 2 && ParseHttpReplyHead(m_strReply).sourceTable)
    kind = NtripReply::SourceTable;
  switch (kind) {
    case NtripReply::SourceTable: {
      const int attempts = m_pDlg->m_nAttemptsLeft;
      if (attempts == m_pDlg->ActiveCasterDlg().m_nAttemptsStored || attempts < 1) {
        OnDownloadSourceTable(run);
      } else {
        // A reconnection whose mount point the caster no longer offers.
        m_pDlg->NoteAttemptEnded(0);
        --m_pDlg->m_nAttemptsLeft;
        m_pDlg->Reconnect(run);
      }
      return;
    }
    case NtripReply::Unauthorized:
      if (m_pDlg->SetRunStatus(run, std::wstring(ntrip::kUnauthorizedStatus)))
        ReportFailureReason(CasterOf(*m_pDlg) + " answered: " + FirstReplyLine(block));
      m_pDlg->PostRunMessage(run, WM_STREAM_STOP);
      return;
    case NtripReply::Accepted: {
      {
        CSingleLock lock(&m_pDlg->m_serialPort.m_mutex, true);
        (void)m_pDlg->m_serialPort.PurgeInput();
      }
      // Stream bytes that came with the reply header are correction data;
      // from here on only the body's payload is received.
      const ReplyBodyStart start = BodyStartOf(m_strReply);
      m_pDlg->m_strPendingStreamData.Set(
          socket.BeginBody(start.body, std::string_view(m_strReply).substr(start.offset)));
      m_pDlg->m_nStreamStartMs = platform::MonotonicMilliseconds();
      m_pDlg->m_health.OnConnected(CasterAddress(m_pDlg->m_szHost.Get(), m_pDlg->m_nPort),
                                   platform::EncodeUtf8(m_pDlg->m_strMountPoint.Get()), m_pDlg->m_nStreamStartMs);
      // A stream that wants the position is accepted once the position is
      // sent: a caster that fails that upload failed the attempt.
      if (m_pDlg->m_bSendNmea) {
        PostThreadMessage(TM_SEND_GGA, run);
        return;
      }
      PostToOutput(TM_RECEIVE, run);
      StartFollowingGga(run);
      m_pDlg->m_nAttemptsLeft = m_pDlg->ActiveCasterDlg().m_nAttempts;
      return;
    }
    case NtripReply::Other:
      // A server error is passing trouble, like a refused connection.
      if (ReplyStatusCode(block) / 100 == 5) {
        if (m_pDlg->IsCurrentRun(run)) ReportFailureReason(CasterOf(*m_pDlg) + " answered: " + FirstReplyLine(block));
        return FailedAttempt(run, OtherReplyStatusText(block));
      }
      if (m_pDlg->SetRunStatus(run, OtherReplyStatusText(block)))
        ReportFailureReason(CasterOf(*m_pDlg) + " answered: " + FirstReplyLine(block));
      m_pDlg->PostRunMessage(run, WM_STREAM_STOP);
      return;
  }
}

void InThread::OnSendGga(unsigned run) {
  if (!m_pDlg->IsCurrentRun(run) || !m_pDlg->m_socket.m_bConnected) return;
  bool sent = false;
  {
    CSingleLock portLock(&m_pDlg->m_serialPort.m_mutex, true);
    CSingleLock socketLock(&m_pDlg->m_socket.m_mutex, true);
    const std::string gga = m_pDlg->GgaToUpload();
    sent = m_pDlg->m_socket.Send(gga.data(), static_cast<int>(gga.size()));
    if (sent && !gga.empty()) m_pDlg->m_health.OnGgaUploaded();
  }
  if (sent) {
    m_pDlg->m_nAttemptsLeft = m_pDlg->ActiveCasterDlg().m_nAttempts;
  } else {
    if (m_pDlg->IsCurrentRun(run)) ReportFailureReason(CasterOf(*m_pDlg) + ": sending the position failed");
    // On a first connection this ends the run; during a reconnection it is
    // one more failed attempt, like a caster that accepts and drops. Either
    // way there is no stream to receive.
    return FailedAttempt(run, kGgaFailed);
  }
  platform::Sleep(kAfterGgaMilliseconds);
  PostToOutput(TM_RECEIVE, run);
  StartFollowingGga(run);
}
