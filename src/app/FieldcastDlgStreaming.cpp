// Streaming control: Start, Stop, the end-of-run reset, the caster address,
// reconnection, and the buttons that open the settings dialogs.
#include <algorithm>
#include <cstdio>
#include <cwctype>

#include "app/FailureReason.h"
#include "app/FieldcastDlg.h"
#include "app/Messages.h"
#include "app/ReconnectCountdown.h"
#include "app/RunEnd.h"
#include "app/StartLine.h"
#include "app/StatusTexts.h"
#include "app/WorkerThreads.h"
#include "framework/EventLoop.h"
#include "net/CasterEndpoint.h"
#include "net/NtripRequest.h"
#include "platform/Clock.h"
#include "platform/ControlCharacters.h"
#include "platform/HostLookup.h"
#include "platform/SerialDevices.h"
#include "platform/Text.h"
#include "res/ResourceIds.h"

namespace {

// Stop leaves the closed connection and port a moment to settle before the
// window offers Start again. The window stays live meanwhile (repaints,
// signals); presses made during the pause follow it in order.
constexpr unsigned kStopPauseMilliseconds = 600;
// m_szHost holds at most 31 characters (a dotted IPv4 address needs 15).
constexpr size_t kMaxHostLength = 31;
// An IPv6 address written out needs up to 45.
constexpr size_t kMaxIPv6Length = 45;
// Casters ban clients that reconnect in storms: an attempt that brought
// less than a minute of data doubles the wait before the next, up to a
// quarter of an hour.
constexpr std::int64_t kSteadyStreamMilliseconds = 60'000;
constexpr long long kMaxReconnectWaitSeconds = 15 * 60;

bool HasLetter(const std::wstring& text) {
  for (wchar_t c : text)
    if (std::iswalpha(static_cast<wint_t>(c))) return true;
  return false;
}

// An empty or unreadable settings file leaves no caster: connecting to
// ":0" would only fail less plainly, so the run ends before any attempt.
void EndRunWithoutCaster(CFieldcastDlg& dlg, unsigned run) {
  if (!dlg.SetRunStatus(run, kConnectionFailedStatus)) return;
  ReportFailureReason(dlg.ActiveCasterDlg().m_strHostPortStored.empty() ? "no caster is set (Broadcaster)"
                                                                       : "no caster host is set (Broadcaster)");
  dlg.PostRunMessage(run, WM_STREAM_STOP);
}

void PrintStartLine(CFieldcastDlg& dlg, bool toPort) {
  const CComPortDlg& port = dlg.m_settingsDlg.m_comPortDlg;
  StartFacts facts{dlg.m_bStreamSelected ? dlg.m_strMountPoint.Get() : std::wstring(),
                   dlg.ActiveCasterDlg().m_strHostPortStored,
                   toPort,
                   port.m_nComPort,
                   platform::SerialDevicePath(port.m_nComPort),
                   port.m_nBaudRate,
                   port.m_nByteSize,
                   port.m_nParityCode,
                   port.m_nStopBitsCode};
  const std::string line = StartLineText(facts) + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

void CFieldcastDlg::EnableIdleControls(bool idle) {
  for (int id : {IDC_LIST_NETWORKS, IDC_LIST_STREAMS, IDC_STREAM_DETAILS, IDC_START, IDC_SETTINGS, IDC_BROADCASTER})
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(idle);
  GotoDlgCtrl(GetDlgItem(idle ? IDC_START : IDC_STOP));
}

void CFieldcastDlg::OnStart() {
  UpdateData(true);
  // Such a stream cannot be requested: say so instead of starting a run.
  if (m_listStreams.GetCurSel() > 0 && platform::HasControlCharacter(m_strMountPoint.Get())) {
    m_strStatus.Set(std::wstring(kMountPointControlStatus));
    UpdateData(false);
    return;
  }
  unsigned run = 0;
  {
    std::lock_guard lock(m_runMutex);
    run = ++m_nRunId;
  }
  m_nQuickFailures = 0;
  m_strPendingStreamData.Set({});
  m_bRunning = 1;
  EnableIdleControls(false);
  m_nTotalBytes = 0;
  m_health.Reset();
  UpdateData(false);
  PrepareCasterAddress(run);
  if (m_szHost.Get().empty()) return EndRunWithoutCaster(*this, run);
  m_bStreamSelected = m_listStreams.GetCurSel() > 0;
  if (m_listStreams.GetCurSel() == 0) m_strMountPoint.Set(L"");
  const int output = m_settingsDlg.m_nOutputStored;
  if (m_bPrintStartLine) PrintStartLine(*this, output == 0);
  if (output == 0) {
    const CComPortDlg& port = m_settingsDlg.m_comPortDlg;
    m_serialPort.SetParams(port.m_strPort, port.m_nComPort, port.m_nBaudRate, port.m_nByteSize, port.m_nParityCode,
                           port.m_nStopBitsCode);
    if (m_pOutThread != nullptr) m_pOutThread->PostThreadMessage(TM_OPEN_PORT, run);
  } else if (output == 1) {
    if (m_pInThread != nullptr) m_pInThread->PostThreadMessage(TM_CONNECT, run);
  }
}

// A worker step may hold a lock for a long wait (a connect of up to 10 s, a
// write to a stalled port). Closing first, without the lock, wakes it at
// once; the close under the lock then only waits for the step to end.
void CFieldcastDlg::CloseConnectionAndPort() {
  m_health.OnDisconnected();
  m_socket.Close();
  m_serialPort.Close();
  {
    CSingleLock lock(&m_socket.m_mutex, true);
    m_socket.Close();
  }
  CSingleLock lock(&m_serialPort.m_mutex, true);
  m_serialPort.Close();
}

void CFieldcastDlg::ResetCounters() {
  m_nProgressPos = 0;
  m_progress.SetPos(0);
  m_nTotalBytes = 0;
  m_strBytes.Set(L"0");
}

void CFieldcastDlg::EndRun() {
  std::lock_guard lock(m_runMutex);
  ++m_nRunId;
}

bool CFieldcastDlg::SetRunStatus(unsigned run, const std::wstring& text) {
  {
    std::lock_guard lock(m_runMutex);
    if (run != m_nRunId) return false;
    // The same text again (every block's "Writing data to ...") needs no refresh.
    if (m_strStatus.Equals(text)) return true;
    m_strStatus.Set(text);
  }
  ::PostMessage(m_hDlgWnd, WM_STATUS_REFRESH);
  return true;
}

void CFieldcastDlg::PostRunMessage(unsigned run, UINT message) { ::PostMessage(m_hDlgWnd, message, run); }

void CFieldcastDlg::OnStop() {
  EndRun();
  KillTimer(RECONNECT_TIMER_ID);
  PrepareCredentials();
  CloseConnectionAndPort();
  ResetCounters();
  EventLoop::Instance().PauseHoldingInput(kStopPauseMilliseconds);
  m_strStatus.Set(kIdleStatus);
  UpdateData(false);
  EnableIdleControls(true);
  m_bRunning = 0;
}

void CFieldcastDlg::EndOfRunReset() {
  EndRun();
  KillTimer(RECONNECT_TIMER_ID);
  PrepareCredentials();
  CloseConnectionAndPort();
  ResetCounters();
  UpdateData(false);
  KillTimer(RECONNECT_TIMER_ID);
  EnableIdleControls(true);
  m_bRunning = 0;
}

LRESULT CFieldcastDlg::OnStreamStop(WPARAM run, LPARAM) {
  if (!IsCurrentRun(static_cast<unsigned>(run))) return 0;
  EndOfRunReset();
  if (m_bExitOnRunError && RunEndedOnError(m_strStatus.Get())) {
    m_bEndedOnError = true;
    OnOK();  // idle now: saves the settings and closes
  }
  return 0;
}

void CFieldcastDlg::Reconnect(unsigned run) { PostRunMessage(run, WM_RECONNECT); }

void CFieldcastDlg::NoteAttemptEnded(std::int64_t streamedMilliseconds) {
  if (streamedMilliseconds >= kSteadyStreamMilliseconds) m_nQuickFailures = 0;
  else if (m_nQuickFailures < 32) ++m_nQuickFailures;
}

int CFieldcastDlg::ReconnectWaitSeconds() const {
  long long wait = std::max(m_nRetryInterval.load(), 1);
  for (int i = 0; i < m_nQuickFailures && wait < kMaxReconnectWaitSeconds; ++i) wait *= 2;
  return static_cast<int>(std::min<long long>(wait, kMaxReconnectWaitSeconds));
}

// The timer ticks every second; when the wait is over it is killed and the
// next attempt goes through the connect step, so every attempt is counted.
LRESULT CFieldcastDlg::OnReconnectMessage(WPARAM run, LPARAM) {
  if (!IsCurrentRun(static_cast<unsigned>(run))) return 0;
  m_nReconnectTicks = 0;
  m_nReconnectWait = ReconnectWaitSeconds();
  SetTimer(RECONNECT_TIMER_ID, 1000);
  return 0;
}

void CFieldcastDlg::OnReconnectTimer(UINT id) {
  if (id == HEALTH_TIMER_ID) return OnHealthTick();
  if (id != RECONNECT_TIMER_ID) return;
  if (++m_nReconnectTicks < m_nReconnectWait) {
    // The loss's error text stays for the first second; then the wait counts down.
    SetRunStatus(CurrentRun(), ReconnectCountdownText(m_nReconnectWait - m_nReconnectTicks, m_nAttemptsLeft,
                                                      ActiveCasterDlg().m_nAttempts));
    return;
  }
  KillTimer(RECONNECT_TIMER_ID);
  if (m_bRunning && m_pInThread != nullptr) m_pInThread->PostThreadMessage(TM_CONNECT, CurrentRun());
}

bool CFieldcastDlg::PrepareCasterAddress(unsigned run) {
  const CasterEndpoint endpoint = ParseCasterText(ActiveCasterDlg().m_strHostPortStored);
  m_nPort = endpoint.port;
  std::wstring host = endpoint.host;
  std::vector<std::string> addresses;
  if (!platform::IsNumericAddress(platform::Narrow(host)) && HasLetter(host)) {
    if (platform::LookupHostAddresses(platform::NarrowLocal(host), addresses)) {
      host = platform::Widen(addresses.front());
      SetRunStatus(run, host);
    }
  }
  std::string narrow = platform::Narrow(host);
  const size_t limit = narrow.find(':') != std::string::npos ? kMaxIPv6Length : kMaxHostLength;
  if (narrow.size() > limit) narrow.resize(limit);
  if (addresses.empty()) addresses.push_back(narrow);
  m_szHost.Set(narrow);
  m_hostAddresses.Set(std::move(addresses));
  m_casterEndpoint.Set(endpoint);
  return true;
}

void CFieldcastDlg::OnBroadcaster() {
  CCasterDlgBase& caster = ActiveCasterDlg();
  caster.DoModal();
  PrepareCredentials();
  GotoDlgCtrl(GetDlgItem(IDC_BROADCASTER));
  if (!caster.m_bCasterChanged) return;
  caster.m_bCasterChanged = 0;
  m_listNetworks.ResetContent();
  m_listNetworks.SetCurSel(m_listNetworks.InsertString(-1, L"All"));
  m_listStreams.ResetContent();
  m_listStreams.SetCurSel(m_listStreams.InsertString(-1, kUpdateSourceTable));
  m_strStatus.Set(kIdleStatus);
  UpdateData(false);
  OnStart();
}

void CFieldcastDlg::OnSettings() {
  m_settingsDlg.DoModal();
  GotoDlgCtrl(GetDlgItem(IDC_SETTINGS));
}

void CFieldcastDlg::OnStreamDetails() {
  UpdateData(true);
  m_streamDetailsDlg.m_strCurrentMountPoint = m_strMountPoint.Get();
  // The caster lines describe the caster in use; the table's records know
  // it as host:port, whatever form the caster was written in.
  const std::wstring& stored = ActiveCasterDlg().m_strHostPortStored;
  const CasterEndpoint endpoint = ParseCasterText(stored);
  m_streamDetailsDlg.m_strCasterAddress =
      endpoint.protocol == CasterProtocol::Ntrip1 ? stored : endpoint.host + L":" + std::to_wstring(endpoint.port);
  if (m_streamDetailsDlg.DoModal() == IDOK) {
    FillStreamList(L"All", L"");
    m_listStreams.SetCurSel(m_streamDetailsDlg.m_nCurrent);
    UpdateData(true);
    OnStreamChosen();
    bool needsNmea = false;
    m_strMountPoint.Set(m_streamDetailsDlg.m_sourceTable.GetMountpoint(m_strStream, needsNmea));
    m_strStatus.Set(kIdleStatus);
    UpdateData(false);
  }
  GotoDlgCtrl(GetDlgItem(IDC_STREAM_DETAILS));
}
