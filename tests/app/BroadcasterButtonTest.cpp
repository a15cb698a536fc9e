// The main window's side of the caster dialog: Cancel changes nothing at
// all, OK with another caster resets the lists and fetches its table, and
// the new credentials and reconnection values are what the next run uses.
#include "app/MainWindowFixture.h"
#include "net/Base64.h"

namespace {

constexpr char kCasTail[] = ";Local;Test;0;DEU;50.0;8.0;none;0;misc\r\n";

class BroadcasterButtonTest : public MainWindowTest {
 protected:
  // The fixture's table with two caster records in front.
  void WriteTableWithCasters() {
    WriteSourceTable();
    dir.Write("sourcetable.dat", std::string("CAS;127.0.0.1;9") + kCasTail + "CAS;127.0.0.1;1" + kCasTail +
                                     dir.Read("sourcetable.dat"));
  }
  // From the Start button (the focus after start-up) up to Broadcaster.
  void OpenBroadcaster() { display.Key(VK_UP).Key(VK_UP).Key(VK_RETURN); }
};

TEST_F(BroadcasterButtonTest, CancelAfterChangingEveryFieldLeavesSettingsAndListsAsTheyWere) {
  WriteIni("");
  WriteTableWithCasters();
  std::string iniAfterPlainExit;
  {
    CFieldcastDlg dlg;
    display.Key(VK_F1);
    dlg.DoModal();
    iniAfterPlainExit = dir.Read("GNSS.ini");
  }
  WriteIni("");
  CFieldcastDlg dlg;
  std::wstring network, stream;
  bool running = true;
  OpenBroadcaster();
  display.Key(VK_RETURN).Key(VK_DOWN).Key(VK_RETURN);  // another caster from the list
  display.Key(VK_DOWN).Type(L"x").Key(VK_DOWN).Type(L"y").Key(VK_DOWN).Type(L"7").Key(VK_DOWN).Type(L"9");
  display.Key(VK_F2);
  display.Do([&] {
    network = ListText(dlg.m_listNetworks);
    stream = ListText(dlg.m_listStreams);
    running = dlg.m_bRunning != 0;
  });
  display.Key(VK_F1);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(network, L"NetA");
  EXPECT_EQ(stream, L"Alpha/RTK/GPS");
  EXPECT_FALSE(running);
  EXPECT_EQ(dir.Read("GNSS.ini"), iniAfterPlainExit);
}

TEST_F(BroadcasterButtonTest, OkWithAnotherCasterResetsTheListsAndFetchesItsTable) {
  WriteIni("");
  WriteTableWithCasters();
  CFieldcastDlg dlg;
  std::wstring network, stream, status;
  bool running = false;
  std::string credentials;
  int attemptsLeft = 0;
  OpenBroadcaster();
  // The list: 127.0.0.1:9, 127.0.0.1:1, then the configured one once more.
  display.Key(VK_RETURN).Key(VK_DOWN).Key(VK_RETURN);
  display.Key(VK_DOWN).Key(VK_END).Type(L"2").Key(VK_DOWN).Key(VK_END).Type(L"w");
  display.Key(VK_DOWN).Key(VK_END).Key(VK_BACK).Key(VK_BACK).Type(L"3").Key(VK_F1);
  display.Do([&] {
    network = ListText(dlg.m_listNetworks);
    stream = ListText(dlg.m_listStreams);
    running = dlg.m_bRunning != 0;
    credentials = dlg.m_szCredentials.Get();
    attemptsLeft = dlg.m_nAttemptsLeft;
  });
  // Nothing listens on port 1: the fetch ends with the connection's error.
  display.WaitUntil([&] { return dlg.m_bRunning == 0; });
  display.Do([&] { status = dlg.GetDlgItemText(IDC_STATUS); });
  display.Key(VK_F1);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(network, L"All");
  EXPECT_EQ(stream, L"Update source table");
  EXPECT_TRUE(running) << "the fetch of the new caster's table starts by itself";
  EXPECT_EQ(credentials, Base64Encode(std::wstring_view(L"u2:pw")));
  EXPECT_EQ(attemptsLeft, 3);
  EXPECT_EQ(status.rfind(L"ERROR", 0), 0u) << std::string(status.begin(), status.end());
  const std::string ini = dir.Read("GNSS.ini");
  for (const char* line : {"IP Port=127.0.0.1:1\n", "Password=u2:pw\n"})
    EXPECT_NE(ini.find(line), std::string::npos) << line << " in\n" << ini;
}

}  // namespace
