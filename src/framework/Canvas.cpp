#include "framework/Canvas.h"

#include <algorithm>
#include <cstdint>

Canvas::Canvas(int width, int height)
    : m_width(std::max(width, 1)), m_height(std::max(height, 1)),
      m_cells(static_cast<size_t>(m_width * m_height)) {}

void Canvas::Put(int x, int y, wchar_t ch, CellColor fg, CellColor bg, bool reverse) {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
  Cell& cell = m_cells[static_cast<size_t>(y * m_width + x)];
  cell.ch = ch;
  cell.fg = fg;
  cell.bg = bg;
  cell.reverse = reverse;
  cell.underline = false;
}

void Canvas::Underline(int x, int y, int width) {
  if (y < 0 || y >= m_height) return;
  for (int i = std::max(x, 0); i < x + width && i < m_width; ++i) m_cells[static_cast<size_t>(y * m_width + i)].underline = true;
}

void Canvas::Fill(const CRect& rect, wchar_t ch, CellColor fg, CellColor bg) {
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left; x < rect.right; ++x) Put(x, y, ch, fg, bg);
}

std::wstring MakeVisible(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (const wchar_t ch : text) {
    // wchar_t is signed here: compare as a code point, so a negative value
    // is invalid rather than a control character with a garbage caret form.
    const auto c = static_cast<std::uint32_t>(ch);
    if (c < 0x20 || c == 0x7F) {
      out.push_back(L'^');
      out.push_back(c == 0x7F ? L'?' : static_cast<wchar_t>(c + 0x40));
    } else if ((c >= 0x80 && c < 0xA0) || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
      out.push_back(L'\uFFFD');
    } else {
      out.push_back(ch);
    }
  }
  return out;
}

void Canvas::Text(int x, int y, std::wstring_view text, int maxWidth, CellColor fg, CellColor bg, bool reverse) {
  const std::wstring visible = MakeVisible(text);
  const int n = std::min<int>(static_cast<int>(visible.size()), maxWidth);
  for (int i = 0; i < n; ++i) Put(x + i, y, visible[static_cast<size_t>(i)], fg, bg, reverse);
}

std::wstring Canvas::Row(int y) const {
  std::wstring row;
  for (int x = 0; x < m_width; ++x) row.push_back(At(x, y).ch);
  return row;
}

std::wstring Canvas::ToText() const {
  std::wstring text;
  for (int y = 0; y < m_height; ++y) {
    std::wstring row = Row(y);
    row.erase(row.find_last_not_of(L' ') + 1);
    text += row;
    text += L'\n';
  }
  return text;
}
