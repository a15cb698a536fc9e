#include "framework/Static.h"

#include <algorithm>

#include "framework/Resources.h"

void CStatic::Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const {
  const int top = CanvasTop();
  canvas.Fill({m_rect.left, top, m_rect.right, top + std::max(m_rect.Height(), 1)}, L' ', fg, bg);
  const std::wstring text = MakeVisible(m_strText);
  const int width = m_rect.Width();
  const int length = std::min<int>(static_cast<int>(text.size()), width);
  int x = m_rect.left;
  if ((m_style & SS_RIGHT) != 0) x = m_rect.right - length;
  else if ((m_style & SS_CENTER) != 0) x = m_rect.left + (width - length) / 2;
  canvas.Text(x, top, text, length, fg, textBg);
}

void CGroupBox::Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const {
  const int top = CanvasTop();
  const int bottom = top + m_rect.Height() - 1;
  for (int x = m_rect.left; x < m_rect.right; ++x) {
    canvas.Put(x, top, L'─', fg, bg);
    canvas.Put(x, bottom, L'─', fg, bg);
  }
  for (int y = top; y <= bottom; ++y) {
    canvas.Put(m_rect.left, y, L'│', fg, bg);
    canvas.Put(m_rect.right - 1, y, L'│', fg, bg);
  }
  canvas.Put(m_rect.left, top, L'┌', fg, bg);
  canvas.Put(m_rect.right - 1, top, L'┐', fg, bg);
  canvas.Put(m_rect.left, bottom, L'└', fg, bg);
  canvas.Put(m_rect.right - 1, bottom, L'┘', fg, bg);
  canvas.Text(m_rect.left + 1, top, m_strText, m_rect.Width() - 2, fg, textBg);
}
