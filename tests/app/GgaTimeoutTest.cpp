// A receiver that never sends an accepted GGA sentence: the run stops after
// a little more than a minute with the quoted error, and the trace names a
// talker the receiver does use.
#include "app/GgaFixture.h"
#include "platform/Trace.h"

namespace {

struct Silent {
  const char* legend;
  const char* capture;
  bool (*keep)(const std::string& line);
  const char* traced;  // expected in the debug trace, or empty
};

const Silent kSilent[] = {
    {"RMC and GSV only", "skytraq-s2525f8-gpgga-dgps-fix2-2016.gpsd.log",
     [](const std::string& line) { return line.find("RMC,") != std::string::npos || line.find("GSV,") != std::string::npos; },
     ""},
    {"$GNGGA only, default talkers", "ublox-zed-f9p-gngga-multignss-2019.gpsd.log", nullptr,
     "the receiver sends $GNGGA, which is not accepted; start with --gga-talkers GP,GN"},
};

}  // namespace

TEST_F(GgaTest, WithoutAnAcceptedSentenceTheRunStopsAfterAMinute) {
  for (const Silent& s : kSilent) {
    SCOPED_TRACE(s.legend);
    RecordingCaster caster;
    ConfigureNmeaStream(caster.port());
    ASSERT_TRUE(platform::SetTraceTarget(platform::TraceTarget::File, dir.File("trace.log")));
    CFieldcastDlg dlg;
    NmeaReceiver receiver(pty, NmeaReceiver::Epochs(s.capture, s.keep));
    std::chrono::steady_clock::time_point started, stopped;
    std::wstring status;
    display.Do([&] {
             started = std::chrono::steady_clock::now();
             dlg.NotifyCommand(IDC_START, 0);
           })
        .WaitUntil([&] { return dlg.m_bRunning == 0; }, std::chrono::seconds(120))
        .Do([&] {
          stopped = std::chrono::steady_clock::now();
          status = Status(dlg);
        })
        .Key(VK_F1);
    dlg.DoModal();
    platform::SetTraceTarget(platform::TraceTarget::None);
    EXPECT_EQ(status, L"ERROR: Failed read data from COM1");
    EXPECT_GE(stopped - started, std::chrono::seconds(60));
    EXPECT_EQ(caster.Connections(), 0);
    const std::string trace = dir.Read("trace.log");
    if (*s.traced != '\0') EXPECT_NE(trace.find(s.traced), std::string::npos) << trace;
    else EXPECT_EQ(trace.find("--gga-talkers"), std::string::npos) << trace;
  }
}
