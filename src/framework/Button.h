#pragma once
#include "framework/Wnd.h"

// A push button or a radio button. Enter, Space or a click presses it; a
// radio button then checks itself and unchecks the others of its group
// (the run of radio buttons from one with WS_GROUP to the next group).
class CButton : public CWnd {
 public:
  bool CanTakeFocus() const override { return true; }
  bool OnKeyDown(UINT key, bool shift) override;
  void OnClick(int x, int y) override;
  UINT ColorKind() const override { return CTLCOLOR_BTN; }
  void Paint(Canvas& canvas, CellColor fg, CellColor bg, CellColor textBg) const override;

  bool IsRadio() const { return m_bRadio; }
  int GetCheck() const { return m_bChecked ? 1 : 0; }
  void SetCheck(int check);
  void SetRadio(bool radio) { m_bRadio = radio; }

 protected:
  void OnCreated() override { m_bChecked = false; }

 private:
  void Press();

  bool m_bRadio = false;
  bool m_bChecked = false;
};
