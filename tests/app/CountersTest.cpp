// What the window shows of a run's progress, and how long it waits before
// the next attempt.
#include <gtest/gtest.h>

#include "app/FieldcastDlg.h"
#include "app/WorkerThreads.h"

TEST(ByteCounter, SwitchesUnitsAtAThousandAndAMillion) {
  const std::pair<int, std::wstring> cases[] = {
      {0, L"0"},           {999, L"999"},         {1000, L"1.000k"},      {999999, L"999.999k"},
      {1000000, L"1.000M"}, {5004607, L"5.005M"}, {999999999, L"1000.000M"},
  };
  for (const auto& [count, text] : cases) EXPECT_EQ(ByteCounterText(count), text) << count;
}

TEST(Reconnection, TheWaitDoublesForEveryShortAttemptUpToAQuarterOfAnHour) {
  CFieldcastDlg dlg;
  dlg.m_nRetryInterval = 10;
  EXPECT_EQ(dlg.ReconnectWaitSeconds(), 10);
  std::vector<int> waits;
  for (int i = 0; i < 8; ++i) {
    dlg.NoteAttemptEnded(5'000);  // dropped after five seconds
    waits.push_back(dlg.ReconnectWaitSeconds());
  }
  EXPECT_EQ(waits, (std::vector<int>{20, 40, 80, 160, 320, 640, 900, 900}));
  // A stream that ran for a minute starts the count again.
  dlg.NoteAttemptEnded(60'000);
  EXPECT_EQ(dlg.ReconnectWaitSeconds(), 10);
  // An interval of 0 still waits a second.
  dlg.m_nRetryInterval = 0;
  EXPECT_EQ(dlg.ReconnectWaitSeconds(), 1);
}
