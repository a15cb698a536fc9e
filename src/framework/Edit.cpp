#include "framework/Edit.h"

#include <algorithm>

#include "framework/Dialog.h"
#include "framework/Notifications.h"
#include "framework/Resources.h"

namespace {

// SetWindowText does not know the caret: after the program replaced the text
// with a shorter one, caret and selection may point past its end.
void ClampToText(int size, int& caret, int& selStart, int& selEnd) {
  caret = std::clamp(caret, 0, size);
  selStart = std::clamp(selStart, 0, size);
  selEnd = std::clamp(selEnd, selStart, size);
}

}  // namespace

void CEdit::OnCreated() {
  m_nCaret = static_cast<int>(m_strText.size());
  m_nSelStart = m_nSelEnd = m_nCaret;
  m_nLimit = 0;
  m_nFirstLine = 0;
}

bool CEdit::IsMultiLine() const { return (m_style & ES_MULTILINE) != 0; }
bool CEdit::IsReadOnly() const { return (m_style & ES_READONLY) != 0; }

void CEdit::SetSel(int start, int end) {
  const int size = static_cast<int>(m_strText.size());
  if (end < 0) end = size;
  m_nSelStart = std::clamp(std::min(start, end), 0, size);
  m_nSelEnd = std::clamp(std::max(start, end), 0, size);
  m_nCaret = m_nSelEnd;
  Invalidate();
}

void CEdit::GetSel(int& start, int& end) const {
  const int size = static_cast<int>(m_strText.size());
  start = std::min(m_nSelStart, size);
  end = std::min(m_nSelEnd, size);
}

void CEdit::ReplaceSel(const std::wstring& text) {
  ClampToText(static_cast<int>(m_strText.size()), m_nCaret, m_nSelStart, m_nSelEnd);
  std::wstring inserted = text;
  // A text set longer than the limit can still be shortened.
  if (m_nLimit > 0 && !inserted.empty()) {
    const int room = m_nLimit - (static_cast<int>(m_strText.size()) - (m_nSelEnd - m_nSelStart));
    if (room <= 0) return;
    if (static_cast<int>(inserted.size()) > room) inserted.resize(static_cast<size_t>(room));
  }
  m_strText.replace(static_cast<size_t>(m_nSelStart), static_cast<size_t>(m_nSelEnd - m_nSelStart), inserted);
  m_nCaret = m_nSelStart + static_cast<int>(inserted.size());
  m_nSelStart = m_nSelEnd = m_nCaret;
  Changed();
}

void CEdit::Changed() {
  Invalidate();
  if (m_pParent != nullptr) m_pParent->NotifyCommand(m_nID, EN_CHANGE);
}

void CEdit::OnFocusIn() {
  if (!IsMultiLine()) SetSel(0, -1);
}

bool CEdit::OnChar(wchar_t ch) {
  if (IsReadOnly() || ch < 0x20 || ch == 0x7F) return false;
  ReplaceSel(std::wstring(1, ch));
  return true;
}

bool CEdit::OnKeyDown(UINT key, bool shift) {
  (void)shift;
  const int size = static_cast<int>(m_strText.size());
  ClampToText(size, m_nCaret, m_nSelStart, m_nSelEnd);
  if (IsMultiLine()) {
    // Read-only text scrolls with Up and Down until its end; then the keys
    // move the focus as everywhere else.
    const int visible = std::max(m_rect.Height(), 1);
    const int lines = GetLineCount();
    if (key == VK_DOWN && m_nFirstLine + visible < lines) return LineScroll(1), true;
    if (key == VK_UP && m_nFirstLine > 0) return LineScroll(-1), true;
    return false;
  }
  auto moveCaret = [&](int to) {
    m_nCaret = std::clamp(to, 0, size);
    m_nSelStart = m_nSelEnd = m_nCaret;
    Invalidate();
    return true;
  };
  const bool selection = m_nSelStart != m_nSelEnd;
  switch (key) {
    // With a selection the arrows only drop it, the caret going to its
    // near end: Left to its start, Right to its end.
    case VK_LEFT:
      if (selection) return moveCaret(m_nSelStart);
      return m_nCaret > 0 ? moveCaret(m_nCaret - 1) : false;
    case VK_RIGHT:
      if (selection) return moveCaret(m_nSelEnd);
      return m_nCaret < size ? moveCaret(m_nCaret + 1) : false;
    case VK_HOME:
      return moveCaret(0);
    case VK_END:
      return moveCaret(size);
    case VK_BACK:
      // An empty field lets Backspace act as the Back key.
      if (IsReadOnly() || size == 0) return false;
      if (m_nSelStart == m_nSelEnd) {
        if (m_nCaret == 0) return true;
        m_nSelStart = m_nCaret - 1;
        m_nSelEnd = m_nCaret;
      }
      ReplaceSel(L"");
      return true;
    case VK_DELETE:
      if (IsReadOnly()) return false;
      if (m_nSelStart == m_nSelEnd) {
        if (m_nCaret >= size) return true;
        m_nSelStart = m_nCaret;
        m_nSelEnd = m_nCaret + 1;
      }
      ReplaceSel(L"");
      return true;
    default:
      return false;
  }
}

// Lines break at the last blank that fits (the blank itself is dropped), so
// words stay whole on a narrow screen; a word longer than the width is cut.
std::vector<std::wstring> CEdit::WrappedLines() const {
  std::vector<std::wstring> lines;
  const size_t width = static_cast<size_t>(std::max(m_rect.Width(), 1));
  size_t start = 0;
  for (;;) {
    const size_t end = std::min(m_strText.find(L'\n', start), m_strText.size());
    std::wstring line;
    for (size_t i = start; i < end; ++i)
      if (m_strText[i] != L'\r') line.push_back(m_strText[i]);
    while (line.size() > width) {
      const size_t blank = line.rfind(L' ', width);
      const size_t cut = blank == std::wstring::npos || blank == 0 ? width : blank;
      lines.push_back(line.substr(0, cut));
      line.erase(0, cut == blank ? cut + 1 : cut);
    }
    lines.push_back(line);
    if (end == m_strText.size()) return lines;
    start = end + 1;
  }
}

int CEdit::GetLineCount() const { return IsMultiLine() ? static_cast<int>(WrappedLines().size()) : 1; }

void CEdit::LineScroll(int lines) {
  const int maxFirst = std::max(GetLineCount() - std::max(m_rect.Height(), 1), 0);
  m_nFirstLine = std::clamp(m_nFirstLine + lines, 0, maxFirst);
  Invalidate();
}

void CEdit::Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const {
  const int top = CanvasTop();
  const bool focused = HasFocus();
  canvas.Fill({m_rect.left, top, m_rect.right, top + std::max(m_rect.Height(), 1)}, L' ', fg, textBg);
  if (IsMultiLine()) {
    const auto lines = WrappedLines();
    for (int row = 0; row < m_rect.Height(); ++row) {
      const size_t index = static_cast<size_t>(m_nFirstLine + row);
      if (index >= lines.size()) break;
      canvas.Text(m_rect.left, top + row, lines[index], m_rect.Width(), fg, textBg);
    }
    if (focused && GetLineCount() > m_rect.Height()) canvas.Put(m_rect.right - 1, top, L'↕', fg, textBg, true);
    return;
  }
  (void)bg;
  // One cell per character, so the caret stays where the text is.
  std::wstring shown = m_strText;
  for (wchar_t& c : shown) {
    if (m_style & ES_PASSWORD) c = L'*';
    else if (c < 0x20 || (c >= 0x7F && c < 0xA0)) c = L'\uFFFD';
  }
  const int width = std::max(m_rect.Width(), 1);
  const int offset = std::max(0, m_nCaret - width + 1);
  for (int i = 0; i < width; ++i) {
    const int index = offset + i;
    const wchar_t ch = index < static_cast<int>(shown.size()) ? shown[static_cast<size_t>(index)] : L'_';
    const bool selected = index >= m_nSelStart && index < m_nSelEnd;
    const bool caret = focused && index == m_nCaret;
    canvas.Put(m_rect.left + i, top, ch, fg, textBg, selected || caret);
  }
}
