#include "framework/Dialog.h"

#include <algorithm>

#include "framework/CommandBar.h"
#include "framework/Controls.h"
#include "framework/DataExchange.h"
#include "framework/EventLoop.h"

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nTemplateId(templateId), m_pParentWnd(parent) {
  m_nID = static_cast<int>(templateId);
}

CDialog::~CDialog() { DestroyControls(); }

const MessageMap& CDialog::GetMessageMap() const {
  static const MessageMap empty;
  return empty;
}

int CDialog::DoModal() {
  if (!CreateControls()) return -1;
  m_bEnding = false;
  m_bRunningModal = true;
  m_nResult = 0;
  m_pCommandBar = nullptr;
  if (OnInitDialog() && m_pFocus == nullptr) {
    const auto order = FocusOrder();
    if (!order.empty()) SetFocusTo(order.front());
  }
  if (!m_bEnding) EventLoop::Instance().RunModal(*this);
  m_bRunningModal = false;
  m_pCommandBar = nullptr;
  DestroyControls();
  return m_nResult;
}

void CDialog::EndDialog(int result) {
  m_nResult = result;
  m_bEnding = true;
  Invalidate();
}

bool CDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void CDialog::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::UpdateData(bool saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return !dx.Failed();
}

bool CDialog::CreateControls() {
  const DialogTemplate* dialogTemplate = Resources::FindDialog(m_nTemplateId);
  if (dialogTemplate == nullptr) return false;
  DestroyControls();
  m_strText = dialogTemplate->title;
  // Let DDX_Control name the member objects that stand for controls.
  CDataExchange bind(this, false, CDataExchange::Mode::BindControls);
  DoDataExchange(&bind);
  for (const ControlTemplate& item : dialogTemplate->controls) {
    CWnd* control = nullptr;
    const auto bound = m_bound.find(item.id);
    if (bound != m_bound.end() && ControlMatchesKind(*bound->second, item.kind)) {
      control = bound->second;
    } else {
      m_owned.push_back(CreateControlOfKind(item.kind));
      control = m_owned.back().get();
    }
    control->Create(this, item.id, item.rect, item.text, item.style);
    m_controls.push_back(control);
  }
  return true;
}

void CDialog::DestroyControls() {
  for (CWnd* control : m_controls) control->Create(nullptr, control->GetDlgCtrlID(), {}, {}, 0);
  m_controls.clear();
  m_owned.clear();
  m_bound.clear();
  m_pFocus = nullptr;
}

CWnd* CDialog::GetDlgItem(int id) const {
  for (CWnd* control : m_controls)
    if (control->GetDlgCtrlID() == id) return control;
  return nullptr;
}

void CDialog::SetDlgItemText(int id, const std::wstring& text) {
  if (CWnd* control = GetDlgItem(id)) control->SetWindowText(text);
}

std::wstring CDialog::GetDlgItemText(int id) const {
  const CWnd* control = GetDlgItem(id);
  return control != nullptr ? control->GetWindowText() : std::wstring();
}

CWnd* CDialog::SetFocusTo(CWnd* control) {
  CWnd* previous = m_pFocus;
  if (control != nullptr && control->GetParent() != this) return previous;
  m_pFocus = control;
  if (control != nullptr && control != previous) control->OnFocusIn();
  Invalidate();
  return previous;
}

std::vector<CWnd*> CDialog::FocusOrder() const {
  std::vector<CWnd*> order;
  for (CWnd* control : m_controls)
    if (control->CanTakeFocus() && control->IsWindowEnabled() && control->IsWindowVisible()) order.push_back(control);
  return order;
}

void CDialog::NextDlgCtrl() {
  const auto order = FocusOrder();
  if (order.empty()) return;
  auto it = std::find(order.begin(), order.end(), m_pFocus);
  SetFocusTo(it == order.end() || it + 1 == order.end() ? order.front() : *(it + 1));
}

void CDialog::PrevDlgCtrl() {
  const auto order = FocusOrder();
  if (order.empty()) return;
  auto it = std::find(order.begin(), order.end(), m_pFocus);
  SetFocusTo(it == order.end() || it == order.begin() ? order.back() : *(it - 1));
}

void CDialog::SetTimer(UINT id, unsigned milliseconds) { EventLoop::Instance().SetTimer(m_hWnd, id, milliseconds); }

void CDialog::KillTimer(UINT id) { EventLoop::Instance().KillTimer(m_hWnd, id); }

const MessageEntry* CDialog::Find(MessageEntry::Kind kind, UINT message, int id) const {
  for (const MessageEntry& entry : GetMessageMap())
    if (entry.kind == kind && entry.message == message && (kind == MessageEntry::Kind::Message ||
                                                           kind == MessageEntry::Kind::Timer || entry.id == id))
      return &entry;
  return nullptr;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = static_cast<int>(wParam & 0xFFFF);
      const UINT code = static_cast<UINT>((wParam >> 16) & 0xFFFF);
      if (const MessageEntry* entry = Find(MessageEntry::Kind::Command, code, id)) return entry->call(*this, wParam, lParam);
      OnCommandUnhandled(id, code);
      return 0;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header == nullptr) return 0;
      if (const MessageEntry* entry = Find(MessageEntry::Kind::Notify, header->code, header->idFrom))
        return entry->call(*this, wParam, lParam);
      return 0;
    }
    case WM_TIMER:
      if (const MessageEntry* entry = Find(MessageEntry::Kind::Timer, WM_TIMER, 0)) return entry->call(*this, wParam, lParam);
      return 0;
    default:
      if (const MessageEntry* entry = Find(MessageEntry::Kind::Message, message, 0)) return entry->call(*this, wParam, lParam);
      return 0;
  }
}

void CDialog::OnCommandUnhandled(int id, UINT code) {
  if (code != 0) return;
  if (id == IDOK) OnOK();
  else if (id == IDCANCEL) OnCancel();
}

void CDialog::NotifyCommand(int id, UINT code) {
  SendMessage(WM_COMMAND, (static_cast<WPARAM>(code) << 16) | static_cast<WPARAM>(id & 0xFFFF), 0);
}

LRESULT CDialog::NotifyParent(NMHDR* header) {
  return SendMessage(WM_NOTIFY, static_cast<WPARAM>(header->idFrom), reinterpret_cast<LPARAM>(header));
}

void CDialog::HandleInput(const InputEvent& event) {
  switch (event.kind) {
    case InputEvent::Kind::Key:
      if (event.key == VK_ESCAPE || (event.key == VK_BACK && !(m_pFocus && m_pFocus->OnKeyDown(VK_BACK, false))))
        HandleBack();
      else if (event.key != VK_BACK)
        HandleKey(event.key, event.shift);
      break;
    case InputEvent::Kind::Char: {
      MSG msg{m_pFocus ? m_pFocus->GetSafeHwnd() : m_hWnd, WM_CHAR, static_cast<WPARAM>(event.ch), 0};
      if (!PreTranslateMessage(&msg) && m_pFocus != nullptr && msg.wParam != 0)
        m_pFocus->OnChar(static_cast<wchar_t>(msg.wParam));
      break;
    }
    case InputEvent::Kind::Click:
      HandleClick(event.x, event.y);
      break;
    case InputEvent::Kind::Resize:
      Invalidate();
      break;
    case InputEvent::Kind::Exit:
      // The system asks the program to end: act as the Exit soft key. A
      // dialog that only stopped its work on the first press is pressed again.
      // Without soft keys it is cancelled.
      if (m_pCommandBar == nullptr || m_pCommandBar->SoftKeyCommand(0) == 0) {
        OnCancel();
        break;
      }
      PressSoftKey(0);
      if (!m_bEnding) PressSoftKey(0);
      break;
  }
}

void CDialog::HandleKey(UINT key, bool shift) {
  MSG msg{m_pFocus ? m_pFocus->GetSafeHwnd() : m_hWnd, WM_KEYDOWN, key, shift ? 1 : 0};
  if (PreTranslateMessage(&msg)) return;
  key = static_cast<UINT>(msg.wParam);
  if (key == 0) return;
  if (m_pFocus != nullptr && m_pFocus->OnKeyDown(key, shift)) return;
  switch (key) {
    case VK_TAB:
      if (shift) PrevDlgCtrl();
      else NextDlgCtrl();
      break;
    case VK_DOWN:
      NextDlgCtrl();
      break;
    case VK_UP:
      PrevDlgCtrl();
      break;
    case VK_F1:
      PressSoftKey(0);
      break;
    case VK_F2:
      PressSoftKey(1);
      break;
    case VK_SPACE:
      if (m_pFocus != nullptr) m_pFocus->OnChar(L' ');
      break;
    default:
      break;
  }
}

// The Back key reaches the dialog as a hot key, so PreTranslateMessage can
// claim it; otherwise it cancels the dialog.
void CDialog::HandleBack() {
  MSG msg{m_hWnd, WM_HOTKEY, 0, static_cast<LPARAM>(VK_TBACK) << 16};
  if (PreTranslateMessage(&msg)) return;
  // As with key-downs, a handler that replaced the key has taken it.
  if (static_cast<UINT>((msg.lParam >> 16) & 0xFFFF) != VK_TBACK) return;
  OnCancel();
}

void CDialog::PressSoftKey(size_t index) {
  if (m_pCommandBar == nullptr) return;
  const int command = m_pCommandBar->SoftKeyCommand(index);
  if (command != 0) NotifyCommand(command, 0);
}

void CDialog::HandleClick(int x, int y) {
  if (m_pCommandBar != nullptr) {
    const int index = m_pCommandBar->SoftKeyAt(x, y);
    if (index >= 0) {
      PressSoftKey(static_cast<size_t>(index));
      return;
    }
  }
  const int bodyY = y - kBodyTop;
  // Later controls are painted over earlier ones (a group box and its
  // buttons): the click belongs to the one drawn on top.
  for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
    CWnd* control = *it;
    if (!control->IsWindowVisible() || !control->Rect().Contains(x, bodyY)) continue;
    if (!control->IsWindowEnabled()) return;
    if (control->CanTakeFocus()) SetFocusTo(control);
    control->OnClick(x - control->Rect().left, bodyY - control->Rect().top);
    return;
  }
}

void CDialog::PaintControl(Canvas& canvas, CWnd& control) {
  CDC dc;
  const CBrush* brush = OnCtlColor(&dc, &control, control.ColorKind());
  const CellColor bg = brush && brush->Color() ? CellColor::Of(*brush->Color()) : CellColor::Default();
  const CellColor fg = dc.TextColor() ? CellColor::Of(*dc.TextColor()) : CellColor::Default();
  const CellColor textBg = dc.BkMode() == TRANSPARENT || !dc.BkColor() ? bg : CellColor::Of(*dc.BkColor());
  control.Paint(canvas, fg, bg, textBg);
}

void CDialog::PaintScreen(Canvas& canvas, ScreenInfo& info) {
  CDC dc;
  const CBrush* brush = OnCtlColor(&dc, this, CTLCOLOR_DLG);
  const CellColor bg = brush && brush->Color() ? CellColor::Of(*brush->Color()) : CellColor::Default();
  const CellColor fg = dc.TextColor() ? CellColor::Of(*dc.TextColor()) : CellColor::Default();
  canvas.Fill({0, 0, canvas.Width(), canvas.Height()}, L' ', fg, bg);
  // Title row.
  for (int x = 0; x < canvas.Width(); ++x) canvas.Put(x, 0, L' ', fg, bg, true);
  canvas.Text(1, 0, m_strText, canvas.Width() - 2, fg, bg, true);
  for (CWnd* control : m_controls)
    if (control->IsWindowVisible()) PaintControl(canvas, *control);
  if (m_pCommandBar != nullptr) m_pCommandBar->Paint(canvas, fg, bg);
  FillScreenInfo(info);
}

void CDialog::FillScreenInfo(ScreenInfo& info) const {
  info.title = m_strText;
  if (m_pCommandBar != nullptr) {
    info.leftSoftKey = m_pCommandBar->SoftKeyText(0);
    info.rightSoftKey = m_pCommandBar->SoftKeyText(1);
  }
  if (StatusControlId() != 0) info.statusLine = GetDlgItemText(StatusControlId());
}

void CDialog::CheckRadioButton(int firstId, int lastId, int checkId) {
  for (CWnd* control : m_controls) {
    const int id = control->GetDlgCtrlID();
    if (id < firstId || id > lastId) continue;
    if (auto* button = dynamic_cast<CButton*>(control)) button->SetCheck(id == checkId ? 1 : 0);
  }
}
