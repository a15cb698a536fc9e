#include "framework/ListBox.h"

#include <algorithm>
#include <cwctype>

#include "framework/Dialog.h"
#include "framework/Notifications.h"
#include "framework/Resources.h"
#include "framework/SpinButtonCtrl.h"

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
  if (prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::towlower(static_cast<wint_t>(text[i])) != std::towlower(static_cast<wint_t>(prefix[i]))) return false;
  return true;
}

int CompareNoCase(const std::wstring& a, const std::wstring& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto x = std::towlower(static_cast<wint_t>(a[i]));
    const auto y = std::towlower(static_cast<wint_t>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

void CListBox::OnCreated() {
  m_items.clear();
  m_nCurSel = -1;
  m_pSpinner = nullptr;
}

int CListBox::AddString(const std::wstring& text) {
  if ((m_style & LBS_SORT) == 0) return InsertString(-1, text);
  const auto at = std::find_if(m_items.begin(), m_items.end(),
                               [&](const std::wstring& item) { return CompareNoCase(text, item) < 0; });
  return InsertString(static_cast<int>(at - m_items.begin()), text);
}

int CListBox::InsertString(int index, const std::wstring& text) {
  if (index < 0 || index > GetCount()) index = GetCount();
  m_items.insert(m_items.begin() + index, text);
  if (m_nCurSel >= index) ++m_nCurSel;
  Invalidate();
  return index;
}

int CListBox::DeleteString(int index) {
  if (index < 0 || index >= GetCount()) return -1;
  m_items.erase(m_items.begin() + index);
  if (m_nCurSel == index) m_nCurSel = -1;
  else if (m_nCurSel > index) --m_nCurSel;
  Invalidate();
  return GetCount();
}

void CListBox::ResetContent() {
  m_items.clear();
  m_nCurSel = -1;
  Invalidate();
}

int CListBox::SetCurSel(int index) {
  if (index < -1 || index >= GetCount()) return -1;
  m_nCurSel = index;
  Invalidate();
  return index;
}

int CListBox::GetText(int index, std::wstring& text) const {
  if (index < 0 || index >= GetCount()) return -1;
  text = m_items[static_cast<size_t>(index)];
  return static_cast<int>(text.size());
}

int CListBox::FindString(int startAfter, const std::wstring& prefix) const {
  const int count = GetCount();
  for (int step = 1; step <= count; ++step) {
    const int index = ((startAfter < 0 ? -1 : startAfter) + step) % count;
    if (StartsWithNoCase(m_items[static_cast<size_t>(index)], prefix)) return index;
  }
  return -1;
}

int CListBox::FindStringExact(int startAfter, const std::wstring& text) const {
  const int count = GetCount();
  for (int step = 1; step <= count; ++step) {
    const int index = ((startAfter < 0 ? -1 : startAfter) + step) % count;
    if (CompareNoCase(m_items[static_cast<size_t>(index)], text) == 0) return index;
  }
  return -1;
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
  const int next = std::clamp(m_nCurSel + (key == VK_RIGHT ? 1 : -1), 0, std::max(GetCount() - 1, 0));
  if (GetCount() == 0 || next == m_nCurSel) return true;
  SetCurSel(next);
  if (m_pParent != nullptr) m_pParent->NotifyCommand(m_nID, LBN_SELCHANGE);
  return true;
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
    canvas.Put(m_rect.left, top, m_nCurSel > 0 ? L'◂' : L' ', fg, textBg, focused);
    canvas.Put(m_rect.right - 1, top, m_nCurSel + 1 < GetCount() ? L'▸' : L' ', fg, textBg, focused);
  }
  if (m_nCurSel >= 0) canvas.Text(x, top, m_items[static_cast<size_t>(m_nCurSel)], inner, fg, textBg, focused);
  else if (focused) canvas.Put(x, top, L' ', fg, textBg, true);
}
