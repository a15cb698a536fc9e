// The stream details view: opening, paging, the details text and its keys.
#include "sourcetable/SourceTableDlg.h"

#include <algorithm>
#include <cwctype>

#include "framework/DataExchange.h"
#include "framework/ScrollKeys.h"
#include "platform/Clock.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "res/ResourceIds.h"
#include "sourcetable/CasterHostLookups.h"

namespace {

constexpr COLORREF kAccent = RGB(242, 28, 10);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr wchar_t kCorvo[] = L"Corvo";
// Answers that come within this wait are in the text when it first shows
// (a numeric or local name answers at once); later ones are filled in.
constexpr std::chrono::milliseconds kLookupPatience{200};
// While look-ups are pending, the view checks for answers this often
// (milliseconds), and gives up after kLookupTicksMax checks: the system's
// resolver ends its own attempts well before half a minute.
constexpr UINT kLookupTimerId = 0x8021;
constexpr unsigned kLookupTimerMilliseconds = 250;
constexpr int kLookupTicksMax = 120;
// Lets the key repeat of the handheld settle, as in the main window.
constexpr unsigned kScrollPauseMilliseconds = 10;

std::wstring HostOf(const std::wstring& hostPort) {
  const size_t colon = hostPort.rfind(L':');
  return colon == std::wstring::npos ? std::wstring() : hostPort.substr(0, colon);
}

}  // namespace

CSourceTableDlg::CSourceTableDlg() : CDialog(IDD_STREAM_DETAILS), m_brushAccent(kAccent), m_brushWhite(kWhite) {}

const MessageMap& CSourceTableDlg::GetMessageMap() const {
  static const MessageMap map = {
      OnCommand(IDC_PREVIOUS, &CSourceTableDlg::OnPrevious),
      OnCommand(IDC_NEXT, &CSourceTableDlg::OnNext),
      OnTimer(&CSourceTableDlg::OnLookupTimer),
  };
  return map;
}

void CSourceTableDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_DETAILS_TEXT, m_strText);
  DDX_Control(pDX, IDC_DETAILS_TEXT, m_editText);
}

bool CSourceTableDlg::HasNoLetters(const std::wstring& text) {
  for (wchar_t c : text)
    if (std::iswalpha(static_cast<wint_t>(c))) return false;
  return true;
}

bool CSourceTableDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_bSelectEnabled = true;
  if (!m_dlgCommandBar.Create(this) || !m_dlgCommandBar.InsertMenuBar(IDR_MENUBAR_DETAILS)) {
    platform::Trace("Failed to create CommandBar\n");
    return true;
  }
  m_nCount = static_cast<int>(m_sourceTable.m_cityTable.size());
  StartLookups();
  ComposeCasterLines();
  FindCurrentEntry();
  CWnd* previous = GetDlgItem(IDC_PREVIOUS);
  CWnd* next = GetDlgItem(IDC_NEXT);
  if (m_nCount == 0) {
    m_nCurrent = 0;
    previous->EnableWindow(false);
    next->EnableWindow(false);
    EnableSelect(false);
    // Nothing to describe: no text left over from an earlier table.
    m_strText.clear();
  } else if (m_nCount == 1) {
    previous->EnableWindow(false);
    next->EnableWindow(false);
    m_nCurrent = 1;
    ShowEntry(1);
  } else {
    if (m_nCurrent == 1) {
      previous->EnableWindow(false);
      GotoDlgCtrl(next);
    } else if (m_nCurrent == m_nCount) {
      next->EnableWindow(false);
      GotoDlgCtrl(previous);
    } else {
      GotoDlgCtrl(previous);
    }
    ShowEntry(m_nCurrent);
  }
  UpdateData(false);
  return true;
}

void CSourceTableDlg::OnOK() {
  if (!m_bSelectEnabled) return;
  KillTimer(kLookupTimerId);
  CDialog::OnOK();
}

void CSourceTableDlg::OnCancel() {
  KillTimer(kLookupTimerId);
  CDialog::OnCancel();
}

// Every host is asked for before the lines are composed, so the look-ups
// run side by side; the view waits for them only briefly.
void CSourceTableDlg::StartLookups() {
  const std::vector<std::string> hosts = HostsToLookUp();
  CasterHostLookups& lookups = CasterHostLookups::Instance();
  for (const std::string& host : hosts) (void)lookups.Request(host);
  m_nLookupTicks = 0;
  if (!lookups.WaitForAnswers(hosts, kLookupPatience)) SetTimer(kLookupTimerId, kLookupTimerMilliseconds);
}

void CSourceTableDlg::FindCurrentEntry() {
  m_nCurrent = 1;
  const auto& streams = m_sourceTable.m_cityTable;
  for (size_t i = 0; i < streams.size(); ++i) {
    m_sourceTable.m_currentCity = streams[i];
    if (m_sourceTable.m_currentCity.mountpoint == m_strCurrentMountPoint) m_nCurrent = static_cast<int>(i) + 1;
  }
}

void CSourceTableDlg::OnPrevious() {
  GetDlgItem(IDC_NEXT)->EnableWindow(true);
  --m_nCurrent;
  if (m_nCurrent == 1) {
    GetDlgItem(IDC_PREVIOUS)->EnableWindow(false);
    GotoDlgCtrl(GetDlgItem(IDC_NEXT));
  }
  ShowPagedEntry();
}

void CSourceTableDlg::OnNext() {
  GetDlgItem(IDC_PREVIOUS)->EnableWindow(true);
  ++m_nCurrent;
  if (m_nCurrent == m_nCount) {
    GetDlgItem(IDC_NEXT)->EnableWindow(false);
    GotoDlgCtrl(GetDlgItem(IDC_PREVIOUS));
  }
  ShowPagedEntry();
}

void CSourceTableDlg::ShowPagedEntry() {
  ShowEntry(m_nCurrent);
  UpdateData(false);
  m_editText.LineScroll(-m_editText.GetLineCount());
}

std::vector<std::string> CSourceTableDlg::HostsToLookUp() const {
  std::vector<std::string> hosts;
  if (!HasNoLetters(HostOf(m_strCasterAddress.substr(0, m_strCasterAddress.rfind(L'/'))))) return hosts;
  for (const _BroadcasterTableEntry& caster : m_sourceTable.m_broadcasterTable)
    hosts.push_back(platform::Narrow(HostOf(caster.host + L":" + caster.port)));
  return hosts;
}

// The caster lines describe the caster in use when a CAS record names it.
// With the caster given as a numeric address, each record's host is
// compared by its address; look-ups that have not answered yet leave the
// host as written, and the lines are composed again when they answer.
void CSourceTableDlg::ComposeCasterLines() {
  m_strCasterLine1.clear();
  m_strCasterLine2.clear();
  m_strCasterLine3.clear();
  const size_t slash = m_strCasterAddress.rfind(L'/');
  if (slash != std::wstring::npos) m_strCasterAddress.erase(slash);
  m_strCasterLine1 = std::to_wstring(m_sourceTable.m_broadcasterTable.size());
  CasterHostLookups& lookups = CasterHostLookups::Instance();
  m_nAnswersShown = lookups.AnswerCount();
  const bool lookUp = HasNoLetters(HostOf(m_strCasterAddress));
  for (const _BroadcasterTableEntry& caster : m_sourceTable.m_broadcasterTable) {
    m_sourceTable.m_currentBroadcaster = caster;
    std::wstring address = caster.host + L":" + caster.port;
    if (lookUp) {
      const CasterHostLookups::Answer answer = lookups.Request(platform::Narrow(HostOf(address)));
      if (answer.state == CasterHostLookups::State::Resolved)
        address = platform::Widen(answer.dotted) + address.substr(address.rfind(L':'));
    }
    if (address != m_strCasterAddress) continue;
    m_strCasterLine1 = caster.identifier + L" operated by " + caster.operatorName + L" in " + caster.country;
    m_strCasterLine2 = caster.nmea == L"0" ? L"Won't handle incoming NMEA-GGA" : L"Handles incoming NMEA-GGA";
    m_strCasterLine3 = caster.rest;
  }
}

void CSourceTableDlg::OnLookupTimer(UINT id) {
  if (id != kLookupTimerId) return;
  if (!IsRunning() || IsEnding()) {
    KillTimer(kLookupTimerId);
    return;
  }
  if (CasterHostLookups::Instance().AnswerCount() != m_nAnswersShown) {
    ComposeCasterLines();
    if (m_nCurrent > 0) ShowEntry(m_nCurrent);
    // The reader keeps their place in the text.
    const int firstLine = m_editText.GetFirstVisibleLine();
    UpdateData(false);
    m_editText.LineScroll(firstLine - m_editText.GetFirstVisibleLine());
  }
  const bool answered = CasterHostLookups::Instance().WaitForAnswers(HostsToLookUp(), std::chrono::milliseconds(0));
  if (answered || ++m_nLookupTicks >= kLookupTicksMax) KillTimer(kLookupTimerId);
}

namespace {

const wchar_t* AuthenticationText(const std::wstring& code) {
  if (code == L"B") return L"Basic";
  if (code == L"D") return L"Digest";
  return L"None";
}

const wchar_t* CarrierText(const std::wstring& code) {
  if (code == L"1") return L"L1";
  if (code == L"2") return L"L1 and L2";
  return L"No";
}

}  // namespace

// Every field comes from a caster: it is shown with its control characters
// made visible, so a stray line end can neither break the text's lines nor
// reach the terminal. The line end a record's last field keeps from the
// file is no part of its value.
void CSourceTableDlg::ShowEntry(int n) {
  m_sourceTable.m_currentCity = m_sourceTable.m_cityTable[static_cast<size_t>(n - 1)];
  const _CityTableEntry& e = m_sourceTable.m_currentCity;
  auto field = [](const std::wstring& text) {
    return MakeVisible(std::wstring_view(text).substr(0, text.find_last_not_of(L"\r\n") + 1));
  };
  std::wstring t = L"Broadcaster: " + field(m_strCasterLine1) + L"\r\n" + field(m_strCasterLine2) + L"\r\n" +
                   field(m_strCasterLine3);
  t += L"\r\n\r\nStream: " + field(e.identifier) + L", Entry No: " + std::to_wstring(m_nCurrent) + L" of " +
       std::to_wstring(m_nCount);
  t += L"\r\nMountpoint: " + field(e.mountpoint);
  t += L"\r\nAuthentication: " + std::wstring(AuthenticationText(e.authentication));
  t += L"\r\nFormat: " + field(e.formatRaw) + L" / " + field(e.format) + L" / " + field(e.formatDetails);
  t += L"\r\nCarrier: " + std::wstring(CarrierText(e.carrier));
  t += L"\r\nClient must send NMEA: " + std::wstring(e.nmea == L"0" ? L"No" : L"Yes");
  t += L"\r\nSystem: " + field(e.navSystem);
  t += L"\r\nCountry: " + field(e.country);
  t += L"\r\nLatitude: " + field(e.latitude) + L" deg North";
  t += L"\r\nLongitude: " + field(e.longitude) + L" deg East";
  t += L"\r\nGenerator: " + field(e.generator);
  t += L"\r\nSolution: " + std::wstring(e.solution == L"0" ? L"Single Base" : L"Network");
  t += L"\r\nCompression: " + field(e.comprEncryp);
  t += L"\r\nBitrate: " + field(e.bitrate) + L" bits per sec";
  t += L"\r\nMiscellaneous: " + field(e.misc);
  t += L"\r\n\r\nNetwork: " + field(e.network);
  t += L"\r\nOperator: " + field(e.operatorName);
  t += L"\r\nDetails: " + field(e.details);
  t += L"\r\nRegistration: " + field(e.registration);
  t += L"\r\nCharges: " + std::wstring(e.fee == L"N" ? L"No" : L"Yes");
  m_strText = std::move(t);
}

// Up and Down scroll the text by a line wherever the focus is, PageUp and
// PageDown by a screenful; they never move the focus between the buttons.
bool CSourceTableDlg::PreTranslateMessage(MSG* pMsg) {
  if (ScrollTextForKey(m_editText, pMsg)) platform::Sleep(kScrollPauseMilliseconds);
  return CDialog::PreTranslateMessage(pMsg);
}

HBRUSH CSourceTableDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  (void)nCtlColor;
  if (m_strDesign != kCorvo) return &m_brushDefault;
  switch (pWnd->GetDlgCtrlID()) {
    case IDOK:
    case IDCANCEL:
    case IDC_PREVIOUS:
    case IDC_NEXT:
      pDC->SetBkColor(kAccent);
      return &m_brushWhite;
    case IDC_DETAILS_TEXT:
      pDC->SetBkColor(kWhite);
      pDC->SetTextColor(kBlack);
      return &m_brushWhite;
    default:
      return &m_brushAccent;
  }
}
