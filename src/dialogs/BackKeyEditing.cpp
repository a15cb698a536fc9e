#include "dialogs/BackKeyEditing.h"

#include <algorithm>

#include "framework/Edit.h"
#include "platform/Text.h"
#include "sourcetable/SourceTableRecords.h"

bool IsBackKeyMessage(const MSG& msg) {
  return msg.message == WM_HOTKEY && static_cast<UINT>((msg.lParam >> 16) & 0xFFFF) == VK_TBACK;
}

std::wstring RemoveBeforeCaret(const std::wstring& text, int selStart, int selEnd, int& caret) {
  std::wstring result = text;
  // A bare caret removes one character; a selection gives a count of zero or
  // less and removes nothing.
  const int count = selStart - selEnd + 1;
  const int index = selStart - 1;
  if (count > 0 && index >= 0 && index < static_cast<int>(result.size()))
    result.erase(static_cast<size_t>(index), static_cast<size_t>(count));
  caret = std::max(selStart - 1, 0);
  return result;
}

void BackKeyOnText(CEdit& edit) {
  int start = 0;
  int end = 0;
  edit.GetSel(start, end);
  int caret = 0;
  edit.SetWindowText(RemoveBeforeCaret(edit.GetWindowText(), start, end, caret));
  edit.SetSel(caret, caret);
}

void BackKeyOnNumber(CEdit& edit, NumberKind kind) {
  int start = 0;
  int end = 0;
  edit.GetSel(start, end);
  int caret = 0;
  const std::wstring shortened = RemoveBeforeCaret(edit.GetWindowText(), start, end, caret);
  std::int32_t value = sourcetable::LeadingNumber(platform::Narrow(shortened));
  if (kind == NumberKind::Unsigned) value = std::max(value, 0);
  edit.SetWindowText(std::to_wstring(value));
  edit.SetSel(caret, caret);
}

bool BackKeyInCasterFields(CWnd* focus, const CasterFields& fields) {
  if (focus == &fields.user || focus == &fields.password) BackKeyOnText(*static_cast<CEdit*>(focus));
  else if (focus == &fields.attempts) BackKeyOnNumber(fields.attempts, NumberKind::Signed);
  else if (focus == &fields.time) BackKeyOnNumber(fields.time, NumberKind::Unsigned);
  else return false;
  return true;
}
