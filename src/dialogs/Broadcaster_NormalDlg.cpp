#include "dialogs/Broadcaster_NormalDlg.h"

#include <vector>

#include "dialogs/BackKeyEditing.h"
#include "dialogs/CasterListReader.h"
#include "framework/DataExchange.h"
#include "framework/Notifications.h"
#include "platform/Trace.h"
#include "res/ResourceIds.h"

namespace {

constexpr int kMaxCasterChars = 200;

}  // namespace

const MessageMap& CBroadcaster_NormalDlg::GetMessageMap() const {
  static const MessageMap map = {
      OnControl(IDC_HOSTPORT_COMBO, CBN_SELCHANGE, &CBroadcaster_NormalDlg::OnCasterSelected),
      OnControl(IDC_HOSTPORT_COMBO, CBN_EDITCHANGE, &CBroadcaster_NormalDlg::OnCasterEdited),
      OnCommand(IDCANCEL, &CBroadcaster_NormalDlg::OnCancel),
  };
  return map;
}

void CBroadcaster_NormalDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_HOSTPORT_COMBO, m_cbHostPort);
  DDX_Control(pDX, IDC_USER, m_editUser);
  DDX_Control(pDX, IDC_PASSWORD, m_editPassword);
  DDX_Control(pDX, IDC_ATTEMPTS, m_editAttempts);
  DDX_Control(pDX, IDC_TIME, m_editTime);
  DDX_CBString(pDX, IDC_HOSTPORT_COMBO, m_strHostPort);
  // The stored caster is not exchanged: it changes on OK only.
  ExchangeAccountFields(pDX, IDC_USER, IDC_PASSWORD, IDC_ATTEMPTS, IDC_TIME);
  // Last, so that its value decides what the combo box shows after a write.
  DDX_CBString(pDX, IDC_HOSTPORT_COMBO, m_strHostPortText);
  DDV_MaxChars(pDX, m_strHostPortText, kMaxCasterChars);
}

bool CBroadcaster_NormalDlg::FillCasterList() {
  m_cbHostPort.ResetContent();
  m_bCasterFound = false;
  std::vector<CasterListEntry> entries;
  const bool ok = ReadCasterList(m_strListFile, entries);
  // A caster configured with a path behind its port matches its host:port.
  const std::wstring wanted = m_strHostPort.substr(0, m_strHostPort.find(L'/'));
  for (const CasterListEntry& entry : entries) {
    const std::wstring text = CasterEntryText(entry);
    const int index = m_cbHostPort.InsertString(-1, text);
    if (text == wanted) {
      m_bCasterFound = true;
      m_cbHostPort.SetCurSel(index);
    }
  }
  if (!ok) return false;
  if (!m_bCasterFound) m_cbHostPort.SetCurSel(m_cbHostPort.InsertString(-1, m_strHostPort));
  return true;
}

bool CBroadcaster_NormalDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!m_wndCommandBar.Create(this) || !m_wndCommandBar.InsertMenuBar(IDR_MENUBAR_SETTINGS))
    platform::Trace("Failed to create CommandBar\n");
  (void)FillCasterList();
  m_strHostPort = m_strHostPortStored;
  m_bListMode = false;
  m_cbHostPort.SetChoosing(false);
  m_bCasterChanged = 0;
  // The configured caster is offered once more, in the list's sorted place.
  // The selection stays on its entry, wherever the insertion moved it; with
  // none (a list that could not be read whole) the configured caster is
  // shown, never some other entry that OK would then store.
  const int added = m_cbHostPort.AddString(m_strHostPortStored);
  m_cbHostPort.SetCurSel(m_cbHostPort.GetCurSel() >= 0 ? m_cbHostPort.GetCurSel() : added);
  ReadCasterText();
  UpdateData(false);
  WriteCasterText();
  return true;
}

void CBroadcaster_NormalDlg::ReadCasterText() {
  m_strHostPort = m_cbHostPort.GetEditText();
  m_strHostPortText = m_strHostPort;
}

// The entry equal to the caster text is shown where there is one; only
// then the first entry that begins with it, so "host:21" never shows as
// "host:2101" and OK never stores a caster the user did not choose.
void CBroadcaster_NormalDlg::WriteCasterText() {
  const int exact = m_cbHostPort.FindStringExact(-1, m_strHostPortText);
  if (exact >= 0) {
    m_cbHostPort.SetCurSel(exact);
    return;
  }
  CDataExchange dx(this, false);
  DDX_CBString(&dx, IDC_HOSTPORT_COMBO, m_strHostPortText);
}

// The list is not filled again here: the entry the user stepped to stays
// selected, so stepping goes on past duplicate entries and entries that
// begin with the same text.
void CBroadcaster_NormalDlg::OnCasterSelected() {
  m_cbHostPort.SetCurSel(m_cbHostPort.GetCurSel());
  ReadCasterText();
  m_bCasterChanged = 1;
}

void CBroadcaster_NormalDlg::OnCasterEdited() {
  ReadCasterText();
  m_bCasterChanged = 1;
}

// OK reads and checks the fields once: a failed check shows its message and
// leaves the dialog open with everything as typed, and nothing is stored.
void CBroadcaster_NormalDlg::OnOK() {
  if (!UpdateData(true)) return;
  m_strUserPassword = m_strUser + L":" + m_strPassword;
  m_nAttemptsStored = m_nAttempts;
  m_nTimeStored = static_cast<int>(m_nTime);
  const std::wstring before = m_strHostPortStored;
  m_strHostPortStored = m_strHostPortText;
  NoteStoredCasterAfterOk(before);
  EndDialog(IDOK);
  m_cbHostPort.ResetContent();
}

bool CBroadcaster_NormalDlg::PreTranslateMessage(MSG* pMsg) {
  CWnd* focus = GetFocus();
  if (IsBackKeyMessage(*pMsg)) {
    if (!BackKeyInCasterFields(focus, {m_editUser, m_editPassword, m_editAttempts, m_editTime}) &&
        focus == &m_cbHostPort)
      (void)m_cbHostPort.OnKeyDown(VK_BACK, false);
    // The Back key never closes this dialog: only Cancel does.
    return true;
  }
  if (pMsg->message == WM_KEYDOWN && focus == &m_cbHostPort) return HandleCasterKey(static_cast<UINT>(pMsg->wParam));
  return false;
}

// The caster field has two key modes: in the text mode the arrows move the
// caret (Left, Right) or to the other fields (Up, Down); in the list mode
// Up and Down step through the casters. Other keys (Tab, the soft keys,
// Home, End, Delete) keep their usual meaning.
bool CBroadcaster_NormalDlg::HandleCasterKey(UINT key) {
  switch (key) {
    case VK_RETURN:
      m_bListMode = !m_bListMode;
      m_cbHostPort.SetChoosing(m_bListMode);
      return true;
    case VK_UP:
    case VK_DOWN:
      if (m_bListMode) (void)m_cbHostPort.OnKeyDown(key == VK_UP ? VK_LEFT : VK_RIGHT, false);
      else if (key == VK_UP) PrevDlgCtrl();
      else NextDlgCtrl();
      return true;
    case VK_LEFT:
    case VK_RIGHT:
      if (!m_bListMode) (void)m_cbHostPort.Edit().OnKeyDown(key, false);
      else if (key == VK_LEFT) PrevDlgCtrl();
      else NextDlgCtrl();
      return true;
    default:
      return false;
  }
}
