// The program as a service: no terminal, status changes on standard output,
// SIGTERM ends it cleanly after saving the settings.
#include <signal.h>

#include <gtest/gtest.h>

#include <cctype>

#include "support/Process.h"
#include "support/PtyPair.h"
#include "support/SettingsIni.h"
#include "support/Str2StrCaster.h"
#include "support/Tmux.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"

using testing_support::Process;
using testing_support::ProgramPath;
using testing_support::TempDir;
using testing_support::WaitFor;

namespace {

// A line "YYYY-MM-DDTHH:MM:SS.mmm <text>".
bool HasStampedLine(const std::string& log, const std::string& text) {
  const std::string shape = "dddd-dd-ddTdd:dd:dd.ddd ";
  for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
    if (at < shape.size()) continue;
    const std::string stamp = log.substr(at - shape.size(), shape.size());
    bool ok = at == shape.size() || log[at - shape.size() - 1] == '\n';
    for (size_t i = 0; ok && i < shape.size(); ++i)
      ok = shape[i] == 'd' ? std::isdigit(static_cast<unsigned char>(stamp[i])) != 0 : stamp[i] == shape[i];
    if (ok) return true;
  }
  return false;
}

}  // namespace

TEST(Headless, SigintActsAsExitToo) {
  TempDir dir;
  dir.Write("sourcetable.dat", "STR;M;Town;RTCM 3.0;x;2;GPS;Net;DEU;1;2;0;0;g;none;N;N;1;m\r\nENDSOURCETABLE\r\n");
  Process program({ProgramPath(), "--headless", "--dir", dir.path()}, {}, dir.File("out.log"));
  ASSERT_TRUE(WaitFor([&] { return dir.Read("out.log").find("Adjust Settings or press START") != std::string::npos; }))
      << dir.Read("out.log");
  program.Signal(SIGINT);
  EXPECT_EQ(program.WaitExit(), 0);
  EXPECT_NE(dir.Read("GNSS.ini").find("[Design]\nColour=\n"), std::string::npos);
}

// SIGTERM while streaming stops the run, saves, and is no error.
TEST(Headless, StartRunsTheStreamAsAService) {
  testing_support::Str2StrCaster caster(testing_support::RelayOptions());
  ASSERT_TRUE(caster.Start()) << caster.Log();
  testing_support::PtyPair receiver;
  ASSERT_TRUE(receiver.ok());
  TempDir dir;
  dir.Write("GNSS.ini", testing_support::SettingsIni{.caster = testing_support::LocalCaster(caster.casterPort()),
                                                     .output = 0, .mountPoint = "MP1"}.Text());
  dir.Write("sourcetable.dat", testing_support::OneStreamTable());
  Process program({ProgramPath(), "--headless", "--start", "--dir", dir.path()},
                  {"FIELDCAST_COM1=" + receiver.SlavePath()}, dir.File("out.log"));
  std::string received;
  ASSERT_TRUE(WaitFor([&] {
    (void)caster.Feed("rtcm");
    received += receiver.ReadMasterAvailable();
    return received.find("rtcm") != std::string::npos && HasStampedLine(dir.Read("out.log"), "Writing data to COM1...");
  })) << dir.Read("out.log");
  program.Signal(SIGTERM);
  EXPECT_EQ(program.WaitExit(), 0);
  const std::string log = dir.Read("out.log");
  EXPECT_TRUE(HasStampedLine(log, "Adjust Settings or press START")) << log;  // stopped before saving
  for (const char* text : {"ERROR", "Error", "reason:"}) EXPECT_EQ(log.find(text), std::string::npos) << text << "\n" << log;
  EXPECT_NE(dir.Read("GNSS.ini").find("Mount Point=MP1\n"), std::string::npos);
  const std::string startLine = "fieldcast: streaming MP1 from 127.0.0.1:" + std::to_string(caster.casterPort()) +
                                " to COM1 (" + receiver.SlavePath() + ", 115200 8N1)\n";
  EXPECT_NE(log.find(startLine), std::string::npos) << log;
}

// A service handed an empty folder has no caster: it says so and ends at
// once, without trying ":0". --branding sets the branding it saves.
TEST(Headless, StartWithoutACasterEndsWithoutAnAttemptAndSaysWhy) {
  TempDir dir;
  Process program({ProgramPath(), "--headless", "--start", "--branding", "corvo", "--dir", dir.path()}, {},
                  dir.File("out.log"));
  EXPECT_EQ(program.WaitExit(), 1);
  const std::string log = dir.Read("out.log");
  EXPECT_TRUE(HasStampedLine(log, "ERROR: Connection to Server failed.")) << log;
  EXPECT_NE(log.find("reason: no caster is set"), std::string::npos) << log;
  EXPECT_EQ(log.find("Connecting to Server"), std::string::npos) << log;
  EXPECT_EQ(log.find("fieldcast: streaming"), std::string::npos) << log;
  EXPECT_NE(dir.Read("GNSS.ini").find("[Design]\nColour=Corvo\n"), std::string::npos) << dir.Read("GNSS.ini");
}
