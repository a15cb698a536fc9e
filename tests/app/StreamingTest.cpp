// Streaming runs against a real caster and a real pseudo-terminal: bytes
// reach the receiver unchanged and in order, and every way a run can end
// says so in the status line.
#include <algorithm>
#include <random>

#include "app/Messages.h"
#include "app/StreamingFixture.h"
#include "app/WorkerThreads.h"

using testing_support::ReadFileBytes;
using testing_support::Str2StrCaster;
using testing_support::Str2StrOptions;
using testing_support::TestDataPath;

namespace {

std::string RandomBytes(size_t size) {
  std::mt19937 random(12345);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  bytes[0] = '\0';  // never the warm-up byte, so the payload's start is clear
  return bytes;
}

// Feeds in slices, each once the previous one reached the receiver: str2str
// drops a client that is not ready when it forwards, so the test keeps the
// pipeline short.
void FeedPaced(Str2StrCaster& caster, ReceiverReader& reader, const std::string& payload, size_t already) {
  constexpr size_t kSlice = 8192;
  for (size_t at = 0; at < payload.size(); at += kSlice) {
    const size_t end = std::min(at + kSlice, payload.size());
    ASSERT_TRUE(caster.Feed(std::string_view(payload).substr(at, end - at)));
    ASSERT_TRUE(testing_support::WaitFor([&] { return reader.Size() >= already + end; })) << at;
  }
}

}  // namespace

TEST_F(StreamingTest, EveryByteReachesTheReceiverInOrder) {
  Str2StrCaster caster(Options());
  ASSERT_TRUE(caster.Start()) << caster.Log();
  Configure(caster.casterPort(), "", /*output=*/0);
  ReceiverReader reader(pty);
  CFieldcastDlg dlg;
  const std::string random = RandomBytes(5 * 1000 * 1000);
  const std::string rtcm = ReadFileBytes(TestDataPath("rtcm/igs-ip-USCL00CHL0-rtcm3-all-msm.pyrtcm.bin"));
  ASSERT_FALSE(rtcm.empty());
  std::wstring counter, status;
  display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
      .WaitUntil(StreamFlowing(caster, reader))
      .Do([&] { FeedPaced(caster, reader, random + rtcm, reader.Size()); })
      .WaitUntil([&] { return dlg.GetDlgItemText(IDC_BYTES) == ByteCounterText(static_cast<int>(reader.Size())); })
      .Do([&] {
        counter = dlg.GetDlgItemText(IDC_BYTES);
        status = Status(dlg);
      })
      .Key(VK_F1)   // Exit while running stops
      .Key(VK_F1);  // and then closes
  dlg.DoModal();
  const std::string received = reader.Bytes();
  // Warm-up bytes still on their way when the payload began also come first.
  const size_t warmUp = received.find_first_not_of('W');
  ASSERT_NE(warmUp, std::string::npos);
  const std::string expected = random + rtcm;
  const std::string payload = received.substr(warmUp);
  const auto mismatch = std::mismatch(payload.begin(), payload.end(), expected.begin(), expected.end());
  EXPECT_TRUE(payload == expected) << "payload differs at " << (mismatch.first - payload.begin()) << " of "
                                   << expected.size() << ", received " << payload.size();
  EXPECT_EQ(counter, ByteCounterText(static_cast<int>(received.size())));
  EXPECT_EQ(status, L"Writing data to COM1...");
}

TEST_F(StreamingTest, UpdatingTheSourceTableRebuildsTheLists) {
  Str2StrCaster caster(Options());
  ASSERT_TRUE(caster.Start()) << caster.Log();
  Configure(caster.casterPort(), "", /*output=*/0);
  dir.Write("sourcetable.dat", "STR;OLD;old;RTCM 3.0;x;2;GPS;OLDNET;DEU;1;2;0;0;g;none;N;N;1;m\r\nENDSOURCETABLE\r\n");
  CFieldcastDlg dlg;
  std::wstring stream;
  bool portOpened = true;
  display.Do([&] {
           dlg.m_listStreams.SetCurSel(0);  // "Update source table"
           dlg.NotifyCommand(IDC_START, 0);
         })
      .WaitUntil([&] { return dlg.m_bRunning == 0; })
      .Do([&] {
        stream = ListText(dlg.m_listStreams);
        portOpened = dlg.m_serialPort.m_bOpen;
      })
      .Key(VK_F1);
  dlg.DoModal();
  EXPECT_EQ(display.Info().statusLine, L"Updated source table.");
  EXPECT_EQ(stream, L"relay/RTK/GPS+GLO/TEST");
  // The reply without its first line, byte for byte.
  const std::string stored = dir.Read("sourcetable.dat");
  EXPECT_EQ(stored.rfind("Server: RTKLIB", 0), 0u) << stored;
  EXPECT_NE(stored.find(std::string("\r\n\r\nSTR;MP1;") + kEntry + "\r\nENDSOURCETABLE\r\n"), std::string::npos) << stored;
  EXPECT_FALSE(dir.Exists("sourcetable.dat.download"));
  (void)portOpened;
}

TEST_F(StreamingTest, ErrorsEndTheRunWithTheirOwnWords) {
  struct Case {
    const char* legend;
    std::string user, password, credentials;
    bool casterUp;
    const char* com1;  // nullptr: the pseudo-terminal
    int output;
    std::wstring status;
  } const cases[] = {
      {"nothing listening", "", "", "", false, nullptr, 0, L"ERROR: Connection to Server failed."},
      {"wrong password", "user", "pass", "user:wrong", true, nullptr, 0, L"Adjust User-ID and Password"},
      {"port that cannot be opened", "", "", "", true, "/nonexistent/tty", 0, L"ERROR#5: Failed to set up COM1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    Str2StrCaster caster(Options(c.user, c.password));
    ASSERT_TRUE(caster.Start()) << caster.Log();
    const int port = caster.casterPort();
    if (!c.casterUp) caster.Kill();
    if (c.com1 != nullptr) setenv("FIELDCAST_COM1", c.com1, 1);
    Configure(port, c.credentials, c.output);
    CFieldcastDlg dlg;
    std::wstring status;
    display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
        .WaitUntil([&] { return dlg.m_bRunning == 0; })
        .Do([&] { status = Status(dlg); })
        .Key(VK_F1);
    dlg.DoModal();
    EXPECT_EQ(status, c.status);
    setenv("FIELDCAST_COM1", pty.SlavePath().c_str(), 1);
  }
}

TEST_F(StreamingTest, OutputNoneReadsTheStreamAndNeverOpensThePort) {
  Str2StrCaster caster(Options());
  ASSERT_TRUE(caster.Start()) << caster.Log();
  Configure(caster.casterPort(), "", /*output=*/1);
  setenv("FIELDCAST_COM1", "/nonexistent/tty", 1);  // opening it would fail the run
  CFieldcastDlg dlg;
  bool portOpen = true;
  display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
      .WaitUntil([&] {
        (void)caster.Feed("0123456789");
        return Status(dlg) == L"Reading data stream...";
      })
      .Do([&] { portOpen = dlg.m_serialPort.m_bOpen; })
      .Key(VK_F1)
      .Key(VK_F1);
  dlg.DoModal();
  EXPECT_FALSE(portOpen);
}

// With a health view the reception thread follows a receiver that says
// nothing: it sleeps until the receiver speaks, and the reconnection's
// steps must still wake it.
class ReconnectionTest : public StreamingTest, public testing::WithParamInterface<bool> {};
INSTANTIATE_TEST_SUITE_P(HealthView, ReconnectionTest, testing::Bool());

TEST_P(ReconnectionTest, ALostCasterIsReconnectedAndTheStreamResumes) {
  Str2StrCaster caster(Options());
  ASSERT_TRUE(caster.Start()) << caster.Log();
  Configure(caster.casterPort(), "", /*output=*/0, /*attempts=*/10, /*interval=*/1);
  ReceiverReader reader(pty);
  CFieldcastDlg dlg;
  if (GetParam()) dlg.m_health.WantReceiver();
  int attemptsAfterLoss = 0;
  std::wstring lossStatus;
  display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
      .WaitUntil(StreamFlowing(caster, reader))
      .Do([&] { caster.Kill(); })
      .WaitUntil([&] { return Status(dlg) == L"ERROR: Connection to Server failed."; })
      .Do([&] {
        lossStatus = Status(dlg);
        ASSERT_TRUE(caster.Restart()) << caster.Log();
      })
      .WaitUntil([&] {
        const size_t before = reader.Size();
        (void)caster.Feed("R");
        return reader.Size() > before || reader.Bytes().find('R') != std::string::npos;
      })
      .Do([&] { attemptsAfterLoss = dlg.m_nAttemptsLeft; })
      .Key(VK_F1)
      .Key(VK_F1);
  dlg.DoModal();
  EXPECT_EQ(lossStatus, L"ERROR: Connection to Server failed.");
  EXPECT_NE(reader.Bytes().find('R'), std::string::npos);
  EXPECT_EQ(attemptsAfterLoss, 10);  // an accepted stream restores the attempts
}

TEST_F(StreamingTest, UsedUpAttemptsEndTheRun) {
  Str2StrCaster caster(Options());
  ASSERT_TRUE(caster.Start()) << caster.Log();
  Configure(caster.casterPort(), "", /*output=*/0, /*attempts=*/1, /*interval=*/1);
  ReceiverReader reader(pty);
  CFieldcastDlg dlg;
  display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
      .WaitUntil(StreamFlowing(caster, reader))
      .Do([&] { caster.Kill(); })
      .WaitUntil([&] { return dlg.m_bRunning == 0; })
      .Key(VK_F1);
  dlg.DoModal();
  EXPECT_EQ(display.Info().statusLine, L"ERROR: Connection to Server failed.");
}

TEST_F(StreamingTest, StopDuringAReceiveWaitReturnsToIdleAtOnce) {
  Str2StrCaster caster(Options());
  ASSERT_TRUE(caster.Start()) << caster.Log();
  Configure(caster.casterPort(), "", /*output=*/1);
  CFieldcastDlg dlg;
  std::chrono::steady_clock::duration stopTook{};
  display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
      .WaitUntil([&] {
        (void)caster.Feed("z");
        return Status(dlg) == L"Reading data stream...";
      })
      .Do([&] {
        // Nothing more is fed: the output thread now waits in its receive.
        const auto started = std::chrono::steady_clock::now();
        dlg.NotifyCommand(IDC_STOP, 0);
        stopTook = std::chrono::steady_clock::now() - started;
      })
      .WaitUntil([&] { return dlg.m_socket.m_bConnected == false; })
      .Key(VK_F1);
  dlg.DoModal();
  EXPECT_EQ(display.Info().statusLine, L"Adjust Settings or press START");
  // The pause is 600 ms; far less than the 20-second receive wait.
  EXPECT_LT(stopTook, std::chrono::seconds(10));
}
