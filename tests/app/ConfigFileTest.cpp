// GNSS.ini as the loader and the writer see it: a round trip of every field,
// the positional quirks users meet with hand-edited files, and the safety of
// the write itself.
#include <sys/stat.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/FieldcastDlg.h"
#include "platform/Text.h"
#include "support/TempDir.h"

using testing_support::TempDir;

namespace {

constexpr char kFullFile[] =
    "[NtripCaster]\nIP Port=caster.example.net:2101\nPassword=surveyor:s3cr:et\nAttemps=3\nTime=7\n"
    "[Settings]\nOutput=0\n"
    "[COM-Port]\nCOM-Port=COM3\nBaudrate=9600\nDatabits=7 data bits\nParity=even parity\nStop Bits=2 stop bits\n"
    "[GNSS]\nMount Point=VRS3\nNetwork=SAPOS-NI\n"
    "[Design]\nColour=Corvo\n";

struct Loaded {
  TempDir dir;
  CFieldcastDlg dlg;
  explicit Loaded(const std::string& content, bool write = true) {
    if (write) dir.Write("GNSS.ini", content);
    dlg.m_strIniPath = platform::WidenLocal(dir.File("GNSS.ini"));
    dlg.LoadConfiguration();
  }
};

}  // namespace

TEST(ConfigFile, LoadsEveryFieldIntoBothCasterDialogs) {
  Loaded l(kFullFile);
  for (const CCasterDlgBase* caster : {static_cast<CCasterDlgBase*>(&l.dlg.m_casterDlg),
                                       static_cast<CCasterDlgBase*>(&l.dlg.m_casterDlgCorvo)}) {
    EXPECT_EQ(caster->m_strHostPortStored, L"caster.example.net:2101");
    EXPECT_EQ(caster->m_strUserPassword, L"surveyor:s3cr:et");
    EXPECT_EQ(caster->m_nAttemptsStored, 3);
    EXPECT_EQ(caster->m_nTimeStored, 7);
  }
  const CComPortDlg& port = l.dlg.m_settingsDlg.m_comPortDlg;
  EXPECT_EQ(l.dlg.m_settingsDlg.m_nOutputStored, 0);
  EXPECT_EQ(port.m_strPort, L"COM3");
  EXPECT_EQ(port.m_strBaud, L"9600");
  EXPECT_EQ(port.m_strDataBits, L"7 data bits");
  EXPECT_EQ(port.m_strParity, L"even parity");
  EXPECT_EQ(port.m_strStopBits, L"2 stop bits");
  EXPECT_EQ(l.dlg.m_strMountPoint.Get(), L"VRS3");
  EXPECT_EQ(l.dlg.m_strSavedNetwork, L"SAPOS-NI");
  EXPECT_EQ(l.dlg.m_strDesign, L"Corvo");
}

TEST(ConfigFile, RoundTripKeepsEveryValueAndWritesTenForTheCounts) {
  Loaded first(kFullFile);
  first.dlg.m_strNetwork = first.dlg.m_strSavedNetwork;  // what the network list would show
  first.dlg.SaveConfiguration();
  const std::string written = first.dir.Read("GNSS.ini");
  std::string expected = kFullFile;
  expected.replace(expected.find("Attemps=3"), 9, "Attemps=10");
  expected.replace(expected.find("Time=7"), 6, "Time=10");
  EXPECT_EQ(written, expected);

  Loaded second(written);
  EXPECT_EQ(second.dlg.m_casterDlgCorvo.m_strUserPassword, L"surveyor:s3cr:et");
  EXPECT_EQ(second.dlg.m_casterDlgCorvo.m_nAttemptsStored, 10);
  EXPECT_EQ(second.dlg.m_strDesign, L"Corvo");
}

TEST(ConfigFile, WritesTheActiveBrandingsCasterAndKeepsAnyColour) {
  for (const std::wstring design : {L"Corvo", L"corvo", L"", L"Blue"}) {
    TempDir dir;
    CFieldcastDlg dlg;
    dlg.m_strIniPath = platform::WidenLocal(dir.File("GNSS.ini"));
    dlg.m_strDesign = design;
    dlg.m_casterDlg.m_strHostPortStored = L"generic:1";
    dlg.m_casterDlgCorvo.m_strHostPortStored = L"corvo:2";
    dlg.SaveConfiguration();
    const std::string text = dir.Read("GNSS.ini");
    EXPECT_NE(text.find(design == L"Corvo" ? "IP Port=corvo:2\n" : "IP Port=generic:1\n"), std::string::npos);
    CFieldcastDlg reloaded;
    reloaded.m_strIniPath = dlg.m_strIniPath;
    reloaded.LoadConfiguration();
    EXPECT_EQ(reloaded.m_strDesign, design);
  }
}

TEST(ConfigFile, HandEditedFilesFollowThePositionalRules) {
  struct Case {
    const char* legend;
    std::string content;
    std::wstring host, mountPoint, design;
    int output;
  };
  const Case cases[] = {
      {"CR LF line ends read as line feeds",
       "[NtripCaster]\r\nIP Port=h:1\r\nPassword=a:b\r\nAttemps=4\r\nTime=4\r\n[Settings]\r\nOutput=0\r\n",
       L"h:1", L"", L"", 0},
      {"a misspelt key still yields what follows its length",
       "[NtripCaster]\nIP Prot=x:9\n", L"x:9", L"", L"", 1},
      {"a shorter key cuts into the value", "[NtripCaster]\nIP=abcdefghij\n", L"fghij", L"", L"", 1},
      {"blank lines between lines are skipped", "[NtripCaster]\n\n\nIP Port=h:2\n", L"h:2", L"", L"", 1},
      // [COM-Port] is looked for first and missed; [GNSS] then matches, and
      // the [COM-Port] line it leaves as current hides everything after it.
      {"swapped sections lose the COM-Port values and everything after GNSS",
       "[NtripCaster]\nIP Port=h:3\nPassword=\nAttemps=1\nTime=1\n[Settings]\nOutput=0\n[GNSS]\nMount Point=M\n"
       "Network=N\n[COM-Port]\nCOM-Port=COM5\nBaudrate=1\nDatabits=8\nParity=p\nStop Bits=s\n[Design]\nColour=Corvo\n",
       L"h:3", L"M", L"", 0},
      {"a number that does not match its pattern leaves the value", "[NtripCaster]\nA\nB\nAttemps=x\nTime=\n[Settings]\nOutput=zero\n",
       L"", L"", L"", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    Loaded l(c.content);
    EXPECT_EQ(l.dlg.m_casterDlg.m_strHostPortStored, c.host);
    EXPECT_EQ(l.dlg.m_strMountPoint.Get(), c.mountPoint);
    EXPECT_EQ(l.dlg.m_strDesign, c.design);
    EXPECT_EQ(l.dlg.m_settingsDlg.m_comPortDlg.m_strPort, L"COM1");  // a file without the section keeps the default
    EXPECT_EQ(l.dlg.m_settingsDlg.m_nOutputStored, c.output);
  }
}

TEST(ConfigFile, MissingFileGivesTheDefaults) {
  Loaded l("", /*write=*/false);
  const CComPortDlg& port = l.dlg.m_settingsDlg.m_comPortDlg;
  EXPECT_EQ(port.m_strPort, L"COM1");
  EXPECT_EQ(port.m_strBaud, L"19200");
  EXPECT_EQ(port.m_strDataBits, L"8 data bits");
  EXPECT_EQ(port.m_strParity, L"no parity");
  EXPECT_EQ(port.m_strStopBits, L"1 stop bit");
  EXPECT_EQ(port.m_strPortSel, L"COM1");
  EXPECT_EQ(l.dlg.m_settingsDlg.m_nOutputStored, 1);
  EXPECT_EQ(l.dlg.m_settingsDlg.m_nOutput, 1);
  EXPECT_EQ(l.dlg.m_strDesign, L"");
}

// What a service hands out: its branding alone, or a port without its
// speed. Every line the file lacks comes back from Exit with its default.
TEST(ConfigFile, LinesTheFileLacksKeepTheirDefaultsAndExitWritesThem) {
  const std::string defaults =
      "[NtripCaster]\nIP Port=\nPassword=\nAttemps=10\nTime=10\n[Settings]\nOutput=1\n"
      "[COM-Port]\nCOM-Port=COM1\nBaudrate=19200\nDatabits=8 data bits\nParity=no parity\nStop Bits=1 stop bit\n"
      "[GNSS]\nMount Point=\nNetwork=\n[Design]\nColour=\n";
  struct Case {
    const char* legend;
    std::string content;
    std::vector<std::pair<std::string, std::string>> changedLines;  // from the defaults
  };
  const Case cases[] = {
      {"the branding alone", "[Design]\nColour=Corvo\n", {{"Colour=", "Colour=Corvo"}}},
      {"a port and speed without the rest of the section", "[COM-Port]\nCOM-Port=COM4\nBaudrate=115200\n",
       {{"COM-Port=COM1", "COM-Port=COM4"}, {"Baudrate=19200", "Baudrate=115200"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    Loaded l(c.content);
    ASSERT_TRUE(l.dlg.SaveConfiguration());
    std::string expected = defaults;
    for (const auto& [from, to] : c.changedLines) expected.replace(expected.find(from + "\n"), from.size(), to);
    EXPECT_EQ(l.dir.Read("GNSS.ini"), expected);
  }
}

TEST(ConfigFile, LongAndNonAsciiValuesAreWrittenWholeAndReadBack) {
  TempDir dir;
  CFieldcastDlg dlg;
  dlg.m_strIniPath = platform::WidenLocal(dir.File("GNSS.ini"));
  const std::wstring longCredentials = L"a-very-long-user-name-from-a-network-operator:" + std::wstring(80, L'p') + L"äß€";
  dlg.m_casterDlg.m_strUserPassword = longCredentials;
  dlg.m_casterDlg.m_strHostPortStored = L"ntrip.some-long-host-name.example.org:2101";
  dlg.SaveConfiguration();
  CFieldcastDlg reloaded;
  reloaded.m_strIniPath = dlg.m_strIniPath;
  reloaded.LoadConfiguration();
  EXPECT_EQ(reloaded.m_casterDlg.m_strUserPassword, longCredentials);
  EXPECT_EQ(reloaded.m_casterDlg.m_strHostPortStored, L"ntrip.some-long-host-name.example.org:2101");
}

TEST(ConfigFile, IsWrittenWholeAndANewFileIsReadableByItsOwnerOnly) {
  TempDir dir;
  CFieldcastDlg dlg;
  dlg.m_strIniPath = platform::WidenLocal(dir.File("GNSS.ini"));
  dlg.SaveConfiguration();
  struct stat info {};
  ASSERT_EQ(stat(dir.File("GNSS.ini").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  const std::string text = dir.Read("GNSS.ini");
  EXPECT_EQ(text.rfind("[NtripCaster]\n", 0), 0u);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 18);
  // No temporary file is left beside it.
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) entries += entry.is_regular_file();
  EXPECT_EQ(entries, 1);
}

TEST(ConfigFile, AFailedWriteLeavesTheOldFile) {
  TempDir dir;
  dir.Write("GNSS.ini", "old\n");
  chmod(dir.path().c_str(), 0500);  // no new file can be made beside it
  CFieldcastDlg dlg;
  dlg.m_strIniPath = platform::WidenLocal(dir.File("GNSS.ini"));
  dlg.SaveConfiguration();
  chmod(dir.path().c_str(), 0700);
  if (geteuid() != 0) {  // root may write anywhere
    EXPECT_EQ(dir.Read("GNSS.ini"), "old\n");
  }
}
