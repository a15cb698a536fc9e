// The COM-port settings dialog's window: five spinner lists, OK and Cancel
// on the soft keys, the Corvo colours.
#include "dialogs/ComPortDlg.h"

#include "framework/DataExchange.h"
#include "framework/Notifications.h"
#include "platform/Trace.h"
#include "res/ResourceIds.h"

const MessageMap& CComPortDlg::GetMessageMap() const {
  static const MessageMap map = {
      OnNotify(IDC_SPIN_PORT, UDN_DELTAPOS, &CComPortDlg::OnSpinnerStep),
      OnNotify(IDC_SPIN_BAUD, UDN_DELTAPOS, &CComPortDlg::OnSpinnerStep),
      OnNotify(IDC_SPIN_DATABITS, UDN_DELTAPOS, &CComPortDlg::OnSpinnerStep),
      OnNotify(IDC_SPIN_PARITY, UDN_DELTAPOS, &CComPortDlg::OnSpinnerStep),
      OnNotify(IDC_SPIN_STOPBITS, UDN_DELTAPOS, &CComPortDlg::OnSpinnerStep),
  };
  return map;
}

std::vector<CComPortDlg::Setting> CComPortDlg::Settings() {
  return {
      {m_listPort, m_spinPort, m_strPortSel, m_strPort, ComPortEntries()},
      {m_listBaud, m_spinBaud, m_strBaudSel, m_strBaud, BaudRateEntries()},
      {m_listDataBits, m_spinDataBits, m_strDataBitsSel, m_strDataBits, DataBitsEntries()},
      {m_listParity, m_spinParity, m_strParitySel, m_strParity, ParityEntries()},
      {m_listStopBits, m_spinStopBits, m_strStopBitsSel, m_strStopBits, StopBitsEntries()},
  };
}

void CComPortDlg::DoDataExchange(CDataExchange* pDX) {
  const int lists[] = {IDC_LIST_PORT, IDC_LIST_BAUD, IDC_LIST_DATABITS, IDC_LIST_PARITY, IDC_LIST_STOPBITS};
  const int spins[] = {IDC_SPIN_PORT, IDC_SPIN_BAUD, IDC_SPIN_DATABITS, IDC_SPIN_PARITY, IDC_SPIN_STOPBITS};
  size_t i = 0;
  for (Setting& setting : Settings()) {
    DDX_Control(pDX, lists[i], setting.list);
    // An empty text would select the first entry: a list whose accepted
    // text is empty or unknown shows nothing chosen instead.
    if (pDX->m_bSaveAndValidate || !setting.current.empty()) DDX_LBString(pDX, lists[i], setting.current);
    DDX_Control(pDX, spins[i], setting.spin);
    ++i;
  }
}

bool CComPortDlg::OnInitDialog() {
  if (!m_wndCommandBar.Create(this) || !m_wndCommandBar.InsertMenuBar(IDR_MENUBAR_SETTINGS)) {
    platform::Trace("Failed to create CommandBar\n");
    return true;
  }
  for (Setting& setting : Settings()) {
    setting.spin.SetBuddy(&setting.list);
    for (const std::wstring& entry : setting.entries) setting.list.AddString(entry);
    // Each opening shows the accepted choice; one that is in no entry (an
    // edited settings file) selects nothing but stays accepted.
    setting.current = setting.accepted;
    const int found = setting.accepted.empty() ? -1 : setting.list.FindString(0, setting.accepted);
    if (found >= 0) setting.spin.SetPos(found);
    else setting.list.SetCurSel(-1);
  }
  UpdateData(false);
  return true;
}

void CComPortDlg::OnOK() {
  if (!UpdateData(true)) return;
  for (Setting& setting : Settings()) {
    // A list the user never stepped has nothing selected: the accepted
    // text it could not show stays, rather than becoming empty.
    if (setting.current.empty()) setting.current = setting.accepted;
    else setting.accepted = setting.current;
  }
  ConvertSettings();
  EndDialog(IDOK);
}

// Right moves to the next entry and Left to the previous one, as the
// arrows beside the list show.
void CComPortDlg::OnSpinnerStep(NMHDR* header, LRESULT* result) {
  auto* updown = reinterpret_cast<NMUPDOWN*>(header);
  updown->iDelta = updown->iDelta < 0 ? 1 : -1;
  *result = 0;
}

HBRUSH CComPortDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  (void)nCtlColor;
  if (m_strBranding != L"Corvo") return &m_brushEmpty;
  const int id = pWnd->GetDlgCtrlID();
  if (id >= IDC_LIST_PORT && id <= IDC_LIST_STOPBITS) {
    pDC->SetBkColor(RGB(255, 255, 255));
    return &m_brushWhite;
  }
  if (id == IDOK || id == IDCANCEL) {
    pDC->SetBkColor(RGB(242, 28, 10));
    return &m_brushWhite;
  }
  return &m_brushRed;
}
