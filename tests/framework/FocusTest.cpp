// Keys and focus: Tab and the arrows walk the focusable controls,
// PreTranslateMessage sees keys first, Back cancels, Backspace edits.
#include "Harness.h"

namespace fwtest {
namespace {

class Focus : public FrameworkTest {};

enum : int { kEditA = 10, kLabel, kDisabled, kList, kHidden, kCombo, kEditB, kGroup, kRadio1, kRadio2 };

std::vector<ControlTemplate> FocusTemplate() {
  return {{kEditA, ControlKind::Edit, {0, 0, 20, 1}, L""},
          {kLabel, ControlKind::Static, {0, 1, 20, 2}, L"Label"},
          {kDisabled, ControlKind::PushButton, {0, 2, 20, 3}, L"Off", WS_DISABLED},
          {kList, ControlKind::ListBox, {0, 3, 20, 4}, L""},
          {kHidden, ControlKind::PushButton, {0, 4, 20, 5}, L"Hidden"},
          {kCombo, ControlKind::ComboBox, {0, 5, 20, 6}, L""},
          {kEditB, ControlKind::Edit, {0, 6, 20, 7}, L""}};
}

TEST_F(Focus, TabAndArrowsVisitEnabledVisibleControlsInTemplateOrderAndWrap) {
  TestDlg dlg(AddTemplate(FocusTemplate()));
  dlg.onInit = [&] { dlg.GetDlgItem(kHidden)->ShowWindow(false); };
  struct Move {
    UINT key;
    bool shift;
    int focus;
  };
  const Move moves[] = {{VK_TAB, false, kList},  {VK_TAB, false, kCombo}, {VK_TAB, false, kEditB},
                        {VK_TAB, false, kEditA}, {VK_TAB, true, kEditB},  {VK_UP, false, kCombo},
                        {VK_DOWN, false, kEditB}, {VK_DOWN, false, kEditA}, {VK_UP, false, kEditB}};
  std::vector<int> seen;
  for (const Move& m : moves) display.Key(m.key, m.shift).Do([&] { seen.push_back(dlg.GetFocus()->GetDlgCtrlID()); });
  display.Key(VK_F2);
  EXPECT_EQ(Run(dlg), IDCANCEL);
  std::vector<int> expected;
  for (const Move& m : moves) expected.push_back(m.focus);
  EXPECT_EQ(seen, expected);
}

// Disabling or hiding the focused control must not leave it taking keys:
// typing would change a field the program has locked.
TEST_F(Focus, LeavesAControlThatIsDisabledOrHidden) {
  TestDlg dlg(AddTemplate(FocusTemplate()));
  display.Do([&] { dlg.GetDlgItem(kEditA)->EnableWindow(false); })
      .Type(L"x")
      .Do([&] {
        EXPECT_EQ(dlg.GetDlgItemText(kEditA), L"");
        ASSERT_NE(dlg.GetFocus(), nullptr);
        EXPECT_EQ(dlg.GetFocus()->GetDlgCtrlID(), kList);
        dlg.GetDlgItem(kList)->ShowWindow(false);
        ASSERT_NE(dlg.GetFocus(), nullptr);
        EXPECT_EQ(dlg.GetFocus()->GetDlgCtrlID(), kHidden);
      })
      .Key(VK_F2);
  EXPECT_EQ(Run(dlg), IDCANCEL);
}

TEST_F(Focus, PreTranslateMessageSeesKeysAndBackFirstAndMayConsumeOrChangeThem) {
  TestDlg dlg(AddTemplate(FocusTemplate()));
  std::vector<MSG> seen;
  HWND editA = 0;
  dlg.onInit = [&] { editA = dlg.GetDlgItem(kEditA)->GetSafeHwnd(); };
  bool swallowBack = true;
  dlg.preTranslate = [&](MSG* msg) {
    seen.push_back(*msg);
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB) return true;  // consumed
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_DOWN) msg->wParam = 0;  // stopped
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_UP) msg->wParam = VK_DOWN;  // changed
    if (msg->message == WM_HOTKEY && swallowBack) msg->lParam = 0;  // stopped
    return false;
  };
  display.Key(VK_TAB).Key(VK_DOWN).Do([&] { EXPECT_EQ(dlg.GetFocus()->GetDlgCtrlID(), kEditA); })
      .Key(VK_UP).Do([&] { EXPECT_EQ(dlg.GetFocus()->GetDlgCtrlID(), kList); })
      .Key(VK_ESCAPE).Do([&] {
        EXPECT_FALSE(dlg.IsEnding());
        swallowBack = false;
      })
      .Key(VK_ESCAPE);
  EXPECT_EQ(Run(dlg), IDCANCEL);
  ASSERT_EQ(seen.size(), 5u);
  EXPECT_EQ(seen[0].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(seen[0].hwnd, editA);
  EXPECT_EQ(seen[3].message, static_cast<UINT>(WM_HOTKEY));
  EXPECT_EQ(static_cast<UINT>(seen[4].lParam >> 16), VK_TBACK);
}

TEST_F(Focus, BackspaceDeletesInAFieldWithTextAndGoesBackFromAnEmptyOne) {
  TestDlg dlg(AddTemplate(FocusTemplate()));
  display.Type(L"ab").Key(VK_BACK).Key(VK_BACK).Do([&] {
    EXPECT_EQ(dlg.GetDlgItemText(kEditA), L"");
    EXPECT_FALSE(dlg.IsEnding());
  });
  display.Key(VK_BACK);
  EXPECT_EQ(Run(dlg), IDCANCEL);
}

// Entering a filled field selects its text: typing replaces the old value,
// Left and Right only drop the selection, and every entry selects again.
TEST_F(Focus, EnteringAFieldSelectsItsTextAndTheArrowsDropTheSelection) {
  struct Step {
    UINT key;  // 0: type `text`
    bool shift;
    const wchar_t* text;
  };
  struct Case {
    const char* legend;
    std::vector<Step> steps;
    int field;
    std::wstring expected;
  };
  const Case cases[] = {
      {"the first field, focused on opening", {{0, false, L"x"}}, kEditA, L"x"},
      {"Shift+Tab into the last field", {{VK_TAB, true, nullptr}, {0, false, L"new"}}, kEditB, L"new"},
      {"Left goes to the start", {{VK_LEFT, false, nullptr}, {0, false, L"x"}}, kEditA, L"xold"},
      {"Right goes to the end", {{VK_RIGHT, false, nullptr}, {0, false, L"x"}}, kEditA, L"oldx"},
      {"a second Left moves the caret", {{VK_RIGHT, false, nullptr}, {VK_LEFT, false, nullptr}, {0, false, L"x"}},
       kEditA, L"olxd"},
      {"the combo box's field", {{VK_TAB, true, nullptr}, {VK_TAB, true, nullptr}, {0, false, L"h:1"}}, kCombo,
       L"h:1"},
      {"leaving and coming back selects again", {{0, false, L"ab"}, {VK_TAB, false, nullptr},
                                                 {VK_TAB, true, nullptr}, {0, false, L"z"}}, kEditA, L"z"},
  };
  for (const Case& c : cases) {
    TestDlg dlg(AddTemplate(FocusTemplate()));
    dlg.onInit = [&] {
      for (int id : {kEditA, kCombo, kEditB}) dlg.SetDlgItemText(id, L"old");
    };
    for (const Step& step : c.steps) {
      if (step.key == 0) display.Type(step.text);
      else display.Key(step.key, step.shift);
    }
    std::wstring text;
    display.Do([&] { text = dlg.GetDlgItemText(c.field); }).Key(VK_F2);
    EXPECT_EQ(Run(dlg), IDCANCEL) << c.legend;
    EXPECT_EQ(text, c.expected) << c.legend;
  }
}

// A group box is drawn first and frames its radio buttons: a click inside
// it must reach the button under the pointer.
TEST_F(Focus, ClickReachesTheRadioButtonInsideAGroupBox) {
  TestDlg dlg(AddTemplate({{kGroup, ControlKind::GroupBox, {0, 0, 30, 4}, L"Parity"},
                           {kRadio1, ControlKind::RadioButton, {1, 1, 21, 2}, L"None", WS_GROUP},
                           {kRadio2, ControlKind::RadioButton, {1, 2, 21, 3}, L"Even"}}));
  int clicks = 0;
  dlg.OnCommandId(kRadio2, BN_CLICKED, [&] { ++clicks; });
  display.Click(3, 2 + CDialog::kBodyTop).Do([&] {
    EXPECT_EQ(dlg.Item<CButton>(kRadio2).GetCheck(), 1);
    EXPECT_EQ(dlg.GetFocus(), dlg.GetDlgItem(kRadio2));
  });
  display.Click(35, 15);  // the right soft key: Cancel
  EXPECT_EQ(Run(dlg), IDCANCEL);
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace fwtest
