// The program as a service under a service manager: why a run failed (one
// "reason:" line beside the status text), the exit status, and the
// reconnection countdown in the log.
#include <signal.h>

#include <gtest/gtest.h>

#include "support/Process.h"
#include "support/PtyPair.h"
#include "support/SettingsIni.h"
#include "support/Str2StrCaster.h"
#include "support/TempDir.h"
#include "support/Tmux.h"
#include "support/WaitFor.h"

using testing_support::Process;
using testing_support::ProgramPath;
using testing_support::Str2StrCaster;
using testing_support::TempDir;
using testing_support::WaitFor;

namespace {

constexpr char kEntry[] = "svc;RTCM 3.2;1004(1);2;GPS;NET;XXX;50.00;8.00;0;0;gen;none;N;N;9600;svc";

testing_support::Str2StrOptions CasterOptions(const std::string& user = {}, const std::string& password = {}) {
  return {user, password, "MP1", kEntry};
}

// Settings for the stream MP1 of `hostPort`, to COM1 (output 0) or nowhere (1).
void Configure(const TempDir& dir, const std::string& hostPort, const std::string& credentials, int output,
               int interval = 1) {
  dir.Write("GNSS.ini", testing_support::SettingsIni{.caster = hostPort, .credentials = credentials, .time = interval,
                                                     .output = output, .mountPoint = "MP1"}.Text());
  dir.Write("sourcetable.dat", testing_support::OneStreamTable(kEntry));
}

std::string Local(int port) { return testing_support::LocalCaster(port); }

}  // namespace

TEST(Service, ARunThatEndsOnAnErrorSaysWhyAndExitsNonZero) {
  struct Case {
    const char* legend;
    std::string hostPort;  // empty: the caster below
    std::string credentials;
    const char* com1;  // nullptr: a pseudo-terminal
    int output;
    const char* status;
    std::string reason;  // empty: the caster's address is put in front of `reasonTail`
    const char* reasonTail;
  } const cases[] = {
      {"refused", Local(testing_support::PickFreePort()), "", nullptr, 1, "ERROR: Connection to Server failed.", "",
       ": Connection refused"},
      {"unknown host", "caster.invalid:2101", "", nullptr, 1, "ERROR: Connection to Server failed.",
       "reason: caster host caster.invalid:2101: name not found", ""},
      {"wrong password", "", "user:wrong", nullptr, 1, "Adjust User-ID and Password", "",
       " answered: HTTP/1.0 401 Unauthorized"},
      {"missing device", "", "", "/nonexistent/tty", 0, "ERROR#5: Failed to set up COM1",
       "reason: COM1 is /nonexistent/tty: No such file or directory", ""},
  };
  Str2StrCaster caster(CasterOptions("user", "pass"));
  ASSERT_TRUE(caster.Start()) << caster.Log();
  testing_support::PtyPair receiver;
  ASSERT_TRUE(receiver.ok());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    TempDir dir;
    const std::string hostPort = c.hostPort.empty() ? Local(caster.casterPort()) : c.hostPort;
    Configure(dir, hostPort, c.credentials, c.output);
    Process program({ProgramPath(), "--headless", "--start", "--dir", dir.path()},
                    {"FIELDCAST_COM1=" + std::string(c.com1 ? c.com1 : receiver.SlavePath())}, dir.File("out.log"));
    EXPECT_EQ(program.WaitExit(60000), 1);
    const std::string log = dir.Read("out.log");
    EXPECT_NE(log.find(std::string(" ") + c.status + "\n"), std::string::npos) << log;
    const std::string reason = c.reason.empty() ? "reason: caster " + hostPort + c.reasonTail : c.reason;
    EXPECT_NE(log.find(reason + "\n"), std::string::npos) << log;
    EXPECT_TRUE(dir.Exists("GNSS.ini"));  // saved before the end
  }
}

TEST(Service, TheReconnectionWaitCountsDownAndTheStreamResumes) {
  Str2StrCaster caster(CasterOptions());
  ASSERT_TRUE(caster.Start()) << caster.Log();
  TempDir dir;
  Configure(dir, Local(caster.casterPort()), "", /*output=*/1, /*interval=*/3);
  Process program({ProgramPath(), "--headless", "--start", "--dir", dir.path()}, {}, dir.File("out.log"));
  auto logHas = [&](const std::string& text) { return dir.Read("out.log").find(text) != std::string::npos; };
  ASSERT_TRUE(WaitFor([&] {
    (void)caster.Feed("x");
    return logHas("Reading data stream...");
  })) << dir.Read("out.log");
  caster.Kill();
  // The stream brought less than a minute of data: 3 s doubled.
  ASSERT_TRUE(WaitFor([&] { return logHas("Reconnecting in 4 s (attempt 1 of 10)\n"); })) << dir.Read("out.log");
  ASSERT_TRUE(caster.Restart()) << caster.Log();
  const size_t before = dir.Read("out.log").size();
  ASSERT_TRUE(WaitFor([&] {
    (void)caster.Feed("y");
    return dir.Read("out.log").find("Reading data stream...", before) != std::string::npos;
  })) << dir.Read("out.log");
  program.Signal(SIGTERM);
  EXPECT_EQ(program.WaitExit(), 0);
  const std::string log = dir.Read("out.log");
  for (const char* line : {" ERROR: Connection to Server failed.\n", " Reconnecting in 5 s (attempt 1 of 10)\n",
                           " Reconnecting in 1 s (attempt 1 of 10)\n", "reason: caster " })
    EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
}
