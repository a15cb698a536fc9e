// The main window: construction, message map, data exchange, keys, colours
// and the refresh messages of the worker threads.
#include "app/FieldcastDlg.h"

#include "app/Messages.h"
#include "app/StatusTexts.h"
#include "app/WorkerThreads.h"
#include "framework/DataExchange.h"
#include "framework/EventLoop.h"
#include "framework/Notifications.h"
#include "platform/Clock.h"
#include "res/ResourceIds.h"

CFieldcastDlg::CFieldcastDlg()
    : CDialog(IDD_FIELDCAST_DIALOG),
      m_strStatus(kIdleStatus),
      m_strBytes(L"0"),
      m_brushAccent(RGB(240, 28, 10)),
      m_brushWhite(RGB(255, 255, 255)) {
  // Refreshes only redraw from the members, so one waiting refresh serves
  // any number of posts: a fast stream cannot flood the window's queue.
  EventLoop::Instance().Queue().SetCoalescing(WM_STATUS_REFRESH);
  EventLoop::Instance().Queue().SetCoalescing(WM_PROGRESS_UPDATE);
}

CFieldcastDlg::~CFieldcastDlg() { StopWorkerThreads(); }

const MessageMap& CFieldcastDlg::GetMessageMap() const {
  static const MessageMap map = {
      OnControl(IDC_LIST_NETWORKS, LBN_SELCHANGE, &CFieldcastDlg::OnNetworkChosen),
      OnNotify(IDC_SPIN_NETWORKS, UDN_DELTAPOS, &CFieldcastDlg::OnNetworkSpinnerStep),
      OnNotify(IDC_SPIN_STREAMS, UDN_DELTAPOS, &CFieldcastDlg::OnStreamSpinnerStep),
      OnControl(IDC_LIST_STREAMS, LBN_SELCHANGE, &CFieldcastDlg::OnStreamChosen),
      OnCommand(IDC_STREAM_DETAILS, &CFieldcastDlg::OnStreamDetails),
      OnCommand(IDC_BROADCASTER, &CFieldcastDlg::OnBroadcaster),
      OnCommand(IDC_SETTINGS, &CFieldcastDlg::OnSettings),
      OnMessage(WM_STATUS_REFRESH, &CFieldcastDlg::OnStatusRefresh),
      OnMessage(WM_PROGRESS_UPDATE, &CFieldcastDlg::OnProgressUpdate),
      OnMessage(WM_RECONNECT, &CFieldcastDlg::OnReconnectMessage),
      OnMessage(WM_STREAM_STOP, &CFieldcastDlg::OnStreamStop),
      OnMessage(WM_SOURCETABLE_READY, &CFieldcastDlg::OnSourceTableReady),
      OnCommand(IDC_START, &CFieldcastDlg::OnStart),
      OnCommand(IDC_STOP, &CFieldcastDlg::OnStop),
      OnTimer(&CFieldcastDlg::OnReconnectTimer),
  };
  return map;
}

int CFieldcastDlg::StatusControlId() const { return IDC_STATUS; }

void CFieldcastDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_LIST_NETWORKS, m_listNetworks);
  DDX_Control(pDX, IDC_SPIN_NETWORKS, m_spinNetworks);
  DDX_LBString(pDX, IDC_LIST_NETWORKS, m_strNetwork);
  DDX_Control(pDX, IDC_LIST_STREAMS, m_listStreams);
  DDX_Control(pDX, IDC_SPIN_STREAMS, m_spinStreams);
  DDX_LBString(pDX, IDC_LIST_STREAMS, m_strStream);
  // The shared texts are exchanged through copies taken under their locks.
  std::wstring status = m_strStatus.Get();
  DDX_Text(pDX, IDC_STATUS, status);
  std::wstring bytes = m_strBytes.Get();
  DDX_Text(pDX, IDC_BYTES, bytes);
  DDV_MaxChars(pDX, bytes, 15);
  DDX_Control(pDX, IDC_PROGRESS, m_progress);
  if (pDX->m_bSaveAndValidate && !pDX->Binding()) {
    m_strStatus.Set(status);
    m_strBytes.Set(bytes);
  }
}

// Up and Down move between controls, never through a list: the key is
// consumed here so the lists change only with the spinner's Left and Right.
bool CFieldcastDlg::PreTranslateMessage(MSG* pMsg) {
  // F3 is no soft key: the health page is an extra beside them.
  if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F3) {
    pMsg->wParam = 0;
    OnStreamHealthPage();
  }
  if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_DOWN || pMsg->wParam == VK_UP)) {
    if (pMsg->wParam == VK_DOWN) NextDlgCtrl();
    else PrevDlgCtrl();
    pMsg->wParam = 0;
    platform::Sleep(10);
  }
  return CDialog::PreTranslateMessage(pMsg);
}

bool CFieldcastDlg::IsCorvo() const { return m_strDesign == kBrandingCorvo; }

CCasterDlgBase& CFieldcastDlg::ActiveCasterDlg() {
  if (IsCorvo()) return m_casterDlgCorvo;
  return m_casterDlg;
}

const CCasterDlgBase& CFieldcastDlg::ActiveCasterDlg() const {
  if (IsCorvo()) return m_casterDlgCorvo;
  return m_casterDlg;
}

HBRUSH CFieldcastDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  (void)nCtlColor;
  if (!IsCorvo()) return &m_brushDefault;
  // The text background is a shade apart from the page brush (242 against
  // 240), as the service's branding has always drawn it.
  constexpr COLORREF kAccentText = RGB(242, 28, 10);
  switch (pWnd->GetDlgCtrlID()) {
    case static_cast<int>(IDD_FIELDCAST_DIALOG):
    case IDC_SPIN_STREAMS:
      pDC->SetBkColor(kAccentText);
      return &m_brushAccent;
    case IDC_BROADCASTER:
    case IDC_SETTINGS:
    case IDC_START:
    case IDC_STOP:
    case IDC_STREAM_DETAILS:
      pDC->SetBkColor(kAccentText);
      return &m_brushWhite;
    case IDC_LIST_NETWORKS:
    case IDC_LIST_STREAMS:
      pDC->SetBkColor(RGB(255, 255, 255));
      return &m_brushWhite;
    case IDC_SPIN_NETWORKS:
      pDC->SetBkColor(kAccentText);
      pDC->SetBkMode(TRANSPARENT);
      pDC->SetTextColor(RGB(255, 255, 225));
      return &m_brushAccent;
    case IDC_STATUS:
    case IDC_BYTES_LABEL:
    case IDC_MAKERS_MARK:
    case IDC_BYTES:
    case IDC_PROGRESS:
      pDC->SetBkColor(kAccentText);
      return &m_brushAccent;
    default:
      return &m_brushAccent;
  }
}

// A refresh shows every shared member, the progress bar's position too.
LRESULT CFieldcastDlg::OnStatusRefresh(WPARAM, LPARAM) {
  UpdateData(false);
  m_progress.SetPos(m_nProgressPos);
  return 0;
}

LRESULT CFieldcastDlg::OnProgressUpdate(WPARAM, LPARAM) {
  m_progress.SetPos(m_nProgressPos);
  return 0;
}
