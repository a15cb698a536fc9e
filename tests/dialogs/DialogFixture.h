#pragma once
// Runs one settings dialog on the in-memory display with scripted keys.
#include <gtest/gtest.h>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/EventLoop.h"
#include "framework/MemoryDisplay.h"
#include "res/ResourceIds.h"
#include "res/SettingsResourceIds.h"

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

  MemoryDisplay display;
};
