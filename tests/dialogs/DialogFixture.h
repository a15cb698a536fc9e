#pragma once
// Runs one dialog on the in-memory display with scripted keys, in a fresh
// directory for the files it reads.
#include <gtest/gtest.h>

#include <string>

#include "framework/Controls.h"
#include "platform/Text.h"
#include "res/ResourceIds.h"
#include "res/SettingsResourceIds.h"
#include "support/DisplayTest.h"
#include "support/TempDir.h"

class DialogTest : public testing_support::DisplayTest {
 protected:
  void SetUp() override {
    RegisterFieldcastResources();
    DisplayTest::SetUp();
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

  testing_support::TempDir dir;
};

// The caster dialogs' message boxes are counted, not answered.
class CasterDlgTest : public DialogTest {
 protected:
  CasterDlgTest() { display.interactive = false; }
};
