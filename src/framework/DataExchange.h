#pragma once
// Dialog data exchange: DoDataExchange names, once, which member goes with
// which control. UpdateData(false) copies members into controls,
// UpdateData(true) copies controls into members and validates them. A value
// that fails shows the classic message, puts the focus on its control and
// makes UpdateData answer false; the exchange stops there.
#include <string>

#include "framework/Types.h"

class CDialog;
class CWnd;

class CDataExchange {
 public:
  enum class Mode { Exchange, BindControls };
  CDataExchange(CDialog* dialog, bool saveAndValidate, Mode mode = Mode::Exchange)
      : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog), m_mode(mode) {}

  // The control with this id for the next DDX/DDV call; null when the
  // exchange has failed, is only binding controls, or the id is unknown.
  CWnd* PrepareCtrl(int id);
  void Fail(const std::wstring& message);
  bool Failed() const { return m_bFailed; }
  bool Binding() const { return m_mode == Mode::BindControls; }
  int LastControlId() const { return m_idLastControl; }

  const bool m_bSaveAndValidate;
  CDialog* const m_pDlgWnd;

 private:
  Mode m_mode;
  bool m_bFailed = false;
  int m_idLastControl = 0;
};

void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
void DDX_Text(CDataExchange* pDX, int id, std::wstring& value);
void DDX_Text(CDataExchange* pDX, int id, int& value);
void DDX_Text(CDataExchange* pDX, int id, unsigned& value);
// The text of the list's selected entry; loading selects the first entry that
// begins with the text and leaves the selection alone when none does.
void DDX_LBString(CDataExchange* pDX, int id, std::wstring& value);
void DDX_LBIndex(CDataExchange* pDX, int id, int& index);
// The combo box's field text; loading selects the first entry that begins
// with it, or else puts the text in the field.
void DDX_CBString(CDataExchange* pDX, int id, std::wstring& value);
void DDX_CBIndex(CDataExchange* pDX, int id, int& index);
// The index of the checked button in the radio group starting at `id`, -1 for none.
void DDX_Radio(CDataExchange* pDX, int id, int& value);

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minValue, int maxValue);
void DDV_MinMaxUInt(CDataExchange* pDX, unsigned value, unsigned minValue, unsigned maxValue);
void DDV_MaxChars(CDataExchange* pDX, const std::wstring& value, int maxChars);

// The validation texts, with %1 and %2 as placeholders.
inline constexpr wchar_t kParseIntMessage[] = L"Please enter an integer.";
inline constexpr wchar_t kParseUIntMessage[] = L"Please enter a positive integer.";
inline constexpr wchar_t kRangeIntMessage[] = L"Please enter an integer between %1 and %2.";
inline constexpr wchar_t kMaxCharsMessage[] = L"Please enter no more than %1 characters.";

std::wstring FormatMessageArgs(const std::wstring& pattern, const std::wstring& arg1, const std::wstring& arg2 = {});
