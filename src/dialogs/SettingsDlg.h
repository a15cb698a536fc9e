#pragma once
// The output settings: where correction data goes (0 = the COM port,
// 1 = nowhere), and the door to the COM-port settings and the About page
// of the branding.
#include <string>

#include "dialogs/AboutDlg.h"
#include "dialogs/About_NormalDlg.h"
#include "dialogs/ComPortDlg.h"
#include "framework/CommandBar.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "res/SettingsResourceIds.h"

class CSettingsDlg : public CDialog {
 public:
  CSettingsDlg() : CDialog(IDD_SETTINGS) {}

  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) override;
  const MessageMap& GetMessageMap() const override;

  CCommandBar m_wndCommandBar;
  CBrush m_brushRed{RGB(242, 28, 10)};
  CBrush m_brushWhite{RGB(255, 255, 255)};
  CBrush m_brushDefault;
  std::wstring m_strDesign;  // copy of the main window's branding key
  CAboutDlg m_aboutDlg;
  CAbout_NormalDlg m_aboutNormalDlg;
  CComPortDlg m_comPortDlg;
  int m_nOutput = 0;
  int m_nOutputStored = 1;

 private:
  void OnComPortSettings();
  void OnAbout();
};
