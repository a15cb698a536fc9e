// A burst of Enter presses on Start/Stop in a real terminal: each Stop waits
// for the connection to wind down, so the burst takes many seconds; the
// screen must follow it instead of freezing until the last key.
#include <gtest/gtest.h>

#include "support/ScriptedCaster.h"
#include "support/SettingsIni.h"
#include "support/TempDir.h"
#include "support/Tmux.h"
#include "support/WaitFor.h"

using namespace testing_support;

TEST(TerminalKeyBurst, TheScreenFollowsABurstOfStartAndStop) {
  ScriptedCaster caster({{{}, /*hold=*/true}});  // accepts and never answers: the run stays up
  TempDir dir;
  dir.Write("GNSS.ini", SettingsIni{.caster = LocalCaster(caster.port()), .attempts = 1, .mountPoint = "MP1"}.Text());
  dir.Write("sourcetable.dat", "STR;MP1;Town;RTCM 3.0;x;2;GPS;Net;DEU;1;2;0;0;g;none;N;N;1;m\r\nENDSOURCETABLE\r\n");
  Tmux tmux(ShellQuote(ProgramPath()) + " --dir " + ShellQuote(dir.path()));
  ASSERT_TRUE(tmux.WaitForText("Adjust Settings or press START")) << tmux.Capture();
  tmux.SendKeys({"Enter"});  // Start has the focus; then Stop has it while running
  ASSERT_TRUE(tmux.WaitForText("Connected to Server")) << tmux.Capture();

  // Stop, Start, ..., Stop: 21 Stops of a few hundred milliseconds each, then Exit.
  std::vector<std::string> burst(41, "Enter");
  burst.push_back("F1");
  tmux.SendKeys(burst);
  // The first Stop must show on screen while the program still works
  // through the burst (the Exit at its end has not come yet).
  bool seenWhileAlive = false;
  ASSERT_TRUE(WaitFor([&] {
    if (tmux.Capture().find("Adjust Settings or press START") == std::string::npos) return !tmux.Alive();
    seenWhileAlive = tmux.Alive();
    return true;
  })) << tmux.Capture();
  EXPECT_TRUE(seenWhileAlive) << "the screen stood still until the burst was over";
  ASSERT_TRUE(tmux.WaitForExit()) << tmux.Capture();
}
