// The caster dialog in a terminal, as a person has it: pick a caster from
// the table's caster records, type user ID and password, OK; the new
// caster's table comes by itself, its stream runs with those credentials,
// and a wrong password gets the caster's refusal.
#include <gtest/gtest.h>

#include <string>

#include "support/PtyPair.h"
#include "support/SettingsIni.h"
#include "support/Str2StrCaster.h"
#include "support/TempDir.h"
#include "support/Tmux.h"
#include "support/WaitFor.h"

using namespace testing_support;

namespace {

constexpr char kEntry[] = "relay;RTCM 3.2;1004(1);2;GPS+GLO;TEST;XXX;50.00;8.00;0;0;gen;none;B;N;9600;test";

// A real caster's table with the local caster's record among its own.
std::string TableWithLocalCaster(int port) {
  const std::string real = ReadFileBytes(TestDataPath("sourcetables/bkg-professional-ntripcaster-sample.sourcetable.dat"));
  const size_t firstLine = real.find('\n') + 1;
  return real.substr(0, firstLine) + "CAS;127.0.0.1;" + std::to_string(port) +
         ";Local;Test;0;DEU;50.0;8.0;none;0;misc\n" + real.substr(firstLine) + "ENDSOURCETABLE\n";
}

// The local caster serving kEntry at MP1, with an account when one is
// given, and the receiver on a pseudo-terminal.
struct CasterAndReceiver {
  explicit CasterAndReceiver(const std::string& user = "", const std::string& password = "")
      : caster(Str2StrOptions{user, password, "MP1", kEntry}) {}
  bool Start() { return receiver.ok() && caster.Start(); }
  Str2StrCaster caster;
  PtyPair receiver;
};

}  // namespace

TEST(CasterSettingsTerminal, PickACasterTypeCredentialsAndStreamFromIt) {
  CasterAndReceiver peers("user", "pass");
  ASSERT_TRUE(peers.Start()) << peers.caster.Log();
  Str2StrCaster& caster = peers.caster;
  PtyPair& receiver = peers.receiver;
  TempDir dir;
  dir.Write("GNSS.ini", SettingsIni{.output = 0}.Text());
  dir.Write("sourcetable.dat", TableWithLocalCaster(caster.casterPort()));
  Tmux tmux("FIELDCAST_COM1=" + ShellQuote(receiver.SlavePath()) + " " + ShellQuote(ProgramPath()) + " --dir " +
            ShellQuote(dir.path()));
  ASSERT_TRUE(tmux.WaitForText("Adjust Settings or press START")) << tmux.Capture();

  // Start has the focus; Broadcaster is two up.
  tmux.SendKeys({"Up", "Up", "Enter"});
  ASSERT_TRUE(tmux.WaitForText("Host:Port")) << tmux.Capture();
  // Enter puts the caster field in list mode; Down steps through the casters:
  // the configured one (offered in sorted place), the table's own, ours.
  const std::string local = "127.0.0.1:" + std::to_string(caster.casterPort());
  tmux.SendKeys({"Enter", "Down", "Down"});
  ASSERT_TRUE(tmux.WaitForText(local)) << tmux.Capture();
  tmux.SendKeys({"Enter", "Down", "user", "Down", "pass"});
  ASSERT_TRUE(tmux.WaitForText("****")) << tmux.Capture();
  EXPECT_EQ(tmux.Capture().find("pass"), std::string::npos) << "the password is masked:\n" << tmux.Capture();
  tmux.SendKeys({"F1"});

  // The new caster's table is fetched without pressing Start.
  ASSERT_TRUE(tmux.WaitForText("Updated source table.")) << tmux.Capture();
  ASSERT_TRUE(tmux.WaitForText("relay/RTK/GPS+GLO/TEST")) << tmux.Capture();

  // Choose the stream and start it: the caster accepts user:pass.
  tmux.SendKeys({"Down", "Down", "Down", "Down", "Right", "Up", "Up", "Up", "Up", "Enter"});
  ASSERT_TRUE(WaitFor([&] {
    (void)caster.Feed(std::string(300, 'd'));
    (void)receiver.ReadMasterAvailable();
    return tmux.Capture().find("Writing data to COM1...") != std::string::npos;
  })) << tmux.Capture();
  tmux.SendKeys({"Enter"});  // Stop
  ASSERT_TRUE(tmux.WaitForText("Adjust Settings or press START")) << tmux.Capture();

  // A wrong password: the caster does not change, so nothing is fetched;
  // Start then gets the refusal.
  tmux.SendKeys({"Up", "Up", "Enter"});
  ASSERT_TRUE(tmux.WaitForText("Host:Port")) << tmux.Capture();
  tmux.SendKeys({"Down", "Down", "End", "BSpace", "x", "F1"});
  ASSERT_TRUE(tmux.WaitForText("[Broadcaster]")) << tmux.Capture();
  tmux.SendKeys({"Down", "Down", "Enter"});
  ASSERT_TRUE(tmux.WaitForText("Adjust User-ID and Password")) << tmux.Capture();
  tmux.SendKeys({"F1"});
  ASSERT_TRUE(tmux.WaitForExit()) << tmux.Capture();
  const std::string ini = dir.Read("GNSS.ini");
  EXPECT_NE(ini.find("IP Port=" + local + "\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Password=user:pasx\n"), std::string::npos) << ini;
}

// The service's first run from a fresh folder that holds only its caster
// list: OK on the one caster the dialog shows fetches that caster's table by
// itself, and the stream chosen from it reaches the receiver.
TEST(CasterSettingsTerminal, CorvoFirstRunOkOnThePreselectedCasterFetchesItsTable) {
  CasterAndReceiver peers;
  ASSERT_TRUE(peers.Start()) << peers.caster.Log();
  Str2StrCaster& caster = peers.caster;
  PtyPair& receiver = peers.receiver;
  TempDir dir;
  const std::string local = "127.0.0.1:" + std::to_string(caster.casterPort());
  dir.Write("CorvoNet.ini", "CAS;127.0.0.1;" + std::to_string(caster.casterPort()) +
                                ";Corvo;Corvo GmbH;1;DEU;50.0;8.0;none;0;misc\nENDSOURCETABLE\n");
  Tmux tmux("FIELDCAST_COM1=" + ShellQuote(receiver.SlavePath()) + " " + ShellQuote(ProgramPath()) +
            " --branding corvo --dir " + ShellQuote(dir.path()));
  ASSERT_TRUE(tmux.WaitForText("ERROR: Corrupt or no source table.")) << tmux.Capture();

  tmux.SendKeys({"Up", "Up", "Enter"});  // Broadcaster
  ASSERT_TRUE(tmux.WaitForText(local)) << tmux.Capture();
  tmux.SendKeys({"F1"});
  ASSERT_TRUE(tmux.WaitForText("Updated source table.")) << tmux.Capture();
  ASSERT_TRUE(tmux.WaitForText("relay/RTK/GPS+GLO/TEST")) << tmux.Capture();

  tmux.SendKeys({"Up", "Enter"});  // Settings: "Com-Port"
  ASSERT_TRUE(tmux.WaitForText("Select Output")) << tmux.Capture();
  tmux.SendKeys({"Space", "F1"});
  ASSERT_TRUE(WaitFor([&] { return tmux.Capture().find("Select Output") == std::string::npos; })) << tmux.Capture();
  tmux.SendKeys({"Down", "Down", "Down", "Down", "Down", "Right", "Up", "Up", "Up", "Up", "Enter"});
  std::string received;
  ASSERT_TRUE(WaitFor([&] {
    (void)caster.Feed(std::string(300, 'd'));
    received += receiver.ReadMasterAvailable();
    return received.find("ddd") != std::string::npos;
  })) << tmux.Capture();
  ASSERT_TRUE(tmux.WaitForText("Writing data to COM1...")) << tmux.Capture();
  tmux.SendKeys({"Enter"});  // Stop
  ASSERT_TRUE(tmux.WaitForText("Adjust Settings or press START")) << tmux.Capture();
  tmux.SendKeys({"F1"});
  ASSERT_TRUE(tmux.WaitForExit()) << tmux.Capture();
  const std::string ini = dir.Read("GNSS.ini");
  EXPECT_NE(ini.find("IP Port=" + local + "\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Colour=Corvo\n"), std::string::npos) << ini;
}
