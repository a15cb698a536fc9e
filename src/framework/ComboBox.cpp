#include "framework/ComboBox.h"

#include <algorithm>

#include "framework/Dialog.h"
#include "framework/ListBox.h"
#include "framework/Notifications.h"
#include "framework/Resources.h"

void CComboBox::OnCreated() {
  m_items.Clear();
  m_bChoosing = false;
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

void CComboBox::SetChoosing(bool choosing) {
  m_bChoosing = choosing;
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
  const bool typing = focused && !m_bChoosing;
  for (int i = 0; i < inner; ++i) {
    const int index = offset + i;
    const bool inText = index < static_cast<int>(text.size());
    const bool selected = typing && index >= selStart && index < caretIndex;
    const bool caret = typing && index == caretIndex;
    // One cell per character, so the caret stays on its character.
    const wchar_t shown = inText ? MakeVisible(text.substr(static_cast<size_t>(index), 1))[0] : L' ';
    canvas.Put(m_rect.left + i, top, shown, fg, textBg, selected || caret);
  }
  canvas.Put(m_rect.right - 1, top, L'▾', fg, textBg, focused && m_bChoosing);
}
