#include "dialogs/SettingsDlg.h"

#include "framework/DataExchange.h"
#include "platform/Trace.h"
#include "res/ResourceIds.h"

const MessageMap& CSettingsDlg::GetMessageMap() const {
  static const MessageMap map = {
      OnCommand(IDC_COMPORT_SETTINGS, &CSettingsDlg::OnComPortSettings),
      OnCommand(IDC_ABOUT, &CSettingsDlg::OnAbout),
  };
  return map;
}

void CSettingsDlg::DoDataExchange(CDataExchange* pDX) { DDX_Radio(pDX, IDC_OUTPUT_COMPORT, m_nOutput); }

bool CSettingsDlg::OnInitDialog() {
  if (!m_wndCommandBar.Create(this) || !m_wndCommandBar.InsertMenuBar(IDR_MENUBAR_SETTINGS))
    platform::Trace("Failed to create CommandBar\n");
  // The soft keys stand in for the template's own OK and Cancel.
  for (int id : {IDOK, IDCANCEL})
    if (CWnd* button = GetDlgItem(id)) button->ShowWindow(false);
  m_nOutput = m_nOutputStored;
  UpdateData(false);
  return true;
}

void CSettingsDlg::OnOK() {
  if (!UpdateData(true)) return;
  m_nOutputStored = m_nOutput;
  EndDialog(IDOK);
}

void CSettingsDlg::OnComPortSettings() {
  m_comPortDlg.m_strBranding = m_strDesign;
  m_comPortDlg.DoModal();
  GotoDlgCtrl(GetDlgItem(IDC_COMPORT_SETTINGS));
}

void CSettingsDlg::OnAbout() {
  if (m_strDesign == L"Corvo") m_aboutDlg.DoModal();
  else m_aboutNormalDlg.DoModal();
}

HBRUSH CSettingsDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  (void)nCtlColor;
  if (m_strDesign != L"Corvo") return &m_brushDefault;
  constexpr COLORREF kRed = RGB(242, 28, 10);
  switch (pWnd->GetDlgCtrlID()) {
    case IDC_COMPORT_SETTINGS:
    case IDC_ABOUT:
    case IDOK:
    case IDCANCEL:
      pDC->SetBkColor(kRed);
      return &m_brushWhite;
    case IDC_OUTPUT_COMPORT:
      pDC->SetBkColor(kRed);
      return &m_brushRed;
    case IDC_OUTPUT_NONE:
      pDC->SetBkColor(RGB(255, 255, 255));
      return &m_brushRed;
    default:
      return &m_brushRed;
  }
}
