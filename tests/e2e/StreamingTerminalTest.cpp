// A whole session in a terminal, as a person would have it: fetch the
// caster's table, pick the stream, start, watch the bytes count, stop.
#include <gtest/gtest.h>

#include "support/PtyPair.h"
#include "support/ScreenText.h"
#include "support/SettingsIni.h"
#include "support/Str2StrCaster.h"
#include "support/TempDir.h"
#include "support/Tmux.h"
#include "support/WaitFor.h"

using namespace testing_support;

TEST(TerminalSession, UpdateTheTableChooseTheStreamStartWatchStop) {
  Str2StrCaster caster(RelayOptions());
  ASSERT_TRUE(caster.Start()) << caster.Log();
  PtyPair receiver;
  ASSERT_TRUE(receiver.ok());
  TempDir dir;
  dir.Write("GNSS.ini", SettingsIni{.caster = LocalCaster(caster.casterPort()), .output = 0}.Text());
  Tmux tmux("FIELDCAST_COM1=" + ShellQuote(receiver.SlavePath()) + " " + ShellQuote(ProgramPath()) + " --dir " +
            ShellQuote(dir.path()));
  ASSERT_TRUE(tmux.WaitForText("Update source table")) << tmux.Capture();

  // Start with "Update source table" chosen fetches the caster's table.
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitForText("Updated source table.")) << tmux.Capture();
  ASSERT_TRUE(tmux.WaitForText("relay/RTK/GPS+GLO/TEST")) << tmux.Capture();

  // Down to the stream spinner and back up to Start; the stream stays chosen.
  tmux.SendKeys({"Down", "Down", "Down", "Down", "Right", "Up", "Up", "Up", "Up", "Enter"});
  ASSERT_TRUE(WaitFor([&] {
    (void)caster.Feed(std::string(300, 'd'));
    (void)receiver.ReadMasterAvailable();
    return tmux.Capture().find("Writing data to COM1...") != std::string::npos;
  })) << tmux.Capture();
  const long long first = ShownBytes(tmux.Capture());
  ASSERT_TRUE(WaitFor([&] {
    (void)caster.Feed(std::string(300, 'd'));
    (void)receiver.ReadMasterAvailable();
    return ShownBytes(tmux.Capture()) > first;
  })) << tmux.Capture();

  // Stop has the focus while running.
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitForText("Adjust Settings or press START")) << tmux.Capture();
  EXPECT_EQ(ShownBytes(tmux.Capture()), 0);
  tmux.SendKeys({"F1"});
  ASSERT_TRUE(tmux.WaitForExit()) << tmux.Capture();
  EXPECT_NE(dir.Read("GNSS.ini").find("Mount Point=MP1\n"), std::string::npos) << dir.Read("GNSS.ini");
}
