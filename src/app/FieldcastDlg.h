#pragma once
// CFieldcastDlg: the main window, and the owner of everything that lives as
// long as the program: the settings dialogs (whose stored members are the
// program's settings), the source table, the caster connection, the
// receiver port and the two worker threads.
//
// Threading: the window's handlers run on the user-interface thread.
// InThread and OutThread read and write the members marked "shared" below
// and then post a refresh message; those members are atomics or Shared<>
// values, so a reader never sees half a write.
#include <array>
#include <atomic>
#include <string>

#include "app/Shared.h"
#include "dialogs/BroadcasterDlg.h"
#include "dialogs/Broadcaster_NormalDlg.h"
#include "dialogs/SettingsDlg.h"
#include "framework/CommandBar.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "net/TCPSocket.h"
#include "serial/SerialPort.h"
#include "sourcetable/SourceTableDlg.h"

class InThread;
class OutThread;

class CFieldcastDlg : public CDialog {
 public:
  CFieldcastDlg();
  ~CFieldcastDlg() override;

  void DoDataExchange(CDataExchange* pDX) override;
  bool PreTranslateMessage(MSG* pMsg) override;
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) override;
  const MessageMap& GetMessageMap() const override;
  int StatusControlId() const override;

  // --- branding and settings ------------------------------------------------
  bool IsCorvo() const;
  CCasterDlgBase& ActiveCasterDlg();
  const CCasterDlgBase& ActiveCasterDlg() const;
  // Copies the active caster's interval and attempts and encodes its
  // credential text for the Authorization line.
  void PrepareCredentials();
  // Resolves the active caster's host into m_szHost and sets m_nPort; also
  // run by the reception thread before each connection.
  bool PrepareCasterAddress();
  void LoadConfiguration();
  void SaveConfiguration();

  // --- the network and stream lists ---------------------------------------
  // Answers whether `network` is the identifier of a network of the table.
  bool FillNetworkList(const std::wstring& network);
  void FillStreamList(const std::wstring& filter, const std::wstring& mountPoint);
  void OnNetworkChosen();
  void OnStreamChosen();
  void OnNetworkSpinnerStep(NMHDR* header, LRESULT* result);
  void OnStreamSpinnerStep(NMHDR* header, LRESULT* result);

  // --- streaming control --------------------------------------------------
  void OnStart();
  void OnStop();
  // The error stop: like Stop without the pause, keeping the status text.
  void EndOfRunReset();
  // Arms the reconnection timer. Worker threads call it too: from them it
  // posts WM_RECONNECT, so the timer is armed on the window's own thread.
  void Reconnect();
  // Sets the status text and asks the window to show it (any thread).
  void SetStatus(const std::wstring& text);
  // The window stops its workers; after this nothing else runs in them.
  void StopWorkerThreads();

  // --- members, in the program's declaration order --------------------------
  CCommandBar m_dlgCommandBar;
  int m_hIcon = 134;
  std::wstring m_strIniFile = L"GNSS.ini";
  std::wstring m_strIniPath;
  std::wstring m_strSourceTableFile = L"sourcetable.dat";
  std::wstring m_strSourceTablePath;
  std::wstring m_strCasterListFile = L"CorvoNet.ini";
  HWND m_hDlgWnd = 0;
  Shared<std::wstring> m_strMountPoint;  // shared: read by the request step
  std::wstring m_strSavedNetwork;
  CBroadcasterDlg m_casterDlgCorvo;
  CBroadcaster_NormalDlg m_casterDlg;
  CSourceTableDlg m_streamDetailsDlg;
  CSettingsDlg m_settingsDlg;
  TCPSocket m_socket;
  SerialPort m_serialPort;
  InThread* m_pInThread = nullptr;
  OutThread* m_pOutThread = nullptr;
  CListBox m_listNetworks;
  CSpinButtonCtrl m_spinNetworks;
  std::wstring m_strNetwork;
  CListBox m_listStreams;
  CSpinButtonCtrl m_spinStreams;
  std::wstring m_strStream;
  std::atomic<bool> m_bSendNmea{false};          // shared
  Shared<std::string> m_szHost;                  // shared: dotted IPv4, at most 31 characters
  std::atomic<int> m_nPort{0};                   // shared
  std::atomic<int> m_nRetryInterval{0};          // shared
  std::atomic<int> m_nAttemptsLeft{0};           // shared
  Shared<std::string> m_szCredentials;           // shared: Base64 of the credential text
  Shared<std::wstring> m_strStatus;              // shared
  std::wstring m_strDesign;
  std::array<char, 1024> m_iniBuffer{};
  Shared<std::wstring> m_strGGA;                 // shared
  std::atomic<int> m_nProgressPos{0};            // shared
  std::atomic<int> m_nTotalBytes{0};             // shared
  int m_nProgressMax = 5000;
  Shared<std::wstring> m_strBytes;               // shared
  CProgressCtrl m_progress;
  std::atomic<int> m_bRunning{0};
  CBrush m_brushAccent;
  CBrush m_brushWhite;
  CBrush m_brushDefault;
  // Not one of the window's own members: set by --start.
  bool m_bStartOnInit = false;

 private:
  // Message handlers.
  void OnBroadcaster();
  void OnSettings();
  void OnStreamDetails();
  LRESULT OnStatusRefresh(WPARAM, LPARAM);
  LRESULT OnProgressUpdate(WPARAM, LPARAM);
  LRESULT OnStreamStop(WPARAM, LPARAM);
  LRESULT OnSourceTableReady(WPARAM, LPARAM);
  LRESULT OnReconnectMessage(WPARAM, LPARAM);
  void OnReconnectTimer(UINT id);

  void StartWorkerThreads();
  void EnableIdleControls(bool idle);
  void CloseConnectionAndPort();
  void ResetCounters();
};
