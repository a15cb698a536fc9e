#pragma once
// The COM-port line settings: the accepted texts (what the configuration
// file keeps), the current texts bound to the dialog's lists, and the
// numbers derived from the accepted texts that Start hands to the port.
#include <string>

#include "framework/Dialog.h"

constexpr unsigned IDD_COMPORT = 131;

class CComPortDlg : public CDialog {
 public:
  CComPortDlg() : CDialog(IDD_COMPORT) {}

  // Derives the five numbers from the accepted texts. A parity or stop-bits
  // text that is none of the known words leaves its code as it was.
  void ConvertSettings();
  // The accepted and current texts of a first start without a settings file.
  void SetDefaults();

  std::wstring m_strBranding;
  std::wstring m_strPortSel, m_strBaudSel, m_strDataBitsSel, m_strParitySel, m_strStopBitsSel;
  std::wstring m_strPort, m_strBaud, m_strDataBits, m_strParity, m_strStopBits;
  int m_nComPort = 0;
  int m_nBaudRate = 0;
  int m_nByteSize = 0;
  int m_nParityCode = 0;
  int m_nStopBitsCode = 0;
};
