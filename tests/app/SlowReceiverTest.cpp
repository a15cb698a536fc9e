// A receiver that stops taking bytes is a slow port, not a failed one.
#include "app/StreamingFixture.h"

TEST_F(StreamingTest, AReceiverThatTakesNoByteForTwentySecondsIsTooSlow) {
  testing_support::Str2StrCaster caster(Options());
  ASSERT_TRUE(caster.Start()) << caster.Log();
  Configure(caster.casterPort(), "", /*output=*/0);
  CFieldcastDlg dlg;
  bool flowing = false;
  display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
      .WaitUntil([&] {
        (void)caster.Feed("x");
        flowing = !pty.ReadMasterAvailable().empty();
        return flowing;
      })
      // From here every block finds the port taking nothing at all.
      .Do([&] { pty.StopTakingBytes(); })
      .WaitUntil([&] {
        (void)caster.Feed(std::string(100, 'y'));
        return dlg.m_bRunning == 0;
      })
      .Key(VK_F1);
  dlg.DoModal();
  EXPECT_TRUE(flowing);
  EXPECT_EQ(display.Info().statusLine, L"COM-Port too slow. Adjust Settings");
}
