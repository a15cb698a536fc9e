// Both About pages: their texts and soft keys, the link control's
// activation and focus mark, and opening the information page with and
// without a browser.
#include <sys/stat.h>

#include <cstdlib>
#include <memory>

#include "DialogFixture.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/About_NormalDlg.h"
#include "platform/Trace.h"
#include "support/WaitFor.h"

namespace {

constexpr COLORREF kRed = RGB(242, 28, 10);
constexpr COLORREF kWhite = RGB(255, 255, 255);

struct Branding {
  const char* legend;
  std::function<std::unique_ptr<CAboutDlgBase>()> make;
  const wchar_t* product;
  const wchar_t* address;
};

const Branding kBrandings[] = {
    {"generic", [] { return std::make_unique<CAbout_NormalDlg>(); }, L"Fieldcast", L"https://fieldcast.example.org/docs"},
    {"Corvo", [] { return std::make_unique<CAboutDlg>(); }, L"corvoNET 1.0.2", L"https://corvonet.example.net/info"},
};

// A stand-in browser opener on PATH, and a desktop session, or none.
class AboutDlgTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    dir.Write("xdg-open", "#!/bin/sh\necho \"$1\" >> " + dir.File("opened") + "\n");
    chmod(dir.File("xdg-open").c_str(), 0755);
    m_oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (dir.path() + ":" + m_oldPath).c_str(), 1);
    SetDesktop(true);
    ASSERT_TRUE(platform::SetTraceTarget(platform::TraceTarget::File, dir.File("trace")));
  }
  void TearDown() override {
    platform::SetTraceTarget(platform::TraceTarget::None);
    setenv("PATH", m_oldPath.c_str(), 1);
    unsetenv("DISPLAY");
    DialogTest::TearDown();
  }
  static void SetDesktop(bool desktop) {
    unsetenv("WAYLAND_DISPLAY");
    if (desktop) setenv("DISPLAY", ":99", 1);
    else unsetenv("DISPLAY");
  }
  bool Opened(const std::wstring& address) {
    const std::string expected = std::string(address.begin(), address.end()) + "\n";
    return testing_support::WaitFor([&] { return dir.Read("opened") == expected; });
  }

 private:
  std::string m_oldPath;
};

}  // namespace

// The texts themselves are pinned with the templates; here they must fit
// the small screen: the address whole, the sentences wrapped to their last word.
TEST_F(AboutDlgTest, EveryTextFitsTheScreen) {
  for (const Branding& b : kBrandings) {
    SCOPED_TRACE(b.legend);
    auto dlg = b.make();
    std::wstring screen;
    display.Do([&] { screen = display.ScreenText(); }).Key(VK_F1);
    EXPECT_EQ(dlg->DoModal(), IDOK);
    EXPECT_EQ(dlg->InformationPage(), b.address);
    for (const wchar_t* shown : {b.product, b.address, L"Further information", L"Developed for receiving GNSS",
                                 L"Internet.", L"software."})
      EXPECT_NE(screen.find(shown), std::wstring::npos) << std::string(shown, shown + wcslen(shown)) << "\n"
                                                        << std::string(screen.begin(), screen.end());
  }
}

TEST_F(AboutDlgTest, VisitLinkOpensThePageAlsoWhileTheLinkHasTheFocus) {
  for (const Branding& b : kBrandings) {
    SCOPED_TRACE(b.legend);
    dir.Write("opened", "");
    auto dlg = b.make();
    bool linkFocused = false;
    display.Do([&] { linkFocused = dlg->GetFocus() == &dlg->m_link; }).Key(VK_F2).Key(VK_F1);
    dlg->DoModal();
    EXPECT_TRUE(linkFocused);
    EXPECT_TRUE(Opened(b.address)) << dir.Read("opened");
    EXPECT_EQ(display.m_nBeeps, 0);
  }
}

// The control's own open step fails: Space beeps and traces, and opens
// nothing; a click also tells the dialog, which opens the page.
TEST_F(AboutDlgTest, TheLinkItselfBeepsAndTracesAndAClickOpensThroughTheDialog) {
  const Branding& b = kBrandings[0];
  auto dlg = b.make();
  int beepsAfterSpace = -1;
  std::string openedAfterSpace;
  display.Key(VK_SPACE)
      .Do([&] {
        beepsAfterSpace = display.m_nBeeps;
        openedAfterSpace = dir.Read("opened");
      })
      .Click(3, 7)  // the link's row
      .Key(VK_F1);
  dlg->DoModal();
  EXPECT_EQ(beepsAfterSpace, 1);
  EXPECT_EQ(openedAfterSpace, "");
  EXPECT_EQ(display.m_nBeeps, 2);
  EXPECT_TRUE(Opened(b.address));
  const std::string line = "*** CStaticLink: can't navigate https://fieldcast.example.org/docs ***\n";
  EXPECT_EQ(dir.Read("trace"), line + line);
}

TEST_F(AboutDlgTest, WithoutABrowserTheAddressStaysOnScreenAndTheTraceSaysWhy) {
  SetDesktop(false);
  auto dlg = kBrandings[1].make();
  std::wstring screen;
  display.Key(VK_F2).Do([&] { screen = display.ScreenText(); }).Key(VK_F1);
  EXPECT_EQ(dlg->DoModal(), IDOK);
  EXPECT_NE(screen.find(L"https://corvonet.example.net/info"), std::wstring::npos);
  EXPECT_FALSE(dir.Exists("opened"));
  EXPECT_NE(dir.Read("trace").find("https://corvonet.example.net/info not opened: no desktop session"), std::string::npos)
      << dir.Read("trace");
}

TEST_F(AboutDlgTest, FocusMarkIsDrawnAndRemoved) {
  auto dlg = kBrandings[0].make();
  std::vector<bool> marked;
  int shows = 0;
  auto repainted = [&] { return display.Shows() > shows; };
  auto record = [&] {
    const Cell& first = CellOf(*dlg, IDC_ABOUT_LINK);
    const Cell& last = CellOf(*dlg, IDC_ABOUT_LINK, 33);  // the address's last character
    const Cell& after = CellOf(*dlg, IDC_ABOUT_LINK, 34);
    marked.push_back(first.reverse && last.reverse && !after.reverse);
  };
  display.Do(record)
      .Do([&] { dlg->SetFocusTo(nullptr); shows = display.Shows(); })
      .WaitUntil(repainted)
      .Do(record)
      .Do([&] { dlg->SetFocusTo(&dlg->m_link); shows = display.Shows(); })
      .WaitUntil(repainted)
      .Do(record)
      .Key(VK_F1);
  dlg->DoModal();
  EXPECT_EQ(marked, (std::vector<bool>{true, false, true}));
}

TEST_F(AboutDlgTest, LinkIsUnderlinedBlueOnWhiteInTheGenericPageAndBlueOnRedInCorvos) {
  const struct {
    const Branding& branding;
    COLORREF background;
    bool underline;
    CellColor productBackground;
  } cases[] = {
      {kBrandings[0], kWhite, true, CellColor::Default()},
      {kBrandings[1], kRed, false, CellColor::Of(kRed)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.branding.legend);
    auto dlg = c.branding.make();
    Cell link, product;
    int shows = 0;
    display.Do([&] { dlg->SetFocusTo(nullptr); shows = display.Shows(); }).WaitUntil([&] { return display.Shows() > shows; }).Do([&] {
      link = CellOf(*dlg, IDC_ABOUT_LINK, 2);
      product = CellOf(*dlg, IDC_ABOUT_PRODUCT);
    }).Key(VK_F1);
    dlg->DoModal();
    EXPECT_EQ(link.fg, CellColor::Of(RGB(0, 0, 255)));
    EXPECT_EQ(link.bg, CellColor::Of(c.background));
    EXPECT_EQ(link.underline, c.underline);
    EXPECT_EQ(product.bg, c.productBackground);
  }
}
