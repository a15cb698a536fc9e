// Controls: the up-down step and its notifications, edit fields, combo
// boxes, list boxes, radio groups and the progress bar.
#include <functional>

#include "Harness.h"

namespace fwtest {
namespace {

enum : int { kList = 10, kSpin, kEdit, kCombo, kRadio1, kRadio2, kRadio3, kComboChildTwin = CComboBox::kEditChildId };

class SpinDlg : public TestDlg {
 public:
  using TestDlg::TestDlg;
  const MessageMap& GetMessageMap() const override {
    static const MessageMap map = {
        OnNotify(kSpin, UDN_DELTAPOS, &SpinDlg::OnDeltaposSpin),
        OnControl(kList, LBN_SELCHANGE, &SpinDlg::OnSelChange),
    };
    return map;
  }
  void OnDeltaposSpin(NMHDR* header, LRESULT* result) {
    auto* step = reinterpret_cast<NMUPDOWN*>(header);
    proposed.push_back(step->iDelta);
    if (policy) *result = policy(*step);
  }
  void OnSelChange() { ++selChanges; }

  std::function<LRESULT(NMUPDOWN&)> policy;
  std::vector<int> proposed;
  int selChanges = 0;
};

struct SpinCase {
  const char* legend;
  int start;
  UINT key;
  std::function<LRESULT(SpinDlg&, NMUPDOWN&)> handler;  // may be empty
  int proposed;
  int selection;
  int selChanges;
};

class Controls : public FrameworkTest {};

TEST_F(Controls, UpDownAsksBeforeEachStepAndReportsTheListsSelectionChange) {
  const UINT id = AddTemplate({{kList, ControlKind::ListBox, {0, 0, 20, 1}, L""},
                               {kSpin, ControlKind::UpDown, {20, 0, 21, 1}, L""}});
  const SpinCase cases[] = {
      {"Right proposes -1", 1, VK_RIGHT, {}, -1, 0, 1},
      {"Left proposes +1", 1, VK_LEFT, {}, +1, 2, 1},
      {"handler widens the step", 0, VK_LEFT, [](SpinDlg&, NMUPDOWN& s) { return s.iDelta = 2, 0; }, +1, 2, 1},
      {"handler cancels", 1, VK_LEFT, [](SpinDlg&, NMUPDOWN&) { return 1; }, +1, 1, 0},
      {"handler moves by itself", 0, VK_LEFT,
       [](SpinDlg& d, NMUPDOWN&) { return d.Item<CSpinButtonCtrl>(kSpin).SetPos(2), 1; }, +1, 2, 1},
      {"no wrap below the first", 0, VK_RIGHT, {}, -1, 0, 0},
      {"no wrap past the last", 2, VK_LEFT, {}, +1, 2, 0},
  };
  for (const SpinCase& c : cases) {
    SCOPED_TRACE(c.legend);
    TestDisplay fresh;
    EventLoop::Instance().SetDisplay(&fresh);
    SpinDlg dlg(id);
    dlg.onInit = [&] {
      CListBox& list = dlg.Item<CListBox>(kList);
      for (const wchar_t* entry : {L"first", L"second", L"third"}) list.AddString(entry);
      list.SetCurSel(c.start);
      dlg.Item<CSpinButtonCtrl>(kSpin).SetBuddy(&list);
    };
    if (c.handler) dlg.policy = [&](NMUPDOWN& step) { return c.handler(dlg, step); };
    int selection = -1;
    fresh.Key(c.key).Do([&] {
      selection = dlg.Item<CListBox>(kList).GetCurSel();
      dlg.EndDialog(IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.proposed, std::vector<int>{c.proposed});
    EXPECT_EQ(selection, c.selection);
    EXPECT_EQ(dlg.selChanges, c.selChanges);
  }
}


TEST(EditTest, TypingReplacesTheSelectionWithinTheLimit) {
  CEdit edit;
  edit.Create(nullptr, kEdit, {0, 0, 10, 1}, L"hello", 0);
  edit.SetSel(1, 3);
  EXPECT_TRUE(edit.OnChar(L'X'));
  EXPECT_EQ(edit.GetWindowText(), L"hXlo");
  int start = 0, end = 0;
  edit.GetSel(start, end);
  EXPECT_EQ(start, 2);
  EXPECT_EQ(end, 2);
  edit.SetLimitText(5);
  edit.OnChar(L'1');
  edit.OnChar(L'2');
  EXPECT_EQ(edit.GetWindowText(), L"hX1lo");
  edit.SetSel(0, -1);
  edit.ReplaceSel(L"0123456789");
  EXPECT_EQ(edit.GetWindowText(), L"01234");
  EXPECT_FALSE(edit.OnChar(L'\x1b'));
}

// A field whose text was set longer than its limit, or shorter than where
// the caret stood, must stay editable.
TEST(EditTest, StaysEditableAfterTheProgramReplacesItsText) {
  CEdit edit;
  edit.Create(nullptr, kEdit, {0, 0, 10, 1}, L"", 0);
  for (wchar_t c : std::wstring(L"longer")) edit.OnChar(c);
  edit.SetWindowText(L"ab");
  EXPECT_TRUE(edit.OnKeyDown(VK_BACK, false));
  edit.OnChar(L'c');
  EXPECT_EQ(edit.GetWindowText(), L"ac");

  edit.SetLimitText(3);
  edit.SetWindowText(L"abcdef");
  edit.SetSel(6, 6);
  EXPECT_TRUE(edit.OnKeyDown(VK_BACK, false));
  EXPECT_TRUE(edit.OnKeyDown(VK_BACK, false));
  EXPECT_EQ(edit.GetWindowText(), L"abcd");
  edit.OnChar(L'x');
  EXPECT_EQ(edit.GetWindowText(), L"abcd");
}

TEST(EditTest, PasswordIsDrawnAsStars) {
  CEdit edit;
  edit.Create(nullptr, kEdit, {0, 0, 10, 1}, L"", ES_PASSWORD);
  edit.SetWindowText(L"secret");
  Canvas canvas(12, 3);
  edit.Paint(canvas, CellColor::Default(), CellColor::Default(), CellColor::Default());
  EXPECT_EQ(canvas.Row(CDialog::kBodyTop).substr(0, 6), L"******");
}

TEST(EditTest, ReadOnlyMultiLineScrollsToItsEndThenLetsTheKeyGo) {
  CEdit edit;
  edit.Create(nullptr, kEdit, {0, 0, 10, 3}, L"", ES_MULTILINE | ES_READONLY);
  edit.SetWindowText(L"1\n2\n3\n4\n5");
  EXPECT_EQ(edit.GetLineCount(), 5);
  EXPECT_FALSE(edit.OnChar(L'x'));
  EXPECT_FALSE(edit.OnKeyDown(VK_UP, false));
  EXPECT_TRUE(edit.OnKeyDown(VK_DOWN, false));
  EXPECT_TRUE(edit.OnKeyDown(VK_DOWN, false));
  EXPECT_FALSE(edit.OnKeyDown(VK_DOWN, false));
  EXPECT_EQ(edit.GetFirstVisibleLine(), 2);
  EXPECT_FALSE(edit.OnKeyDown(VK_BACK, false));  // Back, not a deletion
  EXPECT_EQ(edit.GetWindowText(), L"1\n2\n3\n4\n5");
}

TEST(EditTest, MultiLineTextBreaksAtBlanksAndCutsOnlyLongWords) {
  CEdit edit;
  edit.Create(nullptr, kEdit, {0, 0, 10, 9}, L"", ES_MULTILINE | ES_READONLY);
  edit.SetWindowText(L"Entry No: 12 of 34\r\n\r\n1004(1),1005(10) x");
  Canvas canvas(10, 12);
  edit.Paint(canvas, CellColor::Default(), CellColor::Default(), CellColor::Default());
  std::vector<std::wstring> rows;
  for (int row = 0; row < 6; ++row) rows.push_back(canvas.Row(CDialog::kBodyTop + row));
  EXPECT_EQ(rows, (std::vector<std::wstring>{L"Entry No: ", L"12 of 34  ", L"          ", L"1004(1),10", L"05(10) x  ",
                                             L"          "}));
  EXPECT_EQ(edit.GetLineCount(), 5);
}

TEST(ListBoxTest, InsertStringKeepsInsertionOrderAndTheSelectedEntry) {
  CListBox list;
  list.Create(nullptr, kList, {0, 0, 10, 1}, L"", 0);
  list.InsertString(-1, L"b");
  list.InsertString(-1, L"a");
  list.SetCurSel(1);
  list.InsertString(0, L"c");
  std::wstring text;
  list.GetText(0, text);
  EXPECT_EQ(text, L"c");
  list.GetText(2, text);
  EXPECT_EQ(text, L"a");
  EXPECT_EQ(list.GetCurSel(), 2);
}

TEST(ComboBoxTest, SortsCaseInsensitivelyAndFindsPrefixes) {
  CComboBox combo;
  combo.Create(nullptr, kCombo, {0, 0, 10, 1}, L"", CBS_SORT);
  for (const wchar_t* entry : {L"delta", L"Alpha", L"charlie", L"Bravo"}) combo.AddString(entry);
  std::vector<std::wstring> order(4);
  for (int i = 0; i < 4; ++i) combo.GetLBText(i, order[static_cast<size_t>(i)]);
  EXPECT_EQ(order, (std::vector<std::wstring>{L"Alpha", L"Bravo", L"charlie", L"delta"}));
  EXPECT_EQ(combo.FindString(-1, L"CH"), 2);
  EXPECT_EQ(combo.FindString(2, L"a"), 0);  // wraps around
  EXPECT_EQ(combo.FindString(-1, L"x"), -1);
  combo.SetCurSel(1);
  EXPECT_EQ(combo.GetEditText(), L"Bravo");
  EXPECT_EQ(combo.GetWindowText(), L"Bravo");
}

// The combo box's own field must not speak for a dialog control that
// happens to share its child's number.
TEST_F(Controls, TypingInAComboBoxReportsEditChangeOnlyForTheComboBox) {
  TestDlg dlg(AddTemplate({{kCombo, ControlKind::ComboBox, {0, 0, 20, 1}, L""},
                           {kComboChildTwin, ControlKind::Edit, {0, 1, 20, 2}, L""}}));
  int comboChanges = 0;
  int twinChanges = 0;
  dlg.OnCommandId(kCombo, CBN_EDITCHANGE, [&] { ++comboChanges; });
  dlg.OnCommandId(kComboChildTwin, EN_CHANGE, [&] { ++twinChanges; });
  display.Type(L"ab").Key(VK_BACK).Do([&] { EXPECT_EQ(dlg.GetDlgItemText(kCombo), L"a"); }).Key(VK_F2);
  EXPECT_EQ(Run(dlg), IDCANCEL);
  EXPECT_EQ(comboChanges, 3);
  EXPECT_EQ(twinChanges, 0);
}

// Without WS_GROUP the radio buttons in a run still form one group.
TEST_F(Controls, PressingARadioButtonUnchecksTheRestOfItsRun) {
  TestDlg dlg(AddTemplate({{kEdit, ControlKind::Edit, {0, 0, 20, 1}, L""},
                           {kRadio1, ControlKind::RadioButton, {0, 1, 20, 2}, L"1"},
                           {kRadio2, ControlKind::RadioButton, {0, 2, 20, 3}, L"2"},
                           {kRadio3, ControlKind::RadioButton, {0, 3, 20, 4}, L"3"}}));
  auto checks = [&] {
    return std::vector<int>{dlg.Item<CButton>(kRadio1).GetCheck(), dlg.Item<CButton>(kRadio2).GetCheck(),
                            dlg.Item<CButton>(kRadio3).GetCheck()};
  };
  display.Key(VK_TAB).Key(VK_SPACE).Key(VK_TAB).Key(VK_TAB).Key(VK_RETURN)
      .Do([&] { EXPECT_EQ(checks(), (std::vector<int>{0, 0, 1})); })
      .Key(VK_UP).Key(VK_RETURN)
      .Do([&] { EXPECT_EQ(checks(), (std::vector<int>{0, 1, 0})); })
      .Key(VK_F2);
  EXPECT_EQ(Run(dlg), IDCANCEL);
}

TEST(ProgressCtrlTest, ClampsToItsRange) {
  CProgressCtrl progress;
  progress.SetRange(0, 10);
  progress.SetPos(15);
  EXPECT_EQ(progress.GetPos(), 10);
  EXPECT_EQ(progress.SetPos(-5), 10);
  EXPECT_EQ(progress.GetPos(), 0);
}

}  // namespace
}  // namespace fwtest
