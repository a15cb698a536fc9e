#pragma once
// The COM-port line settings: the accepted texts (what the configuration
// file keeps), the current texts bound to the dialog's lists, and the
// numbers derived from the accepted texts that Start hands to the port.
// The dialog chooses each setting from a fixed list, shown as a spinner.
#include <string>
#include <vector>

#include "framework/CommandBar.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "res/SettingsResourceIds.h"

class CComPortDlg : public CDialog {
 public:
  CComPortDlg() : CDialog(IDD_COMPORT) {}

  // Derives the five numbers from the accepted texts. A parity or stop-bits
  // text that is none of the known words leaves its code as it was.
  void ConvertSettings();
  // The accepted and current texts of a first start without a settings file.
  void SetDefaults();

  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) override;
  const MessageMap& GetMessageMap() const override;

  CCommandBar m_wndCommandBar;
  CListBox m_listPort, m_listBaud, m_listDataBits, m_listParity, m_listStopBits;
  CSpinButtonCtrl m_spinPort, m_spinBaud, m_spinDataBits, m_spinParity, m_spinStopBits;
  CBrush m_brushRed{RGB(242, 28, 10)};
  CBrush m_brushWhite{RGB(255, 255, 255)};
  CBrush m_brushEmpty;
  std::wstring m_strBranding;
  std::wstring m_strPortSel, m_strBaudSel, m_strDataBitsSel, m_strParitySel, m_strStopBitsSel;
  std::wstring m_strPort, m_strBaud, m_strDataBits, m_strParity, m_strStopBits;
  int m_nComPort = 0;
  int m_nBaudRate = 0;
  int m_nByteSize = 0;
  int m_nParityCode = 0;
  int m_nStopBitsCode = 0;

 private:
  // One line setting: its list, spinner, current and accepted text.
  struct Setting {
    CListBox& list;
    CSpinButtonCtrl& spin;
    std::wstring& current;
    std::wstring& accepted;
    const std::vector<std::wstring>& entries;
  };
  std::vector<Setting> Settings();
  void OnSpinnerStep(NMHDR* header, LRESULT* result);
};

// The entries of each list, in the order the spinners show them.
const std::vector<std::wstring>& ComPortEntries();
const std::vector<std::wstring>& BaudRateEntries();
const std::vector<std::wstring>& DataBitsEntries();
const std::vector<std::wstring>& ParityEntries();
const std::vector<std::wstring>& StopBitsEntries();
