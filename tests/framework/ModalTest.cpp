// Modal runs: a dialog opened from a handler takes the input until it ends,
// then the first resumes with its answer; message boxes with and without a
// person in front of the display.
#include "Harness.h"
#include "framework/MessageBox.h"

namespace fwtest {
namespace {

constexpr int kOpen = 10;
constexpr int kField = 11;

class Modal : public FrameworkTest {};

TEST_F(Modal, NestedDialogTakesTheInputAndTheFirstResumesWithItsAnswer) {
  const UINT innerId = AddTemplate({{kField, ControlKind::Edit, {0, 0, 20, 1}, L""}});
  TestDlg inner(innerId);
  std::wstring innerText;
  inner.exchange = [&](CDataExchange* pDX) { DDX_Text(pDX, kField, innerText); };

  TestDlg outer(AddTemplate({{kOpen, ControlKind::PushButton, {0, 0, 10, 1}, L"Open"},
                             {kField, ControlKind::Edit, {0, 2, 20, 3}, L""}}));
  std::vector<int> answers;
  outer.OnCommandId(kOpen, BN_CLICKED, [&] { answers.push_back(inner.DoModal()); });

  display.Key(VK_RETURN)  // the focused Open button
      .Do([&] { EXPECT_EQ(EventLoop::Instance().TopDialog(), &inner); })
      .Type(L"abc")
      .Key(VK_F1)  // OK on the inner dialog
      .Do([&] {
        EXPECT_EQ(EventLoop::Instance().TopDialog(), &outer);
        EXPECT_EQ(outer.GetDlgItemText(kField), L"");
      })
      .Key(VK_RETURN)
      .Key(VK_ESCAPE)  // Back on the inner dialog
      .Key(VK_DOWN)
      .Type(L"xy")
      .Do([&] { EXPECT_EQ(outer.GetDlgItemText(kField), L"xy"); })
      .Key(VK_F2);
  EXPECT_EQ(Run(outer), IDCANCEL);
  EXPECT_EQ(answers, (std::vector<int>{IDOK, IDCANCEL}));
  EXPECT_EQ(innerText, L"abc");
}

struct BoxCase {
  const char* legend;
  UINT type;
  UINT key;
  int answer;
};

TEST_F(Modal, MessageBoxOverADialogAnswersWithTheKeyPressed) {
  const BoxCase cases[] = {
      {"OK box, left soft key", MB_OK, VK_F1, IDOK},
      {"OK box, Back", MB_OK, VK_ESCAPE, IDOK},
      {"Yes/No box, left soft key", MB_YESNO, VK_F1, IDYES},
      {"Yes/No box, right soft key", MB_YESNO, VK_F2, IDNO},
      {"Yes/No box, Back", MB_YESNO, VK_ESCAPE, IDNO},
  };
  for (const BoxCase& c : cases) {
    SCOPED_TRACE(c.legend);
    TestDisplay fresh;
    EventLoop::Instance().SetDisplay(&fresh);
    TestDlg dlg(AddTemplate({{kOpen, ControlKind::PushButton, {0, 0, 10, 1}, L"Ask"}}));
    int answer = 0;
    dlg.OnCommandId(kOpen, BN_CLICKED, [&] { answer = AfxMessageBox(L"Keep the\nsettings?", c.type); });
    bool shown = false;
    fresh.Key(VK_RETURN)
        .Do([&] { shown = fresh.ScreenText().find(L"Keep the") != std::wstring::npos; })
        .Key(c.key)
        .Key(VK_F2);
    fresh.Do([&] {
      if (!dlg.IsEnding()) dlg.EndDialog(-2);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(shown);
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(fresh.m_nBeeps, 1);
  }
}

TEST_F(Modal, MessageBoxWithoutAPersonAnswersAtOnceAndReportsTheText) {
  display.interactive = false;
  EXPECT_EQ(AfxMessageBox(L"Connection lost"), IDOK);
  EXPECT_EQ(AfxMessageBox(L"Retry?", MB_YESNO), IDYES);
  EXPECT_EQ(display.Messages(), (std::vector<std::wstring>{L"Connection lost", L"Retry?"}));
  EXPECT_EQ(display.Shows(), 0);
}

}  // namespace
}  // namespace fwtest
