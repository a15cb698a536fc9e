#pragma once
// The output settings: where correction data goes (0 = the COM port,
// 1 = nowhere), and the COM-port settings it opens.
#include <string>

#include "dialogs/ComPortDlg.h"
#include "framework/Dialog.h"

constexpr unsigned IDD_SETTINGS = 132;

class CSettingsDlg : public CDialog {
 public:
  CSettingsDlg() : CDialog(IDD_SETTINGS) {}

  CComPortDlg m_comPortDlg;
  int m_nOutputStored = 1;
  int m_nOutput = 0;
  std::wstring m_strDesign;  // copy of the main window's branding key
};
