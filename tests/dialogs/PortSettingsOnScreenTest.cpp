// Line settings chosen on the screen reach the receiver's port: the main
// window's Settings, the COM-port settings, Start, and the port's termios
// read from the other side of a pseudo-terminal.
#include <termios.h>

#include "app/MainWindowFixture.h"
#include "support/PtyPair.h"
#include "support/WaitFor.h"

namespace {

class PortSettingsOnScreenTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(pty.ok());
    setenv("FIELDCAST_COM1", pty.SlavePath().c_str(), 1);
    WriteSourceTable();
  }
  void TearDown() override {
    unsetenv("FIELDCAST_COM1");
    MainWindowTest::TearDown();
  }
  termios PortAttributes() const {
    termios attributes{};
    tcgetattr(pty.MasterFd(), &attributes);
    return attributes;
  }

  testing_support::PtyPair pty;
};

}  // namespace

TEST_F(PortSettingsOnScreenTest, ChosenLineSettingsAreThePortsOrTheRunStopsWithTheFailure) {
  const struct {
    const char* legend;
    int stopBitsSteps;  // Right presses on the stop-bits list
    bool setUp;
    const char* stopBitsLine;
  } cases[] = {
      {"2 stop bits", 2, true, "Stop Bits=2 stop bits\n"},
      {"1.5 stop bits", 1, false, "Stop Bits=1.5 stop bits\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    // Output "None" stored, and nothing listening on the caster's port: a
    // run opens the port, then fails to connect and ends by itself.
    WriteIni("", 1);
    // A stream that wants no position, so the run never waits for the receiver's GGA.
    std::string settings = dir.Read("GNSS.ini");
    settings.replace(settings.find("Mount Point=\n"), 13, "Mount Point=MB1\n");
    dir.Write("GNSS.ini", settings);
    const termios before = PortAttributes();
    CFieldcastDlg dlg;
    std::wstring endStatus;
    int dataBits = 0, parity = -1;
    display.Do([&] { dlg.GotoDlgCtrl(dlg.GetDlgItem(IDC_SETTINGS)); })
        .Key(VK_RETURN)  // Settings; the focus is on "Com-Port"
        .Key(VK_SPACE)
        .Key(VK_DOWN)
        .Key(VK_DOWN)
        .Key(VK_RETURN)  // Com-Port Settings; the focus is on the port list (COM1)
        .Key(VK_DOWN)
        .Key(VK_RIGHT)
        .Key(VK_RIGHT)
        .Key(VK_RIGHT)  // 19200 -> 115200
        .Key(VK_DOWN)
        .Key(VK_LEFT)  // 7 data bits
        .Key(VK_DOWN)
        .Key(VK_RIGHT)  // even parity
        .Key(VK_DOWN);
    for (int i = 0; i < c.stopBitsSteps; ++i) display.Key(VK_RIGHT);
    display.Key(VK_F1)  // COM-port settings OK
        .Key(VK_F1)     // output settings OK
        .Do([&] { dlg.GotoDlgCtrl(dlg.GetDlgItem(IDC_START)); })
        .Key(VK_RETURN)
        .WaitUntil([&] { return dlg.m_bRunning == 0; })
        .Do([&] {
          endStatus = dlg.GetDlgItemText(IDC_STATUS);
          dataBits = dlg.m_serialPort.m_nDataBits;
          parity = dlg.m_serialPort.m_nParity;
        })
        .Key(VK_F1);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    const termios after = PortAttributes();
    if (c.setUp) {
      EXPECT_EQ(cfgetospeed(&after), static_cast<speed_t>(B115200));
      EXPECT_NE(after.c_cflag & CSTOPB, 0u);
      // A pseudo-terminal keeps 8 bits without parity whatever it is told,
      // so these two are checked where the port takes them.
      EXPECT_EQ(dataBits, 7);
      EXPECT_EQ(parity, 2);
      EXPECT_EQ(endStatus.rfind(L"ERROR", 0), 0u) << "the caster's port is closed";
      EXPECT_NE(endStatus, L"ERROR#5: Failed to set up COM1");
    } else {
      // Refused before the port is touched: nothing half set up.
      EXPECT_EQ(endStatus, L"ERROR#5: Failed to set up COM1");
      EXPECT_EQ(cfgetospeed(&after), cfgetospeed(&before));
      EXPECT_EQ(after.c_cflag, before.c_cflag);
    }
    const std::string ini = dir.Read("GNSS.ini");
    for (const std::string& line : {std::string("Output=0\n"), std::string("COM-Port=COM1\nBaudrate=115200\n"),
                                   std::string("Databits=7 data bits\nParity=even parity\n"), std::string(c.stopBitsLine)})
      EXPECT_NE(ini.find(line), std::string::npos) << line << ini;
  }
}
