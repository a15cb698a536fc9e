// What the window shows of a run's progress, how long it waits before the
// next attempt, and how much of a caster's table it takes.
#include <gtest/gtest.h>

#include "app/FieldcastDlg.h"
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
