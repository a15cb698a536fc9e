// A receiver that stops taking bytes is a slow port; one that goes away is a
// failed one. Either ends a flowing run with its own words.
#include <functional>

#include "app/StreamingFixture.h"

namespace {

class ReceiverTroubleTest : public StreamingTest {
 protected:
  // The status line once the run has ended after `happen` struck the
  // receiver's end of a flowing stream.
  std::wstring StatusAfter(const std::function<void(testing_support::PtyPair&)>& happen) {
    testing_support::Str2StrCaster caster(Options());
    EXPECT_TRUE(caster.Start()) << caster.Log();
    Configure(caster.casterPort(), "", /*output=*/0);
    CFieldcastDlg dlg;
    bool flowing = false;
    display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
        .WaitUntil([&] {
          (void)caster.Feed("x");
          flowing = !pty.ReadMasterAvailable().empty();
          return flowing;
        })
        .Do([&] { happen(pty); })
        .WaitUntil([&] {
          (void)caster.Feed(std::string(100, 'y'));
          return dlg.m_bRunning == 0;
        })
        .Key(VK_F1);
    dlg.DoModal();
    EXPECT_TRUE(flowing);
    return display.Info().statusLine;
  }
};

}  // namespace

TEST_F(ReceiverTroubleTest, AReceiverThatTakesNoByteForTwentySecondsIsTooSlow) {
  EXPECT_EQ(StatusAfter([](auto& pty) { pty.StopTakingBytes(); }), L"COM-Port too slow. Adjust Settings");
}

TEST_F(ReceiverTroubleTest, AnUnpluggedReceiverEndsTheRunWithAFailedSend) {
  EXPECT_EQ(StatusAfter([](auto& pty) { pty.CloseMaster(); }), L"ERROR: Failed send data to COM1");
}
