#include "framework/CommandBar.h"

#include "framework/Dialog.h"

bool CCommandBar::Create(CWnd* parent) {
  m_pDialog = dynamic_cast<CDialog*>(parent);
  m_keys.clear();
  if (m_pDialog == nullptr) return false;
  m_pDialog->SetCommandBar(this);
  return true;
}

bool CCommandBar::InsertMenuBar(UINT menuBarId) {
  const MenuBarTemplate* menuBar = Resources::FindMenuBar(menuBarId);
  if (m_pDialog == nullptr || menuBar == nullptr) return false;
  m_keys.clear();
  for (const SoftKey& key : menuBar->keys) {
    const std::wstring text = Resources::LoadString(key.stringId);
    if (text.empty()) return false;
    m_keys.push_back(Key{text, key.command});
  }
  m_pDialog->Invalidate();
  return true;
}

std::wstring CCommandBar::SoftKeyText(size_t index) const { return index < m_keys.size() ? m_keys[index].text : L""; }

int CCommandBar::SoftKeyCommand(size_t index) const { return index < m_keys.size() ? m_keys[index].command : 0; }

int CCommandBar::SoftKeyAt(int x, int y) const {
  if (y != m_nRow || m_keys.empty()) return -1;
  // Each key owns its half of the bar; a blank half is no key.
  const int index = x < m_nWidth / 2 ? 0 : 1;
  return index < static_cast<int>(m_keys.size()) ? index : -1;
}

void CCommandBar::Paint(Canvas& canvas, CellColor fg, CellColor bg) {
  m_nRow = canvas.Height() - 1;
  m_nWidth = canvas.Width();
  for (int x = 0; x < canvas.Width(); ++x) canvas.Put(x, m_nRow, L' ', fg, bg, true);
  if (!m_keys.empty()) canvas.Text(1, m_nRow, m_keys[0].text, canvas.Width() / 2 - 1, fg, bg, true);
  if (m_keys.size() > 1) {
    const std::wstring& right = m_keys[1].text;
    const int x = canvas.Width() - 1 - static_cast<int>(right.size());
    canvas.Text(std::max(x, canvas.Width() / 2), m_nRow, right, canvas.Width() / 2 - 1, fg, bg, true);
  }
}
