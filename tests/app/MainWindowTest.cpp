// The main window as a person meets it: start-up, Exit and Back, the Stop
// sequence, the lists and their keys, the worker threads' lifetime.
#include <algorithm>

#include "app/Messages.h"
#include "app/WorkerThreads.h"
#include "app/MainWindowFixture.h"

TEST_F(MainWindowTest, StartsIdleAndExitWritesACompleteSettingsFile) {
  WriteSourceTable();
  CFieldcastDlg dlg;
  std::wstring status, network, stream;
  bool threadsUp = false;
  display.Do([&] {
    status = dlg.GetDlgItemText(IDC_STATUS);
    network = ListText(dlg.m_listNetworks);
    stream = ListText(dlg.m_listStreams);
    threadsUp = dlg.m_pInThread != nullptr && dlg.m_pOutThread != nullptr && dlg.m_pInThread->IsRunning();
  });
  display.Key(VK_F1);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(status, L"Adjust Settings or press START");
  EXPECT_EQ(display.Info().title, L"GNSS - FC");
  // The first stream is chosen at start-up, which moves both lists to its
  // own network, where its label is shown without the network part.
  EXPECT_EQ(network, L"NetA");
  EXPECT_EQ(stream, L"Alpha/RTK/GPS");
  EXPECT_TRUE(threadsUp);
  EXPECT_EQ(dlg.m_pInThread, nullptr);  // ended at exit
  const std::string ini = dir.Read("GNSS.ini");
  EXPECT_EQ(std::count(ini.begin(), ini.end(), '\n'), 18);
  EXPECT_NE(ini.find("Network=All\n"), std::string::npos);
}

TEST_F(MainWindowTest, WithoutASourceTableTheStatusSaysSo) {
  CFieldcastDlg dlg;
  display.Key(VK_F1);
  dlg.DoModal();
  EXPECT_EQ(display.Info().statusLine, L"ERROR: Corrupt or no source table.");
  EXPECT_EQ(display.Info().leftSoftKey, L"Exit");
}

// Which controls take input, and where the focus is: the buttons and lists
// that change a run are off while it runs, and Start and Stop take turns.
static std::string ControlState(CFieldcastDlg& dlg) {
  std::string state;
  for (int id : {IDC_BROADCASTER, IDC_SETTINGS, IDC_START, IDC_STOP, IDC_STREAM_DETAILS, IDC_LIST_NETWORKS,
                 IDC_LIST_STREAMS})
    state += dlg.GetDlgItem(id)->IsWindowEnabled() ? '1' : '0';
  return state + " focus " + std::to_string(dlg.GetFocus() ? dlg.GetFocus()->GetDlgCtrlID() : 0);
}

TEST_F(MainWindowTest, ExitWhileRunningOnlyStopsAndBackActsAsExit) {
  WriteSourceTable();
  CFieldcastDlg dlg;
  std::string idle, running, stopped;
  bool fileAfterFirstExit = true;
  std::wstring statusAfterStop;
  display.Do([&] { dlg.m_strStatus.Set(L"something"); })
      .Do([&] {
        idle = ControlState(dlg);
        dlg.m_casterDlg.m_strHostPortStored = L"127.0.0.1:9";  // a run needs a caster
        dlg.GotoDlgCtrl(dlg.GetDlgItem(IDC_START));
      })
      .Key(VK_RETURN)  // Start
      .Do([&] { running = dlg.m_bRunning ? ControlState(dlg) : "not running"; })
      .Key(VK_ESCAPE)  // Back while running: Stop
      .Do([&] {
        fileAfterFirstExit = dir.Exists("GNSS.ini");
        statusAfterStop = dlg.GetDlgItemText(IDC_STATUS);
        stopped = ControlState(dlg);
      })
      .Key(VK_ESCAPE);  // Back while idle: save and close
  EXPECT_EQ(dlg.DoModal(), IDOK);
  const std::string start = std::to_string(IDC_START), stop = std::to_string(IDC_STOP);
  EXPECT_EQ(idle, "1111111 focus " + start);
  EXPECT_EQ(running, "0001000 focus " + stop);
  EXPECT_EQ(stopped, "1111111 focus " + start);
  EXPECT_FALSE(fileAfterFirstExit);
  EXPECT_EQ(statusAfterStop, L"Adjust Settings or press START");
  EXPECT_TRUE(dir.Exists("GNSS.ini"));
}

TEST_F(MainWindowTest, StopResetsCountersAndAnErrorStopKeepsTheWorkersText) {
  WriteSourceTable();
  CFieldcastDlg dlg;
  std::wstring bytesAfterStop, statusAfterErrorStop;
  int progressAfterStop = -1;
  display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
      .Do([&] {
        dlg.m_nTotalBytes = 1234;
        dlg.m_strBytes.Set(L"1.234k");
        dlg.m_nProgressPos = 1234;
        dlg.NotifyCommand(IDC_STOP, 0);
        bytesAfterStop = dlg.GetDlgItemText(IDC_BYTES);
        progressAfterStop = dlg.m_progress.GetPos();
      })
      .Do([&] {
        dlg.NotifyCommand(IDC_START, 0);
        dlg.m_strStatus.Set(L"ERROR: Connection to Server failed.");
        ::PostMessage(dlg.GetSafeHwnd(), WM_STREAM_STOP);
      })
      .WaitUntil([&] { return dlg.m_bRunning == 0; })
      .Do([&] { statusAfterErrorStop = dlg.GetDlgItemText(IDC_STATUS); })
      .Key(VK_F1);
  dlg.DoModal();
  EXPECT_EQ(bytesAfterStop, L"0");
  EXPECT_EQ(progressAfterStop, 0);
  EXPECT_EQ(statusAfterErrorStop, L"ERROR: Connection to Server failed.");
}

// Stop waits a moment before it offers Start again; the window must not
// stand still meanwhile (a burst of presses would freeze it for minutes).
TEST_F(MainWindowTest, TheWindowIsRepaintedAndHearsItsMessagesDuringTheStopPause) {
  WriteSourceTable();
  CFieldcastDlg dlg;
  int showsDuringStop = 0;
  std::wstring statusDuringStop;
  // Stop while idle runs the whole sequence, pause included.
  display.Do([&] {
        const int shows = display.Shows();
        // A worker's report that arrives while Stop waits is shown meanwhile.
        dlg.m_strStatus.Set(L"reported during the pause");
        ::PostMessage(dlg.GetSafeHwnd(), WM_STATUS_REFRESH);
        dlg.NotifyCommand(IDC_STOP, 0);
        showsDuringStop = display.Shows() - shows;
        statusDuringStop = display.Info().statusLine;
      })
      .Key(VK_F1);
  dlg.DoModal();
  EXPECT_GT(showsDuringStop, 0);
  EXPECT_EQ(statusDuringStop, L"reported during the pause");
  EXPECT_EQ(display.Info().statusLine, L"Adjust Settings or press START");
}

TEST_F(MainWindowTest, UpAndDownMoveTheFocusButNeverChangeAList) {
  WriteSourceTable();
  CFieldcastDlg dlg;
  std::vector<int> focusTrail;
  std::wstring networkBefore, networkAfter, streamBefore, streamAfter;
  auto focused = [&] { focusTrail.push_back(dlg.GetFocus() ? dlg.GetFocus()->GetDlgCtrlID() : 0); };
  display.Do([&] {
    networkBefore = ListText(dlg.m_listNetworks);
    streamBefore = ListText(dlg.m_listStreams);
    focused();
  });
  for (int i = 0; i < 4; ++i) display.Key(VK_DOWN).Do(focused);
  display.Key(VK_UP).Do(focused);
  display.Do([&] {
    networkAfter = ListText(dlg.m_listNetworks);
    streamAfter = ListText(dlg.m_listStreams);
  });
  display.Key(VK_F1);
  dlg.DoModal();
  EXPECT_EQ(focusTrail, (std::vector<int>{IDC_START, IDC_STOP, IDC_STREAM_DETAILS, IDC_LIST_NETWORKS, IDC_LIST_STREAMS,
                                          IDC_LIST_NETWORKS}));
  EXPECT_EQ(networkAfter, networkBefore);
  EXPECT_EQ(streamAfter, streamBefore);
}

TEST_F(MainWindowTest, SpinnersStepForwardOnRightAndFilterTheStreams) {
  WriteSourceTable();
  CFieldcastDlg dlg;
  std::vector<std::wstring> networks, streams;
  std::wstring mountPoint;
  int unprotected = 0;  // streams under "All Unprotected": MB1 and MB2 want no password, MA1 does
  display.Do([&] { dlg.GotoDlgCtrl(&dlg.m_listNetworks); }).Key(VK_LEFT).Key(VK_LEFT);
  for (int i = 0; i < 4; ++i)
    display.Key(VK_RIGHT).Do([&] {
      networks.push_back(ListText(dlg.m_listNetworks));
      if (networks.size() == 1) unprotected = dlg.m_listStreams.GetCount() - 1;
    });
  display.Key(VK_LEFT).Do([&] { dlg.GotoDlgCtrl(&dlg.m_listStreams); });
  for (int i = 0; i < 2; ++i) display.Key(VK_RIGHT).Do([&] { streams.push_back(ListText(dlg.m_listStreams)); });
  display.Do([&] { mountPoint = dlg.m_strMountPoint.Get(); }).Key(VK_F1);
  dlg.DoModal();
  // The network list does not wrap: a fourth step stays on the last network.
  EXPECT_EQ(networks, (std::vector<std::wstring>{L"All Unprotected", L"NetA", L"NetB", L"NetB"}));
  EXPECT_EQ(unprotected, 2);
  // In one network's view the labels lose their network part.
  EXPECT_EQ(streams, (std::vector<std::wstring>{L"Alpha/RTK/GPS", L"Alpha/RTK/GPS"}));
  EXPECT_EQ(mountPoint, L"MA1");
}
