// The COM-port settings as a person sets them: each list stepped from end
// to end, OK and Cancel, accepted texts that no list entry shows.
#include <functional>

#include "DialogFixture.h"
#include "dialogs/ComPortDlg.h"
#include "framework/Controls.h"

namespace {

struct ListCase {
  int listId;
  const std::vector<std::wstring>& entries;
  std::wstring CComPortDlg::*accepted;
  // The derived number after OK with the last entry chosen.
  std::function<int(const CComPortDlg&)> number;
  int lastNumber;
};

}  // namespace

TEST_F(DialogTest, EachListStepsThroughItsEntriesAndOkAcceptsTheChoice) {
  const ListCase cases[] = {
      {IDC_LIST_PORT, ComPortEntries(), &CComPortDlg::m_strPort, [](auto& d) { return d.m_nComPort; }, 9},
      {IDC_LIST_BAUD, BaudRateEntries(), &CComPortDlg::m_strBaud, [](auto& d) { return d.m_nBaudRate; }, 460800},
      {IDC_LIST_DATABITS, DataBitsEntries(), &CComPortDlg::m_strDataBits, [](auto& d) { return d.m_nByteSize; }, 8},
      {IDC_LIST_PARITY, ParityEntries(), &CComPortDlg::m_strParity, [](auto& d) { return d.m_nParityCode; }, 1},
      {IDC_LIST_STOPBITS, StopBitsEntries(), &CComPortDlg::m_strStopBits, [](auto& d) { return d.m_nStopBitsCode; }, 2},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.listId);
    CComPortDlg dlg;
    dlg.SetDefaults();
    std::vector<std::wstring> shown;
    display.Do([&] { dlg.GotoDlgCtrl(dlg.GetDlgItem(c.listId)); });
    for (size_t i = 0; i < c.entries.size(); ++i) display.Key(VK_LEFT);
    for (size_t i = 0; i < c.entries.size(); ++i)
      display.Do([&] { shown.push_back(SelectedText(dlg, c.listId)); }).Key(VK_RIGHT);
    // Right on the last entry stays there.
    display.Do([&] { shown.push_back(SelectedText(dlg, c.listId)); }).Key(VK_F1);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    std::vector<std::wstring> expected = c.entries;
    expected.push_back(c.entries.back());
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(dlg.*c.accepted, c.entries.back());
    EXPECT_EQ(c.number(dlg), c.lastNumber);
  }
}

// Accepted texts come from the settings file alone (no current texts yet),
// as at every start with a file. One that no entry begins with selects
// nothing, and OK without touching its list keeps it.
TEST_F(DialogTest, OpeningShowsTheAcceptedTextsAndOkKeepsOnesNoEntryShows) {
  const struct {
    const wchar_t* port;
    const wchar_t* baud;
    const wchar_t* shownPort;
    const wchar_t* shownBaud;
    int comPort, baudRate;
  } cases[] = {
      {L"COM3", L"115200", L"COM3", L"115200", 3, 115200},
      {L"COM1", L"50", L"COM1", L"50", 1, 50},  // the search wraps round to the first entry
      {L"COM10", L"14400", L"", L"", 10, 14400},
      {L"", L"", L"", L"", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.port << " " << c.baud);
    CComPortDlg dlg;
    dlg.m_strPort = c.port;
    dlg.m_strBaud = c.baud;
    dlg.m_strDataBits = L"7 data bits";
    dlg.m_strParity = L"even parity";
    dlg.m_strStopBits = L"2 stop bits";
    std::wstring port, baud, dataBits, parity, stopBits;
    display.Do([&] {
      port = SelectedText(dlg, IDC_LIST_PORT);
      baud = SelectedText(dlg, IDC_LIST_BAUD);
      dataBits = SelectedText(dlg, IDC_LIST_DATABITS);
      parity = SelectedText(dlg, IDC_LIST_PARITY);
      stopBits = SelectedText(dlg, IDC_LIST_STOPBITS);
    });
    display.Key(VK_F1);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(port, c.shownPort);
    EXPECT_EQ(baud, c.shownBaud);
    EXPECT_EQ(dataBits + L"/" + parity + L"/" + stopBits, L"7 data bits/even parity/2 stop bits");
    EXPECT_EQ(dlg.m_strPort, c.port);
    EXPECT_EQ(dlg.m_strBaud, c.baud);
    EXPECT_EQ(dlg.m_nComPort, c.comPort);
    EXPECT_EQ(dlg.m_nBaudRate, c.baudRate);
    EXPECT_EQ(dlg.m_nByteSize * 100 + dlg.m_nParityCode * 10 + dlg.m_nStopBitsCode, 722);
  }
}

TEST_F(DialogTest, CancelAndBackKeepTheEarlierChoiceForTheNextOpening) {
  for (UINT closeKey : {VK_F2, VK_ESCAPE}) {
    CComPortDlg dlg;
    dlg.SetDefaults();
    dlg.ConvertSettings();
    display.Do([&] { dlg.GotoDlgCtrl(dlg.GetDlgItem(IDC_LIST_BAUD)); })
        .Key(VK_RIGHT)
        .Key(VK_DOWN)
        .Key(VK_DOWN)
        .Key(VK_RIGHT)
        .Key(closeKey);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_strBaud, L"19200");
    EXPECT_EQ(dlg.m_strParity, L"no parity");
    EXPECT_EQ(dlg.m_nBaudRate, 19200);
    std::wstring baudOnReopening;
    display.Do([&] { baudOnReopening = SelectedText(dlg, IDC_LIST_BAUD); }).Key(VK_F1);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(baudOnReopening, L"19200");
    EXPECT_EQ(dlg.m_strBaud, L"19200");
  }
}

TEST_F(DialogTest, ComPortDialogTakesTheCorvoColours) {
  constexpr COLORREF kRed = RGB(242, 28, 10);
  for (const wchar_t* designText : {L"Corvo", L"corvo"}) {
    const std::wstring design = designText;
    CComPortDlg dlg;
    dlg.SetDefaults();
    dlg.m_strBranding = design;
    Cell list, label, background;
    display.Do([&] {
      list = CellOf(dlg, IDC_LIST_BAUD, 2);
      label = display.Screen().At(1, 2);  // "Port"
      background = display.Screen().At(0, 12);
    }).Key(VK_F2);
    dlg.DoModal();
    if (design == L"Corvo") {
      EXPECT_EQ(list.bg, CellColor::Of(RGB(255, 255, 255)));
      EXPECT_EQ(label.bg, CellColor::Of(kRed));
      EXPECT_EQ(background.bg, CellColor::Of(kRed));
    } else {
      EXPECT_EQ(list.bg, CellColor::Default());
      EXPECT_EQ(background.bg, CellColor::Default());
    }
  }
}
