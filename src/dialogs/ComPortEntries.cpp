#include "dialogs/ComPortDlg.h"

const std::vector<std::wstring>& ComPortEntries() {
  static const std::vector<std::wstring> entries = [] {
    std::vector<std::wstring> ports;
    for (int n = 1; n <= 9; ++n) ports.push_back(L"COM" + std::to_wstring(n));
    return ports;
  }();
  return entries;
}

// Receivers of the last fifteen years talk at 57600 baud and above, so
// those rates follow the handheld's list, which ended at 38400.
const std::vector<std::wstring>& BaudRateEntries() {
  static const std::vector<std::wstring> entries = {L"50",    L"300",   L"1200",   L"2400",   L"4800",  L"9600",
                                                    L"19200", L"38400", L"57600",  L"115200", L"230400", L"460800"};
  return entries;
}

const std::vector<std::wstring>& DataBitsEntries() {
  static const std::vector<std::wstring> entries = {L"7 data bits", L"8 data bits"};
  return entries;
}

const std::vector<std::wstring>& ParityEntries() {
  static const std::vector<std::wstring> entries = {L"no parity", L"even parity", L"odd parity"};
  return entries;
}

// "1.5 stop bits" stays though Linux cannot set it: settings files hold it.
const std::vector<std::wstring>& StopBitsEntries() {
  static const std::vector<std::wstring> entries = {L"1 stop bit", L"1.5 stop bits", L"2 stop bits"};
  return entries;
}
