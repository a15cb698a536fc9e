#pragma once
#include "framework/Wnd.h"

// A text, left-, right- or centre-aligned in its rectangle.
class CStatic : public CWnd {
 public:
  void Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const override;
};

// A framed group of controls with a title.
class CGroupBox : public CWnd {
 public:
  void Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const override;
};
