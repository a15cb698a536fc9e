// An Exit from outside (a signal, a hang-up) ends the program from any depth
// of dialogs; a pause keeps the window live and the input in order.
#include "Harness.h"
#include "framework/MessageBox.h"

namespace fwtest {
namespace {

constexpr int kFirst = 10;
constexpr int kSecond = 11;
constexpr UINT kPing = WM_APP + 40;

// Hands out prepared events in one read, also while the loop holds its
// input: keys typed during a pause.
class TypingDisplay : public TestDisplay {
 public:
  void ReadInput(std::vector<InputEvent>& events) override {
    if (!ScriptDone() || typed.empty()) return TestDisplay::ReadInput(events);
    events.insert(events.end(), typed.begin(), typed.end());
    typed.clear();
  }
  int WakeAfterMilliseconds() const override { return typed.empty() ? TestDisplay::WakeAfterMilliseconds() : 0; }
  std::vector<InputEvent> typed;
};

InputEvent Key(UINT key) {
  InputEvent event;
  event.key = key;
  return event;
}

InputEvent ExitEvent() {
  InputEvent event;
  event.kind = InputEvent::Kind::Exit;
  return event;
}

class ExitAndPause : public FrameworkTest {};

TEST_F(ExitAndPause, AnExitEndsEveryDialogAsCancelledAndTheBottomOneAsItsSoftKey) {
  const UINT buttonTemplate = AddTemplate({{kFirst, ControlKind::PushButton, {0, 0, 10, 1}, L"Open"}});
  TestDlg bottom(buttonTemplate), middle(buttonTemplate), top(buttonTemplate);
  std::vector<std::string> trail;
  bottom.OnCommandId(kFirst, BN_CLICKED, [&] { trail.push_back("middle " + std::to_string(middle.DoModal())); });
  bottom.OnCommandId(IDOK, 0, [&] {
    trail.push_back("bottom exit");
    bottom.EndDialog(IDOK);
  });
  middle.OnCommandId(kFirst, BN_CLICKED, [&] {
    trail.push_back("top " + std::to_string(top.DoModal()));
    // What a handler opens after the Exit came is cancelled too.
    trail.push_back("box " + std::to_string(AfxMessageBox(L"Settings changed")));
  });
  // OK on the upper dialogs would keep what was typed: they must not see it.
  for (TestDlg* upper : {&middle, &top})
    upper->OnCommandId(IDOK, 0, [&trail] { trail.push_back("OK pressed"); });
  display.Key(VK_RETURN).Key(VK_RETURN).Exit();
  EXPECT_EQ(Run(bottom), IDOK);
  EXPECT_EQ(trail, (std::vector<std::string>{"top 2", "box 1", "middle 2", "bottom exit"}));
}

TEST_F(ExitAndPause, APauseKeepsTheWindowLiveAndTheInputInOrderUnlessAnExitComes) {
  const struct {
    const char* legend;
    std::vector<InputEvent> typedDuringPause;
    std::vector<std::string> trail;
  } cases[] = {
      {"presses follow the pause", {Key(VK_DOWN), Key(VK_RETURN), Key(VK_F1)},
       {"pause begins", "ping", "pause ends", "second", "ok"}},
      {"an exit goes first", {Key(VK_DOWN), Key(VK_RETURN), ExitEvent()},
       {"pause begins", "ping", "pause ends", "ok"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    TypingDisplay typing;
    EventLoop::Instance().SetDisplay(&typing);
    TestDlg dlg(AddTemplate({{kFirst, ControlKind::PushButton, {0, 0, 10, 1}, L"Pause"},
                             {kSecond, ControlKind::PushButton, {0, 2, 10, 3}, L"Second"}}));
    std::vector<std::string> trail;
    int showsInPause = 0;
    dlg.OnCommandId(kFirst, BN_CLICKED, [&] {
      trail.push_back("pause begins");
      ::PostMessage(dlg.GetSafeHwnd(), kPing);
      dlg.Invalidate();
      const int shows = typing.Shows();
      typing.typed = c.typedDuringPause;
      EventLoop::Instance().PauseHoldingInput(200);
      showsInPause = typing.Shows() - shows;
      trail.push_back("pause ends");
    });
    dlg.OnCommandId(kSecond, BN_CLICKED, [&] { trail.push_back("second"); });
    dlg.OnCommandId(IDOK, 0, [&] {
      trail.push_back("ok");
      dlg.EndDialog(IDOK);
    });
    dlg.OnPosted(kPing, [&](WPARAM, LPARAM) { trail.push_back("ping"); });
    typing.Key(VK_RETURN);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(trail, c.trail);
    EXPECT_GT(showsInPause, 0) << "no repaint during the pause";
  }
  EventLoop::Instance().SetDisplay(&display);
}

}  // namespace
}  // namespace fwtest
