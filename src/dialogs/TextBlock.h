#pragma once
// A static text over several rows: broken at line feeds and wrapped at
// spaces to the control's width. The About pages' sentences and pictures
// are longer than one row of the small screen.
#include <string>
#include <vector>

#include "framework/Static.h"

class CTextBlock : public CStatic {
 public:
  void Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const override;
};

// The rows a text takes at `width` cells: line feeds end a row, words that
// do not fit begin the next one, and a word longer than a row is cut.
std::vector<std::wstring> WrapText(const std::wstring& text, int width);
