#include "dialogs/TextBlock.h"

#include <algorithm>

namespace {

void WrapParagraph(const std::wstring& paragraph, size_t width, std::vector<std::wstring>& rows) {
  // A line that fits stays as it is, spaces and all: the pictures need them.
  if (paragraph.size() <= width) {
    rows.push_back(paragraph);
    return;
  }
  std::wstring row;
  size_t at = 0;
  while (at < paragraph.size()) {
    const size_t end = std::min(paragraph.find(L' ', at), paragraph.size());
    std::wstring word = paragraph.substr(at, end - at);
    at = end + 1;
    if (!row.empty() && row.size() + 1 + word.size() > width) {
      rows.push_back(row);
      row.clear();
    }
    if (!row.empty()) row += L' ';
    row += word;
    while (row.size() > width) {
      rows.push_back(row.substr(0, width));
      row.erase(0, width);
    }
  }
  rows.push_back(row);
}

}  // namespace

std::vector<std::wstring> WrapText(const std::wstring& text, int width) {
  std::vector<std::wstring> rows;
  if (width <= 0) return rows;
  size_t start = 0;
  for (;;) {
    const size_t lineFeed = text.find(L'\n', start);
    WrapParagraph(text.substr(start, lineFeed - start), static_cast<size_t>(width), rows);
    if (lineFeed == std::wstring::npos) break;
    start = lineFeed + 1;
  }
  return rows;
}

void CTextBlock::Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const {
  const int top = CanvasTop();
  const int height = std::max(m_rect.Height(), 1);
  canvas.Fill({m_rect.left, top, m_rect.right, top + height}, L' ', fg, bg);
  const std::vector<std::wstring> rows = WrapText(m_strText, m_rect.Width());
  for (int y = 0; y < height && y < static_cast<int>(rows.size()); ++y)
    canvas.Text(m_rect.left, top + y, rows[static_cast<size_t>(y)], m_rect.Width(), fg, textBg);
}
