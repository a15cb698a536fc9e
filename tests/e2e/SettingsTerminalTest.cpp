// The output and COM-port settings in a terminal, as a
// person meets them: choose on the screen, start, and find the choice in
// GNSS.ini after Exit.
#include <gtest/gtest.h>

#include "support/PtyPair.h"
#include "support/SettingsIni.h"
#include "support/Str2StrCaster.h"
#include "support/TempDir.h"
#include "support/Tmux.h"
#include "support/WaitFor.h"

using namespace testing_support;

namespace {

// As the program writes it back: it always stores ten for the counts.
std::string Ini(int casterPort, int output, const std::string& design = "") {
  return SettingsIni{.caster = LocalCaster(casterPort), .time = 10, .output = output, .mountPoint = "MP1",
                     .design = design}.Text();
}

// The program without a desktop (so without a browser), COM1 a device that
// does not exist and COM2 the given one.
std::string Command(const TempDir& dir, const std::string& com2 = "/nonexistent/com2") {
  return "env -u DISPLAY -u WAYLAND_DISPLAY FIELDCAST_COM1=/nonexistent/com1 FIELDCAST_COM2=" + ShellQuote(com2) +
         " " + ShellQuote(ProgramPath()) + " --dir " + ShellQuote(dir.path()) + " --debug-log " +
         ShellQuote(dir.File("trace"));
}

bool Gone(const Tmux& tmux, const std::string& text) {
  return WaitFor([&] { return tmux.Capture().find(text) == std::string::npos; });
}

class SettingsTerminal : public ::testing::Test {
 protected:
  void SetUp() override {
    caster = std::make_unique<Str2StrCaster>(RelayOptions());
    ASSERT_TRUE(caster->Start()) << caster->Log();
    dir.Write("sourcetable.dat", OneStreamTable());
  }
  // From the main window (focus on Start) into the output settings.
  static void OpenSettings(Tmux& tmux) {
    tmux.SendKeys({"Up", "Enter"});
    ASSERT_TRUE(tmux.WaitForText("Select Output")) << tmux.Capture();
  }

  std::unique_ptr<Str2StrCaster> caster;
  TempDir dir;
};

}  // namespace

TEST_F(SettingsTerminal, OutputNoneStreamsWithoutOpeningAPort) {
  dir.Write("GNSS.ini", Ini(caster->casterPort(), 0));
  Tmux tmux(Command(dir));
  ASSERT_TRUE(tmux.WaitForText("Adjust Settings or press START")) << tmux.Capture();
  OpenSettings(tmux);
  tmux.SendKeys({"Down", "Space", "F1"});
  ASSERT_TRUE(Gone(tmux, "Select Output")) << tmux.Capture();
  // The focus is back on Settings; Start is the next control.
  tmux.SendKeys({"Down", "Enter"});
  ASSERT_TRUE(WaitFor([&] {
    (void)caster->Feed(std::string(100, 'd'));
    return tmux.Capture().find("Reading data stream...") != std::string::npos;
  })) << tmux.Capture();
  EXPECT_EQ(tmux.Capture().find("ERROR"), std::string::npos) << tmux.Capture();
  tmux.SendKeys({"Enter"});  // Stop
  ASSERT_TRUE(tmux.WaitForText("Adjust Settings or press START")) << tmux.Capture();
  tmux.SendKeys({"F1"});
  ASSERT_TRUE(tmux.WaitForExit()) << tmux.Capture();
  EXPECT_EQ(dir.Read("GNSS.ini"), Ini(caster->casterPort(), 1));
}

TEST_F(SettingsTerminal, ComPortChosenOnScreenReceivesTheStream) {
  PtyPair receiver;
  ASSERT_TRUE(receiver.ok());
  dir.Write("GNSS.ini", Ini(caster->casterPort(), 1));
  Tmux tmux(Command(dir, receiver.SlavePath()));
  ASSERT_TRUE(tmux.WaitForText("Adjust Settings or press START")) << tmux.Capture();
  OpenSettings(tmux);
  tmux.SendKeys({"Space", "Down", "Down", "Enter"});  // "Com-Port", then "Com-Port Settings"
  ASSERT_TRUE(tmux.WaitForText("COM-Port Settings")) << tmux.Capture();
  tmux.SendKeys({"Right"});  // COM1 -> COM2
  ASSERT_TRUE(tmux.WaitForText("COM2")) << tmux.Capture();
  tmux.SendKeys({"F1"});
  ASSERT_TRUE(Gone(tmux, "COM-Port Settings")) << tmux.Capture();
  tmux.SendKeys({"F1"});
  ASSERT_TRUE(Gone(tmux, "Select Output")) << tmux.Capture();
  tmux.SendKeys({"Down", "Enter"});
  std::string received;
  ASSERT_TRUE(WaitFor([&] {
    (void)caster->Feed(std::string(100, 'd'));
    received += receiver.ReadMasterAvailable();
    return received.find("ddd") != std::string::npos;
  })) << tmux.Capture();
  ASSERT_TRUE(tmux.WaitForText("Writing data to COM2...")) << tmux.Capture();
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitForText("Adjust Settings or press START")) << tmux.Capture();
  tmux.SendKeys({"F1"});
  ASSERT_TRUE(tmux.WaitForExit()) << tmux.Capture();
  std::string expected = Ini(caster->casterPort(), 0);
  expected.replace(expected.find("COM-Port=COM1"), 13, "COM-Port=COM2");
  EXPECT_EQ(dir.Read("GNSS.ini"), expected);
}
