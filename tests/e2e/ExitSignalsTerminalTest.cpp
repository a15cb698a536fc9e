// The terminal program asked to end from outside - its terminal gone, a
// hang-up, SIGTERM or SIGINT - acts as Exit from wherever the person was:
// open dialogs end as cancelled, a running stream stops and frees its port,
// the settings are saved, and the exit status is 0.
#include <signal.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "support/PtyPair.h"
#include "support/ScriptedCaster.h"
#include "support/TempDir.h"
#include "support/Tmux.h"
#include "support/WaitFor.h"

using namespace testing_support;

namespace {

constexpr char kTable[] = "STR;MP1;Town;RTCM 3.0;x;2;GPS;Net;DEU;1;2;0;0;g;none;N;N;1;m\r\nENDSOURCETABLE\r\n";

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

// The pane's shell runs the program and notes its own number and then the
// program's exit status.
std::string Command(const TempDir& dir, const std::string& arguments = {}) {
  return "echo $$ > " + ShellQuote(dir.File("shell")) + "; " + ShellQuote(ProgramPath()) + " --dir " +
         ShellQuote(dir.path()) + arguments + "; echo $? > " + ShellQuote(dir.File("status"));
}

// The program: the shell's child.
pid_t ProgramPid(const TempDir& dir) {
  pid_t pid = 0;
  WaitFor([&] {
    if (!dir.Exists("shell")) return false;
    const std::string shell = dir.Read("shell");
    std::ifstream children("/proc/" + std::to_string(std::stoi(shell)) + "/task/" + std::to_string(std::stoi(shell)) +
                           "/children");
    return static_cast<bool>(children >> pid);
  });
  return pid;
}

// The exit status the shell noted, -1 when there is none.
int ExitStatus(const TempDir& dir) {
  if (!WaitFor([&] { return dir.Exists("status") && !dir.Read("status").empty(); })) return -1;
  return std::stoi(dir.Read("status"));
}

// Gone, or a zombie nobody reaps (the tmux server that started it is gone).
bool Ended(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  if (!std::getline(stat, text)) return true;
  const size_t close = text.rfind(')');
  return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z';
}

}  // namespace

TEST(ExitSignalsTerminal, AnEndFromOutsideInsideDialogsSavesAndEnds) {
  const struct {
    const char* legend;
    std::vector<std::vector<std::string>> keys;  // each group opens a dialog
    std::vector<std::string> shown;              // what each opened dialog shows
    int signal;                                  // 0: the terminal goes away
  } cases[] = {
      {"the terminal closed in Broadcaster", {{"Up", "Up", "Enter"}}, {"Host:Port"}, 0},
      {"SIGHUP in Broadcaster", {{"Up", "Up", "Enter"}}, {"Host:Port"}, SIGHUP},
      {"SIGTERM in Com-Port Settings inside Settings", {{"Up", "Enter"}, {"Space", "Down", "Down", "Enter"}},
       {"Select Output", "COM-Port Settings"}, SIGTERM},
      {"SIGINT in Settings", {{"Up", "Enter"}}, {"Select Output"}, SIGINT},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    TempDir dir;
    dir.Write("sourcetable.dat", kTable);
    Tmux tmux(Command(dir));
    ASSERT_TRUE(tmux.WaitForText("Adjust Settings or press START")) << tmux.Capture();
    for (size_t i = 0; i < c.keys.size(); ++i) {
      tmux.SendKeys(c.keys[i]);
      ASSERT_TRUE(tmux.WaitForText(c.shown[i])) << tmux.Capture();
    }
    const pid_t pid = ProgramPid(dir);
    ASSERT_GT(pid, 0);
    if (c.signal == 0) {
      tmux.KillServer();
    } else {
      ASSERT_EQ(kill(pid, c.signal), 0);
    }
    const bool ended = WaitFor([&] { return Ended(pid); });
    if (!ended) kill(pid, SIGKILL);  // never left behind, whatever went wrong
    ASSERT_TRUE(ended) << "still running (spinning?) after: " << c.legend;
    EXPECT_EQ(Lines(dir.Read("GNSS.ini")), 18);
    if (c.signal != 0) {
      EXPECT_EQ(ExitStatus(dir), 0) << tmux.Capture();
    }
  }
}

// The port is opened exclusively; a program killed while streaming left it
// so, and the next run could not open it as long as another program (here
// the test) held the device open.
TEST(ExitSignalsTerminal, SigtermWhileStreamingStopsTheStreamAndFreesThePort) {
  ScriptedCaster caster([](ScriptedCaster::Client& client) {
    if (!client.Send("ICY 200 OK\r\n")) return;
    while (client.Send("rtcm") && client.Pause(std::chrono::milliseconds(200))) {
    }
  });
  PtyPair receiver;  // its slave stays open in this process throughout
  ASSERT_TRUE(receiver.ok());
  TempDir dir;
  dir.Write("sourcetable.dat", kTable);
  dir.Write("GNSS.ini", "[NtripCaster]\nIP Port=127.0.0.1:" + std::to_string(caster.port()) +
                            "\nPassword=\nAttemps=10\nTime=10\n[Settings]\nOutput=0\n[COM-Port]\nCOM-Port=COM1\n"
                            "Baudrate=115200\nDatabits=8 data bits\nParity=no parity\nStop Bits=1 stop bit\n"
                            "[GNSS]\nMount Point=MP1\nNetwork=All\n[Design]\nColour=\n");
  const std::string start = "export FIELDCAST_COM1=" + ShellQuote(receiver.SlavePath()) + "; ";
  {
    Tmux tmux(start + Command(dir, " --start"));
    ASSERT_TRUE(tmux.WaitForText("Writing data to COM1...")) << tmux.Capture();
    ASSERT_EQ(kill(ProgramPid(dir), SIGTERM), 0);
    EXPECT_EQ(ExitStatus(dir), 0) << tmux.Capture();
  }
  const std::string saved = dir.Read("GNSS.ini");
  EXPECT_EQ(Lines(saved), 18);
  EXPECT_NE(saved.find("\nOutput=0\n"), std::string::npos) << saved;
  std::filesystem::remove(dir.File("status"));
  Tmux again(start + Command(dir, " --start"));
  ASSERT_TRUE(again.WaitForText("Writing data to COM1...")) << again.Capture();
  again.SendKeys({"F1"});
  ASSERT_TRUE(again.WaitForText("Adjust Settings or press START")) << again.Capture();
  again.SendKeys({"F1"});
  EXPECT_EQ(ExitStatus(dir), 0) << again.Capture();
}
