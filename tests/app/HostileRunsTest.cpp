// Runs under hostile timing: a caster that falls silent or resets during a
// reconnection, and a burst of Start and Stop, each run handing the one
// socket on to the next.
#include "app/StreamingFixture.h"
#include "support/ScriptedCaster.h"

using testing_support::ScriptedCaster;

namespace {

constexpr char kNmeaEntry[] = "relay;RTCM 3.2;1004(1);2;GPS+GLO;TEST;XXX;50.00;8.00;1;0;gen;none;N;N;9600;test";
constexpr wchar_t kGga[] = L"$GPGGA,120000.00,5000.0000,N,00800.0000,E,1,08,1.0,100.0,M,47.0,M,,*4B\r\n";

}  // namespace

class HostileRunsTest : public StreamingTest {};

// A caster that restarts may accept and then hang or reset before it takes
// the client's position. During a reconnection that is one failed attempt:
// the countdown goes on and the stream comes back.
TEST_F(HostileRunsTest, SilenceOrAResetDuringAReconnectionIsOneFailedAttempt) {
  using Client = ScriptedCaster::Client;
  const struct {
    const char* legend;
    bool wantsPosition;
    int times;  // connections in a row that meet the misbehaviour
    std::function<void(Client&)> misbehave;
  } cases[] = {
      {"accepts and says nothing for 20 s", false, 1,
       [](Client& client) { client.AwaitHangUp(std::chrono::seconds(60)); }},
      // Whether the reset comes before the upload is a race: twice in a row.
      {"accepts the stream and resets before the position", true, 2,
       [](Client& client) {
         (void)client.Send("ICY 200 OK\r\n");
         client.Reset();
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    std::atomic<int> connections{0};
    ScriptedCaster caster([&](Client& client) {
      const int connection = ++connections;
      if (connection == 1) {
        (void)client.Send("ICY 200 OK\r\nFIRST");
        (void)client.Pause(std::chrono::milliseconds(300));
      } else if (connection <= 1 + c.times) {
        c.misbehave(client);
      } else if (client.Send("ICY 200 OK\r\nSECOND")) {
        (void)client.Pause(std::chrono::minutes(5));
      }
    });
    Configure(caster.port(), "", /*output=*/1, /*attempts=*/5, /*interval=*/1);
    if (c.wantsPosition) dir.Write("sourcetable.dat", std::string("STR;MP1;") + kNmeaEntry + "\r\nENDSOURCETABLE\r\n");
    CFieldcastDlg dlg;
    bool runningAtTheEnd = false;
    std::wstring status;
    display.Do([&] {
             dlg.m_strGGA.Set(kGga);
             dlg.NotifyCommand(IDC_START, 0);
           })
        .WaitUntil([&] {
          if (connections >= 2) platform::AdvanceMonotonicClock(1000);  // the silence passes in moments
          return dlg.m_bRunning == 0 || (connections >= 2 + c.times && Status(dlg) == L"Reading data stream...");
        })
        .Do([&] {
          runningAtTheEnd = dlg.m_bRunning != 0;
          status = Status(dlg);
          if (runningAtTheEnd) dlg.NotifyCommand(IDC_STOP, 0);
        })
        .Key(VK_F1);
    dlg.DoModal();
    EXPECT_TRUE(runningAtTheEnd) << testing::PrintToString(status);
    EXPECT_EQ(connections, 2 + c.times);
  }
}

// The issue behind this: a new run's request was built in the socket's
// buffer while the stopped run's receive was still writing into it (seen by
// ThreadSanitizer). Presses alternate between a run that streams and one
// stopped before its connection; the window answers every one in order.
TEST_F(HostileRunsTest, ABurstOfStartAndStopHandsTheSocketFromRunToRun) {
  std::atomic<int> connections{0};
  ScriptedCaster caster([&](ScriptedCaster::Client& client) {
    ++connections;
    if (!client.Send("ICY 200 OK\r\n")) return;
    while (client.Send(std::string(200, 's')) && client.Pause(std::chrono::milliseconds(2))) {
    }
  });
  Configure(caster.port(), "", /*output=*/1);
  CFieldcastDlg dlg;
  int runs = 0;
  for (int i = 0; i < 4; ++i) {
    display.Key(VK_RETURN)  // Start: the window gives Stop the focus
        .WaitUntil([&] { return dlg.m_nTotalBytes > 0; })
        .Do([&] { ++runs; })
        .Key(VK_RETURN)  // Stop, while a receive waits or runs
        .Key(VK_RETURN)  // Start again at once
        .Key(VK_RETURN);
  }
  std::wstring status;
  display.Do([&] { status = Status(dlg); }).Key(VK_F1);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(runs, 4);
  EXPECT_EQ(status, L"Adjust Settings or press START");
  EXPECT_GE(connections, 4);
}
