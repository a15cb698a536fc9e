#include "Harness.h"

#include <atomic>
#include <chrono>

namespace fwtest {

namespace {
// Well away from the message box's own resources (0xF100...).
std::atomic<UINT> g_nextTemplateId{0x4000};
}  // namespace

UINT AddTemplate(std::vector<ControlTemplate> controls) {
  DialogTemplate dialog;
  dialog.id = g_nextTemplateId++;
  dialog.title = L"Test";
  dialog.controls = std::move(controls);
  Resources::AddDialog(dialog);
  return dialog.id;
}

UINT OkCancelMenu() {
  constexpr UINT kMenu = 0x3F00;
  static const bool registered = [] {
    Resources::AddString(kMenu + 1, L"OK");
    Resources::AddString(kMenu + 2, L"Cancel");
    Resources::AddMenuBar({kMenu, {{kMenu + 1, IDOK}, {kMenu + 2, IDCANCEL}}});
    return true;
  }();
  (void)registered;
  return kMenu;
}

std::function<bool()> Within(std::function<bool()> condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  return [condition = std::move(condition), deadline] {
    return condition() || std::chrono::steady_clock::now() >= deadline;
  };
}

void TestDlg::OnCommandId(int id, UINT code, std::function<void()> handler) {
  m_map.push_back({MessageEntry::Kind::Command, code, id, [handler](CWnd&, WPARAM, LPARAM) -> LRESULT {
                     handler();
                     return 0;
                   }});
}

void TestDlg::OnPosted(UINT message, std::function<void(WPARAM, LPARAM)> handler) {
  m_map.push_back({MessageEntry::Kind::Message, message, 0, [handler](CWnd&, WPARAM w, LPARAM l) -> LRESULT {
                     handler(w, l);
                     return 0;
                   }});
}

void TestDlg::OnTimerTick(std::function<void(UINT)> handler) {
  m_map.push_back({MessageEntry::Kind::Timer, WM_TIMER, 0, [handler](CWnd&, WPARAM w, LPARAM) -> LRESULT {
                     handler(static_cast<UINT>(w));
                     return 0;
                   }});
}

bool TestDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (softKeys) {
    EXPECT_TRUE(m_bar.Create(this));
    EXPECT_TRUE(m_bar.InsertMenuBar(OkCancelMenu()));
  }
  if (onInit) onInit();
  return true;
}

}  // namespace fwtest
