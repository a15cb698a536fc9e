#include "framework/Button.h"

#include "framework/Dialog.h"
#include "framework/Notifications.h"
#include "framework/RadioGroup.h"

bool CButton::OnKeyDown(UINT key, bool shift) {
  (void)shift;
  if (key != VK_RETURN && key != VK_SPACE) return false;
  Press();
  return true;
}

void CButton::OnClick(int x, int y) {
  (void)x;
  (void)y;
  Press();
}

void CButton::SetCheck(int check) {
  m_bChecked = check != 0;
  Invalidate();
}

void CButton::Press() {
  if (m_pParent == nullptr || !m_bEnabled) return;
  if (m_bRadio) CheckRadioInGroup(*m_pParent, *this);
  m_pParent->NotifyCommand(m_nID, BN_CLICKED);
}

void CButton::Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const {
  const int top = CanvasTop();
  const bool focused = HasFocus();
  canvas.Fill({m_rect.left, top, m_rect.right, top + 1}, L' ', fg, bg);
  std::wstring label;
  if (m_bRadio) label = (m_bChecked ? L"(•) " : L"( ) ") + m_strText;
  else label = L"[" + m_strText + L"]";
  if (!m_bEnabled) fg = CellColor::Of(RGB(128, 128, 128));
  const int width = m_rect.Width();
  const int length = std::min<int>(static_cast<int>(label.size()), width);
  const int x = m_bRadio ? m_rect.left : m_rect.left + (width - length) / 2;
  canvas.Text(x, top, label, length, fg, textBg, focused);
}
