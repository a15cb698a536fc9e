#pragma once
#include <string>

#include "app/GgaOptions.h"
#include "app/HealthOptions.h"
#include "framework/WinApp.h"

// The application: runs the main window modally and ends when it closes.
class CFieldcastApp : public CWinApp {
 public:
  bool InitInstance() override;
  // Press Start as soon as the main window is up (running as a service).
  bool m_bStartOnInit = false;
  GgaOptions m_ggaOptions;
  bool m_bPrintStartLine = false;
  bool m_bCounterShown = true;
  std::string m_strBrandingOption;
  HealthOptions m_healthOptions;
  // Why Exit could not save the settings (empty when it could).
  std::wstring m_strSaveProblem;
  // A service ends on its own when its run ends on an error (--headless
  // --start); m_nExitCode is then 1 for the service manager.
  bool m_bExitOnRunError = false;
  int m_nExitCode = 0;
};
