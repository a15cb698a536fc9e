#include "app/StreamHealthDlg.h"

#include "framework/DataExchange.h"
#include "framework/ScrollKeys.h"
#include "health/HealthTexts.h"
#include "platform/Clock.h"
#include "platform/Trace.h"
#include "res/HealthResources.h"

namespace {

constexpr UINT kRefreshTimerId = 0x8031;
constexpr unsigned kRefreshMilliseconds = 1000;

}  // namespace

CStreamHealthDlg::CStreamHealthDlg(const StreamHealth& health, std::function<std::wstring()> status)
    : CDialog(IDD_STREAM_HEALTH), m_health(health), m_status(std::move(status)) {}

const MessageMap& CStreamHealthDlg::GetMessageMap() const {
  static const MessageMap map = {
      OnTimer(&CStreamHealthDlg::OnRefreshTimer),
  };
  return map;
}

void CStreamHealthDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_HEALTH_TEXT, m_strText);
  DDX_Control(pDX, IDC_HEALTH_TEXT, m_editText);
}

bool CStreamHealthDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!m_dlgCommandBar.Create(this) || !m_dlgCommandBar.InsertMenuBar(IDR_MENUBAR_HEALTH))
    platform::Trace("Failed to create CommandBar\n");
  Refresh();
  SetTimer(kRefreshTimerId, kRefreshMilliseconds);
  return true;
}

void CStreamHealthDlg::OnRefreshTimer(UINT id) {
  if (id == kRefreshTimerId) Refresh();
}

// A new text keeps the lines scrolled to where the reader left them.
void CStreamHealthDlg::Refresh() {
  const int firstLine = m_editText.GetFirstVisibleLine();
  m_strText = HealthPageText(m_health.Take(platform::MonotonicMilliseconds()), m_status());
  UpdateData(false);
  const int scrolled = m_editText.GetFirstVisibleLine();
  if (scrolled != firstLine) m_editText.LineScroll(firstLine - scrolled);
}

// Scrolls like the stream details page.
bool CStreamHealthDlg::PreTranslateMessage(MSG* pMsg) {
  (void)ScrollTextForKey(m_editText, pMsg);
  return CDialog::PreTranslateMessage(pMsg);
}
