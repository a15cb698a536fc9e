#include "framework/SpinButtonCtrl.h"

#include <algorithm>

#include "framework/Dialog.h"
#include "framework/ListBox.h"
#include "framework/Notifications.h"

void CSpinButtonCtrl::OnCreated() {
  m_nPos = 0;
  m_nLower = 0;
  m_nUpper = 100;
  m_pBuddy = nullptr;
}

CWnd* CSpinButtonCtrl::SetBuddy(CWnd* buddy) {
  CWnd* previous = m_pBuddy;
  if (auto* list = dynamic_cast<CListBox*>(previous)) list->SetBuddySpinner(nullptr);
  m_pBuddy = buddy;
  if (auto* list = dynamic_cast<CListBox*>(buddy)) list->SetBuddySpinner(this);
  return previous;
}

void CSpinButtonCtrl::SetRange(int lower, int upper) {
  m_nLower = lower;
  m_nUpper = upper;
}

void CSpinButtonCtrl::GetRange(int& lower, int& upper) const {
  if (auto* list = dynamic_cast<CListBox*>(m_pBuddy)) {
    lower = 0;
    upper = std::max(list->GetCount() - 1, 0);
    return;
  }
  lower = m_nLower;
  upper = m_nUpper;
}

int CSpinButtonCtrl::GetPos() const {
  if (auto* list = dynamic_cast<CListBox*>(m_pBuddy)) return list->GetCurSel();
  return m_nPos;
}

int CSpinButtonCtrl::SetPos(int pos) {
  const int previous = GetPos();
  int lower = 0;
  int upper = 0;
  GetRange(lower, upper);
  pos = std::clamp(pos, std::min(lower, upper), std::max(lower, upper));
  if (auto* list = dynamic_cast<CListBox*>(m_pBuddy)) {
    if (list->GetCount() > 0) list->SetCurSel(pos);
  } else {
    m_nPos = pos;
  }
  Invalidate();
  return previous;
}

bool CSpinButtonCtrl::StepFromKey(UINT key) {
  if (key != VK_LEFT && key != VK_RIGHT) return false;
  if (m_pParent == nullptr || !m_bEnabled) return true;
  const int before = GetPos();
  NMUPDOWN notification;
  notification.hdr = NMHDR{m_hWnd, m_nID, UDN_DELTAPOS};
  notification.iPos = before;
  notification.iDelta = key == VK_RIGHT ? -1 : 1;
  const LRESULT cancel = m_pParent->NotifyParent(&notification.hdr);
  if (cancel == 0 && notification.iDelta != 0) SetPos(GetPos() + notification.iDelta);
  if (GetPos() != before && m_pBuddy != nullptr && dynamic_cast<CListBox*>(m_pBuddy) != nullptr)
    m_pParent->NotifyCommand(m_pBuddy->GetDlgCtrlID(), LBN_SELCHANGE);
  return true;
}
