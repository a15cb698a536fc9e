#include "dialogs/AboutDlg.h"

// Every control answers here, the link included: it is drawn blue on the
// red page, without its own white background and underline.
HBRUSH CAboutDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  (void)nCtlColor;
  constexpr COLORREF kRed = RGB(242, 28, 10);
  switch (pWnd->GetDlgCtrlID()) {
    case IDC_ABOUT_LINK:
      pDC->SetBkColor(kRed);
      pDC->SetBkMode(TRANSPARENT);
      pDC->SetTextColor(kLinkColor);
      return &m_brushRed;
    case IDC_ABOUT_PRODUCT:
    case IDC_ABOUT_PURPOSE:
    case IDC_ABOUT_FURTHER:
    case IDC_ABOUT_DISCLAIMER:
    case IDC_ABOUT_LOGO:
      pDC->SetBkColor(kRed);
      pDC->SetBkMode(TRANSPARENT);
      return &m_brushRed;
    case IDOK:
      pDC->SetBkColor(kRed);
      return &m_brushWhite;
    default:
      return &m_brushRed;
  }
}
