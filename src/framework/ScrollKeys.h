#pragma once
// Read-only text pages (stream details, stream health): Up and Down scroll
// the text by a line wherever the focus is, PageUp and PageDown by a
// screenful; the key is then consumed and never moves the focus.
#include <algorithm>

#include "framework/Edit.h"
#include "framework/Types.h"

// Answers whether the key scrolled the text (and was consumed).
inline bool ScrollTextForKey(CEdit& text, MSG* pMsg) {
  if (pMsg->message != WM_KEYDOWN) return false;
  const int page = std::max(text.Rect().Height() - 1, 1);
  int lines = 0;
  if (pMsg->wParam == VK_DOWN) lines = 1;
  else if (pMsg->wParam == VK_UP) lines = -1;
  else if (pMsg->wParam == VK_NEXT) lines = page;
  else if (pMsg->wParam == VK_PRIOR) lines = -page;
  if (lines == 0) return false;
  text.LineScroll(lines);
  pMsg->wParam = 0;
  return true;
}
