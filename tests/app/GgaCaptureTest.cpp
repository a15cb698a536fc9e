// GGA capture against a receiver that sends real NMEA at its own pace: the
// caster gets exactly the receiver's sentence, a split sentence is joined,
// a second run takes the remembered one, other talkers on request, and the
// position followed while the corrections still arrive byte for byte.
#include <algorithm>
#include <thread>

#include "app/GgaFixture.h"

namespace {

constexpr char kSkytraq[] = "skytraq-s2525f8-gpgga-dgps-fix2-2016.gpsd.log";
constexpr char kZedF9p[] = "ublox-zed-f9p-gngga-multignss-2019.gpsd.log";

bool NoGga(const std::string& line) { return line.find("GGA,") == std::string::npos; }

}  // namespace

TEST_F(GgaTest, TheCasterGetsTheReceiversSentenceAndASecondRunTakesTheRememberedOne) {
  RecordingCaster caster;
  ConfigureNmeaStream(caster.port());
  CFieldcastDlg dlg;
  auto receiver = std::make_unique<NmeaReceiver>(pty, NmeaReceiver::Epochs(kSkytraq));
  std::wstring statusWhileStreaming;
  display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
      .WaitUntil([&] { return caster.Lines().size() == 1; })
      .Do([&] {
        statusWhileStreaming = Status(dlg);
        dlg.NotifyCommand(IDC_STOP, 0);
        // From now on the receiver sends no GGA at all.
        receiver.reset();
        receiver = std::make_unique<NmeaReceiver>(pty, NmeaReceiver::Epochs(kSkytraq, NoGga));
        dlg.NotifyCommand(IDC_START, 0);
      })
      .WaitUntil([&] { return caster.Lines().size() == 2; })
      .Do([&] { dlg.NotifyCommand(IDC_STOP, 0); })
      .Key(VK_F1);
  dlg.DoModal();
  const auto lines = caster.Lines();
  ASSERT_EQ(lines.size(), 2u) << caster.Uploaded();
  EXPECT_TRUE(IsOneOf(lines[0].text, SentencesOf(kSkytraq, "GGA"))) << lines[0].text;
  EXPECT_EQ(lines[1].connection, 2);
  EXPECT_EQ(lines[1].text, lines[0].text);
}

// The receiver's sentence comes in two reads: the first ends inside it.
TEST_F(GgaTest, ASentenceSplitAcrossTwoReadsIsUploadedWhole) {
  RecordingCaster caster;
  ConfigureNmeaStream(caster.port());
  const std::string rmc = SentencesOf(kSkytraq, "RMC")[0] + "\r\n";
  const std::string gga = SentencesOf(kSkytraq, "GGA")[1];
  CFieldcastDlg dlg;
  display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
      .WaitUntil([&] { return Status(dlg) == L"Waiting for NMEA data on COM1..."; })
      .Do([&] { ASSERT_TRUE(pty.WriteMaster(rmc + gga.substr(0, 40))); })
      .WaitUntil([&] { return dlg.m_serialPort.BytesWaiting() == 0; })
      .Do([&] { ASSERT_TRUE(pty.WriteMaster(gga.substr(40) + "\r\n" + rmc)); })
      .WaitUntil([&] { return !caster.Lines().empty(); })
      .Do([&] { dlg.NotifyCommand(IDC_STOP, 0); })
      .Key(VK_F1);
  dlg.DoModal();
  EXPECT_EQ(caster.Uploaded(), gga + "\r\n");
}

// Fewer than 51 waiting bytes are left waiting, however complete; the 51st
// lets the capture read them.
TEST_F(GgaTest, TheCaptureReadsOnceFiftyOneBytesWait) {
  RecordingCaster caster;
  ConfigureNmeaStream(caster.port());
  const std::string gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,,,,*77\r\n";  // 50 bytes
  CFieldcastDlg dlg;
  bool leftWaiting = false;
  display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
      .WaitUntil([&] { return Status(dlg) == L"Waiting for NMEA data on COM1..."; })
      .Do([&] { ASSERT_TRUE(pty.WriteMaster(gga)); })
      .WaitUntil([&] { return dlg.m_serialPort.BytesWaiting() == 50; })
      .Do([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));  // a few turns of the capture
        leftWaiting = dlg.m_serialPort.BytesWaiting() == 50 && caster.Lines().empty();
        ASSERT_TRUE(pty.WriteMaster("\n"));
      })
      .WaitUntil([&] { return !caster.Lines().empty(); }, std::chrono::seconds(20))
      .Do([&] { dlg.NotifyCommand(IDC_STOP, 0); })
      .Key(VK_F1);
  dlg.DoModal();
  EXPECT_TRUE(leftWaiting);
  EXPECT_EQ(caster.Uploaded(), gga);
}

TEST_F(GgaTest, AGnggaReceiverWorksWhenItsTalkerIsAccepted) {
  RecordingCaster caster;
  ConfigureNmeaStream(caster.port());
  CFieldcastDlg dlg;
  dlg.m_ggaOptions.talkers = {L"GP", L"GN"};
  NmeaReceiver receiver(pty, NmeaReceiver::Epochs(kZedF9p));
  display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
      .WaitUntil([&] { return !caster.Lines().empty(); })
      .Do([&] { dlg.NotifyCommand(IDC_STOP, 0); })
      .Key(VK_F1);
  dlg.DoModal();
  ASSERT_EQ(caster.Lines().size(), 1u);
  EXPECT_TRUE(IsOneOf(caster.Lines()[0].text, SentencesOf(kZedF9p, "GGA"))) << caster.Uploaded();
}

// With an interval, the newest sentence goes up again and again, while the
// stream reaches the receiver unchanged: the reads of the receiver's output
// do not disturb the writes of corrections on the same port.
TEST_F(GgaTest, WithAnIntervalTheCasterGetsFreshSentencesAndTheStreamStaysWhole) {
  const std::string stream =
      testing_support::ReadFileBytes(testing_support::TestDataPath("rtcm/caster-stream-raw-rtcm3-msm7.pygnssutils.bin"));
  // 63 kB at 5 kB a second: about thirteen seconds of stream.
  RecordingCaster caster(stream, 250, std::chrono::milliseconds(50));
  ConfigureNmeaStream(caster.port());
  CFieldcastDlg dlg;
  dlg.m_ggaOptions.intervalSeconds = 5;
  // The receiver starts once the port is open: the pseudo-terminal echoes
  // what comes before the program makes it raw.
  std::unique_ptr<NmeaReceiver> receiver;
  std::unique_ptr<ReceiverReader> reader;
  display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
      .WaitUntil([&] { return Status(dlg) == L"Waiting for NMEA data on COM1..."; })
      .Do([&] {
        (void)pty.ReadMasterAvailable();
        reader = std::make_unique<ReceiverReader>(pty);
        receiver = std::make_unique<NmeaReceiver>(pty, NmeaReceiver::Epochs(kSkytraq));
      })
      .WaitUntil([&] { return reader->Size() >= stream.size() && caster.Lines().size() >= 3; })
      .Do([&] { dlg.NotifyCommand(IDC_STOP, 0); })
      .Key(VK_F1);
  dlg.DoModal();
  ASSERT_TRUE(reader);
  const std::string got = reader->Bytes();
  const auto differ = std::mismatch(got.begin(), got.end(), stream.begin(), stream.end());
  EXPECT_TRUE(got == stream) << got.size() << " bytes of " << stream.size() << ", first difference at "
                             << (differ.first - got.begin()) << ": " << got.substr(differ.first - got.begin(), 8);
  const auto lines = caster.Lines();
  ASSERT_GE(lines.size(), 3u);
  const auto sentences = SentencesOf(kSkytraq, "GGA");
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].connection, 1);
    EXPECT_TRUE(IsOneOf(lines[i].text, sentences)) << lines[i].text;
    if (i == 0) continue;
    EXPECT_NE(lines[i].text, lines[i - 1].text) << "not fresh";
    // Never sooner than the interval; the upper bound only catches a stall.
    const auto gap = lines[i].when - lines[i - 1].when;
    EXPECT_GE(gap, std::chrono::milliseconds(4500));
    EXPECT_LE(gap, std::chrono::seconds(15));
  }
}
