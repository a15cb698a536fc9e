// The generic caster dialog: its list of the table's casters, the checks on
// OK, Cancel, and the keys of its fields.
#include <string>
#include <vector>

#include "DialogFixture.h"
#include "dialogs/Broadcaster_NormalDlg.h"

namespace {

constexpr char kTail[] = ";id;op;0;DEU;50.0;8.0;none;0;misc\r\n";

std::string Table() {
  return std::string("Server: test\r\n\r\nCAS;a.example;2101") + kTail + "CAS;b.example;80" + kTail +
         "CAS;a.example;2101" + kTail + "CAS;b.example;8080" + kTail + "ENDSOURCETABLE\r\n";
}

class GenericCasterDlgTest : public CasterDlgTest {
 protected:
  void Configure(const std::wstring& caster, const std::wstring& credentials = L"u0:p0",
                 const std::string& table = Table()) {
    dlg.m_strListFile = ListPath("sourcetable.dat", table);
    dlg.m_strHostPortStored = caster;
    dlg.m_strUserPassword = credentials;
    dlg.m_nAttemptsStored = 10;
    dlg.m_nTimeStored = 5;
    dlg.RestoreFromStored();
  }
  std::vector<std::wstring> Entries() {
    std::vector<std::wstring> texts;
    for (int i = 0; i < dlg.m_cbHostPort.GetCount(); ++i) {
      std::wstring text;
      dlg.m_cbHostPort.GetLBText(i, text);
      texts.push_back(text);
    }
    return texts;
  }
  std::wstring Field(int id) { return dlg.GetDlgItemText(id); }

  CBroadcaster_NormalDlg dlg;
};

struct OpeningCase {
  const char* legend;
  std::string table;
  std::wstring stored;
  std::vector<std::wstring> entries;
  int selected;
};

TEST_F(GenericCasterDlgTest, OpeningListsTheTableCastersAndShowsTheConfiguredOne) {
  const OpeningCase cases[] = {
      {"in the table: offered once more in sorted place, the first equal entry shown", Table(),
       L"a.example:2101",
       {L"a.example:2101", L"a.example:2101", L"b.example:80", L"a.example:2101", L"b.example:8080"},
       0},
      {"a path behind the port still finds its host and port", Table(), L"b.example:80/MP1",
       {L"a.example:2101", L"b.example:80", L"a.example:2101", L"b.example:80/MP1", L"b.example:8080"}, 1},
      {"not in the table: appended and shown", Table(), L"c.example:2101",
       {L"a.example:2101", L"b.example:80", L"a.example:2101", L"b.example:8080", L"c.example:2101",
        L"c.example:2101"},
       4},
      {"no table: only the configured caster", "", L"c.example:2101", {L"c.example:2101"}, 0},
      {"a record stops short: the entries before it, and the configured caster shown",
       std::string("CAS;a.example;2101") + kTail + "CAS;broken\r\nENDSOURCETABLE\r\n", L"c.example:2101",
       {L"a.example:2101", L"c.example:2101"}, 1},
  };
  for (const OpeningCase& c : cases) {
    Configure(c.stored, L"u0:p0", c.table);
    std::vector<std::wstring> entries;
    int selected = -2;
    std::wstring shown;
    display.Do([&] {
      entries = Entries();
      selected = dlg.m_cbHostPort.GetCurSel();
      shown = dlg.m_cbHostPort.GetEditText();
    });
    display.Key(VK_F2);
    EXPECT_EQ(Run(dlg), IDCANCEL) << c.legend;
    EXPECT_EQ(entries, c.entries) << c.legend;
    EXPECT_EQ(selected, c.selected) << c.legend;
    EXPECT_EQ(shown, c.entries[static_cast<size_t>(c.selected)]) << c.legend;
  }
}

TEST_F(GenericCasterDlgTest, ListModeStepsPastDuplicatesAndOkStoresTheChoice) {
  Configure(L"a.example:2101");
  // Enter: list mode; three steps down from the first entry, past the
  // second a.example and b.example:80 to the third a.example.
  display.Key(VK_RETURN).Key(VK_DOWN).Key(VK_DOWN).Key(VK_DOWN);
  int selected = -1;
  display.Do([&] { selected = dlg.m_cbHostPort.GetCurSel(); }).Key(VK_F1);
  EXPECT_EQ(Run(dlg), IDOK);
  EXPECT_EQ(selected, 3);
  EXPECT_EQ(dlg.m_strHostPortStored, L"a.example:2101");
  EXPECT_EQ(dlg.m_bCasterChanged, 1);

  Configure(L"a.example:2101");
  display.Key(VK_RETURN);
  for (int i = 0; i < 4; ++i) display.Key(VK_DOWN);
  display.Key(VK_F1);
  EXPECT_EQ(Run(dlg), IDOK);
  EXPECT_EQ(dlg.m_strHostPortStored, L"b.example:8080");
}

TEST_F(GenericCasterDlgTest, CancelKeepsEveryStoredValueAndReportsNoChange) {
  Configure(L"a.example:2101");
  display.Key(VK_RETURN).Key(VK_DOWN).Key(VK_DOWN).Key(VK_RETURN);  // b.example:80, back to text mode
  display.Key(VK_DOWN).Type(L"x").Key(VK_DOWN).Type(L"y").Key(VK_DOWN).Type(L"7").Key(VK_DOWN).Type(L"9");
  display.Key(VK_F2);
  EXPECT_EQ(Run(dlg), IDCANCEL);
  EXPECT_EQ(dlg.m_strHostPortStored, L"a.example:2101");
  EXPECT_EQ(dlg.m_bCasterChanged, 0);
  EXPECT_EQ(dlg.m_strUserPassword, L"u0:p0");
  EXPECT_EQ(dlg.m_nAttemptsStored, 10);
  EXPECT_EQ(dlg.m_nTimeStored, 5);
  EXPECT_EQ(dlg.m_strHostPort, L"a.example:2101");
  EXPECT_EQ(dlg.m_strUser, L"u0");
  EXPECT_EQ(dlg.m_strPassword, L"p0");
  EXPECT_EQ(dlg.m_nAttempts, 10);
  EXPECT_EQ(dlg.m_nTime, 5u);
}

TEST_F(GenericCasterDlgTest, OkJoinsUserAndPasswordAndTakesTheTypedCaster) {
  struct Case {
    std::wstring user, password, credentials;
  };
  for (const Case& c : {Case{L"u", L"p", L"u:p"}, Case{L"", L"", L":"}, Case{L"me", L"a:b", L"me:a:b"}}) {
    Configure(L"c.example:2101", L"");
    display.Key(VK_END).Type(L"0");  // the caster field: c.example:21010
    display.Key(VK_DOWN).Type(c.user).Key(VK_DOWN).Type(c.password).Key(VK_F1);
    EXPECT_EQ(Run(dlg), IDOK);
    EXPECT_EQ(dlg.m_strUserPassword, c.credentials);
    EXPECT_EQ(dlg.m_strHostPortStored, L"c.example:21010");
    EXPECT_EQ(dlg.m_bCasterChanged, 1);
  }
}

// Enter switches the caster field between typing and choosing; the field
// shows which: a caret (and the selected text) when typing, the list marker
// highlighted and no caret when choosing.
TEST_F(GenericCasterDlgTest, TheCasterFieldShowsWhetherItTypesOrChooses) {
  Configure(L"c.example:2101");
  struct Look {
    bool firstCharHighlighted;
    bool markerHighlighted;
  };
  std::vector<Look> looks;
  auto look = [&] {
    const CRect& r = dlg.m_cbHostPort.Rect();
    const int row = dlg.m_cbHostPort.CanvasTop();
    looks.push_back({display.Screen().At(r.left, row).reverse, display.Screen().At(r.right - 1, row).reverse});
  };
  display.Do(look).Key(VK_RETURN).Do(look).Key(VK_RETURN).Do(look).Key(VK_F2);
  EXPECT_EQ(Run(dlg), IDCANCEL);
  ASSERT_EQ(looks.size(), 3u);
  const bool expected[][2] = {{true, false}, {false, true}, {true, false}};  // typing, choosing, typing
  for (size_t i = 0; i < looks.size(); ++i) {
    EXPECT_EQ(looks[i].firstCharHighlighted, expected[i][0]) << "look " << i;
    EXPECT_EQ(looks[i].markerHighlighted, expected[i][1]) << "look " << i;
  }
}

struct CheckCase {
  int downs;  // from the caster field to the field to change
  std::wstring typed;
  std::wstring message;  // empty: accepted
};

// Each limit from both sides: a value on the border is taken; one beyond it
// shows one message, keeps the dialog open as typed and stores nothing.
TEST_F(GenericCasterDlgTest, EveryFieldsLimitHoldsOnBothSidesOfItsBorder) {
  const std::wstring range = L"Please enter an integer between 0 and 1000.";
  const CheckCase cases[] = {
      {3, L"0", L""},
      {3, L"1000", L""},
      {3, L"1001", range},
      {3, L"-1", range},
      {3, L"x", L"Please enter an integer."},
      {4, L"0", L""},
      {4, L"1000", L""},
      {4, L"1001", range},
      {4, L"-1", L"Please enter a positive integer."},
      {0, std::wstring(200, L'h'), L""},
      {0, std::wstring(201, L'h'), L"Please enter no more than 200 characters."},
  };
  for (const CheckCase& c : cases) {
    const std::string legend = std::to_string(c.downs) + " " + platform::Narrow(c.typed).substr(0, 8) + " (" +
                               std::to_string(c.typed.size()) + ")";
    Configure(L"c.example:2101");
    const size_t messagesBefore = display.Messages().size();
    for (int i = 0; i < c.downs; ++i) display.Key(VK_DOWN);
    display.Key(VK_HOME);
    for (int i = 0; i < 16; ++i) display.Key(VK_DELETE);
    display.Type(c.typed).Key(VK_F1);
    std::wstring typedText;
    // A refused value leaves the dialog open for this step; an accepted one
    // has closed it, and Run fails the test if it did not.
    if (!c.message.empty()) display.Do([&] {
        typedText = c.downs == 0 ? dlg.m_cbHostPort.GetEditText() : dlg.GetFocus()->GetWindowText();
        dlg.EndDialog(IDCANCEL);
      });
    EXPECT_EQ(Run(dlg), c.message.empty() ? IDOK : IDCANCEL) << legend;
    const std::vector<std::wstring> shown(display.Messages().begin() + static_cast<long>(messagesBefore),
                                          display.Messages().end());
    EXPECT_EQ(shown, c.message.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{c.message}) << legend;
    if (c.message.empty()) {
      const std::wstring stored = c.downs == 0   ? dlg.m_strHostPortStored
                                  : c.downs == 3 ? std::to_wstring(dlg.m_nAttemptsStored)
                                                 : std::to_wstring(dlg.m_nTimeStored);
      EXPECT_EQ(stored, c.typed) << legend;
    } else {
      EXPECT_EQ(typedText, c.typed) << legend;
      EXPECT_EQ(dlg.m_nAttemptsStored, 10) << legend;
      EXPECT_EQ(dlg.m_strHostPortStored, L"c.example:2101") << legend;
    }
  }
}

struct BackCase {
  const char* legend;
  int downs;
  std::vector<UINT> moves;  // caret keys before the Back key
  std::wstring expected;
};

TEST_F(GenericCasterDlgTest, TheBackKeyRemovesTheCharacterBeforeTheCaret) {
  const BackCase cases[] = {
      {"user ID, caret at the end", 1, {VK_END}, L"u"},
      {"user ID, caret inside", 1, {VK_END, VK_LEFT}, L"0"},
      {"user ID, caret at the start: nothing goes", 1, {VK_HOME}, L"u0"},
      {"attempts: the number of what is left", 3, {VK_END}, L"1"},
      {"attempts at the start: unchanged", 3, {VK_HOME}, L"10"},
      {"caster field", 0, {VK_END}, L"c.example:210"},
  };
  for (const BackCase& c : cases) {
    Configure(L"c.example:2101");
    for (int i = 0; i < c.downs; ++i) display.Key(VK_DOWN);
    for (UINT key : c.moves) display.Key(key);
    display.Key(VK_ESCAPE);
    std::wstring text;
    bool stillOpen = false;
    display.Do([&] {
      text = c.downs == 0 ? dlg.m_cbHostPort.GetEditText() : dlg.GetFocus()->GetWindowText();
      stillOpen = !dlg.IsEnding();
    });
    display.Key(VK_F2);
    EXPECT_EQ(Run(dlg), IDCANCEL) << c.legend;
    EXPECT_EQ(text, c.expected) << c.legend;
    EXPECT_TRUE(stillOpen) << c.legend << ": the Back key never closes the dialog";
  }
}

}  // namespace
