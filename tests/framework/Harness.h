#pragma once
// The framework tests' harness: a dialog whose handlers, data exchange and
// colours each test fills in, templates whose ids never clash between tests,
// and a fixture that gives every test a fresh scripted display.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/CommandBar.h"
#include "framework/Controls.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/EventLoop.h"
#include "framework/MemoryDisplay.h"
#include "framework/Notifications.h"
#include "support/DisplayTest.h"

namespace fwtest {

// Registers a dialog template under a number no other test uses.
UINT AddTemplate(std::vector<ControlTemplate> controls);
// A menu bar whose left soft key (F1) is OK and right one (F2) Cancel.
UINT OkCancelMenu();

// True once `condition` holds or a generous deadline has passed, so a
// scripted wait never hangs a test; the test's own checks then fail.
std::function<bool()> Within(std::function<bool()> condition);

class TestDlg : public CDialog {
 public:
  explicit TestDlg(UINT templateId) : CDialog(templateId) {}

  void OnCommandId(int id, UINT code, std::function<void()> handler);
  void OnPosted(UINT message, std::function<void(WPARAM, LPARAM)> handler);
  void OnTimerTick(std::function<void(UINT)> handler);
  template <class T>
  T& Item(int id) {
    T* control = dynamic_cast<T*>(GetDlgItem(id));
    EXPECT_NE(control, nullptr) << "no control " << id;
    return *control;
  }

  std::function<void()> onInit;
  std::function<void(CDataExchange*)> exchange;
  std::function<bool(MSG*)> preTranslate;
  std::function<HBRUSH(CDC*, CWnd*, UINT)> ctlColor;
  bool softKeys = true;

  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override {
    if (exchange) exchange(pDX);
  }
  bool PreTranslateMessage(MSG* pMsg) override { return preTranslate && preTranslate(pMsg); }
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT kind) override {
    return ctlColor ? ctlColor(pDC, pWnd, kind) : nullptr;
  }
  const MessageMap& GetMessageMap() const override { return m_map; }

 private:
  MessageMap m_map;
  CCommandBar m_bar;
};

using TestDisplay = testing_support::ScriptedDisplay;

class FrameworkTest : public testing_support::DisplayTest {
 protected:
  std::wstring Screen() const { return display.ScreenText(); }
};

}  // namespace fwtest
