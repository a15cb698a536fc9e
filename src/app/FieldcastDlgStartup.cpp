// The main window's start and end: initialisation in its fixed order, the
// credentials, the worker threads, and Exit.
#include "app/FieldcastDlg.h"
#include "app/Messages.h"
#include "app/StatusTexts.h"
#include "app/WorkerThreads.h"
#include "framework/MessageBox.h"
#include "net/Base64.h"
#include "platform/ModuleDir.h"
#include "platform/Trace.h"
#include "res/ResourceIds.h"

bool CFieldcastDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!m_dlgCommandBar.Create(this) || !m_dlgCommandBar.InsertMenuBar(IDR_MENUBAR_MAIN)) {
    platform::Trace("Failed to create CommandBar\n");
    return false;
  }
  m_bRunning = 0;
  m_spinNetworks.SetBuddy(&m_listNetworks);
  m_spinStreams.SetBuddy(&m_listStreams);
  GotoDlgCtrl(GetDlgItem(IDC_START));

  m_strSourceTableFile = L"sourcetable.dat";
  m_strIniPath = platform::ModulePath(m_strIniFile);
  m_strSourceTablePath = platform::ModulePath(m_strSourceTableFile);
  m_streamDetailsDlg.m_sourceTable.m_strFileName = m_strSourceTablePath;
  m_casterDlgCorvo.m_strListFile = m_strSourceTablePath;
  m_casterDlg.m_strListFile = m_strSourceTablePath;

  m_nProgressMax = 5000;
  m_progress.SetRange(0, m_nProgressMax);
  m_progress.SetPos(m_nProgressPos);

  LoadConfiguration();
  // The command line wins over the file's key; Exit saves what it chose.
  if (m_strBrandingOption == "corvo") m_strDesign = kBrandingCorvo;
  else if (m_strBrandingOption == "generic" && IsCorvo()) m_strDesign.clear();
  if (IsCorvo()) m_casterDlgCorvo.m_strListFile = platform::ModulePath(m_strCasterListFile);
  PrepareCredentials();
  ActiveCasterDlg().RestoreFromStored();
  (void)m_serialPort.FindDefaultPort();
  m_settingsDlg.m_comPortDlg.ConvertSettings();

  StartWorkerThreads();
  StartHealthReporting();

  m_casterDlgCorvo.m_strDesign = m_strDesign;
  m_settingsDlg.m_strDesign = m_strDesign;
  m_settingsDlg.m_comPortDlg.m_strBranding = m_strDesign;
  m_streamDetailsDlg.m_strDesign = m_strDesign;

  if (m_streamDetailsDlg.m_sourceTable.ReadSourceTable()) {
    FillNetworkList(m_strSavedNetwork);
    // The streams follow the network the list shows: a saved network the
    // table no longer has (or none, on a first start) leaves it on "All".
    std::wstring shown;
    m_listNetworks.GetText(m_listNetworks.GetCurSel(), shown);
    FillStreamList(shown, m_strMountPoint.Get());
  } else {
    FillNetworkList(L"");
    FillStreamList(L"All", L"");
    m_strStatus.Set(kNoSourceTableStatus);
    UpdateData(false);
  }
  OnStreamChosen();
  if (m_bStartOnInit) NotifyCommand(IDC_START, 0);
  return true;
}

void CFieldcastDlg::StartWorkerThreads() {
  m_pInThread = AfxBeginThread<InThread>(THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  m_pOutThread = AfxBeginThread<OutThread>(THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  for (CStreamWorker* worker : {static_cast<CStreamWorker*>(m_pInThread), static_cast<CStreamWorker*>(m_pOutThread)}) {
    if (worker == nullptr) continue;
    worker->SetDialog(this);
    worker->SetMainWindow(GetSafeHwnd());
  }
  m_hDlgWnd = GetSafeHwnd();
  if (m_pInThread != nullptr) m_pInThread->ResumeThread();
  if (m_pOutThread != nullptr) m_pOutThread->ResumeThread();
}

// Each worker finishes the step it is in (every blocking call in a step
// ends once the socket and the port are closed) and then ends.
void CFieldcastDlg::StopWorkerThreads() {
  CloseConnectionAndPort();
  // Both end before either object goes: a step of one may still post to
  // the other while it ends.
  if (m_pInThread != nullptr) m_pInThread->Quit();
  if (m_pOutThread != nullptr) m_pOutThread->Quit();
  delete m_pInThread;
  m_pInThread = nullptr;
  delete m_pOutThread;
  m_pOutThread = nullptr;
  m_health.OnDisconnected();
  WriteStatusFile();  // the state the program ends in
}

void CFieldcastDlg::PrepareCredentials() {
  const CCasterDlgBase& caster = ActiveCasterDlg();
  m_nRetryInterval = caster.m_nTimeStored;
  m_nAttemptsLeft = caster.m_nAttemptsStored;
  // The whole credential text is encoded, however long: the request refuses
  // what does not fit rather than cutting a password.
  m_szCredentials.Set(Base64Encode(std::wstring_view(caster.m_strUserPassword)));
}

// Exit (and Back, which does the same): while streaming it only stops the
// run; otherwise the settings are saved once, the workers end, and the
// window closes.
void CFieldcastDlg::OnOK() {
  if (m_bRunning) {
    OnStop();
    return;
  }
  // The person must learn that the settings were lost before the window goes.
  if (!SaveConfiguration()) AfxMessageBox(m_strSaveProblem, MB_ICONEXCLAMATION);
  StopWorkerThreads();
  EndDialog(IDOK);
}

void CFieldcastDlg::OnCancel() { OnOK(); }
