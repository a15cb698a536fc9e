// Data exchange: members to controls and back, the classic validation
// messages, and what a failed exchange leaves behind.
#include "Harness.h"

namespace fwtest {
namespace {

enum : int { kInt = 10, kUnsigned, kRanged, kText, kList, kCombo, kRadioA, kRadioB, kRadioC, kAfter };

std::vector<ControlTemplate> ExchangeTemplate() {
  return {{kInt, ControlKind::Edit, {0, 0, 20, 1}, L""},
          {kUnsigned, ControlKind::Edit, {0, 1, 20, 2}, L""},
          {kRanged, ControlKind::Edit, {0, 2, 20, 3}, L""},
          {kText, ControlKind::Edit, {0, 3, 20, 4}, L""},
          {kList, ControlKind::ListBox, {0, 4, 20, 5}, L""},
          {kCombo, ControlKind::ComboBox, {0, 5, 20, 6}, L""},
          {kRadioA, ControlKind::RadioButton, {0, 6, 20, 7}, L"A", WS_GROUP},
          {kRadioB, ControlKind::RadioButton, {0, 7, 20, 8}, L"B"},
          {kRadioC, ControlKind::RadioButton, {0, 8, 20, 9}, L"C"},
          {kAfter, ControlKind::Edit, {0, 9, 20, 10}, L""}};
}

struct Members {
  int number = 0;
  unsigned count = 0;
  int ranged = 0;
  std::wstring text;
  std::wstring listText;
  std::wstring comboText;
  int radio = -1;
  std::wstring after;
};

class DataExchange : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    dlg.exchange = [this](CDataExchange* pDX) {
      DDX_Text(pDX, kInt, m.number);
      DDX_Text(pDX, kUnsigned, m.count);
      DDX_Text(pDX, kRanged, m.ranged);
      DDV_MinMaxInt(pDX, m.ranged, 1, 10);
      DDX_Text(pDX, kText, m.text);
      DDV_MaxChars(pDX, m.text, 5);
      DDX_LBString(pDX, kList, m.listText);
      DDX_CBString(pDX, kCombo, m.comboText);
      DDX_Radio(pDX, kRadioA, m.radio);
      DDX_Text(pDX, kAfter, m.after);
    };
    dlg.onInit = [this] {
      for (const wchar_t* entry : {L"Alpha", L"beta", L"Gamma"}) {
        dlg.Item<CListBox>(kList).AddString(entry);
        dlg.Item<CComboBox>(kCombo).AddString(entry);
      }
    };
  }

  Members m;
  TestDlg dlg{AddTemplate(ExchangeTemplate())};
};

TEST_F(DataExchange, LoadsMembersIntoControlsAndSavesThemBack) {
  display.Do([&] {
    m = {-42, 4294967295u, 7, L"abc", L"BE", L"gam", 2, L"z"};
    dlg.Item<CListBox>(kList).SetCurSel(2);
    dlg.UpdateData(false);
    EXPECT_EQ(dlg.GetDlgItemText(kInt), L"-42");
    EXPECT_EQ(dlg.GetDlgItemText(kUnsigned), L"4294967295");
    EXPECT_EQ(dlg.Item<CListBox>(kList).GetCurSel(), 1);  // first entry starting with "be", any case
    EXPECT_EQ(dlg.Item<CComboBox>(kCombo).GetCurSel(), 2);
    EXPECT_EQ(dlg.Item<CComboBox>(kCombo).GetEditText(), L"Gamma");
    EXPECT_EQ(dlg.Item<CButton>(kRadioC).GetCheck(), 1);

    m.listText = L"zeta";  // no entry: the selection stays
    m.comboText = L"Delta";  // no entry: the field takes the text
    m.radio = -1;
    dlg.UpdateData(false);
    EXPECT_EQ(dlg.Item<CListBox>(kList).GetCurSel(), 1);
    EXPECT_EQ(dlg.Item<CComboBox>(kCombo).GetCurSel(), -1);
    EXPECT_EQ(dlg.Item<CComboBox>(kCombo).GetEditText(), L"Delta");
    EXPECT_EQ(dlg.Item<CButton>(kRadioC).GetCheck(), 0);

    dlg.SetDlgItemText(kInt, L" 17 ");
    dlg.Item<CButton>(kRadioA).SetCheck(1);
    m = {};
    EXPECT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(m.number, 17);
    EXPECT_EQ(m.count, 4294967295u);
    EXPECT_EQ(m.ranged, 7);
    EXPECT_EQ(m.text, L"abc");
    EXPECT_EQ(m.listText, L"beta");
    EXPECT_EQ(m.comboText, L"Delta");
    EXPECT_EQ(m.radio, 0);
    EXPECT_EQ(m.after, L"z");
  });
  display.Key(VK_F2);
  EXPECT_EQ(Run(dlg), IDCANCEL);
}

struct BadInput {
  const char* legend;
  int id;
  const wchar_t* text;
  const wchar_t* message;
};

TEST_F(DataExchange, RejectsBadInputWithTheClassicMessageAndStopsThere) {
  const BadInput cases[] = {
      {"not a number", kInt, L"abc", L"Please enter an integer."},
      {"beyond int", kInt, L"2147483648", L"Please enter an integer."},
      {"trailing junk", kInt, L"12x", L"Please enter an integer."},
      {"negative into unsigned", kUnsigned, L"-1", L"Please enter a positive integer."},
      {"beyond unsigned", kUnsigned, L"4294967296", L"Please enter a positive integer."},
      {"out of range", kRanged, L"11", L"Please enter an integer between 1 and 10."},
      {"too long", kText, L"abcdef", L"Please enter no more than 5 characters."},
  };
  display.interactive = false;
  display.Do([&] {
    for (const BadInput& c : cases) {
      SCOPED_TRACE(c.legend);
      m = {1, 2, 3, L"ok", L"", L"", -1, L"after"};
      dlg.UpdateData(false);
      dlg.SetDlgItemText(c.id, c.text);
      dlg.SetDlgItemText(kAfter, L"changed");
      m.after = L"unchanged";
      const size_t messages = display.Messages().size();
      EXPECT_FALSE(dlg.UpdateData(true));
      ASSERT_EQ(display.Messages().size(), messages + 1);
      EXPECT_EQ(display.Messages().back(), c.message);
      EXPECT_EQ(dlg.GetFocus(), dlg.GetDlgItem(c.id));
      EXPECT_EQ(m.after, L"unchanged");
    }
  });
  display.Key(VK_F2);
  EXPECT_EQ(Run(dlg), IDCANCEL);
}

// With a person at the screen: OK shows the message box, and after it the
// bad field has the focus with its text selected, so typing replaces it.
TEST_F(DataExchange, FailedOkShowsTheMessageAndSelectsTheFieldForRetyping) {
  m.ranged = 5;
  bool boxShown = false;
  display.Type(L"abc")
      .Key(VK_F1)
      .Do([&] { boxShown = Screen().find(L"Please enter an integer.") != std::wstring::npos; })
      .Key(VK_F1)  // closes the message box
      .Type(L"7")
      .Key(VK_F1);
  EXPECT_EQ(Run(dlg), IDOK);
  EXPECT_TRUE(boxShown);
  EXPECT_EQ(m.number, 7);
}

// DDX_Control makes the program's member object the live control.
class BoundDlg : public TestDlg {
 public:
  using TestDlg::TestDlg;
  void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, kList, m_list); }
  CListBox m_list;
};

TEST_F(DataExchange, DdxControlMakesTheMemberTheLiveControl) {
  BoundDlg bound(AddTemplate(ExchangeTemplate()));
  display.Do([&] {
    EXPECT_EQ(bound.GetDlgItem(kList), &bound.m_list);
    bound.m_list.AddString(L"one");
    bound.m_list.AddString(L"two");
    bound.m_list.SetCurSel(0);
  });
  display.Key(VK_TAB).Key(VK_TAB).Key(VK_TAB).Key(VK_TAB).Key(VK_RIGHT).Do([&] {
    EXPECT_EQ(bound.GetFocus(), &bound.m_list);
    EXPECT_EQ(bound.m_list.GetCurSel(), 1);
  });
  display.Key(VK_F2);
  EXPECT_EQ(Run(bound), IDCANCEL);
  EXPECT_EQ(bound.m_list.GetParent(), nullptr);  // the run is over
}

}  // namespace
}  // namespace fwtest
