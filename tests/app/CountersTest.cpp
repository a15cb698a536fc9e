// What the window shows of a run's progress, how long it waits before the
// next attempt, and how much of a caster's table it takes.
#include <gtest/gtest.h>

#include "app/FieldcastDlg.h"
#include "app/RefreshPacer.h"
#include "app/SourceTableReceiver.h"
#include "app/WorkerThreads.h"
#include "net/TCPSocket.h"
#include "platform/Text.h"
#include "support/TempDir.h"

TEST(ByteCounter, SwitchesUnitsAtAThousandAndAMillion) {
  const std::pair<int, std::wstring> cases[] = {
      {0, L"0"},           {999, L"999"},         {1000, L"1.000k"},      {999999, L"999.999k"},
      {1000000, L"1.000M"}, {5004607, L"5.005M"}, {999999999, L"1000.000M"},
  };
  for (const auto& [count, text] : cases) EXPECT_EQ(ByteCounterText(count), text) << count;
}

// The window hears of the counter at most every interval: a change within
// it is held back until the interval is over, one at or after it goes out.
TEST(CounterRefresh, AtMostOncePerIntervalAndAHeldChangeWhenItIsOver) {
  RefreshPacer pacer(50);
  struct Step {
    std::int64_t at;
    bool toldNow;       // Changed(at)
    std::int64_t held;  // HeldFor(at) afterwards
  } const steps[] = {
      {1000, true, -1},   // the first change
      {1049, false, 1},   // one millisecond short of the interval
      {1050, true, -1},   // the interval is over
      {1060, false, 40},  // held: the window hears in 40 ms at the latest
      {1070, false, 30},
      {1100, true, -1},
  };
  for (const Step& step : steps) {
    const bool told = pacer.Changed(step.at);
    if (told) pacer.Told(step.at);
    EXPECT_EQ(told, step.toldNow) << step.at;
    EXPECT_EQ(pacer.HeldFor(step.at), step.held) << step.at;
  }
  // A held change past its time is due at once; telling it clears it.
  pacer.Changed(1120);
  EXPECT_EQ(pacer.HeldFor(1200), 0);
  pacer.Told(1200);
  EXPECT_EQ(pacer.HeldFor(1200), -1);
}

// An attempt that streamed less than a minute doubles the wait, up to a
// quarter of an hour; one that streamed a minute starts the count again.
TEST(Reconnection, TheWaitDoublesAfterShortAttemptsUpToAQuarterOfAnHour) {
  CFieldcastDlg dlg;
  dlg.m_nRetryInterval = 10;
  std::vector<int> waits{dlg.ReconnectWaitSeconds()};
  for (std::int64_t streamed : {59'999, 0, 5'000, 59'999, 1, 1, 1, 1, 60'000, 59'999}) {
    dlg.NoteAttemptEnded(streamed);
    waits.push_back(dlg.ReconnectWaitSeconds());
  }
  EXPECT_EQ(waits, (std::vector<int>{10, 20, 40, 80, 160, 320, 640, 900, 900, 10, 20}));
  dlg.m_nRetryInterval = 0;  // still waits a second, doubled once
  EXPECT_EQ(dlg.ReconnectWaitSeconds(), 2);
}

TEST(SourceTableDownload, SixteenMebibytesAreStoredAndOneByteMoreIsRefused) {
  testing_support::TempDir dir;
  TCPSocket closed;  // no connection: the first block is all the caster sends
  using Outcome = ReceivedSourceTable::Outcome;
  constexpr size_t k16MiB = 16 * 1024 * 1024;
  for (const auto& [size, outcome] : {std::pair{k16MiB, Outcome::Complete}, std::pair{k16MiB + 1, Outcome::TooLarge}}) {
    const std::string table = std::string(size - 16, 'x') + "ENDSOURCETABLE\r\n";
    EXPECT_EQ(ReceiveSourceTable(closed, table, platform::WidenLocal(dir.File("sourcetable.dat"))).outcome, outcome)
        << size;
  }
}
