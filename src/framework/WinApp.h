#pragma once
// CWinApp: the application object. main() sets the display and calls
// InitInstance, which runs the program's main dialog modally.
class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual bool InitInstance() { return false; }
  void SetRegistryKey(const wchar_t* key) { (void)key; }  // nothing is kept in a registry here

  class CDialog* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
// Socket support needs no start-up on this platform.
inline bool AfxSocketInit() { return true; }
