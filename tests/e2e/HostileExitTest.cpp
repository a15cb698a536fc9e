// Ending the program when the world is against it: a caster that keeps a
// download going, a settings file that cannot be written. The program ends
// when asked, and never ends silently without the user's settings.
#include <signal.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "support/Process.h"
#include "support/ScriptedCaster.h"
#include "support/SettingsIni.h"
#include "support/TempDir.h"
#include "support/Tmux.h"
#include "support/WaitFor.h"

using testing_support::Process;
using testing_support::ProgramPath;
using testing_support::ScriptedCaster;
using testing_support::ShellQuote;
using testing_support::TempDir;
using testing_support::Tmux;
using testing_support::WaitFor;

namespace {

void WriteSettings(const TempDir& dir, int casterPort) {
  dir.Write("GNSS.ini", testing_support::SettingsIni{.caster = testing_support::LocalCaster(casterPort)}.Text());
}

// Even root cannot rename a file over a directory.
void BlockSettingsFile(const TempDir& dir) {
  std::filesystem::remove(dir.File("GNSS.ini"));
  std::filesystem::create_directories(dir.File("GNSS.ini") + "/in-the-way");
}

// The screen's text without blanks and line ends: a message box wraps its
// text at blanks, wherever the random folder name puts them.
std::string WithoutBlanks(const std::string& text) {
  std::string packed;
  for (char c : text)
    if (c != ' ' && c != '\n') packed.push_back(c);
  return packed;
}

}  // namespace

TEST(HostileExit, SigtermEndsTheProgramWhileACasterTricklesItsTable) {
  std::atomic<int> lines{0};
  std::atomic<bool> done{false};
  ScriptedCaster caster([&](ScriptedCaster::Client& client) {
    if (!client.Send("SOURCETABLE 200 OK\r\n")) return;
    for (; lines < 40; ++lines)
      if (!client.Pause(std::chrono::milliseconds(1500)) ||
          !client.Send("STR;T;Town;RTCM 3.0;1004;2;GPS;NET;DEU;50;8;0;0;gen;none;N;N;9600;x\r\n"))
        return;
    done = true;
  });
  TempDir dir;
  WriteSettings(dir, caster.port());
  Process program({ProgramPath(), "--headless", "--start", "--dir", dir.path()}, {}, dir.File("out.log"));
  ASSERT_TRUE(WaitFor([&] { return lines >= 2; })) << dir.Read("out.log");
  program.Signal(SIGTERM);
  EXPECT_EQ(program.WaitExit(), 0) << dir.Read("out.log");
  EXPECT_FALSE(done) << "the program waited for the caster";
}

TEST(HostileExit, HeadlessASettingsFileThatCannotBeWrittenIsReportedAndTheExitStatusIsNotZero) {
  TempDir dir;
  Process program({ProgramPath(), "--headless", "--dir", dir.path()}, {}, dir.File("out.log"));
  ASSERT_TRUE(WaitFor([&] { return dir.Read("out.log").find("source table") != std::string::npos; })) << dir.Read("out.log");
  BlockSettingsFile(dir);
  program.Signal(SIGTERM);
  EXPECT_EQ(program.WaitExit(), 1);
  const std::string log = dir.Read("out.log");
  EXPECT_NE(log.find("fieldcast: Settings not saved: cannot write " + dir.File("GNSS.ini") + " (Is a directory)."),
            std::string::npos)
      << log;
}

TEST(HostileExit, InTheTerminalAMessageBoxNamesTheFileAndTheReason) {
  TempDir dir;
  Tmux tmux(ShellQuote(ProgramPath()) + " --dir " + ShellQuote(dir.path()));
  ASSERT_TRUE(tmux.WaitForText("ERROR: Corrupt or no source table.")) << tmux.Capture();
  BlockSettingsFile(dir);
  tmux.SendKeys({"F1"});
  ASSERT_TRUE(tmux.WaitForText("Settings not saved")) << tmux.Capture();
  const std::string screen = tmux.Capture();
  EXPECT_NE(WithoutBlanks(screen).find(WithoutBlanks(dir.File("GNSS.ini") + " (Is a directory)")), std::string::npos)
      << screen;
  EXPECT_TRUE(tmux.Alive());  // the box waits for the person
  tmux.SendKeys({"F1"});
  EXPECT_TRUE(tmux.WaitForExit()) << tmux.Capture();
}
