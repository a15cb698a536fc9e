#include "framework/ProgressCtrl.h"

#include <algorithm>

void CProgressCtrl::OnCreated() {
  m_nLower = 0;
  m_nUpper = 100;
  m_nPos = 0;
}

void CProgressCtrl::SetRange(int lower, int upper) {
  m_nLower = lower;
  m_nUpper = upper;
  Invalidate();
}

void CProgressCtrl::GetRange(int& lower, int& upper) const {
  lower = m_nLower;
  upper = m_nUpper;
}

int CProgressCtrl::SetPos(int pos) {
  const int previous = m_nPos;
  m_nPos = std::clamp(pos, std::min(m_nLower, m_nUpper), std::max(m_nLower, m_nUpper));
  if (m_nPos != previous) Invalidate();
  return previous;
}

void CProgressCtrl::Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const {
  (void)textBg;
  const int top = CanvasTop();
  const int width = std::max(m_rect.Width(), 1);
  const long long span = std::max(m_nUpper - m_nLower, 1);
  const int filled = static_cast<int>((static_cast<long long>(m_nPos - m_nLower) * width) / span);
  for (int i = 0; i < width; ++i) canvas.Put(m_rect.left + i, top, i < filled ? L'█' : L'░', fg, bg);
}
