#pragma once
#include <vector>

#include "framework/Resources.h"
#include "framework/Wnd.h"

// A text field: single line (optionally a password, shown as '*'), or
// multi-line read-only text that scrolls vertically. Has a caret and a
// selection; typing replaces the selection. Sends EN_CHANGE when the user
// changes the text.
class CEdit : public CWnd {
 public:
  bool CanTakeFocus() const override { return true; }
  bool OnKeyDown(UINT key, bool shift) override;
  bool OnChar(wchar_t ch) override;
  // A one-line field entered selects its whole text, so typing replaces an
  // old value instead of adding to it.
  void OnFocusIn() override;
  UINT ColorKind() const override { return (m_style & ES_READONLY) ? CTLCOLOR_STATIC : CTLCOLOR_EDIT; }
  void Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const override;

  void SetSel(int start, int end);  // -1 as end: to the end of the text
  void GetSel(int& start, int& end) const;
  void ReplaceSel(const std::wstring& text);
  void SetLimitText(int maxChars) { m_nLimit = maxChars; }
  int GetLimitText() const { return m_nLimit; }
  int GetFirstVisibleLine() const { return m_nFirstLine; }
  void LineScroll(int lines);
  int GetLineCount() const;
  bool IsMultiLine() const;
  bool IsReadOnly() const;

 protected:
  void OnCreated() override;

 private:
  std::vector<std::wstring> WrappedLines() const;
  void Changed();

  int m_nCaret = 0;
  int m_nSelStart = 0;
  int m_nSelEnd = 0;
  int m_nLimit = 0;  // 0: no limit
  int m_nFirstLine = 0;
};
