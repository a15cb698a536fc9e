#pragma once
// Runs one dialog on the in-memory display with scripted keys, in a fresh
// directory for the files it reads.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/EventLoop.h"
#include "framework/MemoryDisplay.h"
#include "platform/Text.h"
#include "res/ResourceIds.h"
#include "res/SettingsResourceIds.h"
#include "support/TempDir.h"

// Without a person in front of it, a message box goes to Messages() and
// answers at once, so a test can count them.
class DialogTestDisplay : public MemoryDisplay {
 public:
  bool Interactive() const override { return interactive; }
  bool interactive = true;
};

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterFieldcastResources();
    EventLoop::Instance().Reset();
    EventLoop::Instance().SetDisplay(&display);
  }
  void TearDown() override {
    EXPECT_EQ(display.TimedOutWaits(), 0) << "a scripted wait never came true";
    EventLoop::Instance().SetDisplay(nullptr);
    EventLoop::Instance().Reset();
  }
  // The dialog the scripted keys reach now (a nested one while it runs).
  static CDialog& Top() { return *EventLoop::Instance().TopDialog(); }
  static std::wstring SelectedText(CDialog& dlg, int listId) {
    auto* list = dynamic_cast<CListBox*>(dlg.GetDlgItem(listId));
    std::wstring text;
    if (list != nullptr) list->GetText(list->GetCurSel(), text);
    return text;
  }
  // The canvas cell under a control's first character.
  const Cell& CellOf(CDialog& dlg, int id, int dx = 0) const {
    const CWnd* control = dlg.GetDlgItem(id);
    return display.Screen().At(control->Rect().left + dx, control->CanvasTop());
  }
  std::wstring ListPath(const std::string& name, const std::string& content) {
    dir.Write(name, content);
    return platform::WidenLocal(dir.File(name));
  }
  // Runs the dialog; a script that leaves it open fails the test.
  int Run(CDialog& dialog) {
    auto done = std::make_shared<bool>(false);
    display.Do([&dialog, done] {
      if (*done || !dialog.IsRunning() || dialog.IsEnding()) return;
      ADD_FAILURE() << "the script left the dialog open";
      dialog.EndDialog(-2);
    });
    const int result = dialog.DoModal();
    *done = true;
    return result;
  }

  testing_support::TempDir dir;
  DialogTestDisplay display;
};

// The caster dialogs' message boxes are counted, not answered.
class CasterDlgTest : public DialogTest {
 protected:
  CasterDlgTest() { display.interactive = false; }
};
