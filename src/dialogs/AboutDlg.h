#pragma once
// The About page of the Corvo branding: the service's logo, its name and
// page, in the service's red.
#include "dialogs/AboutDlgBase.h"
#include "res/SettingsResourceIds.h"

class CAboutDlg : public CAboutDlgBase {
 public:
  CAboutDlg() : CAboutDlgBase(IDD_ABOUT_CORVO, IDC_ABOUT_LOGO, kInformationPageCorvo) {}
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) override;

  CBrush m_brushRed{RGB(242, 28, 10)};
  CBrush m_brushWhite{RGB(255, 255, 255)};
};
