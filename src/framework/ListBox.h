#pragma once
#include <string>
#include <vector>

#include "framework/StringList.h"
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
  // A click on a spinner's arrow steps it as Left or Right would.
  void OnClick(int x, int y) override;
  UINT ColorKind() const override { return CTLCOLOR_LISTBOX; }
  void Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const override;

  int AddString(const std::wstring& text);
  int InsertString(int index, const std::wstring& text);  // -1: at the end
  int DeleteString(int index);
  void ResetContent();
  int GetCount() const { return m_items.Count(); }
  int GetCurSel() const { return m_items.Selection(); }
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
  StringList m_items;
  CSpinButtonCtrl* m_pSpinner = nullptr;
};
