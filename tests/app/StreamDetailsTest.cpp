// The stream details view as a person meets it from the main window: every
// real table paged through and back, the text of one stream, Select, the
// caster lines with look-ups that never hold up the window, scrolling.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "app/MainWindowFixture.h"
#include "res/StreamDetailsResources.h"
#include "sourcetable/CasterHostLookups.h"
#include "support/TempDir.h"

namespace {

class StreamDetailsTest : public MainWindowTest {
 protected:
  // Tests reach no name server: every host look-up fails at once unless a
  // test says otherwise.
  void SetUp() override {
    MainWindowTest::SetUp();
    CasterHostLookups::Instance().ResetForTests([](const std::string&, std::string&) { return false; });
  }
  void TearDown() override {
    CasterHostLookups::Instance().ResetForTests(nullptr);
    MainWindowTest::TearDown();
  }
  void WriteIniFor(const std::string& caster, const std::string& design = "") {
    WriteIni(design);
    std::string ini = dir.Read("GNSS.ini");
    ini.replace(ini.find("127.0.0.1:9"), 11, caster);
    dir.Write("GNSS.ini", ini);
  }
  // Opens the view from the main window as a person would.
  void OpenDetails(CFieldcastDlg& dlg) {
    display.Do([&] { dlg.GotoDlgCtrl(dlg.GetDlgItem(IDC_STREAM_DETAILS)); }).Key(VK_RETURN);
  }
  static int Focused(CFieldcastDlg& dlg) {
    CWnd* focus = dlg.m_streamDetailsDlg.GetFocus();
    return focus ? focus->GetDlgCtrlID() : 0;
  }
  static bool Enabled(CFieldcastDlg& dlg, int id) { return dlg.m_streamDetailsDlg.GetDlgItem(id)->IsWindowEnabled(); }
  static std::wstring EntryLine(int n, int count) {
    return L", Entry No: " + std::to_wstring(n) + L" of " + std::to_wstring(count) + L"\r\n";
  }
};

}  // namespace

// Each real table: the view opens on the first stream when the chosen one is
// not in the table, Next pages to the last (then the focus moves to
// Previous), Previous pages back, and Select chooses the stream shown.
TEST_F(StreamDetailsTest, EveryRealTablePagesThroughAndSelectChoosesTheStreamShown) {
  for (const auto& file : std::filesystem::directory_iterator(testing_support::TestDataPath("sourcetables"))) {
    SCOPED_TRACE(file.path().filename().string());
    dir.Write("sourcetable.dat", testing_support::ReadFileBytes(file.path().string()));
    WriteIniFor("127.0.0.1:2101");
    SourceTable table;
    table.m_strFileName = platform::WidenLocal(dir.File("sourcetable.dat"));
    (void)table.ReadSourceTable();
    const int count = static_cast<int>(table.m_cityTable.size());
    const int chosen = count / 2 + 1;

    CFieldcastDlg dlg;
    std::vector<std::wstring> texts;
    std::vector<int> focus;
    bool lastDisablesNext = false, firstDisablesPrevious = false, stillOpenAfterSelect = false;
    auto record = [&] { texts.push_back(dlg.m_streamDetailsDlg.m_strText); };
    display.Do([&] { dlg.m_strMountPoint.Set(L"Update source table"); });
    OpenDetails(dlg);
    display.Do(record).Do([&] { focus.push_back(Focused(dlg)); });
    for (int i = 1; i < count; ++i) display.Key(VK_RETURN);
    display.Do(record).Do([&] {
      focus.push_back(Focused(dlg));
      lastDisablesNext = count < 2 || !Enabled(dlg, IDC_NEXT);
    });
    for (int i = 1; i < count; ++i) display.Key(VK_RETURN);
    display.Do(record).Do([&] { firstDisablesPrevious = !Enabled(dlg, IDC_PREVIOUS); });
    for (int i = 1; i < chosen; ++i) display.Key(VK_RETURN);
    display.Key(VK_F1);  // Select
    if (count == 0) display.Do([&] { stillOpenAfterSelect = dlg.m_streamDetailsDlg.IsRunning(); }).Key(VK_F2);
    display.Key(VK_F1);  // Exit
    dlg.DoModal();

    ASSERT_EQ(texts.size(), 3u);
    if (count == 0) {
      EXPECT_EQ(texts[0], L"");
      EXPECT_TRUE(stillOpenAfterSelect) << "Select with no stream must do nothing";
      continue;
    }
    EXPECT_NE(texts[0].find(EntryLine(1, count)), std::wstring::npos) << texts[0];
    EXPECT_NE(texts[1].find(EntryLine(count, count)), std::wstring::npos) << texts[1];
    EXPECT_EQ(texts[2], texts[0]);
    EXPECT_NE(texts[0].find(L"\r\nMountpoint: " + table.m_cityTable[0].mountpoint + L"\r\n"), std::wstring::npos);
    EXPECT_TRUE(lastDisablesNext);
    EXPECT_TRUE(firstDisablesPrevious || count == 1);
    if (count > 1) {
      EXPECT_EQ(focus, (std::vector<int>{IDC_NEXT, IDC_PREVIOUS}));
    }
    EXPECT_EQ(dlg.m_streamDetailsDlg.m_nCurrent, chosen);
    // The main window chooses the first stream with the label shown.
    bool needsNmea = false;
    EXPECT_EQ(dlg.m_strMountPoint.Get(), table.GetMountpoint(table.m_cityTable[chosen - 1].label, needsNmea));
    EXPECT_EQ(display.Info().statusLine, L"Adjust Settings or press START");
  }
}

// Previous and Next at opening, by where the chosen stream stands; the
// focus goes to the button that still pages.
TEST_F(StreamDetailsTest, OpeningEnablesPreviousAndNextByThePositionOfTheChosenStream) {
  const struct {
    const char* table;  // "" for the three streams of WriteSourceTable
    const wchar_t* chosen;
    const char* expected;  // Previous, Next enabled; then the focused button
  } cases[] = {
      {"", L"MA1", "01 next"},
      {"", L"MB1", "11 previous"},
      {"", L"MB2", "10 previous"},
      {"", L"elsewhere", "01 next"},
      {"STR;M;Id;RTCM 3;1004;2;GPS;Net;DEU;52.0;9.0;0;0;gen;none;N;N;9600;x\r\nENDSOURCETABLE\r\n", L"M", "00"},
      {"ENDSOURCETABLE\r\n", L"M", "00"},
  };
  for (const auto& c : cases) {
    if (*c.table == 0) WriteSourceTable();
    else dir.Write("sourcetable.dat", c.table);
    WriteIniFor("127.0.0.1:2101");
    CFieldcastDlg dlg;
    std::string state;
    display.Do([&] { dlg.m_strMountPoint.Set(c.chosen); });
    OpenDetails(dlg);
    display.Do([&] {
      state = std::string(Enabled(dlg, IDC_PREVIOUS) ? "1" : "0") + (Enabled(dlg, IDC_NEXT) ? "1" : "0");
      if (Focused(dlg) == IDC_NEXT) state += " next";
      if (Focused(dlg) == IDC_PREVIOUS) state += " previous";
    });
    display.Key(VK_F2).Key(VK_F1);
    dlg.DoModal();
    EXPECT_EQ(state, c.expected) << platform::Narrow(c.chosen) << " " << c.table;
  }
}

TEST_F(StreamDetailsTest, TheTextOfAStreamNamesTheCasterInUse) {
  dir.Write("sourcetable.dat",
            testing_support::ReadFileBytes(testing_support::TestDataPath("sourcetables/sapos-advcaster-ntrip1-2017.gpsd.log")));
  // The table's record names the caster as host and port, whatever form
  // the caster was written in.
  for (const char* caster :
       {"www.sapos-ni-ntrip.de:2101", "http://www.sapos-ni-ntrip.de", "HTTP://www.sapos-ni-ntrip.de:2101/"}) {
    SCOPED_TRACE(caster);
    WriteIniFor(caster);
    CFieldcastDlg dlg;
    std::wstring text;
    int current = 0;
    display.Do([&] { dlg.m_strMountPoint.Set(L"MAC_3_2G"); });
    OpenDetails(dlg);
    display.Do([&] {
      text = dlg.m_streamDetailsDlg.m_strText;
      current = dlg.m_streamDetailsDlg.m_nCurrent;
    });
    display.Key(VK_F2).Key(VK_F1);
    dlg.DoModal();
    EXPECT_EQ(current, 2);
    EXPECT_EQ(text,
              L"Broadcaster: SAPOS-NI operated by LVA-Niedersachsen in DEU\r\nHandles incoming NMEA-GGA\r\n"
              L"www.sapos-ni-ntrip.de;2101;\r\n\r\n"
              L"Stream: SAPOS_MAC_3, Entry No: 2 of 4\r\nMountpoint: MAC_3_2G\r\nAuthentication: Basic\r\n"
              L"Format: RTCM3.1 / RTK / 1004(1), 1005/1006, 1007/1008, 1012(1), 1014(10), 1015/1016/1017(10), 1021, "
              L"1023, 1025, 1030, 1031, 1033, 1037/1038/1039(10)\r\n"
              L"Carrier: L1 and L2\r\nClient must send NMEA: Yes\r\nSystem: GPS+GLO\r\nCountry: DEU\r\n"
              L"Latitude: 52.48 deg North\r\nLongitude: 13.30 deg East\r\nGenerator: SAPOS\r\nSolution: Network\r\n"
              L"Compression: none\r\nBitrate: 2000 bits per sec\r\nMiscellaneous: \r\n\r\n"
              L"Network: SAPOS-AdV\r\nOperator: SAPOS-AdV\r\nDetails: www.sapos.de\r\nRegistration: www.sapos.de\r\n"
              L"Charges: Yes");
  }
}

// The fields' codes in words; fields with control characters never reach
// the text raw.
TEST_F(StreamDetailsTest, CodesInWordsAndControlCharactersMadeVisible) {
  struct Case {
    const char* fields;  // authentication;fee after the format fields
    std::vector<std::wstring> lines;
  };
  const Case cases[] = {
      {"STR;M;Id;RTCM 3;1004;2;GPS;Net;DEU;-52.0;9.0;1;0;gen;none;B;N;9600;x",
       {L"Authentication: Basic", L"Carrier: L1 and L2", L"Client must send NMEA: Yes", L"Solution: Single Base",
        L"Charges: No", L"Latitude: -52.0 deg North", L"Operator: \r\n"}},
      {"STR;M;Id;RTCM 3;1004;3;GPS;Net;DEU;52.0;9.0;0;1;gen;none;b;Y;9600;x",
       {L"Authentication: None", L"Carrier: No", L"Client must send NMEA: No", L"Solution: Network", L"Charges: Yes"}},
      {"STR;M;Id;RTCM 3;1004;1;GPS;Net;DEU;52.0;9.0;0;1;gen;none;D;Y;9600;a\x1b[2Jb",
       {L"Authentication: Digest", L"Carrier: L1", L"Miscellaneous: a^[[2Jb"}},
  };
  for (const Case& c : cases) {
    dir.Write("sourcetable.dat", std::string(c.fields) + "\r\nENDSOURCETABLE\r\n");
    WriteIniFor("127.0.0.1:2101");
    CFieldcastDlg dlg;
    std::wstring text;
    OpenDetails(dlg);
    display.Do([&] { text = dlg.m_streamDetailsDlg.m_strText; }).Key(VK_F2).Key(VK_F1);
    dlg.DoModal();
    for (const std::wstring& line : c.lines) EXPECT_NE(text.find(line), std::wstring::npos) << c.fields;
    EXPECT_NE(text.find(L"Broadcaster: 0\r\n\r\n\r\n\r\nStream: Id, Entry No: 1 of 1"), std::wstring::npos);
  }
}

// With the caster given by its address, each CAS host is compared by its
// address. A name server that does not answer must not freeze the window,
// and no host is looked up twice in a run.
TEST_F(StreamDetailsTest, HostLookUpsNeverHoldUpTheWindowAndRunOncePerHost) {
  auto calls = std::make_shared<std::atomic<int>>(0);
  CasterHostLookups::Instance().ResetForTests([calls](const std::string& host, std::string& dotted) {
    ++*calls;
    if (host == "caster.example.net") {
      dotted = "127.0.0.1";
      return true;
    }
    std::this_thread::sleep_for(std::chrono::seconds(3));  // a name server that never answers
    return false;
  });
  dir.Write("sourcetable.dat",
            "CAS;slow-1.invalid;2101;Slow1;Op;0;DEU;1;2;x;0;\r\n"
            "CAS;caster.example.net;2101;Here;Local Op;0;NOR;1;2;fallback;2102;misc\r\n"
            "CAS;slow-2.invalid;2101;Slow2;Op;1;DEU;1;2;x;0;\r\n"
            "STR;A;Alpha;RTCM 3;1004;2;GPS;Net;DEU;52.0;9.0;0;0;gen;none;N;N;9600;x\r\n"
            "STR;B;Beta;RTCM 3;1004;2;GPS;Net;DEU;52.0;9.0;0;0;gen;none;N;N;9600;x\r\n"
            "ENDSOURCETABLE\r\n");
  WriteIniFor("127.0.0.1:2101");
  CFieldcastDlg dlg;
  using Clock = std::chrono::steady_clock;
  Clock::time_point opened, answered;
  std::wstring firstText, textAfterNext;
  display.Do([&] { opened = Clock::now(); });
  OpenDetails(dlg);
  display.Do([&] { firstText = dlg.m_streamDetailsDlg.m_strText; }).Key(VK_RETURN).Do([&] {
    answered = Clock::now();
    textAfterNext = dlg.m_streamDetailsDlg.m_strText;
  });
  display.Key(VK_F2);
  OpenDetails(dlg);  // a second opening asks nobody again
  display.Key(VK_F2).Key(VK_F1);
  dlg.DoModal();
  EXPECT_LT(answered - opened, std::chrono::seconds(1));
  EXPECT_EQ(firstText.rfind(L"Broadcaster: Here operated by Local Op in NOR\r\nWon't handle incoming NMEA-GGA\r\n"
                            L"fallback;2102;misc\r\n",
                            0),
            0u)
      << firstText;
  EXPECT_NE(textAfterNext.find(EntryLine(2, 2)), std::wstring::npos);
  EXPECT_EQ(*calls, 3);
}

TEST_F(StreamDetailsTest, KeysScrollTheTextAndNeverMoveTheFocus) {
  WriteSourceTable();
  WriteIniFor("127.0.0.1:2101", "Corvo");
  CFieldcastDlg dlg;
  std::vector<int> firstLines;
  int focusBefore = 0, focusAfter = 0;
  Cell textCell, pageCell;
  auto line = [&] { firstLines.push_back(dlg.m_streamDetailsDlg.m_editText.GetFirstVisibleLine()); };
  OpenDetails(dlg);
  display.Do([&] { focusBefore = Focused(dlg); });
  display.Key(VK_DOWN).Do(line).Key(VK_DOWN).Do(line).Key(VK_UP).Do(line).Key(VK_NEXT).Do(line).Key(VK_NEXT).Do(line);
  display.Key(VK_PRIOR).Do(line).Do([&] {
    focusAfter = Focused(dlg);
    const CRect r = dlg.m_streamDetailsDlg.m_editText.Rect();
    textCell = display.Screen().At(r.left, CDialog::kBodyTop + r.top);
    pageCell = display.Screen().At(0, CDialog::kBodyTop + 1);
  });
  display.Key(VK_F2).Key(VK_F1);
  dlg.DoModal();
  // 25 lines of text in a 12-line box: a page is 11 lines, the last first line 13.
  EXPECT_EQ(firstLines, (std::vector<int>{1, 2, 1, 12, 13, 2}));
  EXPECT_EQ(focusBefore, focusAfter);
  EXPECT_EQ(textCell.bg, CellColor::Of(RGB(255, 255, 255)));
  EXPECT_EQ(textCell.fg, CellColor::Of(RGB(0, 0, 0)));
  EXPECT_EQ(pageCell.bg, CellColor::Of(RGB(242, 28, 10)));
}

// A table with streams, then one without: no text of the earlier table
// remains, and Select does nothing.
TEST_F(StreamDetailsTest, AnEmptyTableClearsTheTextOfAnEarlierOpening) {
  WriteSourceTable();
  WriteIniFor("127.0.0.1:2101");
  CFieldcastDlg dlg;
  std::wstring before, after;
  bool running = false;
  OpenDetails(dlg);
  display.Do([&] { before = dlg.m_streamDetailsDlg.m_strText; }).Key(VK_F2).Do([&] {
    dlg.m_streamDetailsDlg.m_sourceTable.m_cityTable.clear();
  });
  OpenDetails(dlg);
  display.Key(VK_F1).Do([&] {
    after = dlg.m_streamDetailsDlg.GetDlgItemText(IDC_DETAILS_TEXT);
    running = dlg.m_streamDetailsDlg.IsRunning();
  });
  display.Key(VK_F2).Key(VK_F1);
  dlg.DoModal();
  EXPECT_FALSE(before.empty());
  EXPECT_EQ(after, L"");
  EXPECT_TRUE(running);
  EXPECT_EQ(dlg.m_streamDetailsDlg.m_nCurrent, 0);
}
