// The stream details view in a terminal, as a person uses it: fetch the
// caster's table, open Stream Details, page, scroll, Select, and find the
// stream chosen in the main window.
#include <gtest/gtest.h>

#include "support/ScriptedCaster.h"
#include "support/TempDir.h"
#include "support/SettingsIni.h"
#include "support/Tmux.h"
#include "support/WaitFor.h"

using namespace testing_support;

TEST(TerminalSession, StreamDetailsPageScrollAndSelect) {
  // A real caster's table reply, served to the program's table request.
  ScriptedCaster caster({CasterScript{{ReadFileBytes(TestDataPath("sourcetables/sapos-ni-gnsmart-ntrip1-2026.sourcetable"))}}});
  TempDir dir;
  dir.Write("GNSS.ini", SettingsIni{.caster = LocalCaster(caster.port())}.Text());
  Tmux tmux(ShellQuote(ProgramPath()) + " --dir " + ShellQuote(dir.path()));
  ASSERT_TRUE(tmux.WaitForText("Update source table")) << tmux.Capture();
  tmux.SendKeys({"Enter"});  // Start with "Update source table": the download
  ASSERT_TRUE(tmux.WaitForText("Updated source table.")) << tmux.Capture();

  // From Start down past Stop to Stream Details.
  tmux.SendKeys({"Down", "Down", "Enter"});
  ASSERT_TRUE(tmux.WaitForText("Mountpoint: VRS_3_2G_NI")) << tmux.Capture();
  EXPECT_NE(tmux.Capture().find("Select"), std::string::npos);
  // The focus starts on Next; at the last entry it moves to Previous.
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitForText("Mountpoint: VRS_3_3G_NI")) << tmux.Capture();
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitForText("Mountpoint: VRS_3_4G_NI")) << tmux.Capture();
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitForText("Mountpoint: VRS_3_3G_NI")) << tmux.Capture();

  // The end of the text is a page further down; Up and PageUp bring the top back.
  EXPECT_EQ(tmux.Capture().find("Charges:"), std::string::npos) << tmux.Capture();
  tmux.SendKeys({"NPage", "NPage"});
  ASSERT_TRUE(tmux.WaitForText("Charges: No")) << tmux.Capture();
  EXPECT_EQ(tmux.Capture().find("Broadcaster:"), std::string::npos) << tmux.Capture();
  tmux.SendKeys({"Up", "PPage", "PPage"});
  ASSERT_TRUE(tmux.WaitForText("Broadcaster:")) << tmux.Capture();

  tmux.SendKeys({"F1"});  // Select
  ASSERT_TRUE(tmux.WaitForText("Adjust Settings or press START")) << tmux.Capture();
  ASSERT_TRUE(tmux.WaitForText("Openservice-VRS3")) << tmux.Capture();
  tmux.SendKeys({"F1"});
  ASSERT_TRUE(tmux.WaitForExit()) << tmux.Capture();
  EXPECT_NE(dir.Read("GNSS.ini").find("Mount Point=VRS_3_3G_NI\n"), std::string::npos) << dir.Read("GNSS.ini");
}
