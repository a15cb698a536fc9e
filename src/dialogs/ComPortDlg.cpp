#include "dialogs/ComPortDlg.h"

#include <cwchar>
#include <cwctype>

namespace {

// The leading decimal number of a text ("19200" -> 19200, "x" -> 0).
int LeadingNumber(const std::wstring& text, size_t from = 0) {
  long value = 0;
  for (size_t i = from; i < text.size() && std::iswdigit(static_cast<wint_t>(text[i])); ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > 100000000) break;  // far beyond any port number or baud rate
  }
  return static_cast<int>(value);
}

}  // namespace

void CComPortDlg::SetDefaults() {
  m_strPort = m_strPortSel = L"COM1";
  m_strBaud = m_strBaudSel = L"19200";
  m_strDataBits = m_strDataBitsSel = L"8 data bits";
  m_strParity = m_strParitySel = L"no parity";
  m_strStopBits = m_strStopBitsSel = L"1 stop bit";
}

void CComPortDlg::ConvertSettings() {
  // The whole number after "COM", so a port typed as COM10 to COM12 into the
  // settings file is not taken for COM1.
  m_nComPort = LeadingNumber(m_strPort, 3);
  m_nBaudRate = LeadingNumber(m_strBaud);
  m_nByteSize = m_strDataBits.empty() ? 0 : LeadingNumber(m_strDataBits.substr(0, 1));
  if (m_strParity == L"no parity") m_nParityCode = 0;
  else if (m_strParity == L"odd parity") m_nParityCode = 1;
  else if (m_strParity == L"even parity") m_nParityCode = 2;
  if (m_strStopBits == L"1 stop bit") m_nStopBitsCode = 0;
  else if (m_strStopBits == L"1.5 stop bits") m_nStopBitsCode = 1;
  else if (m_strStopBits == L"2 stop bits") m_nStopBitsCode = 2;
}
