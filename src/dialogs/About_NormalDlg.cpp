#include "dialogs/About_NormalDlg.h"

// This page keeps the platform's colours; only the link draws itself, as
// the platform's default handling passes a control's colour request back
// to the control.
HBRUSH CAbout_NormalDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  (void)nCtlColor;
  if (pWnd == &m_link) return m_link.CtlColor(pDC);
  return nullptr;
}
