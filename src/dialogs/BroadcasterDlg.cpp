#include "dialogs/BroadcasterDlg.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "dialogs/BackKeyEditing.h"
#include "dialogs/CasterListReader.h"
#include "framework/DataExchange.h"
#include "framework/Notifications.h"
#include "platform/HostLookup.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "res/ResourceIds.h"

namespace {

constexpr COLORREF kRed = RGB(242, 28, 10);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Names are looked up; addresses and names with digits or hyphens are used
// as written.
bool IsLettersAndDots(const std::wstring& host) {
  return !host.empty() && std::all_of(host.begin(), host.end(), [](wchar_t c) {
    return c == L'.' || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
  });
}

}  // namespace

CBroadcasterDlg::CBroadcasterDlg()
    : CCasterDlgBase(IDD_BROADCASTER_CORVO), m_brushRed(kRed), m_brushWhite(kWhite),
      m_lookup(platform::LookupHostIPv4) {}

const MessageMap& CBroadcasterDlg::GetMessageMap() const {
  static const MessageMap map = {
      OnCommand(IDCANCEL, &CBroadcasterDlg::OnCancel),
      OnControl(IDC_CASTER_LIST, LBN_SELCHANGE, &CBroadcasterDlg::OnCasterSelected),
      OnNotify(IDC_CASTER_SPIN, UDN_DELTAPOS, &CBroadcasterDlg::OnSpinnerStep),
  };
  return map;
}

void CBroadcasterDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_CASTER_LIST, m_listCasters);
  DDX_Control(pDX, IDC_CASTER_SPIN, m_spinCasters);
  DDX_Control(pDX, IDC_CORVO_USER, m_editUser);
  DDX_Control(pDX, IDC_CORVO_PASSWORD, m_editPassword);
  DDX_Control(pDX, IDC_CORVO_ATTEMPTS, m_editAttempts);
  DDX_Control(pDX, IDC_CORVO_TIME, m_editTime);
  DDX_LBString(pDX, IDC_CASTER_LIST, m_strHostPort);
  ExchangeAccountFields(pDX, IDC_CORVO_USER, IDC_CORVO_PASSWORD, IDC_CORVO_ATTEMPTS, IDC_CORVO_TIME);
}

bool CBroadcasterDlg::FillCasterList() {
  // The deadline covers the whole opening, reading a long list included.
  const auto started = std::chrono::steady_clock::now();
  m_listCasters.ResetContent();
  std::vector<CasterListEntry> entries;
  const bool ok = ReadCasterList(m_strListFile, entries);
  std::vector<std::string> names;
  for (const CasterListEntry& entry : entries)
    if (IsLettersAndDots(entry.host)) names.push_back(platform::Narrow(entry.host));
  const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
  const std::vector<std::string> addresses =
      LookupHostsWithin(names, std::max(m_lookupDeadline - spent, std::chrono::milliseconds(0)), m_lookup);
  size_t next = 0;
  for (CasterListEntry entry : entries) {
    if (IsLettersAndDots(entry.host)) entry.host = platform::Widen(addresses[next++]);
    m_listCasters.InsertString(-1, CasterEntryText(entry));
  }
  return ok;
}

bool CBroadcasterDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!m_wndCommandBar.Create(this) || !m_wndCommandBar.InsertMenuBar(IDR_MENUBAR_SETTINGS))
    platform::Trace("Failed to create CommandBar\n");
  m_spinCasters.SetBuddy(&m_listCasters);
  (void)FillCasterList();
  m_spinCasters.SetPos(0);
  // The spinner's position is the list's selection here; a stored caster
  // that is no entry of the list must show no selection.
  m_listCasters.SetCurSel(-1);
  m_strHostPort = m_strHostPortStored;
  m_bCasterChanged = 0;
  UpdateData(false);
  // An entry equal to the stored caster wins over one that only begins
  // with it ("host:21" is not "host:2101").
  const int exact = m_listCasters.FindStringExact(-1, m_strHostPort);
  if (exact >= 0) m_listCasters.SetCurSel(exact);
  return true;
}

void CBroadcasterDlg::OnCasterSelected() { m_bCasterChanged = 1; }

// Right steps down the list and Left up, as the fields read left to right.
void CBroadcasterDlg::OnSpinnerStep(NMHDR* header, LRESULT* result) {
  auto* updown = reinterpret_cast<NMUPDOWN*>(header);
  updown->iDelta = updown->iDelta < 0 ? 1 : -1;
  *result = 0;
}

// OK reads and checks the fields once: a failed check shows its message and
// leaves the dialog open with everything as typed, and nothing is stored.
// With no caster selected (no list file, or a configured caster that is no
// entry of it) the stored caster stays as it was.
void CBroadcasterDlg::OnOK() {
  if (!UpdateData(true)) return;
  const std::wstring before = m_strHostPortStored;
  if (!m_strHostPort.empty()) m_strHostPortStored = m_strHostPort;
  NoteStoredCasterAfterOk(before);
  m_nAttemptsStored = m_nAttempts;
  m_nTimeStored = static_cast<int>(m_nTime);
  m_strUserPassword = m_strUser + L":" + m_strPassword;
  RestoreFromStored();
  EndDialog(IDOK);
  m_listCasters.ResetContent();
}

// The Back key removes a character in the four fields; elsewhere (on the
// caster list) it cancels the dialog as the platform does.
bool CBroadcasterDlg::PreTranslateMessage(MSG* pMsg) {
  if (!IsBackKeyMessage(*pMsg)) return false;
  return BackKeyInCasterFields(GetFocus(), {m_editUser, m_editPassword, m_editAttempts, m_editTime});
}

HBRUSH CBroadcasterDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  (void)nCtlColor;
  if (m_strDesign != L"Corvo") return nullptr;
  switch (pWnd->GetDlgCtrlID()) {
    case IDC_CASTER_LIST:
    case IDC_CORVO_USER:
    case IDC_CORVO_PASSWORD:
    case IDC_CORVO_ATTEMPTS:
    case IDC_CORVO_TIME:
      pDC->SetBkColor(kWhite);
      return &m_brushWhite;
    case IDC_HOSTPORT_LABEL:
    case IDC_USER_LABEL:
    case IDC_PASSWORD_LABEL:
    case IDC_ATTEMPTS_LABEL:
    case IDC_TIME_LABEL:
    case IDC_SECONDS_LABEL:
    case IDC_RECONNECTION_GROUP:
      pDC->SetBkColor(kRed);
      return &m_brushRed;
    default:
      return &m_brushRed;
  }
}
