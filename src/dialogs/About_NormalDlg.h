#pragma once
// The About page of the generic branding, with the program's icon.
#include "dialogs/AboutDlgBase.h"
#include "res/SettingsResourceIds.h"

class CAbout_NormalDlg : public CAboutDlgBase {
 public:
  CAbout_NormalDlg() : CAboutDlgBase(IDD_ABOUT_NORMAL, IDC_ABOUT_ICON, kInformationPageNormal) {}
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) override;
};
