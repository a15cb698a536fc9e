#include "framework/Wnd.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <unordered_map>

#include "framework/Dialog.h"
#include "framework/EventLoop.h"
#include "framework/Resources.h"

namespace {

// Handles are never reused, so a message posted to a window that has gone
// can never reach a newer window at the same address.
std::atomic<HWND> g_nextHandle{1};
std::mutex g_registryMutex;
std::unordered_map<HWND, CWnd*>& Registry() {
  static std::unordered_map<HWND, CWnd*> registry;
  return registry;
}

// A control that can no longer take input hands the focus on to the next
// one that can, as Tab would; keys must not reach a field the program locked.
void PassFocusOn(CWnd& from) {
  CDialog* dialog = from.GetParent();
  if (dialog == nullptr || dialog->GetFocus() != &from) return;
  const auto& controls = dialog->Controls();
  const auto at = std::find(controls.begin(), controls.end(), &from);
  const size_t count = controls.size();
  const size_t index = at == controls.end() ? 0 : static_cast<size_t>(at - controls.begin());
  for (size_t step = 1; step < count; ++step) {
    CWnd* next = controls[(index + step) % count];
    if (next->CanTakeFocus() && next->IsWindowEnabled() && next->IsWindowVisible()) {
      dialog->SetFocusTo(next);
      return;
    }
  }
  dialog->SetFocusTo(nullptr);
}

}  // namespace

CWnd::CWnd() : m_hWnd(g_nextHandle++) {
  std::lock_guard lock(g_registryMutex);
  Registry()[m_hWnd] = this;
}

CWnd::~CWnd() {
  std::lock_guard lock(g_registryMutex);
  Registry().erase(m_hWnd);
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  std::lock_guard lock(g_registryMutex);
  const auto it = Registry().find(hwnd);
  return it == Registry().end() ? nullptr : it->second;
}

void CWnd::Create(CDialog* parent, int id, const CRect& rect, const std::wstring& text, unsigned style) {
  m_pParent = parent;
  m_nID = id;
  m_rect = rect;
  m_strText = text;
  m_style = style;
  m_bEnabled = (style & WS_DISABLED) == 0;
  m_bVisible = true;
  OnCreated();
}

int CWnd::CanvasTop() const { return m_rect.top + CDialog::kBodyTop; }

void CWnd::SetWindowText(const std::wstring& text) {
  if (text == m_strText) return;
  m_strText = text;
  Invalidate();
}

bool CWnd::EnableWindow(bool enable) {
  const bool wasDisabled = !m_bEnabled;
  if (m_bEnabled != enable) {
    m_bEnabled = enable;
    Invalidate();
  }
  if (!enable) PassFocusOn(*this);
  return wasDisabled;
}

void CWnd::ShowWindow(bool show) {
  if (m_bVisible == show) return;
  m_bVisible = show;
  Invalidate();
  if (!show) PassFocusOn(*this);
}

CWnd* CWnd::SetFocus() {
  if (m_pParent == nullptr) return nullptr;
  return m_pParent->SetFocusTo(this);
}

bool CWnd::HasFocus() const { return m_pParent != nullptr && m_pParent->GetFocus() == this; }

bool CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::PostMessage(m_hWnd, message, wParam, lParam);
}

void CWnd::Invalidate() const { EventLoop::Instance().Invalidate(); }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  (void)message;
  (void)wParam;
  (void)lParam;
  return 0;
}
