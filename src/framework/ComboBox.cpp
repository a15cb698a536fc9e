#include "framework/ComboBox.h"

#include <algorithm>

#include "framework/Dialog.h"
#include "framework/ListBox.h"
#include "framework/Notifications.h"
#include "framework/Resources.h"

void CComboBox::OnCreated() {
  m_items.Clear();
  // The field has no parent: its EN_CHANGE would reach the dialog as if from
  // the dialog's own control 1001. The combo box reports CBN_EDITCHANGE.
  m_edit.Create(nullptr, kEditChildId, m_rect, m_strText, 0);
}

void CComboBox::SetEditText(const std::wstring& text) {
  m_edit.SetWindowText(text);
  m_edit.SetSel(static_cast<int>(text.size()), static_cast<int>(text.size()));
  m_strText = text;
  Invalidate();
}

int CComboBox::AddString(const std::wstring& text) { return m_items.Add(text, (m_style & CBS_SORT) != 0); }

int CComboBox::InsertString(int index, const std::wstring& text) { return m_items.Insert(index, text); }

int CComboBox::DeleteString(int index) { return m_items.Delete(index); }

void CComboBox::ResetContent() {
  m_items.Clear();
  SetEditText(L"");
}

int CComboBox::SetCurSel(int index) {
  if (!m_items.Select(index)) return -1;
  SetEditText(index >= 0 ? *m_items.At(index) : std::wstring());
  return index;
}

int CComboBox::GetLBText(int index, std::wstring& text) const {
  const std::wstring* item = m_items.At(index);
  if (item == nullptr) return -1;
  text = *item;
  return static_cast<int>(text.size());
}

int CComboBox::FindString(int startAfter, const std::wstring& prefix) const {
  return m_items.FindPrefix(startAfter, prefix);
}

int CComboBox::FindStringExact(int startAfter, const std::wstring& text) const {
  return m_items.FindExact(startAfter, text);
}

int CComboBox::SelectString(int startAfter, const std::wstring& prefix) {
  const int index = FindString(startAfter, prefix);
  if (index >= 0) SetCurSel(index);
  return index;
}

bool CComboBox::OnKeyDown(UINT key, bool shift) {
  if (key == VK_LEFT || key == VK_RIGHT) {
    if (GetCount() == 0) return true;
    const int next = GetCurSel() < 0 ? (key == VK_RIGHT ? 0 : GetCount() - 1)
                                   : std::clamp(GetCurSel() + (key == VK_RIGHT ? 1 : -1), 0, GetCount() - 1);
    if (next != GetCurSel()) {
      SetCurSel(next);
      if (m_pParent != nullptr) m_pParent->NotifyCommand(m_nID, CBN_SELCHANGE);
    }
    return true;
  }
  const std::wstring before = m_edit.GetWindowText();
  const bool used = m_edit.OnKeyDown(key, shift);
  if (m_edit.GetWindowText() != before) {
    m_strText = m_edit.GetWindowText();
    (void)m_items.Select(-1);
    if (m_pParent != nullptr) m_pParent->NotifyCommand(m_nID, CBN_EDITCHANGE);
  }
  Invalidate();
  return used;
}

bool CComboBox::OnChar(wchar_t ch) {
  if (!m_edit.OnChar(ch)) return false;
  m_strText = m_edit.GetWindowText();
  (void)m_items.Select(-1);
  if (m_pParent != nullptr) m_pParent->NotifyCommand(m_nID, CBN_EDITCHANGE);
  Invalidate();
  return true;
}

void CComboBox::Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const {
  const int top = CanvasTop();
  const bool focused = HasFocus();
  canvas.Fill({m_rect.left, top, m_rect.right, top + 1}, L' ', fg, textBg);
  (void)bg;
  const std::wstring text = m_edit.GetWindowText();
  const int inner = std::max(m_rect.Width() - 1, 1);
  // The caret is where the field's own caret is: Left and Right may have
  // moved it into the text.
  int selStart = 0;
  int caretIndex = 0;
  m_edit.GetSel(selStart, caretIndex);
  const int offset = std::max(0, caretIndex - inner + 1);
  canvas.Text(m_rect.left, top, text.substr(static_cast<size_t>(std::min<int>(offset, static_cast<int>(text.size())))),
              inner, fg, textBg, false);
  if (focused) {
    const int caret = std::min(caretIndex - offset, inner - 1);
    const size_t under = static_cast<size_t>(caretIndex);
    canvas.Put(m_rect.left + caret, top, under < text.size() ? MakeVisible(text.substr(under, 1))[0] : L' ', fg,
               textBg, true);
  }
  canvas.Put(m_rect.right - 1, top, L'▾', fg, textBg, focused);
}
