#include "app/FieldcastApp.h"

#include "app/FieldcastDlg.h"
#include "framework/MessageBox.h"
#include "framework/Resources.h"
#include "res/ResourceIds.h"

bool CFieldcastApp::InitInstance() {
  if (!AfxSocketInit()) {
    AfxMessageBox(Resources::LoadString(IDP_SOCKETS_INIT_FAILED));
    return false;
  }
  SetRegistryKey(L"Local AppWizard-Generated Applications");
  CFieldcastDlg dlg;
  dlg.m_bStartOnInit = m_bStartOnInit;
  dlg.m_ggaOptions = m_ggaOptions;
  dlg.m_bPrintStartLine = m_bPrintStartLine;
  dlg.m_bCounterShown = m_bCounterShown;
  dlg.m_strBrandingOption = m_strBrandingOption;
  dlg.m_healthOptions = m_healthOptions;
  dlg.m_bExitOnRunError = m_bExitOnRunError;
  m_pMainWnd = &dlg;
  dlg.DoModal();
  m_strSaveProblem = dlg.m_strSaveProblem;
  m_pMainWnd = nullptr;
  if (dlg.m_bEndedOnError) m_nExitCode = 1;
  return false;
}
