#pragma once
#include <string>
#include <vector>

#include "framework/Edit.h"
#include "framework/StringList.h"
#include "framework/Wnd.h"

// An editable drop-down combo box: a text field (its child edit, id 1001)
// over a list. Left and Right step through the list, typing edits the text.
// With CBS_SORT, AddString inserts in case-insensitive order.
class CComboBox : public CWnd {
 public:
  static constexpr int kEditChildId = 1001;

  bool CanTakeFocus() const override { return true; }
  bool OnKeyDown(UINT key, bool shift) override;
  bool OnChar(wchar_t ch) override;
  void OnFocusIn() override { m_edit.OnFocusIn(); }
  UINT ColorKind() const override { return CTLCOLOR_EDIT; }
  void Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const override;

  int AddString(const std::wstring& text);
  int InsertString(int index, const std::wstring& text);
  int DeleteString(int index);
  void ResetContent();
  int GetCount() const { return m_items.Count(); }
  int GetCurSel() const { return m_items.Selection(); }
  int SetCurSel(int index);  // also puts the entry's text into the field
  int GetLBText(int index, std::wstring& text) const;
  int FindString(int startAfter, const std::wstring& prefix) const;
  int FindStringExact(int startAfter, const std::wstring& text) const;
  int SelectString(int startAfter, const std::wstring& prefix);
  // The window text of a combo box is its field's text.
  void SetWindowText(const std::wstring& text) override { SetEditText(text); }
  std::wstring GetWindowText() const override { return GetEditText(); }
  // The text field.
  CEdit& Edit() { return m_edit; }
  void SetEditText(const std::wstring& text);
  std::wstring GetEditText() const { return m_edit.GetWindowText(); }
  // A field whose owner lets the arrows step through the list instead of
  // moving the caret shows that: no caret, the list marker highlighted.
  void SetChoosing(bool choosing);

 protected:
  void OnCreated() override;

 private:
  StringList m_items;
  CEdit m_edit;
  bool m_bChoosing = false;
};
