#pragma once
// CStaticLink: a static text drawn as a link (blue, underlined, on white)
// that can take the focus. A click or Space activates it; activation finds
// the address and hands it to the control's own open step, which on this
// system cannot open anything, so it beeps and writes a trace line. The
// dialog that owns the link opens the page itself (its "Visit Link" and the
// click notification it receives).
#include <string>

#include "framework/Gdi.h"
#include "framework/Static.h"

// The colour of every link's text.
constexpr COLORREF kLinkColor = RGB(0, 0, 255);

class CStaticLink : public CStatic {
 public:
  explicit CStaticLink(std::wstring link = {}, bool deleteOnDestroy = false)
      : m_link(std::move(link)), m_bDeleteOnDestroy(deleteOnDestroy) {}

  // The reflected colour request: what the link answers when its dialog
  // leaves its colours to it. Null for statics that are not plain text.
  HBRUSH CtlColor(CDC* pDC);
  // Click or Space: answers whether the address was opened (never, here).
  bool Activate();
  // The address activation uses: the link member, else the string resource
  // numbered like the control, else the control's text.
  std::wstring Address() const;

  bool CanTakeFocus() const override { return true; }
  bool OnChar(wchar_t ch) override;
  void OnClick(int x, int y) override;
  void Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const override;
  // Where the focus mark lies: the drawn text of a left-aligned link,
  // otherwise the whole control (in canvas cells).
  CRect FocusRect() const;

  std::wstring m_link;
  COLORREF m_color = kLinkColor;
  bool m_bLinkFont = false;  // the underlined font is made on first drawing
  // For links made on the heap; both About dialogs hold theirs as members,
  // and no control here outlives its owner, so nothing reads it yet.
  bool m_bDeleteOnDestroy = false;

 private:
  // Set by CtlColor for the drawing that follows it: this drawing is the
  // link's own, in its underlined font.
  mutable bool m_bOwnDrawing = false;
};
