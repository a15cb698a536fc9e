// The output settings: the choice between the port and none, OK and
// Cancel, and the two doors it opens (COM-port settings, About).
#include "DialogFixture.h"
#include "dialogs/About_NormalDlg.h"
#include "dialogs/SettingsDlg.h"
#include "framework/Controls.h"

namespace {

int Checked(CDialog& dlg) {
  for (int id : {IDC_OUTPUT_COMPORT, IDC_OUTPUT_NONE})
    if (dynamic_cast<CButton*>(dlg.GetDlgItem(id))->GetCheck() == 1) return id;
  return 0;
}

}  // namespace

TEST_F(DialogTest, OutputChoiceIsStoredByOkOnly) {
  const struct {
    const char* legend;
    int stored;
    std::vector<UINT> keys;  // the focus starts on "Com-Port"
    int storedAfter;
  } cases[] = {
      {"None, OK", 0, {VK_DOWN, VK_SPACE, VK_F1}, 1},
      {"None, Cancel", 0, {VK_DOWN, VK_SPACE, VK_F2}, 0},
      {"None, Back", 0, {VK_DOWN, VK_RETURN, VK_ESCAPE}, 0},
      {"Com-Port, OK", 1, {VK_SPACE, VK_F1}, 0},
      {"OK untouched", 1, {VK_F1}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    CSettingsDlg dlg;
    dlg.m_nOutputStored = c.stored;
    int checkedAtOpening = 0;
    display.Do([&] { checkedAtOpening = Checked(dlg); });
    for (UINT key : c.keys) display.Key(key);
    dlg.DoModal();
    EXPECT_EQ(checkedAtOpening, c.stored == 0 ? IDC_OUTPUT_COMPORT : IDC_OUTPUT_NONE);
    EXPECT_EQ(dlg.m_nOutputStored, c.storedAfter);
    // The next opening starts again from the stored choice.
    display.Do([&] { checkedAtOpening = Checked(dlg); }).Key(VK_F2);
    dlg.DoModal();
    EXPECT_EQ(checkedAtOpening, c.storedAfter == 0 ? IDC_OUTPUT_COMPORT : IDC_OUTPUT_NONE);
  }
}

// What the COM-port dialog stored stays stored when the output settings
// are cancelled; the focus comes back to the button that opened it.
TEST_F(DialogTest, ComPortSettingsOpenFromHereAndKeepWhatTheyStored) {
  CSettingsDlg dlg;
  dlg.m_nOutputStored = 0;
  dlg.m_strDesign = L"Corvo";
  dlg.m_comPortDlg.SetDefaults();
  std::wstring inner, branding;
  bool focusBack = false;
  bool okHidden = false;
  display.Do([&] { okHidden = !dlg.GetDlgItem(IDOK)->IsWindowVisible() && !dlg.GetDlgItem(IDCANCEL)->IsWindowVisible(); })
      .Do([&] { dlg.GotoDlgCtrl(dlg.GetDlgItem(IDC_COMPORT_SETTINGS)); })
      .Key(VK_RETURN)
      .Do([&] {
        inner = display.Info().title;
        branding = dlg.m_comPortDlg.m_strBranding;
      })
      .Key(VK_DOWN)   // to the baud list
      .Key(VK_RIGHT)  // 38400
      .Key(VK_F1)
      .Do([&] { focusBack = dlg.GetFocus() == dlg.GetDlgItem(IDC_COMPORT_SETTINGS); })
      .Key(VK_UP)
      .Key(VK_SPACE)  // "None"
      .Key(VK_F2);
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_TRUE(okHidden);
  EXPECT_EQ(inner, L"COM-Port Settings");
  EXPECT_EQ(branding, L"Corvo");
  EXPECT_TRUE(focusBack);
  EXPECT_EQ(dlg.m_nOutputStored, 0);
  EXPECT_EQ(dlg.m_comPortDlg.m_strBaud, L"38400");
  EXPECT_EQ(dlg.m_comPortDlg.m_nBaudRate, 38400);
}

TEST_F(DialogTest, AboutOpensThePageOfTheBranding) {
  const struct {
    const wchar_t* design;
    const wchar_t* product;
  } cases[] = {{L"Corvo", L"corvoNET 1.0.2"}, {L"", L"Fieldcast"}, {L"CORVO", L"Fieldcast"}};
  for (const auto& c : cases) {
    CSettingsDlg dlg;
    dlg.m_strDesign = c.design;
    std::wstring title, product;
    display.Do([&] { dlg.GotoDlgCtrl(dlg.GetDlgItem(IDC_ABOUT)); })
        .Key(VK_RETURN)
        .Do([&] {
          title = display.Info().title;
          product = Top().GetDlgItemText(IDC_ABOUT_PRODUCT);
        })
        .Key(VK_F1)  // Close
        .Key(VK_F2);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(title, L"About");
    EXPECT_EQ(product, c.product);
  }
}

TEST_F(DialogTest, EachDialogOpensWithTheFocusOnItsFirstChoice) {
  CSettingsDlg settings;
  CComPortDlg port;
  port.SetDefaults();
  CAbout_NormalDlg about;
  const std::pair<CDialog*, int> cases[] = {
      {&settings, IDC_OUTPUT_COMPORT}, {&port, IDC_LIST_PORT}, {&about, IDC_ABOUT_LINK}};
  for (const auto& [dlg, expected] : cases) {
    int focused = 0;
    display.Do([&, dlg = dlg] {
      focused = dlg->GetFocus() ? dlg->GetFocus()->GetDlgCtrlID() : 0;
      dlg->EndDialog(IDCANCEL);
    });
    dlg->DoModal();
    EXPECT_EQ(focused, expected) << display.Info().title;
  }
}
