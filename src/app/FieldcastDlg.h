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
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "app/GgaOptions.h"
#include "app/HealthOptions.h"
#include "app/Shared.h"
#include "app/SourceTableReceiver.h"
#include "dialogs/BroadcasterDlg.h"
#include "dialogs/Broadcaster_NormalDlg.h"
#include "dialogs/SettingsDlg.h"
#include "framework/CommandBar.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "health/StreamHealth.h"
#include "net/CasterEndpoint.h"
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
  // run by the reception thread before each connection of a run.
  bool PrepareCasterAddress(unsigned run);
  void LoadConfiguration();
  // False when the settings could not be saved; m_strSaveProblem says why.
  bool SaveConfiguration();

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
  // The reconnection routine of a run: the window arms its reconnection
  // timer (through WM_RECONNECT, so worker threads may call it).
  void Reconnect(unsigned run);

  // --- runs ------------------------------------------------------------------
  // Every Start begins a new run, and every stop ends it. Each step of a run
  // carries the run's number (in wParam), and steps or reports of a run that
  // has ended are dropped: a late step of a stopped run can neither cut a new
  // run short nor start a second receive loop on the same socket.
  unsigned CurrentRun() const { return m_nRunId.load(); }
  bool IsCurrentRun(unsigned run) const { return run == m_nRunId.load(); }
  // Sets the status text and posts a refresh, unless the run has ended.
  bool SetRunStatus(unsigned run, const std::wstring& text);
  // Posts a window message of a run (WM_STREAM_STOP, WM_RECONNECT, ...).
  void PostRunMessage(unsigned run, UINT message);
  // A worker's stream ended after `streamedMilliseconds` of data (0 when no
  // stream came): counts towards the growing wait between attempts.
  void NoteAttemptEnded(std::int64_t streamedMilliseconds);
  // Seconds to wait before the next attempt: the configured interval (at
  // least 1), doubled for each attempt in a row that brought less than a
  // minute of data, at most 15 minutes.
  int ReconnectWaitSeconds() const;
  // The window stops its workers; after this nothing else runs in them.
  void StopWorkerThreads();

  // --- stream health (FieldcastDlgHealth.cpp) ---------------------------------
  // The GGA sentence to upload now: the receiver's, or one built from
  // --gga-position.
  std::string GgaToUpload() const;
  // The status file and health lines start ticking once a second.
  void StartHealthReporting();
  void OnHealthTick();
  // Replaces the status file with the current snapshot (when one is asked for).
  void WriteStatusFile();
  // F3: the stream health page, until Back.
  void OnStreamHealthPage();

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
  Shared<std::string> m_szHost;                  // shared: the first address, at most 31 characters (45 for IPv6)
  std::atomic<int> m_nPort{0};                   // shared
  Shared<std::vector<std::string>> m_hostAddresses;  // shared: every address the host has, tried in turn
  Shared<CasterEndpoint> m_casterEndpoint;       // shared: how to talk to the caster
  std::atomic<int> m_nRetryInterval{0};          // shared
  std::atomic<int> m_nAttemptsLeft{0};           // shared
  Shared<std::string> m_szCredentials;           // shared: Base64 of the credential text
  Shared<std::wstring> m_strStatus;              // shared
  std::wstring m_strDesign;
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
  // A service prints what each Start streams, from where, to where.
  bool m_bPrintStartLine = false;
  // Whether the display shows the byte counter and progress bar; a
  // service's log does not, so a stream never wakes its window for them.
  bool m_bCounterShown = true;
  // --branding: "corvo" or "generic" overrides Colour= of GNSS.ini.
  std::string m_strBrandingOption;
  // Set by --gga-talkers and --gga-interval before the threads start.
  GgaOptions m_ggaOptions;
  // A service (--headless --start) ends when its run ends on an error, so
  // that its manager sees the failure; m_bEndedOnError then says so.
  bool m_bExitOnRunError = false;
  bool m_bEndedOnError = false;
  // Stream bytes that came in the reply's first block, after its header:
  // the output thread writes them before it receives the next block.
  Shared<std::string> m_strPendingStreamData;
  // Whether Start found a stream selected (not the source-table entry).
  std::atomic<bool> m_bStreamSelected{false};
  // When the current stream was accepted (monotonic milliseconds).
  std::atomic<std::int64_t> m_nStreamStartMs{0};
  // Attempts in a row that brought less than a minute of data.
  std::atomic<int> m_nQuickFailures{0};
  // Why an existing GNSS.ini could not be read at start-up (empty when it
  // could): such a file is never overwritten.
  std::wstring m_strIniReadProblem;
  // Why the settings could not be saved at Exit (empty when they were).
  std::wstring m_strSaveProblem;
  // What the stream and the receiver look like (shared: every thread
  // feeds it or reads its snapshots); set by --status-file and friends.
  StreamHealth m_health;
  HealthOptions m_healthOptions;
  std::int64_t m_nLastHealthLineMs = 0;
  // A downloaded source table on its way from InThread to the window.
  SourceTableHandover m_receivedTable;

 private:
  // Message handlers.
  void OnBroadcaster();
  void OnSettings();
  void OnStreamDetails();
  LRESULT OnStatusRefresh(WPARAM, LPARAM);
  LRESULT OnProgressUpdate(WPARAM, LPARAM);
  LRESULT OnStreamStop(WPARAM, LPARAM);
  LRESULT OnSourceTableReady(WPARAM, LPARAM);
  // Puts a received table in place when it reads as one; answers the status.
  std::wstring ApplyReceivedSourceTable(ReceivedSourceTable& received);
  void ShowListsOfNewTable();
  LRESULT OnReconnectMessage(WPARAM, LPARAM);
  void OnReconnectTimer(UINT id);

  void StartWorkerThreads();
  void EndRun();
  void EnableIdleControls(bool idle);
  void CloseConnectionAndPort();
  void ResetCounters();

  std::atomic<unsigned> m_nRunId{0};
  mutable std::mutex m_runMutex;  // orders run changes against status writes
  int m_nReconnectTicks = 0;      // seconds since the reconnection timer was armed
  int m_nReconnectWait = 1;       // seconds to wait before this attempt
};
