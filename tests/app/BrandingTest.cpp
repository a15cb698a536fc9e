// The branding comes from GNSS.ini's Colour alone: "Corvo" exactly gives the
// red page with white fields; any other value, "corvo" included, the
// platform's own colours.
#include <optional>

#include "app/MainWindowFixture.h"

namespace {

struct Answer {
  std::optional<COLORREF> brush;
  std::optional<COLORREF> textBackground;
  std::optional<COLORREF> text;
  int mode;
};

Answer Ask(CFieldcastDlg& dlg, int id) {
  CDC dc;
  CWnd* window = id == static_cast<int>(IDD_FIELDCAST_DIALOG) ? static_cast<CWnd*>(&dlg) : dlg.GetDlgItem(id);
  const CBrush* brush = dlg.OnCtlColor(&dc, window, 0);
  return {brush ? brush->Color() : std::nullopt, dc.BkColor(), dc.TextColor(), dc.BkMode()};
}

}  // namespace

TEST_F(MainWindowTest, CorvoColoursEveryControlOfTheMainWindow) {
  WriteIni("Corvo");
  CFieldcastDlg dlg;
  constexpr COLORREF kPage = RGB(240, 28, 10), kText = RGB(242, 28, 10), kWhite = RGB(255, 255, 255);
  struct Expected {
    int id;
    COLORREF brush;
    COLORREF textBackground;
  } const table[] = {
      {static_cast<int>(IDD_FIELDCAST_DIALOG), kPage, kText},
      {IDC_SPIN_STREAMS, kPage, kText},
      {IDC_BROADCASTER, kWhite, kText},
      {IDC_STREAM_DETAILS, kWhite, kText},
      {IDC_LIST_NETWORKS, kWhite, kWhite},
      {IDC_LIST_STREAMS, kWhite, kWhite},
      {IDC_STATUS, kPage, kText},
      {IDC_BYTES, kPage, kText},
      {IDC_PROGRESS, kPage, kText},
      {IDC_MAKERS_MARK, kPage, kText},
  };
  std::vector<Answer> answers;
  Answer spinner{};
  Cell page{};
  display.Do([&] {
    for (const Expected& e : table) answers.push_back(Ask(dlg, e.id));
    spinner = Ask(dlg, IDC_SPIN_NETWORKS);
  });
  display.Do([&] { page = display.Screen().At(0, 3); }).Key(VK_F1);
  dlg.DoModal();
  ASSERT_EQ(answers.size(), std::size(table));
  for (size_t i = 0; i < answers.size(); ++i) {
    SCOPED_TRACE(table[i].id);
    EXPECT_EQ(answers[i].brush, table[i].brush);
    EXPECT_EQ(answers[i].textBackground, table[i].textBackground);
  }
  EXPECT_EQ(spinner.brush, kPage);
  EXPECT_EQ(spinner.mode, TRANSPARENT);
  EXPECT_EQ(spinner.text, RGB(255, 255, 225));
  // The page itself is drawn red on the screen.
  EXPECT_EQ(page.bg, CellColor::Of(kPage));
}

TEST_F(MainWindowTest, AnyOtherColourValueGivesThePlatformDefaults) {
  for (const std::string design : {"corvo", "", "Corvo ", "Blue"}) {
    SCOPED_TRACE(design);
    WriteIni(design);
    CFieldcastDlg dlg;
    std::vector<Answer> answers;
    Cell page{};
    display.Do([&] {
      for (int id : {static_cast<int>(IDD_FIELDCAST_DIALOG), IDC_START, IDC_LIST_STREAMS, IDC_STATUS})
        answers.push_back(Ask(dlg, id));
      page = display.Screen().At(0, 3);
    });
    display.Key(VK_F1);
    dlg.DoModal();
    for (const Answer& a : answers) {
      EXPECT_FALSE(a.brush.has_value());
      EXPECT_FALSE(a.textBackground.has_value());
    }
    EXPECT_TRUE(page.bg.isDefault);
    // The key is written back unchanged.
    EXPECT_NE(dir.Read("GNSS.ini").find("Colour=" + design + "\n"), std::string::npos);
  }
}

TEST_F(MainWindowTest, WithoutASettingsFileTheBrandingIsGeneric) {
  CFieldcastDlg dlg;
  bool corvo = true;
  display.Do([&] { corvo = dlg.IsCorvo(); }).Key(VK_F1);
  dlg.DoModal();
  EXPECT_FALSE(corvo);
}
