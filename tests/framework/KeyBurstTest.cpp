// A burst of keys read in one go (a key held down, keys typed ahead while a
// slow handler ran): the window keeps being repainted while the burst is
// worked through, and presses on a button disabled by then do nothing.
#include <thread>

#include "Harness.h"

namespace fwtest {
namespace {

constexpr int kSlow = 10;
constexpr int kOther = 11;

// Hands the whole burst to the loop in one read once the script has run.
class BurstDisplay : public TestDisplay {
 public:
  void ReadInput(std::vector<InputEvent>& events) override {
    if (ScriptDone() && !burst.empty()) {
      events.insert(events.end(), burst.begin(), burst.end());
      burst.clear();
      return;
    }
    TestDisplay::ReadInput(events);
  }
  int WakeAfterMilliseconds() const override { return burst.empty() ? TestDisplay::WakeAfterMilliseconds() : 0; }
  std::vector<InputEvent> burst;
};

class KeyBurst : public FrameworkTest {};

TEST_F(KeyBurst, TheWindowIsRepaintedWhileABurstIsWorkedThrough) {
  const struct {
    const char* legend;
    bool disableOnFirstPress;
    int presses;
  } cases[] = {
      {"every press does its slow work", false, 12},
      {"a button disabled by the first press drops the rest", true, 1},
  };
  const UINT id = AddTemplate({{kSlow, ControlKind::PushButton, {0, 0, 10, 1}, L"Slow"},
                               {kOther, ControlKind::PushButton, {0, 2, 10, 3}, L"Other"}});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    BurstDisplay burstDisplay;
    EventLoop::Instance().SetDisplay(&burstDisplay);
    TestDlg dlg(id);
    std::vector<int> showsAtPress;
    dlg.OnCommandId(kSlow, BN_CLICKED, [&] {
      showsAtPress.push_back(burstDisplay.Shows());
      if (c.disableOnFirstPress) dlg.GetDlgItem(kSlow)->EnableWindow(false);
      // As long as a Stop that waits for the connection to wind down.
      std::this_thread::sleep_for(std::chrono::milliseconds(60));
    });
    InputEvent enter;
    enter.key = VK_RETURN;
    burstDisplay.burst.assign(12, enter);
    InputEvent exit;
    exit.kind = InputEvent::Kind::Exit;
    burstDisplay.burst.push_back(exit);
    dlg.DoModal();
    ASSERT_EQ(static_cast<int>(showsAtPress.size()), c.presses);
    if (c.presses > 1) {
      EXPECT_GT(showsAtPress.back(), showsAtPress.front()) << "no repaint during the burst";
    }
  }
  EventLoop::Instance().SetDisplay(&display);
}

}  // namespace
}  // namespace fwtest
