#include "dialogs/StaticLink.h"

#include <algorithm>

#include "framework/Dialog.h"
#include "framework/EventLoop.h"
#include "framework/Notifications.h"
#include "framework/Resources.h"
#include "platform/Trace.h"

namespace {

// The platform's stock white brush.
const CBrush g_whiteBrush(RGB(255, 255, 255));

constexpr UINT STN_CLICKED = 0;

bool IsPlainText(unsigned style) {
  const unsigned type = style & 0x1F;
  return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
}

}  // namespace

HBRUSH CStaticLink::CtlColor(CDC* pDC) {
  if (!IsPlainText(m_style)) return nullptr;
  m_bLinkFont = true;
  m_bOwnDrawing = true;
  pDC->SetTextColor(m_color);
  pDC->SetBkMode(OPAQUE);
  return &g_whiteBrush;
}

std::wstring CStaticLink::Address() const {
  if (!m_link.empty()) return m_link;
  std::wstring fromResources = Resources::LoadString(static_cast<UINT>(m_nID));
  return fromResources.empty() ? m_strText : fromResources;
}

bool CStaticLink::Activate() {
  // The control's own open step cannot open anything on this system;
  // the dialog's "Visit Link" is the way that opens the page.
  if (Display* display = EventLoop::Instance().GetDisplay()) display->Beep();
  platform::Trace(L"*** CStaticLink: can't navigate " + Address() + L" ***\n");
  return false;
}

bool CStaticLink::OnChar(wchar_t ch) {
  if (ch != L' ') return false;
  (void)Activate();
  return true;
}

void CStaticLink::OnClick(int x, int y) {
  (void)x;
  (void)y;
  (void)Activate();
  // A notifying static tells its dialog of the click as well.
  if (m_pParent != nullptr) m_pParent->NotifyCommand(m_nID, STN_CLICKED);
}

CRect CStaticLink::FocusRect() const {
  const int top = CanvasTop();
  if ((m_style & (SS_CENTER | SS_RIGHT)) != 0) return {m_rect.left, top, m_rect.right, top + std::max(m_rect.Height(), 1)};
  const int length = std::min(static_cast<int>(MakeVisible(m_strText).size()), m_rect.Width());
  return {m_rect.left, top, m_rect.left + length, top + 1};
}

void CStaticLink::Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const {
  CStatic::Paint(canvas, fg, bg, textBg);
  const int top = CanvasTop();
  const int length = std::min(static_cast<int>(MakeVisible(m_strText).size()), m_rect.Width());
  int x = m_rect.left;
  if ((m_style & SS_RIGHT) != 0) x = m_rect.right - length;
  else if ((m_style & SS_CENTER) != 0) x = m_rect.left + (m_rect.Width() - length) / 2;
  if (m_bOwnDrawing) canvas.Underline(x, top, length);
  m_bOwnDrawing = false;
  // The focus mark: the cells under it are shown inverted while the link
  // has the focus, and drawn plainly again when it leaves.
  if (!HasFocus()) return;
  const CRect mark = FocusRect();
  for (int row = std::max(mark.top, 0); row < std::min(mark.bottom, canvas.Height()); ++row)
    for (int col = std::max(mark.left, 0); col < std::min(mark.right, canvas.Width()); ++col) {
      const Cell& cell = canvas.At(col, row);
      const bool underline = cell.underline;
      canvas.Put(col, row, cell.ch, cell.fg, cell.bg, true);
      if (underline) canvas.Underline(col, row, 1);
    }
}
