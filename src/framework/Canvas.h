#pragma once
// A grid of character cells that dialogs paint into. Controls know nothing
// of the terminal: the displays show this grid (ncurses, memory, nothing).
#include <string>
#include <string_view>
#include <vector>

#include "framework/Types.h"

struct CellColor {
  bool isDefault = true;  // the terminal's own colour
  COLORREF rgb = 0;
  static CellColor Default() { return {}; }
  static CellColor Of(COLORREF c) { return {false, c}; }
  bool operator==(const CellColor&) const = default;
};

struct Cell {
  wchar_t ch = L' ';
  CellColor fg;
  CellColor bg;
  bool reverse = false;  // the focus mark
  bool bold = false;
  bool underline = false;  // a link's text
  bool operator==(const Cell&) const = default;
};

class Canvas {
 public:
  Canvas(int width, int height);
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  const Cell& At(int x, int y) const { return m_cells[static_cast<size_t>(y * m_width + x)]; }

  void Fill(const CRect& rect, wchar_t ch, CellColor fg, CellColor bg);
  // Draws text from (x, y), clipped to `maxWidth` cells and the canvas.
  // Control characters become visible ('^M' style, U+FFFD for others), so a
  // caster's reply can never drive the terminal.
  void Text(int x, int y, std::wstring_view text, int maxWidth, CellColor fg, CellColor bg, bool reverse = false);
  void Put(int x, int y, wchar_t ch, CellColor fg, CellColor bg, bool reverse = false);
  // Underlines `width` cells from (x, y), keeping what they show.
  void Underline(int x, int y, int width);

  // One row as plain text (tests and the headless screen dump).
  std::wstring Row(int y) const;
  std::wstring ToText() const;

 private:
  int m_width;
  int m_height;
  std::vector<Cell> m_cells;
};

// The visible form of a text that may hold control characters.
std::wstring MakeVisible(std::wstring_view text);
