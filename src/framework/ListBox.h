#pragma once
#include <string>
#include <vector>

#include "framework/Wnd.h"

class CSpinButtonCtrl;

// A one-line list box: shows its selected entry. With an up-down control as
// its buddy it is a spinner: Left and Right step through the entries.
// Entries keep the order of insertion unless added with AddString to a list
// with LBS_SORT.
class CListBox : public CWnd {
 public:
  bool CanTakeFocus() const override { return true; }
  bool OnKeyDown(UINT key, bool shift) override;
  UINT ColorKind() const override { return CTLCOLOR_LISTBOX; }
  void Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const override;

  int AddString(const std::wstring& text);
  int InsertString(int index, const std::wstring& text);  // -1: at the end
  int DeleteString(int index);
  void ResetContent();
  int GetCount() const { return static_cast<int>(m_items.size()); }
  int GetCurSel() const { return m_nCurSel; }
  int SetCurSel(int index);  // -1 clears; answers -1 for an index out of range
  int GetText(int index, std::wstring& text) const;
  // Case-insensitive prefix search after `startAfter` (-1: from the top),
  // wrapping around; -1 when nothing matches.
  int FindString(int startAfter, const std::wstring& prefix) const;
  int FindStringExact(int startAfter, const std::wstring& text) const;
  int SelectString(int startAfter, const std::wstring& prefix);

  void SetBuddySpinner(CSpinButtonCtrl* spinner) { m_pSpinner = spinner; }

 protected:
  void OnCreated() override;

 private:
  std::vector<std::wstring> m_items;
  int m_nCurSel = -1;
  CSpinButtonCtrl* m_pSpinner = nullptr;
};

// Case-insensitive comparison for the list searches and sorted insertion.
bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix);
int CompareNoCase(const std::wstring& a, const std::wstring& b);
