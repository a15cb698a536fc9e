// The stored settings and what the main window derives from them: the
// credential split, the COM-port numbers, the Base64 credentials and the
// caster address.
#include <gtest/gtest.h>

#include "app/FieldcastDlg.h"
#include "framework/EventLoop.h"

TEST(StoredSettings, RestoreSplitsTheCredentialTextAtTheFirstColon) {
  struct Case {
    std::wstring text, user, password;
  } const cases[] = {
      {L"surveyor:secret", L"surveyor", L"secret"},
      {L"surveyor:se:cret", L"surveyor", L"se:cret"},
      {L"nocolon", L"", L"nocolon"},
      {L":", L"", L""},
      {L"", L"", L""},
  };
  for (const Case& c : cases) {
    CBroadcaster_NormalDlg dlg;
    dlg.m_strHostPortStored = L"h:1/x";
    dlg.m_strUserPassword = c.text;
    dlg.m_nAttemptsStored = 4;
    dlg.m_nTimeStored = 9;
    dlg.RestoreFromStored();
    EXPECT_EQ(dlg.m_strUser, c.user) << c.text.size();
    EXPECT_EQ(dlg.m_strPassword, c.password);
    EXPECT_EQ(dlg.m_strHostPort, L"h:1/x");
    EXPECT_EQ(dlg.m_nAttempts, 4);
    EXPECT_EQ(dlg.m_nTime, 9u);
  }
}

// Unknown words keep the previous codes; a baud rate from an edited file
// that no list offers is still taken; COM10 is not read as COM1.
TEST(StoredSettings, ConvertSettingsDerivesThePortNumbers) {
  const struct {
    const wchar_t *port, *baud, *parity, *stopBits;
    int codes[5];  // port, baud rate, data bits, parity, stop bits
  } cases[] = {{L"COM3", L"9600", L"even parity", L"2 stop bits", {3, 9600, 7, 2, 2}},
               {L"COM10", L"115200", L"mark parity", L"1.5 stop bits", {10, 115200, 7, 2, 1}}};
  CComPortDlg dlg;
  dlg.m_strDataBits = L"7 data bits";
  for (const auto& c : cases) {
    dlg.m_strPort = c.port;
    dlg.m_strBaud = c.baud;
    dlg.m_strParity = c.parity;
    dlg.m_strStopBits = c.stopBits;
    dlg.ConvertSettings();
    const int codes[] = {dlg.m_nComPort, static_cast<int>(dlg.m_nBaudRate), dlg.m_nByteSize, dlg.m_nParityCode,
                         dlg.m_nStopBitsCode};
    EXPECT_TRUE(std::equal(codes, codes + 5, c.codes)) << testing::PrintToString(codes);
  }
}

TEST(StoredSettings, CredentialsComeFromTheActiveBrandingAndAreEncodedWhole) {
  CFieldcastDlg dlg;
  dlg.m_casterDlg.m_strUserPassword = L"Aladdin:open sesame";
  dlg.m_casterDlg.m_nAttemptsStored = 5;
  dlg.m_casterDlg.m_nTimeStored = 30;
  dlg.m_casterDlgCorvo.m_strUserPassword = L"corvo:pw";
  dlg.m_casterDlgCorvo.m_nAttemptsStored = 2;
  dlg.PrepareCredentials();
  EXPECT_EQ(dlg.m_szCredentials.Get(), "QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
  EXPECT_EQ(dlg.m_nAttemptsLeft, 5);
  EXPECT_EQ(dlg.m_nRetryInterval, 30);

  dlg.m_strDesign = L"Corvo";
  dlg.PrepareCredentials();
  EXPECT_EQ(dlg.m_szCredentials.Get(), "Y29ydm86cHc=");
  EXPECT_EQ(dlg.m_nAttemptsLeft, 2);

  // A credential text of more than 72 characters overflows nothing and is
  // not cut: all of it is encoded (120 characters give 160).
  dlg.m_casterDlgCorvo.m_strUserPassword = std::wstring(60, L'u') + L":" + std::wstring(59, L'p');
  dlg.PrepareCredentials();
  EXPECT_EQ(dlg.m_szCredentials.Get().size(), 160u);
}

TEST(StoredSettings, CasterAddressSplitsHostAndPortAndResolvesNames) {
  CFieldcastDlg dlg;
  struct Case {
    std::wstring hostPort;
    std::string host;
    int port;
  } const cases[] = {
      {L"127.0.0.1:2101", "127.0.0.1", 2101},
      {L"localhost:2102/ignored", "127.0.0.1", 2102},
      {L"10.1.2.3", "10.1.2.3", 0},
      {L"no-such-host.invalid:2101", "no-such-host.invalid", 2101},
      {L"123456789012345678901234567890123456789:1", "1234567890123456789012345678901", 1},
  };
  for (const Case& c : cases) {
    dlg.m_casterDlg.m_strHostPortStored = c.hostPort;
    EXPECT_TRUE(dlg.PrepareCasterAddress(dlg.CurrentRun()));
    EXPECT_EQ(dlg.m_szHost.Get(), c.host);
    EXPECT_EQ(dlg.m_nPort, c.port);
  }
  // A resolved name is shown in the status line.
  dlg.m_casterDlg.m_strHostPortStored = L"localhost:1";
  (void)dlg.PrepareCasterAddress(dlg.CurrentRun());
  EXPECT_EQ(dlg.m_strStatus.Get(), L"127.0.0.1");
  EventLoop::Instance().Reset();
}
