// A receiver that never sends an accepted GGA sentence: the run stops after
// a little more than a minute with the quoted error, and the trace names a
// talker the receiver does use. The minute passes on the program's clock.
#include <thread>

#include "app/GgaFixture.h"
#include "platform/Clock.h"
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
    bool runningAt59 = false;
    std::wstring status;
    display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
        .WaitUntil([&] { return Status(dlg) == L"Reading NMEA data..."; })
        .Do([&] {
          platform::AdvanceMonotonicClock(59'000);
          std::this_thread::sleep_for(std::chrono::milliseconds(500));  // a few turns of the capture
          runningAt59 = dlg.m_bRunning != 0;
          platform::AdvanceMonotonicClock(2'000);
        })
        .WaitUntil([&] { return dlg.m_bRunning == 0; }, std::chrono::seconds(20))
        .Do([&] {
          status = Status(dlg);
          if (dlg.m_bRunning) dlg.NotifyCommand(IDC_STOP, 0);  // a run that never stops fails, not hangs
        })
        .Key(VK_F1);
    dlg.DoModal();
    platform::SetTraceTarget(platform::TraceTarget::None);
    EXPECT_TRUE(runningAt59);
    EXPECT_EQ(status, L"ERROR: Failed read data from COM1");
    EXPECT_EQ(caster.Connections(), 0);
    const std::string trace = dir.Read("trace.log");
    if (*s.traced != '\0') EXPECT_NE(trace.find(s.traced), std::string::npos) << trace;
    else EXPECT_EQ(trace.find("--gga-talkers"), std::string::npos) << trace;
  }
}
