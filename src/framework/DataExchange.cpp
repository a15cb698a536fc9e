#include "framework/DataExchange.h"

#include <cerrno>
#include <climits>
#include <cwchar>
#include <cwctype>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/MessageBox.h"
#include "framework/RadioGroup.h"

CWnd* CDataExchange::PrepareCtrl(int id) {
  if (m_bFailed || m_mode == Mode::BindControls || m_pDlgWnd == nullptr) return nullptr;
  m_idLastControl = id;
  return m_pDlgWnd->GetDlgItem(id);
}

void CDataExchange::Fail(const std::wstring& message) {
  if (m_bFailed) return;
  m_bFailed = true;
  AfxMessageBox(message);
  if (m_pDlgWnd == nullptr) return;
  CWnd* control = m_pDlgWnd->GetDlgItem(m_idLastControl);
  if (control == nullptr) return;
  m_pDlgWnd->GotoDlgCtrl(control);
  if (auto* edit = dynamic_cast<CEdit*>(control)) edit->SetSel(0, -1);
}

std::wstring FormatMessageArgs(const std::wstring& pattern, const std::wstring& arg1, const std::wstring& arg2) {
  std::wstring out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == L'%' && i + 1 < pattern.size() && (pattern[i + 1] == L'1' || pattern[i + 1] == L'2')) {
      out += pattern[i + 1] == L'1' ? arg1 : arg2;
      ++i;
    } else {
      out.push_back(pattern[i]);
    }
  }
  return out;
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
  if (pDX->Binding() && pDX->m_pDlgWnd != nullptr) pDX->m_pDlgWnd->BindControl(id, &control);
}

void DDX_Text(CDataExchange* pDX, int id, std::wstring& value) {
  CWnd* control = pDX->PrepareCtrl(id);
  if (control == nullptr) return;
  if (pDX->m_bSaveAndValidate) {
    value = control->GetWindowText();
  } else if (auto* combo = dynamic_cast<CComboBox*>(control)) {
    combo->SetEditText(value);
  } else {
    control->SetWindowText(value);
  }
}

namespace {

std::wstring Trimmed(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return {};
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// Whole-text decimal parse with overflow check; false when it is not a number.
bool ParseLong(const std::wstring& text, long long& value) {
  const std::wstring trimmed = Trimmed(text);
  if (trimmed.empty()) return false;
  wchar_t* end = nullptr;
  errno = 0;
  value = std::wcstoll(trimmed.c_str(), &end, 10);
  return errno == 0 && end != nullptr && *end == L'\0';
}

// Numbers in a text field: the whole text must be a decimal number within
// the type's range, or the exchange fails with the type's message.
template <class Number>
void ExchangeNumber(CDataExchange* pDX, int id, Number& value, long long lowest, long long highest,
                    const wchar_t* message) {
  CWnd* control = pDX->PrepareCtrl(id);
  if (control == nullptr) return;
  if (!pDX->m_bSaveAndValidate) {
    control->SetWindowText(std::to_wstring(value));
    return;
  }
  long long parsed = 0;
  if (!ParseLong(control->GetWindowText(), parsed) || parsed < lowest || parsed > highest) {
    pDX->Fail(message);
    return;
  }
  value = static_cast<Number>(parsed);
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int id, int& value) {
  ExchangeNumber(pDX, id, value, INT_MIN, INT_MAX, kParseIntMessage);
}

void DDX_Text(CDataExchange* pDX, int id, unsigned& value) {
  ExchangeNumber(pDX, id, value, 0, UINT_MAX, kParseUIntMessage);
}

void DDX_LBString(CDataExchange* pDX, int id, std::wstring& value) {
  auto* list = dynamic_cast<CListBox*>(pDX->PrepareCtrl(id));
  if (list == nullptr) return;
  if (pDX->m_bSaveAndValidate) {
    value.clear();
    list->GetText(list->GetCurSel(), value);
  } else {
    list->SelectString(-1, value);
  }
}

void DDX_LBIndex(CDataExchange* pDX, int id, int& index) {
  auto* list = dynamic_cast<CListBox*>(pDX->PrepareCtrl(id));
  if (list == nullptr) return;
  if (pDX->m_bSaveAndValidate) index = list->GetCurSel();
  else list->SetCurSel(index);
}

void DDX_CBString(CDataExchange* pDX, int id, std::wstring& value) {
  auto* combo = dynamic_cast<CComboBox*>(pDX->PrepareCtrl(id));
  if (combo == nullptr) return;
  if (pDX->m_bSaveAndValidate) {
    value = combo->GetEditText();
  } else if (combo->SelectString(-1, value) < 0) {
    // The field no longer shows the entry that was selected.
    combo->SetCurSel(-1);
    combo->SetEditText(value);
  }
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& index) {
  auto* combo = dynamic_cast<CComboBox*>(pDX->PrepareCtrl(id));
  if (combo == nullptr) return;
  if (pDX->m_bSaveAndValidate) index = combo->GetCurSel();
  else combo->SetCurSel(index);
}

void DDX_Radio(CDataExchange* pDX, int id, int& value) {
  if (pDX->PrepareCtrl(id) == nullptr) return;
  const auto group = RadioGroupOf(*pDX->m_pDlgWnd, id);
  if (pDX->m_bSaveAndValidate) {
    value = -1;
    for (size_t i = 0; i < group.size(); ++i)
      if (group[i]->GetCheck() != 0) value = static_cast<int>(i);
  } else {
    for (size_t i = 0; i < group.size(); ++i) group[i]->SetCheck(static_cast<int>(i) == value ? 1 : 0);
  }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minValue, int maxValue) {
  if (!pDX->m_bSaveAndValidate || pDX->Failed() || pDX->Binding()) return;
  if (value < minValue || value > maxValue)
    pDX->Fail(FormatMessageArgs(kRangeIntMessage, std::to_wstring(minValue), std::to_wstring(maxValue)));
}

void DDV_MinMaxUInt(CDataExchange* pDX, unsigned value, unsigned minValue, unsigned maxValue) {
  if (!pDX->m_bSaveAndValidate || pDX->Failed() || pDX->Binding()) return;
  if (value < minValue || value > maxValue)
    pDX->Fail(FormatMessageArgs(kRangeIntMessage, std::to_wstring(minValue), std::to_wstring(maxValue)));
}

void DDV_MaxChars(CDataExchange* pDX, const std::wstring& value, int maxChars) {
  if (pDX->Failed() || pDX->Binding()) return;
  if (!pDX->m_bSaveAndValidate) {
    // Loading limits what the user can type into the field just exchanged.
    if (pDX->m_pDlgWnd == nullptr) return;
    if (auto* edit = dynamic_cast<CEdit*>(pDX->m_pDlgWnd->GetDlgItem(pDX->LastControlId())))
      edit->SetLimitText(maxChars);
    return;
  }
  if (static_cast<int>(value.size()) > maxChars)
    pDX->Fail(FormatMessageArgs(kMaxCharsMessage, std::to_wstring(maxChars)));
}
