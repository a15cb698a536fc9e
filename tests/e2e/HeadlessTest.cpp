// The program as a service: no terminal, status changes on standard output,
// SIGTERM ends it cleanly after saving the settings.
#include <signal.h>

#include <gtest/gtest.h>

#include <regex>

#include "support/Process.h"
#include "support/Tmux.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"

using testing_support::Process;
using testing_support::ProgramPath;
using testing_support::TempDir;
using testing_support::WaitFor;

TEST(Headless, PrintsTheStatusLineAndEndsCleanlyOnSigterm) {
  TempDir dir;
  Process program({ProgramPath(), "--headless", "--dir", dir.path()}, {}, dir.File("out.log"));
  ASSERT_TRUE(WaitFor([&] { return dir.Read("out.log").find("source table") != std::string::npos; })) << dir.Read("out.log");
  program.Signal(SIGTERM);
  EXPECT_EQ(program.WaitExit(), 0);
  const std::string log = dir.Read("out.log");
  EXPECT_TRUE(std::regex_search(log, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3} ERROR: Corrupt or no source table\.)")))
      << log;
  EXPECT_TRUE(dir.Exists("GNSS.ini"));
}

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
