// The program in a real terminal: what a person sees and what the keys do.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/SettingsIni.h"
#include "support/TempDir.h"
#include "support/Tmux.h"

using testing_support::ProgramPath;
using testing_support::ShellQuote;
using testing_support::TempDir;
using testing_support::TestDataPath;
using testing_support::Tmux;

namespace {

std::string Command(const TempDir& dir) { return ShellQuote(ProgramPath()) + " --dir " + ShellQuote(dir.path()); }

void CopySourceTable(const TempDir& dir) {
  dir.Write("sourcetable.dat", testing_support::ReadFileBytes(TestDataPath("sourcetables/sapos-ni-gnsmart-ntrip1-2026.sourcetable")));
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

}  // namespace

TEST(Terminal, FreshDirectoryShowsTheMainWindowAndExitWritesTheSettings) {
  TempDir dir;
  Tmux tmux(Command(dir));
  // Without a stored source table the status line says so.
  ASSERT_TRUE(tmux.WaitForText("ERROR: Corrupt or no source table.")) << tmux.Capture();
  tmux.SendKeys({"F1"});
  ASSERT_TRUE(tmux.WaitForExit()) << tmux.Capture();
  const std::string ini = dir.Read("GNSS.ini");
  EXPECT_EQ(Lines(ini), 18) << ini;
  EXPECT_EQ(ini.rfind("[NtripCaster]\nIP Port=\n", 0), 0u) << ini;
}

TEST(Terminal, ColourCorvoGivesTheRedBrandingAndOtherValuesDoNot) {
  for (const std::string design : {"Corvo", "corvo"}) {
    SCOPED_TRACE(design);
    TempDir dir;
    CopySourceTable(dir);
    dir.Write("GNSS.ini",
              testing_support::SettingsIni{.caster = "127.0.0.1:2101", .time = 10, .baud = "19200", .design = design}.Text());
    Tmux tmux(Command(dir));
    ASSERT_TRUE(tmux.WaitForText("Adjust Settings or press START")) << tmux.Capture();
    // The page red (240, 28, 10) is drawn as the terminal's nearest red.
    const std::string colours = tmux.Capture(/*withEscapes=*/true);
    const bool red = colours.find("48;5;196m") != std::string::npos || colours.find("48;2;240;28;10") != std::string::npos;
    EXPECT_EQ(red, design == "Corvo") << colours;
    tmux.SendKeys({"F1"});
    ASSERT_TRUE(tmux.WaitForExit());
    EXPECT_NE(dir.Read("GNSS.ini").find("Colour=" + design + "\n"), std::string::npos);
  }
}

// Alt+x is no Back key (which would end the program here), and a terminal
// too small for the window says so instead of clipping it.
TEST(Terminal, AltKeysAreNotBackAndASmallTerminalSaysWhatItNeeds) {
  TempDir dir;
  CopySourceTable(dir);
  Tmux tmux(Command(dir), 30, 10);
  ASSERT_TRUE(tmux.WaitForText("Window too small: 40x16 needed")) << tmux.Capture();
  tmux.SendKeys({"M-x", "M-Escape"});
  tmux.SendKeys({"C-Up"});
  EXPECT_TRUE(tmux.Alive());
  EXPECT_TRUE(tmux.WaitForText("Window too small: 40x16 needed")) << tmux.Capture();
  EXPECT_TRUE(tmux.Alive()) << tmux.Capture();
  tmux.SendKeys({"Escape"});
  ASSERT_TRUE(tmux.WaitForExit()) << tmux.Capture();
}

// Mouse clicks as tmux passes them on (the window is centred: column 20,
// row 4 of the 80x24 terminal): the blank right half of the soft-key bar is
// no key, the network spinner's right arrow steps it, Exit on the left ends.
TEST(Terminal, ClicksOnASpinnerArrowAndOnExitWorkInTmux) {
  TempDir dir;
  CopySourceTable(dir);
  Tmux tmux(Command(dir));
  ASSERT_TRUE(tmux.WaitForText("Adjust Settings or press START")) << tmux.Capture();
  tmux.Click(20 + 30, 4 + 15);
  tmux.Click(20 + 38, 4 + 8);
  ASSERT_TRUE(tmux.WaitForText("All Unprotected")) << tmux.Capture();
  tmux.Click(20 + 2, 4 + 15);
  ASSERT_TRUE(tmux.WaitForExit()) << tmux.Capture();
  EXPECT_NE(dir.Read("GNSS.ini").find("Network=All Unprotected\n"), std::string::npos);
}
