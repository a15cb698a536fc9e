#include "framework/ListBox.h"

#include <algorithm>

#include "framework/Dialog.h"
#include "framework/Notifications.h"
#include "framework/Resources.h"
#include "framework/SpinButtonCtrl.h"

void CListBox::OnCreated() {
  m_items.Clear();
  m_pSpinner = nullptr;
}

int CListBox::AddString(const std::wstring& text) {
  const int index = m_items.Add(text, (m_style & LBS_SORT) != 0);
  Invalidate();
  return index;
}

int CListBox::InsertString(int index, const std::wstring& text) {
  const int at = m_items.Insert(index, text);
  Invalidate();
  return at;
}

int CListBox::DeleteString(int index) {
  const int left = m_items.Delete(index);
  Invalidate();
  return left;
}

void CListBox::ResetContent() {
  m_items.Clear();
  Invalidate();
}

int CListBox::SetCurSel(int index) {
  if (!m_items.Select(index)) return -1;
  Invalidate();
  return index;
}

int CListBox::GetText(int index, std::wstring& text) const {
  const std::wstring* item = m_items.At(index);
  if (item == nullptr) return -1;
  text = *item;
  return static_cast<int>(text.size());
}

int CListBox::FindString(int startAfter, const std::wstring& prefix) const { return m_items.FindPrefix(startAfter, prefix); }

int CListBox::FindStringExact(int startAfter, const std::wstring& text) const {
  return m_items.FindExact(startAfter, text);
}

int CListBox::SelectString(int startAfter, const std::wstring& prefix) {
  const int index = FindString(startAfter, prefix);
  if (index >= 0) SetCurSel(index);
  return index;
}

bool CListBox::OnKeyDown(UINT key, bool shift) {
  (void)shift;
  if (key != VK_LEFT && key != VK_RIGHT) return false;
  if (m_pSpinner != nullptr) return m_pSpinner->StepFromKey(key);
  const int next = std::clamp(GetCurSel() + (key == VK_RIGHT ? 1 : -1), 0, std::max(GetCount() - 1, 0));
  if (GetCount() == 0 || next == GetCurSel()) return true;
  SetCurSel(next);
  if (m_pParent != nullptr) m_pParent->NotifyCommand(m_nID, LBN_SELCHANGE);
  return true;
}

void CListBox::OnClick(int x, int y) {
  (void)y;
  if (m_pSpinner == nullptr) return;
  if (x == 0) (void)OnKeyDown(VK_LEFT, false);
  else if (x == m_rect.Width() - 1) (void)OnKeyDown(VK_RIGHT, false);
}

void CListBox::Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const {
  (void)bg;
  const int top = CanvasTop();
  const bool focused = HasFocus();
  canvas.Fill({m_rect.left, top, m_rect.right, top + 1}, L' ', fg, textBg);
  if (!m_bEnabled) fg = CellColor::Of(RGB(128, 128, 128));
  // The spinner's arrows frame the entry; the entry is shown left-aligned.
  const bool spinner = m_pSpinner != nullptr;
  const int inner = m_rect.Width() - (spinner ? 4 : 0);
  const int x = m_rect.left + (spinner ? 2 : 0);
  if (spinner) {
    canvas.Put(m_rect.left, top, GetCurSel() > 0 ? L'◂' : L' ', fg, textBg, focused);
    canvas.Put(m_rect.right - 1, top, GetCurSel() + 1 < GetCount() ? L'▸' : L' ', fg, textBg, focused);
  }
  if (GetCurSel() >= 0) canvas.Text(x, top, *m_items.At(GetCurSel()), inner, fg, textBg, focused);
  else if (focused) canvas.Put(x, top, L' ', fg, textBg, true);
}
