// The program as a service: no terminal, status changes on standard output,
// SIGTERM ends it cleanly after saving the settings.
#include <signal.h>

#include <gtest/gtest.h>

#include <cctype>

#include "support/Process.h"
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

TEST(Headless, PrintsTheStatusLineAndEndsCleanlyOnSigterm) {
  TempDir dir;
  Process program({ProgramPath(), "--headless", "--dir", dir.path()}, {}, dir.File("out.log"));
  ASSERT_TRUE(WaitFor([&] { return dir.Read("out.log").find("source table") != std::string::npos; })) << dir.Read("out.log");
  program.Signal(SIGTERM);
  EXPECT_EQ(program.WaitExit(), 0);
  const std::string log = dir.Read("out.log");
  EXPECT_TRUE(HasStampedLine(log, "ERROR: Corrupt or no source table.")) << log;
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
